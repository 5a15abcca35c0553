#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"
#include "platform/serial/SerialPort.h"

class Object_Zarvo_Centrala;

// The characters of a phone number a dial command may carry: digits, '+',
// '*' and '#'. Anything else a flat's phone field holds (blanks, dashes,
// brackets) is dropped, so a number typed for people still dials and nothing
// typed there can end the command line early.
std::string NumerDoWybrania(std::string_view numer);

// The match of a modem's line against a command: case-blind, and an
// unsolicited line that begins with '+' or '^' also matches the command's
// part from its first '+' or '^' (+CLIP matches "AT+CLIP"). On a match,
// *argument is what follows the matched part, without a leading '=', '?' or
// ':' and the blanks after it.
bool PasujeKomenda(std::string_view linia, std::string_view komenda, std::string_view* argument = nullptr);

// A controller's GSM modem, driven with AT command lines from the tick: it
// is initialised when the system starts, dials a flat's phone when the
// controller forwards a call, hangs up, and passes the keys pressed on the
// phone to the controller ('#' opens the door). Main thread only; every port
// call returns at once, so a tick never waits for the modem.
class Object_Sim_Modem : public Object {
public:
    static constexpr unsigned Predkosc = 115200;
    static constexpr std::size_t PojemnoscOdbioru = 1024;
    // Keys pressed during one call that wait to be acted on; more are
    // dropped.
    static constexpr std::size_t PojemnoscDtmf = 32;
    static constexpr std::size_t DlugoscNumeru = 50;
    // Steps of the initialisation; 0 when it is done or never started.
    static constexpr int OstatniKrokInicjalizacji = 8;

    explicit Object_Sim_Modem(int id);
    ~Object_Sim_Modem() override;

    // The controller with the same id; it links back to the modem.
    void Polacz() override;

    bool Otworz();
    void Zamknij();
    // Starts the initialisation at its first step.
    void RozpocznijInicjalizacje();

    // One tick of the port: receive and interpret, the initialisation step,
    // and the pending line's next part.
    void Krok();

    // Queues the text and "\r\n"; false while another line is pending.
    bool WyslijLinie(std::string_view tekst);
    // "ATD" + the number's dialable characters + "I" (type 1), "i" (type 2)
    // or nothing + ";". False when the number has nothing to dial or a line
    // is pending.
    bool Dzwon(std::string_view numer, int typ);
    bool Rozlacz();

    bool Polaczenie() const { return polaczenie_; }
    bool Wybieranie() const { return wybieranie_; }
    bool Dzwoni() const { return dzwoni_; }
    // The first key pressed on the phone and not taken yet; 0 when none.
    char PobierzDtmf();

    // Bytes that arrived from the modem, taken as a tick's reads take them:
    // buffered, cut into lines and interpreted. The receive half of Krok
    // without the port (the fuzz target feeds it).
    void Przyjmij(std::span<const std::uint8_t> bajty);

    TekstStaly<40> Nazwa;
    std::uint8_t ComGsm = 0;
    // Kept with the modem; the initialisation does not send it.
    int Pin = 0;
    Object_Zarvo_Centrala* Centrala = nullptr;

    int StanInicjalizacji = 0;
    int WyslanyStan = 0;
    bool PinWymagany = true;
    std::string NumerDzwoniacego;
    std::string CyfryDtmf;

    // The open command of a '#' that the controller's port refused: tried
    // once more at the next tick.
    bool OtwarcieDoPonowienia = false;

private:
    void Odbierz();
    std::span<std::uint8_t> WolneMiejsce();
    void Odebrano(bool nowaLinia, std::size_t n);
    void PodzielLinie();
    void Usun(std::size_t n);
    void AnalizujLinie(std::string_view linia);
    void KrokInicjalizacji();
    void Wysylaj();
    void Przesun(int krok);
    void KoniecRozmowy();
    void Wyczysc();

    platform::serial::SerialPort port_;
    std::array<char, PojemnoscOdbioru> odbior_{};
    std::size_t ilosc_ = 0;
    // The last line was empty: the line end a result begins with, so the
    // next line is a result, whatever its first character.
    bool poPustejLinii_ = false;
    std::string wysylka_;
    std::size_t wyslano_ = 0;
    bool polaczenie_ = false;
    bool wybieranie_ = false;
    bool dzwoni_ = false;
};

class Objects_Sim_Modemy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Sim_Modem(id); }
    // Every kind: name (byte-wise), then COM number.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    using Objects::Dodaj;
    Object_Sim_Modem* Dodaj(int id, std::string_view nazwa, std::uint8_t comGsm, int pin);

    // Opens every modem and starts its initialisation; false when some port
    // did not open (the others run).
    bool PrzygotujSim();
    // Tick step: each modem's port, then the keys pressed during its call.
    void Krok();
};
