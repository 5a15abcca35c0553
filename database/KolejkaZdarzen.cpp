#include "database/KolejkaZdarzen.h"

#include <string>

#include "core/ZapiszWyjatek.h"
#include "platform/db/DbError.h"

namespace db = platform::db;

namespace {

constexpr std::string_view Zrodlo = "TDM";

bool SerwerNieOdpowiada(const db::DbError& e) { return e.hasKind(db::DbError::ServerGone); }

} // namespace

KolejkaZdarzen::KolejkaZdarzen(db::Table& zdarzenia, db::Table& zdarzeniaCentrali, db::Command& polecenie)
    : zdarzenia_(zdarzenia), zdarzeniaCentrali_(zdarzeniaCentrali), polecenie_(polecenie) {}

void KolejkaZdarzen::Zapisz(WierszZdarzenia wiersz, const IdWiersza& id) {
    // Behind what waits, or the rows would reach the table out of order.
    if (!ZapiszZalegle()) {
        Dolacz({std::move(wiersz), id, {}});
        return;
    }
    try {
        Wstaw(wiersz, *id);
    } catch (const db::DbError& e) {
        if (!SerwerNieOdpowiada(e))
            throw;
        Dolacz({std::move(wiersz), id, {}});
    }
}

void KolejkaZdarzen::Zakoncz(const IdWiersza& id, DataCzas koniec) {
    if (*id == 0 || !ZapiszZalegle()) {
        Dolacz({std::nullopt, id, koniec});
        return;
    }
    try {
        Aktualizuj(*id, koniec);
    } catch (const db::DbError& e) {
        if (!SerwerNieOdpowiada(e))
            throw;
        Dolacz({std::nullopt, id, koniec});
    }
}

bool KolejkaZdarzen::ZapiszZalegle() {
    if (kolejka_.empty())
        return true;
    const auto koniec = std::chrono::steady_clock::now() + Budzet;
    do {
        try {
            Wykonaj(kolejka_.front());
        } catch (const db::DbError& e) {
            if (SerwerNieOdpowiada(e))
                return false;
            // Refused for good: logged and dropped, so that it does not
            // hold back every row behind it.
            ZapiszWyjatek(e, Zrodlo, __LINE__);
        }
        kolejka_.pop_front();
    } while (!kolejka_.empty() && std::chrono::steady_clock::now() < koniec);
    if (!kolejka_.empty())
        return false;
    if (odrzucone_ > 0) {
        ZapiszWyjatek("event log queue full during the outage: " + std::to_string(odrzucone_) +
                          " event rows were not written",
                      Zrodlo, __LINE__);
        odrzucone_ = 0;
    }
    return true;
}

void KolejkaZdarzen::Wykonaj(Wpis& wpis) {
    if (wpis.wiersz) {
        Wstaw(*wpis.wiersz, *wpis.id);
    } else if (*wpis.id > 0) {
        Aktualizuj(*wpis.id, wpis.koniec);
    }
    // else: the row it closes was dropped when the queue was full.
}

void KolejkaZdarzen::Dolacz(Wpis wpis) {
    if (kolejka_.size() >= Pojemnosc) {
        if (odrzucone_++ == 0)
            ZapiszWyjatek("event log queue full: event rows are dropped until the database answers", Zrodlo,
                          __LINE__);
        return;
    }
    kolejka_.push_back(std::move(wpis));
}

void KolejkaZdarzen::Wstaw(const WierszZdarzenia& wiersz, std::int32_t& id) {
    const bool centrali = wiersz.tabela == TabelaZdarzen::ZdarzeniaCentrali;
    db::Table& tabela = centrali ? zdarzeniaCentrali_ : zdarzenia_;
    // The system start opens the log tables; a write before it, or after
    // a stop, opens its table here.
    if (!tabela.active())
        tabela.open(false);
    try {
        tabela.append();
        for (const auto& [kolumna, wartosc] : wiersz.kolumny)
            tabela.field(kolumna) = wartosc;
        tabela.post();
    } catch (...) {
        // A refused row must not be posted later by the next move.
        if (tabela.state() == db::TableState::Insert)
            tabela.cancel();
        throw;
    }
    id = tabela.field(centrali ? "IdZdarzeniaCentrali" : "IdZdarzenia").asInt();
}

void KolejkaZdarzen::Aktualizuj(std::int32_t id, DataCzas koniec) {
    polecenie_.setText("UPDATE zdarzenia SET DataCzasZakonczenie=:KONIEC WHERE IdZdarzenia=:ID");
    polecenie_.param("KONIEC") = koniec;
    polecenie_.param("ID") = id;
    polecenie_.execute();
}
