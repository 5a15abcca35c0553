#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The 26-byte frame of the intercom controllers' line, the same both ways:
// four sync bytes, then eleven value bytes each followed by its bitwise NOT
// (code, A high, A low, B high, B low, D0-D3, address high, address low).
// Pure functions: no port, no clock, so the port's state machine, the
// controllers and a test's stand-in controller share one definition.
namespace centrala {

inline constexpr std::size_t frameLength = 26;
inline constexpr std::size_t syncLength = 4;
// Position of the first value byte; the pairs sit at the even positions
// from here to 24.
inline constexpr std::size_t firstValue = 4;

using Frame = std::array<std::uint8_t, frameLength>;

// The desk sends commands 1, 4 and 25 with the DD form; everything else,
// and every frame a controller sends, uses CC.
enum class Sync : std::uint8_t { CC = 0xCC, DD = 0xDD };

struct FrameValues {
    std::uint8_t code = 0;
    // The controller addressed (network address or serial number, by
    // command) in a sent frame; command-specific in a received one.
    std::uint16_t a = 0;
    std::uint16_t b = 0;
    std::array<std::uint8_t, 4> data{};
    // The sender: the desk's own address in a sent frame, the controller's
    // network address or serial number in a received one.
    std::uint16_t address = 0;

    bool operator==(const FrameValues&) const = default;
};

struct Decoded {
    Sync sync = Sync::CC;
    FrameValues values;

    bool operator==(const Decoded&) const = default;
};

bool isSyncByte(std::uint8_t byte);

Frame encodeFrame(const FrameValues& values, Sync sync = Sync::CC);

// Every value byte of the first frameLength bytes is followed by its
// complement; false for fewer bytes.
bool pairsValid(std::span<const std::uint8_t> bytes);

// The sender's address (bytes 22 and 24) of a frame at the start of bytes,
// which must hold at least frameLength of them.
std::uint16_t frameAddress(std::span<const std::uint8_t> bytes);

// Where a frame may start in a received stream: the first run of four equal
// sync bytes. Without one, the start of a run of one to three sync bytes
// that ends the stream (the head of a frame still arriving); without that,
// bytes.size(). Bytes before the position cannot begin a frame. A run cannot
// occur inside a valid frame's pairs, since a sync byte's complement is not
// a sync byte.
std::size_t syncStart(std::span<const std::uint8_t> bytes);

// A whole frame at the start of bytes: four equal sync bytes and eleven
// good pairs. Extra bytes after the frame are ignored.
std::optional<Decoded> decodeFrame(std::span<const std::uint8_t> bytes);

} // namespace centrala
