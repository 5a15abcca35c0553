#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "devices/RamkaCentrali.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using centrala::Decoded;
using centrala::FrameValues;
using centrala::Sync;

Bytes toVector(std::span<const std::uint8_t> bytes) { return Bytes(bytes.begin(), bytes.end()); }

TEST(RamkaCentrali, FramesHaveTheExactBytesAndDecodeBack) {
    struct Case {
        std::string_view name;
        FrameValues values;
        Sync sync;
        Bytes bytes;
    };
    const Case cases[] = {
        {"all zero, CC form",
         {},
         Sync::CC,
         {0xCC, 0xCC, 0xCC, 0xCC, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00,
          0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF}},
        {"every field, high byte first, DD form",
         {0x19, 0x1234, 0xABCD, {0x01, 0x80, 0x7F, 0xFF}, 0xFE02},
         Sync::DD,
         {0xDD, 0xDD, 0xDD, 0xDD, 0x19, 0xE6, 0x12, 0xED, 0x34, 0xCB, 0xAB, 0x54, 0xCD,
          0x32, 0x01, 0xFE, 0x80, 0x7F, 0x7F, 0x80, 0xFF, 0x00, 0xFE, 0x01, 0x02, 0xFD}},
        {"value bytes equal to the sync bytes",
         {0xCC, 0xCCCC, 0xDDDD, {0xCC, 0xCC, 0xCC, 0xCC}, 0xCCCC},
         Sync::CC,
         {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xDD, 0x22, 0xDD,
          0x22, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto frame = centrala::encodeFrame(c.values, c.sync);
        EXPECT_EQ(toVector(frame), c.bytes);
        EXPECT_EQ(centrala::decodeFrame(frame), (Decoded{c.sync, c.values}));
        EXPECT_EQ(centrala::frameAddress(frame), c.values.address);
    }
}

TEST(RamkaCentrali, RefusesWhatIsNotAWholeFrame) {
    const auto good = toVector(centrala::encodeFrame({0x09, 1, 2, {3, 4, 5, 6}, 7}));
    auto brokenPair = good;
    brokenPair[15] ^= 0x01;
    auto brokenAddress = good;
    brokenAddress[25] ^= 0x80;
    auto mixedSync = good;
    mixedSync[3] = 0xDD;
    auto shiftedSync = good;
    shiftedSync[0] = 0x00;
    const Bytes shortFrame(good.begin(), good.end() - 1);

    struct Case {
        std::string_view name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"D0's complement flipped", brokenPair},
        {"the last complement flipped", brokenAddress},
        {"CC and DD mixed in the sync run", mixedSync},
        {"three sync bytes", shiftedSync},
        {"25 bytes", shortFrame},
        {"nothing", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(centrala::decodeFrame(c.bytes), std::nullopt);
    }
    EXPECT_FALSE(centrala::pairsValid(brokenPair));
    EXPECT_TRUE(centrala::pairsValid(good));
}

TEST(RamkaCentrali, SyncStartSkipsOnlyWhatCannotBeginAFrame) {
    struct Case {
        std::string_view name;
        Bytes bytes;
        std::size_t start;
    };
    const Case cases[] = {
        {"a run at the start", {0xCC, 0xCC, 0xCC, 0xCC, 0x01}, 0},
        {"stray bytes before the run", {0x01, 0xCC, 0x02, 0xDD, 0xDD, 0xDD, 0xDD, 0x05}, 3},
        {"a fifth sync byte: the first four", {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0x00}, 0},
        {"a run broken by the other form", {0xCC, 0xCC, 0xDD, 0xDD, 0xDD, 0xDD}, 2},
        {"the head of a run at the end is kept", {0x01, 0x02, 0xDD, 0xCC, 0xCC}, 3},
        {"a complement after a value is no sync", {0xCC, 0x33, 0xCC, 0x33}, 4},
        {"noise only", {0x01, 0x02, 0x03}, 3},
        {"nothing", {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(centrala::syncStart(c.bytes), c.start);
    }
}

} // namespace
