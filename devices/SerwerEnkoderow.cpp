#include "devices/SerwerEnkoderow.h"

#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "core/Uslugi.h"
#include "core/ZapiszWyjatek.h"
#include "devices/MigawkaEnkoderow.h"
#include "devices/Object_Enkoder.h"

namespace {

std::uint16_t CzytajUInt16(std::span<const std::uint8_t> bajty, std::size_t pozycja) {
    return static_cast<std::uint16_t>(bajty[pozycja] | (bajty[pozycja + 1] << 8));
}

void ZapiszInt32(OdpowiedzEnkodera& pakiet, std::size_t pozycja, std::int32_t wartosc) {
    const auto u = static_cast<std::uint32_t>(wartosc);
    for (int i = 0; i < 4; ++i)
        pakiet[pozycja + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

TokenEnkodera TokenZPakietu(std::span<const std::uint8_t> pakiet) {
    TokenEnkodera token{};
    std::memcpy(token.data(), pakiet.data() + 8, token.size());
    return token;
}

const char* AkcjaTypu(std::int32_t typ) {
    switch (typ) {
    case TypPolaczenia:
        return "incoming_call";
    case TypOdebrania:
        return "call_answered";
    case TypPrzekroczeniaCzasu:
        return "timeout";
    default:
        return "call_end";
    }
}

// A call event of the flat with the PIN behind the encoder's controller:
// 0 when the flat is found (whether or not anyone is told), 11001 when the
// encoder, its controller or the flat is missing.
std::int32_t ZdarzenieRozmowy(const EnkoderMigawki* enkoder, std::int32_t typ, std::uint16_t pin,
                              const std::string& klucz, const MigawkaEnkoderow& migawka) {
    if (!enkoder || enkoder->IdCentralaZarvoGsm == 0)
        return KodNieZnaleziono;
    const LokalMigawki* lokal = migawka.ZnajdzPin(enkoder->IdCentralaZarvoGsm, pin);
    if (!lokal)
        return KodNieZnaleziono;
    ChmuraUrzadzen* chmura = Chmura();
    // The cloud's own failures are its to log; the encoder's reply stays.
    if (!lokal->Emaile.empty() && chmura)
        chmura->OutCallAction(AkcjaTypu(typ), klucz, enkoder->PortOutForwarded, enkoder->PortInForwarded,
                              lokal->Emaile, lokal->KodPocztowy, lokal->Miejscowosc, lokal->Ulica, 0);
    return KodPrzyjety;
}

} // namespace

std::int32_t CzytajInt32(std::span<const std::uint8_t> bajty, std::size_t pozycja) {
    std::uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | bajty[pozycja + i];
    return static_cast<std::int32_t>(u);
}

std::optional<std::size_t> DlugoscPakietuEnkodera(std::span<const std::uint8_t> naglowek) {
    if (naglowek.size() < 4)
        return std::nullopt;
    const std::int32_t dlugosc = CzytajInt32(naglowek, 0);
    if (dlugosc < MinDlugoscPakietu || dlugosc > MaxDlugoscPakietu)
        return std::nullopt;
    return static_cast<std::size_t>(dlugosc);
}

OdpowiedzEnkodera NowyPakiet(std::int32_t typPakietu, std::int32_t kod) {
    OdpowiedzEnkodera pakiet{};
    ZapiszInt32(pakiet, 0, static_cast<std::int32_t>(pakiet.size()));
    ZapiszInt32(pakiet, 4, typPakietu + 1);
    ZapiszInt32(pakiet, 8, kod);
    return pakiet;
}

std::optional<OdpowiedzEnkodera> ObsluzPakietEnkodera(std::uint32_t ipv4, std::span<const std::uint8_t> pakiet,
                                                      const MigawkaEnkoderow& migawka) {
    if (pakiet.size() < static_cast<std::size_t>(MinDlugoscPakietu))
        return std::nullopt;
    const std::int32_t typ = CzytajInt32(pakiet, 4);
    const std::size_t dlugosc = pakiet.size();
    const EnkoderMigawki* enkoder = migawka.ZnajdzIPv4(ipv4);
    switch (typ) {
    case TypPolaczenia: {
        if (dlugosc != 74)
            return NowyPakiet(typ, KodZlaDlugosc);
        const TokenEnkodera token = TokenZPakietu(pakiet);
        if (enkoder) {
            enkoder->Stan->ZapiszAktywnosc(typ);
            enkoder->Stan->UstawToken(token);
        }
        return NowyPakiet(typ, ZdarzenieRozmowy(enkoder, typ, CzytajUInt16(pakiet, 72), TekstTokenu(token), migawka));
    }
    case TypOdebrania:
    case TypPrzekroczeniaCzasu:
    case TypZakonczenia:
        if (dlugosc != 10)
            return NowyPakiet(typ, KodZlaDlugosc);
        if (enkoder)
            enkoder->Stan->ZapiszAktywnosc(typ);
        return NowyPakiet(typ, ZdarzenieRozmowy(enkoder, typ, CzytajUInt16(pakiet, 8), "0", migawka));
    case TypPodtrzymania:
        if (dlugosc != 10)
            return NowyPakiet(typ, KodZlaDlugosc);
        if (enkoder)
            enkoder->Stan->ZapiszAktywnosc(typ);
        // Encoders in the field expect 11001 to a keep-alive, known or not.
        return NowyPakiet(typ, KodNieZnaleziono);
    case TypTokenu:
        if (dlugosc != 72)
            return NowyPakiet(typ, KodZlaDlugosc);
        if (enkoder) {
            enkoder->Stan->ZapiszAktywnosc(typ);
            enkoder->Stan->UstawToken(TokenZPakietu(pakiet));
        }
        // Accepted even from an encoder nobody configured: it only asks to
        // be heard, and the encoders expect 0 here.
        return NowyPakiet(typ, KodPrzyjety);
    default:
        return std::nullopt;
    }
}

bool SerwerEnkoderow::UruchomSerwerEnkoderow(const Opcje& opcje) {
    if (!Enkodery || static_cast<const Objects*>(Enkodery)->Ilosc() == 0)
        return false;
    OpublikujMigawkeEnkoderow();
    if (IdTCPServer.isRunning())
        return true;
    platform::net::TcpServer::Options o;
    o.bindAddress = opcje.adres;
    o.port = opcje.port;
    o.maxConnections = opcje.maksPolaczen;
    o.idleTimeout = opcje.czasBezczynnosci;
    if (IdTCPServer.start(o, &SerwerEnkoderow::IdTCPServerExecute))
        return true;
    ZapiszWyjatek(IdTCPServer.error(), "UnitDM", 715);
    return false;
}

bool SerwerEnkoderow::WyslijOdpowiedzEnkodera(platform::net::Connection& polaczenie,
                                              const OdpowiedzEnkodera& odpowiedz) {
    return polaczenie.write(odpowiedz);
}

void SerwerEnkoderow::IdTCPServerExecute(platform::net::Connection& polaczenie) {
    if (CPUMonitor)
        CPUMonitor->UstawNazweWatku(TCPUMonitor::IdBiezacegoWatku(), "IdTCPServerExecute");
    std::vector<std::uint8_t> pakiet;
    pakiet.reserve(MaxDlugoscPakietu);
    while (polaczenie.isOpen()) {
        // Blocking reads with the server's idle time-out: a packet is taken
        // only once all of it has come, however it was split.
        platform::net::ReadResult naglowek = polaczenie.read(4);
        if (!naglowek.ok())
            break;
        const std::optional<std::size_t> dlugosc = DlugoscPakietuEnkodera(naglowek.bytes);
        if (!dlugosc) {
            // Nothing after a false length can be framed again.
            polaczenie.close();
            break;
        }
        platform::net::ReadResult reszta = polaczenie.read(*dlugosc - 4);
        if (!reszta.ok())
            break;
        pakiet.assign(naglowek.bytes.begin(), naglowek.bytes.end());
        pakiet.insert(pakiet.end(), reszta.bytes.begin(), reszta.bytes.end());
        try {
            const auto odpowiedz = ObsluzPakietEnkodera(polaczenie.peerIPv4(), pakiet, *MigawkaEnkoderowTeraz());
            if (odpowiedz && !WyslijOdpowiedzEnkodera(polaczenie, *odpowiedz))
                break;
        } catch (const std::exception& e) {
            ZapiszWyjatek(e, "UnitDM", __LINE__);
        }
    }
    // The name would outlive the thread: encoders reconnect for years.
    if (CPUMonitor)
        CPUMonitor->UstawNazweWatku(TCPUMonitor::IdBiezacegoWatku(), "");
}
