#include "core/Objects_globals.h"

#include <atomic>

#include "core/Object_Administrator.h"
#include "core/Object_Adres.h"
#include "core/Object_Brama.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Gfx_Symbol.h"
#include "core/Object_Grupa_Lokali.h"
#include "core/Object_Grupa_Lokali_Lokal.h"
#include "core/Object_Grupa_Uzytkownikow.h"
#include "core/Object_Grupa_Uzytkownikow_Brama.h"
#include "core/Object_Grupa_Zdarzen.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Karta.h"
#include "core/Object_Lokal.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Miejsce_Parkingowe.h"
#include "core/Object_Neuron.h"
#include "core/Object_Obszar.h"
#include "core/Object_Obszar_Obiekt.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Przejazd_Podtrzymanie.h"
#include "core/Object_Przejazd_Posredni.h"
#include "core/Object_Przycisk.h"
#include "core/Object_Rodzaj_Identyfikatora.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Rodzaj_Zdarzenia_Wbudowane.h"
#include "core/Object_Synapsa.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Uzytkownik_Lokal.h"
#include "core/Object_Uzytkownik_Urzadzenie.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Object_Zdarzenia_Akcja.h"
#include "core/Object_Zdarzenie.h"

Objects_Trash* Kosz = nullptr;
Object_Grupy_Zdarzen* GrupyZdarzen = nullptr;
Objects_Gfx_Symbole* Symbole = nullptr;
Objects_Grupy_Uzytkownikow* GrupyUzytkownikow = nullptr;
Objects_Rodzaje_Identyfikatorow* RodzajeIdentyfikatorow = nullptr;
Objects_Magistrale* Magistrale = nullptr;
Objects_Karty* Karty = nullptr;
Objects_Wejscia* Wejscia = nullptr;
Objects_Przyciski* Przyciski = nullptr;
Objects_Wyjscia* Wyjscia = nullptr;
Objects_Rodzaje_Zdarzen* RodzajeZdarzen = nullptr;
Objects_Rodzaje_Zdarzen_Wbudowane* RodzajeZdarzenWbudowane = nullptr;
Objects_Neurony* Neurony = nullptr;
Objects_Synapsy* Synapsy = nullptr;
Objects_Zdarzenia* Zdarzenia = nullptr;
Objects_Uzytkownicy* Uzytkownicy = nullptr;
Objects_Administratorzy* Administratorzy = nullptr;
Objects_Czytniki* Czytniki = nullptr;
Objects_Bramy* Bramy = nullptr;
Objects_Identyfikatory* Identyfikatory = nullptr;
Objects_Przejazdy* Przejazdy = nullptr;
Objects_Przejazdy_Podtrzymanie* PrzejazdyPodtrzymanie = nullptr;
Objects_Przejazdy_Posrednie* PrzejazdyPosrednie = nullptr;
Objects_Grupy_Uzytkownikow_Bramy* GrupyUzytkownikowBramy = nullptr;
Objects_Zarvo_Klawiatury* Klawiatury = nullptr;
Objects_Coms* PortyCom = nullptr;
Objects_Zarvo_Centrale* Centrale = nullptr;
Objects_Sim_Modemy* ModemySim = nullptr;
Objects_Adresy* Adresy = nullptr;
Objects_Grupy_Lokali* GrupyLokali = nullptr;
Objects_Lokale* Lokale = nullptr;
Objects_Grupy_Lokali_Lokale* GrupyLokaliLokale = nullptr;
Objects_Obszary* Obszary = nullptr;
Objects_Obszary_Obiekty* ObszaryObiekty = nullptr;
Objects_Zdarzenia* ZdarzeniaCentrali = nullptr;
Objects_Zdarzenia_Akcje* ZdarzeniaAkcje = nullptr;
Objects_Enkodery* Enkodery = nullptr;
Objects_Miejsca_Parkingowe* MiejscaParkingowe = nullptr;
Objects_Uzytkownicy_Urzadzenia* UzytkownicyUrzadzenia = nullptr;
Objects_Uzytkownicy_Lokale* UzytkownicyLokale = nullptr;
Objects* Schowek = nullptr;

