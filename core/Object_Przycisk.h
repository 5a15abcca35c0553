#pragma once
#include "core/Object.h"

class Object_Przycisk : public Object {
public:
    using Object::Object;
};

class Objects_Przyciski : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Przycisk(id); }
};
