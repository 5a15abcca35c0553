#pragma once
#include "core/Object.h"

class Object_Grupa_Lokali_Lokal : public Object {
public:
    using Object::Object;
};

class Objects_Grupy_Lokali_Lokale : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Grupa_Lokali_Lokal(id); }
};
