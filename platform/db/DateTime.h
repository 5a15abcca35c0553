#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace platform::db {

// A wall-clock date and time without a zone, to the microsecond: what a
// `timestamp` (without time zone) column holds. A `date` column reads as its
// midnight.
using DateTime = std::chrono::local_time<std::chrono::microseconds>;

// "YYYY-MM-DD HH:MM:SS", with ".ffffff" when there are microseconds.
std::string formatDateTime(DateTime value);

// Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "YYYY-MM-DD HH:MM:SS.f" with
// one to six fraction digits ('T' also separates date and time). A trailing
// zone offset, as the server writes a timestamptz, is skipped. nullopt for
// anything else, including impossible dates and years outside 1-9999.
std::optional<DateTime> parseDateTime(std::string_view text);

// The local wall-clock time now.
DateTime localNow();

} // namespace platform::db
