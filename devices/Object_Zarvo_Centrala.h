#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/DataCzas.h"
#include "core/Object.h"
#include "core/TekstStaly.h"
#include "devices/RamkaCentrali.h"

class Object_Com;
class Object_Sim_Modem;
class Objects_Zarvo_Centrale;

// What a controller reported in one frame, as the tick reads it.
struct ZdarzenieCentrali {
    std::uint8_t Kod = 0;
    std::uint16_t A = 0;
    std::uint16_t B = 0;
    // The sender's network address or serial number.
    std::uint16_t Nadawca = 0;
    std::uint16_t LokalZdarzenia = 0;
    std::uint16_t KodWprowadzony = 0;
    std::uint8_t Klawiatura = 0;
    std::array<std::uint8_t, 4> Dane{};
    std::uint32_t Identyfikator = 0;
    std::uint8_t RodzajIdentyfikatora = 0;
};

// One of the maker's intercom controllers on a controller line: the desk
// logs what it reports, opens its doors for the codes, transponders and
// temporary codes the desk knows, keeps it alive, forwards unanswered flat
// calls to the flat's phone through its GSM modem, and reads and writes its
// memory for the programming windows. Main thread only, from the tick.
class Object_Zarvo_Centrala : public Object {
public:
    static constexpr std::size_t DlugoscKonfiguracji = 2332;
    // A flat call waits this long for someone at home before it is
    // forwarded to the flat's phone.
    static constexpr double CzasOczekiwaniaWywolania = 4.0;
    // A controller heard from within this long needs no keep-alive query.
    static constexpr double CzasCiszy = 300.0;
    static constexpr std::uint32_t OdstepZapytaniaMs = 60000;
    // The conversation is kept with a command every 2 s; a refused one is
    // tried again after 0.5 s, and the third expiry ends it.
    static constexpr std::uint32_t OdstepRozmowyMs = 2000;
    static constexpr std::uint32_t PonowienieRozmowyMs = 500;
    static constexpr int KoniecRozmowy = 3;
    static constexpr std::uint16_t BezAdresu = 0xFFFF;

    explicit Object_Zarvo_Centrala(int id);
    ~Object_Zarvo_Centrala() override;

    // The port of its COM number (made when missing) and its modem.
    void Polacz() override;

    // Commands; false when the port refused the frame (or there is none).
    bool OdpowiedzWywolanie(std::uint16_t adres, std::uint16_t lokal);
    bool PotwierdzDane(std::uint16_t adres, const std::array<std::uint8_t, 4>& dane);
    bool PodtrzymajRozmowe(std::uint16_t adres);
    // Address 0 means the default address, the sender of the last event 4.
    bool Otworz(std::uint16_t adres, std::uint8_t wartosc);
    bool ZapytajTyp();
    bool CzytajPamiec(std::uint16_t offset);
    bool ZapiszPamiec(std::uint16_t offset, const std::array<std::uint8_t, 4>& dane);
    bool PotwierdzTransponder(std::uint16_t adres, std::uint32_t kod, std::uint16_t lokal);

    // One tick: the frame meant for it, a remote open, the keep-alive, the
    // conversation and the modem.
    void Krok();
    void AnalizujRamke(const centrala::Frame& ramka);
    void ZapiszZdarzenie();

    // The network scan moves a controller to another port and desk address.
    void UstawPort(int com, std::uint16_t adresCentraliPC);
    void WyczyscPolaczenieWywolania();

    // Answers for the programming and scan windows.
    bool Odpowiada() const { return OdebranyKod != 0; }
    bool SprawdzOdpowiedz();
    bool OdpowiedzOK() const { return odpowiedzOK_; }
    bool JestTransponder() const { return !Transponder.empty(); }
    // The last identifier reported, as lower-case hexadecimal; empty when
    // none waits. Taking it moves it to PoprzedniTransponder.
    std::string PobierzTransponder();

    // Remote open of output n (1..7), served one per tick.
    void ZlecOtwarcie(int n);

    void UstawTypWersja(int typWersja);

