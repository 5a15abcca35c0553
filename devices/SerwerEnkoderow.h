#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/net/TcpServer.h"

class MigawkaEnkoderow;

// The encoders' packets: a 32-bit little-endian total length (itself
// included), a 32-bit type, the payload. Every packet of a known type is
// answered with 12 bytes: length 12, the type + 1 and a result code.
constexpr std::uint16_t DomyslnyPortEnkoderow = 5400;
constexpr std::int32_t TypPolaczenia = 1;       // incoming call: token, PIN
constexpr std::int32_t TypPodtrzymania = 10;    // keep-alive
constexpr std::int32_t TypOdebrania = 20;       // call answered: PIN
constexpr std::int32_t TypPrzekroczeniaCzasu = 30; // call timed out: PIN
constexpr std::int32_t TypZakonczenia = 40;     // call ended: PIN
constexpr std::int32_t TypTokenu = 50;          // token update: token
constexpr std::int32_t KodPrzyjety = 0;
constexpr std::int32_t KodNieZnaleziono = 11001; // encoder, controller or flat not found
constexpr std::int32_t KodZlaDlugosc = 11002;    // wrong length for the type
// No packet is shorter than its header; the longest is 74 bytes, and a
// length far beyond that is a fault or an attack, never a packet.
constexpr std::int32_t MinDlugoscPakietu = 8;
constexpr std::int32_t MaxDlugoscPakietu = 4096;

using OdpowiedzEnkodera = std::array<std::uint8_t, 12>;

std::int32_t CzytajInt32(std::span<const std::uint8_t> bajty, std::size_t pozycja);
// The whole length of the packet whose first four bytes these are; nothing
// for fewer bytes or a length outside [MinDlugoscPakietu, MaxDlugoscPakietu],
// after which nothing on the connection can be framed again.
std::optional<std::size_t> DlugoscPakietuEnkodera(std::span<const std::uint8_t> naglowek);
// The zero-filled reply with its header and code.
OdpowiedzEnkodera NowyPakiet(std::int32_t typPakietu, std::int32_t kod);

// Handles one whole packet (length field included) from the encoder at
// ipv4: records its activity and token, hands call events of flats with
// residents to the cloud, and returns the reply, or nothing for an unknown
// type. Blocks for the cloud call. Any thread.
std::optional<OdpowiedzEnkodera> ObsluzPakietEnkodera(std::uint32_t ipv4, std::span<const std::uint8_t> pakiet,
                                                      const MigawkaEnkoderow& migawka);

// The encoders' TCP server: a thread per connection, reading packet after
// packet and answering each. It reads the model only through the snapshot
// the main thread publishes (MigawkaEnkoderow).
class SerwerEnkoderow {
public:
    struct Opcje {
        std::string adres = "0.0.0.0";
        std::uint16_t port = DomyslnyPortEnkoderow;
        std::size_t maksPolaczen = 256;
        // Far above the encoders' keep-alive interval (an encoder counts as
        // active for 120 s after a packet): one silent this long is gone.
        std::chrono::milliseconds czasBezczynnosci = std::chrono::minutes(10);
    };

    SerwerEnkoderow() = default;
    ~SerwerEnkoderow() { Zatrzymaj(); }
    SerwerEnkoderow(const SerwerEnkoderow&) = delete;
    SerwerEnkoderow& operator=(const SerwerEnkoderow&) = delete;

    // Main thread. Nothing while no encoder exists; otherwise publishes the
    // snapshot and starts listening (nothing more when it listens already).
    // False when it does not listen afterwards; the failure is logged.
    bool UruchomSerwerEnkoderow(const Opcje& opcje);
    bool UruchomSerwerEnkoderow() { return UruchomSerwerEnkoderow(Opcje{}); }
    void Zatrzymaj() { IdTCPServer.stop(); }

    platform::net::TcpServer IdTCPServer;

    // One connection, from its first byte to its end.
    static void IdTCPServerExecute(platform::net::Connection& polaczenie);
    static bool WyslijOdpowiedzEnkodera(platform::net::Connection& polaczenie, const OdpowiedzEnkodera& odpowiedz);
};
