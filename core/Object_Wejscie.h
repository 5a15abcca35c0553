#pragma once
#include "core/Object.h"

class Object_Wejscie : public Object {
public:
    using Object::Object;
};

class Objects_Wejscia : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Wejscie(id); }
    void Skanuj() {}
};
