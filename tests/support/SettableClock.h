#pragma once
#include <cstdint>

// Replaces the logic clock's source while it lives; time moves only when the
// test moves it.
class SettableClock {
public:
    explicit SettableClock(std::uint64_t start = 133'000'000'000'000'000ull);
    ~SettableClock();
    SettableClock(const SettableClock&) = delete;
    SettableClock& operator=(const SettableClock&) = delete;

    void set(std::uint64_t units);
    void advance(double seconds);
    std::uint64_t now() const;
};
