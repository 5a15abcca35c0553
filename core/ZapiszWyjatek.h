#pragma once
#include <exception>
#include <string>
#include <string_view>

// The exception log: "kandor_exception.log" in the user's documents folder,
// appended to by any thread, one entry of four CRLF lines per failure:
// local time, "source : line", message and stack trace, an empty line.
// Best effort: a failure to write is silent.
void ZapiszWyjatek(const std::exception& wyjatek, std::string_view zrodlo, int linia);
void ZapiszWyjatek(std::string_view komunikat, std::string_view zrodlo, int linia);

// The user's documents folder from the XDG user-dirs settings, "~/Documents"
// when none is set; empty when there is no home folder.
std::string FolderDokumentow();
