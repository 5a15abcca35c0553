#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#include "core/Mozg.h"
#include "core/Object_Przejazd.h"
#include "core/Objects_globals.h"
#include "database/OdczytajBaze.h"
#include "database/TDM.h"
#include "devices/MigawkaEnkoderow.h"
#include "devices/Object_Enkoder.h"
#include "devices/Object_Sim_Modem.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/Object_Zarvo_Klawiatura.h"
#include "devices/Urzadzenia.h"
#include "tests/support/BoardSimulator.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/TestDataModule.h"
#include "tests/support/TickUntil.h"

namespace {

namespace db = platform::db;

// One row written through its table component, as the editors write them.
void Wstaw(db::Table& tabela, std::initializer_list<std::pair<const char*, db::Value>> pola) {
    tabela.close();
    tabela.open(false);
    tabela.append();
    for (const auto& [nazwa, wartosc] : pola)
        tabela.field(nazwa) = wartosc;
    tabela.post();
    tabela.close();
}

class OdczytajBazeUrzadzeniaTest : public TestSchema {
protected:
    void TearDown() override {
        if (MozgIsRunning())
            MozgStop();
        TestSchema::TearDown();
    }
    int Ilosc(NumerKontenera nr) { return KontenerGlobalny(nr)->Ilosc(); }

    bool urzadzenia = (RejestrujUrzadzenia(), true); // before the containers are made
    GlobalModel model;
    RecordingMessageLog dziennik;
};

TEST_F(OdczytajBazeUrzadzeniaTest, ControllersBringTheirModemsAndEncodersMoveOverToTheNewLoad) {
    Wstaw(DM->TableCentralaZarvoGsm, {{"IdCentralaZarvoGsm", 1}, {"Nazwa", "Klatka A"}, {"ComGsm", 0}});
    // A header longer than the controller's buffer, as a damaged row has.
    Wstaw(DM->TableCentralaZarvoGsm, {{"IdCentralaZarvoGsm", 2},
                                      {"Nazwa", "Klatka B"},
                                      {"ComGsm", 4},
                                      {"Pin", 1234},
                                      {"KameraSieciowa10", 8080},
                                      {"Konfiguracja", db::Bytes(2400, 0x5A)}});
    Wstaw(DM->TableZarvoKlawiatury, {{"IdZarvoKlawiatury", 7}, {"IdCentralaZarvoGsm", 2}, {"Numer", 1}});
    Wstaw(DM->TableEnkodery, {{"IdEnkodera", 3}, {"Nazwa", "E1"}, {"IPv4", std::int64_t{0xC0A80A05}},
                              {"PortIn", 443}, {"IdCentralaZarvoGsm", 2}});
    Objects_Enkodery::Wstrzymaj();

    OdczytajBaze();

    EXPECT_EQ(Ids(*Centrale), (std::vector<int>{1, 2}));
    EXPECT_EQ(Ids(*ModemySim), (std::vector<int>{2})) << "the modem takes its controller's id";
    EXPECT_EQ(Ids(*Klawiatury), (std::vector<int>{7}));
    const auto* b = static_cast<Object_Zarvo_Centrala*>(Centrale->Znajdz(2));
    EXPECT_EQ(b->Konfiguracja.size(), Object_Zarvo_Centrala::DlugoscKonfiguracji);
    EXPECT_EQ(b->Konfiguracja.back(), 0x5A);
    EXPECT_EQ(b->KameraSieciowa[9], 8080);
    std::ifstream log(std::filesystem::path(std::getenv("HOME")) / "Documents" / "kandor_exception.log");
    std::stringstream tekst;
    tekst << log.rdbuf();
    EXPECT_NE(tekst.str().find("Konfiguracja of controller 2 has 2400 bytes"), std::string::npos);

    ASSERT_EQ(static_cast<Object_Enkoder*>(Enkodery->Znajdz(3))->IPv4, 0xC0A80A05u);
    EXPECT_EQ(MigawkaEnkoderowTeraz()->Kontener, static_cast<const void*>(Enkodery));
    EXPECT_TRUE(Objects_Enkodery::WatekDziala());

    Objects_Enkodery* pierwsze = Enkodery;
    OdczytajBaze();
    EXPECT_NE(Enkodery, pierwsze);
    EXPECT_EQ(MigawkaEnkoderowTeraz()->Kontener, static_cast<const void*>(Enkodery));
    EXPECT_EQ(MigawkaEnkoderowTeraz()->Enkodery.size(), 1u);
    EXPECT_TRUE(Objects_Enkodery::WatekDziala()) << "one health thread goes on across the reload";
    EXPECT_TRUE(Objects_Enkodery::Wstrzymany()) << "and keeps its pause";
}

// The reload closes the old ports before the next start opens them again;
// a port is locked by whoever holds it open.
TEST_F(OdczytajBazeUrzadzeniaTest, AControllersPortOpensAgainAtTheNextStart) {
    PtyPeer peer{11};
    Wstaw(DM->TableCentralaZarvoGsm,
          {{"IdCentralaZarvoGsm", 1}, {"Nazwa", "Klatka A"}, {"ComCentralaZarvo", peer.com()}, {"Adres", 1}});
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        OdczytajBaze();
        ASSERT_TRUE(MozgStart());
        EXPECT_EQ(dziennik.lines, std::vector<std::string>{});
        MozgStop();
    }
}

