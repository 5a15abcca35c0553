#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "core/Object_Identyfikator.h"
#include "core/Uslugi.h"
#include "database/TDM.h"
#include "platform/db/DbError.h"
#include "tests/support/TestDataModule.h"

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

// A home folder of the test's own, so the exception log the writes fall back
// to lands where the test can read it.
class OwnHome {
public:
    OwnHome() : folder_(fs::temp_directory_path() / uniqueName("home")) {
        fs::create_directories(folder_);
        if (const char* v = std::getenv("HOME"))
            home_ = v;
        if (const char* v = std::getenv("XDG_CONFIG_HOME"))
            config_ = v;
        setenv("HOME", folder_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    }
    ~OwnHome() {
        Restore("HOME", home_);
        Restore("XDG_CONFIG_HOME", config_);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string Log() const {
        std::ifstream file(folder_ / "Documents" / "kandor_exception.log");
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

private:
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    fs::path folder_;
    std::optional<std::string> home_, config_;
};

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++n;
    return n;
}

// Identifier 1 stored with 5 uses and counter 1, linked, so nothing is due.
class IdentyfikatoryZapis : public TestSchema {
protected:
    void SetUp() override {
        TestSchema::SetUp();
        if (IsSkipped())
            return;
        exec("INSERT INTO identyfikatory (IdIdentyfikatora, Rodzaj, NumerSeryjny, Licznik, IdUzytkownika, IdLokalu, "
             "LicznikUzycia) VALUES (1, 1, 'ab12', 1, 0, 0, 5), (2, 2, 'cd34', 0, 0, 0, 0)");
        identyfikator = identyfikatory.DodajRekord(1, 0, 0, 1, "ab12", 1, 5, {}, {}, {});
        identyfikator->Polacz();
    }

    std::string Uses() { return scalar("SELECT LicznikUzycia FROM identyfikatory WHERE IdIdentyfikatora = 1"); }

    OwnHome home;
    Objects_Identyfikatory identyfikatory;
    Object_Identyfikator* identyfikator = nullptr;
};

TEST_F(IdentyfikatoryZapis, ZapiszUzycieWritesOnlyWhenTheCounterMoved) {
    identyfikator->ZapiszUzycie();
    EXPECT_EQ(identyfikator->LicznikUzycia, 5);
    EXPECT_EQ(Uses(), "5");

    identyfikator->Licznik = 2;
    identyfikator->ZapiszUzycie();
    identyfikator->ZapiszUzycie(); // the same counter: counted once
    EXPECT_EQ(identyfikator->LicznikUzycia, 6);
    EXPECT_EQ(Uses(), "6");
    EXPECT_EQ(home.Log(), "");
}

// The count is written by value, so a write the server refused is made
// good by the next use.
TEST_F(IdentyfikatoryZapis, ZapiszUzycieThatIsRefusedIsLoggedAndTheNextUseCatchesUp) {
    identyfikator->Licznik = 2;

    UstawDaneModelu(nullptr);
    identyfikator->ZapiszUzycie();
    UstawDaneModelu(DM);
    EXPECT_EQ(identyfikator->LicznikUzycia, 5) << "no data module";

    exec("ALTER TABLE identyfikatory RENAME TO identyfikatory_stare");
    identyfikator->ZapiszUzycie();
    EXPECT_TRUE(DM->Pisarz.Oproznij(std::chrono::seconds(30)));
    exec("ALTER TABLE identyfikatory_stare RENAME TO identyfikatory");
    EXPECT_EQ(Uses(), "5") << "table gone";

    identyfikator->Licznik = 3;
    identyfikator->ZapiszUzycie();
    EXPECT_EQ(identyfikator->LicznikUzycia, 7);
    EXPECT_EQ(Uses(), "7");
    EXPECT_EQ(Count(home.Log(), "Object_Identyfikatory : 47"), 2u);
}

TEST_F(IdentyfikatoryZapis, ZapiszWritesEveryColumn) {
    const DataCzas utworzony = DataCzas{std::chrono::local_days{std::chrono::year{2025} / 1 / 2}} + 3h + 4min;
    identyfikator->UstawRodzaj(3);
    identyfikator->UstawNumerSeryjny("WA 1234X");
    identyfikator->Licznik = 9;
    identyfikator->IdUzytkownika = 7;
    identyfikator->IdLokalu = 8;
    identyfikator->LicznikUzycia = 11;
    identyfikator->DataCzasUtworzenia = utworzony;
    identyfikator->OgraniczenieOd = utworzony + 24h;
    identyfikator->OgraniczenieDo = {};
    EXPECT_EQ(Objects_Identyfikatory::Zapisz(*identyfikator, DM->Query), 0);
    EXPECT_EQ(scalar("SELECT concat_ws('|', Rodzaj, NumerSeryjny, Licznik, IdUzytkownika, IdLokalu, LicznikUzycia, "
                     "DataCzasUtworzenia, OgraniczenieOd, coalesce(OgraniczenieDo::text, 'null')) "
                     "FROM identyfikatory WHERE IdIdentyfikatora = 1"),
              "3|WA 1234X|9|7|8|11|2025-01-02 03:04:00|2025-01-03 03:04:00|null");
}

TEST_F(IdentyfikatoryZapis, ZapiszFailuresNeverReadAsSuccess) {
    exec("CREATE UNIQUE INDEX identyfikatory_numer ON identyfikatory (Rodzaj, NumerSeryjny)");
    identyfikator->UstawRodzaj(2);
    identyfikator->UstawNumerSeryjny("cd34");
    EXPECT_EQ(Objects_Identyfikatory::Zapisz(*identyfikator, DM->Query), 4) << "unique key";
    EXPECT_EQ(scalar("SELECT Rodzaj || NumerSeryjny FROM identyfikatory WHERE IdIdentyfikatora = 1"), "1ab12");

    identyfikator->UstawRodzaj(1);
    identyfikator->Licznik = -1;
    exec("ALTER TABLE identyfikatory ADD CHECK (Licznik >= 0)");
    EXPECT_EQ(Objects_Identyfikatory::Zapisz(*identyfikator, DM->Query), -1) << "an error of no known kind";

    identyfikator->Licznik = 1;
    Object_Identyfikator usuniety(99);
    EXPECT_EQ(Objects_Identyfikatory::Zapisz(usuniety, DM->Query), platform::db::DbError::ObjectDoesNotExist)
        << "no row to write";

    exec("ALTER TABLE identyfikatory DROP COLUMN OgraniczenieDo");
    EXPECT_NE(Objects_Identyfikatory::Zapisz(*identyfikator, DM->Query), 0) << "a dropped column";
}

} // namespace
