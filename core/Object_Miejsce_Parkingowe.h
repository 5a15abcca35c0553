#pragma once
#include "core/Object.h"

class Object_Miejsce_Parkingowe : public Object {
public:
    using Object::Object;
};

class Objects_Miejsca_Parkingowe : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Miejsce_Parkingowe(id); }
};
