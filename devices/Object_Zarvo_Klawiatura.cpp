#include "devices/Object_Zarvo_Klawiatura.h"

#include "core/Objects_globals.h"
#include "devices/Object_Zarvo_Centrala.h"

void Object_Zarvo_Klawiatura::Polacz() { Centrala = Polaczony<Object_Zarvo_Centrala>(Centrale, IdCentralaZarvoGsm); }

int Objects_Zarvo_Klawiatury::Porownaj(int, const Object* pa, const Object* pb) const {
    const auto& a = *static_cast<const Object_Zarvo_Klawiatura*>(pa);
    const auto& b = *static_cast<const Object_Zarvo_Klawiatura*>(pb);
    if (const int r = a.Nazwa.str().compare(b.Nazwa.str()))
        return Znak(r);
    if (!a.Centrala || !b.Centrala)
        return 0;
    if (const int r = a.Centrala->Nazwa.str().compare(b.Centrala->Nazwa.str()))
        return Znak(r);
    return PorownajLiczby(a.Centrala->Adres, b.Centrala->Adres);
}

Object_Zarvo_Klawiatura* Objects_Zarvo_Klawiatury::Dodaj(int id, int idCentralaZarvoGsm, int numer,
                                                         std::string_view nazwa, int idDeviceCloud) {
    auto* k = static_cast<Object_Zarvo_Klawiatura*>(Nowy(id));
    k->IdCentralaZarvoGsm = idCentralaZarvoGsm;
    k->Numer = numer;
    k->Nazwa = nazwa;
    k->IdDeviceCloud = idDeviceCloud;
    return k;
}

Object_Zarvo_Klawiatura* Objects_Zarvo_Klawiatury::ZnajdzNumer(int numer) const {
    for (int i = Rozmiar() - 1; i >= 0; --i)
        if (auto* k = static_cast<Object_Zarvo_Klawiatura*>(Element(i)); k->Numer == numer)
            return k;
    return nullptr;
}

Object_Zarvo_Klawiatura* Objects_Zarvo_Klawiatury::Znajdz(int idCentralaZarvoGsm, int numer) const {
    for (int i = Rozmiar() - 1; i >= 0; --i)
        if (auto* k = static_cast<Object_Zarvo_Klawiatura*>(Element(i));
            k->IdCentralaZarvoGsm == idCentralaZarvoGsm && k->Numer == numer)
            return k;
    return nullptr;
}
