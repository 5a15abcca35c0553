#include "database/PisarzBazy.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "core/ZapiszWyjatek.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/TextFormat.h"

namespace db = platform::db;
using namespace std::chrono_literals;

namespace {

constexpr std::string_view Zrodlo = "TDM";
// Where the event log has always logged its refused rows and closings.
constexpr std::string_view ZrodloZdarzen = "Object_Zdarzenia";
constexpr int LiniaZakonczenia = 95;

// A connect that takes longer is a server that is away.
constexpr auto CzasPolaczenia = 2s;
// A batch of rows takes milliseconds; longer is a lock or a server in
// trouble, and the batch is tried again later.
constexpr auto CzasPartii = 5s;
// Between attempts while the server is away or busy, from the end of one
// attempt to the start of the next, doubling up to the longest.
constexpr auto PierwszyOdstep = 250ms;
constexpr auto NajdluzszyOdstep = 4s;
// Ids reserved from a sequence at once.
constexpr std::size_t Rezerwa = 256;

struct Tabela {
    const char* nazwa;
    const char* klucz;
    const char* kolumnaSekwencji; // as the catalogue spells it
};
constexpr Tabela Tabele[2] = {{"zdarzenia", "IdZdarzenia", "idzdarzenia"},
                              {"zdarzenia_centrali", "IdZdarzeniaCentrali", "idzdarzeniacentrali"}};

int NumerTabeli(TabelaZdarzen tabela) { return tabela == TabelaZdarzen::ZdarzeniaCentrali ? 1 : 0; }

// The server is away, or busy with a lock or its own limits: the same
// writes are tried again later. Anything else refuses the write itself.
bool Przejsciowy(const db::DbError& e) {
    const std::string& stan = e.sqlstate();
    return e.hasKind(db::DbError::ServerGone) || e.hasKind(db::DbError::CommandAborted) ||
           e.hasKind(db::DbError::RecordLocked) || stan.starts_with("53") || stan == "40001";
}

} // namespace

PisarzBazy::PisarzBazy() : przerwanie_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

PisarzBazy::~PisarzBazy() {
    Zatrzymaj(2s);
    if (przerwanie_ >= 0)
        ::close(przerwanie_);
}

void PisarzBazy::UstawPolaczenie(const db::Connection& wzor) {
    if (ustawienia_.host == wzor.host() && ustawienia_.port == wzor.port() && ustawienia_.database == wzor.database() &&
        ustawienia_.user == wzor.user() && ustawienia_.password == wzor.password())
        return;
    ustawienia_ = {wzor.host(), wzor.database(), wzor.user(), wzor.password(), wzor.port()};
}

void PisarzBazy::Zapisz(WierszZdarzenia wiersz, const IdWiersza& id) {
    Wpis wpis{Wpis::Rodzaj::Wiersz};
    wpis.linia = wiersz.linia;
    wpis.wiersz = std::move(wiersz);
    wpis.id = id;
    Dolacz(std::move(wpis));
}

void PisarzBazy::Zakoncz(const IdWiersza& id, DataCzas koniec) {
    Wpis wpis{Wpis::Rodzaj::Koniec};
    wpis.id = id;
    wpis.koniec = koniec;
    wpis.linia = LiniaZakonczenia;
    Dolacz(std::move(wpis));
}

void PisarzBazy::Zmien(ZmianaWiersza zmiana) {
    Wpis wpis{Wpis::Rodzaj::Zmiana};
    wpis.zrodlo = zmiana.zrodlo;
    wpis.linia = zmiana.linia;
    wpis.zmiana = std::move(zmiana);
    Dolacz(std::move(wpis));
}

void PisarzBazy::Wykonaj(std::string sql, std::chrono::milliseconds limit, std::string_view zrodlo, int linia) {
    Wpis wpis{Wpis::Rodzaj::Polecenie};
    wpis.sql = std::move(sql);
    wpis.limit = limit;
    wpis.zrodlo = zrodlo;
    wpis.linia = linia;
    Dolacz(std::move(wpis));
}

void PisarzBazy::Dolacz(Wpis wpis) {
    if (!watku_ || *watku_ != ustawienia_)
        Uruchom();
    {
        std::lock_guard lock(mutex_);
        if (kolejka_.size() + wToku_ >= Pojemnosc) {
            if (odrzucone_++ == 0)
                ZapiszWyjatek("event log queue full: event rows are dropped until the database answers", Zrodlo,
                              __LINE__);
            return;
        }
        kolejka_.push_back(std::move(wpis));
    }
    jest_.notify_one();
}

