#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

// A kind of event the program itself logs, under a fixed id (1 sensor
// active ... 29 code used): the logic uses the ids as constants, the table
// gives the texts and colours.
class Object_Rodzaj_Zdarzenia_Wbudowane : public Object {
public:
    using Object::Object;

    // The column holds 50 characters; the desk has always shown 40.
    TekstStaly<40> Nazwa;
    std::int32_t Symbol = 0;
    std::int32_t Kolor = 0xFFFFFF;
};

class Objects_Rodzaje_Zdarzen_Wbudowane : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Rodzaj_Zdarzenia_Wbudowane(id); }
    // 1: name, 2: symbol, 3: colour; any other kind finds all equal.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Rodzaj_Zdarzenia_Wbudowane* DodajRekord(int id, std::string_view nazwa, std::int32_t symbol,
                                                   std::int32_t kolor);
};
