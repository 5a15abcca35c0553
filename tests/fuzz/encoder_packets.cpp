// The encoders' packets on their TCP connection: framing by the length
// field (DlugoscPakietuEnkodera, as the connection thread frames them) and
// each whole packet's handling (ObsluzPakietEnkodera) against a snapshot
// with one encoder and two flats of its controller; then the health-check
// address built from the token the packets left. Input: a byte whose low
// bit chooses the sender (0: the known encoder), then the connection's bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "devices/MigawkaEnkoderow.h"
#include "devices/Object_Enkoder.h"
#include "devices/SerwerEnkoderow.h"
#include "devices/THttpRequest.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

constexpr std::uint32_t known = 0x7F000001;   // 127.0.0.1
constexpr std::uint32_t unknown = 0x7F000002; // 127.0.0.2

MigawkaEnkoderow Migawka() {
    MigawkaEnkoderow m;
    EnkoderMigawki e;
    e.IPv4 = known;
    e.PortIn = 5401;
    e.PortOutForwarded = 6400;
    e.PortInForwarded = 6401;
    e.IdCentralaZarvoGsm = 7;
    e.Stan = std::make_shared<StanEnkodera>();
    m.Enkodery.push_back(e);
    m.Lokale.push_back({7, 1234, "00-001", "Warszawa", "Prosta 1 m. 2", {"a@example.com", ""}});
    m.Lokale.push_back({7, 2222, "", "", "", {}});
    return m;
}

bool UrlSafe(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '%';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    static const MigawkaEnkoderow migawka = Migawka();
    const std::uint32_t sender = (data[0] & 1) ? unknown : known;
    std::span<const std::uint8_t> stream(data + 1, size - 1);
    // Each input starts from an encoder without a token.
    migawka.Enkodery[0].Stan->UstawToken({});

    while (stream.size() >= 4) {
        const auto length = DlugoscPakietuEnkodera(stream.first(4));
        if (!length) {
            fuzz::check(CzytajInt32(stream, 0) < MinDlugoscPakietu || CzytajInt32(stream, 0) > MaxDlugoscPakietu);
            break; // the connection is closed
        }
        fuzz::check(*length >= static_cast<std::size_t>(MinDlugoscPakietu) &&
                    *length <= static_cast<std::size_t>(MaxDlugoscPakietu));
        if (stream.size() < *length)
            break; // the rest never comes: the idle time-out ends the connection
        const auto packet = stream.first(*length);
        stream = stream.subspan(*length);
        const auto reply = ObsluzPakietEnkodera(sender, packet, migawka);
        if (reply) {
            fuzz::check(CzytajInt32(*reply, 0) == 12);
            fuzz::check(CzytajInt32(*reply, 4) == CzytajInt32(packet, 4) + 1);
        }
    }

    // The token goes into the health check's address percent-encoded.
    const std::string address = AdresSprawdzenia(known, 5401, migawka.Enkodery[0].Stan->PobierzToken());
    const std::string query = "/api/healthcheck?token=";
    const auto at = address.find(query);
    fuzz::check(at != std::string::npos);
    for (std::size_t i = at + query.size(); i < address.size(); ++i)
        fuzz::check(UrlSafe(address[i]));
    return 0;
}
