#include "core/Object_Przycisk.h"

#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Objects_globals.h"

void Object_Przycisk::Polacz() {
    Zdarzenie = IdZdarzenia > 0 ? Polaczony<Object_Rodzaj_Zdarzenia>(RodzajeZdarzen, IdZdarzenia) : nullptr;
    Rodzic = IdPrzyciskuRodzic > 0 ? Polaczony<Object_Przycisk>(Przyciski, IdPrzyciskuRodzic) : nullptr;
}

void Object_Przycisk::Nacisnij() {
    Wcisniety = true;
    ++LicznikNacisniec;
}

void Object_Przycisk::Zwolnij(bool) {
    if (Rodzaj == Klik || (Rodzaj == Bistabilny && LicznikNacisniec > 1)) {
        LicznikNacisniec = 0;
        Wcisniety = false;
    }
}

namespace {

enum Klucz { Etykieta, Opis, Rodzaj, Kolor, KolorGrupy, Rodzic };

int PorownajKlucz(Klucz klucz, const Object_Przycisk& a, const Object_Przycisk& b) {
    switch (klucz) {
        case Etykieta: return Objects::PorownajNaturalnie(a.Etykieta, b.Etykieta);
        case Opis: return Objects::PorownajNaturalnie(a.Opis, b.Opis);
        case Rodzaj: return PorownajLiczby(a.Rodzaj, b.Rodzaj);
        case Kolor: return PorownajLiczby(a.Kolor, b.Kolor);
        case KolorGrupy: return PorownajLiczby(a.KolorGrupy, b.KolorGrupy);
        case Rodzic: return a.Rodzic && b.Rodzic ? Objects::PorownajNaturalnie(a.Rodzic->Etykieta, b.Rodzic->Etykieta) : 0;
    }
    return 0;
}

constexpr Klucz Klucze[][5] = {
    {Etykieta, Opis, Rodzaj, Kolor, Rodzic},     // any other kind
    {Opis, Etykieta, Rodzaj, Kolor, Rodzic},     // 1
    {Rodzaj, Etykieta, Opis, Kolor, Rodzic},     // 2
    {Kolor, Etykieta, Opis, Rodzaj, Rodzic},     // 3
    {KolorGrupy, Etykieta, Opis, Rodzaj, Rodzic}, // 4
    {Rodzic, Etykieta, Opis, Rodzaj, Kolor},     // 5
};

} // namespace

int Objects_Przyciski::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Przycisk&>(*oa);
    const auto& b = static_cast<const Object_Przycisk&>(*ob);
    const auto& klucze = Klucze[rodzaj >= 1 && rodzaj <= 5 ? rodzaj : 0];
    for (Klucz klucz : klucze)
        if (int w = PorownajKlucz(klucz, a, b))
            return w;
    return 0;
}

Object_Przycisk* Objects_Przyciski::DodajRekord(int id, std::string_view etykieta, std::string_view opis, int rodzaj,
                                                std::int32_t kolor, std::int32_t kolorGrupy, int idZdarzenia,
                                                int idPrzyciskuRodzic, bool wszystkieWarstwy) {
    auto* p = static_cast<Object_Przycisk*>(Nowy(id));
    p->Etykieta = etykieta;
    p->Opis = opis;
    p->Rodzaj = rodzaj;
    p->Kolor = kolor;
    p->KolorGrupy = kolorGrupy;
    p->IdZdarzenia = idZdarzenia;
    p->IdPrzyciskuRodzic = idPrzyciskuRodzic;
    p->WszystkieWarstwy = wszystkieWarstwy;
    return p;
}