namespace {

// Slot 0 is unused and slot 1 is the trash, which is no Objects.
FabrykaKontenera fabryki[LiczbaKontenerow + 1] = {
    {},
    {},
    FabrykaDla<Object_Grupy_Zdarzen, GrupyZdarzen>(),
    FabrykaDla<Objects_Gfx_Symbole, Symbole>(),
    FabrykaDla<Objects_Grupy_Uzytkownikow, GrupyUzytkownikow>(),
    FabrykaDla<Objects_Rodzaje_Identyfikatorow, RodzajeIdentyfikatorow>(),
    FabrykaDla<Objects_Magistrale, Magistrale>(),
    FabrykaDla<Objects_Karty, Karty>(),
    FabrykaDla<Objects_Wejscia, Wejscia>(),
    FabrykaDla<Objects_Przyciski, Przyciski>(),
    FabrykaDla<Objects_Wyjscia, Wyjscia>(),
    FabrykaDla<Objects_Rodzaje_Zdarzen, RodzajeZdarzen>(),
    FabrykaDla<Objects_Rodzaje_Zdarzen_Wbudowane, RodzajeZdarzenWbudowane>(),
    FabrykaDla<Objects_Neurony, Neurony>(),
    FabrykaDla<Objects_Synapsy, Synapsy>(),
    FabrykaDla<Objects_Zdarzenia, Zdarzenia>(),
    FabrykaDla<Objects_Uzytkownicy, Uzytkownicy>(),
    FabrykaDla<Objects_Administratorzy, Administratorzy>(),
    FabrykaDla<Objects_Czytniki, Czytniki>(),
    FabrykaDla<Objects_Bramy, Bramy>(),
    FabrykaDla<Objects_Identyfikatory, Identyfikatory>(),
    FabrykaDla<Objects_Przejazdy, Przejazdy>(),
    FabrykaDla<Objects_Przejazdy_Podtrzymanie, PrzejazdyPodtrzymanie>(),
    FabrykaDla<Objects_Przejazdy_Posrednie, PrzejazdyPosrednie>(),
    FabrykaDla<Objects_Grupy_Uzytkownikow_Bramy, GrupyUzytkownikowBramy>(),
    {}, // Klawiatury: registered by the device layer
    {}, // PortyCom: registered by the device layer
    {}, // Centrale: registered by the device layer
    {}, // ModemySim: registered by the device layer
    FabrykaDla<Objects_Adresy, Adresy>(),
    FabrykaDla<Objects_Grupy_Lokali, GrupyLokali>(),
    FabrykaDla<Objects_Lokale, Lokale>(),
    FabrykaDla<Objects_Grupy_Lokali_Lokale, GrupyLokaliLokale>(),
    FabrykaDla<Objects_Obszary, Obszary>(),
    FabrykaDla<Objects_Obszary_Obiekty, ObszaryObiekty>(),
    FabrykaDla<Objects_Zdarzenia, ZdarzeniaCentrali>(),
    FabrykaDla<Objects_Zdarzenia_Akcje, ZdarzeniaAkcje>(),
    {}, // Enkodery: registered by the device layer
    FabrykaDla<Objects_Miejsca_Parkingowe, MiejscaParkingowe>(),
    FabrykaDla<Objects_Uzytkownicy_Urzadzenia, UzytkownicyUrzadzenia>(),
    FabrykaDla<Objects_Uzytkownicy_Lokale, UzytkownicyLokale>(),
};

Objects* kontenery[LiczbaKontenerow + 1] = {};

std::atomic<platform::WindowHandle*> oknoGlowne{nullptr};

} // namespace

void UstawFabrykeKontenera(NumerKontenera numer, FabrykaKontenera fabryka) { fabryki[numer] = fabryka; }

Objects* KontenerGlobalny(NumerKontenera numer) { return kontenery[numer]; }

namespace {

void Zainstaluj(int nr, Objects* kontener) {
    kontenery[nr] = kontener;
    if (fabryki[nr].ustaw)
        fabryki[nr].ustaw(kontener);
}

} // namespace

Objects* UtworzKontener(NumerKontenera numer) {
    return fabryki[numer].utworz ? fabryki[numer].utworz() : nullptr;
}

void ZamienKontenery(NoweKontenery& nowe, void (*poZainstalowaniu)()) {
    NoweKontenery stare{};
    Objects::Zablokuj();
    for (int nr = NrGrupyZdarzen; nr <= LiczbaKontenerow; ++nr) {
        if (!nowe[nr])
            continue;
        stare[nr] = kontenery[nr];
        Zainstaluj(nr, nowe[nr]);
        nowe[nr] = nullptr;
    }
    Objects::Odblokuj();
    if (poZainstalowaniu)
        poZainstalowaniu();
    // Outside the lock: destroying the old elements may close ports.
    for (int nr = LiczbaKontenerow; nr >= NrGrupyZdarzen; --nr)
        delete stare[nr];
}

void ObiektyUtworz() {
    Kosz = new Objects_Trash;
    for (int nr = NrGrupyZdarzen; nr <= LiczbaKontenerow; ++nr)
        if (fabryki[nr].utworz)
            Zainstaluj(nr, fabryki[nr].utworz());
}

void ObiektyUsun() {
    for (int nr = LiczbaKontenerow; nr >= NrGrupyZdarzen; --nr) {
        delete kontenery[nr];
        Zainstaluj(nr, nullptr);
    }
    delete Kosz;
    Kosz = nullptr;
}

bool ObiektyUstawOkno(platform::WindowHandle* okno) {
    oknoGlowne = okno;
    return Symbole->Wczytaj();
}

void ObiektyZakoncz() {}

void ObiektyOdswiez() {}

void ObiektySortuj() {
    static const NumerKontenera kolejnosc[] = {
        NrGrupyZdarzen, NrRodzajeZdarzen, NrRodzajeZdarzenWbudowane, NrMagistrale, NrKarty,
        NrCzytniki, NrWejscia, NrPrzyciski, NrNeurony, NrSynapsy,
        NrGrupyUzytkownikow, NrGrupyUzytkownikowBramy, NrUzytkownicy, NrBramy, NrIdentyfikatory,
        NrPrzejazdy, NrPrzejazdyPodtrzymanie, NrPrzejazdyPosrednie, NrKlawiatury, NrCentrale,
        NrModemySim, NrAdresy, NrGrupyLokali, NrLokale, NrGrupyLokaliLokale,
        NrObszary, NrObszaryObiekty, NrMiejscaParkingowe, NrUzytkownicyUrzadzenia, NrUzytkownicyLokale,
    };
    for (NumerKontenera nr : kolejnosc)
        if (Objects* kontener = kontenery[nr])
            kontener->Sortuj(0);
}

void UtworzSchowek() { Schowek = new Objects; }

void UsunSchowek() {
    delete Schowek;
    Schowek = nullptr;
}

void PostujDoOkna(unsigned komunikat, std::intptr_t wParam, std::intptr_t lParam) {
    if (platform::WindowHandle* okno = oknoGlowne)
        okno->Post(komunikat, wParam, lParam);
}

std::intptr_t WyslijDoOkna(unsigned komunikat, std::intptr_t wParam, std::intptr_t lParam) {
    platform::WindowHandle* okno = oknoGlowne;
    return okno ? okno->Send(komunikat, wParam, lParam) : 0;
}
