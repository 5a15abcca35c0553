#pragma once
#include "core/Object.h"

class Object_Gfx_Symbol : public Object {
public:
    using Object::Object;
};

class Objects_Gfx_Symbole : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Gfx_Symbol(id); }
    bool Wczytaj() { return true; }
};