// The road of one event from the database: the estate's entry written
// through the table components, loaded, started; a remote code read at the
// board opens the gate and the passage is logged. A second stop, load and
// start finds the same model.
TEST_F(OdczytajBazeUrzadzeniaTest, TheRoadOfOneEventFromTheDatabase) {
    PtyPeer peer{12};
    BoardSimulator simulator{peer, 2};
    simulator.addBoard(300, 1);
    Wstaw(DM->TableMagistrale, {{"IdMagistrali", 1}, {"Com", peer.com()}, {"Wersja", 2}, {"Predkosc", 19200}});
    Wstaw(DM->TableKarty, {{"IdKarty", 10}, {"IdRodzajKarty", 1}, {"IdMagistrali", 1}, {"Adres", 300}});
    Wstaw(DM->TableCzytniki, {{"IdCzytnika", 20}, {"IdKarty", 10}, {"Czytnik", 1}});
    Wstaw(DM->TableWejscia, {{"IdWejscia", 31}, {"IdKarty", 10}, {"Wejscie", 1}});
    Wstaw(DM->TableWejscia, {{"IdWejscia", 32}, {"IdKarty", 10}, {"Wejscie", 2}});
    Wstaw(DM->TableWyjscia, {{"IdWyjscia", 41}, {"IdKarty", 10}, {"Wyjscie", 1}});
    Wstaw(DM->TableWyjscia, {{"IdWyjscia", 42}, {"IdKarty", 10}, {"Wyjscie", 2}});
    Wstaw(DM->TableBramy, {{"IdBramy", 50}, {"Nazwa", "Szlaban"}, {"IdWyjsciaOtworz", 41}, {"IdWyjsciaZamknij", 42},
                           {"CzasImpulsOtworz", 500}, {"CzasImpulsZamknij", 500}, {"CzasOtwierania", 100},
                           {"CzasZamykania", 100}});
    Wstaw(DM->TableGrupyUzytkownikow, {{"IdGrupyUzytkownikow", 60}, {"Nazwa", "Mieszkańcy"}});
    Wstaw(DM->TableUzytkownicy, {{"IdUzytkownika", 70}, {"IdGrupyUzytkownikow", 60}, {"Nazwisko", "Nowak"}});
    Wstaw(DM->TableIdentyfikatory,
          {{"IdIdentyfikatora", 80}, {"IdUzytkownika", 70}, {"Rodzaj", 1}, {"NumerSeryjny", "A1B2C3"}});
    Wstaw(DM->TableGrupyUzytkownikowBramy,
          {{"IdGrupyUzytkownikowBramy", 90}, {"IdGrupyUzytkownikow", 60}, {"IdBramy", 50}, {"Przycisk", 1}});
    Wstaw(DM->TablePrzejazdy, {{"IdPrzejazdu", 100}, {"Nazwa", "Wjazd"}, {"IdBramy", 50}, {"BezCzytnika", 0},
                               {"IdCzytnika", 20}, {"IdWejsciaStart", 31}, {"IdWejsciaKoniec", 32}});

    OdczytajBaze();
    ASSERT_TRUE(MozgStart());
    auto* przejazd = static_cast<Object_Przejazd*>(Przejazdy->Znajdz(100));
    simulator.setInputs(300, 0b01);
    ASSERT_TRUE(TickUntil([&] { return przejazd->Stan == 2; }));
    simulator.setPendingReading(300, {"a1b2c3", 7, 1});
    EXPECT_TRUE(TickUntil([&] { return (simulator.board(300).outputs.value_or(0) & 0b01) != 0; }))
        << "the gate's open output in a poll frame";
    EXPECT_EQ(scalar("SELECT IdUzytkownika || ' ' || IdIdentyfikatora || ' ' || IdBramy FROM zdarzenia "
                     "WHERE IdRodzajZdarzeniaWbudowane = 10"),
              "70 80 50");
    MozgStop();

    std::vector<int> ilosci;
    for (int nr = NrGrupyZdarzen; nr <= LiczbaKontenerow; ++nr)
        if (nr != NrZdarzenia && nr != NrPortyCom && KontenerGlobalny(static_cast<NumerKontenera>(nr)))
            ilosci.push_back(Ilosc(static_cast<NumerKontenera>(nr)));
    OdczytajBaze();
    ASSERT_TRUE(MozgStart());
    std::vector<int> ponownie;
    for (int nr = NrGrupyZdarzen; nr <= LiczbaKontenerow; ++nr)
        if (nr != NrZdarzenia && nr != NrPortyCom && KontenerGlobalny(static_cast<NumerKontenera>(nr)))
            ponownie.push_back(Ilosc(static_cast<NumerKontenera>(nr)));
    EXPECT_EQ(ponownie, ilosci);
}

} // namespace
