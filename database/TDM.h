#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "core/Uslugi.h"
#include "database/PisarzBazy.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"

namespace db = platform::db;

// The data module: the one connection to the database, a table component
// for each table that is appended to or edited row by row, and the queries
// and command through which SQL runs. Every part of the program reaches the
// database through the components of its one instance DM, by name. It
// belongs to the main thread; threads that need the database open their own
// connection.
class TDM : public DaneModelu {
public:
    // The bounds of the windows' own statements: longer work (the loader,
    // imports, reports, the schema steps) sets its own.
    static constexpr std::chrono::milliseconds CzasPolaczenia{2000};
    static constexpr std::chrono::milliseconds CzasPolecenia{5000};
    // The load, the imports and the schema steps read or change whole
    // tables; a server that does not answer still ends them.
    static constexpr std::chrono::milliseconds CzasDlugiejPracy{600'000};

    TDM();
    ~TDM() override;
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    db::Connection FDConnection;

    db::Table TableRodzajZdarzenia{FDConnection, "rodzaj_zdarzenia"};
    db::Table TableZdarzenia{FDConnection, "zdarzenia"};
    db::Table TableWejscia{FDConnection, "wejscia"};
    db::Table TableWyjscia{FDConnection, "wyjscia"};
    db::Table TableNeurony{FDConnection, "neurony"};
    db::Table TableSynapsy{FDConnection, "synapsy"};
    db::Table TableKarty{FDConnection, "karty"};
    db::Table TableUzytkownicy{FDConnection, "uzytkownicy"};
    db::Table TablePrzyciski{FDConnection, "przyciski"};
    db::Table TableObiekty{FDConnection, "obiekty"};
    db::Table TableObiektyVertices{FDConnection, "obiekty_vertices"};
    db::Table TableObiektyIndices{FDConnection, "obiekty_indices"};
    db::Table TableObiektyPrzyciski{FDConnection, "obiekty_przyciski"};
    db::Table TableObiektyRodzajeZdarzen{FDConnection, "obiekty_rodzaje_zdarzen"};
    db::Table TableGrupyZdarzen{FDConnection, "grupy_zdarzen"};
    db::Table TableTagi{FDConnection, "tagi"};
    db::Table RodzajZdarzeniaTag{FDConnection, "rodzaj_zdarzenia_tagi"};
    db::Table TableParametry{FDConnection, "parametry"};
    db::Table Tabela{FDConnection, ""}; // its user names the table
    db::Table TableAdministratorzy{FDConnection, "administratorzy"};
    db::Table TableBramy{FDConnection, "bramy"};
    db::Table TablePrzejazdy{FDConnection, "przejazdy"};
    db::Table TableGrupyUzytkownikowBramy{FDConnection, "grupy_uzytkownikow_bramy"};
    db::Table TableGrupyUzytkownikow{FDConnection, "grupy_uzytkownikow"};
    db::Table TableIdentyfikatory{FDConnection, "identyfikatory"};
    db::Table TablePrzejazdyPodtrzymanie{FDConnection, "przejazdy_podtrzymanie"};
    db::Table TableCzytniki{FDConnection, "czytniki"};
    db::Table TableRodzajZdarzeniaWbudowane{FDConnection, "rodzaj_zdarzenia_wbudowane"};
    db::Table TableMagistrale{FDConnection, "magistrale"};
    db::Table TableCentralaZarvoGsm{FDConnection, "centrala_zarvo_gsm"};
    db::Table TableLokale{FDConnection, "lokale"};
    db::Table TableAdresy{FDConnection, "adresy"};
    db::Table TableZarvoKlawiatury{FDConnection, "zarvo_klawiatury"};
    db::Table TableObszary{FDConnection, "obszary"};
    db::Table TableObszaryObiekty{FDConnection, "obszary_obiekty"};
    db::Table TableGrupyLokali{FDConnection, "grupy_lokali"};
    db::Table TableGrupyLokaliLokale{FDConnection, "grupy_lokali_lokale"};
    db::Table TableZdarzeniaCentrali{FDConnection, "zdarzenia_centrali"};
    db::Table TableGrupyUzytkownikowUzytkownicy{FDConnection, "grupy_uzytkownikow_uzytkownicy"};
    db::Table TableRejestrZmian{FDConnection, "rejestr_zmian"};
    db::Table TableRejestrZmianZmiana{FDConnection, "rejestr_zmian_zmiana"};
    db::Table TablePrzejazdyPosrednie{FDConnection, "przejazdy_posrednie"};
    db::Table TableZdarzeniaAkcja{FDConnection, "zdarzenia_akcje"};
    db::Table TableEnkodery{FDConnection, "enkodery"};
    db::Table TableMiejscaParkingowe{FDConnection, "miejsca_parkingowe"};
    db::Table TableUrzadzenia{FDConnection, "urzadzenia"};
    db::Table TableUzytkownicyUrzadzenia{FDConnection, "uzytkownicy_urzadzenia"};

    db::Query Query{FDConnection};
    db::Query SubQuery{FDConnection};
    db::Query QueryRaport{FDConnection};
    db::Query QueryZdarzenia{FDConnection};
    db::Command Command{FDConnection};

    // What the tick and the devices write goes through the writer, which
    // follows this connection's settings and never makes the tick wait.
    void ZapiszZdarzenie(WierszZdarzenia wiersz, const IdWiersza& id) override {
        Pisarz.UstawPolaczenie(FDConnection);
        Pisarz.Zapisz(std::move(wiersz), id);
    }
    void ZakonczZdarzenie(const IdWiersza& id, DataCzas koniec) override {
        Pisarz.UstawPolaczenie(FDConnection);
        Pisarz.Zakoncz(id, koniec);
    }
    void ZapiszZmiane(ZmianaWiersza zmiana) override {
        Pisarz.UstawPolaczenie(FDConnection);
        Pisarz.Zmien(std::move(zmiana));
    }
    PisarzBazy Pisarz;

    // Serialises the two parking-rental operations of the cloud link; held
    // by nothing else and never while waiting for the operator.
    static void Zablokuj();
    static void Odblokuj();

    bool RejestrujZmianeLokalu(bool dodany, std::int32_t numerSeryjny, std::int32_t idUzytkownika, std::int32_t idLokalu);
    bool RejestrujZmianeObszaru(bool dodany, std::int32_t idLokalu, std::int32_t idObszaru);
    int DodajUzytkownika(bool& duplikat, int idGrupyUzytkownikow, const std::string& imie, const std::string& nazwisko,
                         const std::string& adres, const std::string& miejscowosc, const std::string& kodPocztowy,
                         const std::string& email, int rodzaj, bool wynajmujacy);
    bool OdswiezUrzadzeniaUzytkownikow();
    // Applies the cloud service's parking-space rentals to the rows; the
    // cloud link that brings them is not built yet, so there is nothing to
    // apply.
    void SynchronizujWynajemMiejsc() {}

private:
    std::optional<std::string> TekstLokalu(std::int32_t idLokalu);
    bool ZapiszRejestr(int zmiana, std::int32_t idLokalu, const db::Value& numerSeryjny,
                       std::optional<std::int32_t> idObszaru);
};

extern TDM* DM;
