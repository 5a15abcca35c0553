#include <gtest/gtest.h>

#include "core/Object_Lokal.h"
#include "database/TDM.h"
#include "tests/support/TestDataModule.h"

namespace {

// Flats 1 and 2 at controller 3, flat 3 at controller 4; flat 1 is known at
// the cloud service.
class LokaleZapisz : public TestSchema {
protected:
    void SetUp() override {
        TestSchema::SetUp();
        if (IsSkipped())
            return;
        exec("INSERT INTO lokale (IdLokalu, IdAdresu, Lokal, IdCentralaZarvoGsm, Pin, LokalCentralaZarvo, "
             "Wylaczony, TelefonDomofonu, KodDomofonu, KodDomofonuWlaczony, PinWlaczony, IdPlaceCloud, "
             "PowiadamianieWlaczone) VALUES "
             "(1, 1, '1', 3, 1111, 1, false, '', 0, false, true, 77, false), "
             "(2, 1, '2', 3, 2222, 2, false, '', 0, false, true, 0, false), "
             "(3, 1, '3', 4, 3333, 3, false, '', 0, false, true, 0, false)");
        flat = lokale.DodajRekord(1, 1, "1", 3, 1111, true, 1, false, "", 0, false, false, 0);
    }

    std::string Row(int id) {
        return scalar("SELECT concat_ws('|', IdAdresu, Lokal, IdCentralaZarvoGsm, Pin, LokalCentralaZarvo, Wylaczony, "
                      "TelefonDomofonu, KodDomofonu, KodDomofonuWlaczony, PowiadamianieWlaczone, PinWlaczony, "
                      "IdPlaceCloud) FROM lokale WHERE IdLokalu = " +
                      std::to_string(id));
    }

    Objects_Lokale lokale;
    Object_Lokal* flat = nullptr;
};

TEST_F(LokaleZapisz, WritesEveryColumnButTheCloudId) {
    flat->IdAdresu = 5;
    flat->Lokal = "12a/3 Łąkowa";
    flat->IdCentralaZarvoGsm = 4;
    flat->Pin = 65535;
    flat->LokalCentralaZarvo = 120;
    flat->Wylaczony = true;
    flat->TelefonDomofonu = "+48600100200";
    flat->KodDomofonu = -42;
    flat->KodDomofonuWlaczony = true;
    flat->PowiadamianieWlaczone = true;
    flat->PinWlaczony = false;
    flat->IdPlaceCloud = 5;

    EXPECT_EQ(lokale.Zapisz(*flat, DM->FDConnection), 0);
    EXPECT_EQ(Row(1), "5|12a/3 Łąkowa|4|65535|120|t|+48600100200|-42|t|t|f|77");
    EXPECT_EQ(Row(2), "1|2|3|2222|2|f||0|f|f|t|0") << "other flats untouched";
}

TEST_F(LokaleZapisz, APinUsedAtTheSameControllerIsKind4AndChangesNothing) {
    const std::string before = Row(1);
    flat->Pin = 2222;
    flat->Lokal = "1b";
    EXPECT_EQ(lokale.Zapisz(*flat, DM->FDConnection), 4);
    EXPECT_EQ(Row(1), before);
    EXPECT_EQ(flat->Pin, 2222) << "the caller, not Zapisz, undoes its change";
    EXPECT_EQ(flat->Lokal.str(), "1b");

    flat->Pin = 3333;
    EXPECT_EQ(lokale.Zapisz(*flat, DM->FDConnection), 0) << "the same PIN at another controller is free";
}

// Every way the write can fail reads as a failure, also the errors the
// database layer does not classify (kind 0).
TEST_F(LokaleZapisz, AFailedWriteIsNeverSuccess) {
    exec("ALTER TABLE lokale ADD CONSTRAINT pin_zastrzezony CHECK (Pin <> 9999)");
    const struct {
        const char* name;
        const char* breakage; // run before the write; the cases build on each other
        int id;
        int expected;
    } cases[] = {
        {"refused for an unclassified reason", "", 1, Objects_Lokale::ZapisBladNieznany},
        {"the flat's row is gone", "DELETE FROM lokale WHERE IdLokalu = 2", 2, Objects_Lokale::ZapisBrakWiersza},
        {"a column is missing", "ALTER TABLE lokale DROP COLUMN TelefonDomofonu", 3, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (*c.breakage)
            exec(c.breakage);
        Object_Lokal* l = lokale.DodajRekord(c.id, 1, "x", 3, 9999, true, 1, false, "", 0, false, false, 0);
        const std::string before = scalar("SELECT count(*) FROM lokale WHERE Pin = 9999 OR Lokal = 'x'");
        const int wynik = lokale.Zapisz(*l, DM->FDConnection);
        EXPECT_EQ(wynik, c.expected);
        EXPECT_NE(wynik, 0);
        EXPECT_EQ(scalar("SELECT count(*) FROM lokale WHERE Pin = 9999 OR Lokal = 'x'"), before);
    }
}

} // namespace
