#include "platform/ui/Kolory.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace platform::ui {

namespace {

// The frame just inside the rectangle, as the desk's frames have always
// been drawn: one pixel wide, on the rectangle's own pixels.
void Ramka(QPainter& painter, const QRect& r, const QColor& kolor) {
    painter.setPen(QPen(kolor, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
}

} // namespace

QColor KolorQt(Kolor kolor) {
    return QColor(kolor & 0xFF, (kolor >> 8) & 0xFF, (kolor >> 16) & 0xFF);
}

Kolor KolorZQt(const QColor& kolor) {
    return static_cast<Kolor>(kolor.red()) | static_cast<Kolor>(kolor.green()) << 8 |
           static_cast<Kolor>(kolor.blue()) << 16;
}

Kolor ZmienJasnoscKoloru(Kolor kolor, int procent) {
    const double f = std::clamp(procent, -100, 100) / 100.0;
    Kolor wynik = kolor & 0xFF000000u;
    for (int przesuniecie = 0; przesuniecie < 24; przesuniecie += 8) {
        const double c = (kolor >> przesuniecie) & 0xFF;
        const double nowa = f > 0 ? c * (1 - f) + 255 * f : c * (1 + f);
        wynik |= static_cast<Kolor>(static_cast<int>(nowa)) << przesuniecie;
    }
    return wynik;
}

int JasnoscKoloru(Kolor kolor) {
    const int r = kolor & 0xFF;
    const int g = (kolor >> 8) & 0xFF;
    const int b = (kolor >> 16) & 0xFF;
    const double jasnosc = (std::max({r, g, b}) + std::min({r, g, b})) / 2.0 / 255.0;
    return static_cast<int>(std::floor(jasnosc * 100 + 0.5));
}

void RysujRamke3D(QPainter& painter, const QRect& prostokat, int liczba, int procent, Kolor kolor, int flagi) {
    painter.save();
    painter.fillRect(prostokat, KolorQt(kolor));
    const int left = prostokat.left();
    const int top = prostokat.top();
    const int right = prostokat.left() + prostokat.width();
    const int bottom = prostokat.top() + prostokat.height();
    const int sila = (flagi & 1) ? procent / 2 : procent;
    for (int i = 0; i < liczba; ++i) {
        const int s = sila * (liczba - i) / liczba;
        const QPoint lewyDolny(left + i, bottom - i - 1);
        const QPoint lewyGorny(left + i, top + i);
        const QPoint prawyGorny(right - i - 1, top + i);
        const QPoint prawyDolny(right - i - 1, bottom - i - 1);
        painter.setPen(QPen(KolorQt(ZmienJasnoscKoloru(kolor, s)), 0));
        painter.drawLine(lewyDolny, lewyGorny);
        painter.drawLine(lewyGorny, prawyGorny);
        painter.setPen(QPen(KolorQt(ZmienJasnoscKoloru(kolor, -s)), 0));
        painter.drawLine(prawyGorny, prawyDolny);
        painter.drawLine(prawyDolny, lewyDolny);
    }
    painter.restore();
}

void RysujKafelek(QPainter& painter, const QRect& prostokat, bool zaznaczony, Kolor kolor, int flagi) {
    Kolor c = kolor;
    if (flagi & 1)
        c = ZmienJasnoscKoloru(c, 50);
    if (zaznaczony)
        c = ZmienJasnoscKoloru(c, 25);
    painter.save();
    painter.fillRect(prostokat, KolorQt(c));
    if (!zaznaczony) {
        Ramka(painter, prostokat, KolorQt(ZmienJasnoscKoloru(c, -18)));
    } else {
        QRect r = prostokat;
        for (int i = 0; i < 6 && r.width() > 0 && r.height() > 0; ++i) {
            Ramka(painter, r, Qt::black);
            r.adjust(1, 1, -1, -1);
        }
    }
    painter.restore();
}

} // namespace platform::ui
