#include "core/Object_Rodzaj_Zdarzenia.h"

#include "core/Czas.h"
#include "core/DataCzas.h"
#include "core/Object_Grupa_Zdarzen.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"

Object_Rodzaj_Zdarzenia::~Object_Rodzaj_Zdarzenia() {
    // An editor may delete a kind while its event is open: the closing step
    // must not follow the event's link to it.
    if (Zdarzenie && Zdarzenie->Rodzaj == this)
        Zdarzenie->Rodzaj = nullptr;
}

void Object_Rodzaj_Zdarzenia::Polacz() {
    GrupaZdarzen = Polaczony<Object_Grupa_Zdarzen>(GrupyZdarzen, Grupa);
    Kolejne = Polaczony<Object_Rodzaj_Zdarzenia>(RodzajeZdarzen, IdRodzajZdarzeniaKolejne);
}

void Object_Rodzaj_Zdarzenia::Wlacz() {
    if (licznik_++ == 0)
        Termin = CzasTrwania <= 0 ? Czas::Nigdy() : Czas::Za(CzasTrwania);
}

void Object_Rodzaj_Zdarzenia::Wylacz() {
    // A release without a hold (a link that switched off twice) is ignored:
    // a count below zero would swallow the next activation.
    if (licznik_ <= 0)
        return;
    if (--licznik_ > 0)
        return;
    if (Object_Rodzaj_Zdarzenia* kolejne = wlaczoneKolejne_) {
        wlaczoneKolejne_ = nullptr;
        kolejne->Wylacz();
    }
    Termin = Czas::Zero();
}

bool Object_Rodzaj_Zdarzenia::Aktywny() const { return licznik_ > 0 && !Czas::Minal(Termin); }

bool Object_Rodzaj_Zdarzenia::Wygasl() const { return licznik_ != 0 && CzasTrwania != 0 && Czas::Minal(Termin); }

void Object_Rodzaj_Zdarzenia::WlaczKolejne() {
    if (!Kolejne || wlaczoneKolejne_)
        return;
    wlaczoneKolejne_ = Kolejne;
    Kolejne->Wlacz();
}

int Objects_Rodzaje_Zdarzen::Porownaj(int rodzaj, const Object* a, const Object* b) const {
    const auto* x = static_cast<const Object_Rodzaj_Zdarzenia*>(a);
    const auto* y = static_cast<const Object_Rodzaj_Zdarzenia*>(b);
    enum Klucz { Grupa, Nazwa, Symbol, Kolor, CzasTrwania };
    auto porownaj = [&](Klucz k) {
        switch (k) {
        case Grupa:
            // Only two kinds that both have a group differ by it.
            return x->GrupaZdarzen && y->GrupaZdarzen
                       ? PorownajNaturalnie(x->GrupaZdarzen->Nazwa, y->GrupaZdarzen->Nazwa)
                       : 0;
        case Nazwa: return PorownajNaturalnie(x->Nazwa, y->Nazwa);
        case Symbol: return PorownajLiczby(x->Symbol, y->Symbol);
        case Kolor: return PorownajLiczby(x->Kolor, y->Kolor);
        case CzasTrwania: return PorownajLiczby(x->CzasTrwania, y->CzasTrwania);
        }
        return 0;
    };
    static constexpr Klucz klucze[5][5] = {
        {Nazwa, Grupa, Symbol, Kolor, CzasTrwania},
        {Grupa, Nazwa, Symbol, Kolor, CzasTrwania},
        {Symbol, Nazwa, Grupa, Kolor, CzasTrwania},
        {Kolor, Nazwa, Grupa, Symbol, CzasTrwania},
        {CzasTrwania, Nazwa, Grupa, Symbol, Kolor},
    };
    const auto& kolejnosc = klucze[rodzaj >= 1 && rodzaj <= 4 ? rodzaj : 0];
    for (Klucz k : kolejnosc)
        if (const int wynik = porownaj(k); wynik != 0)
            return wynik;
    return 0;
}

Object_Rodzaj_Zdarzenia* Objects_Rodzaje_Zdarzen::DodajRekord(int id, std::string_view nazwa, std::int32_t grupa,
                                                              std::int32_t symbol, std::int32_t kolor,
                                                              std::int32_t czasTrwania,
                                                              std::int32_t idRodzajZdarzeniaKolejne,
                                                              std::string_view dzwiek) {
    auto* r = static_cast<Object_Rodzaj_Zdarzenia*>(Nowy(id));
    r->Nazwa = nazwa;
    r->Grupa = grupa;
    r->Symbol = symbol;
    r->Kolor = kolor;
    r->CzasTrwania = czasTrwania;
    r->IdRodzajZdarzeniaKolejne = idRodzajZdarzeniaKolejne;
    r->Dzwiek = dzwiek;
    return r;
}

void Objects_Rodzaje_Zdarzen::Krok() {
    // By position rather than the shared cursor: opening an event posts a
    // message, and nothing here should move another walker's place.
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* r = static_cast<Object_Rodzaj_Zdarzenia*>(Element(i));
        if (!r->Zdarzenie && r->Aktywny())
            // A rejected row leaves it null, so the next tick tries again.
            r->Zdarzenie = Objects_Zdarzenia::DodajZdarzenie(Zdarzenia, r->Id(), TerazLokalnie());
    }
}
