#pragma once
#include "core/Object.h"

class Object_Magistrala : public Object {
public:
    using Object::Object;
};

class Objects_Magistrale : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Magistrala(id); }
};
