#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

class Object_Grupa_Zdarzen;
class Object_Zdarzenie;

// An event kind the installer defines (an alarm, a fault). The logic holds
// it on through Wlacz/Wylacz; while it is active the log has one open event
// for it. With a duration, an activation ends by itself and hands over to
// the follow-up kind until the source releases it.
class Object_Rodzaj_Zdarzenia : public Object {
public:
    using Object::Object;
    ~Object_Rodzaj_Zdarzenia() override;

    void Polacz() override;

    void Wlacz();
    void Wylacz();
    // Held on and the current activation has not run out.
    bool Aktywny() const;
    // Still held on, with a duration, and that duration has run out.
    bool Wygasl() const;
    std::int32_t LicznikAktywacji() const { return licznik_; }

    TekstStaly<40> Nazwa;
    TekstStaly<255> Dzwiek;
    std::int32_t Grupa = 0;
    std::int32_t Symbol = 0;
    // Seconds; 0 or less: until released.
    std::int32_t CzasTrwania = 0;
    // A Czas deadline of the current activation.
    std::uint64_t Termin = 0;
    std::int32_t IdRodzajZdarzeniaKolejne = 0;
    std::int32_t Kolor = 0xFFFFFF;

    Object_Grupa_Zdarzen* GrupaZdarzen = nullptr;
    Object_Rodzaj_Zdarzenia* Kolejne = nullptr;
    // The event opened for the current activation; null when none.
    Object_Zdarzenie* Zdarzenie = nullptr;

private:
    friend class Objects_Zdarzenia;
    // The closing step hands a run-out activation over to the follow-up.
    void WlaczKolejne();

    std::int32_t licznik_ = 0;
    // The follow-up this kind holds on, so that the release lets go of
    // exactly what it took, even if the kind ran out without the closing
    // step having handed over yet.
    Object_Rodzaj_Zdarzenia* wlaczoneKolejne_ = nullptr;
};

class Objects_Rodzaje_Zdarzen : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Rodzaj_Zdarzenia(id); }
    // 1: group; 2: symbol; 3: colour; 4: duration; any other: name first.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Rodzaj_Zdarzenia* DodajRekord(int id, std::string_view nazwa, std::int32_t grupa, std::int32_t symbol,
                                         std::int32_t kolor, std::int32_t czasTrwania,
                                         std::int32_t idRodzajZdarzeniaKolejne, std::string_view dzwiek);

    // Tick step: opens an event for each active kind that has none.
    void Krok();
};
