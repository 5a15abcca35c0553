#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

class Object_Zarvo_Centrala;

// A keypad of a controller (1..7): it has no behaviour of its own, it names
// the keypad number the controller's events carry, for the event log, the
// windows and the cloud service.
class Object_Zarvo_Klawiatura : public Object {
public:
    using Object::Object;

    void Polacz() override;

    int IdCentralaZarvoGsm = 0;
    Object_Zarvo_Centrala* Centrala = nullptr;
    int Numer = 0;
    TekstStaly<40> Nazwa;
    int IdDeviceCloud = 0;
};

class Objects_Zarvo_Klawiatury : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Zarvo_Klawiatura(id); }
    // Every kind: name (byte-wise), then the controllers' names and
    // addresses where both keypads have a controller.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    using Objects::Dodaj;
    Object_Zarvo_Klawiatura* Dodaj(int id, int idCentralaZarvoGsm, int numer, std::string_view nazwa,
                                   int idDeviceCloud);

    // Both search from the end: the keypad later in display order wins.
    Object_Zarvo_Klawiatura* ZnajdzNumer(int numer) const;
    using Objects::Znajdz;
    Object_Zarvo_Klawiatura* Znajdz(int idCentralaZarvoGsm, int numer) const;
};
