#include "database/Wersje.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <variant>
#include <vector>

#include "database/Database.h"
#include "database/TDM.h"
#include "platform/db/DbError.h"

int WersjaBazy = 0;

namespace {

struct Wersja {
    int major;
    int minor;
};

// Index = step - 1. Minors 10 to 14 are versions of their own (7.10 follows
// 7.9), and 5.3, 5.4 and 9.0 were never released.
constexpr std::array<Wersja, KrokAktualny> kWersje{{
    {1, 0}, {1, 1}, {4, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4}, {4, 5}, {4, 6},
    {5, 0}, {5, 1}, {5, 2}, {5, 5}, {5, 6}, {5, 7}, {5, 8}, {5, 9}, {5, 10},
    {6, 0}, {6, 1},
    {7, 0}, {7, 1}, {7, 2}, {7, 3}, {7, 4}, {7, 5}, {7, 6}, {7, 7}, {7, 8}, {7, 9},
    {7, 10}, {7, 11}, {7, 12}, {7, 13}, {7, 14},
    {8, 0}, {8, 1}, {8, 2}, {8, 3},
    {9, 1}, {9, 2}, {9, 3},
}};

int KrokZWersji(int major, int minor) {
    for (std::size_t i = 0; i < kWersje.size(); ++i)
        if (kWersje[i].major == major && kWersje[i].minor == minor)
            return static_cast<int>(i) + 1;
    return 0;
}

int PrzerwanieKroku = 0;

int LiczbaLubDomyslna(const std::string& tekst, int domyslna) {
    int wynik = 0;
    const char* koniec = tekst.data() + tekst.size();
    const auto [za, blad] = std::from_chars(tekst.data(), koniec, wynik);
    return blad == std::errc() && za == koniec ? wynik : domyslna;
}

// The bus settings of version 1.0 are read inside a savepoint: a missing or
// unreadable parametry table leaves the defaults and must not abort the
// step's transaction.
void CzytajUstawieniaMagistrali(int& wersja, int& predkosc) {
    db::Connection& polaczenie = DM->FDConnection;
    // An import replaces the table, so rows read before it are stale.
    DM->TableParametry.close();
    polaczenie.execute("SAVEPOINT ustawienia_magistrali");
    try {
        wersja = LiczbaLubDomyslna(Parametr("wersja_magistrali"), wersja);
        predkosc = LiczbaLubDomyslna(Parametr("predkosc_magistrali"), predkosc);
        polaczenie.execute("RELEASE SAVEPOINT ustawienia_magistrali");
    } catch (const std::exception&) {
        DM->TableParametry.close();
        polaczenie.execute("ROLLBACK TO SAVEPOINT ustawienia_magistrali");
    }
}

// Version 1.0 kept the COM port on each board; from 1.1 boards sit on a bus
// row that holds the port and the bus settings. A board without a port was
// on no bus the old program could poll, so it gets none here either: it
// keeps its row with an empty IdMagistrali, which the loader shows as a
// board without a bus, and the operator puts it on one.
bool PrzeniesMagistrale() {
    int wersja = 1;
    int predkosc = 19200;
    std::vector<int> porty;
    db::Table& magistrale = DM->TableMagistrale;
    try {
        CzytajUstawieniaMagistrali(wersja, predkosc);
        DM->Query.setSql("SELECT DISTINCT Com FROM Karty");
        DM->Query.open();
        for (; !DM->Query.eof(); DM->Query.next())
            if (!DM->Query.field("Com").isNull())
                porty.push_back(DM->Query.field("Com").asInt());
        DM->Query.close();
        // Open, if at all, on the tables of the database before an import.
        magistrale.close();
        magistrale.open(false);
    } catch (const db::DbError&) {
        DM->Query.close();
        magistrale.close();
        WykonajSql("ROLLBACK");
        return false;
    }
    // Buses numbered in port order, whatever order DISTINCT returns.
    std::sort(porty.begin(), porty.end());
    for (int com : porty) {
        int idMagistrali = 0;
        try {
            magistrale.append();
            magistrale.field("Com") = com;
            magistrale.field("Wersja") = wersja;
            magistrale.field("Predkosc") = predkosc;
            magistrale.post();
            idMagistrali = magistrale.field("IdMagistrali").asInt();
        } catch (const db::DbError&) {
            magistrale.cancel();
            magistrale.close();
            WykonajSql("ROLLBACK");
            return false;
        }
        if (!WykonajSql("UPDATE Karty SET IdMagistrali=" + std::to_string(idMagistrali) +
                        " WHERE Com=" + std::to_string(com))) {
            magistrale.close();
            return false;
        }
    }
    magistrale.close();
    return true;
}

// The unique keys on the two COM columns were created without names, so
// they are found by table; the names go back quoted, whatever they are.
bool UsunKluczeCentrali() {
    std::vector<std::string> klucze;
    try {
        DM->Query.setSql("SELECT quote_ident(constraint_name) AS nazwa FROM information_schema.table_constraints "
                         "WHERE table_schema='public' AND table_name='centrala_zarvo_gsm' "
                         "AND constraint_type='UNIQUE'");
        DM->Query.open();
        for (; !DM->Query.eof(); DM->Query.next())
            klucze.push_back(DM->Query.field("nazwa").asString());
        DM->Query.close();
    } catch (const db::DbError&) {
        DM->Query.close();
        WykonajSql("ROLLBACK");
        return false;
    }
    for (const std::string& klucz : klucze)
        if (!WykonajSql("ALTER TABLE centrala_zarvo_gsm DROP CONSTRAINT " + klucz))
            return false;
    return true;
}

// A statement for WykonajSql, or a part of a step that reads before it
// writes; the latter rolls back itself when it fails.
using Czynnosc = std::variant<const char*, bool (*)()>;

// Index = step - 1; step N brings the database from the version of step N
// to that of step N + 1.
const std::vector<Czynnosc> kKroki[KrokAktualny - 1] = {
    // 1: 1.0 -> 1.1
    {"CREATE TABLE magistrale (IdMagistrali serial primary key, Com integer UNIQUE, Wersja integer NOT NULL, "
     "Predkosc integer)",
     "ALTER TABLE karty ADD COLUMN IdMagistrali integer",
     PrzeniesMagistrale,
     // Also drops the old unique key on (Com, Adres).
     "ALTER TABLE karty DROP COLUMN Com",
     "ALTER TABLE karty ADD UNIQUE (IdMagistrali, Adres)"},
    // 2: 1.1 -> 4.0
    {"CREATE TABLE centrala_zarvo_gsm (IdCentralaZarvoGsm serial primary key, Nazwa varchar(40), "
     "ComCentralaZarvo int, AdresCentraliPC int, ComGsm int, Pin int, UNIQUE(ComCentralaZarvo), UNIQUE(ComGsm))",
     "CREATE TABLE adresy (IdAdresu serial primary key, Ulica varchar(40), Numer varchar(10), UNIQUE(Ulica, Numer))",
     "CREATE TABLE lokale (IdLokalu serial primary key, IdAdresu integer, Lokal varchar(10), LokalCentralaZarvo int, "
     "TelefonDomofonu varchar(20))"},
    // 3: 4.0 -> 4.1
    {"CREATE TABLE zarvo_klawiatury (IdZarvoKlawiatury serial primary key, IdCentralaZarvoGsm int, Numer int, "
     "Nazwa varchar(40), UNIQUE(IdCentralaZarvoGsm, Numer))",
     "CREATE TABLE centrala_zarvo_piny (IdCentralaZarvoPin serial primary key, IdCentralaZarvoGsm int, Pin int, "
     "Lokal int, UNIQUE(IdCentralaZarvoGsm, Pin))",
     "CREATE TABLE grupy_lokali (IdGrupyLokali serial primary key, Nazwa varchar(40))",
     "CREATE TABLE grupy_lokali_lokale (IdGrupyLokaliLokale serial primary key, IdGrupyLokali int, IdLokalu int, "
     "UNIQUE(IdGrupyLokali, IdLokalu))",
     "CREATE TABLE obszary (IdObszaru serial primary key, Nazwa varchar(40), UNIQUE(Nazwa))",
     "CREATE TABLE obszary_obiekty (IdObszaryObiekty serial primary key, IdObszaru int, IdZarvoKlawiatury int, "
     "IdGrupyLokali int, IdLokalu int)",
     "ALTER TABLE centrala_zarvo_gsm ADD COLUMN NumerSeryjny int, ADD COLUMN Adres int",
     "ALTER TABLE identyfikatory ADD COLUMN IdLokalu int, ADD COLUMN Rodzaj int",
     "ALTER TABLE zdarzenia ALTER COLUMN DataCzasWystapienie type TIMESTAMP USING "
     "DataCzasWystapienie::TIMESTAMP, ALTER COLUMN DataCzasZakonczenie type TIMESTAMP USING "
     "DataCzasZakonczenie::TIMESTAMP",
     // Every identifier of an older database is a remote control.
     "UPDATE identyfikatory SET Rodzaj=1",
     UsunKluczeCentrali,
     "ALTER TABLE centrala_zarvo_gsm ADD CONSTRAINT centrala_zarvo_gsm_numerseryjny_key UNIQUE (NumerSeryjny)"},
    // 4: 4.1 -> 4.2; the PIN table's rows are not carried over.
    {"DROP TABLE centrala_zarvo_piny",
     "ALTER TABLE lokale ADD COLUMN IdCentralaZarvoGsm int, ADD COLUMN Pin int, ADD COLUMN Wylaczony bool",
     "ALTER TABLE lokale ADD CONSTRAINT lokale_idcentralazarvogsm_pin_key UNIQUE (IdCentralaZarvoGsm, Pin)",
     "ALTER TABLE lokale ADD CONSTRAINT lokale_lokalcentralazarvo_key UNIQUE (LokalCentralaZarvo)"},
    // 5: 4.2 -> 4.3
    {"ALTER TABLE bramy ADD COLUMN IdWejsciaKrancowkaOtwarcia int, ADD COLUMN IdWejsciaKrancowkaZamkniecia int",
     "ALTER TABLE przejazdy ADD COLUMN IdWyjsciaCzujnikStartowy int, ADD COLUMN TrybCzujnikStartowy int"},
    // 6: 4.3 -> 4.4; the texts are those of the time, not of a new database.
    {"ALTER TABLE zdarzenia ADD COLUMN IdLokalu int, ADD COLUMN IdCentralaZarvoGsm int, ADD COLUMN IdZarvoKlawiatury "
     "int, ADD COLUMN IdObszaru int, ADD COLUMN IdKlatkiZrodlo int, ADD COLUMN IdKlatkiCel int, ADD COLUMN KodPin int",
     "ALTER TABLE rodzaj_zdarzenia_wbudowane ALTER COLUMN Nazwa TYPE varchar(50)",
     "INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES "
     "(14, 'Nieudane wywołanie lokalu'), (15, 'Wywołanie lokalu'), (16, 'Rozmowa z lokatorem'), "
     "(17, 'Otwarcie drzwi z lokalu'), (18, 'Otwarcie drzwi od wewnątrz');",
     "INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES "
     "(19, 'Nieudana próba otwarcia drzwi kodem'), (20, 'Otwarcie drzwi kodem'), "
     "(21, 'Nieudana próba otwarcia drzwi identyfikatorem'), (22, 'Otwarcie drzwi identyfikatorem'), "
     "(23, 'Wywołanie dozorcy'), (24, 'Rozmowa z dozorcą');"},
    // 7: 4.4 -> 4.5; controller events get their own log, so step 6's columns go again.
    {"CREATE TABLE zdarzenia_centrali (IdZdarzeniaCentrali serial primary key, IdRodzajZdarzeniaWbudowane int, "
     "DataCzasWystapienie TIMESTAMP, Transponder int, Lokal int, IdCentralaZarvoGsm int, Klawiatura int, "
     "KlatkaZrodlo int, KlatkaCel int, KodPin int)",
     "ALTER TABLE zdarzenia DROP COLUMN IdLokalu, DROP COLUMN IdCentralaZarvoGsm, DROP COLUMN IdZarvoKlawiatury, "
     "DROP COLUMN IdObszaru, DROP COLUMN IdKlatkiZrodlo, DROP COLUMN IdKlatkiCel, DROP COLUMN KodPin"},
    // 8: 4.5 -> 4.6
    {"ALTER TABLE identyfikatory ADD COLUMN LicznikUzycia int"},
    // 9: 4.6 -> 5.0; the change register refers to the four kinds by id.
    {"CREATE TABLE rejestr_zmian (IdRejestrZmian serial primary key, IdRejestrZmianZmiana int, "
     "DataCzasWystapienie TIMESTAMP, nr_seryjny int, lokal varchar(60), obszar varchar(40));",
     "CREATE TABLE rejestr_zmian_zmiana (IdRejestrZmianZmiana serial primary key, opis varchar(40));",
     "INSERT INTO rejestr_zmian_zmiana (IdRejestrZmianZmiana, opis) VALUES (1, 'Dodanie transpondera'), "
     "(2, 'Usunięcie transpondera'), (3, 'Dodanie lokalu do obszaru'), (4, 'Usunięcie lokalu z obszaru');"},
    // 10: 5.0 -> 5.1
    {"CREATE TABLE przejazdy_posrednie (IdPrzejazdPosredni serial primary key, IdPrzejazduMacierzystego int, "
     "IdPrzejazdu int, AktywacjaOtwarcieBramyMacierzystej bool, AktywacjaIdWejscia int, AktywacjaIdNeuronu int);"},
    // 11: 5.1 -> 5.2
    {"ALTER TABLE przejazdy ADD Posredni BOOL, ADD FunkcjaWycofania BOOL;",
     "INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES(25, 'Wycofanie pojazdu');"},
    // 12: 5.2 -> 5.5
    {"CREATE TABLE zdarzenia_akcje (IdZdarzeniaAkcja serial primary key, IdRodzajZdarzeniaWbudowane int, "
     "IdCentralaZarvoGsm int, IdZarvoKlawiatury int, IdGrupyLokali int, IdWyjscia int, Wlaczenie boolean, "
     "Czas int);"},
    // 13: 5.5 -> 5.6
    {"ALTER TABLE lokale ALTER COLUMN Lokal TYPE varchar(20);",
     "ALTER TABLE magistrale ADD COLUMN Nazwa varchar(40);",
     "ALTER TABLE identyfikatory ADD COLUMN DataCzasUtworzenia TIMESTAMP;"},
    // 14: 5.6 -> 5.7
    {"ALTER TABLE lokale DROP CONSTRAINT lokale_lokalcentralazarvo_key",
     "ALTER TABLE centrala_zarvo_gsm ADD COLUMN ProtokolNrSeryjny BOOL"},
    // 15: 5.7 -> 5.8
    {"ALTER TABLE zdarzenia_centrali ADD COLUMN IdLokalu int",
     "ALTER TABLE zdarzenia_centrali ADD COLUMN IdIdentyfikatora int",
     "ALTER TABLE zdarzenia_centrali ADD COLUMN IdZarvoKlawiatury int"},
    // 16: 5.8 -> 5.9
    {"ALTER TABLE lokale ALTER COLUMN Lokal TYPE varchar(35)",
     "ALTER TABLE lokale ADD COLUMN Email varchar(255)",
     "ALTER TABLE uzytkownicy ALTER COLUMN Imie TYPE varchar(55)",
     "ALTER TABLE uzytkownicy ALTER COLUMN Nazwisko TYPE varchar(55)",
     "ALTER TABLE adresy ALTER COLUMN Ulica TYPE varchar(55)",
     "CREATE TABLE enkodery (IdEnkodera serial primary key, Nazwa varchar(40), IPv4 bigint, Port int, "
     "PortForwarded int, IdCentralaZarvoGsm int)",
     "CREATE TABLE miejsca_parkingowe (IdMiejscaParkingowego serial primary key, IdLokalu int, Nazwa varchar(15))"},
    // 17: 5.9 -> 5.10
    {"ALTER TABLE enkodery RENAME PortForwarded TO PortOutForwarded",
     "ALTER TABLE enkodery RENAME Port TO PortOut",
     "ALTER TABLE enkodery ADD COLUMN PortIn int",
     "ALTER TABLE enkodery ADD COLUMN PortInForwarded int"},
    // 18: 5.10 -> 6.0
    {"ALTER TABLE lokale ADD COLUMN IdCloud int",
     "CREATE TABLE centrala_zarvo_gsm_pamiec (IdCentralaZarvoGsmPamiec serial primary key, "
     "CentralaZarvoNumerSeryjny int, adres int, dane bigint, UNIQUE(CentralaZarvoNumerSeryjny, Adres))"},
    // 19: 6.0 -> 6.1
    {"ALTER TABLE synapsy RENAME IdRodzajZdarzenia TO IdRodzajZdarzeniaWy",
     "ALTER TABLE synapsy ADD COLUMN IdRodzajZdarzeniaWe int",
     "ALTER TABLE zdarzenia_akcje ADD COLUMN IdNeuronu int"},
    // 20: 6.1 -> 7.0
    {"ALTER TABLE adresy ADD COLUMN KodPocztowy varchar(5)",
     "ALTER TABLE adresy ADD COLUMN Miejscowosc varchar(60)",
     "ALTER TABLE miejsca_parkingowe ADD COLUMN IdAdresu int",
     "ALTER TABLE miejsca_parkingowe ADD COLUMN IdUzytkownikaWynajmujacego int",
     "ALTER TABLE miejsca_parkingowe ADD COLUMN IdUzytkownikaZajmujacego int",
     "ALTER TABLE miejsca_parkingowe ADD COLUMN DoWynajecia boolean",
     "ALTER TABLE miejsca_parkingowe ADD COLUMN IdParkingPlaceCloud int",
     "ALTER TABLE uzytkownicy ADD COLUMN Wynajmujacy boolean",
     "ALTER TABLE identyfikatory ADD COLUMN OgraniczenieOd TIMESTAMP",
     "ALTER TABLE identyfikatory ADD COLUMN OgraniczenieDo TIMESTAMP"},
    // 21: 7.0 -> 7.1
    {"ALTER TABLE miejsca_parkingowe ADD COLUMN IdGrupyUzytkownikowWynajmujacy int"},
    // 22: 7.1 -> 7.2
    {"ALTER TABLE lokale RENAME IdCloud TO IdPlaceCloud"},
    // 23: 7.2 -> 7.3; controllers get outputs too, numbered like a board's.
    {"ALTER TABLE wyjscia ADD COLUMN IdCentralaZarvoGsm int",
     "ALTER TABLE wyjscia DROP CONSTRAINT wyjscia_idkarty_wyjscie_key",
     "ALTER TABLE wyjscia ADD UNIQUE(IdKarty, IdCentralaZarvoGsm, Wyjscie)"},
    // 24: 7.3 -> 7.4
    {"CREATE TABLE urzadzenia (IdUrzadzenia serial primary key, Nazwa VARCHAR(50));",
     "CREATE TABLE uzytkownicy_urzadzenia (IdUzytkownikUrzadzenie serial primary key, IdUzytkownika int, "
     "IdUrzadzenia int);",
     "CREATE TABLE miejsca_parkingowe_wynajem (IdMiejsceParkingowegoWynajem serial primary key, Id VARCHAR(36), "
     "IdMiejscaParkingowego int, Imie varchar(55), Nazwisko varchar(55), Adres varchar(30), KodPocztowy varchar(6), "
     "Miejscowosc varchar(30), DataOd TIMESTAMP, DataDo TIMESTAMP);"},
    // 25: 7.4 -> 7.5
    {"ALTER TABLE urzadzenia ADD COLUMN IdDeviceCloud int",
     "ALTER TABLE uzytkownicy_urzadzenia ADD COLUMN IdUserDeviceCloud int",
     "ALTER TABLE uzytkownicy_urzadzenia ADD COLUMN IdLokalu int"},
    // 26: 7.5 -> 7.6
    {"ALTER TABLE uzytkownicy_urzadzenia ADD COLUMN Email varchar(255)",
     "ALTER TABLE uzytkownicy_urzadzenia ADD COLUMN IdZarvoKlawiatury int"},
    // 27: 7.6 -> 7.7. The residents' devices are left empty: the rebuild
    // reads columns and a table that only steps 35 and 37 create, so it
    // cannot run at this version. The loader rebuilds them before it reads
    // anything, once the database is current.
    {"ALTER TABLE zarvo_klawiatury ADD COLUMN IdDeviceCloud int",
     "ALTER TABLE uzytkownicy_urzadzenia ADD COLUMN DataCzasAktualizacji TIMESTAMP NULL",
     "TRUNCATE TABLE uzytkownicy_urzadzenia",
     "ALTER TABLE uzytkownicy_urzadzenia ADD CONSTRAINT uzytkownicy_urzadzenia_idlokalu_email_idzarvoklawiatury_key "
     "UNIQUE (IdLokalu, Email, IdZarvoKlawiatury)"},
    // 28: 7.7 -> 7.8; a rental without dates makes the step fail.
    {"ALTER TABLE miejsca_parkingowe_wynajem ADD COLUMN IdentyfikatorRodzaj int",
     "ALTER TABLE miejsca_parkingowe_wynajem ADD COLUMN IdentyfikatorNumerSeryjny varchar(32)",
     "ALTER TABLE miejsca_parkingowe_wynajem ADD COLUMN IdentyfikatorDataCzasUtworzenia TIMESTAMP",
     "ALTER TABLE miejsca_parkingowe_wynajem ADD COLUMN idRentIdentifier int",
     "ALTER TABLE miejsca_parkingowe_wynajem ADD COLUMN DataCzasAktualizacji TIMESTAMP NULL",
     "ALTER TABLE miejsca_parkingowe_wynajem ALTER COLUMN DataOd SET NOT NULL",
     "ALTER TABLE miejsca_parkingowe_wynajem ALTER COLUMN DataDo SET NOT NULL",
     "ALTER TABLE miejsca_parkingowe_wynajem ADD CONSTRAINT "
     "miejsca_parkingowe_wynajem_idmiejscaparkingowego_dataczas_key UNIQUE(IdMiejscaParkingowego, DataOd, DataDo, "
     "idRentIdentifier)"},
    // 29: 7.8 -> 7.9
    {"ALTER TABLE bramy ADD COLUMN GeoSzerokosc float, ADD COLUMN GeoDlugosc float",
     "ALTER TABLE przejazdy ADD COLUMN Opis varchar(200)",
     "ALTER TABLE miejsca_parkingowe ADD COLUMN IdBramy INT"},
    // 30: 7.9 -> 7.10
    {"ALTER TABLE lokale ADD COLUMN KodDomofonu int"},
    // 31: 7.10 -> 7.11
    {"ALTER TABLE centrala_zarvo_gsm ADD COLUMN Konfiguracja BYTEA, ADD COLUMN DataCzasKonfiguracja TIMESTAMP NULL"},
    // 32: 7.11 -> 7.12; both switched on for every existing flat.
    {"ALTER TABLE lokale ADD COLUMN KodDomofonuWlaczony BOOL, ADD COLUMN PinWlaczony BOOL",
     "UPDATE lokale SET KodDomofonuWlaczony=TRUE, PinWlaczony=TRUE"},
    // 33: 7.12 -> 7.13; serial numbers become lower-case hexadecimal without
    // leading zeros.
    {"UPDATE identyfikatory SET numerseryjny=LOWER(TRIM(LEADING '0' FROM numerseryjny))"},
    // 34: 7.13 -> 7.14
    {"INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES(27, 'System uruchomiony'), "
     "(28, 'System zatrzymany');"},
    // 35: 7.14 -> 8.0
    {"ALTER TABLE uzytkownicy ADD COLUMN Email VARCHAR(255)",
     "ALTER TABLE lokale ADD COLUMN IdUzytkownika int",
     "ALTER TABLE miejsca_parkingowe_wynajem ADD COLUMN Email VARCHAR(255)"},
    // 36: 8.0 -> 8.1: a flat's e-mail address becomes a resident of that flat.
    {"ALTER TABLE uzytkownicy ADD COLUMN Komentarz VARCHAR(512)",
     "INSERT INTO uzytkownicy_urzadzenia(IdUzytkownika, IdLokalu) SELECT IdUzytkownika, IdLokalu FROM Lokale WHERE "
     "IdUzytkownika IS NOT NULL",
     "ALTER TABLE lokale DROP COLUMN IdUzytkownika",
     // NOT EXISTS, not NOT IN: residents' e-mails are mostly NULL here (the
     // column is one step old), and NOT IN against a NULL drops every row.
     // An address that a resident already has makes no second resident.
     "INSERT INTO uzytkownicy(Email) SELECT DISTINCT l.Email FROM Lokale AS l WHERE l.Email <> '' AND NOT EXISTS "
     "(SELECT 1 FROM uzytkownicy AS u WHERE u.Email=l.Email) ORDER BY l.Email",
     // The flat's address is about to go, so the flat is linked to the
     // resident that has it now (step 37 moves these links to their own
     // table); of residents sharing an address, the first one.
     "INSERT INTO uzytkownicy_urzadzenia(IdUzytkownika, IdLokalu) SELECT (SELECT min(u.IdUzytkownika) FROM "
     "uzytkownicy AS u WHERE u.Email=l.Email), l.IdLokalu FROM Lokale AS l WHERE l.Email <> ''",
     "ALTER TABLE lokale DROP COLUMN Email",
     "ALTER TABLE uzytkownicy_urzadzenia DROP CONSTRAINT uzytkownicy_urzadzenia_idlokalu_email_idzarvoklawiatury_key",
     // Residents may share an address: the first one gets the device. A
     // device whose address no resident has keeps the resident it had.
     "UPDATE uzytkownicy_urzadzenia AS uu SET IdUzytkownika=(SELECT min(u.IdUzytkownika) FROM uzytkownicy AS u WHERE "
     "u.email=uu.email) WHERE uu.email!='' AND EXISTS (SELECT 1 FROM uzytkownicy AS u WHERE u.email=uu.email)",
     "ALTER TABLE uzytkownicy_urzadzenia ADD CONSTRAINT uzytkownicy_urzadzenia_idlokalu_email_idzarvoklawiatury_key "
     "UNIQUE(IdUzytkownika, IdLokalu, Email, IdZarvoKlawiatury)"},
    // 37: 8.1 -> 8.2: resident-flat links get their own table.
    {"CREATE TABLE uzytkownicy_lokale (IdUzytkownikLokal serial primary key, IdUzytkownika int, IdLokalu int, "
     "DataCzasAktualizacji TIMESTAMP NULL, CONSTRAINT uzytkownicy_lokale_idlokalu_key UNIQUE(IdUzytkownika, "
     "IdLokalu));",
     // The same link can stand in several device rows.
     "INSERT INTO uzytkownicy_lokale(IdUzytkownika, IdLokalu) SELECT DISTINCT IdUzytkownika, IdLokalu FROM "
     "uzytkownicy_urzadzenia WHERE IdUzytkownika IS NOT NULL AND IdLokalu IS NOT NULL AND (IdZarvoKlawiatury IS NULL "
     "OR IdZarvoKlawiatury=0) ORDER BY IdUzytkownika, IdLokalu",
     "DELETE FROM uzytkownicy_urzadzenia WHERE IdUzytkownika IS NOT NULL AND IdLokalu IS NOT NULL AND "
     "(IdZarvoKlawiatury IS NULL OR IdZarvoKlawiatury=0)",
     "ALTER TABLE uzytkownicy_urzadzenia ADD COLUMN Rodzaj INT, ADD COLUMN Istnieje INT",
     "ALTER TABLE uzytkownicy_urzadzenia DROP CONSTRAINT uzytkownicy_urzadzenia_idlokalu_email_idzarvoklawiatury_key",
     "ALTER TABLE uzytkownicy_urzadzenia ADD CONSTRAINT uzytkownicy_urzadzenia_idlokalu_email_idzarvoklawiatury_key "
     "UNIQUE(IdUzytkownika, IdLokalu, Email, IdZarvoKlawiatury)",
     "UPDATE uzytkownicy_urzadzenia SET Rodzaj=1, Istnieje=1"},
    // 38: 8.2 -> 8.3
    {"INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES(29, 'Użycie kodu')"},
    // 39: 8.3 -> 9.1
    {"ALTER TABLE centrala_zarvo_gsm ADD COLUMN KonfiguracjaNowa BYTEA",
     "ALTER TABLE lokale ADD COLUMN PowiadamianieWlaczone BOOL",
     "UPDATE lokale SET PowiadamianieWlaczone=FALSE"},
    // 40: 9.1 -> 9.2
    {"ALTER TABLE centrala_zarvo_gsm ADD COLUMN TypWersja INT"},
    // 41: 9.2 -> 9.3
    {"ALTER TABLE centrala_zarvo_gsm ADD COLUMN KameraSieciowa1 INT, ADD COLUMN KameraSieciowa2 INT, "
     "ADD COLUMN KameraSieciowa3 INT, ADD COLUMN KameraSieciowa4 INT, ADD COLUMN KameraSieciowa5 INT, "
     "ADD COLUMN KameraSieciowa6 INT, ADD COLUMN KameraSieciowa7 INT, ADD COLUMN KameraSieciowa8 INT, "
     "ADD COLUMN KameraSieciowa9 INT, ADD COLUMN KameraSieciowa10 INT, ADD COLUMN KameraSieciowaNowa1 INT, "
     "ADD COLUMN KameraSieciowaNowa2 INT, ADD COLUMN KameraSieciowaNowa3 INT, ADD COLUMN KameraSieciowaNowa4 INT, "
     "ADD COLUMN KameraSieciowaNowa5 INT, ADD COLUMN KameraSieciowaNowa6 INT, ADD COLUMN KameraSieciowaNowa7 INT, "
     "ADD COLUMN KameraSieciowaNowa8 INT, ADD COLUMN KameraSieciowaNowa9 INT, ADD COLUMN KameraSieciowaNowa10 INT"},
};

bool Wykonaj(const Czynnosc& czynnosc) {
    if (const auto* sql = std::get_if<const char*>(&czynnosc))
        return WykonajSql(*sql);
    return std::get<bool (*)()>(czynnosc)();
}

// One step in its own transaction, committed together with the version it
// reaches.
bool WykonajKrok(int krok) {
    if (!DM->FDConnection.connected())
        DM->FDConnection.open();
    if (!WykonajSql("BEGIN"))
        return false;
    try {
        for (const Czynnosc& czynnosc : kKroki[krok - 1])
            if (!Wykonaj(czynnosc))
                return false;
    } catch (...) {
        // Whatever escapes, the session must not stay inside half a step.
        if (DM->FDConnection.inTransaction())
            DM->FDConnection.execute("ROLLBACK");
        throw;
    }
    if (krok == PrzerwanieKroku) {
        PrzerwanieKroku = 0;
        WykonajSql("ROLLBACK");
        return false;
    }
    const Wersja& nastepna = kWersje[krok];
    if (!WykonajSql("UPDATE wersja SET major=" + std::to_string(nastepna.major) +
                    ", minor=" + std::to_string(nastepna.minor)))
        return false;
    return WykonajSql("COMMIT");
}

} // namespace

