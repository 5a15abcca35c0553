#pragma once
#include "core/Object.h"
#include "core/Object_Lokal.h"

class Object_Obszar;
class Object_Grupa_Lokali;

// One member of an area: a keypad, a flat group or a flat; the ids a row does
// not use are 0.
class Object_Obszar_Obiekt : public Object {
public:
    using Object::Object;

    void Polacz() override;

    int IdObszaru = 0;
    int IdZarvoKlawiatury = 0;
    int IdGrupyLokali = 0;
    int IdLokalu = 0;
    Object_Obszar* Obszar = nullptr;
    // The keypad lives in the device layer, which core cannot include; the
    // controllers' layer reads it through its own type.
    Object* Klawiatura = nullptr;
    Object_Grupa_Lokali* GrupaLokali = nullptr;
    Object_Lokal* Lokal = nullptr;
};

class Objects_Obszary_Obiekty : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Obszar_Obiekt(id); }
    // Every kind: area, keypad, flat group, then the flat's street, house
    // number and designation, each where both sides are linked; then the id.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Obszar_Obiekt* DodajRekord(int id, int idObszaru, int idZarvoKlawiatury, int idGrupyLokali,
                                      int idLokalu);

    // The area the keypad belongs to; null when none, for keypad 0, or when
    // its member row is not linked. The later row wins. Reads only.
    Object_Obszar* ObszarKlawiatury(int idZarvoKlawiatury) const;

    static void UstawNazweKlawiatury(NazwaUrzadzenia nazwa) { nazwaKlawiatury_ = nazwa; }
    static std::string NazwaKlawiatury(const Object* klawiatura);

private:
    static inline NazwaUrzadzenia nazwaKlawiatury_ = nullptr;
};
