#pragma once
#include "core/Object.h"

class Object_Lokal : public Object {
public:
    using Object::Object;
};

class Objects_Lokale : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Lokal(id); }
};
