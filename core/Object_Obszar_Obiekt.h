#pragma once
#include "core/Object.h"

class Object_Obszar_Obiekt : public Object {
public:
    using Object::Object;
};

class Objects_Obszary_Obiekty : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Obszar_Obiekt(id); }
};
