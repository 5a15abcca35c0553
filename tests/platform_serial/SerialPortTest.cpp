#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial/SerialPort.h"
#include "tests/support/PtyPeer.h"

namespace platform::serial {
inline void PrintTo(Status status, std::ostream* out)
{
    *out << toString(status);
}
} // namespace platform::serial

using namespace platform::serial;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

Bytes allByteValues()
{
    Bytes bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

Bytes pattern(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

// The bus boards' replies end with the only byte below 0x40.
bool belowHex40(std::uint8_t byte)
{
    return byte < 0x40;
}

// Opens the peer's COM number at the controllers' 19200 8N1.
void openOn(SerialPort& port, const PtyPeer& peer)
{
    ASSERT_TRUE(port.open(peer.com())) << port.lastError();
    ASSERT_TRUE(port.configure(19200, Parity::None, StopBits::One)) << port.lastError();
}

Bytes readSome(SerialPort& port, std::size_t size, SerialPort::Duration timeout)
{
    Bytes bytes(size);
    const IoResult got = port.readReply(bytes, timeout, 200ms);
    bytes.resize(got.count);
    return bytes;
}

// Restores KANDOR_COM_DIR as it was when the test began.
class ComDirGuard {
public:
    ComDirGuard()
    {
        if (const char* value = std::getenv("KANDOR_COM_DIR"))
            saved_ = value;
    }
    ~ComDirGuard()
    {
        if (saved_)
            ::setenv("KANDOR_COM_DIR", saved_->c_str(), 1);
        else
            ::unsetenv("KANDOR_COM_DIR");
    }

private:
    std::optional<std::string> saved_;
};

} // namespace

TEST(SerialPortTest, CarriesEveryByteValueBothWaysAtEachLineSetting)
{
    struct Case {
        const char* name;
        unsigned baud;
        Parity parity;
        StopBits stopBits;
    };
    const Case cases[] = {
        {"I/O bus, 19200 8E1", 19200, Parity::Even, StopBits::One},
        {"GSM modem, 115200 8N1", 115200, Parity::None, StopBits::One},
        {"a rate without a code of its own, 250000 8N1", 250000, Parity::None, StopBits::One},
        {"odd parity and two stop bits, 9600 8O2", 9600, Parity::Odd, StopBits::Two},
    };
    const Bytes all = allByteValues();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PtyPeer peer(4);
        SerialPort port;
        ASSERT_TRUE(port.open(peer.com())) << port.lastError();
        ASSERT_TRUE(port.configure(c.baud, c.parity, c.stopBits)) << port.lastError();
        EXPECT_EQ(peer.lineSettings().baud, c.baud);
        EXPECT_EQ(peer.lineSettings().stopBits, c.stopBits == StopBits::Two ? 2 : 1);

        // Raw both ways: CR, LF, ^C, XON/XOFF, DEL and 0xFF arrive as sent.
        ASSERT_TRUE(peer.write(all));
        EXPECT_EQ(readSome(port, all.size(), 2s), all);
        const IoResult sent = port.write(all);
        EXPECT_EQ(sent.status, Status::Ok);
        EXPECT_EQ(sent.count, all.size());
        EXPECT_EQ(port.drain(), Status::Ok);
        EXPECT_EQ(peer.read(all.size() + 1, 300ms), all) << "nothing echoed, nothing added";
    }
}

TEST(SerialPortTest, ComNumberNamesTheDeviceInTheComFolder)
{
    PtyPeer com3(3);
    PtyPeer com12(12);
    EXPECT_EQ(SerialPort::devicePath(12), com12.devicePath());
    SerialPort port;
    openOn(port, com12);
    ASSERT_TRUE(com3.write("3"));
    ASSERT_TRUE(com12.write("12"));
    EXPECT_EQ(readSome(port, 2, 2s), (Bytes{'1', '2'}));
    EXPECT_EQ(port.path(), com12.devicePath());
}

