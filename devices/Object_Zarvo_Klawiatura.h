#pragma once
#include "core/Object.h"

class Object_Zarvo_Klawiatura : public Object {
public:
    using Object::Object;
};

class Objects_Zarvo_Klawiatury : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Zarvo_Klawiatura(id); }
};
