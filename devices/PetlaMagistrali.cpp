#include "devices/PetlaMagistrali.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <system_error>

#include "core/Komunikaty.h"
#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "core/ZapiszWyjatek.h"
#include "devices/RamkaMagistrali.h"

namespace {

using platform::serial::Parity;
using platform::serial::Status;
using platform::serial::StopBits;

constexpr std::uint8_t bityDanych = 0x3F;

bool KoniecOdpowiedzi(std::uint8_t bajt) { return bajt < 0x40; }

std::uint32_t TerazMs() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

long long BiezacaSekunda() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

void NazwijWatek(const char* nazwa) {
    if (CPUMonitor)
        CPUMonitor->UstawNazweWatku(TCPUMonitor::IdBiezacegoWatku(), nazwa);
}

std::chrono::milliseconds OdstepBajtowZeSrodowiska() {
    const char* wartosc = std::getenv(PetlaMagistraliSzeregowa::ZmiennaOdstepuBajtow);
    const long ms = wartosc ? std::strtol(wartosc, nullptr, 10) : 0;
    // Past ten seconds a sweep would stall, and a huge value would overflow
    // the deadline's clock arithmetic: such a value is ignored.
    constexpr long najdluzej = 10'000;
    return ms > 0 && ms <= najdluzej ? std::chrono::milliseconds(ms) : PetlaMagistraliSzeregowa::OdstepBajtow;
}

// What one poll brought back, before it is stored.
struct WynikWymiany {
    std::uint32_t status = StatusOk;
    bus::Reply odpowiedz;
};

} // namespace

PetlaMagistraliSzeregowa::PetlaMagistraliSzeregowa(Object_Magistrala& magistrala)
    : magistrala_(magistrala), odstepBajtow_(OdstepBajtowZeSrodowiska()) {}

PetlaMagistraliSzeregowa::~PetlaMagistraliSzeregowa() { Zamknij(false); }

bool PetlaMagistraliSzeregowa::OtworzPort() {
    // A port that refuses 8E1 at the bus's rate would only turn every board's
    // answer into line errors: it counts as not opened, and is tried again.
    bool otwarty = port_.open(magistrala_.Com) &&
                   port_.configure(static_cast<unsigned>(std::max(magistrala_.Predkosc, 1)), Parity::Even, StopBits::One);
    if (!otwarty) {
        magistrala_.OstatniBlad = static_cast<std::uint32_t>(port_.lastErrorCode());
        port_.close();
    }
    magistrala_.Aktywna = otwarty;
    magistrala_.Utracona = !otwarty;
    return otwarty;
}

bool PetlaMagistraliSzeregowa::Otworz(bool ponownie) {
    if (port_.isOpen() || magistrala_.Aktywna)
        Zamknij(ponownie);

    bool otwarty;
    {
        std::lock_guard blokada(blokadaPortu_);
        otwarty = OtworzPort();
    }
    if (ponownie)
        return otwarty;

    // A thread that ended after a close that kept it is gone: start anew.
    if (watek_.joinable() && !watekDziala_)
        watek_.join();
    if (!watek_.joinable()) {
        {
            std::lock_guard blokada(blokadaStopu_);
            stop_ = false;
        }
        nastepnaProba_ = Zegar::now() + OdstepPonowien;
        watekDziala_ = true;
        try {
            watek_ = std::thread(&PetlaMagistraliSzeregowa::Watek, this);
        } catch (const std::system_error&) {
            watekDziala_ = false;
            Zamknij(false);
            return false;
        }
    }
    return otwarty;
}

void PetlaMagistraliSzeregowa::Zamknij(bool zostawWatek) {
    magistrala_.Aktywna = false;
    if (!zostawWatek) {
        magistrala_.Utracona = false;
        {
            std::lock_guard blokada(blokadaStopu_);
            stop_ = true;
        }
        budzik_.notify_all();
        // The thread never waits for the main thread, so this join ends
        // within one poll (at most the reply deadline and a write's retries).
        if (watek_.joinable())
            watek_.join();
    }
    std::lock_guard blokada(blokadaPortu_);
    port_.close();
}

void PetlaMagistraliSzeregowa::Czekaj(Zegar::duration ile) {
    std::unique_lock blokada(blokadaStopu_);
    budzik_.wait_for(blokada, ile, [this] { return stop_.load(); });
}

