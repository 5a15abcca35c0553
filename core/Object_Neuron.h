#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

// A logic node: an OR or AND of the links that end in it, true only inside
// its daily window and held for some seconds after its condition ends.
class Object_Neuron : public Object {
public:
    using Object::Object;

    enum : int { DowolneWejscie = 0, WszystkieWejscia = 1 };

    TekstStaly<40> Nazwa;
    int Rodzaj = DowolneWejscie;
    int GodzinaOd = 0; // hour * 256 + minute; equal bounds: the whole day
    int GodzinaDo = 0;
    int Podtrzymanie = 0; // seconds
    int Poziom = 0;       // distance from the inputs, computed at start
    bool Wynik = false;
    // Seconds of the logic clock when the result last fell.
    std::int64_t CzasWylaczenia = 0;
    int LiczbaWejsc = 0;    // links ending here
    int AktywneWejscia = 0; // of them, the ones delivering true

    void DodajWejscie() { ++LiczbaWejsc; }
    void Aktywuj() { ++AktywneWejscia; }
    // Links and event actions both drive the count; an unmatched release
    // must not leave it negative.
    void Dezaktywuj() {
        if (AktywneWejscia > 0) --AktywneWejscia;
    }

    // Evaluates afresh on every call, against the logic clock and the
    // local time of day.
    bool Oblicz();
    // The same at a given instant: seconds of the logic clock and the local
    // time of day as hour * 256 + minute.
    bool Oblicz(std::int64_t sekundy, int poraDnia);
    bool WOknie(int poraDnia) const;

    // The logic clock's snapshot in whole seconds: delays and hold times
    // count on it, so they never jump with the wall clock.
    static std::int64_t SekundyZegara();
    // The local time of day now, as hour * 256 + minute.
    static int PoraDnia();
};

class Objects_Neurony : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Neuron(id); }
    // 1: kind first; 2: window first; 3: hold time first; any other: name
    // first (the .cpp lists the following keys).
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Neuron* DodajRekord(int id, std::string_view nazwa, int rodzaj, int godzinaOd, int godzinaDo,
                               int podtrzymanie);
};
