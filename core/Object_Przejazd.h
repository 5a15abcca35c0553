#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/Object.h"
#include "core/TekstStaly.h"

class Object_Brama;
class Object_Czytnik;
class Object_Wejscie;
class Object_Wyjscie;
class Object_Uzytkownik;
class Object_Identyfikator;
class Object_Przejazd_Posredni;
class Object_Przejazd_Podtrzymanie;
class Object_Zdarzenie;

// Built-in event ids a passage logs.
enum ZdarzeniePrzejazdu : int {
    CzujnikAktywny = 1,
    CzujnikNieaktywny = 2,
    OtwarcieBramy = 3,
    ZamkniecieBramy = 4,
    TrwaPrzejazd = 5,
    BrakUprawnien = 6,
    UzytkownikWPrzejezdzie = 7,
    CzujnikPrzedBramaNieaktywny = 8,
    IdentyfikatorNiezarejestrowany = 9,
    PrzejazdUtworzony = 10,
    PrzejazdZakonczony = 11,
    PrzejazdAnulowany = 12,
    PrzyciskNieaktywny = 13,
    WycofaniePojazdu = 25,
};

// The logic of one lane through a gate: identification at the reader, the
// rights check, the gate, the four lamps and the vehicle's way from the
// start sensor to the end sensor, logged as built-in events.
class Object_Przejazd : public Object {
public:
    using Object::Object;
    ~Object_Przejazd() override;

    enum Lampa : int { LampaStop = 0, LampaCzujnikStartowy = 1, LampaCzekaj = 2, LampaJedz = 3 };
    enum : int { Ciagly = 0, Przerywany = 1 };

    std::uint32_t CzasAktywnosci = 0; // Czas::TickMs() of the last activity
    int Stan = 0;
    int StanPoprzedni = 0;
    bool OdmowaZapisana = false;
    bool StartZwolniony = false;
    int Przycisk = 0;
    std::uint32_t MiganieWlaczone = 0; // ms; both 0: steady
    std::uint32_t MiganieWylaczone = 0;
    std::uint32_t CzasSwiatla = 0;

    TekstStaly<40> Nazwa;
    int IdBramy = 0;
    bool BezCzytnika = false;
    int IdCzytnika = 0;
    int IdWejsciaStart = 0;
    std::uint32_t MaxCzasNiekatywnosciZamkniecie = 0; // ms; 0: no time-out
    int IdWejsciaKoniec = 0;
    int IdWyjsciaStop = 0;
    int TrybStop = Ciagly;
    int IdWyjsciaCzujnikStartowy = 0;
    int TrybCzujnikStartowy = Ciagly;
    int IdWyjsciaCzekaj = 0;
    int TrybCzekaj = Ciagly;
    int IdWyjsciaJedz = 0;
    int TrybJedz = Ciagly;
    bool Posredni = false; // started only by an intermediate entry
    bool FunkcjaWycofania = false;
    TekstStaly<200> Opis;

    Object_Brama* Brama = nullptr;
    Object_Czytnik* Czytnik = nullptr;
    Object_Wejscie* WejscieStart = nullptr;
    Object_Wejscie* WejscieKoniec = nullptr;
    Object_Wyjscie* WyjscieStop = nullptr;
    Object_Wyjscie* WyjscieCzujnikStartowy = nullptr;
    Object_Wyjscie* WyjscieCzekaj = nullptr;
    Object_Wyjscie* WyjscieJedz = nullptr;
    Object_Wyjscie* Swiatlo = nullptr; // the lamp lit last
    Object_Uzytkownik* Uzytkownik = nullptr;
    Object_Identyfikator* Identyfikator = nullptr;
    bool SwiatloStartu = false;

    void Polacz() override;

    void Krok();
    void Krok(std::uint32_t terazMs);
    void Migaj(std::uint32_t terazMs);
    void Sygnalizuj(int lampa);
    bool MinalCzas(std::uint32_t terazMs) const;
    void Podtrzymaj(std::uint32_t terazMs);
    void Anuluj();
    bool Trwa() const { return Stan > 2; }
    bool PoStarcie() const { return Stan > 5; }
    void PrzejmijOd(const Object_Przejazd& macierzysty);
    void Uruchom() { Stan = 3; }

    // The entries whose parent this passage is, and its hold inputs; each
    // entry signs itself in when linked and out when destroyed.
    void DodajPosredni(Object_Przejazd_Posredni* posredni);
    void UsunPosredni(Object_Przejazd_Posredni* posredni);
    const std::vector<Object_Przejazd_Posredni*>& Posrednie() const { return posrednie_; }
    void DodajPodtrzymanie(Object_Przejazd_Podtrzymanie* podtrzymanie);
    void UsunPodtrzymanie(Object_Przejazd_Podtrzymanie* podtrzymanie);

private:
    void ZdarzeniaCzujnikow();
    void Stan2();
    void OcenKod();
    int Uprawnienia(int przycisk) const;
    void Otworz(std::uint32_t terazMs, int zdarzenie);
    void ZamknijBrame();
    // Marks the user as passing, or lets go of that mark, only when this
    // passage holds it: another passage may hold it by now.
    void ZajmijUzytkownika();
    void ZwolnijUzytkownika();
    void Zapisz(int zdarzenie) const;
    void PoTimeoucie(std::uint32_t terazMs);

    std::vector<Object_Przejazd_Posredni*> posrednie_;
    std::vector<Object_Przejazd_Podtrzymanie*> podtrzymania_;
    bool trzymaUzytkownika_ = false;
};

class Objects_Przejazdy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Przejazd(id); }
    // 1: name; any other: gate's name (both with a gate), then name.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Przejazd* DodajRekord(int id, std::string_view nazwa, int idBramy, bool bezCzytnika, int idCzytnika,
                                 int idWejsciaStart, std::uint32_t maxCzasNiekatywnosciZamkniecie,
                                 int idWejsciaKoniec, int idWyjsciaStop, int trybStop, int idWyjsciaCzujnikStartowy,
                                 int trybCzujnikStartowy, int idWyjsciaCzekaj, int trybCzekaj, int idWyjsciaJedz,
                                 int trybJedz, bool posredni, bool funkcjaWycofania, std::string_view opis);

    // The log entry of the passages and of the system's start and stop:
    // a built-in event now, with the ids of the given elements (0 for null).
    static Object_Zdarzenie* ZapiszZdarzenie(int idWbudowane, const Object_Uzytkownik* uzytkownik,
                                             const Object_Brama* brama, const Object_Identyfikator* identyfikator,
                                             int przycisk);

    // Tick step: each passage blinks its lamp and takes one step.
    void Krok();
};
