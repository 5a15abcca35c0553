// The closing step of the event log with 100 active event kinds, after 1,000
// and after 1,000,000 events were closed in the run: the step walks only the
// open events, so the two should cost the same (at most 1.1x). The share of
// the 10 ms tick is shown as the counter "tick_share".
//
// The event rows go to an in-memory writer that numbers them: what is timed
// here is the step's walk, which writes nothing while no kind ends, and a
// million round trips to a server would only slow the set-up.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/Czas.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "core/Uslugi.h"

namespace {

class NumerowanyDziennik : public DaneModelu {
public:
    void ZapiszZdarzenie(WierszZdarzenia, const IdWiersza& id) override { *id = ++ostatni_; }
    void ZakonczZdarzenie(const IdWiersza&, DataCzas) override {}
    void ZapiszZmiane(ZmianaWiersza) override {}

private:
    std::int32_t ostatni_ = 0;
};

std::uint64_t zegar = 133'000'000'000'000'000ull;
std::uint64_t Zegar() { return zegar; }

void KrokZamykania(benchmark::State& state) {
    NumerowanyDziennik dziennik;
    UstawDaneModelu(&dziennik);
    Czas::UstawZrodlo(Zegar);
    ObiektyUtworz();
    Czas::Migawka();

    constexpr int Aktywne = 100;
    for (int id = 1; id <= Aktywne; ++id)
        RodzajeZdarzen->DodajRekord(id, "aktywny", 0, 0, 0, 0, 0, "")->Wlacz();
    auto* przelotny = RodzajeZdarzen->DodajRekord(Aktywne + 1, "przelotny", 0, 0, 0, 0, 0, "");
    RodzajeZdarzen->Krok();
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        przelotny->Wlacz();
        RodzajeZdarzen->Krok();
        przelotny->Wylacz();
        Zdarzenia->ZakonczZdarzenia();
    }

    for (auto _ : state) {
        Zdarzenia->ZakonczZdarzenia();
        benchmark::ClobberMemory();
    }
    state.counters["open"] = static_cast<double>(Zdarzenia->IloscOtwartych());
    state.counters["kept"] = static_cast<double>(Zdarzenia->Ilosc());
    state.counters["tick_share"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 0.010,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);

    ObiektyUsun();
    Czas::UstawZrodlo(nullptr);
    UstawDaneModelu(nullptr);
}

} // namespace

BENCHMARK(KrokZamykania)->Arg(1'000)->Arg(1'000'000)->Unit(benchmark::kNanosecond);
