#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "core/Object.h"
#include "core/TekstStaly.h"

// The result of one poll of a board, kept per address; the diagnostics
// window appends its text to the board's line.
enum BusStatus : std::uint32_t {
    StatusOk = 0,
    StatusBladZapisu = 1,      // " / błąd zapisu do COM"
    StatusBladOdczytu = 2,     // " / błąd odczytu z COM"
    StatusBladParzystosci = 3, // " / błąd parzystości"
    StatusBrakOdpowiedzi = 4,  // " / brak odpowiedzi"
    StatusBladSumy = 5,        // " / błąd sumy CRC"
    StatusNiePowiazana = 6,    // " / nie powiązana"
    StatusBladNieznany = 7,    // " / błąd nieznany"
};
const char* TekstStatusu(std::uint32_t status);

// One entry of the bus image: what the board at an address last reported
// and what the logic wants of it.
struct WpisKarty {
    bool Obecna = false;
    std::uint8_t Rodzaj = 0;
    std::uint32_t Status = 0;
    std::uint8_t Wejscia = 0;
    std::uint8_t WyjsciaZadane = 0;
    std::uint8_t WyjsciaPotwierdzone = 0;
    char Kod[33] = {}; // fixed, so storing a reading allocates nothing
    std::uint16_t Licznik = 0;
    std::uint8_t Przycisk = 0;
};

// A reading taken from the image, whole.
struct OdczytKarty {
    std::string Kod;
    std::uint16_t Licznik = 0;
    std::uint8_t Przycisk = 0;
};

constexpr int LiczbaAdresowMagistrali = 4096;

class Object_Magistrala;

// The bus's port and poll thread, which the device layer provides: core
// keeps the bus's configuration and image, the device layer moves the bytes.
class PetlaMagistrali {
public:
    virtual ~PetlaMagistrali() = default;
    // Opens the port and, unless reopening, starts the poll thread; true
    // when the port settings were applied.
    virtual bool Otworz(bool ponownie) = 0;
    // Closes the port; unless the thread is kept, also ends it and waits.
    virtual void Zamknij(bool zostawWatek) = 0;
    virtual bool PortOtwarty() const = 0;
};
using FabrykaPetliMagistrali = std::unique_ptr<PetlaMagistrali> (*)(Object_Magistrala& magistrala);
// Installed by the device layer; without it no bus can be opened.
void UstawFabrykePetliMagistrali(FabrykaPetliMagistrali fabryka);

// A serial I/O bus: its configuration, state and the image of its boards,
// which its poll thread and the 10 ms tick share under the bus's lock.
class Object_Magistrala : public Object {
public:
    using Object::Object;
    ~Object_Magistrala() override;

    int Com = 0;
    int Wersja = 1; // 2: up to 4096 addresses; any other value is handled as 1
    int Predkosc = 19200;
    TekstStaly<40> Nazwa;

    // Written by both the main thread and the poll thread.
    std::atomic<bool> Aktywna{false};
    std::atomic<bool> Utracona{false};
    std::atomic<std::uint32_t> OstatniBlad{0};
    std::atomic<std::uint32_t> OstatniaOdpowiedz{0};
    std::atomic<std::uint32_t> ZapytaniaNaSekunde{0};
    std::atomic<std::uint32_t> OdpowiedziNaSekunde{0};
    std::atomic<bool> BladWPrzebiegu{false};

    bool Otworz(bool ponownie);
    void Zamknij(bool zostawWatek);
    bool PortOtwarty() const;

    // The image operations of the tick; addresses outside 0..4095 and
    // numbers outside 1..6 touch nothing and read as off.
    void DodajKarte(int adres, int rodzaj);
    void UstawWyjscie(int adres, int n);
    void KasujWyjscie(int adres, int n);
    bool StanWyjscia(int adres, int n) const;
    bool StanWejscia(int adres, int n) const;
    bool JestKod(int adres) const;
    OdczytKarty PobierzKod(int adres);
    std::uint32_t Status(int adres) const;

    // The poll thread's side: a copy of an entry, and a change of one entry
    // made whole under the lock.
    WpisKarty Wpis(int adres) const;
    template <class Zmiana>
    void ZmienWpis(int adres, Zmiana&& zmiana) {
        if (!AdresWZakresie(adres))
            return;
        std::lock_guard blokada(blokada_);
        zmiana(obraz_[adres]);
    }

    static bool AdresWZakresie(int adres) { return adres >= 0 && adres < LiczbaAdresowMagistrali; }

private:
    mutable std::mutex blokada_;
    std::array<WpisKarty, LiczbaAdresowMagistrali> obraz_{};
    std::unique_ptr<PetlaMagistrali> petla_;
};

class Objects_Magistrale : public Objects {
public:
    using Objects::Dodaj;
    Object* Utworz(int id) override { return new Object_Magistrala(id); }
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;
    Object_Magistrala* Dodaj(int id, int com, int wersja, int predkosc, std::string_view nazwa);
};
