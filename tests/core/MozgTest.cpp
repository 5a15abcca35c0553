#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Mozg.h"
#include "core/Object_Obszar.h"
#include "core/Objects_globals.h"
#include "core/Uslugi.h"
#include "tests/support/ModelSupport.h"

namespace {

// Stands in for a logic element: counts how often the link pass reaches it.
class LiczacyPolaczenia : public Object {
public:
    using Object::Object;
    void Polacz() override { ++polaczenia; }
    int polaczenia = 0;
};

class SprzetTestowy : public SprzetMozgu {
public:
    bool PrzygotujCentrale() override { return zapis("PrzygotujCentrale", centrale); }
    bool PrzygotujSim() override { return zapis("PrzygotujSim", modemy); }
    void KrokCentrali() override { zapis("KrokCentrali", true); }
    void KrokModemow() override { zapis("KrokModemow", true); }
    void OtworzWyjscieCentrali(Object*, int) override { zapis("OtworzWyjscieCentrali", true); }

    bool zapis(const char* co, bool wynik) {
        wywolania.push_back(co);
        return wynik;
    }
    bool centrale = true, modemy = true;
    std::vector<std::string> wywolania;
};

class MozgTest : public ::testing::Test {
protected:
    GlobalModel model;
    RecordingMessageLog komunikaty;
};

TEST_F(MozgTest, StartWithoutHardwareRunsAndLogsNothing) {
    EXPECT_FALSE(MozgIsRunning());
    EXPECT_TRUE(MozgStart());
    EXPECT_TRUE(MozgIsRunning());
    MozgTick();
    MozgStop();
    EXPECT_FALSE(MozgIsRunning());
    EXPECT_TRUE(komunikaty.lines.empty());
}

TEST_F(MozgTest, EachStartLinksEveryElementOnce) {
    auto* element = new LiczacyPolaczenia(1);
    Obszary->Dodaj(element);
    MozgStart();
    EXPECT_EQ(element->polaczenia, 1);
    MozgStop();
    MozgStart();
    EXPECT_EQ(element->polaczenia, 2);
    Obszary->Odlacz(element);
    delete element;
}

TEST_F(MozgTest, FailedHardwareIsReportedAndTheStartGoesOn) {
    SprzetTestowy sprzet;
    sprzet.centrale = sprzet.modemy = false;
    UstawSprzetMozgu(&sprzet);
    EXPECT_TRUE(MozgStart());
    EXPECT_TRUE(MozgIsRunning());
    EXPECT_EQ(komunikaty.lines, (std::vector<std::string>{
                                    "Nie udało się połączyć z centralami.",
                                    "Nie udało się połączyć z modemami SIM.",
                                }));
    MozgTick();
    MozgStop();
    EXPECT_EQ(sprzet.wywolania,
              (std::vector<std::string>{"PrzygotujCentrale", "PrzygotujSim", "KrokCentrali", "KrokModemow"}));
    UstawSprzetMozgu(nullptr);
}

} // namespace
