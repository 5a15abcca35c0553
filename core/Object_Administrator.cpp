#include "core/Object_Administrator.h"

int Objects_Administratorzy::Porownaj(int, const Object* a, const Object* b) const {
    return PorownajNaturalnie(static_cast<const Object_Administrator*>(a)->Nazwa,
                              static_cast<const Object_Administrator*>(b)->Nazwa);
}

Object_Administrator* Objects_Administratorzy::DodajRekord(int id, std::string_view nazwa, std::string_view haslo,
                                                           std::uint8_t rodzaj) {
    auto* administrator = static_cast<Object_Administrator*>(Nowy(id));
    administrator->Nazwa = nazwa;
    administrator->Haslo = haslo;
    administrator->Rodzaj = rodzaj;
    return administrator;
}