void PetlaMagistraliSzeregowa::OznaczUtracona(bool odrazu) {
    {
        std::lock_guard blokada(blokadaPortu_);
        port_.close();
    }
    magistrala_.Aktywna = false;
    magistrala_.Utracona = true;
    // After a device error one try at once catches a line that only
    // hiccuped; after an exception, whatever threw gets a second first.
    nastepnaProba_ = odrazu ? Zegar::now() : Zegar::now() + OdstepPonowien;
}

void PetlaMagistraliSzeregowa::PonowPort() {
    const auto teraz = Zegar::now();
    if (teraz < nastepnaProba_) {
        Czekaj(nastepnaProba_ - teraz);
        return;
    }
    nastepnaProba_ = teraz + OdstepPonowien;
    std::lock_guard blokada(blokadaPortu_);
    OtworzPort();
}

void PetlaMagistraliSzeregowa::Watek() {
    NazwijWatek("Magistrala_Thread");
    int adres = 0;
    bool odpytano = false;
    std::uint32_t bledy = 0;
    zapytania_ = odpowiedzi_ = 0;
    long long sekunda = BiezacaSekunda();

    while (!stop_ && (magistrala_.Aktywna || magistrala_.Utracona)) {
        try {
            // Every 256 addresses (and while lost): often enough to count each
            // poll in its own second within a few milliseconds, rare enough
            // that a sweep over empty addresses costs next to nothing.
            const bool zegar = (adres & 0xFF) == 0 || magistrala_.Utracona;
            if (const long long teraz = zegar ? BiezacaSekunda() : sekunda; teraz != sekunda) {
                magistrala_.ZapytaniaNaSekunde = zapytania_;
                magistrala_.OdpowiedziNaSekunde = odpowiedzi_;
                zapytania_ = odpowiedzi_ = 0;
                sekunda = teraz;
            }
            if (magistrala_.Utracona) {
                PonowPort();
                continue;
            }
            Przebieg(adres, odpytano, bledy);
            if (++adres == LiczbaAdresowMagistrali) {
                adres = 0;
                magistrala_.BladWPrzebiegu = bledy > 0;
                bledy = 0;
                if (!odpytano)
                    Czekaj(PrzerwaPustegoPrzebiegu);
                odpytano = false;
            }
        } catch (const std::exception& wyjatek) {
            // Going on with a bus that looks active while its inputs freeze
            // would hide the fault: the bus is shown lost until the periodic
            // retry brings it back.
            ZapiszWyjatek(wyjatek, "Object_Magistrale", 91);
            OznaczUtracona(false);
        } catch (...) {
            ZapiszWyjatek("unknown exception in the bus poll thread", "Object_Magistrale", 91);
            OznaczUtracona(false);
        }
    }
    ZakonczWatek();
}

void PetlaMagistraliSzeregowa::ZakonczWatek() {
    NazwijWatek("");
    watekDziala_ = false;
}

void PetlaMagistraliSzeregowa::Przebieg(int adres, bool& odpytano, std::uint32_t& bledy) {
    const WpisKarty wpis = magistrala_.Wpis(adres);
    if (!wpis.Obecna)
        return;
    odpytano = true;
    ++zapytania_;

    std::optional<std::uint8_t> wyjscia;
    if (wpis.Rodzaj == bus::ioBoardKind && wpis.WyjsciaZadane != wpis.WyjsciaPotwierdzone)
        wyjscia = wpis.WyjsciaZadane;

    bool utracony = false;
    WynikWymiany wynik;
    {
        std::lock_guard blokada(blokadaPortu_);
        wynik.status = Wymiana(adres, wpis.Rodzaj, wyjscia, wynik.odpowiedz, utracony);
    }
    if (utracony)
        OznaczUtracona(true);

    if (wynik.status == StatusOk) {
        ++odpowiedzi_;
        magistrala_.OstatniaOdpowiedz = TerazMs();
    }

    std::uint32_t poprzedniStatus = 0;
    std::uint8_t poprzednieWejscia = 0, wejscia = 0;
    magistrala_.ZmienWpis(adres, [&](WpisKarty& w) {
        poprzedniStatus = w.Status;
        poprzednieWejscia = w.Wejscia;
        w.Status = wynik.status;
        if (wynik.status == StatusOk) {
            if (wynik.odpowiedz.inputs)
                w.Wejscia = *wynik.odpowiedz.inputs & bityDanych;
            if (const auto& odczyt = wynik.odpowiedz.reading) {
                std::memset(w.Kod, 0, sizeof w.Kod);
                std::memcpy(w.Kod, odczyt->code.data(), std::min(odczyt->code.size(), sizeof w.Kod - 1));
                w.Licznik = odczyt->counter;
                w.Przycisk = odczyt->button;
            }
            if (wyjscia)
                w.WyjsciaPotwierdzone = *wyjscia & bityDanych;
        }
        wejscia = w.Wejscia;
    });

    const bool zmianaStatusu = poprzedniStatus != wynik.status;
    if (zmianaStatusu || poprzednieWejscia != wejscia)
        PostujDoOkna(WM_WEJSCIA_WYJSCIA, 0, 0);
    if (zmianaStatusu) {
        if (wynik.status != StatusOk)
            ++bledy;
        PostujDoOkna(WM_STAN_KARTY, magistrala_.Com, adres);
    }
}

