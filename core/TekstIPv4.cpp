#include "core/TekstIPv4.h"

#include <cstdio>

namespace {

// The leading decimal digits of a part; the rest of it is not a number and
// ends the reading, as the desk's number conversion did. Only the low 8 bits
// are kept, so a long run of digits cannot overflow.
std::uint32_t CzescAdresu(std::string_view czesc) {
    std::uint32_t wartosc = 0;
    for (char c : czesc) {
        if (c < '0' || c > '9')
            break;
        wartosc = (wartosc * 10 + static_cast<std::uint32_t>(c - '0')) & 0xFF;
    }
    return wartosc;
}

} // namespace

std::uint32_t TekstNaIPv4(std::string_view tekst) {
    std::uint32_t adres = 0;
    for (int n = 0; n < 4; ++n) {
        const std::size_t kropka = tekst.find('.');
        adres = (adres << 8) | CzescAdresu(tekst.substr(0, kropka));
        tekst = kropka == std::string_view::npos ? std::string_view{} : tekst.substr(kropka + 1);
    }
    return adres;
}

std::string IPv4NaTekst(std::uint32_t adres) {
    char tekst[16];
    std::snprintf(tekst, sizeof tekst, "%i.%i.%i.%i", static_cast<int>(adres >> 24), static_cast<int>((adres >> 16) & 0xFF),
                  static_cast<int>((adres >> 8) & 0xFF), static_cast<int>(adres & 0xFF));
    return tekst;
}
