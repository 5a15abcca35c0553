#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "devices/Object_Com.h"
#include "devices/RamkaCentrali.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/SettableClock.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using centrala::Frame;
using platform::serial::IoResult;
using platform::serial::LineErrors;
using platform::serial::Status;

// The far side of a scripted line: what has arrived in the driver, the line
// errors of the next query, and what the port wrote.
struct LineScript {
    Bytes pending;
    LineErrors errors;
    Bytes written;
    bool opens = true;
    int openCalls = 0;
    bool open = false;
    Status writeStatus = Status::Ok;
};

class ScriptedLine final : public ControllerLine {
public:
    explicit ScriptedLine(std::shared_ptr<LineScript> script) : s_(std::move(script)) {}
    bool open(int) override {
        ++s_->openCalls;
        s_->open = s_->opens;
        return s_->open;
    }
    void close() override { s_->open = false; }
    bool isOpen() const override { return s_->open; }
    LineErrors lineErrors() override { return std::exchange(s_->errors, LineErrors{}); }
    IoResult readAvailable(std::span<std::uint8_t> buffer) override {
        const std::size_t n = std::min(buffer.size(), s_->pending.size());
        std::copy_n(s_->pending.begin(), n, buffer.begin());
        s_->pending.erase(s_->pending.begin(), s_->pending.begin() + static_cast<std::ptrdiff_t>(n));
        return {Status::Ok, n};
    }
    IoResult write(std::span<const std::uint8_t> bytes) override {
        if (s_->writeStatus != Status::Ok) {
            if (s_->writeStatus == Status::DeviceGone)
                s_->open = false;
            return {s_->writeStatus, 0};
        }
        s_->written.insert(s_->written.end(), bytes.begin(), bytes.end());
        return {Status::Ok, bytes.size()};
    }
    Status flushInput() override {
        s_->pending.clear();
        return Status::Ok;
    }
    int lastErrorCode() const override { return s_->writeStatus == Status::Ok ? 0 : 5; }

private:
    std::shared_ptr<LineScript> s_;
};

constexpr std::uint16_t ownAddress = 0x0102;
constexpr std::uint16_t ownSerial = 0x5000;

Bytes frameBytes(std::uint8_t code, std::uint16_t address, centrala::Sync sync = centrala::Sync::CC) {
    const Frame f = centrala::encodeFrame({code, 0x0001, 0x0203, {4, 5, 6, 7}, address}, sync);
    return Bytes(f.begin(), f.end());
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t to) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

struct ScriptedPort {
    SettableClock clock;
    std::shared_ptr<LineScript> line = std::make_shared<LineScript>();
    Object_Com port{3, std::make_unique<ScriptedLine>(line)};

    ScriptedPort() { EXPECT_TRUE(port.Otworz()); }

    // One tick as the controllers run it, with a single controller on the
    // port: what it was handed, if anything.
    std::optional<Bytes> tick(double seconds = 0.010) {
        clock.advance(seconds);
        port.Krok();
        std::optional<Bytes> got;
        Frame frame{};
        if (port.RamkaDla(false, ownAddress, ownSerial, &frame))
            got = Bytes(frame.begin(), frame.end());
        port.UsunRamke();
        return got;
    }
};

