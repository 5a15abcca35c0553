#pragma once
#include "core/Object.h"

// A logic node: an OR or AND of the links that end in it.
class Object_Neuron : public Object {
public:
    using Object::Object;

    int LiczbaWejsc = 0;    // links ending here
    int AktywneWejscia = 0; // of them, the ones delivering true

    void DodajWejscie() { ++LiczbaWejsc; }
    void Aktywuj() { ++AktywneWejscia; }
    // Links and event actions both drive the count; an unmatched release
    // must not leave it negative.
    void Dezaktywuj() {
        if (AktywneWejscia > 0) --AktywneWejscia;
    }
};

class Objects_Neurony : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Neuron(id); }
};
