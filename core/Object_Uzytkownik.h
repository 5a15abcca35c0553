#pragma once
#include "core/Object.h"

class Object_Uzytkownik : public Object {
public:
    using Object::Object;
};

class Objects_Uzytkownicy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Uzytkownik(id); }
};
