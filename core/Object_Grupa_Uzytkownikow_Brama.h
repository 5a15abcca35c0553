#pragma once
#include "core/Object.h"

class Object_Grupa_Uzytkownikow_Brama : public Object {
public:
    using Object::Object;
};

class Objects_Grupy_Uzytkownikow_Bramy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Grupa_Uzytkownikow_Brama(id); }
};