std::uint32_t PetlaMagistraliSzeregowa::Wymiana(int adres, std::uint8_t rodzaj, std::optional<std::uint8_t> wyjscia,
                                                bus::Reply& odpowiedz, bool& utracony) {
    if (!port_.isOpen())
        return StatusBladZapisu;
    auto blad = [&](Status s, std::uint32_t status) {
        if (s == Status::DeviceGone)
            utracony = true;
        magistrala_.OstatniBlad = static_cast<std::uint32_t>(port_.lastErrorCode());
        return status;
    };

    // Whatever is left of an earlier poll (a late answer, noise, the errors
    // counted meanwhile) must not be taken for this board's answer.
    if (const auto stare = port_.lineErrors(); stare.status == Status::DeviceGone)
        return blad(stare.status, StatusBladZapisu);
    if (const Status s = port_.flushInput(); s != Status::Ok)
        return blad(s, StatusBladZapisu);
    if (const Status s = port_.flushOutput(); s != Status::Ok)
        return blad(s, StatusBladZapisu);

    const bus::PollFrame ramka = bus::encodePollFrame(static_cast<std::uint16_t>(adres), magistrala_.Wersja, wyjscia);
    if (const auto zapis = port_.write(ramka.bytes()); !zapis.ok())
        return blad(zapis.status, StatusBladZapisu);
    // The board answers once the frame has left, so its reply window starts
    // there, not when the frame was handed to the driver.
    if (const Status s = port_.drain(); s != Status::Ok)
        return blad(s, StatusBladZapisu);

    std::array<std::uint8_t, bus::maxReplyLength> bufor{};
    const auto odczyt = port_.readReply(bufor, odstepBajtow_, odstepBajtow_, KoniecOdpowiedzi);
    if (odczyt.count > 0)
        magistrala_.OstatniBlad = 0;

    const auto bledyLinii = port_.lineErrors();
    if (bledyLinii.status == Status::DeviceGone)
        return blad(bledyLinii.status, StatusBladOdczytu);
    if (bledyLinii.any()) {
        const bool tylkoParzystosc = bledyLinii.framing == 0 && bledyLinii.overrun == 0 && bledyLinii.breaks == 0;
        return tylkoParzystosc ? StatusBladParzystosci : StatusBladNieznany;
    }

    switch (odczyt.status) {
    case Status::Ok: break;
    // Silence, also after part of a reply: the board stopped talking.
    case Status::Timeout: return StatusBrakOdpowiedzi;
    // A reply that fills the receive buffer without ending is no reply of a
    // board: noise or a babbling device, an "other line error".
    case Status::Overflow: return StatusBladNieznany;
    case Status::DeviceGone:
    case Status::Failed: return blad(odczyt.status, StatusBladOdczytu);
    }

    odpowiedz = bus::decodeReply(rodzaj, std::span<const std::uint8_t>(bufor.data(), odczyt.count));
    switch (odpowiedz.fault) {
    case bus::ReplyFault::None: return StatusOk;
    case bus::ReplyFault::BadCheck: return StatusBladSumy;
    // A lone check byte, two replies run together, a reply without its end:
    // bytes that are no answer, so nothing is stored and the outputs are not
    // acknowledged.
    default: return StatusBladNieznany;
    }
}

std::unique_ptr<PetlaMagistrali> UtworzPetleMagistrali(Object_Magistrala& magistrala) {
    return std::make_unique<PetlaMagistraliSzeregowa>(magistrala);
}
