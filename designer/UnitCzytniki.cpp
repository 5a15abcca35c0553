#include "designer/UnitCzytniki.h"

#include <QHeaderView>
#include <QPainter>
#include <QVBoxLayout>

#include "core/Object_Czytnik.h"
#include "core/Objects_globals.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/PozycjaOkna.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

namespace {

const char* const kNaglowki[] = {"Nazwa czytniku", "Ostatni odczyt", "Nr identyfikatora", "Licznik", "Przycisk"};
constexpr int kKolumny = 5;

int LiczbaCzytnikow() { return Czytniki ? Czytniki->Rozmiar() : 0; }

QString TekstCzasu(DataCzas czas) {
    const auto sekundy = std::chrono::floor<std::chrono::seconds>(czas);
    return QString::fromStdString(platform::db::formatDateTime(sekundy));
}

} // namespace

TFormCzytniki::TFormCzytniki(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FormCzytniki"));
    setWindowTitle(QStringLiteral("Czytniki"));
    setAttribute(Qt::WA_DeleteOnClose);
    DrawGridCzytniki = new ui::DrawGrid(this);
    DrawGridCzytniki->setObjectName(QStringLiteral("DrawGridCzytniki"));
    DrawGridCzytniki->setColumnCount(kKolumny);
    DrawGridCzytniki->setFixedColumnCount(0);
    DrawGridCzytniki->verticalHeader()->setDefaultSectionSize(18);
    DrawGridCzytniki->setCellPainter([this](QPainter& painter, int kolumna, int wiersz, const QRect& komorka) {
        DrawGridCzytnikiDrawCell(painter, kolumna, wiersz, komorka);
    });
    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->addWidget(DrawGridCzytniki);

    ui::UstawLiczbeWierszy(*DrawGridCzytniki, LiczbaCzytnikow());
    DrawGridCzytniki->setColumnWidth(0, 30);
    ui::PrzywrocPozycjeOkna(*this, true);
}

TFormCzytniki::~TFormCzytniki() { ui::ZapiszPozycjeOkna(*this); }

void TFormCzytniki::Odswiez() {
    ui::UstawLiczbeWierszy(*DrawGridCzytniki, LiczbaCzytnikow());
    DrawGridCzytniki->viewport()->update();
}

void TFormCzytniki::DrawGridCzytnikiDrawCell(QPainter& painter, int kolumna, int wiersz, const QRect& komorka) {
    ui::DrawGrid& siatka = *DrawGridCzytniki;
    if (wiersz == 0) {
        painter.setPen(siatka.palette().color(QPalette::WindowText));
        ui::RysujTekstKomorki(siatka, painter, komorka, QString::fromUtf8(kNaglowki[kolumna]), kolumna, ui::DoLewej);
        return;
    }
    // Without the focus the rows show no selection.
    if (siatka.hasFocus())
        ui::RysujTloZaznaczenia(siatka, painter, kolumna, wiersz, komorka);
    if (wiersz - 1 >= LiczbaCzytnikow())
        return;
    const auto& czytnik = *static_cast<const Object_Czytnik*>(Czytniki->Element(wiersz - 1));
    if (kolumna == 0) {
        ui::RysujTekstKomorki(siatka, painter, komorka, czytnik.Nazwa, kolumna, ui::DoLewej);
        return;
    }
    if (!Ustawiona(czytnik.CzasOdczytu))
        return;
    switch (kolumna) {
    case 1:
        ui::RysujTekstKomorki(siatka, painter, komorka, TekstCzasu(czytnik.CzasOdczytu), kolumna, ui::DoLewej);
        break;
    case 2:
        ui::RysujTekstKomorki(siatka, painter, komorka, czytnik.OstatniKod, kolumna, ui::DoLewej);
        break;
    case 3:
        ui::RysujLiczbeKomorki(siatka, painter, komorka, static_cast<int>(czytnik.Licznik), kolumna, ui::DoPrawej);
        break;
    case 4:
        ui::RysujLiczbeKomorki(siatka, painter, komorka, static_cast<int>(czytnik.Przycisk), kolumna, ui::DoPrawej);
        break;
    }
}