    // Configuration.
    TekstStaly<40> Nazwa;
    int ComCentralaZarvo = 0;
    std::uint16_t AdresCentraliPC = 0;
    int NumerSeryjny = 0;
    int Adres = 0;
    bool ProtokolNrSeryjny = false;
    int TypWersja = 0;
    std::uint8_t Typ = 0;
    std::uint8_t Wersja = 0;
    int Pojemnosc = 0;
    std::vector<std::uint8_t> Konfiguracja;
    std::vector<std::uint8_t> KonfiguracjaNowa;
    DataCzas DataCzasKonfiguracja{};
    std::array<std::uint16_t, 10> KameraSieciowa{};
    std::array<std::uint16_t, 10> KameraSieciowaNowa{};
    std::uint16_t Firmware = 0;

    Object_Com* Port = nullptr;
    Object_Sim_Modem* Modem = nullptr;

    ZdarzenieCentrali Zdarzenie;

    std::uint16_t DomyslnyAdres = 0;
    bool Rozmowa = false;
    bool Przekierowane = false;
    bool WywolanieOczekuje = false;
    // Czas deadline (monotonic): a wall-clock change neither forwards a call
    // early nor holds it.
    std::uint64_t TerminWywolania = 0;
    std::uint16_t ZrodloWywolania = 0;
    std::uint16_t LokalWywolania = 0;
    std::uint16_t CelWywolania = 0;
    // Czas time (monotonic) the last frame for it was handled; 0 never.
    std::uint64_t OstatniaRamka = 0;
    std::uint32_t OstatnieWyslanie = 0;
    std::uint8_t OczekiwanyKod = 0;
    std::uint8_t OdebranyKod = 0;
    std::array<std::uint8_t, 4> OdczytanaPamiec{};
    std::uint8_t ZleceniaOtwarcia = 0;
    std::string Transponder;
    std::string PoprzedniTransponder;

private:
    centrala::Frame ZbudujRamke(centrala::Sync sync, std::uint8_t kod, std::uint16_t a, std::uint16_t b,
                                std::array<std::uint8_t, 4> dane = {}) const;
    bool WyslijRamke(const centrala::Frame& ramka);
    void Przekieruj();
    void KrokRozmowy();
    void RozpocznijRozmowe();
    void ZapiszTyp(const centrala::Frame& ramka);
    std::int32_t LokalWywolaniaLokalu() const;

    centrala::Frame wyslana_{};
    centrala::Frame odebrana_{};
    bool odpowiedzOK_ = false;
    std::uint32_t startRozmowyMs_ = 0;
    std::uint32_t odstepRozmowyMs_ = OdstepRozmowyMs;
    int powtorzeniaRozmowy_ = 0;
};

class Objects_Zarvo_Centrale : public Objects {
public:
    // The door code that opens any controller's door from its keypad when
    // typed without a flat; 0 switches it off.
    static constexpr std::uint16_t DomyslnyKodGlowny = 6035;

    Object* Utworz(int id) override { return new Object_Zarvo_Centrala(id); }
    // 0: name (natural), COM, version; 1 and 4: COM, address; 2: serial, id;
    // 3: address, id; 5: desk address, COM, address; other: id.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    using Objects::Dodaj;
    Object_Zarvo_Centrala* Dodaj(int id, std::string_view nazwa, int comCentralaZarvo, std::uint16_t adresCentraliPC,
                                 int numerSeryjny, int adres, int typWersja, bool protokolNrSeryjny,
                                 std::span<const std::uint8_t> konfiguracja,
                                 std::span<const std::uint8_t> konfiguracjaNowa, DataCzas dataCzasKonfiguracja,
                                 const std::array<std::uint16_t, 10>& kamery,
                                 const std::array<std::uint16_t, 10>& kameryNowe);

    // Opens every controller port (all of them, whatever fails) and clears
    // every call link; false when some port did not open.
    bool PrzygotujCentrale();
    // Tick step: every port receives, every controller takes its frame,
    // every port drops the tick's frame.
    void Krok();

    // The last controller in display order that matches; null when none.
    Object_Zarvo_Centrala* ZnajdzNumerSeryjny(int numer) const;
    Object_Zarvo_Centrala* ZnajdzAdres(int adres) const;
    Object_Zarvo_Centrala* ZnajdzAdresLubNumer(int wartosc, bool poNumerzeSeryjnym) const;
    // The controller whose last flat call is the one the event answers.
    Object_Zarvo_Centrala* ZnajdzRozmowe(const ZdarzenieCentrali& zdarzenie) const;

    std::uint16_t KodGlowny = DomyslnyKodGlowny;
};
