#pragma once
#include <cstdint>

// The logic's clock: one snapshot of "now" per tick, in 100 ns units, that
// every deadline of the tick compares against. The snapshot comes from a
// monotonic clock (offset to read like a FILETIME when the program started),
// so deadlines, delays and hold times never jump when the wall clock is set
// or changes for daylight saving.
class Czas {
public:
    using Zrodlo = std::uint64_t (*)();

    static void Migawka();
    static std::uint64_t Teraz();
    // The snapshot plus the seconds; 4294967295 seconds is "never".
    static std::uint64_t Za(double sekundy);
    // Deadline 0 has always passed; Nigdy() never does.
    static bool Minal(std::uint64_t termin);
    static constexpr std::uint64_t Nigdy() { return ~std::uint64_t{0}; }
    static constexpr std::uint64_t Zero() { return 0; }

    // Replaces the monotonic clock (tests); null restores it.
    static void UstawZrodlo(Zrodlo zrodlo);
    static std::uint64_t ZegarMonotoniczny();
    // Milliseconds of the same source as the snapshot, read now, for pulse
    // patterns timed like a system tick count: it wraps every 49.7 days, so
    // callers compare only unsigned 32-bit differences.
    static std::uint32_t TickMs();
};
