#pragma once
#include <QWidget>

#include <vector>

class QHBoxLayout;
class QPainter;

namespace platform::ui {
class DrawGrid;
}

// What the four live windows of the running installation (gates, passages,
// inputs, outputs) share: one owner-drawn grid with one row per element of
// the window's container, painted straight from the live elements, a header
// row of column titles, and the window's placement restored when it is made
// and stored when it goes. Closing the window frees it.
class OknoNaZywo : public QWidget {
    Q_OBJECT
public:
    ~OknoNaZywo() override;

    // A new row count from the container and a repaint. The repaint is only
    // scheduled: a burst of calls (busy boards send a message per change)
    // paints the visible rows once.
    virtual void Odswiez();

protected:
    OknoNaZywo(const char* nazwaFormy, const char* tytul, std::vector<const char*> naglowki, QWidget* parent);

    // The element count of the window's container, 0 while there is none.
    virtual int LiczbaElementow() const = 0;
    // Paints the cell of the element at container position indeks.
    virtual void RysujElement(QPainter& painter, int kolumna, int indeks, const QRect& komorka) = 0;
    // A data row before the element is painted: the selection's background
    // while the grid has the focus.
    virtual void RysujTloWiersza(QPainter& painter, int kolumna, int wiersz, const QRect& komorka);

    // The row of buttons above the grid, made on first use.
    QHBoxLayout* PanelGorny();

    platform::ui::DrawGrid* Siatka = nullptr;

private:
    void RysujKomorke(QPainter& painter, int kolumna, int wiersz, const QRect& komorka);

    std::vector<const char*> naglowki_;
    QWidget* panel_ = nullptr;
};
