#include "devices/Urzadzenia.h"

#include <string>

#include "core/Object_Lokal.h"
#include "core/Object_Obszar_Obiekt.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "core/Uslugi.h"
#include "devices/Object_Com.h"
#include "devices/Object_Enkoder.h"
#include "devices/Object_Sim_Modem.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/Object_Zarvo_Klawiatura.h"
#include "devices/OdczytUrzadzen.h"
#include "devices/PetlaMagistrali.h"

namespace {

// The controllers and modems as the runtime opens and ticks them.
class SprzetUrzadzen final : public SprzetMozgu {
public:
    bool PrzygotujCentrale() override { return !Centrale || Centrale->PrzygotujCentrale(); }
    bool PrzygotujSim() override { return !ModemySim || ModemySim->PrzygotujSim(); }
    void KrokCentrali() override {
        if (Centrale)
            Centrale->Krok();
    }
    void KrokModemow() override {
        if (ModemySim)
            ModemySim->Krok();
    }
    void OtworzWyjscieCentrali(Object* centrala, int wyjscie) override {
        auto* c = static_cast<Object_Zarvo_Centrala*>(centrala);
        c->Otworz(static_cast<std::uint16_t>(c->Adres), static_cast<std::uint8_t>(wyjscie));
    }
};

SprzetUrzadzen sprzet;

// The controller side of a controller event: its controller, the target
// controller (by serial number when its controller talks by serial number)
// and its keypad.
void RozwiazCentrale(Object_Zdarzenie& z) {
    auto* c = Polaczony<Object_Zarvo_Centrala>(Centrale, z.IdCentralaZarvoGsm);
    z.Centrala = c;
    if (Centrale && z.KlatkaCel != Object_Zarvo_Centrala::BezAdresu)
        z.CentralaCel = Centrale->ZnajdzAdresLubNumer(z.KlatkaCel, c && c->ProtokolNrSeryjny);
    if (c && Klawiatury)
        z.ZarvoKlawiatura = Klawiatury->Znajdz(c->Id(), z.Klawiatura);
}

std::string NazwaCentrali(const Object* c) { return static_cast<const Object_Zarvo_Centrala*>(c)->Nazwa.str(); }
std::string NazwaKlawiatury(const Object* k) { return static_cast<const Object_Zarvo_Klawiatura*>(k)->Nazwa.str(); }

} // namespace

void RejestrujUrzadzenia() {
    UstawFabrykeKontenera(NrKlawiatury, FabrykaDla<Objects_Zarvo_Klawiatury, Klawiatury>());
    UstawFabrykeKontenera(NrPortyCom, FabrykaDla<Objects_Coms, PortyCom>());
    UstawFabrykeKontenera(NrCentrale, FabrykaDla<Objects_Zarvo_Centrale, Centrale>());
    UstawFabrykeKontenera(NrModemySim, FabrykaDla<Objects_Sim_Modemy, ModemySim>());
    UstawFabrykeKontenera(NrEnkodery, FabrykaDla<Objects_Enkodery, Enkodery>());
    UstawFabrykePetliMagistrali(UtworzPetleMagistrali);
    UstawOdczytUrzadzen(OdczytTabelUrzadzen());
    UstawSprzetMozgu(&sprzet);
    Object_Zdarzenie::UstawRozwiazanieCentrali(RozwiazCentrale);
    Objects_Lokale::UstawNazweCentrali(NazwaCentrali);
    Objects_Obszary_Obiekty::UstawNazweKlawiatury(NazwaKlawiatury);
}
