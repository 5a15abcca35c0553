#pragma once
#include "core/Object.h"

class Object_Neuron : public Object {
public:
    using Object::Object;
};

class Objects_Neurony : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Neuron(id); }
};
