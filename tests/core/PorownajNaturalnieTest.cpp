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
        {"signs before digits", "a-", "a1", -1},
        {"letters compare without case at the first difference", "aZ", "ab", 1},
        {"case variants first, later numbers as text", "Ab10", "aB9", -1},
        {"numbers before any difference by value", "ab10", "ab9", 1},
        {"zero is the same number as zeros", "0", "00", 0},
        {"empty before a number", "", "0", -1},
        {"number is a prefix", "a1", "a1b", -1},
        {"equal run longer than 20 digits, then the text", "a000123456789012345678901234b", "a123456789012345678901234a", 1},
        {"run longer than 20 digits against a short one", "123456789012345678901", "99999999999999999999", 1},
        {"Ł after L with the rest as text", "Łódź", "Lodz", 1},
        {"ł mid-word after l", "Zabłocie", "Zablocie", 1},
        {"Z after Ł", "Zabłocie", "Łódź", 1},
        {"ó after o in lower case", "łódź", "Lodz", 1},
        {"stray bytes by value", "a\xff", "a\xfe", 1},
        {"stray byte after every letter", "a\xff", "aż", 1},
        {"equal stray bytes are skipped", "\xff" "b", "\xff" "a", 1},
        {"cut character is a stray byte", "x\xc5", "x\xc5\x82", 1},
        {"same lead byte, Ł against a stray byte", "x\xc5\x81", "x\xc5" "A", -1},
        {"long equal prefix, then numbers by value", "Nazwisko 12345", "Nazwisko 9999", 1},
        {"digit run reaching past a long equal prefix", "abcdefg12x", "abcdefg1x", 1},
        {"case variants of a Polish letter across a long prefix", "abcdefgła", "abcdefgŁb", -1},
        {"other diacritics after every base letter", "é", "ez", 1},
        {"other diacritics before the next letter", "éz", "f", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Znak(Objects::PorownajNaturalnie(c.a, c.b)), c.expected);
        EXPECT_EQ(Znak(Objects::PorownajNaturalnie(c.b, c.a)), -c.expected);
    }
}

} // namespace
