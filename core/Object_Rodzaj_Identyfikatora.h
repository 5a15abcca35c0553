#pragma once
#include <string>

#include "core/Object.h"
#include "core/TekstStaly.h"

// A kind of identifier; the four kinds are fixed.
class Object_Rodzaj_Identyfikatora : public Object {
public:
    using Object::Object;

    TekstStaly<40> Nazwa;
};

class Objects_Rodzaje_Identyfikatorow : public Objects {
public:
    // Holds the four kinds from the start; nothing adds more.
    Objects_Rodzaje_Identyfikatorow();

    Object* Utworz(int id) override { return new Object_Rodzaj_Identyfikatora(id); }
    // By name, naturally, whatever the kind.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    // The kind's name; "Nieznany" for a kind that is not one of the four.
    std::string Nazwa(int rodzaj) const;
};
