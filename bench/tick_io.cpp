// The tick's board steps (readers, inputs, outputs) at a full bus: 4,096
// boards with 6 inputs, 6 outputs and a reader each, against a plain loop
// over the same fields of an image snapshot. The per-iteration time is also
// reported as a share of the 10 ms tick.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "core/Mozg.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "bench/support/PelnaMagistrala.h"

namespace {

constexpr int Karty_ = LiczbaAdresowMagistrali;
constexpr int Piny = 6;

// The model of a full bus, linked as after a start; inputs alternate so the
// scans have work to do.
struct PelnaMagistrala {
    PelnaMagistrala() {
        ObiektyUtworz();
        ZbudujMagistrale(Karty_, Piny);
        ObiektyInicjalizuj();
    }
    ~PelnaMagistrala() { ObiektyUsun(); }
};

void BM_KrokiKartBaseline_PetlaPoMigawce(benchmark::State& state) {
    PelnaMagistrala model;
    auto* magistrala = static_cast<Object_Magistrala*>(Magistrale->Znajdz(1));
    std::vector<WpisKarty> migawka(Karty_);
    for (int adres = 0; adres < Karty_; ++adres)
        migawka[adres] = magistrala->Wpis(adres);
    std::vector<bool> stany(Karty_ * Piny);
    std::vector<std::uint8_t> zadane(Karty_);
    std::vector<int> kody(Karty_);
    for (auto _ : state) {
        for (int adres = 0; adres < Karty_; ++adres) {
            const WpisKarty& wpis = migawka[adres];
            kody[adres] = wpis.Kod[0] != '\0';
            std::uint8_t wyjscia = 0;
            for (int n = 0; n < Piny; ++n) {
                stany[adres * Piny + n] = (wpis.Wejscia >> n) & 1;
                if ((adres + n + 1) % 2)
                    wyjscia |= static_cast<std::uint8_t>(1u << n);
            }
            zadane[adres] = wyjscia;
        }
        benchmark::DoNotOptimize(stany);
        benchmark::DoNotOptimize(zadane.data());
        benchmark::DoNotOptimize(kody.data());
    }
}
BENCHMARK(BM_KrokiKartBaseline_PetlaPoMigawce)->Unit(benchmark::kMicrosecond);

void BM_KrokiKart_SkanujISteruj(benchmark::State& state) {
    PelnaMagistrala model;
    for (auto _ : state) {
        Czytniki->Skanuj();
        Wejscia->Skanuj();
        Wyjscia->Krok();
    }
    state.counters["udzial_10ms_%"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * 1e-4, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_KrokiKart_SkanujISteruj)->Unit(benchmark::kMicrosecond);

} // namespace
