#pragma once
#include "core/Object.h"

class Object_Karta : public Object {
public:
    using Object::Object;
};

class Objects_Karty : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Karta(id); }
};
