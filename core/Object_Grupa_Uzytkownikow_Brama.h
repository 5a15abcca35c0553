#pragma once
#include <cstdint>

#include "core/Object.h"

class Object_Grupa_Uzytkownikow;
class Object_Brama;

// A right of a user group at a gate, limited to some remote-control buttons.
class Object_Grupa_Uzytkownikow_Brama : public Object {
public:
    using Object::Object;

    void Polacz() override;

    // Whether the right covers the button that came with a code. Button 0 is
    // a reader without buttons (a transponder, a plate), which every right
    // covers; button n is bit n - 1 of the mask, counted modulo 32 because
    // some remotes number their buttons past 32.
    bool Obejmuje(int przycisk) const;

    int IdGrupyUzytkownikow = 0;
    int IdBramy = 0;
    // Bit n - 1 stands for button n.
    std::int32_t Przycisk = 0;
    Object_Grupa_Uzytkownikow* Grupa = nullptr;
    Object_Brama* Brama = nullptr;
};

class Objects_Grupy_Uzytkownikow_Bramy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Grupa_Uzytkownikow_Brama(id); }
    // Kind 0: by the group's name when both rights are linked to a group;
    // otherwise (and for every other kind) by id.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Grupa_Uzytkownikow_Brama* DodajRekord(int id, int idGrupyUzytkownikow, int idBramy, std::int32_t przycisk);
};
