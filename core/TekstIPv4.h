#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// An IPv4 address as the dotted text the operator types and the 32-bit
// number the tables keep, the first part in the top byte.

// Each part is read as a decimal number of which the low 8 bits count; parts
// after the fourth are ignored, a missing or non-numeric part counts as 0.
std::uint32_t TekstNaIPv4(std::string_view tekst);
// "%i.%i.%i.%i" of the four bytes, top byte first.
std::string IPv4NaTekst(std::uint32_t adres);
