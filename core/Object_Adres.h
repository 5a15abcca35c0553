#pragma once
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

// A house of the estate: the address that flats and parking spaces share.
class Object_Adres : public Object {
public:
    using Object::Object;

    TekstStaly<5> KodPocztowy;
    TekstStaly<60> Miejscowosc;
    TekstStaly<55> Ulica;
    TekstStaly<10> Numer;
};

class Objects_Adresy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Adres(id); }
    // Every kind: street, then house number, both byte by byte.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Adres* DodajRekord(int id, std::string_view kodPocztowy, std::string_view miejscowosc,
                              std::string_view ulica, std::string_view numer);
};
