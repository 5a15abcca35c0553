#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "core/Object.h"
#include "core/TekstStaly.h"

class THttpRequest;

// The token an encoder reports: 64 bytes of text, zero-padded.
constexpr std::size_t DlugoscTokenu = 64;
using TokenEnkodera = std::array<char, DlugoscTokenu>;

// The token's text: up to its first zero byte, at most 64 bytes.
std::string TekstTokenu(const TokenEnkodera& token);

// What an encoder's threads (the health thread, the server's connection
// threads) share with the main thread. It lives apart from the element and
// is held by shared pointer, so a reload that frees the element frees
// nothing a thread still works on; the thread's writes then simply land on
// a state nobody reads any more.
//
// Token, Niesprawny, OstatniaAktywnosc and OstatniTypPakietu are read and
// written under the objects lock (Objects::Zablokuj).
struct StanEnkodera {
    TokenEnkodera Token{};
    bool Niesprawny = false;
    // Czas::ZegarMonotoniczny() of the last recognised packet; 0: none yet.
    std::uint64_t OstatniaAktywnosc = 0;
    int OstatniTypPakietu = 0;
    // How long the last health request took, ms.
    std::atomic<std::uint32_t> CzasSprawdzenia{0};
    // The health thread's own request object, created at the first check.
    std::unique_ptr<THttpRequest> Zapytanie;

    ~StanEnkodera();
    void UstawToken(const TokenEnkodera& token);
    TokenEnkodera PobierzToken() const;
    bool JestNiesprawny() const;
    // OstatniaAktywnosc = now, OstatniTypPakietu = typ.
    void ZapiszAktywnosc(int typ);
};

// One health check of an encoder at ipv4:portIn: healthy only when the body
// of GET /api/healthcheck is JSON whose "status" is exactly "ok". The result
// is stored in the state and returned (true: healthy). Blocks the calling
// thread for the request.
bool SprawdzStanEnkodera(StanEnkodera& stan, std::uint32_t ipv4, std::uint16_t portIn);
// Whether the body of a health answer says healthy: JSON whose "status" is
// exactly "ok". Anything else, malformed text included, is not.
bool OdpowiedzSprawna(std::string_view tekst);
// The health-check address, with the token percent-encoded.
std::string AdresSprawdzenia(std::uint32_t ipv4, std::uint16_t portIn, const TokenEnkodera& token);

// An intercom encoder: a network device beside a controller that carries
// intercom calls to the residents' phones through the cloud.
class Object_Enkoder : public Object {
public:
    explicit Object_Enkoder(int id);
    ~Object_Enkoder() override;

    void Polacz() override;

    void UstawToken(const TokenEnkodera& token) { stan_->UstawToken(token); }
    TokenEnkodera PobierzToken() const { return stan_->PobierzToken(); }
    bool Niesprawny() const { return stan_->JestNiesprawny(); }
    // The last recognised packet came less than 120 s before now.
    bool JestAktywny() const;
    bool JestAktywny(std::uint64_t teraz) const;
    int OstatniTypPakietu() const;
    std::uint32_t CzasSprawdzenia() const { return stan_->CzasSprawdzenia; }
    // One health check, blocking. The health thread's own: its request
    // object is not shared, so nobody else calls it while that thread runs.
    bool SprawdzStan() { return SprawdzStanEnkodera(*stan_, IPv4, PortIn); }

    const std::shared_ptr<StanEnkodera>& Stan() const { return stan_; }

    TekstStaly<40> Nazwa;
    std::uint32_t IPv4 = 0;
    std::uint16_t PortOut = 0;
    std::uint16_t PortIn = 0;
    std::uint16_t PortOutForwarded = 0;
    std::uint16_t PortInForwarded = 0;
    int IdCentralaZarvoGsm = 0;
    // The controller (a device element) or null.
    Object* Centrala = nullptr;

private:
    std::shared_ptr<StanEnkodera> stan_;
};

// The encoders. One health thread serves the program, whatever container
// holds the encoders: a reload builds a new container beside the old one,
// and the checks, their pause and their cycle go on across it. The thread
// starts with the first encoder and stops when the last container goes.
class Objects_Enkodery : public Objects {
public:
    // How often the health thread checks every encoder.
    static constexpr unsigned OkresSprawdzaniaMs = 60'000;

    Objects_Enkodery();
    // The last container stops the health thread and waits for it.
    ~Objects_Enkodery() override;

    Object* Utworz(int id) override { return new Object_Enkoder(id); }
    // Name (byte-wise), then IPv4, then PortOut, then PortIn, for every kind.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    // Adds the encoder; the first one also starts the health thread.
    Object_Enkoder* Dodaj(int id, std::string_view nazwa, std::uint32_t ipv4, std::uint16_t portOut,
                          std::uint16_t portOutForwarded, std::uint16_t portIn, std::uint16_t portInForwarded,
                          int idCentralaZarvoGsm);

    // The first encoder with the address, or null; under the objects lock and
    // without the shared cursor. Main thread: the server's threads look
    // encoders up in the published snapshot (MigawkaEnkoderow).
    Object_Enkoder* ZnajdzIPv4(std::uint32_t ipv4) const;

    static void UstawNiesprawny(bool niesprawny);
    // The last health cycle found an encoder not healthy.
    static bool JestNiesprawny();

    // Stopping the system pauses the checks, starting it resumes them. A
    // pause set before the first encoder holds from the thread's start.
    static void Wstrzymaj();
    static void Wznow();
    static bool Wstrzymany();

    // One health cycle over the encoders of the published snapshot, on the
    // calling thread; stores and returns whether any was not healthy.
    static bool CyklSprawdzania();
    // Cycles the health thread has completed.
    static unsigned LiczbaCykli();
    // Whether the health thread runs (tests).
    static bool WatekDziala();
};
