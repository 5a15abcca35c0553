#pragma once
#include <array>
#include <cstdint>

#include "core/Object.h"
#include "core/Objects_Trash.h"
#include "platform/messages/WindowHandle.h"

class Object_Grupy_Zdarzen;
class Objects_Gfx_Symbole;
class Objects_Grupy_Uzytkownikow;
class Objects_Rodzaje_Identyfikatorow;
class Objects_Magistrale;
class Objects_Karty;
class Objects_Wejscia;
class Objects_Przyciski;
class Objects_Wyjscia;
class Objects_Rodzaje_Zdarzen;
class Objects_Rodzaje_Zdarzen_Wbudowane;
class Objects_Neurony;
class Objects_Synapsy;
class Objects_Zdarzenia;
class Objects_Uzytkownicy;
class Objects_Administratorzy;
class Objects_Czytniki;
class Objects_Bramy;
class Objects_Identyfikatory;
class Objects_Przejazdy;
class Objects_Przejazdy_Podtrzymanie;
class Objects_Przejazdy_Posrednie;
class Objects_Grupy_Uzytkownikow_Bramy;
class Objects_Zarvo_Klawiatury;
class Objects_Coms;
class Objects_Zarvo_Centrale;
class Objects_Sim_Modemy;
class Objects_Adresy;
class Objects_Grupy_Lokali;
class Objects_Lokale;
class Objects_Grupy_Lokali_Lokale;
class Objects_Obszary;
class Objects_Obszary_Obiekty;
class Objects_Zdarzenia_Akcje;
class Objects_Enkodery;
class Objects_Miejsca_Parkingowe;
class Objects_Uzytkownicy_Urzadzenia;
class Objects_Uzytkownicy_Lokale;

// The 40 global containers, numbered in the order they are constructed;
// they are destroyed in the reverse order.
enum NumerKontenera : int {
    NrKosz = 1,
    NrGrupyZdarzen,
    NrSymbole,
    NrGrupyUzytkownikow,
    NrRodzajeIdentyfikatorow,
    NrMagistrale,
    NrKarty,
    NrWejscia,
    NrPrzyciski,
    NrWyjscia,
    NrRodzajeZdarzen,
    NrRodzajeZdarzenWbudowane,
    NrNeurony,
    NrSynapsy,
    NrZdarzenia,
    NrUzytkownicy,
    NrAdministratorzy,
    NrCzytniki,
    NrBramy,
    NrIdentyfikatory,
    NrPrzejazdy,
    NrPrzejazdyPodtrzymanie,
    NrPrzejazdyPosrednie,
    NrGrupyUzytkownikowBramy,
    NrKlawiatury,
    NrPortyCom,
    NrCentrale,
    NrModemySim,
    NrAdresy,
    NrGrupyLokali,
    NrLokale,
    NrGrupyLokaliLokale,
    NrObszary,
    NrObszaryObiekty,
    NrZdarzeniaCentrali,
    NrZdarzeniaAkcje,
    NrEnkodery,
    NrMiejscaParkingowe,
    NrUzytkownicyUrzadzenia,
    NrUzytkownicyLokale,
};
constexpr int LiczbaKontenerow = NrUzytkownicyLokale;

