#include "devices/RamkaCentrali.h"

namespace centrala {

namespace {

constexpr std::size_t addressHigh = 22;
constexpr std::size_t addressLow = 24;

std::uint8_t high(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t low(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint16_t word(std::uint8_t hi, std::uint8_t lo) { return static_cast<std::uint16_t>(hi << 8 | lo); }

} // namespace

bool isSyncByte(std::uint8_t byte) {
    return byte == static_cast<std::uint8_t>(Sync::CC) || byte == static_cast<std::uint8_t>(Sync::DD);
}

Frame encodeFrame(const FrameValues& values, Sync sync) {
    const std::array<std::uint8_t, 11> value{
        values.code,    high(values.a),       low(values.a),        high(values.b),
        low(values.b),  values.data[0],       values.data[1],       values.data[2],
        values.data[3], high(values.address), low(values.address),
    };
    Frame frame{};
    for (std::size_t i = 0; i < syncLength; ++i)
        frame[i] = static_cast<std::uint8_t>(sync);
    for (std::size_t i = 0; i < value.size(); ++i) {
        frame[firstValue + 2 * i] = value[i];
        frame[firstValue + 2 * i + 1] = static_cast<std::uint8_t>(~value[i]);
    }
    return frame;
}

bool pairsValid(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < frameLength)
        return false;
    for (std::size_t i = firstValue; i < frameLength; i += 2)
        if (bytes[i + 1] != static_cast<std::uint8_t>(~bytes[i]))
            return false;
    return true;
}

std::uint16_t frameAddress(std::span<const std::uint8_t> bytes) { return word(bytes[addressHigh], bytes[addressLow]); }

std::size_t syncStart(std::span<const std::uint8_t> bytes) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!isSyncByte(bytes[i]))
            run = 0;
        else if (run > 0 && bytes[i] == bytes[i - 1])
            ++run;
        else
            run = 1;
        if (run == syncLength)
            return i + 1 - syncLength;
    }
    return bytes.size() - run;
}

std::optional<Decoded> decodeFrame(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < frameLength || syncStart(bytes.first(syncLength)) != 0 || !pairsValid(bytes))
        return std::nullopt;
    Decoded decoded;
    decoded.sync = static_cast<Sync>(bytes[0]);
    FrameValues& v = decoded.values;
    v.code = bytes[4];
    v.a = word(bytes[6], bytes[8]);
    v.b = word(bytes[10], bytes[12]);
    for (std::size_t i = 0; i < v.data.size(); ++i)
        v.data[i] = bytes[14 + 2 * i];
    v.address = frameAddress(bytes);
    return decoded;
}

} // namespace centrala
