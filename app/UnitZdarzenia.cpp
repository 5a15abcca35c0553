#include "app/UnitZdarzenia.h"

#include <QPainter>

#include "core/Object_Brama.h"
#include "core/Object_Grupa_Zdarzen.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/PozycjaOkna.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

namespace {

const char* const Naglowki[TFormZdarzenia::LiczbaKolumn] = {
    "Czas wystąpienia", "Czas zakończenia", "Nazwa zdarzenia", "Użytkownik", "Brama",
    "Identyfikator",    "Przycisk",         "Rodzaj zdarzenia", "Symbol",
};

constexpr int KolumnaPrzycisku = 6;
constexpr int KolumnaSymbolu = 8;
constexpr int RodzajPilot = 1;
constexpr int RodzajTablica = 3;

// Remote controls and licence plates are shown by their serial; a
// transponder the register does not know, by the number the reader gave.
QString TekstIdentyfikatora(const Object_Zdarzenie& z) {
    if (const Object_Identyfikator* identyfikator = z.Identyfikator) {
        const int rodzaj = identyfikator->Rodzaj();
        if (rodzaj == RodzajPilot || rodzaj == RodzajTablica)
            return TekstZModelu(identyfikator->NumerSeryjny()).left(32);
        return {};
    }
    if (z.Transponder > 0)
        return QString::number(static_cast<unsigned>(z.Transponder), 16).left(32);
    return {};
}

} // namespace

TFormZdarzenia::TFormZdarzenia(QWidget* parent)
    : MonitorZdarzen(parent, {}, QStringLiteral("FormZdarzenia"), QStringLiteral("Zdarzenia"), LiczbaKolumn) {
    FormCreate();
    DrawGridZdazrenia->setColumnWidth(0, 30);
}

TFormZdarzenia::~TFormZdarzenia() { ui::ZapiszPozycjeOkna(*this); }

Objects_Zdarzenia* TFormZdarzenia::Kontener() const { return Zdarzenia; }

QString TFormZdarzenia::TekstPola(int kolumna, const Object_Zdarzenie& z) {
    switch (kolumna) {
    case 0: return TekstDatyCzasuSystemu(z.DataCzasWystapienie);
    case 1: return Ustawiona(z.DataCzasZakonczenie) ? TekstDatyCzasuSystemu(z.DataCzasZakonczenie) : QString();
    case 2: return NazwaZdarzenia(z);
    case 3: return NazwaUzytkownika(z);
    case 4: return z.Brama ? TekstZModelu(static_cast<const Object_Brama*>(z.Brama)->Nazwa) : QString();
    case 5: return TekstIdentyfikatora(z);
    case 6: return z.Przycisk != 0 ? QString::number(z.Przycisk) : QString();
    case 7:
        return z.Rodzaj && z.Rodzaj->GrupaZdarzen ? TekstZModelu(z.Rodzaj->GrupaZdarzen->Nazwa) : QString();
    case 8: return z.Rodzaj ? NazwaSymbolu(z.Rodzaj->Symbol) : QString();
    default: return {};
    }
}

void TFormZdarzenia::RysujNaglowek(QPainter& painter, int kolumna, const QRect& komorka) {
    if (kolumna >= 0 && kolumna < LiczbaKolumn)
        ui::RysujTekstKomorki(*DrawGridZdazrenia, painter, komorka, QString::fromUtf8(Naglowki[kolumna]), kolumna,
                              ui::DoLewej);
}

void TFormZdarzenia::RysujPole(QPainter& painter, int kolumna, const Object_Zdarzenie& z, const QRect& komorka) {
    ui::DrawGrid& siatka = *DrawGridZdazrenia;
    const QString tekst = TekstPola(kolumna, z);
    if (kolumna != KolumnaSymbolu) {
        if (!tekst.isEmpty())
            ui::RysujTekstKomorki(siatka, painter, komorka, tekst, kolumna,
                                  kolumna == KolumnaPrzycisku ? ui::DoPrawej : ui::DoLewej);
        return;
    }
    if (!z.Rodzaj)
        return;
    // The icon one pixel in from the corner, its name 18 pixels further on.
    const QPixmap ikona = IkonaSymbolu(z.Rodzaj->Symbol, 16);
    if (!ikona.isNull())
        painter.drawPixmap(komorka.left() + 1, komorka.top() + 1, ikona);
    if (tekst.isEmpty())
        return;
    const int x = komorka.left() + 1 + 18;
    const int szerokosc = painter.fontMetrics().horizontalAdvance(tekst);
    painter.save();
    painter.setClipRect(komorka);
    painter.drawText(QRect(x, komorka.top(), szerokosc + 1, komorka.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, tekst);
    painter.restore();
    if (siatka.columnWidth(kolumna) < x - komorka.left() + szerokosc + 6)
        siatka.setColumnWidth(kolumna, x - komorka.left() + szerokosc + 6);
}
