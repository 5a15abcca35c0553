#include "core/Object_Przejazd_Podtrzymanie.h"

#include "core/Object_Przejazd.h"
#include "core/Object_Wejscie.h"
#include "core/Objects_globals.h"

Object_Przejazd_Podtrzymanie::~Object_Przejazd_Podtrzymanie() {
    if (Przejazd)
        Przejazd->UsunPodtrzymanie(this);
}

void Object_Przejazd_Podtrzymanie::Polacz() {
    if (Przejazd)
        Przejazd->UsunPodtrzymanie(this);
    Przejazd = Polaczony<Object_Przejazd>(Przejazdy, IdPrzejazdu);
    if (Przejazd)
        Przejazd->DodajPodtrzymanie(this);
    Wejscie = Polaczony<Object_Wejscie>(Wejscia, IdWejscia);
    if (Wejscie)
        Wejscie->CzujnikPrzejazdu = true;
}

int Objects_Przejazdy_Podtrzymanie::Porownaj(int, const Object* a, const Object* b) const {
    return PorownajLiczby(a->Id(), b->Id());
}

Object_Przejazd_Podtrzymanie* Objects_Przejazdy_Podtrzymanie::DodajRekord(int id, int idPrzejazdu, int idWejscia) {
    auto* p = static_cast<Object_Przejazd_Podtrzymanie*>(Nowy(id));
    p->IdPrzejazdu = idPrzejazdu;
    p->IdWejscia = idWejscia;
    return p;
}

void Objects_Przejazdy_Podtrzymanie::UsunPrzejazdu(int idPrzejazdu) {
    for (int i = Rozmiar() - 1; i >= 0; --i)
        if (static_cast<Object_Przejazd_Podtrzymanie*>(Element(i))->IdPrzejazdu == idPrzejazdu)
            UsunNaPozycji(i);
}

void Objects_Przejazdy_Podtrzymanie::Krok() {
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* p = static_cast<Object_Przejazd_Podtrzymanie*>(Element(i));
        Object_Wejscie* wejscie = p->Wejscie;
        if (!p->Przejazd || !wejscie || !wejscie->Zmiana || !wejscie->ZdarzenieCzujnika)
            continue;
        wejscie->ZdarzenieCzujnika = false;
        Objects_Przejazdy::ZapiszZdarzenie(wejscie->Stan ? CzujnikAktywny : CzujnikNieaktywny, nullptr,
                                           p->Przejazd->Brama, nullptr, 0);
    }
}
