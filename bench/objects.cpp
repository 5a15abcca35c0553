// Lookups by id and walks with the shared cursor over 100,000 elements, each
// against the plain standard-library loop over the same data as its baseline.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <unordered_map>
#include <vector>

#include "core/Object.h"

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

} // namespace
