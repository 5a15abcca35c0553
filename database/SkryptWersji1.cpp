#include "database/SkryptWersji1.h"

// Tables that did not change before the current version are written as in the
// current script; the rest as version 1.0 had them. Version 1.0 had none of
// the controller, flat, device and parking tables: the migration chain
// creates them.
namespace {

constexpr const char* kSkrypt[] = {
    "CREATE TABLE wersja (IDWersja serial PRIMARY KEY, Major integer, Minor integer)",
    "INSERT INTO wersja (Major, Minor) VALUES (1, 0)",

    "CREATE TABLE administratorzy (IdAdministratora serial PRIMARY KEY, Nazwa varchar(40), "
    "Haslo varchar(32), Rodzaj integer)",

    "CREATE TABLE rodzaj_zdarzenia (IdRodzajZdarzenia serial PRIMARY KEY, Nazwa varchar(40), "
    "Grupa integer, Symbol integer, Kolor integer, CzasTrwania integer, "
    "IdRodzajZdarzeniaKolejne integer, Dzwiek varchar(255))",

    // Names were 40 characters long until the controller events came; the
    // chain widens the column before it adds them.
    "CREATE TABLE rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane serial PRIMARY KEY, "
    "Nazwa varchar(40), Symbol integer, Kolor integer)",
    "INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES "
    "(1, 'Czujnik aktywny'), "
    "(2, 'Czujnik nieaktywny'), "
    "(3, 'Otwarcie bramy'), "
    "(4, 'Zamknięcie bramy'), "
    "(5, 'Trwa przejazd przez bramę')",
    "INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES "
    "(6, 'Brak uprawnień do przejazdu przez bramę'), "
    "(7, 'Użytkownik przejeżdża już przez bamę'), "
    "(8, 'Czujnik przed bramą nie jest aktywny')",
    "INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES "
    "(9, 'Identyfikator niezarejestrowany'), "
    "(10, 'Przejazd utworzony'), "
    "(11, 'Przejazd zakończony'), "
    "(12, 'Przejazd anulowany'), "
    "(13, 'Przycisk identyfikatora nieaktywny')",

    // Event times were dates in 1.0; the chain turns them into timestamps.
    "CREATE TABLE zdarzenia (IdZdarzenia serial PRIMARY KEY, IdRodzajZdarzenia integer, "
    "IdRodzajZdarzeniaWbudowane integer, DataCzasWystapienie date, "
    "DataCzasZakonczenie date, IdUzytkownika integer, IdBramy integer, "
    "IdIdentyfikatora integer, Przycisk integer)",
    "CREATE INDEX zdarzenia_czas_idx ON zdarzenia (DataCzasWystapienie, DataCzasWystapienie)",

    // Boards sat directly on a COM port before buses had a table of their own.
    "CREATE TABLE karty (IdKarty serial PRIMARY KEY, IdRodzajKarty integer NOT NULL, "
    "Com integer, Adres integer, Nazwa varchar(40), UNIQUE (Com, Adres))",
    "CREATE INDEX karty_nazwa_idx ON karty (Nazwa)",

    "CREATE TABLE wejscia (IdWejscia serial PRIMARY KEY, IdKarty integer, Wejscie integer, "
    "Nazwa varchar(40), UNIQUE (IdKarty, Wejscie))",
    "CREATE INDEX wejscia_nazwa_idx ON wejscia (Nazwa)",

    // Only boards had outputs; the key's server-chosen name is the one the
    // chain drops when controller outputs arrive.
    "CREATE TABLE wyjscia (IdWyjscia serial PRIMARY KEY, IdKarty integer, Wyjscie integer, "
    "Nazwa varchar(40), ImpulsCzasAktywny integer, ImpulsCzasNieaktywny integer, "
    "UNIQUE (IdKarty, Wyjscie))",
    "CREATE INDEX wyjscia_nazwa_idx ON wyjscia (Nazwa)",

    "CREATE TABLE neurony (IdNeuronu serial PRIMARY KEY, Nazwa varchar(40), Rodzaj integer, "
    "GodzinaOd integer, GodzinaDo integer, Podtrzymanie integer)",
    "CREATE INDEX neurony_nazwa_idx ON neurony (Nazwa)",

    // One event kind per link; the chain renames it to the outgoing one and
    // adds the incoming one after it.
    "CREATE TABLE synapsy (IdSynapsy serial PRIMARY KEY, IdWejscia integer, IdNeuronuWe integer, "
    "IdPrzycisku integer, Negacja integer, Opoznienie integer, IdWyjscia integer, "
    "IdNeuronuWy integer, IdRodzajZdarzenia integer)",

    "CREATE TABLE przyciski (IdPrzycisku serial PRIMARY KEY, IdPrzyciskuRodzic integer, "
    "IdZdarzenia integer, Etykieta varchar(40), Opis varchar(200), Rodzaj integer, "
    "Kolor integer, KolorGrupy integer, WszystkieWarstwy integer)",

    "CREATE TABLE obiekty (IdObiekt serial PRIMARY KEY, IdObiektRodzic integer, Rodzaj integer, "
    "IdRodzajZdarzenia integer, Nazwa varchar(40), KolorDach integer, KolorSciany integer, "
    "KolorPodloga integer, X float, Y float, Z float, Wysokosc float, Poziom float, "
    "Widok integer, NazwaPolozenie integer)",

    "CREATE TABLE obiekty_vertices (IdObiektVertices serial PRIMARY KEY, IdObiekt integer, "
    "PosX float, PosY float, PosZ float, NormalX float, NormalY float, NormalZ float)",
    "CREATE INDEX obiekty_vertices_id_obj_idx ON obiekty_vertices (IdObiekt)",

    "CREATE TABLE obiekty_indices (IdObiektIndices serial PRIMARY KEY, IdObiekt integer, "
    "Index integer)",
    "CREATE INDEX obiekty_indices_id_obiekt_idx ON obiekty_indices (IdObiekt)",

    "CREATE TABLE obiekty_przyciski (IdObiektPrzycisk serial PRIMARY KEY, IdObiekt integer, "
    "IdPrzycisku integer)",
    "CREATE INDEX obiekty_przyciski_id_obiekt_idx ON obiekty_przyciski (IdObiekt)",

    "CREATE TABLE obiekty_rodzaje_zdarzen (IdObiektRodzajZdarzenia serial PRIMARY KEY, "
    "IdObiekt integer, IdRodzajZdarzenia integer)",
    "CREATE INDEX obiekty_rodzaje_zdarzen_id_obiekt_idx ON obiekty_rodzaje_zdarzen (IdObiekt)",

    "CREATE TABLE grupy_zdarzen (IdGrupyZdarzen serial PRIMARY KEY, Nazwa varchar(40), "
    "Priorytet integer)",

    "CREATE TABLE tagi (IdTag serial PRIMARY KEY, Nazwa varchar(40), UNIQUE (Nazwa))",

    "CREATE TABLE rodzaj_zdarzenia_tagi (IdRodzajZdarzeniaTag serial PRIMARY KEY, "
    "IdRodzajZdarzenia integer, IdTag integer)",
    "CREATE INDEX rodzaj_zdarzenia_tagi_id_rz_idx ON rodzaj_zdarzenia_tagi (IdRodzajZdarzenia)",
    "CREATE INDEX rodzaj_zdarzenia_tagi_id_tag_idx ON rodzaj_zdarzenia_tagi (IdTag)",

    // The bus settings of 1.0 live here; the chain reads them when it builds
    // the bus table.
    "CREATE TABLE parametry (IdParametr serial PRIMARY KEY, Nazwa varchar(255), "
    "Wartosc varchar(255), UNIQUE (Nazwa))",

    "CREATE TABLE uzytkownicy (IdUzytkownika serial PRIMARY KEY, IdGrupyUzytkownikow integer, "
    "Imie varchar(20), Nazwisko varchar(30), Adres varchar(30), KodPocztowy varchar(6), "
    "Miejscowosc varchar(30), Rodzaj integer)",

    "CREATE TABLE identyfikatory (IdIdentyfikatora serial PRIMARY KEY, "
    "NumerSeryjny varchar(32), Licznik integer, IdUzytkownika integer)",

    "CREATE TABLE grupy_uzytkownikow (IdGrupyUzytkownikow serial PRIMARY KEY, Nazwa varchar(40), "
    "Rodzaj integer)",

    "CREATE TABLE grupy_uzytkownikow_uzytkownicy (IdGrupyUzytkownikowUzytkownicy serial PRIMARY KEY, "
    "IdGrupyUzytkownikow integer, IdUzytkownika integer)",

    "CREATE TABLE bramy (IdBramy serial PRIMARY KEY, IdWyjsciaOtworz integer, "
    "IdWyjsciaZamknij integer, CzasImpulsOtworz integer, CzasImpulsZamknij integer, "
    "CzasOtwierania integer, CzasZamykania integer, Nazwa varchar(40))",

    "CREATE TABLE grupy_uzytkownikow_bramy (IdGrupyUzytkownikowBramy serial PRIMARY KEY, "
    "IdGrupyUzytkownikow integer, Przycisk integer, IdBramy integer)",

    "CREATE TABLE czytniki (IdCzytnika serial PRIMARY KEY, IdKarty integer, Czytnik integer, "
    "Nazwa varchar(40))",

    // MaxCzasNiekatywnosciZamkniecie is misspelt, as in every stored database.
    "CREATE TABLE przejazdy (IdPrzejazdu serial PRIMARY KEY, Nazwa varchar(40), IdBramy integer, "
    "BezCzytnika smallint, IdCzytnika integer, IdWejsciaStart integer, "
    "MaxCzasNiekatywnosciZamkniecie integer, IdWejsciaKoniec integer, IdWyjsciaStop integer, "
    "TrybStop integer, IdWyjsciaCzekaj integer, TrybCzekaj integer, IdWyjsciaJedz integer, "
    "TrybJedz integer)",

    "CREATE TABLE przejazdy_podtrzymanie (IdPrzejazdPodtrzymanie serial PRIMARY KEY, "
    "IdPrzejazdu integer, IdWejscia integer)",
};

} // namespace

// Sized from the list itself, so a statement left out or added fails to
// compile.
const std::array<const char*, 44> SkryptWersji1 = std::to_array(kSkrypt);
