#include "core/Object_Grupa_Zdarzen.h"

int Object_Grupy_Zdarzen::Porownaj(int rodzaj, const Object* a, const Object* b) const {
    const auto* x = static_cast<const Object_Grupa_Zdarzen*>(a);
    const auto* y = static_cast<const Object_Grupa_Zdarzen*>(b);
    const int priorytet = PorownajLiczby(x->Priorytet, y->Priorytet);
    const int nazwa = PorownajNaturalnie(x->Nazwa, y->Nazwa);
    if (rodzaj == 1)
        return priorytet != 0 ? priorytet : nazwa;
    return nazwa != 0 ? nazwa : priorytet;
}

Object_Grupa_Zdarzen* Object_Grupy_Zdarzen::DodajRekord(int id, std::string_view nazwa, std::int32_t priorytet) {
    auto* g = static_cast<Object_Grupa_Zdarzen*>(Nowy(id));
    g->Nazwa = nazwa;
    g->Priorytet = priorytet;
    return g;
}
