#include "core/Object_Zdarzenia_Akcja.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/Czas.h"
#include "core/Object_Grupa_Lokali.h"
#include "core/Object_Grupa_Lokali_Lokal.h"
#include "core/Object_Lokal.h"
#include "core/Object_Neuron.h"
#include "core/Object_Obszar_Obiekt.h"
#include "core/Object_Rodzaj_Zdarzenia_Wbudowane.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"

void Object_Zdarzenia_Akcja::Polacz() {
    RodzajWbudowany = Polaczony<Object_Rodzaj_Zdarzenia_Wbudowane>(RodzajeZdarzenWbudowane, IdRodzajZdarzeniaWbudowane);
    Centrala = Polaczony<Object>(KontenerGlobalny(NrCentrale), IdCentralaZarvoGsm);
    Klawiatura = Polaczony<Object>(KontenerGlobalny(NrKlawiatury), IdZarvoKlawiatury);
    GrupaLokali = Polaczony<Object_Grupa_Lokali>(GrupyLokali, IdGrupyLokali);
    Wyjscie = Polaczony<Object_Wyjscie>(Wyjscia, IdWyjscia);
    Neuron = Polaczony<Object_Neuron>(Neurony, IdNeuronu);
}

void Object_Zdarzenia_Akcja::Wyzwol() {
    Stan = Etap::Wyzwolona;
    if (auto* akcje = dynamic_cast<Objects_Zdarzenia_Akcje*>(Wlasciciel()))
        akcje->saPracujace_ = true;
}

void Object_Zdarzenia_Akcja::Przelacz(bool wlacz) {
    if (Wyjscie) {
        wlacz ? Wyjscie->Wlacz() : Wyjscie->Wylacz();
        return;
    }
    if (Czas <= 0) { // a one-off change, never reverted
        wlacz ? Neuron->Aktywuj() : Neuron->Dezaktywuj();
        return;
    }
    // The node holds at most one change of this action, and the end of the
    // cycle takes back exactly that one: a retrigger while waiting does not
    // stack another, and a release the node never counted is not undone.
    const bool zmiana = wlacz == Wlaczenie;
    if (zmiana == neuronZmieniony_)
        return;
    if (wlacz)
        Neuron->Aktywuj();
    else if (Neuron->AktywneWejscia > 0)
        Neuron->Dezaktywuj();
    else
        return;
    neuronZmieniony_ = zmiana;
}

void Object_Zdarzenia_Akcja::Krok() {
    switch (Stan) {
    case Etap::Wyzwolona:
        if (!Wyjscie && !Neuron) {
            Stan = Etap::Bezczynna;
        } else if (Czas > 0) {
            Przelacz(Wlaczenie);
            Stan = Etap::Zastosowana;
        } else {
            Przelacz(!Wlaczenie);
            Stan = Etap::Bezczynna;
        }
        break;
    case Etap::Zastosowana:
        Termin = ::Czas::Za(Czas);
        Stan = Etap::Czeka;
        break;
    case Etap::Czeka:
        if (::Czas::Minal(Termin)) {
            if (Wyjscie || Neuron)
                Przelacz(!Wlaczenie);
            Stan = Etap::Bezczynna;
        }
        break;
    case Etap::Bezczynna:
        break;
    }
}

namespace {

using Akcja = Object_Zdarzenia_Akcja;

// The sort keys, each compared only when both actions have the element.
int PoNazwie(const Object* a, const Object* b, std::string (*nazwa)(const Object*)) {
    return a && b ? Objects::PorownajNaturalnie(nazwa(a), nazwa(b)) : 0;
}
int Wbudowany(const Akcja& a, const Akcja& b) {
    return a.RodzajWbudowany && b.RodzajWbudowany
               ? Objects::PorownajNaturalnie(a.RodzajWbudowany->Nazwa, b.RodzajWbudowany->Nazwa)
               : 0;
}
int Centrala(const Akcja& a, const Akcja& b) { return PoNazwie(a.Centrala, b.Centrala, Objects_Lokale::NazwaCentrali); }
int Klawiatura(const Akcja& a, const Akcja& b) {
    return PoNazwie(a.Klawiatura, b.Klawiatura, Objects_Obszary_Obiekty::NazwaKlawiatury);
}
int Grupa(const Akcja& a, const Akcja& b) {
    return a.GrupaLokali && b.GrupaLokali ? Objects::PorownajNaturalnie(a.GrupaLokali->Nazwa, b.GrupaLokali->Nazwa) : 0;
}
int Wyjscie(const Akcja& a, const Akcja& b) {
    return a.Wyjscie && b.Wyjscie ? Objects::PorownajNaturalnie(a.Wyjscie->Nazwa, b.Wyjscie->Nazwa) : 0;
}
int Wlaczenie(const Akcja& a, const Akcja& b) { return PorownajLiczby(a.Wlaczenie, b.Wlaczenie); }
int CzasAkcji(const Akcja& a, const Akcja& b) { return PorownajLiczby(a.Czas, b.Czas); }

using Klucz = int (*)(const Akcja&, const Akcja&);

int PoKluczach(const Akcja& a, const Akcja& b, std::initializer_list<Klucz> klucze) {
    for (Klucz k : klucze)
        if (int r = k(a, b))
            return r;
    return 0;
}

} // namespace

