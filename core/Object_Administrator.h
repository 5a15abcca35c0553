#pragma once
#include "core/Object.h"

class Object_Administrator : public Object {
public:
    using Object::Object;
};

class Objects_Administratorzy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Administrator(id); }
};
