#include "core/Object_Rodzaj_Identyfikatora.h"

Objects_Rodzaje_Identyfikatorow::Objects_Rodzaje_Identyfikatorow() {
    static constexpr const char* nazwy[] = {"Pilot", "Transponder", "Tablica rejestracyjna", "Kod tymczasowy"};
    for (int id = 1; id <= 4; ++id)
        static_cast<Object_Rodzaj_Identyfikatora*>(Nowy(id))->Nazwa = nazwy[id - 1];
}

int Objects_Rodzaje_Identyfikatorow::Porownaj(int, const Object* a, const Object* b) const {
    return PorownajNaturalnie(static_cast<const Object_Rodzaj_Identyfikatora*>(a)->Nazwa,
                              static_cast<const Object_Rodzaj_Identyfikatora*>(b)->Nazwa);
}

std::string Objects_Rodzaje_Identyfikatorow::Nazwa(int rodzaj) const {
    const auto* element = static_cast<const Object_Rodzaj_Identyfikatora*>(Znajdz(rodzaj));
    return element ? element->Nazwa.str() : "Nieznany";
}
