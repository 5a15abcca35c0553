#pragma once
#include <string>
#include <string_view>

// Windows-1250 text (the code page older versions of the desk wrote their
// files in) as UTF-8. Each of the five bytes Windows-1250 leaves undefined
// (0x81, 0x83, 0x88, 0x90, 0x98) becomes U+FFFD, the replacement character:
// the rest of the text still arrives, and the gap stays visible instead of
// vanishing or passing through as a byte that is not UTF-8. Throws
// std::runtime_error only when the system has no Windows-1250 converter.
std::string Cp1250NaUtf8(std::string_view tekst);

// The C library's tolower in the "C" locale: bytes of other scripts stay.
constexpr char MalaLitera(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string MaleLitery(std::string tekst);
