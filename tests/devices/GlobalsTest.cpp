#include <gtest/gtest.h>

#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "core/Object_Magistrala.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/Urzadzenia.h"

namespace {

TEST(Globals, AllFortyContainersExistAndAreGoneAfterwards) {
    RejestrujUrzadzenia();
    ObiektyUtworz();
    EXPECT_NE(Kosz, nullptr);
    for (int nr = NrGrupyZdarzen; nr <= LiczbaKontenerow; ++nr)
        EXPECT_NE(KontenerGlobalny(static_cast<NumerKontenera>(nr)), nullptr) << "container " << nr;
    EXPECT_EQ(static_cast<Objects*>(Centrale), KontenerGlobalny(NrCentrale));
    EXPECT_NE(static_cast<Objects*>(ZdarzeniaCentrali), static_cast<Objects*>(Zdarzenia));
    ObiektyUsun();
    EXPECT_EQ(Kosz, nullptr);
    EXPECT_EQ(Centrale, nullptr);
    for (int nr = NrGrupyZdarzen; nr <= LiczbaKontenerow; ++nr)
        EXPECT_EQ(KontenerGlobalny(static_cast<NumerKontenera>(nr)), nullptr);
}

} // namespace
