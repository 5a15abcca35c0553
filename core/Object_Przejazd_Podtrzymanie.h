#pragma once
#include "core/Object.h"

class Object_Przejazd_Podtrzymanie : public Object {
public:
    using Object::Object;
};

class Objects_Przejazdy_Podtrzymanie : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Przejazd_Podtrzymanie(id); }
    void Krok() {}
};
