#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "core/Czas.h"
#include "tests/support/SettableClock.h"

namespace {

TEST(Czas, SpecialDeadlines) {
    SettableClock zegar;
    EXPECT_TRUE(Czas::Minal(Czas::Zero())) << "no deadline has always passed";
    EXPECT_FALSE(Czas::Minal(Czas::Nigdy()));
    const std::uint64_t nigdyZa = Czas::Za(4294967295.0);
    EXPECT_EQ(nigdyZa, static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()));
    zegar.advance(100.0 * 365 * 24 * 3600);
    Czas::Migawka();
    EXPECT_FALSE(Czas::Minal(Czas::Nigdy()));
    EXPECT_FALSE(Czas::Minal(nigdyZa));
}

TEST(Czas, DeadlineComparesAgainstTheTicksSnapshotOnly) {
    SettableClock zegar;
    const std::uint64_t termin = Czas::Za(1.5);
    EXPECT_EQ(termin - Czas::Teraz(), 15'000'000u);
    zegar.advance(2);
    EXPECT_FALSE(Czas::Minal(termin)) << "time moves for the logic only at the next snapshot";
    Czas::Migawka();
    EXPECT_TRUE(Czas::Minal(termin));
}

TEST(Czas, TheRealClockNeverRunsBackwards) {
    const std::uint64_t a = Czas::ZegarMonotoniczny();
    const std::uint64_t b = Czas::ZegarMonotoniczny();
    EXPECT_LE(a, b);
    // It reads like a FILETIME of this century, so deadlines stay far from
    // both special values.
    EXPECT_GT(a, 125'000'000'000'000'000ull);
}

} // namespace
