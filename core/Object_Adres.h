#pragma once
#include "core/Object.h"

class Object_Adres : public Object {
public:
    using Object::Object;
};

class Objects_Adresy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Adres(id); }
};
