#pragma once
#include "core/Object.h"

class Object_Zarvo_Centrala : public Object {
public:
    using Object::Object;
};

class Objects_Zarvo_Centrale : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Zarvo_Centrala(id); }
};
