#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <unordered_map>
#include <vector>

#include "core/MapaId.h"
#include "core/Object.h"

// Random adds, replacements and removals, checked against the standard map
// after every step. Ids in a narrow range collide and wrap around the end of
// the table, which is where a removal that moves entries back goes wrong.
TEST(MapaIdTest, AgreesWithAStandardMapThroughAddsAndRemovals)
{
    std::vector<std::unique_ptr<Object>> elementy;
    for (int i = 0; i < 64; ++i)
        elementy.push_back(std::make_unique<Object>(i));

    struct Przebieg {
        const char* nazwa;
        int odId, doId;
        std::size_t rezerwa;
    };
    const Przebieg przebiegi[] = {
        {"few ids, small table", -20, 20, 0},
        {"negative and zero ids", -5, 5, 0},
        {"ids far apart", -2000000000, 2000000000, 4},
        {"reserved room", 0, 300, 1000},
    };
    for (const auto& p : przebiegi) {
        SCOPED_TRACE(p.nazwa);
        MapaId mapa;
        mapa.Rezerwuj(p.rezerwa);
        std::unordered_map<int, Object*> wzor;
        std::mt19937 los(5);
        std::uniform_int_distribution<int> idy(p.odId, p.doId);
        std::vector<int> uzyte;
        for (int krok = 0; krok < 20000; ++krok) {
            const bool dodaj = los() % 3 != 0 || uzyte.empty();
            const int id = dodaj || los() % 4 == 0 ? idy(los) : uzyte[los() % uzyte.size()];
            if (dodaj) {
                Object* e = elementy[los() % elementy.size()].get();
                EXPECT_EQ(mapa.Wstaw(id, e), !wzor.contains(id));
                wzor[id] = e;
                uzyte.push_back(id);
            } else {
                mapa.Usun(id);
                wzor.erase(id);
            }
            ASSERT_EQ(mapa.Rozmiar(), wzor.size()) << "step " << krok;
            if (krok % 97 == 0) {
                for (int sprawdzany : uzyte)
                    ASSERT_EQ(mapa.Znajdz(sprawdzany), wzor.contains(sprawdzany) ? wzor[sprawdzany] : nullptr)
                        << "id " << sprawdzany << " at step " << krok;
                std::size_t widziane = 0;
                mapa.DlaKazdego([&](int i, Object* e) {
                    ++widziane;
                    EXPECT_EQ(wzor.at(i), e);
                });
                EXPECT_EQ(widziane, wzor.size());
            }
        }
        mapa.Wyczysc();
        EXPECT_EQ(mapa.Rozmiar(), 0u);
        EXPECT_EQ(mapa.Znajdz(uzyte.front()), nullptr);
        EXPECT_TRUE(mapa.Wstaw(7, elementy[0].get()));
        EXPECT_EQ(mapa.Znajdz(7), elementy[0].get());
    }
}
