#pragma once
#include <cstdint>

#include "core/Object.h"

class Object_Rodzaj_Zdarzenia_Wbudowane;
class Object_Grupa_Lokali;
class Object_Wyjscie;
class Object_Neuron;

// Ties a controller's built-in event (a call, a door opened by code or
// identifier) to an output or a logic node: a matching event switches it,
// and with a time switches it back after that many seconds.
class Object_Zdarzenia_Akcja : public Object {
public:
    using Object::Object;

    // Where the action is in its cycle: 0 → 1 → 2 → 3 → 0, or 0 → 1 → 0
    // without a time.
    enum class Etap : std::uint8_t { Bezczynna = 0, Wyzwolona = 1, Zastosowana = 2, Czeka = 3 };

    std::int32_t IdRodzajZdarzeniaWbudowane = 0;
    std::int32_t IdCentralaZarvoGsm = 0; // 0: any controller
    std::int32_t IdZarvoKlawiatury = 0;  // 0: any keypad
    std::int32_t IdGrupyLokali = 0;      // 0: any flat, or none
    std::int32_t IdWyjscia = 0;
    std::int32_t IdNeuronu = 0; // driven only when there is no output
    bool Wlaczenie = false;
    std::int32_t Czas = 0; // seconds; 0 or less: a one-off change
    // A Czas deadline, so the revert never jumps with the wall clock.
    std::uint64_t Termin = 0;
    Etap Stan = Etap::Bezczynna;

    Object_Rodzaj_Zdarzenia_Wbudowane* RodzajWbudowany = nullptr;
    // Device elements that core cannot name.
    Object* Klawiatura = nullptr;
    Object* Centrala = nullptr;
    Object_Grupa_Lokali* GrupaLokali = nullptr;
    Object_Wyjscie* Wyjscie = nullptr;
    Object_Neuron* Neuron = nullptr;

    void Polacz() override;
    // Restarts the cycle, even while it waits.
    void Wyzwol();
    void Krok();

private:
    void Przelacz(bool wlacz);

    // Whether the node holds this action's activation: a retrigger while
    // waiting must not stack a second one, and the end reverts it once.
    bool neuronZmieniony_ = false;
};

class Objects_Zdarzenia_Akcje : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Zdarzenia_Akcja(id); }
    // 1: built-in kind first; 2: controller; 3: keypad; 4: flat group;
    // 5: output; 6: switching on; 7: time. Other kinds: all equal.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    // Links the new action at once, unlike the other typed adds.
    Object_Zdarzenia_Akcja* DodajRekord(int id, std::int32_t idRodzajZdarzeniaWbudowane,
                                        std::int32_t idCentralaZarvoGsm, std::int32_t idZarvoKlawiatury,
                                        std::int32_t idGrupyLokali, std::int32_t idWyjscia, std::int32_t idNeuronu,
                                        bool wlaczenie, std::int32_t czas);

    // A controller event was logged: triggers every action it matches.
    void Wyzwol(int idWbudowane, int idCentrali, int idKlawiatury, int idLokalu);
    // Tick step: moves every triggered action on by one step; costs nothing
    // while none is.
    void Krok();

private:
    friend class Object_Zdarzenia_Akcja;
    bool saPracujace_ = false;
};
