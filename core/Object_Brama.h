#pragma once
#include "core/Object.h"

class Object_Brama : public Object {
public:
    using Object::Object;
};

class Objects_Bramy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Brama(id); }
    void Krok() {}
};
