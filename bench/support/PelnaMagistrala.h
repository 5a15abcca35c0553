#pragma once
#include <cstdint>

#include "core/Object_Czytnik.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"

// Fills the created containers with one bus of `karty` boards with `piny`
// inputs and outputs and a reader each; inputs alternate and every other
// output is on, so the scans and the output step have work to do. The
// caller links.
inline void ZbudujMagistrale(int karty, int piny) {
    Object_Magistrala* magistrala = Magistrale->Dodaj(1, 1, 2, 19200, "Pełna");
    int id = 1;
    for (int adres = 0; adres < karty; ++adres) {
        Karty->DodajRekord(adres + 1, 1, 1, adres, "Karta");
        magistrala->DodajKarte(adres, 1);
        magistrala->ZmienWpis(adres, [&](WpisKarty& wpis) { wpis.Wejscia = static_cast<std::uint8_t>(adres & 0x3F); });
        Czytniki->DodajRekord(adres + 1, adres + 1, 1, "Czytnik");
        for (int n = 1; n <= piny; ++n) {
            Wejscia->DodajRekord(id, adres + 1, n, "Wejście");
            Object_Wyjscie* wyjscie = Wyjscia->DodajRekord(id, adres + 1, 0, n, "Wyjście", 0, 0);
            if ((adres + n) % 2)
                wyjscie->Wlacz();
            ++id;
        }
    }
}
