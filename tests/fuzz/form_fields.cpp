// What the operator types into the desk's fields (core/KontrolaTekstu,
// core/TekstIPv4): field splitting with quotes, e-mail addresses, digit
// strings, numbers in a range, IPv4 addresses and lists of codes. Input: a
// byte choosing the delimiter and the range, then the typed text.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/KontrolaTekstu.h"
#include "core/TekstIPv4.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    static constexpr char separators[] = {',', ';', '\t', '\n', ' ', '.', '"', '-'};
    const char separator = separators[data[0] & 0x07];
    const std::string_view text = fuzz::text(std::span(data + 1, size - 1));

    // Kept quotes: the fields and delimiters are the whole line again (a
    // last empty field is not given).
    std::vector<std::string> fields;
    PodzielTekst(text, separator, fields, false);
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i)
        joined += (i ? std::string(1, separator) : std::string()) + fields[i];
    fuzz::check(joined == text || joined + separator == text);
    PodzielTekst(text, separator, fields, true);

    (void)SprawdzEmail(text);
    (void)SprawdzCyfry(text);
    (void)UsunZnakiZPoczatku(text, " 0");

    const int minimum = (data[0] & 0x08) ? INT_MIN : -100;
    const int maximum = (data[0] & 0x10) ? INT_MAX : 65535;
    const int number = TekstNaLiczbeWZakresie(text, minimum, maximum, 7);
    fuzz::check(number == 7 || (number >= minimum && number <= maximum));

    // An address the check accepts reads back as the same four numbers.
    const std::uint32_t address = TekstNaIPv4(text);
    if (SprawdzIPv4(text))
        fuzz::check(TekstNaIPv4(IPv4NaTekst(address)) == address);

    std::vector<std::string> lines, list;
    PodzielTekst(text, '\n', lines, false);
    (void)SprawdzListeAlfanumeryczna(lines, list);
    (void)SprawdzListeCyfr(lines, list);
    return 0;
}
