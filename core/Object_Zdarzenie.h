#pragma once
#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

#include "core/DataCzas.h"
#include "core/Object.h"
#include "core/Uslugi.h"

class Object_Rodzaj_Zdarzenia;
class Object_Rodzaj_Zdarzenia_Wbudowane;
class Object_Uzytkownik;
class Object_Identyfikator;
class Object_Obszar;
class Object_Lokal;
class Objects_Zdarzenia;

// One row of the event log written during this run: an event of an event
// kind (open until the kind ends), a built-in event, or a controller event.
class Object_Zdarzenie : public Object {
public:
    using Object::Object;
    ~Object_Zdarzenie() override;

    void Polacz() override;

    // The row's id in its table; 0 until the writer has numbered it. Id() is
    // a temporary negative number: the row is written on another thread.
    std::int32_t IdWiersza() const { return wiersz_ ? wiersz_->load() : 0; }

    std::int32_t IdRodzajZdarzenia = 0;
    std::int32_t IdRodzajZdarzeniaWbudowane = 0;
    std::int32_t IdUzytkownika = 0;
    std::int32_t IdBramy = 0;
    std::int32_t IdIdentyfikatora = 0;
    std::int32_t Przycisk = 0;
    DataCzas DataCzasWystapienie{};
    DataCzas DataCzasZakonczenie{};
    std::int32_t IdCentralaZarvoGsm = 0;
    std::int32_t Transponder = 0;
    std::int32_t Lokal = 0;
    std::int32_t Klawiatura = 0;
    std::int32_t KlatkaZrodlo = 0;
    std::int32_t KlatkaCel = 0;
    std::int32_t KodPin = 0;

    Object_Rodzaj_Zdarzenia* Rodzaj = nullptr;
    Object_Rodzaj_Zdarzenia_Wbudowane* RodzajWbudowany = nullptr;
    Object_Uzytkownik* Uzytkownik = nullptr;
    Object* Brama = nullptr;
    Object_Identyfikator* Identyfikator = nullptr;
    // Device elements (controllers, keypad) that core cannot name.
    Object* Centrala = nullptr;
    Object* CentralaCel = nullptr;
    Object* ZarvoKlawiatura = nullptr;
    Object_Obszar* Obszar = nullptr;
    Object_Lokal* LokalObiekt = nullptr;

    // The controller side of linking a controller event: the controller,
    // the target controller and the keypad are device elements, which the
    // device layer finds (it installs this at start-up). It sets Centrala,
    // CentralaCel (none when KlatkaCel is 0xFFFF) and ZarvoKlawiatura;
    // without it they stay null, and so does the area.
    using RozwiazanieCentrali = void (*)(Object_Zdarzenie& zdarzenie);
    static void UstawRozwiazanieCentrali(RozwiazanieCentrali rozwiazanie);

private:
    friend class Objects_Zdarzenia;
    ::IdWiersza wiersz_;
    Objects_Zdarzenia* dziennik_ = nullptr;
    bool otwarte_ = false;
    bool zakonczone_ = false;
    std::list<Object_Zdarzenie*>::iterator naLiscie_;
};

// The events of one table written during this run. Open events are kept
// apart, so the closing step walks only them; of the others only the newest
// are kept, so a desk that runs for months does not grow without end (the
// table keeps every row).
class Objects_Zdarzenia : public Objects {
public:
    static constexpr std::size_t LimitZakonczonych = 10'000;

    Objects_Zdarzenia() = default;
    ~Objects_Zdarzenia() override;

    Object* Utworz(int id) override { return new Object_Zdarzenie(id); }
    // Every kind: newest first.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    // The writers return the new event, or null when the database refused
    // the row (written to the exception log). A row that has to wait for
    // the server gets its event at once, under a temporary id.
    static Object_Zdarzenie* DodajZdarzenie(Objects_Zdarzenia* kontener, int idRodzajuZdarzenia, DataCzas czas);
    static Object_Zdarzenie* DodajZdarzenieWbudowane(Objects_Zdarzenia* kontener, int idWbudowane, DataCzas czas,
                                                     int idUzytkownika, int idBramy, int idIdentyfikatora,
                                                     int przycisk);
    static Object_Zdarzenie* DodajZdarzenieCentrali(Objects_Zdarzenia* kontener, int idWbudowane, DataCzas czas,
                                                    std::int32_t transponder, int idCentralaZarvoGsm,
                                                    std::int32_t lokal, std::int32_t klawiatura,
                                                    std::int32_t klatkaZrodlo, std::int32_t klatkaCel,
                                                    std::int32_t kodPin);
    // Writes the end time; always 0.
    static int ZakonczZdarzenie(Object_Zdarzenie* zdarzenie, DataCzas koniec);

    // Tick step: closes the events of kinds that are no longer active and
    // hands run-out kinds over to their follow-ups.
    void ZakonczZdarzenia();

    std::size_t IloscOtwartych() const { return otwarte_.size(); }
    std::size_t IloscZakonczonych() const { return zakonczone_.size(); }

private:
    friend class Object_Zdarzenie;
    Object_Zdarzenie* Nowe(const ::IdWiersza& wiersz);
    void Zakonczone(Object_Zdarzenie* zdarzenie);
    void Odpisz(Object_Zdarzenie* zdarzenie);

    std::vector<Object_Zdarzenie*> otwarte_;
    std::list<Object_Zdarzenie*> zakonczone_;
    int ostatniTymczasowy_ = 0;
};
