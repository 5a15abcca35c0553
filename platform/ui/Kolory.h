#pragma once
#include <QColor>
#include <QRect>

#include <cstdint>

class QPainter;

namespace platform::ui {

// Colours as the tables and registry keep them: red in the low byte, then
// green and blue; the top byte passes through the shading unchanged.
using Kolor = std::uint32_t;

QColor KolorQt(Kolor kolor);
Kolor KolorZQt(const QColor& kolor);

// Towards white for percent > 0, towards black below 0 (clamped to ±100).
Kolor ZmienJasnoscKoloru(Kolor kolor, int procent);
// HSL lightness, 0..100.
int JasnoscKoloru(Kolor kolor);

// Filled with the colour, then count bevelled frames from the outside in,
// lighter at top and left, darker at bottom and right, the outermost the
// strongest; flag bit 0 halves the shading.
void RysujRamke3D(QPainter& painter, const QRect& prostokat, int liczba, int procent, Kolor kolor, int flagi);
// A coloured tile; flag bit 0 lightens it, selected tiles are lighter still
// and framed six pixels deep in black.
void RysujKafelek(QPainter& painter, const QRect& prostokat, bool zaznaczony, Kolor kolor, int flagi);

} // namespace platform::ui
