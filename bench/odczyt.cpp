// Loading a large estate (100,000 residents, 200,000 identifiers, 20,000
// flats, 4,096 boards) into the model: the 34 table steps of the load
// against reading the same tables raw with COPY ... TO STDOUT through
// libpq, in the same run. The tidying writes before the reading (orphan
// links, the residents' devices rebuilt) are timed on their own.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <stdexcept>
#include <string>

#include "bench/support/ScratchDatabase.h"
#include "core/Objects_globals.h"
#include "database/Database.h"
#include "database/OdczytajBaze.h"
#include "database/TDM.h"
#include "devices/Urzadzenia.h"

namespace {

constexpr const char* Zasiew = R"sql(
INSERT INTO magistrale (Com, Wersja, Predkosc, Nazwa) SELECT i, 2, 19200, 'M' || i FROM generate_series(1, 16) i;
INSERT INTO karty (IdRodzajKarty, IdMagistrali, Adres, Nazwa)
    SELECT 300, 1 + (i - 1) / 256, (i - 1) % 256, 'Karta ' || i FROM generate_series(1, 4096) i;
INSERT INTO wejscia (IdKarty, Wejscie, Nazwa) SELECT i, 1, 'we ' || i FROM generate_series(1, 4096) i;
INSERT INTO wyjscia (IdKarty, Wyjscie, Nazwa) SELECT i, 1, 'wy ' || i FROM generate_series(1, 4096) i;
INSERT INTO czytniki (IdKarty, Czytnik, Nazwa) SELECT i, 1, 'cz ' || i FROM generate_series(1, 4096) i;
INSERT INTO grupy_uzytkownikow (Nazwa) SELECT 'Grupa ' || i FROM generate_series(1, 20) i;
INSERT INTO adresy (Ulica, Numer, Miejscowosc) SELECT 'Ulica ' || (i / 20), (i % 20)::text, 'Miasto'
    FROM generate_series(1, 200) i;
INSERT INTO lokale (IdAdresu, Lokal, Pin, PinWlaczony, Wylaczony, TelefonDomofonu)
    SELECT 1 + i % 200, (i % 100)::text, i, true, false, '600' || i FROM generate_series(1, 20000) i;
INSERT INTO uzytkownicy (IdGrupyUzytkownikow, Imie, Nazwisko, Adres, Email, Rodzaj, Wynajmujacy)
    SELECT 1 + i % 20, 'Imię ' || i, 'Nazwisko ' || i, 'Ulica ' || i, 'u' || i || '@example.com', 1, false
    FROM generate_series(1, 100000) i;
INSERT INTO identyfikatory (Rodzaj, NumerSeryjny, Licznik, IdUzytkownika, IdLokalu, LicznikUzycia,
                            DataCzasUtworzenia)
    SELECT 1 + i % 4, upper(substr(md5(i::text), 1, 12)), 0, 1 + i % 100000, 1 + i % 20000, i % 50,
           '2024-01-01'::timestamp + i * interval '1 minute'
    FROM generate_series(1, 200000) i;
INSERT INTO uzytkownicy_lokale (IdUzytkownika, IdLokalu) SELECT i, 1 + i % 20000 FROM generate_series(1, 100000) i;
ANALYZE;
)sql";

// The tables of the load's steps, in its order.
constexpr const char* Tabele[] = {
    "grupy_zdarzen", "rodzaj_zdarzenia", "rodzaj_zdarzenia_wbudowane", "magistrale", "karty", "czytniki",
    "wejscia", "wyjscia", "przyciski", "neurony", "synapsy", "obiekty", "obiekty_vertices", "obiekty_indices",
    "obiekty_przyciski", "grupy_uzytkownikow", "grupy_uzytkownikow_bramy", "uzytkownicy", "bramy",
    "identyfikatory", "przejazdy", "przejazdy_podtrzymanie", "przejazdy_posrednie", "zarvo_klawiatury",
    "centrala_zarvo_gsm", "adresy", "grupy_lokali", "lokale", "grupy_lokali_lokale", "obszary", "obszary_obiekty",
    "zdarzenia_akcje", "enkodery", "miejsca_parkingowe", "urzadzenia", "uzytkownicy_urzadzenia",
    "uzytkownicy_lokale",
};

class Osiedle {
public:
    Osiedle() : baza_("odczyt") {
        if (!baza_.ready())
            return;
        RejestrujUrzadzenia();
        ObiektyUtworz();
        DM = new TDM;
        baza_.configure(DM->FDConnection);
        DM->FDConnection.open();
        if (!UtworzBaze())
            throw std::runtime_error("the schema could not be built");
        DM->FDConnection.execute(Zasiew);
        gotowe_ = true;
    }
    ~Osiedle() {
        delete DM;
        DM = nullptr;
        ObiektyUsun();
    }
    bool gotowe() const { return gotowe_; }
    std::string conninfo() const { return baza_.conninfo(); }

private:
    ScratchDatabase baza_;
    bool gotowe_ = false;
};

Osiedle& osiedle() {
    static Osiedle o;
    return o;
}

bool Gotowe(benchmark::State& state) {
    if (osiedle().gotowe())
        return true;
    state.SkipWithError("KANDOR_TEST_PG is not set; scripts/bench starts a PostgreSQL server and sets it");
    return false;
}

void BM_OdczytBazowy_CopyLibpq(benchmark::State& state) {
    if (!Gotowe(state))
        return;
    PGconn* conn = PQconnectdb(osiedle().conninfo().c_str());
    long long bajty = 0;
    for (auto _ : state) {
        for (const char* tabela : Tabele) {
            const std::string sql = std::string("COPY (SELECT * FROM ") + tabela + " ORDER BY 1) TO STDOUT";
            PGresult* r = PQexec(conn, sql.c_str());
            if (PQresultStatus(r) != PGRES_COPY_OUT)
                throw std::runtime_error(PQerrorMessage(conn));
            PQclear(r);
            char* wiersz = nullptr;
            int n = 0;
            while ((n = PQgetCopyData(conn, &wiersz, 0)) > 0) {
                bajty += n;
                PQfreemem(wiersz);
            }
            while ((r = PQgetResult(conn)) != nullptr)
                PQclear(r);
        }
    }
    benchmark::DoNotOptimize(bajty);
    PQfinish(conn);
}
BENCHMARK(BM_OdczytBazowy_CopyLibpq)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OdczytajKontenery(benchmark::State& state) {
    if (!Gotowe(state))
        return;
    for (auto _ : state)
        OdczytajKontenery();
    state.counters["identyfikatory"] = KontenerGlobalny(NrIdentyfikatory)->Ilosc();
}
BENCHMARK(BM_OdczytajKontenery)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PorzadkujPrzedOdczytem(benchmark::State& state) {
    if (!Gotowe(state))
        return;
    for (auto _ : state)
        PorzadkujPrzedOdczytem();
}
BENCHMARK(BM_PorzadkujPrzedOdczytem)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
