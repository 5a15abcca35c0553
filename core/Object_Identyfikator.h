#pragma once
#include "core/Object.h"

class Object_Identyfikator : public Object {
public:
    using Object::Object;
};

class Objects_Identyfikatory : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Identyfikator(id); }
};
