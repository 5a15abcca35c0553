#include "core/Object_Grupa_Uzytkownikow_Brama.h"

#include "core/Object_Brama.h"
#include "core/Object_Grupa_Uzytkownikow.h"
#include "core/Objects_globals.h"

void Object_Grupa_Uzytkownikow_Brama::Polacz() {
    Grupa = Polaczony<Object_Grupa_Uzytkownikow>(GrupyUzytkownikow, IdGrupyUzytkownikow);
    Brama = Polaczony<Object_Brama>(Bramy, IdBramy);
}

bool Object_Grupa_Uzytkownikow_Brama::Obejmuje(int przycisk) const {
    if (przycisk == 0)
        return true;
    const unsigned bit = (static_cast<unsigned>(przycisk) - 1u) % 32u;
    return (static_cast<std::uint32_t>(Przycisk) >> bit) & 1u;
}

int Objects_Grupy_Uzytkownikow_Bramy::Porownaj(int rodzaj, const Object* a, const Object* b) const {
    const auto* pa = static_cast<const Object_Grupa_Uzytkownikow_Brama*>(a);
    const auto* pb = static_cast<const Object_Grupa_Uzytkownikow_Brama*>(b);
    if (rodzaj == 0 && pa->Grupa && pb->Grupa)
        return PorownajNaturalnie(pa->Grupa->Nazwa, pb->Grupa->Nazwa);
    return PorownajLiczby(a->Id(), b->Id());
}

Object_Grupa_Uzytkownikow_Brama* Objects_Grupy_Uzytkownikow_Bramy::DodajRekord(int id, int idGrupyUzytkownikow,
                                                                             int idBramy, std::int32_t przycisk) {
    auto* prawo = static_cast<Object_Grupa_Uzytkownikow_Brama*>(Nowy(id));
    prawo->IdGrupyUzytkownikow = idGrupyUzytkownikow;
    prawo->IdBramy = idBramy;
    prawo->Przycisk = przycisk;
    return prawo;
}
