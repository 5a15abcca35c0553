#include "core/Object_Obszar.h"

int Objects_Obszary::Porownaj(int, const Object* a, const Object* b) const {
    return PorownajNaturalnie(static_cast<const Object_Obszar*>(a)->Nazwa,
                              static_cast<const Object_Obszar*>(b)->Nazwa);
}

Object_Obszar* Objects_Obszary::DodajRekord(int id, std::string_view nazwa) {
    auto* o = static_cast<Object_Obszar*>(Nowy(id));
    o->Nazwa = nazwa;
    return o;
}
