#include "core/Object_Karta.h"

#include "core/Objects_globals.h"

namespace {


// A board without a bus sorts as COM 0.
int Com(const Object_Karta& k) { return k.Magistrala ? k.Magistrala->Com : 0; }

} // namespace

void Object_Karta::Polacz() { Magistrala = Polaczony<Object_Magistrala>(Magistrale, IdMagistrali); }

bool Object_Karta::Dostepna() const {
    const Object_Magistrala* m = MagistralaObrazu();
    return m && m->PortOtwarty() && m->Status(Adres) == StatusOk;
}

std::uint32_t Object_Karta::Status() const {
    const Object_Magistrala* m = MagistralaObrazu();
    return m ? m->Status(Adres) : 0;
}

int Objects_Karty::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Karta&>(*oa);
    const auto& b = static_cast<const Object_Karta&>(*ob);
    int c = 0;
    switch (rodzaj) {
    case 1:
        c = Znak(Com(a) - Com(b));
        if (!c)
            c = Znak(a.Adres - b.Adres);
        break;
    case 2:
        c = Znak(a.Adres - b.Adres);
        if (!c)
            c = Znak(Com(a) - Com(b));
        break;
    default:
        c = Znak(PorownajNaturalnie(a.Nazwa, b.Nazwa));
        if (!c && a.Magistrala && b.Magistrala)
            c = Znak(Com(a) - Com(b));
        if (!c)
            c = Znak(a.Adres - b.Adres);
        break;
    }
    return c;
}

Object_Karta* Objects_Karty::DodajRekord(int id, int idRodzajKarty, int idMagistrali, int adres,
                                         std::string_view nazwa) {
    auto* k = static_cast<Object_Karta*>(Nowy(id));
    k->IdRodzajKarty = idRodzajKarty;
    k->IdMagistrali = idMagistrali;
    k->Adres = adres;
    k->Nazwa = nazwa;
    return k;
}

int PorownajNaKarcie(int rodzaj, const Object_Karta* kartaA, const Object_Karta* kartaB, int numerA, int numerB,
                     std::string_view nazwaA, std::string_view nazwaB) {
    const auto karta = [&] { return kartaA && kartaB ? Znak(Objects::PorownajNaturalnie(kartaA->Nazwa, kartaB->Nazwa)) : 0; };
    const auto numer = [&] { return Znak(static_cast<long long>(numerA) - numerB); };
    const auto nazwa = [&] { return Znak(Objects::PorownajNaturalnie(nazwaA, nazwaB)); };
    int c = 0;
    switch (rodzaj) {
    case 1:
        if (!(c = karta()) && !(c = numer()))
            c = nazwa();
        break;
    case 2:
        if (!(c = numer()) && !(c = karta()))
            c = nazwa();
        break;
    default:
        if (!(c = nazwa()) && !(c = karta()))
            c = numer();
        break;
    }
    return c;
}
