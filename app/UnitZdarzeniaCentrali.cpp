#include "app/UnitZdarzeniaCentrali.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <memory>

#include "app/UnitDrawGridUstaw.h"
#include "core/Object_Adres.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Lokal.h"
#include "core/Object_Obszar.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/Object_Zarvo_Klawiatura.h"
#include "platform/registry/Registry.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/PozycjaOkna.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

namespace {

const char* const Naglowki[TFormZdarzeniaCentrali::LiczbaKolumn] = {
    "Data",   "Czas",   "Nazwa zdarzenia",   "Użytkownik", "Transponder", "Centrala Zarvo", "Adres",
    "Lokal",  "Klawiatura", "Obszar", "Klatka wywołująca", "Klatka Cel", "Kod",
};

constexpr char WartoscKolumn[] = "ZCKols";
constexpr std::int32_t BrakKlatki = 0xFFFF;
constexpr int RolaAdministrator = 1;
constexpr int RolaProjektantSystemowy = 3;

QString Liczba(std::int32_t wartosc) { return QString::number(wartosc); }

bool Liczbowa(int kolumna, const Object_Zdarzenie& z) {
    switch (kolumna) {
    case 7: return !z.LokalObiekt;
    case 8: return !z.ZarvoKlawiatura;
    case 10: case 11: case 12: return true;
    default: return false;
    }
}

} // namespace

TFormZdarzeniaCentrali::TFormZdarzeniaCentrali(std::function<int()> rola, QWidget* parent)
    : MonitorZdarzen(parent, Qt::Window, QStringLiteral("FormZdarzeniaCentrali"), QStringLiteral("Zdarzenia centrali"),
                     LiczbaKolumn),
      rola_(std::move(rola)) {
    Kolejnosc.SetCount(LiczbaKolumn);
    ButtonKolumny = new QPushButton(QStringLiteral("Kolumny"), Panel);
    ButtonKolumny->setObjectName(QStringLiteral("ButtonKolumny"));
    static_cast<QHBoxLayout*>(Panel->layout())->addWidget(ButtonKolumny);
    connect(ButtonKolumny, &QPushButton::clicked, this, &TFormZdarzeniaCentrali::ButtonKolumnyClick);

    QHeaderView* naglowek = DrawGridZdazrenia->horizontalHeader();
    naglowek->setSectionsMovable(true);
    // A click on a title sorts nothing and selects nothing.
    naglowek->setSectionsClickable(false);
    connect(naglowek, &QHeaderView::sectionMoved, this,
            [this](int, int z, int na) { Kolejnosc.Move(z, na); });

    FormCreate();
    CzytajKolumny();
    UstawKolumny();
}

TFormZdarzeniaCentrali::~TFormZdarzeniaCentrali() {
    ZapamietajSzerokosci();
    ZapiszKolumny();
    ui::ZapiszPozycjeOkna(*this);
}

Objects_Zdarzenia* TFormZdarzeniaCentrali::Kontener() const { return ZdarzeniaCentrali; }

QString TFormZdarzeniaCentrali::TytulKolumny(int kolumna) {
    return kolumna >= 0 && kolumna < LiczbaKolumn ? QString::fromUtf8(Naglowki[kolumna]) : QString();
}

std::vector<std::uint8_t> TFormZdarzeniaCentrali::DoBajtow(const std::array<std::uint16_t, LiczbaWpisow>& wpisy) {
    std::vector<std::uint8_t> bajty;
    bajty.reserve(2 * LiczbaWpisow);
    for (std::uint16_t wpis : wpisy) {
        bajty.push_back(static_cast<std::uint8_t>(wpis & 0xFF));
        bajty.push_back(static_cast<std::uint8_t>(wpis >> 8));
    }
    return bajty;
}

// A value of any other length is not ours to read: the defaults stay.
void TFormZdarzeniaCentrali::CzytajKolumny() {
    Kolumny.fill(Domyslny);
    platform::registry::Registry rejestr;
    if (!rejestr.openKey(ui::KluczUstawien, false))
        return;
    const auto bajty = rejestr.readBinary(WartoscKolumn);
    if (!bajty || bajty->size() != 2 * LiczbaWpisow)
        return;
    for (std::size_t i = 0; i < LiczbaWpisow; ++i)
        Kolumny[i] = static_cast<std::uint16_t>((*bajty)[2 * i] | (*bajty)[2 * i + 1] << 8);
}

void TFormZdarzeniaCentrali::ZapiszKolumny() {
    platform::registry::Registry rejestr;
    if (rejestr.openKey(ui::KluczUstawien, true))
        rejestr.writeBinary(WartoscKolumn, DoBajtow(Kolumny));
}

