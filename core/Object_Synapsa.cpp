#include "core/Object_Synapsa.h"

#include "core/Object_Neuron.h"
#include "core/Object_Przycisk.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"

void Object_Synapsa::Polacz() {
    Wejscie = Polaczony<Object_Wejscie>(Wejscia, IdWejscia);
    Przycisk = Polaczony<Object_Przycisk>(Przyciski, IdPrzycisku);
    NeuronWe = Polaczony<Object_Neuron>(Neurony, IdNeuronuWe);
    RodzajZdarzeniaWe = Polaczony<Object_Rodzaj_Zdarzenia>(RodzajeZdarzen, IdRodzajZdarzeniaWe);
    Wyjscie = Polaczony<Object_Wyjscie>(Wyjscia, IdWyjscia);
    NeuronWy = Polaczony<Object_Neuron>(Neurony, IdNeuronuWy);
    RodzajZdarzeniaWy = Polaczony<Object_Rodzaj_Zdarzenia>(RodzajeZdarzen, IdRodzajZdarzeniaWy);
    if (NeuronWy)
        NeuronWy->DodajWejscie();
}

void Object_Synapsa::ObliczZrodlo(std::int64_t sekundy, int poraDnia) {
    bool zrodlo = false;
    if (Wejscie)
        zrodlo = Wejscie->Stan;
    if (Przycisk)
        zrodlo = Przycisk->Wcisniety;
    if (NeuronWe)
        zrodlo = NeuronWe->Oblicz(sekundy, poraDnia);
    if (RodzajZdarzeniaWe)
        zrodlo = RodzajZdarzeniaWe->Aktywny();
    if (!zrodlo) {
        Odmierza = false;
        Opozniony = false;
        return;
    }
    if (!Odmierza) {
        CzasStartu = sekundy;
        Odmierza = true;
    }
    if (sekundy - CzasStartu >= Opoznienie)
        Opozniony = true;
}

void Object_Synapsa::Propaguj() {
    const bool wartosc = Opozniony != Negacja;
    if (wartosc == Dostarczony)
        return;
    Dostarczony = wartosc;
    if (Wyjscie) {
        if (wartosc)
            Wyjscie->Wlacz();
        else
            Wyjscie->Wylacz();
    }
    if (NeuronWy) {
        if (wartosc)
            NeuronWy->Aktywuj();
        else
            NeuronWy->Dezaktywuj();
    }
    if (RodzajZdarzeniaWy) {
        if (wartosc)
            RodzajZdarzeniaWy->Wlacz();
        else
            RodzajZdarzeniaWy->Wylacz();
    }
}

void Object_Synapsa::Przetworz(std::int64_t sekundy, int poraDnia) {
    ObliczZrodlo(sekundy, poraDnia);
    Propaguj();
}

void Object_Synapsa::Przetworz() { Przetworz(Object_Neuron::SekundyZegara(), Object_Neuron::PoraDnia()); }

std::string_view Object_Synapsa::NazwaZrodla() const {
    if (RodzajZdarzeniaWe)
        return RodzajZdarzeniaWe->Nazwa;
    if (NeuronWe)
        return NeuronWe->Nazwa;
    if (Przycisk)
        return Przycisk->Etykieta;
    if (Wejscie)
        return Wejscie->Nazwa;
    return {};
}

std::string_view Object_Synapsa::NazwaCelu() const {
    if (RodzajZdarzeniaWy)
        return RodzajZdarzeniaWy->Nazwa;
    if (NeuronWy)
        return NeuronWy->Nazwa;
    if (Wyjscie)
        return Wyjscie->Nazwa;
    return {};
}

namespace {

int PorownajZrodlem(const Object_Synapsa& a, const Object_Synapsa& b) {
    if (int w = Objects::PorownajNaturalnie(a.NazwaZrodla(), b.NazwaZrodla()))
        return w;
    if (int w = PorownajLiczby(a.Negacja, b.Negacja))
        return w;
    return PorownajLiczby(a.Opoznienie, b.Opoznienie);
}

int PorownajCelem(const Object_Synapsa& a, const Object_Synapsa& b) {
    if (int w = Objects::PorownajNaturalnie(a.NazwaCelu(), b.NazwaCelu()))
        return w;
    if (int w = PorownajLiczby(a.Negacja, b.Negacja))
        return w;
    return PorownajLiczby(a.Opoznienie, b.Opoznienie);
}

} // namespace

