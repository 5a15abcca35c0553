#include "devices/Object_Enkoder.h"

#include <chrono>
#include <cstring>
#include <mutex>

#include <nlohmann/json.hpp>

#include "core/Czas.h"
#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "core/TekstIPv4.h"
#include "devices/MigawkaEnkoderow.h"
#include "devices/THttpRequest.h"

namespace {

// The objects lock for the span of a scope.
struct BlokadaObiektow {
    BlokadaObiektow() { Objects::Zablokuj(); }
    ~BlokadaObiektow() { Objects::Odblokuj(); }
    BlokadaObiektow(const BlokadaObiektow&) = delete;
    BlokadaObiektow& operator=(const BlokadaObiektow&) = delete;
};

// An encoder is active while its keep-alives keep coming; they come far
// more often than this.
constexpr std::uint64_t OknoAktywnosci = 120ull * 10'000'000ull; // 100 ns units

// The encoders sit on the estate's own network: an encoder that does not
// answer within these is as good as down, and the cycle must go on to the
// others (and the thread must end soon at exit).
constexpr std::chrono::milliseconds CzasPolaczeniaSprawdzenia{3'000};
constexpr std::chrono::milliseconds CzasSprawdzenia{5'000};

std::string KodujProcentowo(std::string_view tekst) {
    static const char cyfry[] = "0123456789ABCDEF";
    std::string wynik;
    for (unsigned char c : tekst) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            wynik += static_cast<char>(c);
        } else {
            wynik += '%';
            wynik += cyfry[c >> 4];
            wynik += cyfry[c & 0xF];
        }
    }
    return wynik;
}

} // namespace

std::string TekstTokenu(const TokenEnkodera& token) { return std::string(token.data(), strnlen(token.data(), token.size())); }

StanEnkodera::~StanEnkodera() = default;

void StanEnkodera::UstawToken(const TokenEnkodera& token) {
    BlokadaObiektow blokada;
    Token = token;
}

TokenEnkodera StanEnkodera::PobierzToken() const {
    BlokadaObiektow blokada;
    return Token;
}

bool StanEnkodera::JestNiesprawny() const {
    BlokadaObiektow blokada;
    return Niesprawny;
}

void StanEnkodera::ZapiszAktywnosc(int typ) {
    const std::uint64_t teraz = Czas::ZegarMonotoniczny();
    BlokadaObiektow blokada;
    OstatniaAktywnosc = teraz;
    OstatniTypPakietu = typ;
}

std::string AdresSprawdzenia(std::uint32_t ipv4, std::uint16_t portIn, const TokenEnkodera& token) {
    return "https://" + IPv4NaTekst(ipv4) + ":" + std::to_string(portIn) +
           "/api/healthcheck?token=" + KodujProcentowo(TekstTokenu(token));
}

bool OdpowiedzSprawna(std::string_view tekst) {
    const auto odpowiedz = nlohmann::json::parse(tekst, nullptr, false);
    if (!odpowiedz.is_object())
        return false;
    const auto status = odpowiedz.find("status");
    return status != odpowiedz.end() && status->is_string() && status->get<std::string>() == "ok";
}

bool SprawdzStanEnkodera(StanEnkodera& stan, std::uint32_t ipv4, std::uint16_t portIn) {
    if (!stan.Zapytanie) {
        stan.Zapytanie = std::make_unique<THttpRequest>();
        // The encoders have only their own self-signed certificates.
        stan.Zapytanie->Client().setAcceptSelfSigned(true);
        stan.Zapytanie->Client().setConnectTimeout(CzasPolaczeniaSprawdzenia);
        stan.Zapytanie->Client().setTransferTimeout(CzasSprawdzenia);
        // A health answer is a few bytes of JSON.
        stan.Zapytanie->Client().setResponseLimit(64 * 1024);
    }
    const std::string adres = AdresSprawdzenia(ipv4, portIn, stan.PobierzToken());
    const auto poczatek = std::chrono::steady_clock::now();
    bool sprawny = false;
    if (stan.Zapytanie->Get(adres))
        sprawny = OdpowiedzSprawna(stan.Zapytanie->ResponseText());
    stan.CzasSprawdzenia = static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - poczatek).count());
    BlokadaObiektow blokada;
    stan.Niesprawny = !sprawny;
    return sprawny;
}

Object_Enkoder::Object_Enkoder(int id) : Object(id), stan_(std::make_shared<StanEnkodera>()) {}

Object_Enkoder::~Object_Enkoder() = default;

void Object_Enkoder::Polacz() { Centrala = Polaczony<Object>(KontenerGlobalny(NrCentrale), IdCentralaZarvoGsm); }

bool Object_Enkoder::JestAktywny() const { return JestAktywny(Czas::ZegarMonotoniczny()); }

bool Object_Enkoder::JestAktywny(std::uint64_t teraz) const {
    BlokadaObiektow blokada;
    return stan_->OstatniaAktywnosc != 0 && teraz - stan_->OstatniaAktywnosc < OknoAktywnosci;
}

int Object_Enkoder::OstatniTypPakietu() const {
    BlokadaObiektow blokada;
    return stan_->OstatniTypPakietu;
}

