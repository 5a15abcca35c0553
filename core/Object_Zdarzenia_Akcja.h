#pragma once
#include "core/Object.h"

class Object_Zdarzenia_Akcja : public Object {
public:
    using Object::Object;
};

class Objects_Zdarzenia_Akcje : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Zdarzenia_Akcja(id); }
    void Krok() {}
};
