#include "core/Object_Grupa_Uzytkownikow.h"

int Objects_Grupy_Uzytkownikow::Porownaj(int, const Object* a, const Object* b) const {
    return PorownajNaturalnie(static_cast<const Object_Grupa_Uzytkownikow*>(a)->Nazwa,
                              static_cast<const Object_Grupa_Uzytkownikow*>(b)->Nazwa);
}

Object_Grupa_Uzytkownikow* Objects_Grupy_Uzytkownikow::DodajRekord(int id, std::string_view nazwa) {
    auto* grupa = static_cast<Object_Grupa_Uzytkownikow*>(Nowy(id));
    grupa->Nazwa = nazwa;
    return grupa;
}
