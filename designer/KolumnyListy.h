#pragma once
#include <QString>

#include <functional>
#include <vector>

#include "platform/ui/RysowanieSiatki.h"

class Object;
class Objects;
class QPainter;
class QRect;

namespace platform::ui {
class DrawGrid;
}

// One column of a list over a container: its header, the element's text in
// it with its alignment, and the container's sort kind a click on the header
// sorts by (-1: the header does not sort).
struct KolumnaListy {
    QString naglowek;
    std::function<QString(const Object&)> tekst;
    int wyrownanie = platform::ui::DoLewej;
    int sortowanie = -1;
};

// Paints a cell of a list grid whose column 0 is the row number ("L.p.",
// right-aligned) and column c ≥ 1 is kolumny[c - 1]; row r ≥ 1 shows
// element r - 1 of the container's vector.
void RysujKomorkeListy(platform::ui::DrawGrid& siatka, QPainter& painter, const QRect& komorka, int kolumna,
                       int wiersz, const Objects* kontener, const std::vector<KolumnaListy>& kolumny);

// Sets up a grid for such a list: the columns, the row-number column 10
// pixels wide and not painted as selected, the painter, the row count.
void UstawSiatkeListy(platform::ui::DrawGrid& siatka, std::function<Objects*()> kontener,
                      const std::vector<KolumnaListy>& kolumny);