extern Objects_Trash* Kosz;
extern Object_Grupy_Zdarzen* GrupyZdarzen;
extern Objects_Gfx_Symbole* Symbole;
extern Objects_Grupy_Uzytkownikow* GrupyUzytkownikow;
extern Objects_Rodzaje_Identyfikatorow* RodzajeIdentyfikatorow;
extern Objects_Magistrale* Magistrale;
extern Objects_Karty* Karty;
extern Objects_Wejscia* Wejscia;
extern Objects_Przyciski* Przyciski;
extern Objects_Wyjscia* Wyjscia;
extern Objects_Rodzaje_Zdarzen* RodzajeZdarzen;
extern Objects_Rodzaje_Zdarzen_Wbudowane* RodzajeZdarzenWbudowane;
extern Objects_Neurony* Neurony;
extern Objects_Synapsy* Synapsy;
extern Objects_Zdarzenia* Zdarzenia;
extern Objects_Uzytkownicy* Uzytkownicy;
extern Objects_Administratorzy* Administratorzy;
extern Objects_Czytniki* Czytniki;
extern Objects_Bramy* Bramy;
extern Objects_Identyfikatory* Identyfikatory;
extern Objects_Przejazdy* Przejazdy;
extern Objects_Przejazdy_Podtrzymanie* PrzejazdyPodtrzymanie;
extern Objects_Przejazdy_Posrednie* PrzejazdyPosrednie;
extern Objects_Grupy_Uzytkownikow_Bramy* GrupyUzytkownikowBramy;
extern Objects_Zarvo_Klawiatury* Klawiatury;
extern Objects_Coms* PortyCom;
extern Objects_Zarvo_Centrale* Centrale;
extern Objects_Sim_Modemy* ModemySim;
extern Objects_Adresy* Adresy;
extern Objects_Grupy_Lokali* GrupyLokali;
extern Objects_Lokale* Lokale;
extern Objects_Grupy_Lokali_Lokale* GrupyLokaliLokale;
extern Objects_Obszary* Obszary;
extern Objects_Obszary_Obiekty* ObszaryObiekty;
extern Objects_Zdarzenia* ZdarzeniaCentrali;
extern Objects_Zdarzenia_Akcje* ZdarzeniaAkcje;
extern Objects_Enkodery* Enkodery;
extern Objects_Miejsca_Parkingowe* MiejscaParkingowe;
extern Objects_Uzytkownicy_Urzadzenia* UzytkownicyUrzadzenia;
extern Objects_Uzytkownicy_Lokale* UzytkownicyLokale;

// The identifier clipboard of the identifier store windows.
extern Objects* Schowek;

// The containers of the device layer (keypads, controller ports,
// controllers, GSM modems, encoders) are made by factories that layer
// registers before ObiektyUtworz: core cannot name their classes.
struct FabrykaKontenera {
    Objects* (*utworz)() = nullptr;      // a new container of the class, not installed
    void (*ustaw)(Objects*) = nullptr;   // makes the typed global point at it (or null)
};
void UstawFabrykeKontenera(NumerKontenera numer, FabrykaKontenera fabryka);

// The factory of a container class for its typed global.
template <class Klasa, Klasa*& Globalny>
constexpr FabrykaKontenera FabrykaDla() {
    return {[]() -> Objects* { return new Klasa; },
            [](Objects* kontener) { Globalny = static_cast<Klasa*>(kontener); }};
}

// A global container by its number; null for the trash and for a container
// whose factory was never registered.
Objects* KontenerGlobalny(NumerKontenera numer);

// A fresh, empty container of the number's class beside the live one (null
// when no factory is registered). A reload fills a set of them and installs
// them only when the whole load succeeded.
Objects* UtworzKontener(NumerKontenera numer);
// Containers by number; a null entry keeps the live container.
using NoweKontenery = std::array<Objects*, LiczbaKontenerow + 1>;
// Installs the given containers in one step under the model's lock, so no
// reader sees a mix of old and new, calls poZainstalowaniu (when given),
// then destroys the ones they replaced. Takes the containers over: their
// entries are set to null.
void ZamienKontenery(NoweKontenery& nowe, void (*poZainstalowaniu)() = nullptr);

void ObiektyUtworz();
void ObiektyUsun();
bool ObiektyUstawOkno(platform::WindowHandle* okno);
void ObiektyZakoncz();
void ObiektyOdswiez();
void ObiektySortuj();
void UtworzSchowek();
void UsunSchowek();

// Window messages of the model and the logic to the main window; dropped
// while no window is set.
void PostujDoOkna(unsigned komunikat, std::intptr_t wParam, std::intptr_t lParam);
std::intptr_t WyslijDoOkna(unsigned komunikat, std::intptr_t wParam, std::intptr_t lParam);
