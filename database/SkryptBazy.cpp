#include "database/SkryptBazy.h"

// Keys and indexes are declared without quotes and unique keys mostly without
// a name: the server then names them itself (<table>_<columns>_key) and the
// migration chain drops and re-creates keys by those names. Where a key has a
// name below, older versions of the schema gave it that name and later
// migrations refer to it, even where it no longer describes the columns.
namespace {

constexpr const char* kSkrypt[] = {
    "CREATE TABLE wersja (IDWersja serial PRIMARY KEY, Major integer, Minor integer)",
    "INSERT INTO wersja (Major, Minor) VALUES (9, 3)",

    "CREATE TABLE administratorzy (IdAdministratora serial PRIMARY KEY, Nazwa varchar(40), "
    "Haslo varchar(32), Rodzaj integer)",

    "CREATE TABLE rodzaj_zdarzenia (IdRodzajZdarzenia serial PRIMARY KEY, Nazwa varchar(40), "
    "Grupa integer, Symbol integer, Kolor integer, CzasTrwania integer, "
    "IdRodzajZdarzeniaKolejne integer, Dzwiek varchar(255))",

    // The logic logs built-in events by these ids, so they are written
    // explicitly; the key's sequence is left where it starts.
    "CREATE TABLE rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane serial PRIMARY KEY, "
    "Nazwa varchar(50), Symbol integer, Kolor integer)",
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
    "INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES "
    "(14, 'Nieudana próba wywołania lokalu'), "
    "(15, 'Wywołanie lokalu'), "
    "(16, 'Rozmowa z lokatorem'), "
    "(17, 'Otwarcie rygla z lokalu'), "
    "(18, 'Otwarcie rygla od wewnątrz')",
    "INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES "
    "(19, 'Nieudana próba otwarcia rygla kodem'), "
    "(20, 'Otwarcie rygla kodem'), "
    "(21, 'Nieudana próba otwarcia identyfikatorem'), "
    "(22, 'Otwarcie rygla identyfikatorem'), "
    "(23, 'Wywołanie dozorcy'), "
    "(24, 'Rozmowa z dozorcą')",
    "INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES "
    "(25, 'Wycofanie pojazdu'), "
    "(26, 'Odczytanie nieznanego identyfikatora'), "
    "(27, 'System uruchomiony'), "
    "(28, 'System zatrzymany'), "
    "(29, 'Użycie kodu')",

    "CREATE TABLE zdarzenia (IdZdarzenia serial PRIMARY KEY, IdRodzajZdarzenia integer, "
    "IdRodzajZdarzeniaWbudowane integer, DataCzasWystapienie timestamp, "
    "DataCzasZakonczenie timestamp, IdUzytkownika integer, IdBramy integer, "
    "IdIdentyfikatora integer, Przycisk integer)",
    // The start time twice, not start and end: stored databases have the
    // index so, and a new one must match them.
    "CREATE INDEX zdarzenia_czas_idx ON zdarzenia (DataCzasWystapienie, DataCzasWystapienie)",

    "CREATE TABLE karty (IdKarty serial PRIMARY KEY, IdRodzajKarty integer NOT NULL, "
    "IdMagistrali integer, Adres integer, Nazwa varchar(40), UNIQUE (IdMagistrali, Adres))",
    "CREATE INDEX karty_nazwa_idx ON karty (Nazwa)",

    "CREATE TABLE wejscia (IdWejscia serial PRIMARY KEY, IdKarty integer, Wejscie integer, "
    "Nazwa varchar(40), UNIQUE (IdKarty, Wejscie))",
    "CREATE INDEX wejscia_nazwa_idx ON wejscia (Nazwa)",

    // The controller is part of the key so that output 1 of two controllers
    // (both on board 0) can coexist.
    "CREATE TABLE wyjscia (IdWyjscia serial PRIMARY KEY, IdKarty integer, "
    "IdCentralaZarvoGsm integer, Wyjscie integer, Nazwa varchar(40), "
    "ImpulsCzasAktywny integer, ImpulsCzasNieaktywny integer, "
    "UNIQUE (IdKarty, IdCentralaZarvoGsm, Wyjscie))",
    "CREATE INDEX wyjscia_nazwa_idx ON wyjscia (Nazwa)",

    "CREATE TABLE neurony (IdNeuronu serial PRIMARY KEY, Nazwa varchar(40), Rodzaj integer, "
    "GodzinaOd integer, GodzinaDo integer, Podtrzymanie integer)",
    "CREATE INDEX neurony_nazwa_idx ON neurony (Nazwa)",

    "CREATE TABLE synapsy (IdSynapsy serial PRIMARY KEY, IdWejscia integer, IdNeuronuWe integer, "
    "IdPrzycisku integer, Negacja integer, Opoznienie integer, IdWyjscia integer, "
    "IdNeuronuWy integer, IdRodzajZdarzeniaWy integer, IdRodzajZdarzeniaWe integer)",

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

    "CREATE TABLE parametry (IdParametr serial PRIMARY KEY, Nazwa varchar(255), "
    "Wartosc varchar(255), UNIQUE (Nazwa))",

    "CREATE TABLE uzytkownicy (IdUzytkownika serial PRIMARY KEY, IdGrupyUzytkownikow integer, "
    "Imie varchar(55), Nazwisko varchar(55), Adres varchar(30), KodPocztowy varchar(6), "
    "Miejscowosc varchar(30), Rodzaj integer, Wynajmujacy boolean, Email varchar(255), "
    "Komentarz varchar(512))",

    "CREATE TABLE identyfikatory (IdIdentyfikatora serial PRIMARY KEY, Rodzaj integer, "
    "NumerSeryjny varchar(32), Licznik integer, IdUzytkownika integer, IdLokalu integer, "
    "LicznikUzycia integer, DataCzasUtworzenia timestamp, OgraniczenieOd timestamp, "
    "OgraniczenieDo timestamp)",

    "CREATE TABLE grupy_uzytkownikow (IdGrupyUzytkownikow serial PRIMARY KEY, Nazwa varchar(40), "
    "Rodzaj integer)",

    "CREATE TABLE grupy_uzytkownikow_uzytkownicy (IdGrupyUzytkownikowUzytkownicy serial PRIMARY KEY, "
    "IdGrupyUzytkownikow integer, IdUzytkownika integer)",

    "CREATE TABLE bramy (IdBramy serial PRIMARY KEY, IdWyjsciaOtworz integer, "
    "IdWyjsciaZamknij integer, CzasImpulsOtworz integer, CzasImpulsZamknij integer, "
    "CzasOtwierania integer, CzasZamykania integer, IdWejsciaKrancowkaOtwarcia integer, "
    "IdWejsciaKrancowkaZamkniecia integer, Nazwa varchar(40), GeoSzerokosc float, "
    "GeoDlugosc float)",

    "CREATE TABLE grupy_uzytkownikow_bramy (IdGrupyUzytkownikowBramy serial PRIMARY KEY, "
    "IdGrupyUzytkownikow integer, Przycisk integer, IdBramy integer)",

    "CREATE TABLE czytniki (IdCzytnika serial PRIMARY KEY, IdKarty integer, Czytnik integer, "
    "Nazwa varchar(40))",

    // MaxCzasNiekatywnosciZamkniecie is misspelt, and stays so: every stored
    // database has the column under this name.
    "CREATE TABLE przejazdy (IdPrzejazdu serial PRIMARY KEY, Nazwa varchar(40), IdBramy integer, "
    "BezCzytnika smallint, IdCzytnika integer, IdWejsciaStart integer, "
    "MaxCzasNiekatywnosciZamkniecie integer, IdWejsciaKoniec integer, IdWyjsciaStop integer, "
    "TrybStop integer, IdWyjsciaCzujnikStartowy integer, TrybCzujnikStartowy integer, "
    "IdWyjsciaCzekaj integer, TrybCzekaj integer, IdWyjsciaJedz integer, TrybJedz integer, "
    "Posredni boolean, FunkcjaWycofania boolean, Opis varchar(200))",

    "CREATE TABLE przejazdy_podtrzymanie (IdPrzejazdPodtrzymanie serial PRIMARY KEY, "
    "IdPrzejazdu integer, IdWejscia integer)",

    "CREATE TABLE magistrale (IdMagistrali serial PRIMARY KEY, Com integer, "
    "Wersja integer NOT NULL, Predkosc integer, Nazwa varchar(40), UNIQUE (Com))",

    "CREATE TABLE centrala_zarvo_gsm (IdCentralaZarvoGsm serial PRIMARY KEY, Nazwa varchar(40), "
    "ComCentralaZarvo integer, AdresCentraliPC integer, ComGsm integer, Pin integer, "
    "NumerSeryjny integer, Adres integer, ProtokolNrSeryjny boolean, Konfiguracja bytea, "
    "DataCzasKonfiguracja timestamp, KonfiguracjaNowa bytea, TypWersja integer, "
    "KameraSieciowa1 integer, KameraSieciowa2 integer, KameraSieciowa3 integer, "
    "KameraSieciowa4 integer, KameraSieciowa5 integer, KameraSieciowa6 integer, "
    "KameraSieciowa7 integer, KameraSieciowa8 integer, KameraSieciowa9 integer, "
    "KameraSieciowa10 integer, "
    "KameraSieciowaNowa1 integer, KameraSieciowaNowa2 integer, KameraSieciowaNowa3 integer, "
    "KameraSieciowaNowa4 integer, KameraSieciowaNowa5 integer, KameraSieciowaNowa6 integer, "
    "KameraSieciowaNowa7 integer, KameraSieciowaNowa8 integer, KameraSieciowaNowa9 integer, "
    "KameraSieciowaNowa10 integer, "
    "CONSTRAINT centrala_zarvo_gsm_numerseryjny_key UNIQUE (NumerSeryjny))",

    "CREATE TABLE adresy (IdAdresu serial PRIMARY KEY, KodPocztowy varchar(5), "
    "Miejscowosc varchar(60), Ulica varchar(55), Numer varchar(10), UNIQUE (Ulica, Numer))",

    "CREATE TABLE lokale (IdLokalu serial PRIMARY KEY, IdAdresu integer, Lokal varchar(35), "
    "IdCentralaZarvoGsm integer, Pin integer, LokalCentralaZarvo integer, Wylaczony boolean, "
    "TelefonDomofonu varchar(20), KodDomofonu integer, KodDomofonuWlaczony boolean, "
    "PinWlaczony boolean, IdPlaceCloud integer, PowiadamianieWlaczone boolean, "
    "CONSTRAINT lokale_idcentralazarvogsm_pin_key UNIQUE (IdCentralaZarvoGsm, Pin))",

    "CREATE TABLE zarvo_klawiatury (IdZarvoKlawiatury serial PRIMARY KEY, "
    "IdCentralaZarvoGsm integer, Numer integer, Nazwa varchar(40), IdDeviceCloud integer, "
    "UNIQUE (IdCentralaZarvoGsm, Numer))",

    "CREATE TABLE grupy_lokali (IdGrupyLokali serial PRIMARY KEY, Nazwa varchar(40))",

    "CREATE TABLE grupy_lokali_lokale (IdGrupyLokaliLokale serial PRIMARY KEY, "
    "IdGrupyLokali integer, IdLokalu integer, UNIQUE (IdGrupyLokali, IdLokalu))",

    "CREATE TABLE obszary (IdObszaru serial PRIMARY KEY, Nazwa varchar(40), UNIQUE (Nazwa))",

    "CREATE TABLE obszary_obiekty (IdObszaryObiekty serial PRIMARY KEY, IdObszaru integer, "
    "IdZarvoKlawiatury integer, IdGrupyLokali integer, IdLokalu integer)",

    "CREATE TABLE zdarzenia_centrali (IdZdarzeniaCentrali serial PRIMARY KEY, "
    "IdRodzajZdarzeniaWbudowane integer, DataCzasWystapienie timestamp, Transponder integer, "
    "Lokal integer, IdCentralaZarvoGsm integer, Klawiatura integer, KlatkaZrodlo integer, "
    "KlatkaCel integer, KodPin integer, IdLokalu integer, IdIdentyfikatora integer, "
    "IdZarvoKlawiatury integer)",

    "CREATE TABLE rejestr_zmian (IdRejestrZmian serial PRIMARY KEY, "
    "IdRejestrZmianZmiana integer, DataCzasWystapienie timestamp, nr_seryjny integer, "
    "lokal varchar(60), obszar varchar(40))",

    // The change register refers to these four kinds by id.
    "CREATE TABLE rejestr_zmian_zmiana (IdRejestrZmianZmiana serial PRIMARY KEY, "
    "opis varchar(40))",
    "INSERT INTO rejestr_zmian_zmiana (IdRejestrZmianZmiana, opis) VALUES "
    "(1, 'Dodanie transpondera'), "
    "(2, 'Usunięcie transpondera'), "
    "(3, 'Dodanie lokalu do obszaru'), "
    "(4, 'Usunięcie lokalu z obszaru')",

    "CREATE TABLE przejazdy_posrednie (IdPrzejazdPosredni serial PRIMARY KEY, "
    "IdPrzejazduMacierzystego integer, IdPrzejazdu integer, "
    "AktywacjaOtwarcieBramyMacierzystej boolean, AktywacjaIdWejscia integer, "
    "AktywacjaIdNeuronu integer)",

    "CREATE TABLE zdarzenia_akcje (IdZdarzeniaAkcja serial PRIMARY KEY, "
    "IdRodzajZdarzeniaWbudowane integer, IdCentralaZarvoGsm integer, "
    "IdZarvoKlawiatury integer, IdGrupyLokali integer, IdWyjscia integer, "
    "Wlaczenie boolean, Czas integer, IdNeuronu integer)",

    "CREATE TABLE enkodery (IdEnkodera serial PRIMARY KEY, Nazwa varchar(40), IPv4 bigint, "
    "PortIn integer, PortInForwarded integer, PortOut integer, PortOutForwarded integer, "
    "IdCentralaZarvoGsm integer)",

    "CREATE TABLE miejsca_parkingowe (IdMiejscaParkingowego serial PRIMARY KEY, "
    "IdLokalu integer, Nazwa varchar(15), IdAdresu integer, "
    "IdUzytkownikaWynajmujacego integer, IdUzytkownikaZajmujacego integer, "
    "DoWynajecia boolean, IdParkingPlaceCloud integer, "
    "IdGrupyUzytkownikowWynajmujacy integer, IdBramy integer)",

    "CREATE TABLE centrala_zarvo_gsm_pamiec (IdCentralaZarvoGsmPamiec serial PRIMARY KEY, "
    "CentralaZarvoNumerSeryjny integer, adres integer, dane bigint, "
    "UNIQUE (CentralaZarvoNumerSeryjny, adres))",

    "CREATE TABLE urzadzenia (IdUrzadzenia serial PRIMARY KEY, IdDeviceCloud integer, "
    "Nazwa varchar(50))",

    // The key's name is from when it had three columns; the migration chain
    // drops and re-creates it under that name.
    "CREATE TABLE uzytkownicy_urzadzenia (IdUzytkownikUrzadzenie serial PRIMARY KEY, "
    "IdUserDeviceCloud integer, IdUzytkownika integer, IdLokalu integer, "
    "IdUrzadzenia integer, Email varchar(255), IdZarvoKlawiatury integer, Rodzaj integer, "
    "Istnieje integer, DataCzasAktualizacji timestamp, "
    "CONSTRAINT uzytkownicy_urzadzenia_idlokalu_email_idzarvoklawiatury_key "
    "UNIQUE (IdUzytkownika, IdLokalu, Email, IdZarvoKlawiatury))",

    // IdMiejsceParkingowegoWynajem is misspelt as stored databases have it.
    "CREATE TABLE miejsca_parkingowe_wynajem (IdMiejsceParkingowegoWynajem serial PRIMARY KEY, "
    "Id varchar(36), IdMiejscaParkingowego integer, Imie varchar(55), Nazwisko varchar(55), "
    "Adres varchar(30), KodPocztowy varchar(6), Miejscowosc varchar(30), Email varchar(255), "
    "DataOd timestamp NOT NULL, DataDo timestamp NOT NULL, IdentyfikatorRodzaj integer, "
    "IdentyfikatorNumerSeryjny varchar(32), IdentyfikatorDataCzasUtworzenia timestamp, "
    "idRentIdentifier integer, DataCzasAktualizacji timestamp, "
    "CONSTRAINT miejsca_parkingowe_wynajem_idmiejscaparkingowego_dataczas_key "
    "UNIQUE (IdMiejscaParkingowego, DataOd, DataDo, idRentIdentifier))",

    "CREATE TABLE uzytkownicy_lokale (IdUzytkownikLokal serial PRIMARY KEY, "
    "IdUzytkownika integer, IdLokalu integer, DataCzasAktualizacji timestamp, "
    "CONSTRAINT uzytkownicy_lokale_idlokalu_key UNIQUE (IdUzytkownika, IdLokalu))",
};

} // namespace

// Sized from the list itself, so a statement left out or added fails to
// compile instead of leaving an empty slot at the end.
const std::array<const char*, 69> SkryptBazy = std::to_array(kSkrypt);
