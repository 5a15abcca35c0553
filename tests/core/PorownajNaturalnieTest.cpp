#include <gtest/gtest.h>

#include <string_view>

#include "core/Object.h"

namespace {

int Znak(int c) { return (c > 0) - (c < 0); }

TEST(PorownajNaturalnie, OrdersNamesAsAPersonReadsThem) {
    struct Case {
        std::string_view name, a, b;
        int expected;
    };
    const Case cases[] = {
        {"numbers by value", "Brama 2", "Brama 10", -1},
        {"leading zeros are the same number", "010a", "10b", -1},
        {"equal numbers, equal rest", "Klatka 007", "Klatka 7", 0},
        {"case differs first: the whole rest as text", "a10", "A9", -1},
        {"case alone is no difference", "BRAMA", "brama", 0},
        {"run of 12 digits beyond 32 bits", "x999999999999", "x1000000000000", -1},
        {"runs longer than any integer", "12345678901234567890123", "12345678901234567890124", -1},
        {"longer run is larger", "99999999999", "100000000000", -1},
        {"prefix sorts first", "Brama", "Brama 1", -1},
        {"empty sorts first", "", "a", -1},
        {"both empty", "", "", 0},
        {"Ą after A", "Ąb", "Az", 1},
        {"Ą before B", "Ąz", "Ba", -1},
        {"Ł after L, before M", "Łódź", "Lz", 1},
        {"Ł before M", "Łz", "Ma", -1},
        {"upper Ł as lower ł", "ŁÓDŹ", "łódź", 0},
        {"Ś after S", "Śląsk", "Sz", 1},
        {"Ż after Ź", "Żabka", "Źrebię", 1},
        {"Ź after Z", "Źrebię", "Zz", 1},
        {"ó after o, before p", "ół", "oz", 1},
        {"Polish letter differs mid-word", "Łąka", "Łaka", 1},
        {"digits before letters", "1", "a", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Znak(Objects::PorownajNaturalnie(c.a, c.b)), c.expected);
        EXPECT_EQ(Znak(Objects::PorownajNaturalnie(c.b, c.a)), -c.expected);
    }
}

} // namespace
