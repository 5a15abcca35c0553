#include "app/MonitorZdarzen.h"

#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPainter>
#include <QPixmapCache>
#include <QVBoxLayout>

#include <chrono>

#include "app/UnitZdarzenia.h"
#include "app/UnitZdarzeniaAktywne.h"
#include "app/UnitZdarzeniaCentrali.h"
#include "core/Object_Gfx_Symbol.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Rodzaj_Zdarzenia_Wbudowane.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "platform/registry/Registry.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/Kolory.h"
#include "platform/ui/PozycjaOkna.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

namespace {

QDateTime DoQt(DataCzas czas) {
    using namespace std::chrono;
    const auto dzien = floor<days>(czas);
    const year_month_day data{dzien};
    const hh_mm_ss godzina{floor<milliseconds>(czas - dzien)};
    return QDateTime(QDate(static_cast<int>(data.year()), static_cast<int>(static_cast<unsigned>(data.month())),
                           static_cast<int>(static_cast<unsigned>(data.day()))),
                     QTime(static_cast<int>(godzina.hours().count()), static_cast<int>(godzina.minutes().count()),
                           static_cast<int>(godzina.seconds().count()),
                           static_cast<int>(godzina.subseconds().count())));
}

// The platform's long time format shows the seconds a porter compares
// events by; its time zone would only repeat the desk's own.
const QString& FormatCzasu() {
    static const QString format = [] {
        QString f = QLocale().timeFormat(QLocale::LongFormat);
        f.remove(QLatin1Char('t'));
        return f.trimmed();
    }();
    return format;
}

const Object_Gfx_Symbol* Symbol(int id) {
    return Polaczony<Object_Gfx_Symbol>(Symbole, id);
}

} // namespace

QString TekstZModelu(std::string_view tekst) {
    return QString::fromUtf8(tekst.data(), static_cast<qsizetype>(tekst.size()));
}

UstawieniaMonitora CzytajUstawieniaMonitora() {
    UstawieniaMonitora ustawienia;
    platform::registry::Registry rejestr;
    if (!rejestr.openKey(ui::KluczUstawien, false))
        return ustawienia;
    if (const auto wielkosc = rejestr.readInteger("ZdarzeniaWielkoscCzcionki"); wielkosc && *wielkosc > 0)
        ustawienia.WielkoscCzcionki = *wielkosc;
    ustawienia.Malejaco = rejestr.readInteger("ZdarzeniaMalejaco").value_or(0) != 0;
    return ustawienia;
}

int PozycjaZdarzenia(int wiersz, int ilosc, bool malejaco) {
    if (wiersz < 1 || wiersz > ilosc)
        return -1;
    return malejaco ? ilosc - wiersz : wiersz - 1;
}

KoloryWiersza KoloryZdarzenia(const Object_Zdarzenie& zdarzenie, const QPalette& paleta) {
    KoloryWiersza kolory{paleta.color(QPalette::Base), paleta.color(QPalette::Text)};
    if (const Object_Rodzaj_Zdarzenia* rodzaj = zdarzenie.Rodzaj) {
        kolory.Tlo = ui::KolorQt(static_cast<ui::Kolor>(rodzaj->Kolor));
        const double jasnosc = (kolory.Tlo.red() + kolory.Tlo.green() + kolory.Tlo.blue()) / (3.0 * 255.0);
        if (jasnosc < 0.5)
            kolory.Tekst = paleta.color(QPalette::HighlightedText);
    }
    // The controllers' calls and door openings keep their colours whatever
    // the kind's, so the porter tells a refusal from an opening at a glance.
    switch (zdarzenie.IdRodzajZdarzeniaWbudowane) {
    case 14: case 19: case 21: kolory.Tekst = ui::KolorQt(0x0000FF); break;
    case 15: case 23: kolory.Tekst = ui::KolorQt(0x808080); break;
    case 16: case 24: kolory.Tekst = ui::KolorQt(0xFF0000); break;
    case 17: case 18: case 20: case 22: kolory.Tekst = ui::KolorQt(0x008000); break;
    default: break;
    }
    return kolory;
}

