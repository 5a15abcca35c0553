#pragma once
#include "platform/messages/WindowHandle.h"

// Window messages of the logic and the drivers to the main window.
constexpr unsigned WM_ZDARZENIE = 3024;             // event opened (lParam 1, 2) or closed (0)
constexpr unsigned WM_WEJSCIA_WYJSCIA = 3025;       // input or output changed
constexpr unsigned WM_ODCZYT_IDENTYFIKATORA = 3026; // a reader got a code
constexpr unsigned WM_BRAMA = 3027;                 // gate command or end of movement
constexpr unsigned WM_PRZEJAZD = 3028;              // passage state or sensor changed
constexpr unsigned WM_ZDARZENIE_CENTRALI = 3029;    // controller event logged
constexpr unsigned WM_STAN_KARTY = 3030;            // board status: wParam COM number, lParam address
constexpr unsigned WM_IKONA_ZASOBNIKA = platform::WM_USER + 1;
constexpr unsigned WM_ODSWIEZ_PRZYCISKI = platform::WM_USER + 2;
