#include "core/MD5.h"

#include <gtest/gtest.h>

namespace {

std::string Md5Text(std::string_view bytes) { return SkrotNaTekst(ObliczMD5(bytes.data(), bytes.size())); }

TEST(MD5, MatchesReferenceVectors) {
    struct Case { std::string_view name; std::string input; std::string_view digest; };
    const Case cases[] = {
        // RFC 1321, appendix A.5
        {"empty", "", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"alphabet", "abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"alphanumerics", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"80 digits", "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
        // padding edges: the length still fits the last block (55), just does
        // not (56), whole blocks (64, 128 is 2x64) and the bytes around them
        {"55 bytes", std::string(55, 'a'), "EF1772B6DFF9A122358552954AD0DF65"},
        {"56 bytes", std::string(56, 'a'), "3B0C8AC703F828B04C6C197006D17218"},
        {"63 bytes", std::string(63, 'a'), "B06521F39153D618550606BE297466D5"},
        {"64 bytes", std::string(64, 'a'), "014842D480B571495A4A0363793F7367"},
        {"65 bytes", std::string(65, 'a'), "C743A45E0D2E6A95CB859ADAE0248435"},
        {"119 bytes", std::string(119, 'a'), "8A7BD0732ED6A28CE75F6DABC90E1613"},
        {"120 bytes", std::string(120, 'a'), "5F61C0CCAD4CAC44C75FF505E1F1E537"},
        {"a million bytes", std::string(1'000'000, 'a'), "7707D6AE4E027C70EEA2A935C2296F21"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Md5Text(c.input), c.digest);
    }
}

TEST(MD5, TextIsUpperCaseHighHalfFirst) {
    SkrotMD5 skrot{};
    skrot[0] = 0x0F;
    skrot[1] = 0xA0;
    skrot[15] = 0xFF;
    EXPECT_EQ(SkrotNaTekst(skrot), "0FA0" + std::string(26, '0') + "FF");
}

TEST(MD5, Cp1250ConversionRefusesWhatItCannotHold) {
    struct Case { std::string_view name; std::string_view utf8; std::optional<std::string> cp1250; };
    const Case cases[] = {
        {"ascii", "Haslo1", "Haslo1"},
        {"polish letters", "Zażółć", std::string("Za\xBF\xF3\xB3\xE6")},
        {"euro sign", "€", std::string("\x80")},
        {"empty", "", ""},
        {"letter outside the code page", "mañana", std::nullopt},
        {"cjk", "Hasło日", std::nullopt},
        {"broken utf-8", "ab\xC5", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8NaCp1250(c.utf8), c.cp1250);
    }
}

TEST(MD5, PasswordIsDigestedOverItsCp1250Bytes) {
    // printf 'Zażółć' | iconv -f utf-8 -t cp1250 | md5sum
    EXPECT_EQ(SkrotHasla("Zażółć"), "9B501881E611131B171E7D564377243B");
    // the digest of the UTF-8 bytes, which older databases never stored
    EXPECT_NE(SkrotHasla("Zażółć"), Md5Text("Zażółć"));
    EXPECT_EQ(Md5Text("Zażółć"), "F1607CD9ABC293D131AF748F41DC9556");

    EXPECT_EQ(SkrotHasla(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(SkrotHasla("abc"), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(MD5, PasswordOutsideCp1250IsDigestedOverUtf8) {
    // printf 'Hasło日' | md5sum
    EXPECT_EQ(SkrotHasla("Hasło日"), "F980B182AC7294252A57CD6FCF702A30");
}

} // namespace
