#pragma once
#include <cstddef>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>

// Replaces the whole database with a file of SQL lines written against the
// schema of version 1.0: every table is dropped, the 1.0 schema built, the
// file's lines run (an INSERT of a key that exists is skipped) and the key
// sequences set one above the largest imported key. The caller then brings
// the database up to date with the migration chain.
//
// All of it is one transaction: on any failure (the file missing or
// unreadable, a line longer than ImportMaksDlugoscLinii bytes or holding a
// NUL byte, a statement the server refuses, a line that mixes a statement
// skipped below with others) it is rolled back, the previous database is
// left as it was, and the result is false.
//
// The file is Windows-1250 text, one statement per line, lines ending in LF
// or CR LF; a last line without LF runs too. Lines that are empty, hold only
// comments, or hold only statements that would end or restart the import's
// transaction or change the session's settings are skipped (see Import.cpp).
bool ImportujBaze(const std::string& sciezka);

// The read buffer is 1 MiB and a line must fit in it with a byte to spare.
inline constexpr std::size_t ImportRozmiarBufora = 1u << 20;
inline constexpr std::size_t ImportMaksDlugoscLinii = ImportRozmiarBufora - 1;

// The two halves of reading the file, apart from the server (the fuzz
// target runs them on any bytes).
//
// What the import does with one line (its bytes without the line feed):
// skips it, runs it, or refuses it and fails. A line holding a NUL byte is
// refused; any other is converted from Windows-1250 to UTF-8 (tekst) and
// classified by the statements it holds.
struct LiniaImportu {
    enum class Rodzaj { Pomin, Wykonaj, Odrzuc };
    Rodzaj rodzaj = Rodzaj::Odrzuc;
    std::string tekst;
};
LiniaImportu RozpoznajLinieImportu(std::string_view bajty);

// Reads the file through the buffer and hands each line to linia, without
// its LF (a CR before it stays); the last line without LF too. False when
// linia returns false, a line does not fit the buffer with a byte to spare,
// or a read fails.
bool CzytajLinieImportu(std::FILE* plik, std::span<char> bufor,
                        const std::function<bool(std::string_view)>& linia);
