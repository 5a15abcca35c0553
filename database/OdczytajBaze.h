#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/DataCzas.h"
#include "core/Objects_globals.h"
#include "platform/db/RowStream.h"
#include "platform/db/Table.h"
#include "platform/db/Value.h"

class TDM;

// Fills the model from the database: every configuration container is read
// afresh from its table, in a fixed order, through the containers' typed
// adds. The new containers are built beside the live ones and installed
// together only when every table was read, so a failure half-way (an old
// schema, a lost connection) leaves the live model whole; the error passes
// to the caller. Nothing is linked: the caller runs ObiektyInicjalizuj
// afterwards. Runs on the main thread while the logic is stopped.
void OdczytajBaze();
// Its two halves: the tidying writes (resident-flat links of deleted rows,
// the residents' devices rebuilt), then the reading of every table into the
// new containers and their installation.
void PorzadkujPrzedOdczytem();
void OdczytajKontenery();

// The current row of a table as the loader reads it: a null reads as 0,
// empty text, false or the zero date.
class WierszOdczytu {
public:
    explicit WierszOdczytu(const platform::db::RowStream& wiersze) : wiersze_(wiersze) {}
    int Liczba(std::string_view kolumna) const { return Pole(kolumna).asInt(); }
    std::int64_t Liczba64(std::string_view kolumna) const { return Pole(kolumna).asInt64(); }
    // An integer column that stands for a flag: anything but 0 is set.
    bool Flaga(std::string_view kolumna) const { return Pole(kolumna).asBool(); }
    double Rzeczywista(std::string_view kolumna) const { return Pole(kolumna).asDouble(); }
    // A text column's value, valid until the next row.
    std::string_view Tekst(std::string_view kolumna) const { return wiersze_.text(Pozycja(kolumna)); }
    DataCzas Czas(std::string_view kolumna) const { return Pole(kolumna).asDateTime(); }
    platform::db::Bytes Bajty(std::string_view kolumna) const { return Pole(kolumna).asBytes(); }

private:
    platform::db::Value Pole(std::string_view kolumna) const { return wiersze_.field(Pozycja(kolumna)); }
    int Pozycja(std::string_view kolumna) const;

    const platform::db::RowStream& wiersze_;
    // Each row asks for the same columns in the same order, by the same
    // literals: their positions are remembered by the literal's address, so
    // a large table costs no name lookup per field.
    struct Kolumna {
        const char* nazwa;
        std::size_t dlugosc;
        int pozycja;
    };
    mutable std::vector<Kolumna> kolumny_;
    mutable std::size_t nastepna_ = 0;
};

// The data module's connection, for CzytajWiersze.
platform::db::Connection& PolaczenieOdczytu(TDM& dm);

// Reads every row of the SELECT, handing each to `wiersz`. The rows are
// worked on as the server sends them: a table of 200,000 identifiers is
// never held whole in memory.
template <class Wiersz>
void CzytajWiersze(TDM& dm, const std::string& select, Wiersz wiersz) {
    platform::db::RowStream wiersze(PolaczenieOdczytu(dm));
    wiersze.open(select);
    const WierszOdczytu w(wiersze);
    while (wiersze.next())
        wiersz(w);
    wiersze.close();
}

// The same for every row of the table component's table, in key order. The
// component is left closed.
template <class Wiersz>
void CzytajWiersze(TDM& dm, platform::db::Table& tabela, Wiersz wiersz) {
    tabela.close();
    // The first column is every table's serial key.
    CzytajWiersze(dm, "SELECT * FROM " + tabela.tableName() + " ORDER BY 1", wiersz);
}

// The server's estimate of the table's rows (from its last analysis; 0 when
// it has none), so a large container is sized once instead of regrowing.
int PrzewidywaneWiersze(TDM& dm, const platform::db::Table& tabela);

// Sorts a freshly read container with kind 0. During a load a large one is
// sorted on a worker thread while the next tables are read: the container
// is not part of the model yet, nothing else touches it, and the load waits
// for every such sort before it installs the containers.
void SortujPoOdczycie(Objects& kontener);

// One step of the load: reads the table into a fresh container of the
// number through `dodaj` (which calls the typed add); sorted with kind 0
// unless the table's order is kept.
enum class Sortowanie { Tak, Nie };

template <class Kontener, class Dodaj>
Kontener* OdczytajTabele(TDM& dm, platform::db::Table& tabela, NoweKontenery& nowe, NumerKontenera numer,
                        Sortowanie sortowanie, Dodaj dodaj) {
    auto* kontener = static_cast<Kontener*>(nowe[numer] = UtworzKontener(numer));
    kontener->Rezerwuj(PrzewidywaneWiersze(dm, tabela));
    CzytajWiersze(dm, tabela, [&](const WierszOdczytu& w) { dodaj(*kontener, w); });
    if (sortowanie == Sortowanie::Tak)
        SortujPoOdczycie(*kontener);
    return kontener;
}

// The tables of the device layer's containers, which the database layer
// cannot name: the keypads, the controllers with their GSM modems, and the
// encoders. The device layer installs them; a reader left null leaves its
// containers empty. poZainstalowaniu runs once the new containers are in,
// before the old ones are destroyed (the encoders' threads move over).
struct OdczytUrzadzen {
    void (*klawiatury)(TDM& dm, NoweKontenery& nowe) = nullptr;
    void (*centrale)(TDM& dm, NoweKontenery& nowe) = nullptr;
    void (*enkodery)(TDM& dm, NoweKontenery& nowe) = nullptr;
    void (*poZainstalowaniu)() = nullptr;
};
void UstawOdczytUrzadzen(OdczytUrzadzen odczyt);

