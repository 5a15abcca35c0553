#pragma once
#include <QString>

class QAbstractButton;
class QWidget;

namespace platform::ui {

// The settings key the placements, options and view values live under.
inline constexpr char KluczUstawien[] = "Software\\ZARVO\\Kadnoro";

// The placement value's name: the form's object name without a leading
// "Form" (or else a trailing one), then "Pos": FormMain → MainPos.
QString NazwaPozycjiOkna(const QString& nazwaFormy);

// Saves "left,top,width,height,maximised"; a maximised window keeps the
// normal bounds saved before it was maximised.
void ZapiszPozycjeOkna(QWidget& forma);
// Moves the window to its saved place when that lies on a monitor that is
// attached; with size also sizes and maximises it. A missing or malformed
// value leaves the window as it is.
void PrzywrocPozycjeOkna(QWidget& forma, bool zRozmiarem);

int LiczbaMonitorow();
// Left, top, right and bottom of monitor n (1-based); false without one.
bool GranicaMonitora(int n, int& lewa, int& gora, int& prawa, int& dol);

// Sets the check without the control reporting a click or a toggle.
void UstawZaznaczenie(QAbstractButton& kontrolka, bool stan);

} // namespace platform::ui
