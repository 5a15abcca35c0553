#include "designer/KolumnyListy.h"

#include <QPainter>

#include "core/Object.h"
#include "platform/ui/DrawGrid.h"

namespace ui = platform::ui;

void RysujKomorkeListy(ui::DrawGrid& siatka, QPainter& painter, const QRect& komorka, int kolumna, int wiersz,
                       const Objects* kontener, const std::vector<KolumnaListy>& kolumny) {
    if (kolumna < 0 || kolumna > static_cast<int>(kolumny.size()))
        return;
    if (wiersz == 0) {
        const QString naglowek = kolumna == 0 ? QStringLiteral("L.p.") : kolumny[kolumna - 1].naglowek;
        ui::RysujTekstKomorki(siatka, painter, komorka, naglowek, kolumna, ui::DoSrodka);
        return;
    }
    ui::RysujTloZaznaczenia(siatka, painter, kolumna, wiersz, komorka);
    if (!kontener || wiersz > kontener->Rozmiar())
        return;
    if (kolumna == 0) {
        ui::RysujLiczbeKomorki(siatka, painter, komorka, wiersz, kolumna, ui::DoPrawej);
        return;
    }
    const KolumnaListy& k = kolumny[kolumna - 1];
    ui::RysujTekstKomorki(siatka, painter, komorka, k.tekst(*kontener->Element(wiersz - 1)), kolumna, k.wyrownanie);
}

void UstawSiatkeListy(ui::DrawGrid& siatka, std::function<Objects*()> kontener,
                      const std::vector<KolumnaListy>& kolumny) {
    siatka.setColumnCount(static_cast<int>(kolumny.size()) + 1);
    siatka.setFixedColumnCount(1);
    siatka.setColumnWidth(0, 10);
    siatka.setCellPainter([&siatka, kontener, kolumny](QPainter& painter, int kolumna, int wiersz,
                                                       const QRect& komorka) {
        RysujKomorkeListy(siatka, painter, komorka, kolumna, wiersz, kontener(), kolumny);
    });
    const Objects* k = kontener();
    ui::UstawLiczbeWierszy(siatka, k ? k->Rozmiar() : 0);
}
