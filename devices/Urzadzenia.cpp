#include "devices/Urzadzenia.h"

#include "core/Objects_globals.h"
#include "devices/Object_Com.h"
#include "devices/Object_Enkoder.h"
#include "devices/Object_Sim_Modem.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/Object_Zarvo_Klawiatura.h"
#include "devices/PetlaMagistrali.h"

void RejestrujUrzadzenia() {
    UstawFabrykeKontenera(NrKlawiatury, FabrykaDla<Objects_Zarvo_Klawiatury, Klawiatury>());
    UstawFabrykeKontenera(NrPortyCom, FabrykaDla<Objects_Coms, PortyCom>());
    UstawFabrykeKontenera(NrCentrale, FabrykaDla<Objects_Zarvo_Centrale, Centrale>());
    UstawFabrykeKontenera(NrModemySim, FabrykaDla<Objects_Sim_Modemy, ModemySim>());
    UstawFabrykeKontenera(NrEnkodery, FabrykaDla<Objects_Enkodery, Enkodery>());
    UstawFabrykePetliMagistrali(UtworzPetleMagistrali);
}
