#pragma once
#include "core/Object.h"

class Object_Przejazd;
class Object_Wejscie;
class Object_Neuron;

// An intermediate entry: when its parent passage opens its gate it is armed,
// and it then starts its own passage, without a second identification, on
// its own condition.
class Object_Przejazd_Posredni : public Object {
public:
    using Object::Object;
    ~Object_Przejazd_Posredni() override;

    enum : int { Bezczynny = 0, Uzbrojony = 1, Anulowany = 100 }; // 2 and more: started

    int Stan = Bezczynny;
    int IdPrzejazduMacierzystego = 0;
    int IdPrzejazdu = 0;
    bool AktywacjaOtwarcieBramyMacierzystej = false;
    int AktywacjaIdWejscia = 0;
    int AktywacjaIdNeuronu = 0;
    Object_Przejazd* Macierzysty = nullptr;
    Object_Przejazd* Przejazd = nullptr;
    Object_Wejscie* Wejscie = nullptr;
    Object_Neuron* Neuron = nullptr;

    // Signs in at the parent passage.
    void Polacz() override;

    void Resetuj() { Stan = Bezczynny; }
    void Uzbroj();
    bool ZaStartem() const;
    void Anuluj();
    // The passage is being destroyed: forget it.
    void OdlaczPrzejazd(const Object_Przejazd* przejazd);
};

class Objects_Przejazdy_Posrednie : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Przejazd_Posredni(id); }
    // Every kind: the own passage's name.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Przejazd_Posredni* DodajRekord(int id, int idPrzejazduMacierzystego, int idPrzejazdu,
                                          bool aktywacjaOtwarcieBramyMacierzystej, int aktywacjaIdWejscia,
                                          int aktywacjaIdNeuronu);
    // Removes and destroys every entry whose own passage is that passage.
    void UsunPrzejazdu(int idPrzejazdu);

    // Tick step: armed entries start their own passage when a condition
    // holds.
    void Krok();
};
