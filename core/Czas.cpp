#include "core/Czas.h"

#include <chrono>
#include <cstdint>
#include <limits>
#include <mutex>

namespace {

constexpr std::uint64_t JednostekNaSekunde = 10'000'000;
// 100 ns units between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t Epoka1601 = 116'444'736'000'000'000ull;

std::mutex straz;
std::uint64_t migawka = Czas::ZegarMonotoniczny();
Czas::Zrodlo zrodlo = nullptr;

std::uint64_t Jednostki(std::chrono::nanoseconds ns) { return static_cast<std::uint64_t>(ns.count() / 100); }

} // namespace

std::uint64_t Czas::ZegarMonotoniczny() {
    using namespace std::chrono;
    static const std::uint64_t przesuniecie =
        Epoka1601 + Jednostki(system_clock::now().time_since_epoch()) - Jednostki(steady_clock::now().time_since_epoch());
    return przesuniecie + Jednostki(steady_clock::now().time_since_epoch());
}

void Czas::UstawZrodlo(Zrodlo nowe) {
    std::lock_guard blokada(straz);
    zrodlo = nowe;
}

void Czas::Migawka() {
    std::lock_guard blokada(straz);
    migawka = zrodlo ? zrodlo() : ZegarMonotoniczny();
}

std::uint64_t Czas::Teraz() {
    std::lock_guard blokada(straz);
    return migawka;
}

std::uint64_t Czas::Za(double sekundy) {
    if (sekundy == 4294967295.0)
        return static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const auto przyrost = static_cast<std::int64_t>(sekundy * static_cast<double>(JednostekNaSekunde));
    std::lock_guard blokada(straz);
    return migawka + static_cast<std::uint64_t>(przyrost);
}

std::uint32_t Czas::TickMs() {
    std::uint64_t jednostki;
    {
        std::lock_guard blokada(straz);
        jednostki = zrodlo ? zrodlo() : ZegarMonotoniczny();
    }
    return static_cast<std::uint32_t>(jednostki / 10'000);
}

bool Czas::Minal(std::uint64_t termin) { return termin <= Teraz(); }
