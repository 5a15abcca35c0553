#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "devices/KonfiguracjaPamieciCentrali.h"
#include "devices/PamiecCentrali.h"

namespace {

using Mapa = MapaPamieciCentraliInterface;
using Bytes = std::vector<std::uint8_t>;

Bytes obraz(const Mapa& mapa) {
    const std::uint8_t* p = mapa.Wskaznik(0);
    return Bytes(p, p + Mapa::RozmiarObrazu());
}

std::unique_ptr<Mapa> utworz(std::uint8_t typ, std::uint8_t wersja) {
    if (typ == 1 || typ == 2)
        return std::make_unique<MapaPamieciCentraliStd>(wersja);
    return std::make_unique<MapaPamieciCentraliExt>(typ, wersja);
}

TEST(PamiecCentrali, CapacityFollowsTypeAndVersion) {
    struct Case {
        std::uint8_t typ, wersja;
        int pojemnosc;
    };
    const Case cases[] = {
        {1, 0, 0},      {1, 1, 1000},    {2, 79, 1000},  {1, 80, 2000},   {2, 95, 2000},
        {1, 96, 6000},  {2, 111, 6000},  {1, 112, 8000}, {2, 113, 15000}, {1, 114, 0},
        {2, 255, 0},    {3, 1, 1024},    {4, 1, 1024},   {3, 18, 12288},  {3, 2, 0},
        {4, 17, 0},     {0, 1, 0},       {5, 18, 0},
        // 12288 slots of four tables would run past the image: what they hold.
        {4, 18, 7680},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << int(c.typ) << " version " << int(c.wersja));
        EXPECT_EQ(KonfiguracjaPamieciCentrali::Pojemnosc(c.typ, c.wersja), c.pojemnosc);
        KonfiguracjaPamieciCentrali konfiguracja(c.typ, c.wersja, 7);
        if (c.typ >= 1 && c.typ <= 4) {
            ASSERT_NE(konfiguracja.Mapa, nullptr);
            EXPECT_EQ(konfiguracja.Mapa->Pojemnosc(), c.pojemnosc);
        } else {
            EXPECT_EQ(konfiguracja.Mapa, nullptr);
        }
    }
}

