#include "devices/RamkaMagistrali.h"

#include <charconv>

namespace bus {

namespace {

constexpr std::uint8_t dataBits = 0x3F;
// The least value of an address, outputs or data byte: anything below ends
// the frame.
constexpr std::uint8_t dataMark = 0x40;
constexpr std::size_t readingBytes = 8;
constexpr unsigned codeBits = 28;
constexpr unsigned counterBits = 16;
constexpr std::uint8_t maxButton = 0x0F;

bool endsFrame(std::uint8_t byte) { return byte < dataMark; }

// The plate reader sends each character in six bits: 1..10 are the digits,
// 11..36 the letters, and anything else stands for the character with that
// code (0 ends the plate early).
char plateCharacter(std::uint8_t value) {
    if (value >= 1 && value <= 10)
        return static_cast<char>('0' + value - 1);
    if (value >= 11 && value <= 36)
        return static_cast<char>('A' + value - 11);
    return static_cast<char>(value);
}

std::optional<std::uint8_t> plateValue(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<std::uint8_t>(c - '0' + 1);
    if (c >= 'A' && c <= 'Z')
        return static_cast<std::uint8_t>(c - 'A' + 11);
    // Characters 37..63 ('%' to '?') stand for themselves; lower ones would
    // read back as digits or letters.
    const auto code = static_cast<unsigned char>(c);
    if (code > 36 && code <= dataBits)
        return code;
    return std::nullopt;
}

std::string hexText(std::uint32_t value) {
    char text[8];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, 16);
    return error == std::errc() ? std::string(text, end) : std::string();
}

Reading decodeCode(std::span<const std::uint8_t> data) {
    std::uint64_t value = 0;
    for (std::size_t i = data.size(); i-- > 0;)
        value = (value << 6) | (data[i] & dataBits);
    Reading reading;
    reading.code = hexText(static_cast<std::uint32_t>(value & ((1u << codeBits) - 1)));
    reading.counter = static_cast<std::uint16_t>(value >> codeBits);
    reading.button = static_cast<std::uint8_t>((value >> (codeBits + counterBits)) & maxButton);
    return reading;
}

Reading decodePlate(std::span<const std::uint8_t> data) {
    Reading reading;
    for (const std::uint8_t byte : data) {
        const std::uint8_t value = byte & dataBits;
        if (value == 0)
            break;
        reading.code.push_back(plateCharacter(value));
    }
    return reading;
}

void finish(ReplyFrame& reply) { reply.push(checkByte(reply.bytes())); }

} // namespace

std::uint8_t checkByte(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : bytes)
        sum ^= byte;
    return static_cast<std::uint8_t>(~sum) & dataBits;
}

PollFrame encodePollFrame(std::uint16_t address, int busVersion, std::optional<std::uint8_t> outputs) {
    PollFrame frame;
    if (busVersion == 2) {
        frame.push(static_cast<std::uint8_t>(0xC0 + ((address >> 6) & 0x3F)));
        frame.push(static_cast<std::uint8_t>(0x80 + (address & 0x3F)));
    } else {
        frame.push(static_cast<std::uint8_t>(0x80 + (address & 0x7F)));
    }
    if (outputs)
        frame.push(static_cast<std::uint8_t>(dataMark + (*outputs & dataBits)));
    frame.push(checkByte(frame.bytes()));
    return frame;
}

const char* toString(ReplyFault fault) {
    switch (fault) {
    case ReplyFault::None: return "accepted";
    case ReplyFault::TooShort: return "fewer than two bytes";
    case ReplyFault::TooLong: return "longer than the receive buffer";
    case ReplyFault::NotTerminated: return "last byte is not a check byte";
    case ReplyFault::EarlyEnd: return "check byte before the end";
    case ReplyFault::BadCheck: return "wrong check byte";
    }
    return "unknown";
}

Reply decodeReply(std::uint8_t boardKind, std::span<const std::uint8_t> bytes) {
    Reply reply;
    if (bytes.size() > maxReplyLength) {
        reply.fault = ReplyFault::TooLong;
        return reply;
    }
    if (bytes.size() < 2) {
        reply.fault = ReplyFault::TooShort;
        return reply;
    }
    const auto body = bytes.first(bytes.size() - 1);
    const std::uint8_t check = bytes.back();
    if (!endsFrame(check)) {
        reply.fault = ReplyFault::NotTerminated;
        return reply;
    }
    for (const std::uint8_t byte : body) {
        if (endsFrame(byte)) {
            reply.fault = ReplyFault::EarlyEnd;
            return reply;
        }
    }
    if (check != checkByte(body)) {
        reply.fault = ReplyFault::BadCheck;
        return reply;
    }

    if (boardKind == ioBoardKind)
        reply.inputs = static_cast<std::uint8_t>(bytes[0] & dataBits);
    // The eight data bytes exist only in a reply that carries a reading: the
    // span of them is taken only then (a shorter reply has fewer).
    if (bytes.size() != readingReplyLength)
        return reply;
    const auto data = bytes.subspan(1, readingBytes);
    if (boardKind == ioBoardKind)
        reply.reading = decodeCode(data);
    else if (boardKind == plateReaderKind)
        reply.reading = decodePlate(data);
    return reply;
}

std::optional<ReplyFrame> encodeReply(std::uint8_t boardKind, std::uint8_t inputs,
                                      const std::optional<Reading>& reading) {
    ReplyFrame reply;
    reply.push(static_cast<std::uint8_t>(dataMark + (inputs & dataBits)));
    if (!reading) {
        finish(reply);
        return reply;
    }

    std::array<std::uint8_t, readingBytes> data{};
    if (boardKind == ioBoardKind) {
        const std::string& text = reading->code;
        std::uint32_t code = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code, 16);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() || code >> codeBits != 0
            || reading->button > maxButton)
            return std::nullopt;
        std::uint64_t value = code | (std::uint64_t{reading->counter} << codeBits)
                              | (std::uint64_t{reading->button} << (codeBits + counterBits));
        for (auto& byte : data) {
            byte = value & dataBits;
            value >>= 6;
        }
    } else if (boardKind == plateReaderKind) {
        // A plate reader sends no counter or button; they read back as 0.
        if (reading->code.size() > readingBytes)
            return std::nullopt;
        for (std::size_t i = 0; i < reading->code.size(); ++i) {
            const auto value = plateValue(reading->code[i]);
            if (!value)
                return std::nullopt;
            data[i] = *value;
        }
    } else {
        return std::nullopt;
    }
    for (const std::uint8_t value : data)
        reply.push(static_cast<std::uint8_t>(dataMark + value));
    finish(reply);
    return reply;
}

} // namespace bus
