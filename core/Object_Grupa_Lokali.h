#pragma once
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

// A named group of flats (a staircase, a building) that areas and the
// residents' manager select flats by.
class Object_Grupa_Lokali : public Object {
public:
    using Object::Object;

    TekstStaly<40> Nazwa;
};

class Objects_Grupy_Lokali : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Grupa_Lokali(id); }
    // Every kind: the name, byte by byte.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Grupa_Lokali* DodajRekord(int id, std::string_view nazwa);
};
