#pragma once
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

class Object_Karta;

// An input of a board, following the board's reported input byte.
class Object_Wejscie : public Object {
public:
    using Object::Object;

    int IdKarty = 0;
    int Wejscie = 0; // 1..6
    TekstStaly<40> Nazwa;
    Object_Karta* Karta = nullptr;
    // Set by the passages' link steps; only a fresh load clears it.
    bool CzujnikPrzejazdu = false;
    bool Zmiana = false; // the state changed in this tick
    bool Stan = false;
    // A passage still has to log a sensor event for this change.
    bool ZdarzenieCzujnika = false;

    void Polacz() override;
};

class Objects_Wejscia : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Wejscie(id); }
    // 1: board's name, number, name; 2: number, board's name, name; other:
    // name, board's name, number. Board names count only when both inputs
    // have a board.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Wejscie* DodajRekord(int id, int idKarty, int wejscie, std::string_view nazwa);

    // Tick step: each input reads its bit from its board's image entry.
    void Skanuj();
};