TEST(PamiecCentrali, RegionOffsetsOfEachLayout) {
    using R = Mapa::Region;
    struct Case {
        std::string_view name;
        std::uint8_t typ, wersja;
        int s;
        std::array<std::size_t, Mapa::LiczbaRegionow> pozycja;
        std::size_t rozmiarSlotow;
    };
    const Case cases[] = {
        {"Std 1000 slots", 1, 1, 3, {1982 + 6, 1982 + 2000 + 6, 1982 + 4000 + 3, 0, 1982 + 5000 + 6}, 5000},
        {"Std 6000 slots", 2, 100, 9, {1982 + 18, 1982 + 12000 + 18, 1982 + 24000 + 9, 0, 1982 + 30000 + 18}, 30000},
        {"Std 15000 slots keeps identifiers only", 2, 113, 14999, {1982 + 29998, 0, 0, 0, 0}, 30000},
        {"Std 0 slots has no regions", 1, 114, 0, {0, 0, 0, 0, 0}, 0},
        {"Ext type 3", 3, 18, 12287, {0x1000 + 4 * 12287, 0, 0, 0xD000 + 12287, 0}, 0xF000},
        {"Ext type 4 version 1", 4, 1, 5, {0x1000 + 20, 0x8800 + 10, 0xC400 + 5, 0xE200 + 5, 2332 + 10}, 0xF000},
        {"Ext type 4 last slot", 4, 18, 7679, {0x87FC, 0xC3FE, 0xE1FF, 0xFFFF, 0}, 0xF000},
        {"Ext type 4 past capacity", 4, 18, 7680, {0, 0, 0, 0, 0}, 0xF000},
        {"Ext of another type", 5, 18, 0, {0, 0, 0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto mapa = utworz(c.typ, c.wersja);
        for (int r = 0; r < Mapa::LiczbaRegionow; ++r) {
            SCOPED_TRACE(r);
            EXPECT_EQ(mapa->PozycjaWRegionie(R(r), c.s), c.pozycja[r]);
            EXPECT_EQ(mapa->WskaznikWRegionie(R(r), c.s) == nullptr, c.pozycja[r] == 0);
        }
        EXPECT_EQ(mapa->RozmiarSlotow(), c.rozmiarSlotow);
    }
}

// Every slot of every region of every type and version lies past the header,
// inside the image, and in no other region: the programming pass writes all of them.
TEST(PamiecCentrali, RegionsStayInsideTheImageAndApart) {
    for (int typ = 1; typ <= 4; ++typ)
        for (int wersja = 0; wersja <= 255; ++wersja) {
            SCOPED_TRACE(testing::Message() << "type " << typ << " version " << wersja);
            auto mapa = utworz(static_cast<std::uint8_t>(typ), static_cast<std::uint8_t>(wersja));
            std::vector<std::pair<std::size_t, std::size_t>> zakresy;
            for (int r = 0; r < Mapa::LiczbaRegionow; ++r) {
                const auto region = Mapa::Region(r);
                const int liczba = region == Mapa::RegionKamery ? 10 : mapa->Pojemnosc();
                if (liczba == 0 || mapa->PozycjaWRegionie(region, 0) == 0)
                    continue;
                const std::size_t ostatni = mapa->PozycjaWRegionie(region, liczba - 1);
                ASSERT_NE(ostatni, 0u) << "region " << r;
                EXPECT_EQ(mapa->PozycjaWRegionie(region, liczba), 0u) << "region " << r;
                const std::size_t szerokosc[] = {typ <= 2 ? 2u : 4u, 2, 1, 1, 2};
                zakresy.emplace_back(mapa->PozycjaWRegionie(region, 0), ostatni + szerokosc[r]);
            }
            std::sort(zakresy.begin(), zakresy.end());
            for (std::size_t i = 0; i < zakresy.size(); ++i) {
                EXPECT_GE(zakresy[i].first, mapa->RozmiarNaglowka());
                EXPECT_LE(zakresy[i].second, Mapa::RozmiarObrazu());
                if (i > 0) {
                    EXPECT_LE(zakresy[i - 1].second, zakresy[i].first);
                }
            }
        }
}

TEST(PamiecCentrali, NewImageIsOnesWithAZeroHeader) {
    for (const auto& [typ, naglowek] : {std::pair{1, 1982}, std::pair{4, 2332}}) {
        auto mapa = utworz(static_cast<std::uint8_t>(typ), 1);
        const Bytes b = obraz(*mapa);
        EXPECT_EQ(mapa->RozmiarNaglowka(), std::size_t(naglowek));
        EXPECT_EQ(std::count(b.begin(), b.begin() + naglowek, 0), naglowek);
        EXPECT_EQ(std::count(b.begin() + naglowek, b.end(), 0xFF), 65536 - naglowek);
    }
}

TEST(PamiecCentrali, DefaultHeaderBytes) {
    struct Case {
        std::size_t offset;
        int std, ext; // -1: not checked for that layout
    };
    const Case cases[] = {
        {0, 0xFF, 4},     {1, 62, 62},      {2, 2, 2},        {8, 2, 2},        {9, 10, 10},
        {16, 5, 5},       {23, 30, 30},     {30, 3, 3},       {37, 2, 2},       {43, 2, 2},
        // keypad 1's word, big-endian 1, and keypad 7's
        {44, 0, 0},       {45, 1, 1},       {56, 0, 0},       {57, 7, 7},
        {58, 0x7F, 0x7F}, {59, 0x7F, 0x7F}, {60, 3, 3},
        // the pair of keypad 1: Std 61/62, Ext 61/68
        {61, 3, 3},       {62, 3, -1},      {68, -1, 3},      {74, 3, 3},
        {75, 3, 3},       {76, 3, 3},       {83, 2, 2},       {90, 1, 1},
        {97, 0, 0},       {98, 200, 200},   {99, 0x01, 0x01}, {100, 0x2C, 0x2C},
        {101, 0x04, 0x04}, {102, 0xD2, 0xD2}, {103, 10, 10},  {104, 5, 5},      {105, 30, 30},
        {106, 0xFF, 0xFF}, {107, 0xFF, 0xFF},
        // flat 1 (flags on in Std bit 15), flat 21 (off)
        {708, 0x80, 0x00}, {709, 1, 1},     {748, 0x00, 0x00}, {749, 21, 21},
        // button A keypad 1 button 0 -> flat 1; keypad 4 unset
        {1310, 0, 0},     {1311, 1, 1},     {1454, 0xFF, 0xFF},
        // button B keypad 1 button 0 -> the controller number
        {1646, 0x04, 0x04}, {1647, 0xD2, 0xD2},
        // Std allowed table is button B of keypad 7
        {1934, 0xFF, 0xFF}, {1981, 0xFF, 0xFF},
        {1982, 0xFF, 0xFF}, {1984, -1, 7},  {2003, -1, 7},    {2004, -1, 0},    {2283, -1, 0},
        {2284, -1, 0xFF}, {2331, -1, 0xFF},
    };
    MapaPamieciCentraliStd std(1);
    MapaPamieciCentraliExt ext(4, 1);
    std.UstawDomyslne(1, 1234);
    ext.UstawDomyslne(4, 1234);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        if (c.std >= 0) {
            EXPECT_EQ(*std.Wskaznik(c.offset), c.std);
        }
        if (c.ext >= 0) {
            EXPECT_EQ(*ext.Wskaznik(c.offset), c.ext);
        }
    }
    EXPECT_EQ(ext.KodTypu(), 4);
    EXPECT_EQ(std.KodTypu(), 1);
    EXPECT_EQ(ext.AdresPC(), 0xFFFF);
    EXPECT_EQ(std.NumerCentralki(), 1234);
}

TEST(PamiecCentrali, DefaultCodesAreFourDigitsAndRepeatForASeed) {
    MapaPamieciCentraliStd std(1);
    MapaPamieciCentraliExt ext(4, 1), ext2(4, 1), inny(4, 1);
    std.UstawDomyslne(1, 77);
    ext.UstawDomyslne(4, 77);
    ext2.UstawDomyslne(4, 77);
    inny.UstawDomyslne(4, 78);
    EXPECT_EQ(obraz(ext), obraz(ext2));

    DefaultCodeGenerator generator(77);
    int rozne = 0;
    for (int e = 1; e <= 300; ++e) {
        SCOPED_TRACE(e);
        const std::uint16_t kod = generator.Next();
        EXPECT_EQ(ext.KodLokalu(e), kod);
        EXPECT_EQ(std.KodLokalu(e), kod);
        EXPECT_EQ(std.NumerLokalu(e), e);
        for (const Mapa* m : {static_cast<const Mapa*>(&std), static_cast<const Mapa*>(&ext)}) {
            EXPECT_EQ(m->FlagaPin(e), e <= 20);
            EXPECT_EQ(m->FlagaKod(e), e <= 20);
        }
        EXPECT_EQ(ext.FlagaPowiadamiania(e), e <= 20);
        rozne += inny.KodLokalu(e) != kod;
    }
    EXPECT_EQ(ext.ZapasowyKodOperatora(), generator.Next());
    EXPECT_EQ(std.ZapasowyKodOperatora(), ext.ZapasowyKodOperatora());
    EXPECT_GT(rozne, 250);

    // The editor's "default flats" alone gives the same codes as the full defaults.
    MapaPamieciCentraliExt lokale(4, 1);
    lokale.UstawNumerCentralki(77);
    lokale.UstawDomyslneLokale(77);
    for (int e = 1; e <= 300; ++e)
        ASSERT_EQ(lokale.KodLokalu(e), ext.KodLokalu(e));
}

TEST(PamiecCentrali, GeneratorStaysInRangeForEverySeed) {
    std::set<std::uint16_t> widziane;
    for (std::uint32_t seed = 0; seed <= 0xFFFF; seed += 257) {
        DefaultCodeGenerator a(static_cast<std::uint16_t>(seed)), b(static_cast<std::uint16_t>(seed));
        for (int i = 0; i < 400; ++i) {
            const std::uint16_t kod = a.Next();
            ASSERT_GE(kod, 1000) << seed;
            ASSERT_LE(kod, 9999) << seed;
            ASSERT_EQ(kod, b.Next()) << seed;
            widziane.insert(kod);
        }
    }
    // The whole range is reached, not a few values of it.
    EXPECT_TRUE(widziane.count(1000) && widziane.count(9999));
    EXPECT_GT(widziane.size(), 8900u);
}

TEST(PamiecCentrali, InvertedKeypadMasks) {
    MapaPamieciCentraliExt mapa(4, 1);
    mapa.UstawDomyslne(4, 1);
    // 0x7F: every keypad bit set, so all are off.
    for (int k = 1; k <= 7; ++k)
        EXPECT_FALSE(mapa.KlawiaturaWlaczonaA(k)) << k;

    mapa.UstawKlawiaturaWlaczonaA(3, true);
    EXPECT_EQ(*mapa.Wskaznik(58), 0x7B);
    EXPECT_TRUE(mapa.KlawiaturaWlaczonaA(3));
    EXPECT_FALSE(mapa.KlawiaturaWlaczonaA(2));
    EXPECT_EQ(*mapa.Wskaznik(59), 0x7F) << "the second mask is its own byte";

    mapa.UstawKlawiaturaWlaczonaA(1, true);
    EXPECT_EQ(*mapa.Wskaznik(58), 0x7A);
    // Switching one off sets bit 7 too, which turns every keypad off.
    mapa.UstawKlawiaturaWlaczonaA(1, false);
    EXPECT_EQ(*mapa.Wskaznik(58), 0xFB);
    EXPECT_FALSE(mapa.KlawiaturaWlaczonaA(3));

    mapa.UstawKlawiaturaWlaczonaB(7, true);
    EXPECT_EQ(*mapa.Wskaznik(59), 0x3F);
    EXPECT_TRUE(mapa.KlawiaturaWlaczonaB(7));
    // Keypads outside 1..7 are refused.
    mapa.UstawKlawiaturaWlaczonaB(8, true);
    mapa.UstawKlawiaturaWlaczonaB(0, true);
    EXPECT_EQ(*mapa.Wskaznik(59), 0x3F);
}

TEST(PamiecCentrali, HeaderFieldsLandWhereEachLayoutKeepsThem) {
    MapaPamieciCentraliStd std(1);
    MapaPamieciCentraliExt ext(4, 1);
    for (Mapa* m : {static_cast<Mapa*>(&std), static_cast<Mapa*>(&ext)}) {
        m->UstawSlowoKlawiatury(2, 9);
        EXPECT_EQ(*m->Wskaznik(46), 9) << "little-endian: value first";
        EXPECT_EQ(*m->Wskaznik(47), 0);
        EXPECT_EQ(m->SlowoKlawiatury(2), 9);
        m->UstawGlosnoscKasetaUnifon(2, 7);
        m->UstawGlosnoscUnifonKaseta(2, 8);
        m->UstawMieszkanieDozorcy(0x1234);
        EXPECT_EQ(*m->Wskaznik(97), 0x12);
        m->UstawKodTypu(3);
        m->UstawWywolaniePodwojne(true);
        m->UstawRejestracjaZdarzen(true);
        EXPECT_EQ(*m->Wskaznik(1), 0x20);
    }
    EXPECT_EQ(*std.Wskaznik(63), 7);
    EXPECT_EQ(*std.Wskaznik(64), 8);
    EXPECT_EQ(*ext.Wskaznik(62), 7);
    EXPECT_EQ(*ext.Wskaznik(69), 8);
    EXPECT_EQ(*ext.Wskaznik(0), 0x23);
    EXPECT_EQ(*std.Wskaznik(0), 0) << "Std keeps no type code";
    EXPECT_FALSE(std.WywolaniePodwojne());

    // Std flags share the code and number words: each keeps the other's bits.
    std.UstawKodLokalu(5, 1234);
    std.UstawFlagaKod(5, true);
    std.UstawKodLokalu(5, 0xFFFF);
    EXPECT_EQ(pamiec::Czytaj16(std.Wskaznik(116)), 0xFFFF);
    std.UstawKodLokalu(5, 1234);
    EXPECT_EQ(pamiec::Czytaj16(std.Wskaznik(116)), 0x84D2);
    EXPECT_EQ(std.KodLokalu(5), 1234);
    EXPECT_TRUE(std.FlagaKod(5));
    EXPECT_FALSE(std.FlagaPin(5));

    // Std's allowed table is button table B of keypad 7, byte for byte.
    std.UstawDozwolonyAdres(0, 0x4321);
    EXPECT_EQ(std.KlatkaGuzika(7, 0), 0x4321);
    ext.UstawDozwolonyAdres(0, 0x4321);
    EXPECT_EQ(pamiec::Czytaj16(ext.Wskaznik(2284)), 0x4321);
    EXPECT_NE(ext.KlatkaGuzika(7, 0), 0x4321);
}

TEST(PamiecCentrali, ExtSlotStoresIdentifierBigEndianAndItsFirstByte) {
    MapaPamieciCentraliExt mapa(4, 1);
    mapa.UstawIdSlotu(5, 0x1234FFFF);
    EXPECT_EQ(Bytes(mapa.Wskaznik(0x1014), mapa.Wskaznik(0x1018)), (Bytes{0x12, 0x34, 0xFF, 0xFF}));
    EXPECT_EQ(*mapa.Wskaznik(0xE205), 0x34);
    EXPECT_EQ(mapa.IdSlotu(5), 0x1234FFFFu);
    mapa.UstawWartoscSlotu(5, 0xABCD);
    EXPECT_EQ(*mapa.Wskaznik(0x8800 + 10), 0xAB);
    mapa.UstawMaskaSlotu(5, 0x42);
    EXPECT_EQ(mapa.MaskaSlotu(5), 0x42);
    mapa.UstawKamera(9, 0x0102);
    EXPECT_EQ(*mapa.Wskaznik(2332 + 18), 0x01);
    std::array<std::uint16_t, 10> kamery;
    kamery.fill(0xFFFF);
    EXPECT_TRUE(mapa.KameryInne(kamery));
    kamery[9] = 0x0102;
    EXPECT_FALSE(mapa.KameryInne(kamery));

    struct Case {
        std::uint32_t id;
        std::uint8_t pierwszy;
    };
    for (const auto& c : {Case{0x12345678, 0x78}, Case{0x1234FFFF, 0x34}, Case{0x00FFFFFF, 0x00},
                          Case{0xFFFFFFFF, 0xFF}, Case{0xFF12FFFF, 0x12}})
        EXPECT_EQ(PierwszyBajtId(c.id), c.pierwszy) << std::hex << c.id;

    struct IdCase {
        std::uint8_t typ;
        std::uint32_t zapisany;
    };
    for (const auto& c : {IdCase{1, 0x5678}, IdCase{2, 0x5678}, IdCase{3, 0x12345678}, IdCase{4, 0x12345678},
                          IdCase{0, 0}, IdCase{5, 0}})
        EXPECT_EQ(KonfiguracjaPamieciCentrali::IdWPamieci(c.typ, 0x12345678), c.zapisany) << int(c.typ);
}

TEST(PamiecCentrali, MissingRegionsReadAbsentAndIgnoreWrites) {
    // Std of 15000 slots: identifiers only.
    MapaPamieciCentraliStd duza(113);
    duza.UstawIdSlotu(14999, 0xABCD1234);
    EXPECT_EQ(duza.IdSlotu(14999), 0x1234u);
    EXPECT_EQ(duza.MaskaSlotu(14999), 126);
    EXPECT_EQ(duza.MaskaSlotu(0), 255);
    EXPECT_EQ(duza.Kamera(0), 0xFFFF);
    EXPECT_EQ(duza.WartoscSlotu(0), 0xFFFF);
    EXPECT_EQ(duza.PozycjaKoduLokalu(1), 0u);

    MapaPamieciCentraliStd pusta(114);
    MapaPamieciCentraliExt typ3(3, 18);
    MapaPamieciCentraliExt obcy(5, 18);
    for (Mapa* m : {static_cast<Mapa*>(&duza), static_cast<Mapa*>(&pusta), static_cast<Mapa*>(&typ3),
                    static_cast<Mapa*>(&obcy)}) {
        const Bytes przed = obraz(*m);
        m->UstawWartoscSlotu(0, 1);
        m->UstawKamera(0, 1);
        m->UstawMaskaSlotu(0, 1);
        m->UstawIdSlotu(-1, 1);
        m->UstawIdSlotu(m->Pojemnosc(), 1);
        m->UstawKodLokalu(301, 1);
        m->UstawFlagaPin(0, true);
        m->UstawLokalGuzika(8, 0, 1);
        m->UstawDozwolonyAdres(24, 1);
        EXPECT_EQ(obraz(*m), przed);
        EXPECT_EQ(m->Kamera(0), 0xFFFF);
        EXPECT_EQ(m->WartoscSlotu(0), 0xFFFF);
        EXPECT_EQ(m->Wskaznik(65536), nullptr);
    }
    EXPECT_EQ(pusta.IdSlotu(0), 0xFFFFu);
    EXPECT_EQ(pusta.PoczatekSlotow(), 0u);
    EXPECT_EQ(obcy.IdSlotu(0), 0xFFFFFFFFu);
    EXPECT_EQ(typ3.MaskaSlotu(0), 255);
    EXPECT_EQ(typ3.PozycjaFlagLokalu(1), 0u);
    typ3.UstawIdSlotu(0, 0x11223344);
    EXPECT_EQ(typ3.MaskaSlotu(0), 126);
    EXPECT_EQ(*typ3.Wskaznik(0xD000), 0x44);
}

TEST(PamiecCentrali, SentWordsAreMarkedOncePerPass) {
    KonfiguracjaPamieciCentrali ext(4, 1, 1);
    EXPECT_TRUE(ext.OznaczWyslane(0x1000 + 4));
    EXPECT_FALSE(ext.OznaczWyslane(0x1000 + 6)) << "same word";
    EXPECT_TRUE(ext.OznaczWyslane(0x1000 + 8));
    EXPECT_TRUE(ext.OznaczWyslane(0xFFFF));
    ext.WyczyscWyslane();
    EXPECT_TRUE(ext.OznaczWyslane(0x1000 + 6));

    // Std slots start at 1982: words count from there, not from 0.
    KonfiguracjaPamieciCentrali std(1, 1, 1);
    EXPECT_TRUE(std.OznaczWyslane(1982 + 2));
    EXPECT_FALSE(std.OznaczWyslane(1982 + 3));
    EXPECT_TRUE(std.OznaczWyslane(1982 + 4));
    EXPECT_THROW(std.OznaczWyslane(1982 + 4 * 15360), std::out_of_range);
}

TEST(PamiecCentrali, HeaderCopiesStopAtTheHeader) {
    MapaPamieciCentraliExt mapa(4, 1);
    const Bytes wejscie(3000, 0x5A);
    mapa.WczytajNaglowek(wejscie.data(), wejscie.size());
    EXPECT_EQ(*mapa.Wskaznik(2331), 0x5A);
    EXPECT_EQ(*mapa.Wskaznik(2332), 0xFF);
    EXPECT_FALSE(mapa.NaglowekInny(wejscie.data(), wejscie.size()));
    Bytes wyjscie(3000, 0);
    mapa.PobierzNaglowek(wyjscie.data(), wyjscie.size());
    EXPECT_EQ(std::count(wyjscie.begin(), wyjscie.end(), 0x5A), 2332);
    mapa.UstawCzasRozmowyDozorcy(1);
    EXPECT_TRUE(mapa.NaglowekRozny(wejscie.data(), wejscie.size()));
}

class PamiecCentraliPlik : public testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("kandor-map-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path folder_;
};

TEST_F(PamiecCentraliPlik, MapFileRoundTripsByteForByte) {
    MapaPamieciCentraliExt mapa(4, 18);
    mapa.UstawDomyslne(4, 4321);
    for (int s = 0; s < mapa.Pojemnosc(); s += 97)
        mapa.UstawIdSlotu(s, 0x01020300u + static_cast<std::uint32_t>(s));
    const auto plik = folder_ / "centrala.map";
    ASSERT_TRUE(mapa.ZapiszPlik(plik));

    std::ifstream in(plik, std::ios::binary);
    const Bytes naDysku((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(naDysku, obraz(mapa));

    MapaPamieciCentraliExt wczytana(4, 18);
    ASSERT_TRUE(wczytana.WczytajPlik(plik));
    EXPECT_EQ(obraz(wczytana), obraz(mapa));
    const auto kopia = folder_ / "kopia.map";
    ASSERT_TRUE(wczytana.ZapiszPlik(kopia));
    std::ifstream in2(kopia, std::ios::binary);
    EXPECT_EQ(Bytes((std::istreambuf_iterator<char>(in2)), std::istreambuf_iterator<char>()), naDysku);
}

TEST_F(PamiecCentraliPlik, MapFileOfAnotherSizeIsRefused) {
    MapaPamieciCentraliStd mapa(1);
    const Bytes przed = obraz(mapa);
    for (const std::size_t rozmiar : {std::size_t{0}, std::size_t{65535}, std::size_t{65537}}) {
        const auto plik = folder_ / ("zly" + std::to_string(rozmiar) + ".map");
        std::ofstream(plik, std::ios::binary) << std::string(rozmiar, '\x11');
        EXPECT_FALSE(mapa.WczytajPlik(plik)) << rozmiar;
    }
    EXPECT_FALSE(mapa.WczytajPlik(folder_ / "brak.map"));
    EXPECT_FALSE(mapa.ZapiszPlik(folder_ / "brak" / "x.map"));
    EXPECT_EQ(obraz(mapa), przed);
}

} // namespace
