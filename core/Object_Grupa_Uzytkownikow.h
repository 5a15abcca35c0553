#pragma once
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

// A user group: residents of one group share its rights at the gates.
class Object_Grupa_Uzytkownikow : public Object {
public:
    using Object::Object;

    TekstStaly<40> Nazwa;
};

class Objects_Grupy_Uzytkownikow : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Grupa_Uzytkownikow(id); }
    // By name, naturally, whatever the kind.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Grupa_Uzytkownikow* DodajRekord(int id, std::string_view nazwa);
};
