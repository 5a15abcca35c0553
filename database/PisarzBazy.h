#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/Uslugi.h"
#include "platform/db/Connection.h"

// The writer: one thread with its own connection that writes everything
// the tick and the device steps produce (event rows and their closing
// updates, use counts, controller types) and the scheduled deletion of old
// events, in the order they were handed over. The main thread only queues;
// it never waits for the server.
//
// Rows wait in a bounded queue while the server is away and are written
// with their own times when it answers again. Several writes go to the
// server in one transaction. A row carries an id reserved from its table's
// sequence before it is first sent, and is inserted with "ON CONFLICT DO
// NOTHING": a transaction whose COMMIT was lost with the connection is sent
// again as it was, and what it had already written is written at most once.
class PisarzBazy {
public:
    // About a day of a busy installation's events; what does not fit is
    // dropped and logged.
    static constexpr std::size_t Pojemnosc = 100'000;
    // Writes sent in one transaction at most.
    static constexpr std::size_t Partia = 500;

    PisarzBazy();
    // Stops as Zatrzymaj with a short grace.
    ~PisarzBazy();
    PisarzBazy(const PisarzBazy&) = delete;
    PisarzBazy& operator=(const PisarzBazy&) = delete;

    // The session's settings (server, database, user) of the connection the
    // writer follows; the writer starts, or moves to them, at the next
    // write. Main thread.
    void UstawPolaczenie(const platform::db::Connection& wzor);

    void Zapisz(WierszZdarzenia wiersz, const IdWiersza& id);
    void Zakoncz(const IdWiersza& id, DataCzas koniec);
    void Zmien(ZmianaWiersza zmiana);
    // A statement of the program's own (no outside text), run alone in its
    // own transaction with its own time-out; logged under zrodlo and linia
    // when it fails for another reason than the server being away.
    void Wykonaj(std::string sql, std::chrono::milliseconds limit, std::string_view zrodlo, int linia);

    // Waits until everything handed over so far is written or refused, up to
    // czas; true when it is.
    bool Oproznij(std::chrono::milliseconds czas);
    // Gives what waits up to czas to be written, then stops the thread; what
    // is left is logged as lost.
    void Zatrzymaj(std::chrono::milliseconds czas);

    // True from the writer's failure to reach the server until it reaches
    // it again. Read from any thread; the data module's connection fails at
    // once while it holds.
    const std::atomic<bool>& SerwerNieodpowiada() const { return nieodpowiada_; }
    std::size_t Czeka() const;

private:
    struct Wpis {
        enum class Rodzaj { Wiersz, Koniec, Zmiana, Polecenie } rodzaj;
        WierszZdarzenia wiersz;
        IdWiersza id;
        DataCzas koniec{};
        ZmianaWiersza zmiana;
        std::string sql;
        std::chrono::milliseconds limit{0};
        std::string_view zrodlo;
        int linia = 0;
        // The id reserved for a row, kept across attempts.
        std::int32_t numer = 0;
    };
    struct Ustawienia {
        std::string host, database, user, password;
        int port = 0;
        bool operator==(const Ustawienia&) const = default;
    };

    void Dolacz(Wpis wpis);
    void Uruchom();
    void Zakoncz();
    void Petla();
    // One round: takes a batch, writes it. False when the server is away or
    // busy and the round should wait before the next.
    bool Runda();
    void ZapiszPartie();
    void ZapiszPojedynczo();
    // A statement of the program's own, with its own time-out.
    void WykonajPolecenie(const Wpis& wpis);
    void Numeruj();
    std::vector<std::int32_t> Zarezerwuj(bool centrali, std::size_t ile);
    std::string Tekst(const Wpis& wpis);
    std::string Literal(const platform::db::Value& wartosc);
    void Odrzucony(const Wpis& wpis, const std::exception& blad);
    void Nieobecny(const std::exception& blad);
    void Obecny();
    bool CzekajNaKoniec(std::chrono::milliseconds czas);

    // Main thread.
    Ustawienia ustawienia_;
    std::optional<Ustawienia> watku_; // those the running thread has
    std::thread watek_;

    // Shared, under mutex_.
    mutable std::mutex mutex_;
    std::condition_variable jest_;    // work, or the stop
    std::condition_variable zrobione_; // the queue ran empty
    std::deque<Wpis> kolejka_;
    std::size_t wToku_ = 0; // taken by the thread, not yet written
    std::size_t odrzucone_ = 0; // dropped since the queue last ran empty
    bool stop_ = false;
    std::atomic<bool> nieodpowiada_{false};
    int przerwanie_ = -1; // eventfd that ends the connection's waits

    // Writer thread.
    std::optional<platform::db::Connection> polaczenie_;
    std::vector<Wpis> partia_;
    std::vector<std::int32_t> zapas_[2]; // reserved ids of zdarzenia, zdarzenia_centrali
    std::int32_t najwyzszy_[2] = {0, 0};  // the highest id ever used
    std::chrono::milliseconds odstep_{0};
};