namespace {

// The program's one health thread and what it shares with the main thread.
struct NadzorZdrowia {
    std::mutex straz; // kontenery and watek
    int kontenery = 0;
    std::thread watek;
    std::atomic<bool> koniec{false};
    std::atomic<bool> wstrzymany{false};
    std::atomic<unsigned> cykle{0};
    bool niesprawny = false; // under the objects lock

    void Uruchom() {
        std::lock_guard blokada(straz);
        if (!watek.joinable()) {
            koniec = false;
            watek = std::thread([this] { Watek(); });
        }
    }
    void Watek();
};

NadzorZdrowia& Nadzor() {
    static NadzorZdrowia nadzor;
    return nadzor;
}

} // namespace

Objects_Enkodery::Objects_Enkodery() {
    std::lock_guard blokada(Nadzor().straz);
    ++Nadzor().kontenery;
}

Objects_Enkodery::~Objects_Enkodery() {
    NadzorZdrowia& n = Nadzor();
    std::thread koniec;
    {
        std::lock_guard blokada(n.straz);
        if (--n.kontenery == 0) {
            n.koniec = true;
            koniec = std::move(n.watek);
        }
    }
    if (koniec.joinable())
        koniec.join();
    if (n.kontenery == 0) {
        // A new model starts afresh.
        n.wstrzymany = false;
        n.cykle = 0;
        UstawNiesprawny(false);
    }
    // The threads must not go on with this container's encoders once it is
    // gone; a loader that built a new one has published that one's already.
    WycofajMigawkeEnkoderow(this);
}

int Objects_Enkodery::Porownaj(int, const Object* a, const Object* b) const {
    const auto* x = static_cast<const Object_Enkoder*>(a);
    const auto* y = static_cast<const Object_Enkoder*>(b);
    if (const int n = Znak(x->Nazwa.str().compare(y->Nazwa.str())))
        return n;
    if (const int n = PorownajLiczby(x->IPv4, y->IPv4))
        return n;
    if (const int n = PorownajLiczby(x->PortOut, y->PortOut))
        return n;
    return PorownajLiczby(x->PortIn, y->PortIn);
}

Object_Enkoder* Objects_Enkodery::Dodaj(int id, std::string_view nazwa, std::uint32_t ipv4, std::uint16_t portOut,
                                        std::uint16_t portOutForwarded, std::uint16_t portIn,
                                        std::uint16_t portInForwarded, int idCentralaZarvoGsm) {
    Object_Enkoder* e;
    {
        BlokadaObiektow blokada;
        e = static_cast<Object_Enkoder*>(Nowy(id));
    }
    e->Nazwa = nazwa;
    e->IPv4 = ipv4;
    e->PortOut = portOut;
    e->PortOutForwarded = portOutForwarded;
    e->PortIn = portIn;
    e->PortInForwarded = portInForwarded;
    e->IdCentralaZarvoGsm = idCentralaZarvoGsm;
    Nadzor().Uruchom();
    return e;
}

Object_Enkoder* Objects_Enkodery::ZnajdzIPv4(std::uint32_t ipv4) const {
    BlokadaObiektow blokada;
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* e = static_cast<Object_Enkoder*>(Element(i));
        if (e->IPv4 == ipv4)
            return e;
    }
    return nullptr;
}

void Objects_Enkodery::UstawNiesprawny(bool niesprawny) {
    BlokadaObiektow blokada;
    Nadzor().niesprawny = niesprawny;
}

bool Objects_Enkodery::JestNiesprawny() {
    BlokadaObiektow blokada;
    return Nadzor().niesprawny;
}

void Objects_Enkodery::Wstrzymaj() { Nadzor().wstrzymany = true; }
void Objects_Enkodery::Wznow() { Nadzor().wstrzymany = false; }
bool Objects_Enkodery::Wstrzymany() { return Nadzor().wstrzymany; }
unsigned Objects_Enkodery::LiczbaCykli() { return Nadzor().cykle; }

bool Objects_Enkodery::WatekDziala() {
    std::lock_guard blokada(Nadzor().straz);
    return Nadzor().watek.joinable();
}

bool Objects_Enkodery::CyklSprawdzania() {
    const std::shared_ptr<const MigawkaEnkoderow> migawka = MigawkaEnkoderowTeraz();
    bool niesprawny = false;
    for (const EnkoderMigawki& e : migawka->Enkodery) {
        if (Nadzor().koniec)
            break;
        if (!SprawdzStanEnkodera(*e.Stan, e.IPv4, e.PortIn))
            niesprawny = true;
    }
    UstawNiesprawny(niesprawny);
    return niesprawny;
}

void NadzorZdrowia::Watek() {
    if (CPUMonitor)
        CPUMonitor->UstawNazweWatku(TCPUMonitor::IdBiezacegoWatku(), "TEncoderThread");
    using Zegar = std::chrono::steady_clock;
    // The first cycle runs at once.
    Zegar::time_point ostatni = Zegar::now() - std::chrono::hours(24);
    while (!koniec) {
        if (wstrzymany || Zegar::now() - ostatni < std::chrono::milliseconds(Objects_Enkodery::OkresSprawdzaniaMs)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        ostatni = Zegar::now();
        Objects_Enkodery::CyklSprawdzania();
        ++cykle;
    }
    if (CPUMonitor)
        CPUMonitor->UstawNazweWatku(TCPUMonitor::IdBiezacegoWatku(), "");
}
