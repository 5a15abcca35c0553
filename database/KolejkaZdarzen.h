#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "core/Uslugi.h"
#include "platform/db/Command.h"
#include "platform/db/Table.h"

// The event log's writes, and those that wait while the server is away.
//
// Each write is one statement. When the server is gone (DbError kind 11)
// the write joins the queue, with the times it was made with, and the queue
// is written in order when the server answers again: first by the next
// write, which stays behind it, and by the tick's call each 10 ms. The
// connection reconnects on its own; within its reconnect interval it
// refuses at once, so waiting rows never hold up the tick.
//
// A closing update of a row still in the queue waits behind it and reads
// the row's id from the cell the insert fills in.
class KolejkaZdarzen {
public:
    // About a day of a busy installation's events; what does not fit is
    // dropped and logged.
    static constexpr std::size_t Pojemnosc = 100'000;
    // How long one call may spend writing what waits, so that a long queue
    // drains over many ticks instead of stalling one.
    static constexpr std::chrono::milliseconds Budzet{2};

    KolejkaZdarzen(platform::db::Table& zdarzenia, platform::db::Table& zdarzeniaCentrali,
                   platform::db::Command& polecenie);

    // As DaneModelu::ZapiszZdarzenie and ZakonczZdarzenie.
    void Zapisz(WierszZdarzenia wiersz, const IdWiersza& id);
    void Zakoncz(const IdWiersza& id, DataCzas koniec);
    // Writes what waits, within the budget; true when nothing waits.
    bool ZapiszZalegle();

    std::size_t Czeka() const { return kolejka_.size(); }

private:
    struct Wpis {
        std::optional<WierszZdarzenia> wiersz; // none: a closing update
        IdWiersza id;
        DataCzas koniec{};
    };
    void Wstaw(const WierszZdarzenia& wiersz, std::int32_t& id);
    void Aktualizuj(std::int32_t id, DataCzas koniec);
    // One attempt; throws DbError as the statement did.
    void Wykonaj(Wpis& wpis);
    void Dolacz(Wpis wpis);

    platform::db::Table& zdarzenia_;
    platform::db::Table& zdarzeniaCentrali_;
    platform::db::Command& polecenie_;
    std::deque<Wpis> kolejka_;
    std::size_t odrzucone_ = 0; // dropped since the queue last ran empty
};
