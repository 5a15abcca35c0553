#include "core/Object_Adres.h"

int Objects_Adresy::Porownaj(int, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Adres&>(*oa);
    const auto& b = static_cast<const Object_Adres&>(*ob);
    if (int r = a.Ulica.str().compare(b.Ulica.str()))
        return r;
    return a.Numer.str().compare(b.Numer.str());
}

Object_Adres* Objects_Adresy::DodajRekord(int id, std::string_view kodPocztowy, std::string_view miejscowosc,
                                          std::string_view ulica, std::string_view numer) {
    auto* a = static_cast<Object_Adres*>(Nowy(id));
    a->KodPocztowy = kodPocztowy;
    a->Miejscowosc = miejscowosc;
    a->Ulica = ulica;
    a->Numer = numer;
    return a;
}
