#include "core/Object_Obszar_Obiekt.h"

#include "core/Object_Adres.h"
#include "core/Object_Grupa_Lokali.h"
#include "core/Object_Obszar.h"
#include "core/Objects_globals.h"

namespace {


int Dokladnie(std::string_view a, std::string_view b) { return a.compare(b); }

} // namespace

void Object_Obszar_Obiekt::Polacz() {
    Obszar = Polaczony<Object_Obszar>(Obszary, IdObszaru);
    Objects* klawiatury = KontenerGlobalny(NrKlawiatury);
    Klawiatura = IdZarvoKlawiatury && klawiatury ? klawiatury->Znajdz(IdZarvoKlawiatury) : nullptr;
    GrupaLokali = Polaczony<Object_Grupa_Lokali>(GrupyLokali, IdGrupyLokali);
    Lokal = Polaczony<Object_Lokal>(Lokale, IdLokalu);
}

std::string Objects_Obszary_Obiekty::NazwaKlawiatury(const Object* klawiatura) {
    return klawiatura && nazwaKlawiatury_ ? nazwaKlawiatury_(klawiatura) : std::string();
}

int Objects_Obszary_Obiekty::Porownaj(int, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Obszar_Obiekt&>(*oa);
    const auto& b = static_cast<const Object_Obszar_Obiekt&>(*ob);
    int r = 0;
    if (a.Obszar && b.Obszar && (r = Dokladnie(a.Obszar->Nazwa, b.Obszar->Nazwa)))
        return r;
    if (a.Klawiatura && b.Klawiatura && (r = Dokladnie(NazwaKlawiatury(a.Klawiatura), NazwaKlawiatury(b.Klawiatura))))
        return r;
    if (a.GrupaLokali && b.GrupaLokali && (r = Dokladnie(a.GrupaLokali->Nazwa, b.GrupaLokali->Nazwa)))
        return r;
    if (a.Lokal && b.Lokal && a.Lokal->Adres && b.Lokal->Adres) {
        if ((r = Dokladnie(a.Lokal->Adres->Ulica, b.Lokal->Adres->Ulica)))
            return r;
        if ((r = Dokladnie(a.Lokal->Adres->Numer, b.Lokal->Adres->Numer)))
            return r;
        if ((r = Dokladnie(a.Lokal->Lokal, b.Lokal->Lokal)))
            return r;
    }
    return PorownajLiczby(a.Id(), b.Id());
}

Object_Obszar_Obiekt* Objects_Obszary_Obiekty::DodajRekord(int id, int idObszaru, int idZarvoKlawiatury,
                                                           int idGrupyLokali, int idLokalu) {
    auto* o = static_cast<Object_Obszar_Obiekt*>(Nowy(id));
    o->IdObszaru = idObszaru;
    o->IdZarvoKlawiatury = idZarvoKlawiatury;
    o->IdGrupyLokali = idGrupyLokali;
    o->IdLokalu = idLokalu;
    return o;
}

Object_Obszar* Objects_Obszary_Obiekty::ObszarKlawiatury(int idZarvoKlawiatury) const {
    // Rows of flat groups and flats hold keypad 0: an event without a keypad
    // must not take the area of whichever of them stands last.
    if (idZarvoKlawiatury == 0)
        return nullptr;
    for (int i = Rozmiar() - 1; i >= 0; --i) {
        const auto* o = static_cast<const Object_Obszar_Obiekt*>(Element(i));
        if (o->IdZarvoKlawiatury == idZarvoKlawiatury)
            return o->Obszar;
    }
    return nullptr;
}
