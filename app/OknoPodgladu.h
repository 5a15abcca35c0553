#pragma once
#include <functional>

class QWidget;

// The live windows the main window opens from its "Portier" menu, reopens
// from the registry and refreshes on the logic's messages. Each window kind
// registers a factory; until one is registered, its menu item opens
// nothing.
enum class RodzajOkna {
    Zdarzenia,
    ZdarzeniaAktywne,
    ZdarzeniaCentrali,
    Wejscia,
    Wyjscia,
    Bramy,
    Przejazdy,
    Przyciski,
    Czytniki,
    Diagnostyka,
    Wizualizacja,
    MiejscaParkingowe,
};
inline constexpr int LiczbaRodzajowOkien = static_cast<int>(RodzajOkna::MiejscaParkingowe) + 1;

// What the main window calls on a live window; each window answers the
// calls that concern it and ignores the others.
class OknoPodgladu {
public:
    virtual ~OknoPodgladu() = default;
    // The window itself; it deletes itself when closed, and the main window
    // forgets it then.
    virtual QWidget* Widget() = 0;
    // Odswiez of the monitors, the gates, passages, readers and input and
    // output windows; Wypelnij of the diagnostics; the grid repaint of the
    // parking spaces.
    virtual void Odswiez() {}
    // The inputs and outputs windows: the row count of the container anew.
    virtual void UstawWiersze() {}
    // The button panel: its buttons anew.
    virtual void Przeladuj() {}
    // The button panel: the pressed tile released.
    virtual void ZwolnijPrzycisk() {}
    // The 3-D view: the events anew.
    virtual void OdswiezZdarzenia() {}
    // The diagnostics: one board of a bus.
    virtual void OdswiezKarte(int /*com*/, int /*adres*/) {}
    // The container positions the window paints, from the first up to, not
    // including, the end (inputs and outputs windows).
    virtual int PierwszyWidoczny() const { return 0; }
    virtual int KoniecWidocznych() const { return 0; }
};

using FabrykaOkna = std::function<OknoPodgladu*()>;
// A null factory unregisters the kind.
void UstawFabrykeOkna(RodzajOkna rodzaj, FabrykaOkna fabryka);
const FabrykaOkna& FabrykaOknaRodzaju(RodzajOkna rodzaj);
