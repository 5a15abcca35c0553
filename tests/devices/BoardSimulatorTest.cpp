#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "devices/RamkaMagistrali.h"
#include "platform/serial/SerialPort.h"
#include "tests/support/BoardSimulator.h"
#include "tests/support/PtyPeer.h"

namespace {

using namespace std::chrono_literals;
using platform::serial::Parity;
using platform::serial::SerialPort;
using platform::serial::Status;
using platform::serial::StopBits;
using Bytes = std::vector<std::uint8_t>;

constexpr int com = 41;

bool endsReply(std::uint8_t byte) { return byte < 0x40; }

// The program's side of the bus: a port on the simulator's pseudo-terminal.
struct Bus {
    explicit Bus(int version) : simulator(peer, version)
    {
        EXPECT_TRUE(port.open(com)) << port.lastError();
        EXPECT_TRUE(port.configure(19200, Parity::Even, StopBits::One)) << port.lastError();
    }

    // Sends one frame and reads the reply as the poll loop does: 20 ms from
    // one byte to the next, and a first byte within firstByte.
    platform::serial::IoResult exchange(const bus::PollFrame& frame, SerialPort::Duration firstByte, Bytes& reply)
    {
        const auto sent = port.write(frame.bytes());
        EXPECT_TRUE(sent.ok()) << port.lastError();
        EXPECT_EQ(port.drain(), Status::Ok);
        std::array<std::uint8_t, bus::maxReplyLength> buffer{};
        const auto got = port.readReply(buffer, firstByte, 20ms, endsReply);
        reply.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got.count));
        return got;
    }

    bus::Reply poll(std::uint16_t address, std::uint8_t kind, std::optional<std::uint8_t> outputs,
                    int version)
    {
        Bytes reply;
        const auto got = exchange(bus::encodePollFrame(address, version, outputs), 5s, reply);
        EXPECT_EQ(got.status, Status::Ok) << platform::serial::toString(got.status);
        return bus::decodeReply(kind, reply);
    }

    PtyPeer peer{com};
    BoardSimulator simulator;
    SerialPort port;
};

TEST(BoardSimulator, AnswersWithInputsAcknowledgesOutputsAndSendsAReadingOnce) {
    Bus line(2);
    line.simulator.addBoard(300, bus::ioBoardKind);
    line.simulator.setInputs(300, 0x15);
    line.simulator.setPendingReading(300, {"abcdef1", 0x1234, 9});

    const auto first = line.poll(300, bus::ioBoardKind, 0x2A, 2);
    EXPECT_TRUE(first.valid()) << bus::toString(first.fault);
    EXPECT_EQ(first.inputs, 0x15);
    EXPECT_EQ(first.reading, (bus::Reading{"abcdef1", 0x1234, 9}));
    EXPECT_EQ(line.simulator.board(300).outputs, 0x2A);

    const auto second = line.poll(300, bus::ioBoardKind, std::nullopt, 2);
    EXPECT_TRUE(second.valid()) << bus::toString(second.fault);
    EXPECT_EQ(second.inputs, 0x15);
    EXPECT_EQ(second.reading, std::nullopt);
    EXPECT_EQ(line.simulator.board(300).outputs, 0x2A);
    EXPECT_EQ(line.simulator.board(300).polls, 2u);
}

TEST(BoardSimulator, PlateReaderSendsItsPlate) {
    Bus line(1);
    line.simulator.addBoard(17, bus::plateReaderKind);
    line.simulator.setPendingReading(17, {"WA12345", 0, 0});

    const auto reply = line.poll(17, bus::plateReaderKind, std::nullopt, 1);
    EXPECT_TRUE(reply.valid()) << bus::toString(reply.fault);
    EXPECT_EQ(reply.reading, (bus::Reading{"WA12345", 0, 0}));
}

TEST(BoardSimulator, SilentBoardGivesNoAnswer) {
    Bus line(1);
    line.simulator.addBoard(5, bus::ioBoardKind);
    line.simulator.addBoard(6, bus::ioBoardKind);
    line.simulator.setAnswer(5, BoardSimulator::Answer::Silent);
    line.simulator.setInputs(6, 0x01);

    Bytes reply;
    const auto got = line.exchange(bus::encodePollFrame(5, 1, 0x3F), 30ms, reply);
    EXPECT_EQ(got.status, Status::Timeout);
    EXPECT_TRUE(reply.empty());

    // The simulator takes frames in order, so once board 6 has answered,
    // board 5 has had its frame: its silence is not a late answer.
    const auto next = line.poll(6, bus::ioBoardKind, std::nullopt, 1);
    EXPECT_EQ(next.inputs, 0x01);
    EXPECT_EQ(line.simulator.board(5).polls, 1u);
    EXPECT_EQ(line.simulator.board(5).answers, 0u);
    EXPECT_EQ(line.simulator.board(5).outputs, std::nullopt);
}

TEST(BoardSimulator, BrokenAnswersAndFramesOnDemand) {
    Bus line(2);
    line.simulator.addBoard(4095, bus::ioBoardKind);
    line.simulator.addBoard(7, bus::ioBoardKind);

    line.simulator.setAnswer(4095, BoardSimulator::Answer::BadCheck);
    EXPECT_EQ(line.poll(4095, bus::ioBoardKind, std::nullopt, 2).fault, bus::ReplyFault::BadCheck);

    // Garbage is sent whole: a run without a check byte that fills the
    // receive buffer, then a lone check byte, which carries nothing.
    line.simulator.setAnswer(4095, BoardSimulator::Answer::Garbage);
    line.simulator.setGarbage(4095, Bytes(bus::maxReplyLength, 0x55));
    Bytes reply;
    EXPECT_EQ(line.exchange(bus::encodePollFrame(4095, 2, std::nullopt), 5s, reply).status, Status::Overflow);
    EXPECT_EQ(reply, Bytes(bus::maxReplyLength, 0x55));
    line.simulator.setGarbage(4095, {0x3A});
    EXPECT_EQ(line.poll(4095, bus::ioBoardKind, 0x01, 2).fault, bus::ReplyFault::TooShort);

    // A frame with a wrong check byte is not answered; the next good one is.
    auto damaged = bus::encodePollFrame(7, 2, std::nullopt);
    damaged.data[damaged.size - 1] ^= 0x01;
    EXPECT_EQ(line.exchange(damaged, 30ms, reply).status, Status::Timeout);
    EXPECT_TRUE(line.poll(7, bus::ioBoardKind, std::nullopt, 2).valid());
    EXPECT_EQ(line.simulator.badFrames(), 1u);
    EXPECT_EQ(line.simulator.board(7).polls, 1u);
}

} // namespace