std::size_t PisarzBazy::Czeka() const {
    std::lock_guard lock(mutex_);
    return kolejka_.size() + wToku_;
}

// (Re)starts the thread with the current settings. What waits stays
// queued; moved to another server or database, the ids reserved on the old
// one mean nothing there.
void PisarzBazy::Uruchom() {
    const bool inna = watku_ && (watku_->host != ustawienia_.host || watku_->port != ustawienia_.port ||
                                 watku_->database != ustawienia_.database);
    Zakoncz();
    if (inna) {
        for (auto& zapas : zapas_)
            zapas.clear();
        najwyzszy_[0] = najwyzszy_[1] = 0;
        for (Wpis& wpis : partia_)
            wpis.numer = 0;
    }
    eventfd_t wartosc;
    eventfd_read(przerwanie_, &wartosc); // clears an earlier stop
    stop_ = false;
    watku_ = ustawienia_;
    polaczenie_.emplace();
    polaczenie_->setHost(ustawienia_.host);
    polaczenie_->setPort(ustawienia_.port);
    polaczenie_->setDatabase(ustawienia_.database);
    polaczenie_->setUser(ustawienia_.user);
    polaczenie_->setPassword(ustawienia_.password);
    polaczenie_->setConnectTimeout(CzasPolaczenia);
    polaczenie_->setReconnectInterval(0ms); // the thread keeps its own pace
    polaczenie_->setStatementTimeout(CzasPartii);
    polaczenie_->setInterrupt(przerwanie_);
    watek_ = std::thread([this] { Petla(); });
}

// Stops the thread now; what it had taken goes back to its batch, to be
// written first by the next thread.
void PisarzBazy::Zakoncz() {
    if (!watek_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    eventfd_write(przerwanie_, 1);
    jest_.notify_all();
    watek_.join();
    polaczenie_.reset();
    watku_.reset();
}

void PisarzBazy::Petla() {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            jest_.wait(lock, [&] { return stop_ || !kolejka_.empty() || !partia_.empty() || nieodpowiada_; });
            if (stop_)
                return;
            if (partia_.empty()) {
                // A statement with its own time-out goes alone.
                const bool sam = kolejka_.front().rodzaj == Wpis::Rodzaj::Polecenie;
                do {
                    partia_.push_back(std::move(kolejka_.front()));
                    kolejka_.pop_front();
                } while (!sam && !kolejka_.empty() && partia_.size() < Partia &&
                         kolejka_.front().rodzaj != Wpis::Rodzaj::Polecenie);
                wToku_ = partia_.size();
            }
        }
        if (Runda()) {
            odstep_ = 0ms;
            continue;
        }
        odstep_ = odstep_ == 0ms ? std::chrono::milliseconds(PierwszyOdstep)
                                 : std::min<std::chrono::milliseconds>(odstep_ * 2, NajdluzszyOdstep);
        std::unique_lock lock(mutex_);
        if (jest_.wait_for(lock, odstep_, [&] { return stop_; }))
            return;
    }
}

bool PisarzBazy::Runda() {
    try {
        try {
            polaczenie_->open();
            if (partia_.empty()) {
                polaczenie_->execute("SELECT 1"); // is the server back?
            } else {
                Numeruj();
                ZapiszPartie();
            }
        } catch (const db::DbError& e) {
            if (Przejsciowy(e))
                throw;
            // One write refused spoils the batch's transaction: each alone,
            // to find it.
            ZapiszPojedynczo();
        }
    } catch (const db::DbError& e) {
        bool zatrzymany;
        {
            std::lock_guard lock(mutex_);
            zatrzymany = stop_;
        }
        // An interrupted wait is the stop, not an outage.
        if (e.hasKind(db::DbError::ServerGone) && !zatrzymany)
            Nieobecny(e);
        return false;
    }
    Obecny();
    partia_.clear();
    std::lock_guard lock(mutex_);
    wToku_ = 0;
    if (kolejka_.empty()) {
        if (odrzucone_ > 0) {
            ZapiszWyjatek("event log queue full during the outage: " + std::to_string(odrzucone_) +
                              " event rows were not written",
                          Zrodlo, __LINE__);
            odrzucone_ = 0;
        }
        zrobione_.notify_all();
    }
    return true;
}