TEST(ObjectCom, DeliversEachFrameOnceWhateverCameAroundIt) {
    const Bytes f1 = frameBytes(1, ownAddress);
    const Bytes f2 = frameBytes(2, ownAddress);
    const Bytes other = frameBytes(1, 0x0999);
    Bytes broken = f1;
    broken[15] ^= 0x01;
    const Bytes stray{0x01, 0x33, 0xCC};

    struct Tick {
        Bytes arrives;
        std::optional<Bytes> delivered;
        double gap = 0.010;
        bool lineError = false;
    };
    struct Case {
        std::string_view name;
        std::vector<Tick> ticks;
    };
    const Case cases[] = {
        {"stray bytes before a frame", {{cat({stray, f1}), f1}}},
        {"stray bytes, then a frame across two ticks",
         {{cat({stray, slice(f1, 0, 23)}), std::nullopt}, {slice(f1, 23, 26), f1}}},
        {"a fifth sync byte", {{cat({{0xCC}, f1}), f1}}},
        {"DD sync form", {{frameBytes(4, ownAddress, centrala::Sync::DD), frameBytes(4, ownAddress, centrala::Sync::DD)}}},
        {"a broken pair is never delivered", {{broken, std::nullopt}, {{}, std::nullopt}, {f2, f2}}},
        {"a broken pair does not hide the frame behind it", {{cat({broken, f2}), f2}}},
        {"two frames sent one per tick", {{f1, f1}, {f2, f2}}},
        {"two frames in one read: one per tick", {{cat({f1, f2}), f1}, {{}, f2}, {{}, std::nullopt}}},
        {"whole frames outlast a stalled tick", {{cat({f1, f2}), f1}, {{}, f2, 0.200}}},
        {"an unclaimed frame goes at the end of its tick", {{cat({other, f1}), std::nullopt}, {{}, f1}}},
        {"a partial frame after 120 ms of silence is dropped",
         {{slice(f1, 0, 10), std::nullopt}, {{}, std::nullopt, 0.130}, {slice(f1, 10, 26), std::nullopt}}},
        {"a partial frame is kept through shorter silence",
         {{slice(f1, 0, 10), std::nullopt}, {{}, std::nullopt, 0.100}, {slice(f1, 10, 26), f1}}},
        {"a line error keeps the whole frames already buffered",
         {{cat({f1, f2, slice(f1, 0, 14)}), f1}, {slice(f1, 14, 26), f2, 0.010, true}, {{}, std::nullopt}}},
        {"a line error drops the frame being received",
         {{slice(f1, 0, 20), std::nullopt}, {slice(f1, 20, 26), std::nullopt, 0.010, true}, {f2, f2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort p;
        for (std::size_t i = 0; i < c.ticks.size(); ++i) {
            SCOPED_TRACE(i);
            const Tick& t = c.ticks[i];
            p.line->pending.insert(p.line->pending.end(), t.arrives.begin(), t.arrives.end());
            if (t.lineError)
                p.line->errors.framing = 1;
            EXPECT_EQ(p.tick(t.gap), t.delivered);
        }
    }
}

TEST(ObjectCom, AddressIsTheFramesOwnEvenWithStrayBytesBefore) {
    // With three stray bytes, buffer bytes 22 and 24 are the complements of
    // D2 and D3: reading them before synchronising named someone else.
    ScriptedPort p;
    const Bytes f = frameBytes(1, 0x0A0B);
    p.line->pending = cat({{0x11, 0x22, 0x33}, f});
    p.clock.advance(0.010);
    ASSERT_TRUE(p.port.Krok());
    EXPECT_EQ(p.port.AdresRamki(), 0x0A0B);
    EXPECT_TRUE(p.port.RamkaDla(false, 0x0A0B, 0, nullptr));
}

TEST(ObjectCom, RoutesByAddressOrSerialByCode) {
    struct Case {
        std::string_view name;
        std::uint8_t code;
        std::uint16_t sender;
        bool bySerial;
        bool delivered;
    };
    const Case cases[] = {
        {"an event from its address", 1, ownAddress, false, true},
        {"an event from its serial", 1, ownSerial, false, false},
        {"a scan answer from its serial", 9, ownSerial, false, true},
        {"a memory answer from its serial", 11, ownSerial, false, true},
        {"code 25 from its serial", 25, ownSerial, false, true},
        {"code 24 from its serial", 24, ownSerial, false, false},
        {"someone else's frame", 9, 0x0777, false, false},
        {"talks by serial: its serial", 1, ownSerial, true, true},
        {"talks by serial: its address", 9, ownAddress, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPort p;
        p.line->pending = frameBytes(c.code, c.sender);
        ASSERT_TRUE(p.port.Krok());
        EXPECT_EQ(p.port.RamkaDla(c.bySerial, ownAddress, ownSerial, nullptr), c.delivered);
    }
}

TEST(ObjectCom, TwoControllersOnOnePortEachGetTheirOwn) {
    ScriptedPort p;
    const Bytes forSecond = frameBytes(1, 0x0002);
    p.line->pending = forSecond;
    ASSERT_TRUE(p.port.Krok());
    Frame got{};
    EXPECT_FALSE(p.port.RamkaDla(false, 0x0001, 0x9001, &got));
    EXPECT_TRUE(p.port.RamkaDla(false, 0x0002, 0x9002, &got));
    EXPECT_EQ(Bytes(got.begin(), got.end()), forSecond);
    p.port.UsunRamke();
    EXPECT_EQ(p.port.Zbuforowane(), 0u);
}

TEST(ObjectCom, BabblingLineNeitherGrowsTheBufferNorHidesTheNextFrame) {
    ScriptedPort p;
    const Bytes f1 = frameBytes(1, ownAddress);
    // Endless sync bytes are the worst noise: every position starts a run.
    p.line->pending = cat({Bytes(3 * Object_Com::PojemnoscBufora, 0xCC), f1});
    std::optional<Bytes> got;
    for (int i = 0; i < 10 && !got; ++i) {
        got = p.tick();
        EXPECT_LE(p.port.Zbuforowane(), Object_Com::PojemnoscBufora);
    }
    EXPECT_EQ(got, f1);
}

TEST(ObjectCom, SendsWholeFramesAndSpacesThem) {
    ScriptedPort p;
    EXPECT_TRUE(p.port.Wolny()) << "a new port counts as free";
    const Bytes f = frameBytes(9, 0x0001);
    EXPECT_TRUE(p.port.Wyslij(f));
    EXPECT_EQ(p.line->written, f);
    EXPECT_FALSE(p.port.Wolny());
    p.clock.advance(0.100);
    EXPECT_FALSE(p.port.Wolny());
    p.clock.advance(0.030);
    EXPECT_TRUE(p.port.Wolny());

    EXPECT_TRUE(p.port.Wyslij(f));
    p.line->pending = frameBytes(9, ownAddress);
    p.port.Krok();
    EXPECT_TRUE(p.port.Wolny()) << "an answer frees the line at once";

    EXPECT_FALSE(p.port.Wyslij(Bytes(Object_Com::PojemnoscWysylki + 1, 0)));
}

TEST(ObjectCom, FailedPortCalls) {
    {
        SCOPED_TRACE("a port that does not open");
        ScriptedPort p;
        p.line->opens = false;
        EXPECT_FALSE(p.port.Otworz());
        EXPECT_FALSE(p.port.Otwarty());
        EXPECT_FALSE(p.port.PortOtwarty());
    }
    {
        SCOPED_TRACE("a refused write is recorded, not retried");
        ScriptedPort p;
        p.line->writeStatus = Status::Failed;
        EXPECT_FALSE(p.port.Wyslij(frameBytes(9, 1)));
        EXPECT_NE(p.port.OstatniBlad(), 0u);
        EXPECT_EQ(p.line->openCalls, 1);
    }
    {
        SCOPED_TRACE("a lost device is reopened at once");
        ScriptedPort p;
        p.line->writeStatus = Status::DeviceGone;
        EXPECT_FALSE(p.port.Wyslij(frameBytes(9, 1)));
        EXPECT_EQ(p.line->openCalls, 2);
        EXPECT_TRUE(p.port.PortOtwarty());
    }
}

TEST(ObjectCom, PortsAreMadeByComNumber) {
    Objects_Coms ports;
    Object_Com* port = ports.Dodaj(4);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->Id(), 4);
    EXPECT_EQ(port->Com(), 4);
    EXPECT_EQ(ports.Znajdz(4), port);
}

TEST(ObjectCom, RoundTripOverAPseudoTerminal) {
    PtyPeer peer{7};
    Object_Com port{7};
    ASSERT_TRUE(port.Otworz());
    EXPECT_EQ(peer.lineSettings().baud, 19200u);

    const Bytes answer = frameBytes(9, ownAddress);
    ASSERT_TRUE(peer.write(cat({{0x00, 0x55}, answer})));
    Frame got{};
    bool delivered = false;
    // The tick does not wait for bytes: poll as it would until they are in.
    for (int i = 0; i < 2000 && !delivered; ++i) {
        if (port.Krok())
            delivered = port.RamkaDla(false, ownAddress, ownSerial, &got);
        port.UsunRamke();
        if (!delivered)
            std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(delivered);
    EXPECT_EQ(Bytes(got.begin(), got.end()), answer);

    // Back to back, as a programming loop sends: both arrive whole and in order.
    const Bytes first = frameBytes(9, 0x0001, centrala::Sync::CC);
    const Bytes second = frameBytes(25, 0x0001, centrala::Sync::DD);
    ASSERT_TRUE(port.Wyslij(first));
    ASSERT_TRUE(port.Wyslij(second));
    EXPECT_EQ(peer.read(52, 5s), cat({first, second}));
}

} // namespace
