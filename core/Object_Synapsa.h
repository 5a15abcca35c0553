#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"

class Object_Wejscie;
class Object_Przycisk;
class Object_Neuron;
class Object_Rodzaj_Zdarzenia;
class Object_Wyjscie;

// One link of the logic network, from a source (input, button, node, event
// kind) to its sinks (output, node, event kind), optionally negated and
// delayed. It acts on its sinks only when the value it delivers changes.
class Object_Synapsa : public Object {
public:
    using Object::Object;

    int IdWejscia = 0;
    int IdPrzycisku = 0;
    int IdNeuronuWe = 0;
    int IdRodzajZdarzeniaWe = 0;
    int IdWyjscia = 0;
    int IdNeuronuWy = 0;
    int IdRodzajZdarzeniaWy = 0;
    bool Negacja = false;
    int Opoznienie = 0; // seconds the source must hold before the link delivers it
    int Poziom = 0;     // computed at start
    bool Oczekuje = false;      // marked for this tick
    bool Odmierza = false;      // the source is true and CzasStartu kept
    bool Opozniony = false;     // the source has been true for Opoznienie seconds
    bool Dostarczony = false;   // the value last passed to the sinks
    std::int64_t CzasStartu = 0; // seconds of the logic clock

    Object_Wejscie* Wejscie = nullptr;
    Object_Przycisk* Przycisk = nullptr;
    Object_Neuron* NeuronWe = nullptr;
    Object_Rodzaj_Zdarzenia* RodzajZdarzeniaWe = nullptr;
    Object_Wyjscie* Wyjscie = nullptr;
    Object_Neuron* NeuronWy = nullptr;
    Object_Rodzaj_Zdarzenia* RodzajZdarzeniaWy = nullptr;

    // Also counts the link into its sink node: a relink without a reload
    // counts it again.
    void Polacz() override;

    // One evaluation at the given instant (seconds of the logic clock and
    // local time of day, see Object_Neuron::Oblicz).
    void ObliczZrodlo(std::int64_t sekundy, int poraDnia);
    void Propaguj();
    void Przetworz(std::int64_t sekundy, int poraDnia);
    void Przetworz();

    // The name of the last source (sink) that is set; empty when none.
    std::string_view NazwaZrodla() const;
    std::string_view NazwaCelu() const;
};

class Objects_Synapsy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Synapsa(id); }
    // 1: sink name; 2: negation and delay first; 3: delay and negation first;
    // any other: source name (see the .cpp).
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Synapsa* DodajRekord(int id, int idWejscia, int idNeuronuWe, int idPrzycisku, int idRodzajZdarzeniaWe,
                                int idWyjscia, int idNeuronuWy, int idRodzajZdarzeniaWy, bool negacja,
                                int opoznienie);

    // At start: the levels of links and nodes, then the kind-0 order, which
    // is the evaluation order.
    void UstalKolejnosc();
    // Tick steps: every link marked, then each marked link evaluated once.
    void Oznacz();
    void Krok();
};
