#pragma once
#include "core/Object.h"

class Object_Zdarzenie : public Object {
public:
    using Object::Object;
};

class Objects_Zdarzenia : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Zdarzenie(id); }
    void ZakonczZdarzenia() {}
};
