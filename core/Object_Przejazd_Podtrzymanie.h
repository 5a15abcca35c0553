#pragma once
#include "core/Object.h"

class Object_Przejazd;
class Object_Wejscie;

// A hold input of a passage (a loop detector in the lane): while it is
// active the passage's inactivity time-out does not run out.
class Object_Przejazd_Podtrzymanie : public Object {
public:
    using Object::Object;
    ~Object_Przejazd_Podtrzymanie() override;

    int IdPrzejazdu = 0;
    int IdWejscia = 0;
    Object_Przejazd* Przejazd = nullptr;
    Object_Wejscie* Wejscie = nullptr;

    // Marks the input as a passage sensor and signs in at the passage.
    void Polacz() override;
    // The passage is being destroyed: forget it.
    void OdlaczPrzejazd() { Przejazd = nullptr; }
};

class Objects_Przejazdy_Podtrzymanie : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Przejazd_Podtrzymanie(id); }
    // Every kind: id.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Przejazd_Podtrzymanie* DodajRekord(int id, int idPrzejazdu, int idWejscia);
    // Removes and destroys every hold input of the passage.
    void UsunPrzejazdu(int idPrzejazdu);

    // Tick step: hold inputs that changed log their sensor events.
    void Krok();
};
