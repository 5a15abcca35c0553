#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

// A group of event kinds with its priority (1 the most urgent in the
// default groups).
class Object_Grupa_Zdarzen : public Object {
public:
    using Object::Object;

    std::int32_t Priorytet = 0;
    TekstStaly<40> Nazwa;
};

class Object_Grupy_Zdarzen : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Grupa_Zdarzen(id); }
    // 1: priority, name; any other: name, priority.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Grupa_Zdarzen* DodajRekord(int id, std::string_view nazwa, std::int32_t priorytet);
};
