// A whole MozgTick over a large estate: 4,096 boards with 6 inputs, 6 outputs
// and a reader each, 1,000 gates and passages, 2,000 logic nodes, 10,000
// logic links and 200,000 identifiers, with codes arriving at four readers in
// every tick. The baseline is a plain loop that touches the same elements'
// fields in the same run. The tick's time is also reported as a share of the
// 10 ms budget.
//
// The event rows go to a data module that keeps them in memory: what is
// measured is the tick's own work, not the database's round trips.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/DataCzas.h"
#include "core/Mozg.h"
#include "core/Object_Brama.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Grupa_Uzytkownikow.h"
#include "core/Object_Grupa_Uzytkownikow_Brama.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Neuron.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Synapsa.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "core/Uslugi.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "bench/support/DuzeOsiedle.h"

namespace {

using namespace bench_osiedle;

void BM_TickBaseline_PetlaPoPolach(benchmark::State& state) {
    Osiedle o;
    std::vector<std::uint8_t> zadane(KartyN);
    for (auto _ : state) {
        o.NoweKody();
        int kody = 0;
        for (int i = 0; i < Czytniki->Rozmiar(); ++i) {
            auto* c = static_cast<Object_Czytnik*>(Czytniki->Element(i));
            kody += c->Karta->Magistrala->JestKod(c->Karta->Adres);
        }
        for (int adres = 0; adres < KartyN; ++adres)
            o.magistrala->ZmienWpis(adres, [](WpisKarty& w) { w.Kod[0] = '\0'; });
        for (int i = 0; i < Wejscia->Rozmiar(); ++i) {
            auto* w = static_cast<Object_Wejscie*>(Wejscia->Element(i));
            const bool stan = (o.magistrala->Wpis(w->Karta->Adres).Wejscia >> (w->Wejscie - 1)) & 1;
            w->Zmiana = stan != w->Stan;
            w->Stan = stan;
        }
        for (int i = 0; i < Przejazdy->Rozmiar(); ++i) {
            auto* p = static_cast<Object_Przejazd*>(Przejazdy->Element(i));
            kody += p->Stan == 2 && p->Czytnik && !p->Czytnik->Kod.empty() && p->WejscieStart->Stan;
        }
        for (int i = 0; i < Bramy->Rozmiar(); ++i) {
            auto* b = static_cast<Object_Brama*>(Bramy->Element(i));
            kody += !b->Otwarta && !b->Zamknieta && b->CzasPolecenia > b->CzasOtwierania;
        }
        for (int i = 0; i < Synapsy->Rozmiar(); ++i) {
            auto* s = static_cast<Object_Synapsa*>(Synapsy->Element(i));
            bool zrodlo = s->Wejscie ? s->Wejscie->Stan : false;
            if (s->NeuronWe)
                zrodlo = s->NeuronWe->AktywneWejscia > 0;
            s->Dostarczony = zrodlo != s->Negacja;
        }
        for (int i = 0; i < Wyjscia->Rozmiar(); ++i) {
            auto* w = static_cast<Object_Wyjscie*>(Wyjscia->Element(i));
            const int adres = w->Karta->Adres;
            if (w->Zadany)
                zadane[adres] |= static_cast<std::uint8_t>(1u << (w->Wyjscie - 1));
            else
                zadane[adres] &= static_cast<std::uint8_t>(~(1u << (w->Wyjscie - 1)));
        }
        benchmark::DoNotOptimize(kody);
        benchmark::DoNotOptimize(zadane.data());
    }
}
BENCHMARK(BM_TickBaseline_PetlaPoPolach)->Unit(benchmark::kMicrosecond);

void BM_MozgTick(benchmark::State& state) {
    Osiedle o;
    for (auto _ : state) {
        o.NoweKody();
        MozgTick();
    }
    int trwa = 0;
    for (int i = 0; i < Przejazdy->Rozmiar(); ++i)
        trwa += static_cast<Object_Przejazd*>(Przejazdy->Element(i))->Trwa();
    state.counters["przejazdy_w_toku"] = trwa;
    state.counters["udzial_10ms_%"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * 1e-4, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MozgTick)->Unit(benchmark::kMicrosecond);

} // namespace
