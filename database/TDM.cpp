#include "database/TDM.h"

#include <mutex>
#include <optional>
#include <vector>

#include "core/ZapiszWyjatek.h"
#include "platform/db/DateTime.h"
#include "platform/db/DbError.h"

TDM* DM = nullptr;

namespace {

std::recursive_mutex& SekcjaKrytyczna() {
    static std::recursive_mutex sekcja;
    return sekcja;
}

// Opens, without reading rows, those of the tables that are closed, and
// closes exactly those again on the way out: a caller that keeps a table
// open finds it open afterwards.
class OtwarteNaChwile {
public:
    explicit OtwarteNaChwile(std::initializer_list<db::Table*> tabele) {
        try {
            for (db::Table* tabela : tabele)
                if (!tabela->active()) {
                    tabela->open(false);
                    otwarte_.push_back(tabela);
                }
        } catch (...) {
            Zamknij();
            throw;
        }
    }
    ~OtwarteNaChwile() { Zamknij(); }
    OtwarteNaChwile(const OtwarteNaChwile&) = delete;
    OtwarteNaChwile& operator=(const OtwarteNaChwile&) = delete;

private:
    void Zamknij() {
        for (db::Table* tabela : otwarte_)
            tabela->close();
    }
    std::vector<db::Table*> otwarte_;
};

} // namespace

TDM::TDM() {
    // The logs are opened only to be appended to.
    for (db::Table* log : {&TableZdarzenia, &TableZdarzeniaCentrali, &TableRejestrZmian, &TableRejestrZmianZmiana})
        log->setRowLimit(100);
    // The windows' statements run on the main thread, which also runs the
    // tick: they wait for the server only so long, and not at all while the
    // writer knows it is away.
    FDConnection.setConnectTimeout(CzasPolaczenia);
    FDConnection.setStatementTimeout(CzasPolecenia);
    FDConnection.setServerAway(&Pisarz.SerwerNieodpowiada());
    UstawDaneModelu(this);
}

TDM::~TDM() {
    if (Dane() == this)
        UstawDaneModelu(nullptr);
    // What waits is written while the server answers, for a moment at most.
    Pisarz.Zatrzymaj(std::chrono::seconds(3));
    FDConnection.close();
}

void TDM::Zablokuj() { SekcjaKrytyczna().lock(); }
void TDM::Odblokuj() { SekcjaKrytyczna().unlock(); }

// The flat as the register writes it: street, number and designation, each
// empty when missing, the blanks between them kept. Nothing when the flat
// has no row.
std::optional<std::string> TDM::TekstLokalu(std::int32_t idLokalu) {
    const auto lokal = TableLokale.lookup("IdLokalu", idLokalu, "IdAdresu;Lokal");
    if (!lokal)
        return std::nullopt;
    std::string ulica, numer;
    const db::Value& idAdresu = (*lokal)[0];
    if (!idAdresu.isNull())
        if (const auto adres = TableAdresy.lookup("IdAdresu", idAdresu, "Ulica;Numer")) {
            ulica = (*adres)[0].asString();
            numer = (*adres)[1].asString();
        }
    return ulica + " " + numer + " " + (*lokal)[1].asString();
}

bool TDM::ZapiszRejestr(int zmiana, std::int32_t idLokalu, const db::Value& numerSeryjny, std::optional<std::int32_t> idObszaru) {
    try {
        OtwarteNaChwile otwarte{&TableRejestrZmian, &TableLokale, &TableAdresy};
        try {
            // The area's table is the caller's to keep open; closed, the
            // lookup fails and so does the row.
            db::Value obszar;
            if (idObszaru) {
                const auto nazwa = TableObszary.lookup("IdObszaru", *idObszaru, "nazwa");
                obszar = nazwa ? (*nazwa)[0].asString() : std::string();
            }
            std::optional<std::string> lokal = TekstLokalu(idLokalu);
            if (!lokal && idObszaru)
                return false;
            TableRejestrZmian.append();
            TableRejestrZmian.field("IdRejestrZmianZmiana") = zmiana;
            TableRejestrZmian.field("DataCzasWystapienie") = db::localNow();
            // Cut to the column by the table: a long street must not lose the row.
            TableRejestrZmian.field("lokal") = lokal.value_or("  ");
            TableRejestrZmian.field("nr_seryjny") = numerSeryjny;
            TableRejestrZmian.field("obszar") = obszar;
            TableRejestrZmian.post();
            return true;
        } catch (...) {
            if (TableRejestrZmian.state() == db::TableState::Insert)
                try {
                    TableRejestrZmian.cancel();
                } catch (...) {
                }
            throw;
        }
    } catch (const std::exception&) {
        return false;
    }
}

bool TDM::RejestrujZmianeLokalu(bool dodany, std::int32_t numerSeryjny, std::int32_t, std::int32_t idLokalu) {
    return ZapiszRejestr(dodany ? 1 : 2, idLokalu, numerSeryjny, std::nullopt);
}

bool TDM::RejestrujZmianeObszaru(bool dodany, std::int32_t idLokalu, std::int32_t idObszaru) {
    return ZapiszRejestr(dodany ? 3 : 4, idLokalu, db::Value(), idObszaru);
}

