#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/KontrolaTekstu.h"
#include "core/WersjaProgramu.h"

namespace {

struct Case {
    std::string_view name;
    std::string_view text;
    bool valid;
};

void CheckAll(bool (*check)(std::string_view), const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ": \"" + std::string(c.text) + "\"");
        EXPECT_EQ(check(c.text), c.valid);
    }
}

} // namespace

TEST(PodzielTekst, QuotedDelimiterEmptyFieldAndTrailingDelimiter) {
    struct Split {
        std::string_view name;
        std::string_view line;
        bool unquote;
        std::vector<std::string> fields;
    };
    const std::vector<Split> cases = {
        {"quotes kept", R"(a;"b;c";;d)", false, {"a", R"("b;c")", "", "d"}},
        {"quotes dropped", R"(a;"b;c";;d)", true, {"a", "b;c", "", "d"}},
        {"trailing delimiter", "a;b;", false, {"a", "b"}},
        {"doubled quote kept", R"(x""y;z)", false, {R"(x""y)", "z"}},
        {"doubled quote unquoted", R"(x""y;z)", true, {R"(x"y)", "z"}},
        {"leading empty field", ";a", false, {"", "a"}},
        {"empty line", "", false, {}},
        {"multi-byte text", "zażółć;gęślą", true, {"zażółć", "gęślą"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> fields = {"left over"};
        PodzielTekst(c.line, ';', fields, c.unquote);
        EXPECT_EQ(fields, c.fields);
    }
}

TEST(SprawdzEmail, WholeTextIsAnAddress) {
    CheckAll(SprawdzEmail, {
                               {"plain", "jan.kowalski@example.com", true},
                               {"dash and underscore in name", "jan-k_1@poczta.example.pl", true},
                               {"dash in domain", "a@my-host.info", true},
                               {"dot first in name", ".a@example.com", true},
                               {"no at", "jan.example.com", false},
                               {"top level too long", "a@example.museum", false},
                               {"top level too short", "a@example.c", false},
                               {"no domain dot", "a@localhost", false},
                               {"blank inside", "jan kowalski@example.com", false},
                               {"trailing line end", "a@example.com\n", false},
                               {"text after the address", "a@example.com x", false},
                               {"letter outside ASCII", "łukasz@example.com", false},
                               {"empty", "", false},
                           });
}

TEST(SprawdzCyfry, DigitsWithAtMostOneDash) {
    CheckAll(SprawdzCyfry, {
                               {"dash inside", "12-3", true},
                               {"dash first", "-5", true},
                               {"digits only", "0042", true},
                               {"two dashes", "1-2-3", false},
                               {"dash alone", "-", false},
                               {"letter", "12a", false},
                               {"empty", "", false},
                               {"blank", "1 2", false},
                           });
}

TEST(SprawdzIPv4, FourPartsOfAtMostThreeDigitsUpTo255) {
    CheckAll(SprawdzIPv4, {
                              {"ordinary", "10.0.0.1", true},
                              {"top values", "255.255.255.255", true},
                              {"zeros", "0.0.0.0", true},
                              {"five parts", "1.2.3.4.5", false},
                              {"three parts", "1.2.3", false},
                              {"part over 255", "256.1.1.1", false},
                              {"letter", "a1.2.3.4", false},
                              {"four digits with value below 256", "0001.2.3.4", false},
                              {"empty part", "1..2.3", false},
                              {"trailing dot", "1.2.3.4.", false},
                              {"leading dot", ".1.2.3", false},
                              {"blank", "1.2.3. 4", false},
                              {"sign", "1.2.3.+4", false},
                              {"empty", "", false},
                          });
}

TEST(TekstNaLiczbeWZakresie, FallsBackOutsideRangeOrWhenNotANumber) {
    struct Number {
        std::string_view text;
        int expected;
    };
    const std::vector<Number> cases = {
        {"42", 42},   {"-7", -7},   {"+8", 8},     {"0", 0},       {"100", 100}, {"101", -1},
        {"-11", -1},  {"", -1},     {"4x", -1},    {" 4", -1},     {"4 ", -1},   {"-", -1},
        {"+-5", -1},  {"0x10", -1}, {"99999999999", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(TekstNaLiczbeWZakresie(c.text, -10, 100, -1), c.expected);
    }
    EXPECT_EQ(TekstNaLiczbeWZakresie("2147483647", INT_MIN, INT_MAX, 0), INT_MAX);
}

TEST(NumerNaTekst, FourDigitsAtMost) {
    EXPECT_EQ(NumerNaTekst04(7), "0007");
    EXPECT_EQ(NumerNaTekst04(9999), "9999");
    EXPECT_EQ(NumerNaTekst04(10000), "");
    EXPECT_EQ(NumerNaTekst(7), "7");
    EXPECT_EQ(NumerNaTekst(10000), "");
}

TEST(UsunZnakiZPoczatku, DropsOnlyLeadingCharactersOfTheSet) {
    EXPECT_EQ(UsunZnakiZPoczatku("0012030", "0"), "12030");
    EXPECT_EQ(UsunZnakiZPoczatku(" -0x", " -0"), "x");
    EXPECT_EQ(UsunZnakiZPoczatku("000", "0"), "");
}

TEST(SprawdzListe, SkipsEmptyLinesAndReportsOthers) {
    std::vector<std::string> list;
    EXPECT_TRUE(SprawdzListeAlfanumeryczna({" AB12 ", "", "  ", "x9"}, list));
    EXPECT_EQ(list, (std::vector<std::string>{"AB12", "x9"}));

    list.clear();
    EXPECT_FALSE(SprawdzListeCyfr({"123", "12a", " 4 ", "ż"}, list));
    EXPECT_EQ(list, (std::vector<std::string>{"123", "4"}));
}

TEST(OpisBleduSystemu, GivesTheSystemsText) {
    EXPECT_FALSE(OpisBleduSystemu(ENOENT).empty());
    EXPECT_NE(OpisBleduSystemu(ENOENT), OpisBleduSystemu(EACCES));
}