int Objects_Zdarzenia_Akcje::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Akcja&>(*oa);
    const auto& b = static_cast<const Akcja&>(*ob);
    switch (rodzaj) {
    case 1: return PoKluczach(a, b, {Wbudowany, Centrala, Klawiatura, Grupa, Wyjscie});
    case 2: return PoKluczach(a, b, {Centrala, Wbudowany, Grupa, Wyjscie});
    case 3: return PoKluczach(a, b, {Klawiatura, Wbudowany, Grupa, Wyjscie});
    case 4: return PoKluczach(a, b, {Grupa, Wbudowany, Centrala, Klawiatura, Wyjscie});
    case 5: return PoKluczach(a, b, {Wyjscie, Wbudowany, Centrala, Klawiatura, Grupa});
    case 6: return PoKluczach(a, b, {Wlaczenie, Wbudowany, Centrala, Klawiatura, Grupa});
    case 7: return PoKluczach(a, b, {CzasAkcji, Wbudowany, Centrala, Klawiatura, Grupa});
    default: return 0;
    }
}

Object_Zdarzenia_Akcja* Objects_Zdarzenia_Akcje::DodajRekord(int id, std::int32_t idRodzajZdarzeniaWbudowane,
                                                             std::int32_t idCentralaZarvoGsm,
                                                             std::int32_t idZarvoKlawiatury, std::int32_t idGrupyLokali,
                                                             std::int32_t idWyjscia, std::int32_t idNeuronu,
                                                             bool wlaczenie, std::int32_t czas) {
    auto* a = static_cast<Akcja*>(Nowy(id));
    a->IdRodzajZdarzeniaWbudowane = idRodzajZdarzeniaWbudowane;
    a->IdCentralaZarvoGsm = idCentralaZarvoGsm;
    a->IdZarvoKlawiatury = idZarvoKlawiatury;
    a->IdGrupyLokali = idGrupyLokali;
    a->IdWyjscia = idWyjscia;
    a->IdNeuronu = idNeuronu;
    a->Wlaczenie = wlaczenie;
    a->Czas = czas;
    a->Polacz();
    return a;
}

void Objects_Zdarzenia_Akcje::Wyzwol(int idWbudowane, int idCentrali, int idKlawiatury, int idLokalu) {
    // Few flats belong to more than a handful of groups.
    std::vector<int> grupy;
    if (idLokalu > 0 && GrupyLokaliLokale) {
        for (int i = 0; i < GrupyLokaliLokale->Rozmiar(); ++i) {
            const auto* g = static_cast<const Object_Grupa_Lokali_Lokal*>(GrupyLokaliLokale->Element(i));
            if (g->IdLokalu == idLokalu)
                grupy.push_back(g->IdGrupyLokali);
        }
    }
    // By position, not the shared cursor: an event may be logged while
    // another walk of the actions is under way.
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* a = static_cast<Akcja*>(Element(i));
        if (a->IdRodzajZdarzeniaWbudowane != idWbudowane)
            continue;
        if (a->IdCentralaZarvoGsm != 0 && a->IdCentralaZarvoGsm != idCentrali)
            continue;
        if (a->IdZarvoKlawiatury != 0 && a->IdZarvoKlawiatury != idKlawiatury)
            continue;
        if (a->IdGrupyLokali == 0 || std::ranges::find(grupy, a->IdGrupyLokali) != grupy.end())
            a->Wyzwol();
    }
}

void Objects_Zdarzenia_Akcje::Krok() {
    if (!saPracujace_)
        return;
    saPracujace_ = false;
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* a = static_cast<Akcja*>(Element(i));
        if (a->Stan == Akcja::Etap::Bezczynna)
            continue;
        a->Krok();
        saPracujace_ |= a->Stan != Akcja::Etap::Bezczynna;
    }
}
