// The tick of the large estate, with codes arriving at four readers in every
// tick, writing its events through the writer: to a server that answers,
// and to one that accepts the connection and then never answers. The tick
// only queues, so it must run as fast while the server is silent as while
// it is up: the ratio of the two, measured in the same run, stays at 1.
//
// On a shared machine the large estate's tick (memory-bound) wanders in
// speed by a quarter from one fraction of a second to the next, far more
// than the writer could change it, so the two variants take turns every 20
// ticks over the same estate, each with its own writer that lives through
// all the rounds; then both see the same machine. The answering server's
// writer finishes a round's rows a millisecond or two into the next round,
// which may be the silent variant's.
//
// What the silent server's writer has queued by the end stays far below
// the queue's bound, so the same events are handed over in both variants
// and none is dropped (counted as przepelnienie if ever one were).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "bench/support/DuzeOsiedle.h"
#include "bench/support/ScratchDatabase.h"
#include "bench/support/SilentServer.h"
#include "core/Mozg.h"
#include "core/Uslugi.h"
#include "database/PisarzBazy.h"
#include "platform/db/Connection.h"
#include "platform/db/Query.h"

namespace {

using namespace bench_osiedle;
using namespace std::chrono;
namespace db = platform::db;

constexpr int Rundy = 500;
constexpr int TaktyRozgrzewki = 300;
constexpr int TaktyRundy = 20;

// The data module's part the tick uses, as TDM does it: every write goes to
// the writer, which is told the connection's settings each time.
class DaneDoPisarza : public DaneModelu {
public:
    explicit DaneDoPisarza(const db::Connection& polaczenie) : polaczenie_(polaczenie) {}

    void ZapiszZdarzenie(WierszZdarzenia wiersz, const IdWiersza& id) override {
        ++Zapisy;
        Wiersze += wiersz.tabela == TabelaZdarzen::Zdarzenia;
        Pisarz.UstawPolaczenie(polaczenie_);
        Pisarz.Zapisz(std::move(wiersz), id);
    }
    void ZakonczZdarzenie(const IdWiersza& id, DataCzas koniec) override {
        ++Zapisy;
        Pisarz.UstawPolaczenie(polaczenie_);
        Pisarz.Zakoncz(id, koniec);
    }
    void ZapiszZmiane(ZmianaWiersza zmiana) override {
        ++Zapisy;
        Pisarz.UstawPolaczenie(polaczenie_);
        Pisarz.Zmien(std::move(zmiana));
    }

    PisarzBazy Pisarz;
    std::size_t Zapisy = 0; // handed over
    std::size_t Wiersze = 0; // of those, rows of zdarzenia

private:
    const db::Connection& polaczenie_;
};

// The writer logs an outage, and what it could not write, to the exception
// log in the user's documents, which the desk on this machine uses too: the
// benchmark's own outages go to a folder of its own.
class WlasnyFolderDomowy {
public:
    WlasnyFolderDomowy() {
        std::string wzor = (std::filesystem::temp_directory_path() / "kandor-bench.XXXXXX").string();
        if (const char* dom = std::getenv("HOME"))
            poprzedni_ = dom;
        if (mkdtemp(wzor.data())) {
            folder_ = wzor;
            setenv("HOME", folder_.c_str(), 1);
        }
    }
    ~WlasnyFolderDomowy() {
        if (folder_.empty())
            return;
        if (poprzedni_)
            setenv("HOME", poprzedni_->c_str(), 1);
        else
            unsetenv("HOME");
        std::error_code blad;
        std::filesystem::remove_all(folder_, blad);
    }

private:
    std::optional<std::string> poprzedni_;
    std::string folder_;
};

struct Wariant {
    explicit Wariant(const db::Connection& wzor) : dane(wzor) {}

    DaneDoPisarza dane;
    int takty = 0;
    duration<double> czas{0};
    std::size_t zaleglosc = 0; // the most left to write when a round ended

    double NaSekunde() const { return takty / czas.count(); }
};

// Ticks with the variant's writer as the data module.
duration<double> Takty(Osiedle& osiedle, Wariant& wariant, int ile) {
    UstawDaneModelu(&wariant.dane);
    const auto poczatek = steady_clock::now();
    for (int i = 0; i < ile; ++i) {
        osiedle.NoweKody();
        MozgTick();
    }
    return steady_clock::now() - poczatek;
}

void Runda(Osiedle& osiedle, Wariant& wariant) {
    wariant.czas += Takty(osiedle, wariant, TaktyRundy);
    wariant.takty += TaktyRundy;
    wariant.zaleglosc = std::max(wariant.zaleglosc, wariant.dane.Pisarz.Czeka());
}

void BM_MozgTick_SerwerMilczy(benchmark::State& state) {
    static ScratchDatabase baza("tick_pisarz", ScratchDatabase::Schema::Desk);
    if (!baza.ready()) {
        state.SkipWithError("KANDOR_TEST_PG is not set; scripts/bench starts a PostgreSQL server and sets it");
        return;
    }
    WlasnyFolderDomowy dom;
    SilentServer cichy;
    db::Connection doSerwera, doCichego;
    baza.configure(doSerwera);
    baza.configure(doCichego);
    doCichego.setPort(cichy.port());

    for (auto _ : state) {
        Osiedle osiedle;
        Wariant odpowiada(doSerwera), milczy(doCichego);
        // The writers start at their first rows; the silent server's is
        // then stuck in its first connect.
        Takty(osiedle, odpowiada, TaktyRozgrzewki);
        Takty(osiedle, milczy, TaktyRozgrzewki);
        // Which goes first alternates: the machine's speed drifts within a
        // pair of rounds too.
        for (int r = 0; r < Rundy; ++r) {
            Runda(osiedle, r % 2 ? milczy : odpowiada);
            Runda(osiedle, r % 2 ? odpowiada : milczy);
        }
        UstawDaneModelu(&osiedle.dane);

        const std::size_t przepelnienie = milczy.dane.Zapisy - milczy.dane.Pisarz.Czeka();
        state.counters["takty_na_s_serwer"] = odpowiada.NaSekunde();
        state.counters["takty_na_s_cichy"] = milczy.NaSekunde();
        state.counters["stosunek"] = milczy.NaSekunde() / odpowiada.NaSekunde();
        state.counters["zapisy_na_takt"] =
            static_cast<double>(milczy.dane.Zapisy) / (milczy.takty + TaktyRozgrzewki);
        state.counters["zaleglosc_serwer_max"] = static_cast<double>(odpowiada.zaleglosc);
        state.counters["przepelnienie"] = static_cast<double>(przepelnienie);
        state.SetIterationTime((odpowiada.czas + milczy.czas).count());
        // The answering server gets what is left; the silent one never will.
        milczy.dane.Pisarz.Zatrzymaj(0s);
        if (!odpowiada.dane.Pisarz.Oproznij(30s)) {
            state.SkipWithError("the writer to the answering server did not finish");
            break;
        }
        doSerwera.open();
        db::Query wiersze(doSerwera);
        wiersze.setSql("SELECT count(*) FROM zdarzenia");
        wiersze.open();
        if (static_cast<std::size_t>(wiersze.field(0).asInt()) != odpowiada.dane.Wiersze)
            state.SkipWithError("the answering server did not get every event row");
    }
}
BENCHMARK(BM_MozgTick_SerwerMilczy)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