int TDM::DodajUzytkownika(bool& duplikat, int idGrupyUzytkownikow, const std::string& imie, const std::string& nazwisko,
                          const std::string& adres, const std::string& miejscowosc, const std::string& kodPocztowy,
                          const std::string& email, int rodzaj, bool wynajmujacy) {
    duplikat = false;
    const bool bylaOtwarta = TableUzytkownicy.active();
    try {
        if (!bylaOtwarta)
            TableUzytkownicy.open(false);
        TableUzytkownicy.append();
        TableUzytkownicy.field("IdGrupyUzytkownikow") = idGrupyUzytkownikow;
        TableUzytkownicy.field("Imie") = imie;
        TableUzytkownicy.field("Nazwisko") = nazwisko;
        TableUzytkownicy.field("Adres") = adres;
        TableUzytkownicy.field("Miejscowosc") = miejscowosc;
        TableUzytkownicy.field("KodPocztowy") = kodPocztowy;
        TableUzytkownicy.field("Email") = email;
        TableUzytkownicy.field("Rodzaj") = rodzaj;
        TableUzytkownicy.field("Wynajmujacy") = wynajmujacy;
        TableUzytkownicy.post();
        const int id = TableUzytkownicy.field("IdUzytkownika").asInt();
        if (!bylaOtwarta)
            TableUzytkownicy.close();
        return id;
    } catch (const db::DbError& blad) {
        if (blad.hasKind(db::DbError::UniqueKeyViolation))
            duplikat = true;
        if (TableUzytkownicy.state() == db::TableState::Insert)
            TableUzytkownicy.cancel();
        return 0;
    }
}

namespace {

// One row per resident with an e-mail, flat and keypad of the flat's area
// that the configuration implies, from areas holding flats and from areas
// holding flat groups.
constexpr const char* WstawUrzadzenia =
    "INSERT INTO uzytkownicy_urzadzenia "
    "(Rodzaj, Istnieje, IdUzytkownika, Email, IdLokalu, IdZarvoKlawiatury, DataCzasAktualizacji) "
    "SELECT DISTINCT 1, 1, u.IdUzytkownika, u.Email, l.IdLokalu, ook.IdZarvoKlawiatury, NOW() "
    "FROM obszary_obiekty oo "
    "LEFT JOIN obszary_obiekty ook ON ook.IdObszaru = oo.IdObszaru AND ook.IdZarvoKlawiatury > 0 "
    "LEFT JOIN lokale l ON l.IdLokalu = oo.IdLokalu "
    "LEFT JOIN uzytkownicy_lokale ul ON ul.IdLokalu = l.IdLokalu "
    "LEFT JOIN uzytkownicy u ON u.IdUzytkownika = ul.IdUzytkownika "
    "WHERE oo.IdLokalu > 0 AND u.Email <> '' "
    "UNION "
    "SELECT DISTINCT 1, 1, u.IdUzytkownika, u.Email, l.IdLokalu, ook.IdZarvoKlawiatury, NOW() "
    "FROM obszary_obiekty oo "
    "LEFT JOIN obszary_obiekty ook ON ook.IdObszaru = oo.IdObszaru AND ook.IdZarvoKlawiatury > 0 "
    "LEFT JOIN grupy_lokali_lokale gll ON gll.IdGrupyLokali = oo.IdGrupyLokali "
    "LEFT JOIN lokale l ON l.IdLokalu = gll.IdLokalu "
    "LEFT JOIN uzytkownicy_lokale ul ON ul.IdLokalu = l.IdLokalu "
    "LEFT JOIN uzytkownicy u ON u.IdUzytkownika = ul.IdUzytkownika "
    "WHERE oo.IdGrupyLokali > 0 AND u.Email <> '' "
    "ON CONFLICT ON CONSTRAINT uzytkownicy_urzadzenia_idlokalu_email_idzarvoklawiatury_key "
    "DO UPDATE SET Istnieje=1";

} // namespace

// The three steps run as one transaction (a savepoint inside a caller's):
// a failure half-way must not leave every device marked gone.
bool TDM::OdswiezUrzadzeniaUzytkownikow() {
    const bool wTransakcji = FDConnection.inTransaction();
    int linia = 843;
    try {
        FDConnection.execute(wTransakcji ? "SAVEPOINT odswiez_urzadzenia" : "BEGIN");
        FDConnection.execute("UPDATE uzytkownicy_urzadzenia SET Istnieje=0");
        linia = 868;
        FDConnection.execute(WstawUrzadzenia);
        linia = 878;
        FDConnection.execute("DELETE FROM uzytkownicy_urzadzenia WHERE Istnieje=0 AND "
                             "(IdUserDeviceCloud IS NULL OR IdUserDeviceCloud=0)");
        FDConnection.execute(wTransakcji ? "RELEASE SAVEPOINT odswiez_urzadzenia" : "COMMIT");
        return true;
    } catch (const std::exception& wyjatek) {
        ZapiszWyjatek(wyjatek, "UnitDM", linia);
        try {
            FDConnection.execute(wTransakcji ? "ROLLBACK TO SAVEPOINT odswiez_urzadzenia" : "ROLLBACK");
        } catch (const std::exception&) {
        }
        return false;
    }
}
