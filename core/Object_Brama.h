#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

class Object_Wyjscie;
class Object_Wejscie;

// A gate (barrier, garage door, wicket) driven by an open and a close output,
// each held on for a short impulse, with optional limit switches. Movements
// are tracked by travel time or limit switch.
class Object_Brama : public Object {
public:
    using Object::Object;

    bool Otwarta = false;  // the last command was open and the opening ended
    bool Zamknieta = true; // the last command was close and the closing ended
    TekstStaly<40> Nazwa;
    int IdWyjsciaOtworz = 0;
    int IdWyjsciaZamknij = 0;
    std::uint32_t CzasImpulsOtworz = 0; // ms the output is held on
    std::uint32_t CzasImpulsZamknij = 0;
    std::uint32_t CzasOtwierania = 0; // ms of travel
    std::uint32_t CzasZamykania = 0;
    int IdWejsciaKrancowkaOtwarcia = 0;
    int IdWejsciaKrancowkaZamkniecia = 0;
    double GeoSzerokosc = 0;
    double GeoDlugosc = 0;
    bool Kierunek = false;          // true: open
    std::uint32_t CzasPolecenia = 0; // Czas::TickMs() of the last command's output
    // A passage is under way at this gate; the passages set and read it.
    bool Zajeta = false;

    Object_Wyjscie* WyjscieOtworz = nullptr;
    Object_Wyjscie* WyjscieZamknij = nullptr;
    Object_Wyjscie* WyjscieImpulsu = nullptr; // the output held on now
    Object_Wejscie* KrancowkaOtwarcia = nullptr;
    Object_Wejscie* KrancowkaZamkniecia = nullptr;

    void Polacz() override;

    void Steruj(bool otworz);
    void Otworz() { Steruj(true); }
    void Zamknij() { Steruj(false); }
    bool Otwiera() const;
    bool Zamyka() const;

    // The two halves of the tick step, timed against one reading.
    void SprawdzRuch(std::uint32_t terazMs);
    void SprawdzImpuls(std::uint32_t terazMs);

private:
    bool WRuchu(bool kierunek, const Object_Wyjscie* wyjscie, const Object_Wejscie* krancowka,
                std::uint32_t czasRuchu) const;
};

class Objects_Bramy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Brama(id); }
    // Kind 0: name; any other: id.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Brama* DodajRekord(int id, std::string_view nazwa, int idWyjsciaOtworz, int idWyjsciaZamknij,
                              std::uint32_t czasImpulsOtworz, std::uint32_t czasImpulsZamknij,
                              std::uint32_t czasOtwierania, std::uint32_t czasZamykania,
                              int idWejsciaKrancowkaOtwarcia, int idWejsciaKrancowkaZamkniecia, double geoSzerokosc,
                              double geoDlugosc);

    // Tick step: ends finished movements and releases impulses.
    void Krok();
};
