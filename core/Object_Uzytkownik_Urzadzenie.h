#pragma once
#include "core/Object.h"

class Object_Uzytkownik_Urzadzenie : public Object {
public:
    using Object::Object;
};

class Objects_Uzytkownicy_Urzadzenia : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Uzytkownik_Urzadzenie(id); }
};
