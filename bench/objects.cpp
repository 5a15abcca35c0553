// Lookups by id and walks with the shared cursor over 100,000 elements, each
// against the plain standard-library loop over the same data as its baseline;
// the loader's sorts of 200,000 identifiers and 100,000 residents, against
// std::sort of the same keys as plain strings.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Object.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Uzytkownik.h"

namespace {

constexpr int N = 100'000;

class Probka : public Object {
public:
    explicit Probka(int id) : Object(id), stan(id & 1) {}
    int stan;
};

class Elementy : public Objects {
public:
    Object* Utworz(int id) override { return new Probka(id); }
};

// Ids as a loaded table has them: ascending with gaps.
std::vector<int> Identyfikatory() {
    std::vector<int> ids;
    for (int i = 0; i < N; ++i)
        ids.push_back(1 + i * 3);
    return ids;
}

std::vector<int> KolejnoscZapytan(const std::vector<int>& ids) {
    std::vector<int> zapytania(ids);
    std::shuffle(zapytania.begin(), zapytania.end(), std::mt19937(42));
    return zapytania;
}

void BM_ZnajdzBaseline_UnorderedMap(benchmark::State& state) {
    const auto ids = Identyfikatory();
    std::unordered_map<int, Probka*> mapa;
    std::vector<std::unique_ptr<Probka>> elementy;
    for (int id : ids)
        mapa[id] = elementy.emplace_back(std::make_unique<Probka>(id)).get();
    const auto zapytania = KolejnoscZapytan(ids);
    for (auto _ : state)
        for (int id : zapytania)
            benchmark::DoNotOptimize(mapa.find(id)->second);
    state.SetItemsProcessed(state.iterations() * N);
}
BENCHMARK(BM_ZnajdzBaseline_UnorderedMap);

void BM_Znajdz_Objects(benchmark::State& state) {
    const auto ids = Identyfikatory();
    Elementy kontener;
    for (int id : ids)
        kontener.Nowy(id);
    const auto zapytania = KolejnoscZapytan(ids);
    for (auto _ : state)
        for (int id : zapytania)
            benchmark::DoNotOptimize(kontener.Znajdz(id));
    state.SetItemsProcessed(state.iterations() * N);
}
BENCHMARK(BM_Znajdz_Objects);

void BM_SpacerBaseline_Vector(benchmark::State& state) {
    std::vector<std::unique_ptr<Probka>> elementy;
    for (int id : Identyfikatory())
        elementy.push_back(std::make_unique<Probka>(id));
    for (auto _ : state) {
        int suma = 0;
        for (const auto& element : elementy)
            suma += element->stan;
        benchmark::DoNotOptimize(suma);
    }
    state.SetItemsProcessed(state.iterations() * N);
}
BENCHMARK(BM_SpacerBaseline_Vector);

void BM_Spacer_Kursor(benchmark::State& state) {
    Elementy kontener;
    for (int id : Identyfikatory())
        kontener.Nowy(id);
    for (auto _ : state) {
        int suma = 0;
        for (Object* element = kontener.Pierwszy(); element; element = kontener.Nastepny())
            suma += static_cast<Probka*>(element)->stan;
        benchmark::DoNotOptimize(suma);
    }
    state.SetItemsProcessed(state.iterations() * N);
}
BENCHMARK(BM_Spacer_Kursor);

constexpr int Identyfikatorow = 200'000;
constexpr int Mieszkancow = 100'000;

// Serials as remote controls carry them: 12 lower-case hex characters.
std::vector<std::string> NumerySeryjne() {
    std::mt19937_64 los(7);
    std::vector<std::string> numery;
    char tekst[16];
    for (int i = 0; i < Identyfikatorow; ++i) {
        std::snprintf(tekst, sizeof tekst, "%012llx", static_cast<unsigned long long>(los() & 0xFFFFFFFFFFFFull));
        numery.emplace_back(tekst);
    }
    return numery;
}

void BM_SortujIdentyfikatoryBaseline_StdSort(benchmark::State& state) {
    const auto numery = NumerySeryjne();
    for (auto _ : state) {
        state.PauseTiming();
        auto kopia = numery;
        state.ResumeTiming();
        std::sort(kopia.begin(), kopia.end());
        benchmark::DoNotOptimize(kopia.data());
    }
    state.SetItemsProcessed(state.iterations() * Identyfikatorow);
}
BENCHMARK(BM_SortujIdentyfikatoryBaseline_StdSort)->Unit(benchmark::kMillisecond);

// Sortuj shuffles first, so every round sorts a fresh order.
void BM_SortujIdentyfikatory_Sortuj(benchmark::State& state) {
    Objects_Identyfikatory kontener;
    kontener.Rezerwuj(Identyfikatorow);
    int id = 0;
    for (const auto& numer : NumerySeryjne())
        kontener.DodajRekord(++id, 0, 0, 1, numer, 0, 0, {}, {}, {});
    for (auto _ : state)
        kontener.Sortuj(0);
    state.SetItemsProcessed(state.iterations() * Identyfikatorow);
}
BENCHMARK(BM_SortujIdentyfikatory_Sortuj)->Unit(benchmark::kMillisecond);

struct Mieszkaniec {
    std::string nazwisko, imie;
};

// Names as a migrated estate has them, loaded in id order, not in name order.
std::vector<Mieszkaniec> Mieszkancy() {
    std::vector<int> numery(Mieszkancow);
    for (int i = 0; i < Mieszkancow; ++i)
        numery[i] = i + 1;
    std::shuffle(numery.begin(), numery.end(), std::mt19937(11));
    std::vector<Mieszkaniec> mieszkancy;
    for (int numer : numery)
        mieszkancy.push_back({"Nazwisko " + std::to_string(numer), "Imię " + std::to_string(numer)});
    return mieszkancy;
}

void BM_SortujMieszkancowBaseline_StdSort(benchmark::State& state) {
    std::vector<std::string> klucze;
    for (const auto& m : Mieszkancy())
        klucze.push_back(m.nazwisko);
    for (auto _ : state) {
        state.PauseTiming();
        auto kopia = klucze;
        state.ResumeTiming();
        std::sort(kopia.begin(), kopia.end());
        benchmark::DoNotOptimize(kopia.data());
    }
    state.SetItemsProcessed(state.iterations() * Mieszkancow);
}
BENCHMARK(BM_SortujMieszkancowBaseline_StdSort)->Unit(benchmark::kMillisecond);

void BM_SortujMieszkancow_Sortuj(benchmark::State& state) {
    Objects_Uzytkownicy kontener;
    kontener.Rezerwuj(Mieszkancow);
    int id = 0;
    for (const auto& m : Mieszkancy())
        kontener.DodajRekord(++id, 0, m.imie, m.nazwisko, "ul. Długa 1", "00-950", "Warszawa", "", 0, false, "");
    for (auto _ : state)
        kontener.Sortuj(0);
    state.SetItemsProcessed(state.iterations() * Mieszkancow);
}
BENCHMARK(BM_SortujMieszkancow_Sortuj)->Unit(benchmark::kMillisecond);

} // namespace
