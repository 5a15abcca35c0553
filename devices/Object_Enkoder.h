#pragma once
#include "core/Object.h"

class Object_Enkoder : public Object {
public:
    using Object::Object;
};

class Objects_Enkodery : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Enkoder(id); }
};