void PisarzBazy::ZapiszPartie() {
    if (partia_.empty())
        return;
    if (partia_.front().rodzaj == Wpis::Rodzaj::Polecenie) {
        WykonajPolecenie(partia_.front());
        return;
    }
    // Statements of one simple query run as one transaction.
    std::string sql;
    for (const Wpis& wpis : partia_) {
        std::string tekst = Tekst(wpis);
        if (!tekst.empty())
            sql += tekst + ";\n";
    }
    if (!sql.empty())
        polaczenie_->execute(sql);
}

void PisarzBazy::WykonajPolecenie(const Wpis& wpis) {
    db::StatementTimeoutScope czas(*polaczenie_, wpis.limit);
    polaczenie_->execute(wpis.sql);
}

void PisarzBazy::ZapiszPojedynczo() {
    std::size_t zapisane = 0;
    try {
        for (; zapisane < partia_.size(); ++zapisane) {
            const Wpis& wpis = partia_[zapisane];
            try {
                if (wpis.rodzaj == Wpis::Rodzaj::Polecenie)
                    WykonajPolecenie(wpis);
                else if (std::string tekst = Tekst(wpis); !tekst.empty())
                    polaczenie_->execute(tekst);
            } catch (const db::DbError& e) {
                if (Przejsciowy(e))
                    throw;
                Odrzucony(wpis, e);
            }
        }
    } catch (...) {
        partia_.erase(partia_.begin(), partia_.begin() + static_cast<std::ptrdiff_t>(zapisane));
        std::lock_guard lock(mutex_);
        wToku_ = partia_.size();
        throw;
    }
}

// Gives each new row an id of its table, in the order of the rows. A row
// keeps its id across attempts: that is what lets a repeated batch skip
// what it had written. Rows of a table whose ids cannot be had (no such
// table) are refused.
void PisarzBazy::Numeruj() {
    for (int t = 0; t < 2; ++t) {
        const auto nowy = [&](const Wpis& wpis) {
            return wpis.rodzaj == Wpis::Rodzaj::Wiersz && wpis.numer == 0 && NumerTabeli(wpis.wiersz.tabela) == t;
        };
        const auto potrzeba = static_cast<std::size_t>(std::count_if(partia_.begin(), partia_.end(), nowy));
        try {
            while (potrzeba > zapas_[t].size()) {
                std::vector<std::int32_t> nowe = Zarezerwuj(t == 1, std::max(potrzeba - zapas_[t].size(), Rezerwa));
                if (nowe.empty())
                    throw db::DbError("55000", std::string("no ids could be reserved for ") + Tabele[t].nazwa);
                zapas_[t].insert(zapas_[t].end(), nowe.begin(), nowe.end());
            }
        } catch (const db::DbError& e) {
            if (Przejsciowy(e))
                throw;
            ZapiszWyjatek(e, ZrodloZdarzen, std::find_if(partia_.begin(), partia_.end(), nowy)->linia);
            std::erase_if(partia_, nowy);
            std::lock_guard lock(mutex_);
            wToku_ = partia_.size();
            continue;
        }
        std::size_t uzyte = 0;
        for (Wpis& wpis : partia_) {
            if (!nowy(wpis))
                continue;
            wpis.numer = zapas_[t][uzyte++];
            najwyzszy_[t] = std::max(najwyzszy_[t], wpis.numer);
            wpis.id->store(wpis.numer);
        }
        zapas_[t].erase(zapas_[t].begin(), zapas_[t].begin() + static_cast<std::ptrdiff_t>(uzyte));
    }
}

// A server that crashed may hand out again numbers it had given before
// they were safely logged. Numbers this writer has used are never taken
// twice: a sequence found behind them is moved past them first.
std::vector<std::int32_t> PisarzBazy::Zarezerwuj(bool centrali, std::size_t ile) {
    const Tabela& t = Tabele[centrali ? 1 : 0];
    const std::string sekwencja =
        std::string("pg_get_serial_sequence('") + t.nazwa + "', '" + t.kolumnaSekwencji + "')";
    const std::int32_t najwyzszy = najwyzszy_[centrali ? 1 : 0];
    std::vector<std::int32_t> numery;
    for (int proba = 0; proba < 2; ++proba) {
        db::Query q(*polaczenie_);
        q.setSql("SELECT nextval(" + sekwencja + ") FROM generate_series(1, " + std::to_string(ile) + ")");
        q.open();
        numery.clear();
        for (; !q.eof(); q.next())
            numery.push_back(q.field(0).asInt());
        if (numery.empty() || numery.front() > najwyzszy)
            break;
        polaczenie_->execute("SELECT setval(" + sekwencja + ", GREATEST(" + std::to_string(najwyzszy) +
                             ", pg_sequence_last_value(" + sekwencja + ")))");
    }
    std::erase_if(numery, [&](std::int32_t numer) { return numer <= najwyzszy; });
    return numery;
}

