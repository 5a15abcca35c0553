#pragma once
#include "core/Object.h"

class Object_Rodzaj_Identyfikatora : public Object {
public:
    using Object::Object;
};

class Objects_Rodzaje_Identyfikatorow : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Rodzaj_Identyfikatora(id); }
};
