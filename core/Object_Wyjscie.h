#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

class Object_Karta;

// A relay output of a board or an output of a controller. The logic only
// requests it on or off; the output step turns requests into the board's
// wanted-output bits or the controller's open command.
class Object_Wyjscie : public Object {
public:
    using Object::Object;

    bool Zadany = false;
    int IdKarty = 0;            // 0 for a controller output
    int IdCentralaZarvoGsm = 0; // 0 for a board output
    int Wyjscie = 0;
    TekstStaly<40> Nazwa;
    Object_Karta* Karta = nullptr;
    // A device element (core cannot name its class); handed back to the
    // device layer for the open command.
    Object* Centrala = nullptr;
    // Board: what the board last acknowledged. Controller: whether the
    // current request was passed on.
    bool StanRzeczywisty = false;
    bool Poziom = false;
    std::uint32_t ImpulsCzasAktywny = 0; // ms; with both times above 0 the output pulses
    std::uint32_t ImpulsCzasNieaktywny = 0;
    std::uint32_t CzasWlaczenia = 0; // Czas::TickMs() of the latest request

    void Polacz() override;

    // Also restarts the pulse pattern of an output already on.
    void Wlacz();
    void Wylacz() { Zadany = false; }
    bool Wlaczone() const { return Zadany; }
    // The board's acknowledged bit; false without a board or bus.
    bool StanKarty() const;
    void ObliczPoziom();
    void ObliczPoziom(std::uint32_t terazMs);
};

class Objects_Wyjscia : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Wyjscie(id); }
    // 1: board's name, number, name; 2: number, board's name, name; other:
    // name, board's name, number. Board names count only when both outputs
    // have a board.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Wyjscie* DodajRekord(int id, int idKarty, int idCentralaZarvoGsm, int wyjscie, std::string_view nazwa,
                                std::uint32_t impulsCzasAktywny, std::uint32_t impulsCzasNieaktywny);

    // Tick step: drives every output's board bit or controller.
    void Krok();
};
