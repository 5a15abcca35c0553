#include "designer/OknoKart.h"

#include <QPainter>

#include <algorithm>

#include "core/Mozg.h"
#include "core/Object_Karta.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/Kolory.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

namespace {

constexpr ui::Kolor Czerwony = 0x0000FF;
constexpr ui::Kolor Zielony = 0x008000;

} // namespace

void OknoKart::UstawWiersze() {
    if (!MozgIsRunning()) {
        ui::UstawLiczbeWierszy(*Siatka, 0);
        return;
    }
    const int liczba = LiczbaElementow();
    ui::UstawLiczbeWierszy(*Siatka, liczba);
    Siatka->setColumnWidth(0, 30);
    Siatka->setRow(Siatka->rowCount() - 1);
}

// The status is read through the board, under its bus's lock: the bus's
// poll thread writes it while the window paints.
std::optional<QColor> OknoKart::KolorTla(const Object_Karta* karta, bool wlaczony) {
    if (!karta)
        return std::nullopt;
    if (karta->Status() != StatusOk)
        return ui::KolorQt(Czerwony);
    if (wlaczony)
        return ui::KolorQt(Zielony);
    return std::nullopt;
}

void OknoKart::RysujTloWiersza(QPainter& painter, int kolumna, int wiersz, const QRect& komorka) {
    if (MozgIsRunning())
        OknoNaZywo::RysujTloWiersza(painter, kolumna, wiersz, komorka);
}

void OknoKart::ZapiszWidoczny(int indeks) {
    const int gorny = Siatka->rowAt(0) + 1; // grid row of the top visible body row
    if (indeks + 1 == gorny) {
        PierwszyWidoczny = indeks;
        KoniecWidocznych = indeks + 1;
    } else {
        KoniecWidocznych = std::max(KoniecWidocznych, indeks + 1);
    }
}

void OknoKart::RysujElement(QPainter& painter, int kolumna, int indeks, const QRect& komorka) {
    if (!MozgIsRunning())
        return;
    const bool zaznaczony = indeks + 1 == Siatka->row() && Siatka->hasFocus();
    painter.setPen(Siatka->palette().color(zaznaczony ? QPalette::HighlightedText : QPalette::WindowText));
    ZapiszWidoczny(indeks);
    const std::optional<bool> aktywne = Aktywne(indeks);
    if (const std::optional<QColor> tlo = KolorTla(Karta(indeks), aktywne.value_or(false)))
        painter.fillRect(komorka, *tlo);
    if (kolumna == Siatka->columnCount() - 1) {
        if (aktywne)
            ui::RysujTakNieKomorki(*Siatka, painter, komorka, *aktywne, kolumna, ui::DoSrodka);
        return;
    }
    ui::RysujTekstKomorki(*Siatka, painter, komorka, TekstKolumny(kolumna, indeks), kolumna, ui::DoLewej);
}
