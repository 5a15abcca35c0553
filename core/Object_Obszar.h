#pragma once
#include "core/Object.h"

class Object_Obszar : public Object {
public:
    using Object::Object;
};

class Objects_Obszary : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Obszar(id); }
};