std::string PisarzBazy::Literal(const db::Value& wartosc) {
    const std::optional<std::string> tekst = db::text_format::encode(wartosc);
    if (!tekst)
        return "NULL";
    char* cytat = PQescapeLiteral(polaczenie_->native(), tekst->data(), tekst->size());
    if (!cytat)
        throw db::DbError("22000", "a value could not be quoted for the event log");
    std::string wynik(cytat);
    PQfreemem(cytat);
    return wynik;
}

// The statement of one write; empty when there is nothing to write (the
// closing of a row that was dropped).
std::string PisarzBazy::Tekst(const Wpis& wpis) {
    switch (wpis.rodzaj) {
    case Wpis::Rodzaj::Wiersz: {
        const Tabela& t = Tabele[NumerTabeli(wpis.wiersz.tabela)];
        std::string kolumny = t.klucz;
        std::string wartosci = std::to_string(wpis.numer);
        for (const auto& [kolumna, wartosc] : wpis.wiersz.kolumny) {
            kolumny += ',';
            kolumny += kolumna;
            wartosci += ',' + Literal(wartosc);
        }
        return "INSERT INTO " + std::string(t.nazwa) + " (" + kolumny + ") VALUES (" + wartosci + ") ON CONFLICT (" +
               t.klucz + ") DO NOTHING";
    }
    case Wpis::Rodzaj::Koniec: {
        const std::int32_t id = wpis.id ? wpis.id->load() : 0;
        if (id <= 0)
            return {};
        return "UPDATE zdarzenia SET DataCzasZakonczenie=" + Literal(wpis.koniec) +
               " WHERE IdZdarzenia=" + std::to_string(id);
    }
    case Wpis::Rodzaj::Zmiana: {
        std::string zmiany;
        for (const auto& [kolumna, wartosc] : wpis.zmiana.kolumny) {
            if (!zmiany.empty())
                zmiany += ',';
            zmiany += std::string(kolumna) + '=' + Literal(wartosc);
        }
        return "UPDATE " + std::string(wpis.zmiana.tabela) + " SET " + zmiany + " WHERE " +
               std::string(wpis.zmiana.klucz) + '=' + std::to_string(wpis.zmiana.id);
    }
    case Wpis::Rodzaj::Polecenie:
        return wpis.sql;
    }
    return {};
}

void PisarzBazy::Odrzucony(const Wpis& wpis, const std::exception& blad) {
    const bool zdarzenie = wpis.rodzaj == Wpis::Rodzaj::Wiersz || wpis.rodzaj == Wpis::Rodzaj::Koniec;
    ZapiszWyjatek(blad, zdarzenie ? ZrodloZdarzen : wpis.zrodlo, wpis.linia);
}

// One entry in the exception log per outage, not one per row.
void PisarzBazy::Nieobecny(const std::exception& blad) {
    if (!nieodpowiada_.exchange(true))
        ZapiszWyjatek(blad, Zrodlo, __LINE__);
}

void PisarzBazy::Obecny() { nieodpowiada_ = false; }

bool PisarzBazy::Oproznij(std::chrono::milliseconds czas) {
    std::unique_lock lock(mutex_);
    return zrobione_.wait_for(lock, czas, [&] { return kolejka_.empty() && wToku_ == 0; });
}

void PisarzBazy::Zatrzymaj(std::chrono::milliseconds czas) {
    if (!watek_.joinable())
        return;
    Oproznij(czas);
    Zakoncz();
    const std::size_t zostalo = Czeka();
    if (zostalo > 0)
        ZapiszWyjatek("the database did not answer before the writer stopped: " + std::to_string(zostalo) +
                          " writes were not written",
                      Zrodlo, __LINE__);
}
