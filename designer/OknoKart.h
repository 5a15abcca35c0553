#pragma once
#include <QColor>

#include <optional>

#include "designer/OknoNaZywo.h"

class Object_Karta;

// What the inputs and outputs windows share: rows only while the system
// runs, a board that does not answer shown red and an element that is on
// shown green, and the range of container positions painted last, which the
// main window reads to decide whether a change concerns the window at all.
class OknoKart : public OknoNaZywo {
    Q_OBJECT
public:
    // Stopped: the header and one empty row. Running: a row per element,
    // the first column narrow and the last row selected.
    void UstawWiersze();

    // The container position of the top visible row, and one past the
    // lowest position painted since; both 0 until the first paint.
    int PierwszyWidoczny = 0;
    int KoniecWidocznych = 0;

    // The background of an element of a board: red while the board does
    // not answer (whatever the element's state), else green while the
    // element is on; no colour otherwise.
    static std::optional<QColor> KolorTla(const Object_Karta* karta, bool wlaczony);

protected:
    using OknoNaZywo::OknoNaZywo;

    void RysujTloWiersza(QPainter& painter, int kolumna, int wiersz, const QRect& komorka) override;
    void RysujElement(QPainter& painter, int kolumna, int indeks, const QRect& komorka) final;
    // The element's board; whether it is on, shown in the last column
    // ("Aktywne"), none for an element the window shows no state of; the
    // text of any other column.
    virtual const Object_Karta* Karta(int indeks) const = 0;
    virtual std::optional<bool> Aktywne(int indeks) const = 0;
    virtual QString TekstKolumny(int kolumna, int indeks) const = 0;

private:
    void ZapiszWidoczny(int indeks);
};
