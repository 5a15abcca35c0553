#include <gtest/gtest.h>

#include "core/TekstIPv4.h"

namespace {

TEST(TekstIPv4, DottedTextAndNumberTurnIntoEachOther) {
    struct Case {
        const char* tekst;
        std::uint32_t adres;
    };
    const Case cases[] = {
        {"192.168.0.1", 0xC0A80001},
        {"10.0.0.1", 0x0A000001},
        {"127.0.0.1", 0x7F000001},
        {"0.0.0.0", 0},
        {"255.255.255.255", 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tekst);
        EXPECT_EQ(TekstNaIPv4(c.tekst), c.adres);
        EXPECT_EQ(IPv4NaTekst(c.adres), c.tekst);
    }
}

TEST(TekstIPv4, TextThatIsNotAnAddressStillGivesANumber) {
    struct Case {
        const char* tekst;
        std::uint32_t adres;
    };
    const Case cases[] = {
        {"256.1.1.1", 0x00010101},     // low 8 bits of each part
        {"1.2.3.4.5", 0x01020304},     // parts after the fourth ignored
        {"1.2", 0x01020000},           // missing parts are 0
        {"", 0},
        {"1..3.4", 0x01000304},        // an empty part is 0
        {"99999999999.1.1.1", 0xFF010101}, // long runs of digits do not overflow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tekst);
        EXPECT_EQ(TekstNaIPv4(c.tekst), c.adres);
    }
}

} // namespace
