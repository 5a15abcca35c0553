#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/Uslugi.h"
#include "tests/support/ModelSupport.h"

// The encoders' side of an estate, on the global containers: encoder 1
// "Furtka" at 127.0.0.1 beside controller 5 (ports out 5000/5001
// forwarded, in 443/4443 forwarded), the address "00950" "Warszawa"
// "Długa" "7", flat "12" (PIN 1234) with three residents whose e-mails are
// "b@x.pl", "a@x.pl" and "b@x.pl", a fourth without one, and flat "13" (PIN
// 2222) with nobody. The health thread is paused; the snapshot is
// published.
class EncoderModel {
public:
    static constexpr std::uint32_t Localhost = 0x7f000001;
    static constexpr int IdCentrali = 5;
    static constexpr std::uint16_t PinZMieszkancami = 1234;
    static constexpr std::uint16_t PinBezMieszkancow = 2222;

    EncoderModel();
    // Empties and fills the containers again as a load does, and publishes.
    void reload();

private:
    static void fill();
    struct Registered {
        Registered();
    } registered_;
    GlobalModel model_;
};

// The cloud's call notifications as the device layer makes them, recorded
// while it lives.
class RecordingCloud : public ChmuraUrzadzen {
public:
    struct Call {
        std::string action, encoderKey;
        int port1 = 0, port2 = 0;
        std::vector<std::string> emails;
        std::string postalCode, locality, street;
        int idUserDevice = -1;
    };

    RecordingCloud() { UstawChmure(this); }
    ~RecordingCloud() override { UstawChmure(nullptr); }
    bool OutCallAction(const std::string& action, const std::string& encoderKey, int port1, int port2,
                       const std::vector<std::string>& emaile, const std::string& postalCode,
                       const std::string& locality, const std::string& street, int idUserDevice) override;
    std::vector<Call> calls() const;

private:
    mutable std::mutex lock_;
    std::vector<Call> calls_;
};
