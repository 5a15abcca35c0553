#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Checks and conversions of what the operator types into the desk's fields.
// Texts are UTF-8; the delimiters and quotes looked for are ASCII, so a
// multi-byte character is never split.

// Splits a line into fields at the delimiter outside double quotes (see the
// definition for doubled quotes). unquote drops the quoting; a line ending
// in the delimiter yields no trailing empty field.
void PodzielTekst(std::string_view tekst, char separator, std::vector<std::string>& lista, bool bezCudzyslowow);

// The whole text is an e-mail address: name@domain.tld, letters, digits,
// '_', '-' and '.' in the name, a top-level part of 2 to 4 characters.
bool SprawdzEmail(std::string_view tekst);

// At least one digit, nothing but digits and at most one '-' anywhere.
bool SprawdzCyfry(std::string_view tekst);

// The text without its leading characters that occur in znaki.
std::string UsunZnakiZPoczatku(std::string_view tekst, std::string_view znaki);

// The text as a decimal integer (an optional sign, then digits only); the
// default when it is not one or lies outside minimum..maximum.
int TekstNaLiczbeWZakresie(std::string_view tekst, int minimum, int maksimum, int domyslna);

// Decimal text of n below 10000, else empty; the second with four digits.
std::string NumerNaTekst(int n);
std::string NumerNaTekst04(int n);

// Exactly four dot-separated parts of one to three decimal digits, each at
// most 255. Refuses what the address conversion would otherwise read with
// parts quietly dropped or cut (1.2.3.4.5, 1..2.3, 0256.1.1.1).
bool SprawdzIPv4(std::string_view tekst);

// Trimmed lines of letters A-Z, a-z and digits (the first) or only of digits
// (the second) are added to lista; empty lines are skipped; any other line is
// skipped and makes the result false.
bool SprawdzListeAlfanumeryczna(const std::vector<std::string>& linie, std::vector<std::string>& lista);
bool SprawdzListeCyfr(const std::vector<std::string>& linie, std::vector<std::string>& lista);
