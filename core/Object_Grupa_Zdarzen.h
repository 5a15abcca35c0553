#pragma once
#include "core/Object.h"

class Object_Grupa_Zdarzen : public Object {
public:
    using Object::Object;
};

class Object_Grupy_Zdarzen : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Grupa_Zdarzen(id); }
};
