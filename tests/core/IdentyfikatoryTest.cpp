#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/Object_Identyfikator.h"
#include "core/Object_Lokal.h"
#include "core/Object_Uzytkownik.h"
#include "core/Objects_globals.h"
#include "tests/support/ModelSupport.h"

namespace {

using namespace std::chrono_literals;

Object_Identyfikator* Dodaj(Objects_Identyfikatory& kontener, int id, int rodzaj, std::string_view numer,
                            DataCzas od = {}, DataCzas do_ = {}) {
    return kontener.DodajRekord(id, 0, 0, rodzaj, numer, 0, 0, {}, od, do_);
}

bool RowneBezWielkosci(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto mala = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (mala(a[i]) != mala(b[i]))
            return false;
    }
    return true;
}

// The lookup as a plain scan of the display order: what the index must answer.
Object_Identyfikator* Liniowo(const Objects_Identyfikatory& kontener, int rodzaj, std::string_view numer) {
    for (int i = 0; i < kontener.Rozmiar(); ++i) {
        auto* e = static_cast<Object_Identyfikator*>(kontener.Element(i));
        if (e->Rodzaj() == rodzaj && rodzaj >= 1 && rodzaj <= 4 && RowneBezWielkosci(e->NumerSeryjny(), numer))
            return e;
    }
    return nullptr;
}

