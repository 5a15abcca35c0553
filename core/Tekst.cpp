#include "core/Tekst.h"

#include <iconv.h>

#include <array>
#include <stdexcept>

namespace {

constexpr std::string_view kZnakZastepczy = "\xEF\xBF\xBD"; // U+FFFD

using Tablica = std::array<std::string, 128>;

// The upper half of the code page, asked of iconv once: a line of a file is
// then converted by lookup, with no converter opened per line.
Tablica ZbudujTablice() {
    const iconv_t cd = iconv_open("UTF-8", "WINDOWS-1250");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv has no WINDOWS-1250 converter");
    Tablica tablica;
    for (int i = 0; i < 128; ++i) {
        char bajt = static_cast<char>(0x80 + i);
        char wynik[8];
        char* in = &bajt;
        std::size_t inLeft = 1;
        char* out = wynik;
        std::size_t outLeft = sizeof wynik;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        if (rc == static_cast<std::size_t>(-1) || inLeft != 0 || out == wynik)
            tablica[i] = kZnakZastepczy;
        else
            tablica[i].assign(wynik, out);
    }
    iconv_close(cd);
    return tablica;
}

} // namespace

std::string Cp1250NaUtf8(std::string_view tekst) {
    static const Tablica tablica = ZbudujTablice();
    std::string wynik;
    wynik.reserve(tekst.size() + tekst.size() / 4);
    for (const char c : tekst) {
        const auto bajt = static_cast<unsigned char>(c);
        if (bajt < 0x80)
            wynik += c;
        else
            wynik += tablica[bajt - 0x80];
    }
    return wynik;
}

std::string MaleLitery(std::string tekst) {
    for (char& c : tekst)
        c = MalaLitera(c);
    return tekst;
}
