#pragma once
#include "core/Object.h"

class Object_Wyjscie : public Object {
public:
    using Object::Object;
};

class Objects_Wyjscia : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Wyjscie(id); }
    void Krok() {}
};