int KrokWersji() {
    db::Query& zapytanie = DM->Query;
    zapytanie.setSql("SELECT * FROM information_schema.tables WHERE table_schema='public'");
    zapytanie.open();
    const bool bezTabel = zapytanie.eof();
    zapytanie.close();
    if (bezTabel)
        return -1;
    try {
        // Qualified, so that a wersja of another schema on the search path
        // is not taken for this database's.
        zapytanie.setSql("SELECT major, minor FROM public.wersja");
        zapytanie.open();
        if (zapytanie.eof()) {
            zapytanie.close();
            return 0;
        }
        const int major = zapytanie.field("major").asInt();
        const double minor = zapytanie.field("minor").asDouble();
        zapytanie.close();
        if (!(minor >= 0 && minor < 1000))
            return 0;
        return KrokZWersji(major, static_cast<int>(minor));
    } catch (const std::exception&) {
        zapytanie.close();
        return 0;
    }
}

bool BazaAktualna() { return WersjaBazy == KrokAktualny; }

bool BazaRozpoznana() { return WersjaBazy > 0; }

std::string Parametr(std::string_view nazwa) {
    db::Table& parametry = DM->TableParametry;
    if (!parametry.active())
        parametry.open();
    if (!parametry.locate("Nazwa", db::Value(nazwa)))
        return {};
    return parametry.field("Wartosc").asString();
}

bool AktualizujStrukture(int krok) {
    if (krok < 1 || krok >= KrokAktualny)
        return false;
    db::StatementTimeoutScope czas(DM->FDConnection, TDM::CzasDlugiejPracy);
    for (; krok < KrokAktualny; ++krok)
        if (!WykonajKrok(krok))
            return false;
    return true;
}

void UstawPrzerwanieKroku(int krok) { PrzerwanieKroku = krok; }
