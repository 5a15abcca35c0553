#pragma once
#include "core/Object.h"

class Object_Rodzaj_Zdarzenia_Wbudowane : public Object {
public:
    using Object::Object;
};

class Objects_Rodzaje_Zdarzen_Wbudowane : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Rodzaj_Zdarzenia_Wbudowane(id); }
};
