#include "core/Object_Wejscie.h"

#include "core/Komunikaty.h"
#include "core/Object_Karta.h"
#include "core/Objects_globals.h"

void Object_Wejscie::Polacz() { Karta = Polaczony<Object_Karta>(Karty, IdKarty); }

int Objects_Wejscia::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Wejscie&>(*oa);
    const auto& b = static_cast<const Object_Wejscie&>(*ob);
    return PorownajNaKarcie(rodzaj, a.Karta, b.Karta, a.Wejscie, b.Wejscie, a.Nazwa, b.Nazwa);
}

Object_Wejscie* Objects_Wejscia::DodajRekord(int id, int idKarty, int wejscie, std::string_view nazwa) {
    auto* w = static_cast<Object_Wejscie*>(Nowy(id));
    w->IdKarty = idKarty;
    w->Wejscie = wejscie;
    w->Nazwa = nazwa;
    return w;
}

void Objects_Wejscia::Skanuj() {
    bool czujnikZmieniony = false;
    // By position, not the shared cursor: the message is sent, and the
    // window handling it may walk the inputs itself.
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* wejscie = static_cast<Object_Wejscie*>(Element(i));
        const Object_Karta* karta = wejscie->Karta;
        const Object_Magistrala* magistrala = karta ? karta->MagistralaObrazu() : nullptr;
        if (!magistrala) {
            // Nothing is read, so nothing changed in this tick; the state
            // stays as it last was.
            wejscie->Zmiana = false;
            continue;
        }
        const bool stan = magistrala->StanWejscia(karta->Adres, wejscie->Wejscie);
        if (stan == wejscie->Stan) {
            wejscie->Zmiana = false;
            continue;
        }
        wejscie->Stan = stan;
        wejscie->Zmiana = true;
        if (wejscie->CzujnikPrzejazdu) {
            wejscie->ZdarzenieCzujnika = true;
            czujnikZmieniony = true;
        }
        WyslijDoOkna(WM_WEJSCIA_WYJSCIA, 0, 0);
    }
    if (czujnikZmieniony)
        WyslijDoOkna(WM_PRZEJAZD, 0, 0);
}
