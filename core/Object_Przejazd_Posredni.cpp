#include "core/Object_Przejazd_Posredni.h"

#include "core/Object_Brama.h"
#include "core/Object_Neuron.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Wejscie.h"
#include "core/Objects_globals.h"

Object_Przejazd_Posredni::~Object_Przejazd_Posredni() {
    // An editor may destroy the entry while its parent runs: the parent must
    // not arm, reset or cancel it afterwards.
    if (Macierzysty)
        Macierzysty->UsunPosredni(this);
}

void Object_Przejazd_Posredni::Polacz() {
    if (Macierzysty)
        Macierzysty->UsunPosredni(this);
    Macierzysty = Polaczony<Object_Przejazd>(Przejazdy, IdPrzejazduMacierzystego);
    if (Macierzysty)
        Macierzysty->DodajPosredni(this);
    Przejazd = Polaczony<Object_Przejazd>(Przejazdy, IdPrzejazdu);
    Wejscie = Polaczony<Object_Wejscie>(Wejscia, AktywacjaIdWejscia);
    Neuron = Polaczony<Object_Neuron>(Neurony, AktywacjaIdNeuronu);
}

void Object_Przejazd_Posredni::Uzbroj() {
    Stan = Uzbrojony;
    if (Przejazd && Macierzysty)
        Przejazd->PrzejmijOd(*Macierzysty);
}

bool Object_Przejazd_Posredni::ZaStartem() const { return Przejazd && Przejazd->PoStarcie(); }

void Object_Przejazd_Posredni::Anuluj() {
    Stan = Anulowany;
    if (Przejazd)
        Przejazd->Anuluj();
}

void Object_Przejazd_Posredni::OdlaczPrzejazd(const Object_Przejazd* przejazd) {
    if (Macierzysty == przejazd)
        Macierzysty = nullptr;
    if (Przejazd == przejazd)
        Przejazd = nullptr;
}

int Objects_Przejazdy_Posrednie::Porownaj(int, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Przejazd_Posredni&>(*oa);
    const auto& b = static_cast<const Object_Przejazd_Posredni&>(*ob);
    if (a.Przejazd && b.Przejazd)
        return PorownajNaturalnie(a.Przejazd->Nazwa, b.Przejazd->Nazwa);
    return 0;
}

Object_Przejazd_Posredni* Objects_Przejazdy_Posrednie::DodajRekord(int id, int idPrzejazduMacierzystego,
                                                                   int idPrzejazdu,
                                                                   bool aktywacjaOtwarcieBramyMacierzystej,
                                                                   int aktywacjaIdWejscia, int aktywacjaIdNeuronu) {
    auto* p = static_cast<Object_Przejazd_Posredni*>(Nowy(id));
    p->IdPrzejazduMacierzystego = idPrzejazduMacierzystego;
    p->IdPrzejazdu = idPrzejazdu;
    p->AktywacjaOtwarcieBramyMacierzystej = aktywacjaOtwarcieBramyMacierzystej;
    p->AktywacjaIdWejscia = aktywacjaIdWejscia;
    p->AktywacjaIdNeuronu = aktywacjaIdNeuronu;
    return p;
}

void Objects_Przejazdy_Posrednie::UsunPrzejazdu(int idPrzejazdu) {
    for (int i = Rozmiar() - 1; i >= 0; --i)
        if (static_cast<Object_Przejazd_Posredni*>(Element(i))->IdPrzejazdu == idPrzejazdu)
            UsunNaPozycji(i);
}

void Objects_Przejazdy_Posrednie::Krok() {
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* p = static_cast<Object_Przejazd_Posredni*>(Element(i));
        if (p->Stan != Object_Przejazd_Posredni::Uzbrojony)
            continue;
        // Each condition met starts the own passage, which needs a gate.
        const bool warunki[] = {
            p->AktywacjaOtwarcieBramyMacierzystej && p->Macierzysty && p->Macierzysty->Brama &&
                p->Macierzysty->Brama->Otwarta,
            p->Wejscie && p->Wejscie->Stan,
            p->Neuron && p->Neuron->Oblicz(),
        };
        for (bool warunek : warunki)
            if (warunek && p->Przejazd && p->Przejazd->Brama) {
                p->Przejazd->Uruchom();
                ++p->Stan;
            }
    }
}
