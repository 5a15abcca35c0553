#pragma once
#include "core/Object.h"

class Object_Czytnik : public Object {
public:
    using Object::Object;
};

class Objects_Czytniki : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Czytnik(id); }
    void Skanuj() {}
};
