// Identifier lookup by kind and serial at 200,000 identifiers: the indexed
// ZnajdzNumer against the plain scan of the display order it replaced, on
// the same queries, half of them misses and half random hits in any case.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <strings.h>
#include <vector>

#include "core/Object_Identyfikator.h"

namespace {

constexpr int N = 200'000;
constexpr int Zapytan = 1'024;

struct Zapytanie {
    int rodzaj;
    std::string numer;
};

struct Dane {
    Objects_Identyfikatory identyfikatory;
    std::vector<Zapytanie> zapytania;
};

// The baseline: position by position over the display order, kind first,
// then the C library's case-insensitive compare.
Object_Identyfikator* ZnajdzLiniowo(const Objects_Identyfikatory& kontener, int rodzaj, std::string_view numer) {
    if (rodzaj < 1 || rodzaj > 4)
        return nullptr;
    for (int i = 0; i < kontener.Ilosc(); ++i) {
        auto* e = static_cast<Object_Identyfikator*>(kontener.Element(i));
        const std::string& serial = e->NumerSeryjny().str();
        if (e->Rodzaj() == rodzaj && serial.size() == numer.size() &&
            strncasecmp(serial.data(), numer.data(), numer.size()) == 0)
            return e;
    }
    return nullptr;
}

std::string Hex(std::uint32_t n) {
    char tekst[16];
    std::snprintf(tekst, sizeof tekst, "%x", n);
    return tekst;
}

// Transponder-like serials: random 32-bit numbers in lower-case hex, as the
// loader keeps them. Misses are numbers of the upper half, which the stored
// serials never use.
Dane& WspolneDane() {
    static Dane* dane = [] {
        auto* d = new Dane;
        std::mt19937 los(2024);
        for (int id = 1; id <= N; ++id)
            d->identyfikatory.DodajRekord(id, 0, 0, 1 + static_cast<int>(los() % 4), Hex(los() & 0x7fffffffu), 0, 0,
                                          {}, {}, {});
        for (int i = 0; i < Zapytan; ++i) {
            if (i % 2 == 0) {
                auto* e = static_cast<Object_Identyfikator*>(d->identyfikatory.Element(static_cast<int>(los() % N)));
                std::string numer = e->NumerSeryjny().str();
                if (los() % 2)
                    for (char& c : numer)
                        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                d->zapytania.push_back({e->Rodzaj(), numer});
            } else {
                d->zapytania.push_back({1 + static_cast<int>(los() % 4), Hex(los() | 0x80000000u)});
            }
        }
        return d;
    }();
    return *dane;
}

bool TeSameWyniki(const Dane& d) {
    for (const Zapytanie& z : d.zapytania)
        if (d.identyfikatory.ZnajdzNumer(z.rodzaj, z.numer) != ZnajdzLiniowo(d.identyfikatory, z.rodzaj, z.numer))
            return false;
    return true;
}

void BM_ZnajdzNumerBaseline_Liniowo(benchmark::State& state) {
    const Dane& d = WspolneDane();
    std::size_t i = 0;
    for (auto _ : state) {
        const Zapytanie& z = d.zapytania[i++ % d.zapytania.size()];
        benchmark::DoNotOptimize(ZnajdzLiniowo(d.identyfikatory, z.rodzaj, z.numer));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ZnajdzNumerBaseline_Liniowo);

void BM_ZnajdzNumer_Indeks(benchmark::State& state) {
    const Dane& d = WspolneDane();
    if (!TeSameWyniki(d)) {
        state.SkipWithError("the index and the scan disagree");
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const Zapytanie& z = d.zapytania[i++ % d.zapytania.size()];
        benchmark::DoNotOptimize(d.identyfikatory.ZnajdzNumer(z.rodzaj, z.numer));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ZnajdzNumer_Indeks);

// The first lookup after the container changed: the whole index is rebuilt.
void BM_ZnajdzNumer_PrzebudowaIndeksu(benchmark::State& state) {
    Dane& d = WspolneDane();
    auto* e = static_cast<Object_Identyfikator*>(d.identyfikatory.Element(0));
    const int rodzaj = e->Rodzaj();
    for (auto _ : state) {
        e->UstawRodzaj(rodzaj);
        benchmark::DoNotOptimize(d.identyfikatory.ZnajdzNumer(d.zapytania[0].rodzaj, d.zapytania[0].numer));
    }
}
BENCHMARK(BM_ZnajdzNumer_PrzebudowaIndeksu)->Unit(benchmark::kMillisecond);

} // namespace
