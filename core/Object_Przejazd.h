#pragma once
#include "core/Object.h"

class Object_Przejazd : public Object {
public:
    using Object::Object;
};

class Objects_Przejazdy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Przejazd(id); }
    void Krok() {}
};
