#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/Object.h"
#include "core/Objects_Trash.h"

namespace {

// An element that tells when it is destroyed.
class Licznik : public Object {
public:
    Licznik(int id, std::set<const Object*>* zniszczone) : Object(id), zniszczone_(zniszczone) {}
    ~Licznik() override {
        if (zniszczone_)
            zniszczone_->insert(this);
    }

private:
    std::set<const Object*>* zniszczone_;
};

class Liczniki : public Objects {
public:
    ~Liczniki() override { Wyczysc(); } // before the set below is gone
    Object* Utworz(int id) override { return new Licznik(id, &zniszczone); }
    std::set<const Object*> zniszczone;
};

std::vector<int> Ids(Objects& kontener) {
    std::vector<int> ids;
    for (Object* e = kontener.Pierwszy(); e; e = kontener.Nastepny())
        ids.push_back(e->Id());
    return ids;
}

TEST(Objects, DuplicateIdKeepsBothInOrderButLooksUpTheLater) {
    Liczniki kontener;
    Object* pierwszy = kontener.Nowy(7);
    Object* drugi = kontener.Nowy(7);
    EXPECT_EQ(kontener.Ilosc(), 1);
    EXPECT_EQ(kontener.Rozmiar(), 2);
    EXPECT_EQ(kontener.Znajdz(7), drugi);
    EXPECT_EQ(pierwszy->Czlonkostwa(), 1);
    EXPECT_EQ(drugi->Czlonkostwa(), 0);

    // Detaching the shadowed twin must not take the later one's map entry.
    kontener.Odlacz(pierwszy);
    EXPECT_EQ(kontener.Znajdz(7), drugi);
    EXPECT_EQ(kontener.Rozmiar(), 1);
    delete pierwszy;
}

TEST(Objects, DodajJesliBrakRefusesAMappedId) {
    Objects kontener;
    kontener.Nowy(3);
    Object obcy(3);
    EXPECT_FALSE(kontener.DodajJesliBrak(&obcy));
    EXPECT_EQ(kontener.Rozmiar(), 1);
}

TEST(Objects, RemovingAtTheCursorWhileWalkingYieldsTheNext) {
    Liczniki kontener;
    for (int id : {1, 2, 3, 4, 5})
        kontener.Nowy(id);
    std::vector<int> odwiedzone;
    for (Object* e = kontener.Pierwszy(); e;) {
        odwiedzone.push_back(e->Id());
        e = e->Id() % 2 == 0 ? kontener.UsunBiezacy() : kontener.Nastepny();
    }
    EXPECT_EQ(odwiedzone, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Ids(kontener), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(kontener.zniszczone.size(), 2u);
    EXPECT_EQ(kontener.Znajdz(2), nullptr);

    kontener.Pierwszy();
    kontener.Nastepny();
    kontener.Nastepny();
    EXPECT_EQ(kontener.UsunBiezacy(), nullptr) << "removing the last element yields null";
    EXPECT_EQ(kontener.UsunBiezacy(), nullptr) << "at the end there is nothing to remove";
    EXPECT_EQ(Ids(kontener), (std::vector<int>{1, 3}));
}

TEST(Objects, RemovingBeforeTheCursorKeepsItsElement) {
    Objects kontener;
    for (int id : {1, 2, 3})
        kontener.Nowy(id);
    kontener.Pierwszy();
    kontener.Nastepny(); // on 2
    kontener.Usun(1);
    EXPECT_EQ(kontener.Biezacy()->Id(), 2);
    EXPECT_TRUE(kontener.UsunNaPozycji(0));
    EXPECT_EQ(kontener.Biezacy()->Id(), 3) << "the cursor moves on to the element that followed";
    EXPECT_FALSE(kontener.UsunNaPozycji(5));
    kontener.Usun(42); // absent: nothing
    EXPECT_EQ(kontener.Ilosc(), 1);
}

// A window's local list borrows the global elements: emptying or deleting
// through it must leave them alive in their owner.
TEST(Objects, BorrowedElementsAreNeverDestroyedByTheBorrower) {
    Liczniki wlasciciel;
    for (int id : {1, 2, 3})
        wlasciciel.Nowy(id);
    {
        Objects lista;
        for (Object* e = wlasciciel.Pierwszy(); e; e = wlasciciel.Nastepny())
            lista.Dodaj(e);
        lista.Usun(1);
        EXPECT_TRUE(lista.UsunNaPozycji(0));
        lista.Pierwszy();
        lista.UsunBiezacy();
        for (Object* e = wlasciciel.Pierwszy(); e; e = wlasciciel.Nastepny())
            lista.Dodaj(e);
        lista.Wyczysc();
        for (Object* e = wlasciciel.Pierwszy(); e; e = wlasciciel.Nastepny())
            lista.Dodaj(e);
    } // the borrower's destructor empties it too
    EXPECT_TRUE(wlasciciel.zniszczone.empty());
    EXPECT_EQ(Ids(wlasciciel), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(wlasciciel.Znajdz(2)->Czlonkostwa(), 1);
    wlasciciel.Wyczysc();
    EXPECT_EQ(wlasciciel.zniszczone.size(), 3u);
}

TEST(Objects, OdlaczOfAnAbsentElementChangesNothing) {
    Objects kontener;
    kontener.Nowy(1);
    Object obcy(1);
    EXPECT_EQ(kontener.Odlacz(&obcy), &obcy);
    EXPECT_NE(kontener.Znajdz(1), nullptr);
    EXPECT_EQ(kontener.Rozmiar(), 1);
    EXPECT_EQ(kontener.OdlaczId(9), nullptr);
}

class PoNazwie : public Objects {
public:
    struct Nazwany : Object {
        Nazwany(int id, std::string n) : Object(id), nazwa(std::move(n)) {}
        std::string nazwa;
    };
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override {
        if (rodzaj == 1)
            if (int c = PorownajNaturalnie(static_cast<const Nazwany*>(a)->nazwa, static_cast<const Nazwany*>(b)->nazwa))
                return c;
        return Objects::Porownaj(rodzaj, a, b);
    }
};

TEST(Objects, SortOrdersByTheCompareSlotAndKeepsTheKind) {
    PoNazwie kontener;
    kontener.Sortuj(3);
    EXPECT_EQ(kontener.RodzajSortowania(), 3);

    const char* nazwy[] = {"Brama 10", "Brama 2", "Brama 1", "Wjazd", "Ąb", "Ab", "Ba"};
    for (int i = 0; i < 7; ++i)
        kontener.Dodaj(new PoNazwie::Nazwany(i + 1, nazwy[i]));
    for (int proba = 0; proba < 20; ++proba) {
        kontener.Sortuj(1);
        std::vector<std::string> wynik;
        for (int i = 0; i < kontener.Rozmiar(); ++i)
            wynik.push_back(static_cast<PoNazwie::Nazwany*>(kontener.Element(i))->nazwa);
        EXPECT_EQ(wynik, (std::vector<std::string>{"Ab", "Ąb", "Ba", "Brama 1", "Brama 2", "Brama 10", "Wjazd"}));
    }
    kontener.Sortuj(0);
    EXPECT_EQ(Ids(kontener), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    std::vector<Object*> elementy;
    for (int i = 0; i < kontener.Rozmiar(); ++i)
        elementy.push_back(kontener.Element(i));
    kontener.Zapomnij();
    for (Object* e : elementy)
        delete e;
}

// Many equal keys (the same id twice over, a compare that cannot tell
// elements apart) still sort in bounded time and depth.
TEST(Objects, SortOfManyEqualKeysFinishes) {
    Objects kontener;
    for (int i = 0; i < 200'000; ++i)
        kontener.Nowy(i % 3);
    kontener.Sortuj(0);
    for (int i = 1; i < kontener.Rozmiar(); ++i)
        ASSERT_LE(kontener.Element(i - 1)->Id(), kontener.Element(i)->Id());
}

// Names as an installation has them: numbers with and without leading zeros,
// Polish letters, signs and the odd stray byte of a badly converted import.
// The pieces hold no two spellings of one letter (case variants, é and è):
// before differing numbers those make the natural order itself intransitive
// ("brama9" < "brama10", "brama10" = "BRAMA10", "BRAMA10" < "brama9"), and
// no sort could leave every neighbour in order.
class Nazwy : public Objects {
public:
    struct Nazwa : Object {
        using Object::Object;
        std::string tekst;
    };
    Object* Utworz(int id) override { return new Nazwa(id); }
    int Porownaj(int, const Object* a, const Object* b) const override {
        return PorownajNaturalnie(static_cast<const Nazwa*>(a)->tekst, static_cast<const Nazwa*>(b)->tekst);
    }
    static const std::string& Tekst(const Object* e) { return static_cast<const Nazwa*>(e)->tekst; }
};

std::string LosowaNazwa(std::mt19937& los) {
    static const char* const kawalki[] = {"brama ", "łódź", "lodz", "zabłocie", "żabka", "ó", "0", "007", "10", "9",
                                          "123456789012345678901234", "-", " ", "\xff", "a", "z"};
    std::string nazwa;
    for (int k = static_cast<int>(los() % 4); k >= 0; --k)
        nazwa += kawalki[los() % std::size(kawalki)];
    return nazwa;
}

TEST(Objects, SortLeavesEveryNeighbourInOrderAndEveryElementOnce) {
    std::mt19937 los(5);
    for (int n : {2, 3, 15, 16, 17, 18, 33, 1000, 100'000}) {
        SCOPED_TRACE(n);
        Nazwy kontener;
        for (int id = 1; id <= n; ++id)
            static_cast<Nazwy::Nazwa*>(kontener.Nowy(id))->tekst = LosowaNazwa(los);
        kontener.Sortuj(0);
        ASSERT_EQ(kontener.Rozmiar(), n);
        for (int i = 1; i < n; ++i)
            ASSERT_LE(kontener.Porownaj(0, kontener.Element(i - 1), kontener.Element(i)), 0)
                << '"' << Nazwy::Tekst(kontener.Element(i - 1)) << "\" before \"" << Nazwy::Tekst(kontener.Element(i)) << '"';
        auto ids = Ids(kontener);
        std::sort(ids.begin(), ids.end());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(ids[i], i + 1);
    }
}

// A compare slot with a fault (answers that contradict each other) must not
// make the sort read or write outside the vector, nor lose an element.
class Sprzeczne : public Objects {
public:
    int Porownaj(int, const Object*, const Object*) const override { return static_cast<int>(los_() % 3) - 1; }

private:
    mutable std::mt19937 los_{9};
};

TEST(Objects, SortWithAnInconsistentCompareKeepsEveryElement) {
    for (int n : {2, 16, 17, 40, 5000, 20000}) {
        SCOPED_TRACE(n);
        Sprzeczne kontener;
        for (int id = 1; id <= n; ++id)
            kontener.Nowy(id);
        kontener.Sortuj(0);
        auto ids = Ids(kontener);
        std::sort(ids.begin(), ids.end());
        ASSERT_EQ(static_cast<int>(ids.size()), n);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(ids[i], i + 1);
    }
}

// Elements the compare cannot tell apart end in the order the shuffle left.
TEST(Objects, EqualElementsEndInNoFixedOrder) {
    Nazwy kontener;
    for (int id = 1; id <= 40; ++id)
        static_cast<Nazwy::Nazwa*>(kontener.Nowy(id))->tekst = id % 2 ? "brama 7" : "brama 007";
    std::set<std::vector<int>> kolejnosci;
    for (int proba = 0; proba < 10; ++proba) {
        kontener.Sortuj(0);
        kolejnosci.insert(Ids(kontener));
    }
    EXPECT_GT(kolejnosci.size(), 1u);
}

TEST(Objects_Trash, GrowsByFourAndDestroysWhatItHolds) {
    Liczniki kontener;
    Objects_Trash kosz;
    EXPECT_FALSE(kosz.Dodaj(nullptr));
    for (int id = 1; id <= 5; ++id)
        EXPECT_TRUE(kosz.Dodaj(kontener.Odlacz(kontener.Nowy(id))));
    EXPECT_EQ(kosz.Ilosc(), 5);
    EXPECT_EQ(kosz.Pojemnosc(), 8);
    kosz.Oproznij();
    EXPECT_EQ(kosz.Ilosc(), 0);
    EXPECT_EQ(kosz.Pojemnosc(), 8) << "the array stays for the next run";
    EXPECT_EQ(kontener.zniszczone.size(), 5u);
}

} // namespace