int Objects_Synapsy::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Synapsa&>(*oa);
    const auto& b = static_cast<const Object_Synapsa&>(*ob);
    int w = 0;
    switch (rodzaj) {
        case 1: return PorownajCelem(a, b);
        case 2:
            if ((w = PorownajLiczby(a.Negacja, b.Negacja)) || (w = PorownajLiczby(a.Opoznienie, b.Opoznienie)))
                return w;
            break;
        case 3:
            if ((w = PorownajLiczby(a.Opoznienie, b.Opoznienie)) || (w = PorownajLiczby(a.Negacja, b.Negacja)))
                return w;
            break;
        default: return PorownajZrodlem(a, b);
    }
    if ((w = PorownajZrodlem(a, b)))
        return w;
    return PorownajCelem(a, b);
}

Object_Synapsa* Objects_Synapsy::DodajRekord(int id, int idWejscia, int idNeuronuWe, int idPrzycisku,
                                             int idRodzajZdarzeniaWe, int idWyjscia, int idNeuronuWy,
                                             int idRodzajZdarzeniaWy, bool negacja, int opoznienie) {
    auto* s = static_cast<Object_Synapsa*>(Nowy(id));
    s->IdWejscia = idWejscia;
    s->IdNeuronuWe = idNeuronuWe;
    s->IdPrzycisku = idPrzycisku;
    s->IdRodzajZdarzeniaWe = idRodzajZdarzeniaWe;
    s->IdWyjscia = idWyjscia;
    s->IdNeuronuWy = idNeuronuWy;
    s->IdRodzajZdarzeniaWy = idRodzajZdarzeniaWy;
    s->Negacja = negacja;
    s->Opoznienie = opoznienie;
    return s;
}

// The levels are kept for the designer; the evaluation follows the kind-0
// order, which is what installations have always run on.
void Objects_Synapsy::UstalKolejnosc() {
    for (int i = 0; i < Neurony->Rozmiar(); ++i)
        static_cast<Object_Neuron*>(Neurony->Element(i))->Poziom = 0;
    for (int i = 0; i < Rozmiar(); ++i)
        static_cast<Object_Synapsa*>(Element(i))->Poziom = 0;
    bool zmiana = true;
    for (int poziom = 1; zmiana; ++poziom) {
        zmiana = false;
        for (int i = 0; i < Rozmiar(); ++i) {
            auto* s = static_cast<Object_Synapsa*>(Element(i));
            if (s->Poziom != 0)
                continue;
            if (poziom == 1 && s->IdWejscia != 0) {
                s->Poziom = 1;
                if (s->NeuronWy)
                    s->NeuronWy->Poziom = 2;
                zmiana = true;
            } else if (s->NeuronWe && s->NeuronWe->Poziom == poziom) {
                s->Poziom = poziom;
                if (s->NeuronWy) {
                    s->NeuronWy->Poziom = poziom + 1;
                    zmiana = true;
                }
            }
        }
    }
    Sortuj(0);
}

void Objects_Synapsy::Oznacz() {
    for (int i = 0; i < Rozmiar(); ++i)
        static_cast<Object_Synapsa*>(Element(i))->Oczekuje = true;
}

void Objects_Synapsy::Krok() {
    // One reading of the clocks for the whole step: every link and node of
    // this tick is judged at the same instant, and the local time is read
    // once rather than per node.
    const std::int64_t sekundy = Object_Neuron::SekundyZegara();
    const int poraDnia = Object_Neuron::PoraDnia();
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* s = static_cast<Object_Synapsa*>(Element(i));
        if (!s->Oczekuje)
            continue;
        s->Oczekuje = false;
        s->Przetworz(sekundy, poraDnia);
    }
}