TEST(ZnajdzNumer, DocumentedCases) {
    Objects_Identyfikatory kontener;
    Dodaj(kontener, 1, 1, "abcdef");
    Dodaj(kontener, 2, 5, "abcdef");
    Dodaj(kontener, 3, 3, "WA 1234X");
    Dodaj(kontener, 4, 2, "00ab12");

    struct Case {
        const char* name;
        int rodzaj;
        std::string_view numer;
        int expected;
    };
    const Case cases[] = {
        {"upper case finds the lower-case serial", 1, "ABCDEF", 1},
        {"another kind does not match", 2, "abcdef", 0},
        {"kind 5 never matches, even a stored kind 5", 5, "abcdef", 0},
        {"kind 0 never matches", 0, "abcdef", 0},
        {"a leading zero counts", 1, "0abcdef", 0},
        {"leading zeros on the stored side count too", 2, "ab12", 0},
        {"a plate in another case", 3, "wa 1234x", 3},
        {"a prefix is no match", 1, "abcde", 0},
        {"empty text", 1, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Object_Identyfikator* found = kontener.ZnajdzNumer(c.rodzaj, c.numer);
        EXPECT_EQ(found ? found->Id() : 0, c.expected);
    }
}

TEST(ZnajdzNumer, FirstInDisplayOrderAlsoAfterASort) {
    Objects_Identyfikatory kontener;
    Dodaj(kontener, 1, 1, "b");
    Dodaj(kontener, 2, 1, "A");
    Dodaj(kontener, 3, 1, "a");
    EXPECT_EQ(kontener.ZnajdzNumer(1, "a")->Id(), 2);
    // Moving 3 in front of 2 must change the answer; the sort keeps the two
    // equal serials in no particular order, so the test follows the result.
    for (int proba = 0; proba < 20; ++proba) {
        kontener.Sortuj(0);
        EXPECT_EQ(kontener.ZnajdzNumer(1, "A"), Liniowo(kontener, 1, "a"));
    }
    kontener.Usun(kontener.ZnajdzNumer(1, "a")->Id());
    EXPECT_EQ(kontener.ZnajdzNumer(1, "a"), Liniowo(kontener, 1, "a"));
    ASSERT_NE(kontener.ZnajdzNumer(1, "a"), nullptr);
}

// Random adds, removals, detaches, sorts and in-place key edits, with
// lookups between them so that a stale index would answer.
TEST(ZnajdzNumer, AgreesWithALinearScanThroughEveryChange) {
    // Few distinct serials, so that several identifiers share one and the
    // first match depends on the order; case and leading zeros vary.
    const std::vector<std::string> numery = {"ab12", "AB12", "0ab12", "00ab12", "ff", "FF", "0", "00",
                                             "1a2b3c4d", "1A2B3C4D", "wa 123", "Wa 123", "x"};
    for (unsigned ziarno : {1u, 2u, 3u}) {
        SCOPED_TRACE(ziarno);
        std::mt19937 los(ziarno);
        auto losowy = [&](int n) { return static_cast<int>(los() % static_cast<unsigned>(n)); };
        auto numer = [&] { return numery[losowy(static_cast<int>(numery.size()))]; };
        auto rodzaj = [&] { return losowy(7) - 1; }; // -1..5

        Objects_Identyfikatory kontener;
        int nastepneId = 1;
        for (int i = 0; i < 60; ++i)
            Dodaj(kontener, nastepneId++, rodzaj(), numer());

        for (int krok = 0; krok < 400; ++krok) {
            const int n = kontener.Rozmiar();
            auto* losowyElement = n ? static_cast<Object_Identyfikator*>(kontener.Element(losowy(n))) : nullptr;
            switch (losowy(7)) {
            case 0:
                Dodaj(kontener, nastepneId++, rodzaj(), numer());
                break;
            case 1:
                if (n)
                    kontener.UsunNaPozycji(losowy(n));
                break;
            case 2:
                if (losowyElement)
                    delete kontener.Odlacz(losowyElement);
                break;
            case 3:
                kontener.Sortuj(losowy(2));
                break;
            case 4:
                if (losowyElement)
                    losowyElement->UstawRodzaj(rodzaj());
                break;
            case 5:
                if (losowyElement)
                    losowyElement->UstawNumerSeryjny(numer());
                break;
            default:
                break; // lookups only
            }
            for (int q = 0; q < 15; ++q) {
                const int k = rodzaj();
                const std::string t = numer();
                ASSERT_EQ(kontener.ZnajdzNumer(k, t), Liniowo(kontener, k, t))
                    << "step " << krok << ", kind " << k << ", text " << t;
            }
        }
    }
}

TEST(ZnajdzNumer, IndexesOfTwoContainersFollowAKeyEditInEither) {
    Objects_Identyfikatory globalny;
    Objects_Identyfikatory lista; // a window's list borrowing the element
    Object_Identyfikator* e = Dodaj(globalny, 1, 2, "ab12");
    lista.Dodaj(e);
    ASSERT_EQ(globalny.ZnajdzNumer(2, "ab12"), e);
    ASSERT_EQ(lista.ZnajdzNumer(2, "ab12"), e);
    e->UstawNumerSeryjny("cd34");
    e->UstawRodzaj(4);
    EXPECT_EQ(globalny.ZnajdzNumer(2, "ab12"), nullptr);
    EXPECT_EQ(lista.ZnajdzNumer(4, "CD34"), e);
    lista.Zapomnij();
}

TEST(ZnajdzNumerHex, LooksUpLowerCaseHexWithoutLeadingZeros) {
    Objects_Identyfikatory kontener;
    Dodaj(kontener, 1, 2, "00ab12");
    Dodaj(kontener, 2, 2, "AB12");
    Dodaj(kontener, 3, 4, "0");
    Dodaj(kontener, 4, 4, "ffffffff");
    EXPECT_EQ(kontener.ZnajdzNumerHex(2, 43794)->Id(), 2);
    EXPECT_EQ(kontener.ZnajdzNumerHex(4, 0)->Id(), 3);
    EXPECT_EQ(kontener.ZnajdzNumerHex(4, 0xffffffffu)->Id(), 4);
    EXPECT_EQ(kontener.ZnajdzNumerHex(1, 43794), nullptr);
}

TEST(ZnajdzWazny, ReturnsOnlyAnIdentifierValidNow) {
    const DataCzas teraz = TerazLokalnie();
    Objects_Identyfikatory kontener;
    Dodaj(kontener, 1, 4, "1e240", {}, teraz - 24h);        // 123456: expired
    Dodaj(kontener, 2, 4, "3039", teraz - 24h, teraz + 24h); // 12345
    Dodaj(kontener, 3, 4, "d431", teraz - 24h);              // 54321: from yesterday on
    EXPECT_EQ(kontener.ZnajdzWazny(4, 123456), nullptr);
    EXPECT_EQ(kontener.ZnajdzWazny(4, 12345)->Id(), 2);
    EXPECT_EQ(kontener.ZnajdzWazny(4, 54321)->Id(), 3);
}

TEST(Wazny, AnUnsetBoundDoesNotLimitItsSide) {
    const DataCzas t = platform::db::DateTime{std::chrono::local_days{std::chrono::year{2026} / 3 / 14}} + 12h;
    const DataCzas brak{};
    const DataCzas staryBrak{std::chrono::local_days{std::chrono::year{1899} / 12 / 30}};
    struct Case {
        const char* name;
        DataCzas od, do_;
        bool expected;
    };
    const Case cases[] = {
        {"no bounds", brak, brak, true},
        {"no bounds as older databases wrote them", staryBrak, staryBrak, true},
        {"only to, later", brak, t + 24h, true},
        {"only to, equal", brak, t, true},
        {"only to, passed", brak, t - 1s, false},
        {"only from, yesterday: valid from then on", t - 24h, brak, true},
        {"only from, equal", t, brak, true},
        {"only from, tomorrow", t + 1s, brak, false},
        {"both, inside", t - 24h, t + 24h, true},
        {"both, equal to both", t, t, true},
        {"both, before", t + 1s, t + 24h, false},
        {"both, after", t - 24h, t - 1s, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Object_Identyfikator e(1);
        e.OgraniczenieOd = c.od;
        e.OgraniczenieDo = c.do_;
        EXPECT_EQ(e.Wazny(t), c.expected);
    }
}

class IdentifiersModel : public ::testing::Test {
protected:
    GlobalModel model;
};

TEST_F(IdentifiersModel, LinkStepAndAssignmentCounts) {
    Uzytkownicy->DodajRekord(0, 0, "Zero", "", "", "", "", "", 0, false, ""); // a failed insert of old
    Uzytkownicy->DodajRekord(1, 0, "Jan", "Nowak", "", "", "", "", 0, false, "");
    Lokale->DodajRekord(10, 0, "12", 3, 1, true, 12, false, "", 0, false, false, 0);
    auto* a = Identyfikatory->DodajRekord(1, 1, 10, 1, "a", 7, 0, {}, {}, {});
    auto* b = Identyfikatory->DodajRekord(2, 1, 0, 1, "b", 0, 0, {}, {}, {});
    auto* c = Identyfikatory->DodajRekord(3, 0, 10, 2, "c", 0, 0, {}, {}, {});
    auto* d = Identyfikatory->DodajRekord(4, 99, 98, 2, "d", 0, 0, {}, {}, {});
    for (auto* e : {a, b, c, d})
        e->Polacz();

    EXPECT_EQ(a->Uzytkownik, Uzytkownicy->Znajdz(1));
    EXPECT_EQ(a->Lokal, Lokale->Znajdz(10));
    EXPECT_EQ(a->LicznikZapisany, 7);
    EXPECT_EQ(c->Uzytkownik, nullptr) << "id 0 links nothing, even with an element under id 0";
    EXPECT_EQ(d->Uzytkownik, nullptr);
    EXPECT_EQ(d->Lokal, nullptr);

    Uzytkownicy->ZerujLiczniki();
    Lokale->ZerujLiczniki();
    Identyfikatory->PoliczPrzypisania();
    EXPECT_EQ(static_cast<Object_Uzytkownik*>(Uzytkownicy->Znajdz(1))->LiczbaIdentyfikatorow, 2);
    EXPECT_EQ(static_cast<Object_Uzytkownik*>(Uzytkownicy->Znajdz(0))->LiczbaIdentyfikatorow, 0);
    EXPECT_EQ(static_cast<Object_Lokal*>(Lokale->Znajdz(10))->LiczbaIdentyfikatorow, 2);
}

} // namespace
