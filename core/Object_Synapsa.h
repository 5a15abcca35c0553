#pragma once
#include "core/Object.h"

class Object_Synapsa : public Object {
public:
    using Object::Object;
};

class Objects_Synapsy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Synapsa(id); }
    void UstalKolejnosc() {}
    void Oznacz() {}
    void Krok() {}
};
