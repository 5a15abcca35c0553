#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devices/RamkaMagistrali.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using bus::Reading;
using bus::ReplyFault;

Bytes toVector(std::span<const std::uint8_t> bytes) { return Bytes(bytes.begin(), bytes.end()); }

Bytes withCheck(Bytes body) {
    body.push_back(bus::checkByte(body));
    return body;
}

// A ten-byte kind-1 reply: the 48-bit value goes out six bits a byte, least
// significant first, each marked as a data byte.
Bytes codeReply(std::uint8_t inputs, std::uint64_t value) {
    Bytes reply{static_cast<std::uint8_t>(0x40 | inputs)};
    for (int i = 0; i < 8; ++i)
        reply.push_back(static_cast<std::uint8_t>(0x40 | ((value >> (6 * i)) & 0x3F)));
    return withCheck(reply);
}

// Code 0xabcdef1 in bits 0-27, counter 0x1234 in bits 28-43, button 9 in 44-47.
constexpr std::uint64_t chosenReading = 0xabcdef1ull | (0x1234ull << 28) | (0x9ull << 44);
static_assert(chosenReading == 0x91234abcdef1ull);

TEST(RamkaMagistrali, PollFramesHaveTheExactBytes) {
    struct Case {
        std::string_view name;
        std::uint16_t address;
        int version;
        std::optional<std::uint8_t> outputs;
        Bytes frame;
    };
    const Case cases[] = {
        {"v1 address 5 without outputs", 5, 1, std::nullopt, {0x85, 0x3A}},
        {"v2 highest address", 4095, 2, std::nullopt, {0xFF, 0xBF, 0x3F}},
        {"v2 address 300 with outputs", 300, 2, 0x2A, {0xC4, 0xAC, 0x6A, 0x3D}},
        {"v1 highest address, outputs all off", 127, 1, 0x00, {0xFF, 0x40, 0x00}},
        {"v2 address 0 keeps both address bytes", 0, 2, std::nullopt, {0xC0, 0x80, 0x3F}},
        {"version 3 is sent as version 1", 5, 3, std::nullopt, {0x85, 0x3A}},
        {"version 0 is sent as version 1", 5, 0, std::nullopt, {0x85, 0x3A}},
        {"v1 sends only the low 7 address bits", 300, 1, std::nullopt, {0xAC, 0x13}},
        {"outputs beyond six bits are dropped", 5, 1, 0xFF, {0x85, 0x7F, 0x05}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(toVector(bus::encodePollFrame(c.address, c.version, c.outputs).bytes()), c.frame);
    }
}

TEST(RamkaMagistrali, RepliesAreCheckedAndDecodedByBoardKind) {
    Bytes twoHundred(199, 0x40);
    twoHundred = withCheck(twoHundred);
    Bytes longestAllowed(127, 0x45);
    longestAllowed = withCheck(longestAllowed);
    Bytes sameButOneMore(128, 0x45);
    sameButOneMore = withCheck(sameButOneMore);

    struct Case {
        std::string_view name;
        std::uint8_t kind;
        Bytes reply;
        ReplyFault fault;
        std::optional<std::uint8_t> inputs;
        std::optional<Reading> reading;
    };
    const Case cases[] = {
        {"kind 1, inputs only", 1, {0x45, 0x3A}, ReplyFault::None, 0x05, std::nullopt},
        {"kind 1, inputs from the low six bits", 1, withCheck({0xC5}), ReplyFault::None, 0x05, std::nullopt},
        {"kind 1, three bytes carry no reading", 1, withCheck({0x7F, 0x41}), ReplyFault::None, 0x3F, std::nullopt},
        {"kind 1, code, counter and button", 1, codeReply(0x21, chosenReading), ReplyFault::None, 0x21,
         Reading{"abcdef1", 0x1234, 9}},
        {"kind 1, code 0 is still a reading", 1, codeReply(0, 0), ReplyFault::None, 0x00, Reading{"0", 0, 0}},
        {"kind 1, all ones", 1, codeReply(0x3F, 0xFFFFFFFFFFFFull), ReplyFault::None, 0x3F,
         Reading{"fffffff", 0xFFFF, 15}},
        {"kind 2, plate ending early",
         2,
         withCheck({0x40, 0x40 + 33, 0x40 + 11, 0x40 + 2, 0x40 + 3, 0x40 + 4, 0x40 + 5, 0x40 + 6, 0x40}),
         ReplyFault::None, std::nullopt, Reading{"WA12345", 0, 0}},
        {"kind 2, second character 0 gives one character", 2,
         withCheck({0x40, 0x40 + 36, 0x40, 0x40 + 5, 0x40 + 5, 0x40 + 5, 0x40 + 5, 0x40 + 5, 0x40 + 5}),
         ReplyFault::None, std::nullopt, Reading{"Z", 0, 0}},
        {"kind 2, values above 36 stand for themselves", 2,
         withCheck({0x40, 0x40 + 45, 0x40 + 63, 0x40 + 1, 0x40 + 10, 0x40 + 37, 0x40 + 11, 0x40 + 36, 0x40 + 2}),
         ReplyFault::None, std::nullopt, Reading{"-?09%AZ1", 0, 0}},
        {"kind 2, short reply carries nothing", 2, {0x45, 0x3A}, ReplyFault::None, std::nullopt, std::nullopt},
        {"other kind carries nothing", 3, codeReply(0x05, chosenReading), ReplyFault::None, std::nullopt,
         std::nullopt},
        {"bad check byte", 1, {0x45, 0x3B}, ReplyFault::BadCheck, std::nullopt, std::nullopt},
        {"bad check byte on a reading", 1, [] { auto r = codeReply(1, chosenReading); r.back() ^= 1; return r; }(),
         ReplyFault::BadCheck, std::nullopt, std::nullopt},
        {"one byte is not an answer", 1, {0x3F}, ReplyFault::TooShort, std::nullopt, std::nullopt},
        {"no bytes", 1, {}, ReplyFault::TooShort, std::nullopt, std::nullopt},
        {"byte below 0x40 in the middle", 1, {0x45, 0x05, 0x45, 0x3A}, ReplyFault::EarlyEnd, std::nullopt,
         std::nullopt},
        {"last byte is not a check byte", 1, {0x45, 0x7A}, ReplyFault::NotTerminated, std::nullopt, std::nullopt},
        {"200 bytes", 1, twoHundred, ReplyFault::TooLong, std::nullopt, std::nullopt},
        {"128 bytes fill the buffer", 1, longestAllowed, ReplyFault::None, 0x05, std::nullopt},
        {"129 bytes overflow it", 1, sameButOneMore, ReplyFault::TooLong, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reply = bus::decodeReply(c.kind, c.reply);
        EXPECT_EQ(reply.fault, c.fault) << bus::toString(reply.fault);
        EXPECT_EQ(reply.inputs, c.inputs);
        EXPECT_EQ(reply.reading, c.reading);
    }
}

// Every accepted reply of any length but the reading's: inputs for a kind-1
// board, no reading for any kind. A reply shorter than ten bytes has fewer
// than the eight data bytes, and the decoder must not take a span of them
// (undefined behaviour that aborts under -D_GLIBCXX_ASSERTIONS and the fuzz
// build; a 2-byte reply is the ordinary answer of every board).
TEST(RamkaMagistrali, RepliesOfEveryLengthButTenCarryNoReading) {
    for (std::size_t length = 2; length <= bus::maxReplyLength; ++length) {
        if (length == bus::readingReplyLength)
            continue;
        const Bytes reply = withCheck(Bytes(length - 1, 0x6A));
        for (const std::uint8_t kind : {0, 1, 2, 3}) {
            SCOPED_TRACE("length " + std::to_string(length) + ", kind " + std::to_string(kind));
            const auto decoded = bus::decodeReply(kind, reply);
            EXPECT_TRUE(decoded.valid()) << bus::toString(decoded.fault);
            EXPECT_EQ(decoded.inputs, kind == 1 ? std::optional<std::uint8_t>(0x2A) : std::nullopt);
            EXPECT_EQ(decoded.reading, std::nullopt);
        }
    }
}

// The simulator's replies must read back as what it was told to send.
TEST(RamkaMagistrali, EncodedRepliesDecodeToWhatWasSent) {
    struct Case {
        std::string_view name;
        std::uint8_t kind;
        std::uint8_t inputs;
        std::optional<Reading> reading;
    };
    const Case cases[] = {
        {"kind 1, inputs only", 1, 0x2A, std::nullopt},
        {"kind 1, reading", 1, 0x01, Reading{"abcdef1", 0x1234, 9}},
        {"kind 1, largest reading", 1, 0x3F, Reading{"fffffff", 0xFFFF, 15}},
        {"kind 2, full plate", 2, 0, Reading{"WA12345Z", 0, 0}},
        {"kind 2, short plate", 2, 0, Reading{"K9", 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto frame = bus::encodeReply(c.kind, c.inputs, c.reading);
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->size, c.reading ? 10u : 2u);
        const auto reply = bus::decodeReply(c.kind, frame->bytes());
        EXPECT_TRUE(reply.valid()) << bus::toString(reply.fault);
        if (c.kind == 1) {
            EXPECT_EQ(reply.inputs, c.inputs);
        }
        EXPECT_EQ(reply.reading, c.reading);
    }
}

TEST(RamkaMagistrali, ReadingsThatCannotBeSentAreRefused) {
    struct Case {
        std::string_view name;
        std::uint8_t kind;
        Reading reading;
    };
    const Case cases[] = {
        {"code wider than 28 bits", 1, {"10000000", 0, 0}},
        {"code not hex", 1, {"12g4", 0, 0}},
        {"empty code", 1, {"", 0, 0}},
        {"button wider than 4 bits", 1, {"1", 0, 16}},
        {"plate of 9 characters", 2, {"WA1234567", 0, 0}},
        {"lower-case plate", 2, {"wa123", 0, 0}},
        {"reading for a board without one", 3, {"1", 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(bus::encodeReply(c.kind, 0, c.reading));
    }
}

} // namespace