TEST(SerialPortTest, DevicePathFollowsKandorComDir)
{
    ComDirGuard guard;
    struct Case {
        const char* name;
        const char* folder;
        std::string path;
    };
    const Case cases[] = {
        {"unset: the installation's folder", nullptr, "/dev/kandor/COM7"},
        {"empty: as unset", "", "/dev/kandor/COM7"},
        {"set", "/run/test/com", "/run/test/com/COM7"},
        {"set with a trailing slash", "/run/test/com/", "/run/test/com/COM7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.folder)
            ::setenv("KANDOR_COM_DIR", c.folder, 1);
        else
            ::unsetenv("KANDOR_COM_DIR");
        EXPECT_EQ(SerialPort::devicePath(7), c.path);
    }
}

TEST(SerialPortTest, OpenRefusesWhatIsNoSerialDevice)
{
    PtyPeer peer(1);
    const std::string file = PtyPeer::folder() + "/plain-file";
    std::ofstream(file) << "not a tty";
    ::symlink(file.c_str(), (PtyPeer::folder() + "/COM8").c_str());

    struct Case {
        const char* name;
        std::function<bool(SerialPort&)> open;
        std::string named;
    };
    const Case cases[] = {
        {"no device under the number", [](SerialPort& p) { return p.open(99); }, PtyPeer::folder() + "/COM99"},
        {"COM number 0", [](SerialPort& p) { return p.open(0); }, "COM0"},
        {"a link to a plain file", [](SerialPort& p) { return p.open(8); }, PtyPeer::folder() + "/COM8"},
        {"a folder", [](SerialPort& p) { return p.openPath(PtyPeer::folder()); }, PtyPeer::folder()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SerialPort port;
        EXPECT_FALSE(c.open(port));
        EXPECT_FALSE(port.isOpen());
        EXPECT_NE(port.lastError().find(c.named), std::string::npos) << port.lastError();
        EXPECT_NE(port.lastErrorCode(), 0);
        Bytes buffer(4);
        EXPECT_EQ(port.readAvailable(buffer).status, Status::DeviceGone);
        EXPECT_EQ(port.write("x").status, Status::DeviceGone);
    }
    ::unlink((PtyPeer::folder() + "/COM8").c_str());
    ::unlink(file.c_str());
}

// The lock is what keeps a second port out when the desk runs as root, which
// the terminal's exclusive flag does not.
TEST(SerialPortTest, OpensExclusivelyAlsoForRoot)
{
    PtyPeer peer(2);
    SerialPort first;
    openOn(first, peer);
    struct Case {
        const char* name;
        std::function<bool(SerialPort&)> open;
    };
    const Case cases[] = {
        {"the same COM number", [&](SerialPort& p) { return p.open(peer.com()); }},
        {"the device under its own name", [&](SerialPort& p) { return p.openPath(peer.slavePath()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SerialPort second;
        EXPECT_FALSE(c.open(second));
        EXPECT_FALSE(second.isOpen());
        EXPECT_NE(second.lastError().find("in use"), std::string::npos) << second.lastError();
    }
    ASSERT_TRUE(peer.write("a"));
    EXPECT_EQ(readSome(first, 1, 2s), Bytes{'a'}) << "the refused opens left the first port working";

    first.close();
    SerialPort second;
    EXPECT_TRUE(second.open(peer.com())) << second.lastError();
}

TEST(SerialPortTest, StaleInputIsDroppedAtOpenAndByFlush)
{
    PtyPeer peer(1);
    ASSERT_TRUE(peer.write("before the port opened"));
    SerialPort port;
    openOn(port, peer);
    Bytes buffer(64);
    EXPECT_EQ(port.read(buffer, 100ms).status, Status::Timeout);

    ASSERT_TRUE(peer.write("12345"));
    // The line delivers asynchronously; wait until the port has all of it.
    const auto deadline = Clock::now() + 5s;
    IoResult waiting;
    while ((waiting = port.bytesWaiting()).ok() && waiting.count < 5 && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(waiting.status, Status::Ok);
    EXPECT_EQ(waiting.count, 5u);
    EXPECT_EQ(port.flushInput(), Status::Ok);
    EXPECT_EQ(port.bytesWaiting().count, 0u);
    EXPECT_EQ(port.read(buffer, 100ms).status, Status::Timeout);
}

TEST(SerialPortTest, ReadOnSilenceEndsNotBeforeItsTimeout)
{
    PtyPeer peer(1);
    SerialPort port;
    openOn(port, peer);
    Bytes buffer(16);

    const IoResult now = port.readAvailable(buffer);
    EXPECT_EQ(now.status, Status::Ok);
    EXPECT_EQ(now.count, 0u);

    const auto start = Clock::now();
    const IoResult waited = port.read(buffer, 100ms);
    EXPECT_GE(Clock::now() - start, 100ms);
    EXPECT_EQ(waited.status, Status::Timeout);
    EXPECT_EQ(waited.count, 0u);
    EXPECT_TRUE(port.isOpen());
}

TEST(SerialPortTest, ReadReplyEndsAtItsLastByteOrAtAGap)
{
    struct Chunk {
        std::chrono::milliseconds delay;
        Bytes bytes;
    };
    struct Case {
        const char* name;
        std::vector<Chunk> chunks;
        std::size_t buffer;
        std::chrono::milliseconds firstByte;
        std::chrono::milliseconds interByte;
        SerialPort::LastByteTest isLast;
        Status status;
        Bytes reply;
        Bytes left;
    };
    const Case cases[] = {
        {"silence", {}, 16, 100ms, 20ms, belowHex40, Status::Timeout, {}, {}},
        {"a reply later than the inter-byte deadline but within the first-byte one",
         {{100ms, {0x81, 0x3a}}}, 16, 5000ms, 20ms, belowHex40, Status::Ok, {0x81, 0x3a}, {}},
        {"two chunks 5 ms apart are one reply",
         {{0ms, {0x81, 0x82}}, {5ms, {0x83, 0x24}}}, 16, 5000ms, 500ms, belowHex40, Status::Ok,
         {0x81, 0x82, 0x83, 0x24}, {}},
        {"a gap longer than the inter-byte deadline ends the reply",
         {{0ms, {0x81, 0x82}}, {300ms, {0x83, 0x24}}}, 16, 5000ms, 30ms, belowHex40, Status::Timeout,
         {0x81, 0x82}, {0x83, 0x24}},
        {"the reply ends at its last byte and what follows stays on the line",
         {{0ms, {0x45, 0x3a, 0x99, 0x98}}}, 16, 5000ms, 500ms, belowHex40, Status::Ok, {0x45, 0x3a},
         {0x99, 0x98}},
        {"a full buffer without the last byte is an overflow",
         {{0ms, {0x81, 0x82, 0x83, 0x84}}}, 3, 5000ms, 500ms, belowHex40, Status::Overflow, {0x81, 0x82, 0x83},
         {0x84}},
        {"without a last-byte test the reply is the buffer's length",
         {{0ms, {1, 2, 3, 4, 5}}}, 3, 5000ms, 500ms, nullptr, Status::Ok, {1, 2, 3}, {4, 5}},
        {"without a last-byte test a gap leaves it short",
         {{0ms, {1, 2}}, {300ms, {3}}}, 3, 5000ms, 30ms, nullptr, Status::Timeout, {1, 2}, {3}},
    };
    PtyPeer peer(5);
    SerialPort port;
    openOn(port, peer);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::jthread writer([&] {
            for (const Chunk& chunk : c.chunks) {
                std::this_thread::sleep_for(chunk.delay);
                peer.write(chunk.bytes);
            }
        });
        Bytes buffer(c.buffer);
        const auto start = Clock::now();
        const IoResult got = port.readReply(buffer, c.firstByte, c.interByte, c.isLast);
        const auto took = Clock::now() - start;
        EXPECT_EQ(got.status, c.status);
        buffer.resize(got.count);
        EXPECT_EQ(buffer, c.reply);
        if (c.status == Status::Timeout) {
            EXPECT_GE(took, c.reply.empty() ? c.firstByte : c.interByte);
        }
        writer.join();
        EXPECT_EQ(readSome(port, c.left.size() + 1, c.left.empty() ? 50ms : 2000ms), c.left);
    }
}

TEST(SerialPortTest, WriteFinishesPartialWritesWhileThePeerReadsSlowly)
{
    PtyPeer peer(1);
    SerialPort port;
    openOn(port, peer);
    // Well beyond what a pseudo-terminal buffers, so the write is taken in
    // many pieces.
    const Bytes sent = pattern(512 * 1024);
    Bytes received;
    std::jthread reader([&] {
        const auto deadline = Clock::now() + 60s;
        while (received.size() < sent.size() && Clock::now() < deadline) {
            const Bytes chunk = peer.read(4096, 20ms);
            received.insert(received.end(), chunk.begin(), chunk.end());
            std::this_thread::sleep_for(1ms);
        }
    });
    // The reader may be slow to be scheduled on a busy machine; this test is
    // about continuing, not about giving up.
    port.setWriteWait(2s);
    const IoResult result = port.write(sent);
    reader.join();
    EXPECT_EQ(result.status, Status::Ok) << port.lastError();
    EXPECT_EQ(result.count, sent.size());
    EXPECT_TRUE(received == sent) << "received " << received.size() << " of " << sent.size() << " bytes";
}

TEST(SerialPortTest, WriteGivesUpWhenTheLineTakesNothingAndSaysHowMuchWent)
{
    PtyPeer peer(1);
    SerialPort port;
    openOn(port, peer);
    const Bytes sent = pattern(1024 * 1024);
    const IoResult result = port.write(sent);
    EXPECT_EQ(result.status, Status::Timeout);
    EXPECT_GT(result.count, 0u);
    EXPECT_LT(result.count, sent.size());
    EXPECT_FALSE(port.lastError().empty());
    EXPECT_TRUE(port.isOpen()) << "a stalled line is no lost device";

    const Bytes received = peer.readAll(300ms);
    EXPECT_EQ(received.size(), result.count);
    EXPECT_TRUE(std::equal(received.begin(), received.end(), sent.begin()));

    EXPECT_EQ(port.write("after").status, Status::Ok);
    EXPECT_EQ(peer.read(5, 2s), (Bytes{'a', 'f', 't', 'e', 'r'}));
}

TEST(SerialPortTest, EveryCallFindsAHungUpDeviceGone)
{
    struct Case {
        const char* name;
        std::function<Status(SerialPort&)> call;
    };
    Bytes buffer(16);
    const Case cases[] = {
        {"readAvailable", [&](SerialPort& p) { return p.readAvailable(buffer).status; }},
        {"read", [&](SerialPort& p) { return p.read(buffer, 1s).status; }},
        {"readReply", [&](SerialPort& p) { return p.readReply(buffer, 1s, 20ms, belowHex40).status; }},
        {"write", [](SerialPort& p) { return p.write("frame").status; }},
        {"bytesWaiting", [](SerialPort& p) { return p.bytesWaiting().status; }},
        {"lineErrors", [](SerialPort& p) { return p.lineErrors().status; }},
        {"flushInput", [](SerialPort& p) { return p.flushInput(); }},
        {"flushOutput", [](SerialPort& p) { return p.flushOutput(); }},
        {"drain", [](SerialPort& p) { return p.drain(); }},
        {"setControlLines", [](SerialPort& p) { return p.setControlLines(true, false); }},
        {"configure",
         [](SerialPort& p) {
             return p.configure(19200, Parity::Even, StopBits::One) ? Status::Ok
                    : p.isOpen()                                     ? Status::Failed
                                                                     : Status::DeviceGone;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PtyPeer peer(6);
        SerialPort port;
        openOn(port, peer);
        peer.hangUp();
        EXPECT_EQ(c.call(port), Status::DeviceGone);
        EXPECT_FALSE(port.isOpen());
        EXPECT_NE(port.lastError().find(peer.devicePath()), std::string::npos) << port.lastError();
        EXPECT_EQ(c.call(port), Status::DeviceGone) << "and again, on the closed port";
    }
}

TEST(SerialPortTest, AReadWaitingWhenTheDeviceGoesReturnsAtOnce)
{
    PtyPeer peer(1);
    SerialPort port;
    openOn(port, peer);
    std::jthread unplug([&] {
        std::this_thread::sleep_for(50ms);
        peer.hangUp();
    });
    Bytes buffer(16);
    const auto start = Clock::now();
    const IoResult got = port.readReply(buffer, 60s, 20ms, belowHex40);
    EXPECT_EQ(got.status, Status::DeviceGone);
    EXPECT_LT(Clock::now() - start, 60s);
    EXPECT_FALSE(port.isOpen());
}

TEST(SerialPortTest, ReopenAfterTheDeviceComesBackRestoresTheLine)
{
    PtyPeer peer(9);
    SerialPort port;
    ASSERT_TRUE(port.open(peer.com())) << port.lastError();
    ASSERT_TRUE(port.configure(57600, Parity::Odd, StopBits::Two)) << port.lastError();
    ASSERT_EQ(port.setControlLines(false, true), Status::Ok);

    peer.hangUp();
    EXPECT_EQ(port.write("x").status, Status::DeviceGone);
    EXPECT_FALSE(port.reopen()) << "the device is still away";
    EXPECT_FALSE(port.isOpen());
    EXPECT_NE(port.lastError().find(peer.devicePath()), std::string::npos) << port.lastError();

    peer.reopen();
    ASSERT_TRUE(port.reopen()) << port.lastError();
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(port.lastError().empty());
    EXPECT_EQ(peer.lineSettings().baud, 57600u);
    EXPECT_EQ(peer.lineSettings().stopBits, 2);
    ASSERT_TRUE(peer.write("up"));
    EXPECT_EQ(readSome(port, 2, 2s), (Bytes{'u', 'p'}));
    ASSERT_TRUE(port.write("again").ok());
    EXPECT_EQ(peer.read(5, 2s), (Bytes{'a', 'g', 'a', 'i', 'n'}));
}

// A pseudo-terminal has neither modem lines nor error counters; a port on
// one must still work, and a real driver's answers are not faked.
TEST(SerialPortTest, ADeviceWithoutControlLinesOrErrorCountersIsNoFault)
{
    PtyPeer peer(1);
    SerialPort port;
    openOn(port, peer);
    EXPECT_EQ(port.setControlLines(false, true), Status::Ok);
    const LineErrors errors = port.lineErrors();
    EXPECT_EQ(errors.status, Status::Ok);
    EXPECT_FALSE(errors.any());
}

TEST(SerialPortTest, ConfigureRefusesWhatCannotBeApplied)
{
    PtyPeer peer(1);
    SerialPort closed;
    EXPECT_FALSE(closed.configure(19200, Parity::Even, StopBits::One));
    EXPECT_FALSE(closed.lastError().empty());

    SerialPort port;
    ASSERT_TRUE(port.open(peer.com())) << port.lastError();
    EXPECT_FALSE(port.configure(0, Parity::None, StopBits::One));
    EXPECT_FALSE(port.lastError().empty());
    EXPECT_TRUE(port.isOpen()) << "a refused setting is no lost device";
}
