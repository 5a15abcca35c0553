#pragma once
#include "core/Object.h"

class Object_Com : public Object {
public:
    using Object::Object;
};

class Objects_Coms : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Com(id); }
};
