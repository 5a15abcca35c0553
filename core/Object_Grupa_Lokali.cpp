#include "core/Object_Grupa_Lokali.h"

int Objects_Grupy_Lokali::Porownaj(int, const Object* a, const Object* b) const {
    return static_cast<const Object_Grupa_Lokali*>(a)->Nazwa.str().compare(
        static_cast<const Object_Grupa_Lokali*>(b)->Nazwa.str());
}

Object_Grupa_Lokali* Objects_Grupy_Lokali::DodajRekord(int id, std::string_view nazwa) {
    auto* g = static_cast<Object_Grupa_Lokali*>(Nowy(id));
    g->Nazwa = nazwa;
    return g;
}
