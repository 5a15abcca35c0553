#pragma once
#include "core/Object.h"
#include "core/TekstStaly.h"

class Object_Magistrala;

class Object_Karta : public Object {
public:
    using Object::Object;

    int IdRodzajKarty = 0;
    int IdMagistrali = 0;
    int Adres = 0;
    TekstStaly<40> Nazwa;
    Object_Magistrala* Magistrala = nullptr;
};

class Objects_Karty : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Karta(id); }
};
