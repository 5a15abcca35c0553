// A controller port's receive state machine (Object_Com::Krok and the
// frames it hands out) with a controller on it taking its frames
// (Object_Zarvo_Centrala::Krok), tick after tick, as the desk's tick runs
// them. Input: a control byte for the cutting into reads (see Reads; its
// top bit also lets the generator raise line errors), the controller's
// address (two bytes, big-endian; also its serial number), a flags byte (bit
// 0: the controller talks by serial number), then the bytes the line brings.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/Czas.h"
#include "devices/Object_Com.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/RamkaCentrali.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using platform::serial::IoResult;
using platform::serial::LineErrors;
using platform::serial::Status;

std::uint64_t now = 133'000'000'000'000'000ull;
std::uint64_t clock() { return now; }

// The far side of the line: what has arrived in the driver, and the line
// errors of the next query. Whatever the port writes is taken.
struct Line {
    std::vector<std::uint8_t> pending;
    bool error = false;
};

class FuzzLine final : public ControllerLine {
public:
    explicit FuzzLine(Line& line) : line_(line) {}
    bool open(int) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    LineErrors lineErrors() override {
        LineErrors errors;
        errors.parity = line_.error;
        line_.error = false;
        return errors;
    }
    IoResult readAvailable(std::span<std::uint8_t> buffer) override {
        const std::size_t n = std::min(buffer.size(), line_.pending.size());
        std::copy_n(line_.pending.begin(), n, buffer.begin());
        line_.pending.erase(line_.pending.begin(), line_.pending.begin() + static_cast<std::ptrdiff_t>(n));
        return {Status::Ok, n};
    }
    IoResult write(std::span<const std::uint8_t> bytes) override { return {Status::Ok, bytes.size()}; }
    Status flushInput() override {
        line_.pending.clear();
        return Status::Ok;
    }
    int lastErrorCode() const override { return 0; }

private:
    Line& line_;
    bool open_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    Czas::UstawZrodlo(&clock);
    Czas::Migawka();

    Line line;
    Object_Com port(3, std::make_unique<FuzzLine>(line));
    fuzz::check(port.Otworz());
    Object_Zarvo_Centrala controller(1);
    const int address = data[1] << 8 | data[2];
    controller.Adres = address;
    controller.NumerSeryjny = address;
    controller.ProtokolNrSeryjny = (data[3] & 1) != 0;
    controller.Port = &port;

    fuzz::Reads reads(data[0], std::span(data + 4, size - 4));
    // A few more ticks after the last read, so frames left in the buffer
    // are handed out and a partial one times out.
    for (int quiet = 0; quiet < 4;) {
        if (reads.done()) {
            ++quiet;
        } else {
            const auto read = reads.next();
            line.pending.insert(line.pending.end(), read.begin(), read.end());
        }
        const std::uint32_t choice = reads.number();
        // Mostly 10 ms ticks; now and then a stall past the port's silence.
        now += (choice % 8 == 0 ? 130 : 10) * 10'000ull;
        if ((reads.control() & 0x80) && choice % 16 == 1)
            line.error = true;
        Czas::Migawka();

        if (port.Krok()) {
            // A frame handed out is a whole, checked frame from its sender.
            centrala::Frame frame{};
            fuzz::check(port.RamkaDla(false, port.AdresRamki(), port.AdresRamki(), &frame));
            const auto decoded = centrala::decodeFrame(frame);
            fuzz::check(decoded.has_value() && decoded->values.address == port.AdresRamki());
        }
        fuzz::check(port.Zbuforowane() <= Object_Com::PojemnoscBufora);
        controller.Krok();
        port.UsunRamke();
    }
    controller.Port = nullptr;
    Czas::UstawZrodlo(nullptr);
    return 0;
}
