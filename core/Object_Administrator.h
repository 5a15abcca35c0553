#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

// An operator account of the desk.
class Object_Administrator : public Object {
public:
    using Object::Object;

    // The login.
    TekstStaly<20> Nazwa;
    // The first 16 hexadecimal digits of the password digest.
    TekstStaly<16> Haslo;
    // The role: 1 "Administrator", 2 "Projektant wizualizacji",
    // 3 "Projektant systemowy", 4 "Raportowanie", 5 "Portier".
    std::uint8_t Rodzaj = 0;
};

class Objects_Administratorzy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Administrator(id); }
    // By login, naturally, whatever the kind.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    // Haslo keeps the first 16 characters of the digest text given.
    Object_Administrator* DodajRekord(int id, std::string_view nazwa, std::string_view haslo, std::uint8_t rodzaj);
};
