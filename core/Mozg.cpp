#include "core/Mozg.h"

#include "core/Czas.h"
#include "core/Object_Brama.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Przejazd_Podtrzymanie.h"
#include "core/Object_Przejazd_Posredni.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Synapsa.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "platform/db/Connection.h"
#include "core/Object_Zdarzenia_Akcja.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "core/Uslugi.h"

namespace {

bool dziala = false;

// Links run container after container in this order: a later link step may
// rely on the pointers of an earlier one (passages on gates and readers,
// intermediate passages on passages).
constexpr NumerKontenera KolejnoscLaczenia[] = {
    NrKarty,
    NrRodzajeZdarzen,
    NrCzytniki,
    NrWejscia,
    NrWyjscia,
    NrPrzyciski,
    NrNeurony,
    NrSynapsy,
    NrGrupyUzytkownikow,
    NrGrupyUzytkownikowBramy,
    NrUzytkownicy,
    NrBramy,
    NrIdentyfikatory,
    NrPrzejazdy,
    NrPrzejazdyPodtrzymanie,
    NrPrzejazdyPosrednie,
    NrCentrale,
    NrModemySim,
    NrAdresy,
    NrLokale,
    NrGrupyLokali,
    NrGrupyLokaliLokale,
    NrKlawiatury,
    NrObszary,
    NrObszaryObiekty,
    NrEnkodery,
    NrMiejscaParkingowe,
    NrUzytkownicyUrzadzenia,
    NrUzytkownicyLokale,
};

} // namespace

void ObiektyInicjalizuj() {
    for (NumerKontenera nr : KolejnoscLaczenia) {
        Objects* kontener = KontenerGlobalny(nr);
        if (!kontener)
            continue;
        for (Object* element = kontener->Pierwszy(); element; element = kontener->Nastepny())
            element->Polacz();
    }
}

// A bus without boards is never opened; a board is registered on its bus
// even when the bus could not be opened, so it is polled once the bus is back.
bool PodlaczMagistrale() {
    bool wynik = true;
    for (Object* element = Karty->Pierwszy(); element; element = Karty->Nastepny()) {
        auto* karta = static_cast<Object_Karta*>(element);
        Object_Magistrala* magistrala = karta->Magistrala;
        if (!magistrala)
            continue;
        if (!magistrala->Aktywna && !magistrala->Otworz(false))
            wynik = false;
        if (Object_Magistrala::AdresWZakresie(karta->Adres))
            magistrala->DodajKarte(karta->Adres, karta->IdRodzajKarty);
    }
    return wynik;
}

void ZamknijMagistrale() {
    for (Object* element = Magistrale->Pierwszy(); element; element = Magistrale->Nastepny())
        static_cast<Object_Magistrala*>(element)->Zamknij(false);
}

// A step that fails is reported and the start goes on: the logic runs with
// whatever hardware answered.
bool MozgStart() {
    ObiektyInicjalizuj();
    Probkuj("ObiektyInicjalizuj");
    if (!PodlaczMagistrale())
        DodajKomunikat("Nie udało się połączyć z magistralami.");
    Probkuj("UtworzMagistrale");
    Synapsy->UstalKolejnosc();
    SprzetMozgu* sprzet = Sprzet();
    if (sprzet && !sprzet->PrzygotujCentrale())
        DodajKomunikat("Nie udało się połączyć z centralami.");
    Probkuj("PrzygotujCentrale");
    if (sprzet && !sprzet->PrzygotujSim())
        DodajKomunikat("Nie udało się połączyć z modemami SIM.");
    Probkuj("PrzygotujSim");
    dziala = true;
    return true;
}

// The controllers' ports and the modems stay open: the next start's reload
// replaces them.
void MozgStop() {
    ZamknijMagistrale();
    dziala = false;
}

bool MozgIsRunning() { return dziala; }

// The order is part of the behaviour: inputs are read before the passages
// use them, passages and gates act before the logic links are evaluated,
// the links before the outputs are driven, event kinds open before ended
// events close, and actions triggered by controller events act in the same
// tick.
void MozgTick() {
    // Everything the tick writes goes to the database layer's writer.
    platform::db::NoStatementsHere bezZapytan;
    Czas::Migawka();
    Czytniki->Skanuj();
    Wejscia->Skanuj();
    PrzejazdyPodtrzymanie->Krok();
    PrzejazdyPosrednie->Krok();
    Przejazdy->Krok();
    Bramy->Krok();
    Synapsy->Oznacz();
    Synapsy->Krok();
    Wyjscia->Krok();
    RodzajeZdarzen->Krok();
    Zdarzenia->ZakonczZdarzenia();
    if (SprzetMozgu* sprzet = Sprzet()) {
        sprzet->KrokCentrali();
        sprzet->KrokModemow();
    }
    ZdarzeniaAkcje->Krok();
}
