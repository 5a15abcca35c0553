#pragma once
#include <string>
#include <string_view>

// The schema versions the program knows, numbered as steps: step 1 is
// version 1.0, step 42 (9.3) the schema UtworzBaze creates. The step of the
// connected database decides whether the system may start and whether the
// migration chain has work to do.

// The step of the newest schema.
inline constexpr int KrokAktualny = 42;

// The last result of KrokWersji, kept by the main window: -1 no table in
// schema public, 0 an unknown or unreadable version, 1 to 42 the step.
extern int WersjaBazy;

// The connected database's step, read from its wersja row; -1 and 0 as for
// WersjaBazy.
int KrokWersji();
bool BazaAktualna();
// A known version, possibly older than the current one.
bool BazaRozpoznana();

// The Wartosc of the parametry row whose Nazwa equals the name exactly
// (case-sensitive); "" when there is none. Opens TableParametry when it is
// closed and leaves it open.
std::string Parametr(std::string_view nazwa);

// Runs migration steps krok to 41 in order, each in its own transaction that
// also records the version it reaches, so a failure leaves the database at
// the version of the step that failed. True when every step committed; any
// krok outside 1 to 41 gives false without sending anything.
bool AktualizujStrukture(int krok);

// Test seam: step krok runs its statements and then rolls back and fails, as
// if its last statement had been refused; the chain stops there, with the
// database at that step's version. The seam fires once and then clears
// itself, so the chain can be resumed from the same step; 0 switches it off.
void UstawPrzerwanieKroku(int krok);
