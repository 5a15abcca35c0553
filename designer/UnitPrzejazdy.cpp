#include "designer/UnitPrzejazdy.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "core/Object_Brama.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Wejscie.h"
#include "core/Objects_globals.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/PozycjaOkna.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

namespace {

QString Tekst(std::string_view tekst) {
    return QString::fromUtf8(tekst.data(), static_cast<qsizetype>(tekst.size()));
}

QString TekstCzujnika(const Object_Wejscie* czujnik) {
    if (!czujnik)
        return {};
    return czujnik->Stan ? QStringLiteral("Aktywny") : Tekst(czujnik->Nazwa);
}

} // namespace

TFormPrzejazdy::TFormPrzejazdy(QWidget* parent)
    : OknoNaZywo("FormPrzejazdy", "Przejazdy",
                 {"Nazwa przejazdu", "Nazwa bramy", "Status", "Użytkownik", "Czujnik startowy", "Czujnik końcowy"},
                 parent) {
    DrawGridPrzejazdy = Siatka;
    DrawGridPrzejazdy->setObjectName(QStringLiteral("DrawGridPrzejazdy"));
    ButtonAnuluj = new QPushButton(QStringLiteral("Anuluj"), this);
    ButtonAnuluj->setObjectName(QStringLiteral("ButtonAnuluj"));
    ButtonUzytkownik = new QPushButton(QStringLiteral("Użytkownik"), this);
    ButtonUzytkownik->setObjectName(QStringLiteral("ButtonUzytkownik"));
    ButtonUzytkownik->hide();
    PanelGorny()->insertWidget(0, ButtonAnuluj);
    PanelGorny()->insertWidget(1, ButtonUzytkownik);
    connect(ButtonAnuluj, &QPushButton::clicked, this, &TFormPrzejazdy::ButtonAnulujClick);
    connect(DrawGridPrzejazdy, &ui::DrawGrid::rowChanged, this, &TFormPrzejazdy::DrawGridPrzejazdySelectCell);

    Odswiez();
    DrawGridPrzejazdy->setRow(1);
    DrawGridPrzejazdy->setColumnWidth(0, 30);
    ui::PrzywrocPozycjeOkna(*this, true);
}

int TFormPrzejazdy::LiczbaElementow() const { return Przejazdy ? Przejazdy->Rozmiar() : 0; }

Object_Przejazd* TFormPrzejazdy::WRzedzie(int wiersz) const {
    const int indeks = wiersz - 1;
    if (indeks < 0 || indeks >= LiczbaElementow())
        return nullptr;
    return static_cast<Object_Przejazd*>(Przejazdy->Element(indeks));
}

void TFormPrzejazdy::ButtonAnulujClick() {
    Object_Przejazd* przejazd = WRzedzie(DrawGridPrzejazdy->row());
    if (przejazd && !przejazd->Posredni)
        przejazd->Anuluj();
}

void TFormPrzejazdy::DrawGridPrzejazdySelectCell(int wiersz) {
    if (const Object_Przejazd* przejazd = WRzedzie(wiersz))
        ButtonAnuluj->setEnabled(!przejazd->Posredni);
}

const char* TFormPrzejazdy::TekstStatusu(const Object_Przejazd& przejazd) {
    if (!przejazd.Trwa())
        return "";
    switch (przejazd.Stan) {
    case 3:
    case 4: return "Otwieranie bramy";
    case 5: return "Można jechać";
    case 6: return "Wjedź na czujnik końcowy";
    case 7: return "Zjedź z czujnika końcowego";
    case 90: return "Oczekiwanie na zakończenie przejazdu macierzystego";
    case 91: return "Wycofywanie pojazdu";
    default: return "";
    }
}

void TFormPrzejazdy::RysujElement(QPainter& painter, int kolumna, int indeks, const QRect& komorka) {
    const auto& przejazd = *static_cast<const Object_Przejazd*>(Przejazdy->Element(indeks));
    QString tekst;
    switch (kolumna) {
    case 0: tekst = Tekst(przejazd.Nazwa); break;
    case 1:
        if (przejazd.Brama)
            tekst = Tekst(przejazd.Brama->Nazwa);
        break;
    case 2: tekst = QString::fromUtf8(TekstStatusu(przejazd)); break;
    case 3:
        if (przejazd.Uzytkownik)
            tekst = Tekst(przejazd.Uzytkownik->Imie) + QLatin1Char(' ') + Tekst(przejazd.Uzytkownik->Nazwisko);
        break;
    case 4: tekst = TekstCzujnika(przejazd.WejscieStart); break;
    case 5: tekst = TekstCzujnika(przejazd.WejscieKoniec); break;
    }
    ui::RysujTekstKomorki(*DrawGridPrzejazdy, painter, komorka, tekst, kolumna, ui::DoLewej);
}
