#pragma once
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

// An area of the estate: the keypads, flat groups and flats that belong
// together for the controllers' events and the change register.
class Object_Obszar : public Object {
public:
    using Object::Object;

    TekstStaly<40> Nazwa;
};

class Objects_Obszary : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Obszar(id); }
    // Every kind: the name, naturally.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Obszar* DodajRekord(int id, std::string_view nazwa);
};
