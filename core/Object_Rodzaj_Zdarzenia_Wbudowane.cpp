#include "core/Object_Rodzaj_Zdarzenia_Wbudowane.h"

int Objects_Rodzaje_Zdarzen_Wbudowane::Porownaj(int rodzaj, const Object* a, const Object* b) const {
    const auto* x = static_cast<const Object_Rodzaj_Zdarzenia_Wbudowane*>(a);
    const auto* y = static_cast<const Object_Rodzaj_Zdarzenia_Wbudowane*>(b);
    switch (rodzaj) {
    case 1: return PorownajNaturalnie(x->Nazwa, y->Nazwa);
    case 2: return PorownajLiczby(x->Symbol, y->Symbol);
    case 3: return PorownajLiczby(x->Kolor, y->Kolor);
    default: return 0;
    }
}

Object_Rodzaj_Zdarzenia_Wbudowane* Objects_Rodzaje_Zdarzen_Wbudowane::DodajRekord(int id, std::string_view nazwa,
                                                                                  std::int32_t symbol,
                                                                                  std::int32_t kolor) {
    auto* r = static_cast<Object_Rodzaj_Zdarzenia_Wbudowane*>(Nowy(id));
    r->Nazwa = nazwa;
    r->Symbol = symbol;
    r->Kolor = kolor;
    return r;
}