QString NazwaZdarzenia(const Object_Zdarzenie& zdarzenie) {
    if (zdarzenie.Rodzaj)
        return TekstZModelu(zdarzenie.Rodzaj->Nazwa);
    if (zdarzenie.RodzajWbudowany)
        return TekstZModelu(zdarzenie.RodzajWbudowany->Nazwa);
    return {};
}

QString NazwaUzytkownika(const Object_Zdarzenie& zdarzenie) {
    if (!zdarzenie.Uzytkownik)
        return {};
    return TekstZModelu(zdarzenie.Uzytkownik->Imie) + QLatin1Char(' ') + TekstZModelu(zdarzenie.Uzytkownik->Nazwisko);
}

QString TekstDatySystemu(DataCzas czas) { return QLocale().toString(DoQt(czas).date(), QLocale::ShortFormat); }

QString TekstCzasuSystemu(DataCzas czas) { return QLocale().toString(DoQt(czas).time(), FormatCzasu()); }

QString TekstDatyCzasuSystemu(DataCzas czas) {
    return TekstDatySystemu(czas) + QLatin1Char(' ') + TekstCzasuSystemu(czas);
}

QPixmap IkonaSymbolu(int idSymbolu, int rozmiar) {
    const Object_Gfx_Symbol* symbol = Symbol(idSymbolu);
    if (!symbol || symbol->Ikona.empty())
        return {};
    const QString plik = QString::fromStdString(symbol->Ikona);
    const QString klucz = QStringLiteral("kandor-symbol:%1:%2").arg(rozmiar).arg(plik);
    QPixmap ikona;
    if (QPixmapCache::find(klucz, &ikona))
        return ikona;
    if (!ikona.load(plik))
        return {};
    ikona = ikona.scaled(rozmiar, rozmiar, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmapCache::insert(klucz, ikona);
    return ikona;
}

QString NazwaSymbolu(int idSymbolu) {
    const Object_Gfx_Symbol* symbol = Symbol(idSymbolu);
    return symbol ? TekstZModelu(symbol->Nazwa) : QString();
}

void UstawCzcionkeSiatki(ui::DrawGrid& siatka, std::optional<int> wielkosc) {
    QFont czcionka = siatka.font();
    if (wielkosc)
        czcionka.setPointSize(*wielkosc);
    siatka.setFont(czcionka);
    const int wysokosc = QFontMetrics(czcionka).height() + 4;
    siatka.verticalHeader()->setMinimumSectionSize(1);
    siatka.verticalHeader()->setDefaultSectionSize(wysokosc);
    siatka.horizontalHeader()->setFont(czcionka);
}

void ZarejestrujMonitoryZdarzen(std::function<int()> rola) {
    UstawFabrykeOkna(RodzajOkna::Zdarzenia, [] { return new TFormZdarzenia; });
    UstawFabrykeOkna(RodzajOkna::ZdarzeniaAktywne, [] { return new TFormZdarzeniaAktywne; });
    UstawFabrykeOkna(RodzajOkna::ZdarzeniaCentrali, [rola] { return new TFormZdarzeniaCentrali(rola); });
}

MonitorZdarzen::MonitorZdarzen(QWidget* parent, Qt::WindowFlags flagi, const QString& nazwa, const QString& tytul,
                               int kolumny)
    : QWidget(parent, flagi) {
    setObjectName(nazwa);
    setWindowTitle(tytul);
    setAttribute(Qt::WA_DeleteOnClose);

    Panel = new QWidget(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    CheckBoxAutoprzewijanie = new QCheckBox(QStringLiteral("&Autoprzewijanie"), Panel);
    CheckBoxAutoprzewijanie->setObjectName(QStringLiteral("CheckBoxAutoprzewijanie"));
    CheckBoxAutoprzewijanie->setChecked(true);
    auto* panel = new QHBoxLayout(Panel);
    panel->setContentsMargins(6, 4, 6, 4);
    panel->addWidget(CheckBoxAutoprzewijanie);
    panel->addStretch();

    DrawGridZdazrenia = new ui::DrawGrid(this);
    DrawGridZdazrenia->setObjectName(QStringLiteral("DrawGridZdazrenia"));
    DrawGridZdazrenia->setColumnCount(kolumny);
    DrawGridZdazrenia->setCellPainter([this](QPainter& painter, int kolumna, int wiersz, const QRect& komorka) {
        DrawGridZdazreniaDrawCell(painter, kolumna, wiersz, komorka);
    });

    ZnajdzUzytkownika = new QAction(QStringLiteral("Znajdź użytkownika"), this);
    ZnajdzUzytkownika->setObjectName(QStringLiteral("ZnajdzUzytkownika"));
    connect(ZnajdzUzytkownika, &QAction::triggered, this, [this] { ZnajdzUzytkownikaClick(); });
    DrawGridZdazrenia->setContextMenuPolicy(Qt::ActionsContextMenu);
    DrawGridZdazrenia->addAction(ZnajdzUzytkownika);

    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->setSpacing(0);
    uklad->addWidget(Panel);
    uklad->addWidget(DrawGridZdazrenia);
    resize(640, 320);
}

void MonitorZdarzen::FormCreate() {
    const UstawieniaMonitora ustawienia = CzytajUstawieniaMonitora();
    malejaco_ = ustawienia.Malejaco;
    UstawCzcionkeSiatki(*DrawGridZdazrenia, ustawienia.WielkoscCzcionki);
    const int n = LiczbaZdarzen();
    ui::UstawWierszBiezacy(*DrawGridZdazrenia, n, n - 1);
    ui::PrzywrocPozycjeOkna(*this, true);
}

int MonitorZdarzen::LiczbaZdarzen() const {
    const Objects_Zdarzenia* kontener = Kontener();
    return kontener ? kontener->Rozmiar() : 0;
}

Object_Zdarzenie* MonitorZdarzen::ZdarzenieWiersza(int wiersz) const {
    const int pozycja = PozycjaZdarzenia(wiersz, LiczbaZdarzen(), malejaco_);
    return pozycja < 0 ? nullptr : static_cast<Object_Zdarzenie*>(Kontener()->Element(pozycja));
}

void MonitorZdarzen::Odswiez() {
    ui::DrawGrid& siatka = *DrawGridZdazrenia;
    ui::UstawLiczbeWierszy(siatka, LiczbaZdarzen());
    if (CheckBoxAutoprzewijanie->isChecked())
        siatka.setRow(malejaco_ ? 1 : siatka.rowCount() - 1);
    siatka.viewport()->update();
}

// The row's event is looked up through the same bounds as the painting, so
// an empty log (one blank row) offers nothing to read.
int MonitorZdarzen::ZnajdzUzytkownikaClick() {
    const Object_Zdarzenie* zdarzenie = ZdarzenieWiersza(DrawGridZdazrenia->row());
    return zdarzenie ? zdarzenie->IdUzytkownika : 0;
}

void MonitorZdarzen::DrawGridZdazreniaDrawCell(QPainter& painter, int kolumna, int wiersz, const QRect& komorka) {
    ui::DrawGrid& siatka = *DrawGridZdazrenia;
    const QPalette& paleta = siatka.palette();
    if (wiersz == 0) {
        painter.setPen(paleta.color(QPalette::WindowText));
        RysujNaglowek(painter, kolumna, komorka);
        return;
    }
    if (!siatka.hasFocus())
        painter.fillRect(komorka, paleta.color(QPalette::Base));
    const Object_Zdarzenie* zdarzenie = ZdarzenieWiersza(wiersz);
    if (!zdarzenie)
        return;
    if (siatka.hasFocus() && wiersz == siatka.row()) {
        ui::RysujTloZaznaczenia(siatka, painter, kolumna, wiersz, komorka);
        painter.setPen(paleta.color(QPalette::HighlightedText));
    } else {
        const KoloryWiersza kolory = KoloryZdarzenia(*zdarzenie, paleta);
        painter.fillRect(komorka, kolory.Tlo);
        painter.setPen(kolory.Tekst);
    }
    RysujPole(painter, kolumna, *zdarzenie, komorka);
}
