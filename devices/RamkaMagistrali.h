#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The bytes of the I/O bus, both ways: the poll frame the program sends to a
// board and the reply a board sends back. Pure functions: no port, no clock,
// no bus image, so the poll thread and the board simulator share one
// definition of the line format.
//
// On the line, bit 7 marks an address byte, bit 6 (without bit 7) an outputs
// or data byte, and a byte below 0x40 is always the check byte that ends a
// frame or a reply: a reader finds the end of either without knowing its
// length.
namespace bus {

// The result of one poll, as the board entries and the diagnostics show it.
enum class BusStatus : std::uint32_t {
    Ok = 0,
    WriteFailed = 1,
    ReadFailed = 2,
    ParityError = 3,
    NoAnswer = 4,
    BadCheck = 5,
    NotRegistered = 6,
    LineError = 7,
};

// Board kinds that carry something in their replies; others are polled only.
inline constexpr std::uint8_t ioBoardKind = 1;
inline constexpr std::uint8_t plateReaderKind = 2;

// Board addresses a bus image holds; a version-1 bus reaches only the first 128.
inline constexpr std::size_t addressCount = 4096;
// The receive buffer: a longer reply is refused whole.
inline constexpr std::size_t maxReplyLength = 128;
// Only replies of exactly this length carry a reading.
inline constexpr std::size_t readingReplyLength = 10;
// The longest reading text: 28 bits of code as hex are 7 characters, a plate 8.
inline constexpr std::size_t maxCodeLength = 32;

// A frame or reply of at most N bytes, kept by value: the poll loop builds one
// per poll and must not allocate for it.
template <std::size_t N>
struct FixedBytes {
    std::array<std::uint8_t, N> data{};
    std::size_t size = 0;

    std::span<const std::uint8_t> bytes() const { return {data.data(), size}; }
    void push(std::uint8_t byte) { data[size++] = byte; }
};

using PollFrame = FixedBytes<4>;
using ReplyFrame = FixedBytes<readingReplyLength>;

// (NOT of the XOR of all bytes) & 0x3F: the byte that ends a frame or a reply.
std::uint8_t checkByte(std::span<const std::uint8_t> bytes);

// The poll frame for a board. A version-2 bus sends two address bytes (12
// bits); any other version is a version-1 bus and sends the low 7 bits in one.
// The outputs byte is present only when outputs is given; the caller decides
// when (a kind-1 board whose wanted outputs differ from the acknowledged).
PollFrame encodePollFrame(std::uint16_t address, int busVersion, std::optional<std::uint8_t> outputs);

// A code read at a board: the remote-control code as lower-case hex, or the
// licence plate of a plate reader.
struct Reading {
    std::string code;
    std::uint16_t counter = 0;
    std::uint8_t button = 0;

    bool operator==(const Reading&) const = default;
};

// Why a reply was refused; None for an accepted one.
enum class ReplyFault {
    None,
    // Fewer than two bytes: no data before the check byte. A lone byte below
    // 0x40 must not count as an answer that acknowledges the outputs.
    TooShort,
    // More than maxReplyLength bytes.
    TooLong,
    // The last byte is not below 0x40, so it cannot be a check byte.
    NotTerminated,
    // A byte below 0x40 before the last one: two replies run together, or
    // noise on the line.
    EarlyEnd,
    BadCheck,
};

const char* toString(ReplyFault fault);

struct Reply {
    ReplyFault fault = ReplyFault::None;
    // Low 6 bits of the first byte; kind-1 boards only.
    std::optional<std::uint8_t> inputs;
    // From a reply of exactly readingReplyLength bytes of a kind-1 or kind-2
    // board. A kind-2 reading may have an empty plate (its first character
    // ended the text): it still replaces any code waiting for that board.
    std::optional<Reading> reading;

    bool valid() const { return fault == ReplyFault::None; }
};

// Checks and decodes a board's reply. The bytes come from outside: any length
// and content is accepted as input, and a refused reply carries nothing, not
// even the inputs.
Reply decodeReply(std::uint8_t boardKind, std::span<const std::uint8_t> bytes);

// The reply a board of the given kind sends: inputs in the first byte, and
// with a reading the eight data bytes of a ten-byte reply. Nothing when the
// reading cannot be sent: a kind-1 code that is not hex of at most 28 bits, a
// plate longer than 8 characters or with a character no data byte stands for,
// or a reading for another kind of board. The board simulator's half of the
// codec.
std::optional<ReplyFrame> encodeReply(std::uint8_t boardKind, std::uint8_t inputs,
                                      const std::optional<Reading>& reading);

} // namespace bus