void TFormZdarzeniaCentrali::UstawKolumny() {
    QHeaderView* naglowek = DrawGridZdazrenia->horizontalHeader();
    for (int pozycja = 0; pozycja < LiczbaKolumn; ++pozycja) {
        const int kolumna = naglowek->logicalIndex(pozycja);
        const std::uint16_t wpis = Kolumny[static_cast<std::size_t>(pozycja)];
        if (wpis & Widoczna) {
            naglowek->showSection(kolumna);
            naglowek->resizeSection(kolumna, wpis & 0x7FFF);
        } else {
            naglowek->hideSection(kolumna);
        }
    }
}

void TFormZdarzeniaCentrali::ZapamietajSzerokosci() {
    const QHeaderView* naglowek = DrawGridZdazrenia->horizontalHeader();
    for (int pozycja = 0; pozycja < LiczbaKolumn; ++pozycja) {
        const int kolumna = naglowek->logicalIndex(pozycja);
        if (!naglowek->isSectionHidden(kolumna))
            Kolumny[static_cast<std::size_t>(pozycja)] =
                static_cast<std::uint16_t>(Widoczna | (naglowek->sectionSize(kolumna) & 0x7FFF));
    }
}

void TFormZdarzeniaCentrali::ButtonKolumnyClick() {
    const int rola = rola_ ? rola_() : 0;
    if (rola != RolaAdministrator && rola != RolaProjektantSystemowy)
        return;
    ZapamietajSzerokosci();
    std::array<bool, LiczbaWpisow> flagi{};
    for (std::size_t i = 0; i < LiczbaWpisow; ++i)
        flagi[i] = (Kolumny[i] & Widoczna) != 0;
    QStringList tytuly;
    for (int pozycja = 0; pozycja < LiczbaKolumn; ++pozycja)
        tytuly << TytulKolumny(Kolejnosc.Get(pozycja));
    const auto dialog = std::make_unique<TFormDrawGridUstaw>(this);
    if (!dialog->Wybierz(tytuly, flagi, LiczbaKolumn))
        return;
    for (std::size_t i = 0; i < LiczbaWpisow; ++i)
        Kolumny[i] = static_cast<std::uint16_t>(flagi[i] ? Kolumny[i] | Widoczna : Kolumny[i] & ~Widoczna);
    UstawKolumny();
}

QString TFormZdarzeniaCentrali::TekstPola(int kolumna, const Object_Zdarzenie& z) {
    switch (kolumna) {
    case 0: return TekstDatySystemu(z.DataCzasWystapienie);
    case 1: return TekstCzasuSystemu(z.DataCzasWystapienie);
    case 2: return NazwaZdarzenia(z);
    case 3: return NazwaUzytkownika(z);
    case 4:
        if (z.Identyfikator)
            return TekstZModelu(z.Identyfikator->NumerSeryjny()).left(32);
        return z.Transponder > 0 ? QString::number(static_cast<unsigned>(z.Transponder), 16).left(32) : QString();
    case 5: return z.Centrala ? TekstZModelu(static_cast<const Object_Zarvo_Centrala*>(z.Centrala)->Nazwa) : QString();
    case 6:
        if (z.LokalObiekt && z.LokalObiekt->Adres)
            return TekstZModelu(z.LokalObiekt->Adres->Ulica) + QLatin1Char(' ') + TekstZModelu(z.LokalObiekt->Adres->Numer);
        return {};
    case 7:
        if (z.LokalObiekt)
            return QString::fromStdString(z.LokalObiekt->NazwaLokalu());
        return z.Lokal >= 1 ? Liczba(z.Lokal) : QString();
    case 8:
        if (z.Klawiatura <= 0)
            return {};
        return z.ZarvoKlawiatura ? TekstZModelu(static_cast<const Object_Zarvo_Klawiatura*>(z.ZarvoKlawiatura)->Nazwa)
                                 : Liczba(z.Klawiatura);
    case 9: return z.Obszar ? TekstZModelu(z.Obszar->Nazwa) : QString();
    case 10: return z.KlatkaZrodlo != 0 ? Liczba(z.KlatkaZrodlo) : QString();
    case 11: return z.KlatkaCel != 0 && z.KlatkaCel != BrakKlatki ? Liczba(z.KlatkaCel) : QString();
    case 12: return z.KodPin != 0 ? Liczba(z.KodPin) : QString();
    default: return {};
    }
}

void TFormZdarzeniaCentrali::RysujNaglowek(QPainter& painter, int kolumna, const QRect& komorka) {
    ui::RysujTekstKomorki(*DrawGridZdazrenia, painter, komorka, TytulKolumny(kolumna), -1, ui::DoLewej);
}

void TFormZdarzeniaCentrali::RysujPole(QPainter& painter, int kolumna, const Object_Zdarzenie& z,
                                       const QRect& komorka) {
    const QString tekst = TekstPola(kolumna, z);
    if (!tekst.isEmpty())
        ui::RysujTekstKomorki(*DrawGridZdazrenia, painter, komorka, tekst, -1,
                              Liczbowa(kolumna, z) ? ui::DoPrawej : ui::DoLewej);
}
