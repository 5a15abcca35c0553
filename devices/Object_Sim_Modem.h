#pragma once
#include "core/Object.h"

class Object_Sim_Modem : public Object {
public:
    using Object::Object;
};

class Objects_Sim_Modemy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Sim_Modem(id); }
};
