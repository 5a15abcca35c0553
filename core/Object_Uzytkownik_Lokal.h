#pragma once
#include "core/Object.h"

class Object_Uzytkownik_Lokal : public Object {
public:
    using Object::Object;
};

class Objects_Uzytkownicy_Lokale : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Uzytkownik_Lokal(id); }
};
