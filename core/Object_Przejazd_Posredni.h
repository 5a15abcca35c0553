#pragma once
#include "core/Object.h"

class Object_Przejazd_Posredni : public Object {
public:
    using Object::Object;
};

class Objects_Przejazdy_Posrednie : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Przejazd_Posredni(id); }
    void Krok() {}
};
