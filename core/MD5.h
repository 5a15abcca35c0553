#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using SkrotMD5 = std::array<std::uint8_t, 16>;

// MD5 of RFC 1321.
SkrotMD5 ObliczMD5(const void* dane, std::size_t dlugosc);

// 32 upper-case hexadecimal digits, byte by byte, high half first.
std::string SkrotNaTekst(const SkrotMD5& skrot);

// UTF-8 text as Windows-1250 bytes, the code page older databases stored
// passwords in; nothing when a character has no Windows-1250 form.
std::optional<std::string> Utf8NaCp1250(std::string_view tekst);

// The digest text of an operator's password: MD5 over its Windows-1250
// bytes, so digests stored by older databases still match. A password with a
// character outside Windows-1250 (which no older database could hold) is
// digested over its UTF-8 bytes.
std::string SkrotHasla(std::string_view haslo);
