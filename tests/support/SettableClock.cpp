#include "tests/support/SettableClock.h"

#include <atomic>

#include "core/Czas.h"

namespace {
std::atomic<std::uint64_t> current{0};
std::uint64_t read() { return current.load(); }
} // namespace

SettableClock::SettableClock(std::uint64_t start) {
    current = start;
    Czas::UstawZrodlo(&read);
    Czas::Migawka();
}

SettableClock::~SettableClock() { Czas::UstawZrodlo(nullptr); }

void SettableClock::set(std::uint64_t units) { current = units; }

void SettableClock::advance(double seconds) { current += static_cast<std::uint64_t>(seconds * 10'000'000.0); }

std::uint64_t SettableClock::now() const { return current.load(); }
