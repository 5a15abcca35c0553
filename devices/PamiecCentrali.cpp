#include "devices/PamiecCentrali.h"

#include <algorithm>
#include <fstream>

#include "devices/KonfiguracjaPamieciCentrali.h"

namespace pamiec {

std::uint16_t Czytaj16(const std::uint8_t* bajty) {
    return static_cast<std::uint16_t>((bajty[0] << 8) | bajty[1]);
}

void Zapisz16(std::uint8_t* bajty, std::uint16_t wartosc) {
    bajty[0] = static_cast<std::uint8_t>(wartosc >> 8);
    bajty[1] = static_cast<std::uint8_t>(wartosc);
}

std::uint32_t Czytaj32(const std::uint8_t* bajty) {
    return (std::uint32_t{Czytaj16(bajty)} << 16) | Czytaj16(bajty + 2);
}

void Zapisz32(std::uint8_t* bajty, std::uint32_t wartosc) {
    Zapisz16(bajty, static_cast<std::uint16_t>(wartosc >> 16));
    Zapisz16(bajty + 2, static_cast<std::uint16_t>(wartosc));
}

} // namespace pamiec

// splitmix64 over the seed: any 16-bit seed gives a well-spread sequence, and
// the rule is ours, so it stays the same on every build and platform.
DefaultCodeGenerator::DefaultCodeGenerator(std::uint16_t seed) : state_(seed) {}

std::uint16_t DefaultCodeGenerator::Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<std::uint16_t>(1000 + z % 9000);
}

// ---- MapaPamieciCentraliInterface ----

MapaPamieciCentraliInterface::MapaPamieciCentraliInterface(std::size_t rozmiarNaglowka, int pojemnosc,
                                                           const std::array<std::size_t, LiczbaRegionow>& poczatek,
                                                           std::size_t szerokoscId)
    : obraz_(pamiec::rozmiarObrazu, 0xFF),
      rozmiarNaglowka_(rozmiarNaglowka),
      pojemnosc_(pojemnosc),
      poczatek_(poczatek),
      szerokosc_{szerokoscId, 2, 1, 1, 2} {
    std::fill_n(obraz_.begin(), rozmiarNaglowka_, std::uint8_t{0});
}

std::uint8_t* MapaPamieciCentraliInterface::Wskaznik(std::size_t offset) {
    return offset < obraz_.size() ? obraz_.data() + offset : nullptr;
}

const std::uint8_t* MapaPamieciCentraliInterface::Wskaznik(std::size_t offset) const {
    return offset < obraz_.size() ? obraz_.data() + offset : nullptr;
}

std::uint8_t MapaPamieciCentraliInterface::czytaj8(std::size_t offset, std::uint8_t brak) const {
    return offset != 0 && offset < obraz_.size() ? obraz_[offset] : brak;
}

void MapaPamieciCentraliInterface::zapisz8(std::size_t offset, std::uint8_t v) {
    if (offset != 0 && offset < obraz_.size())
        obraz_[offset] = v;
}

std::uint16_t MapaPamieciCentraliInterface::czytaj16(std::size_t offset, std::uint16_t brak) const {
    return offset != 0 && offset + 2 <= obraz_.size() ? pamiec::Czytaj16(obraz_.data() + offset) : brak;
}

void MapaPamieciCentraliInterface::zapisz16(std::size_t offset, std::uint16_t v) {
    if (offset != 0 && offset + 2 <= obraz_.size())
        pamiec::Zapisz16(obraz_.data() + offset, v);
}

std::uint32_t MapaPamieciCentraliInterface::czytaj32(std::size_t offset, std::uint32_t brak) const {
    return offset != 0 && offset + 4 <= obraz_.size() ? pamiec::Czytaj32(obraz_.data() + offset) : brak;
}

void MapaPamieciCentraliInterface::zapisz32(std::size_t offset, std::uint32_t v) {
    if (offset != 0 && offset + 4 <= obraz_.size())
        pamiec::Zapisz32(obraz_.data() + offset, v);
}

void MapaPamieciCentraliInterface::WczytajNaglowek(const std::uint8_t* bajty, std::size_t dlugosc) {
    std::copy_n(bajty, std::min(dlugosc, rozmiarNaglowka_), obraz_.begin());
}

void MapaPamieciCentraliInterface::PobierzNaglowek(std::uint8_t* bajty, std::size_t dlugosc) const {
    std::copy_n(obraz_.begin(), std::min(dlugosc, rozmiarNaglowka_), bajty);
}

bool MapaPamieciCentraliInterface::NaglowekInny(const std::uint8_t* bajty, std::size_t dlugosc) const {
    return !std::equal(obraz_.begin(), obraz_.begin() + std::min(dlugosc, rozmiarNaglowka_), bajty);
}

bool MapaPamieciCentraliInterface::KameryInne(const std::array<std::uint16_t, pamiec::liczbaKamer>& kamery) const {
    for (int i = 0; i < pamiec::liczbaKamer; ++i)
        if (Kamera(i) != kamery[i])
            return true;
    return false;
}

bool MapaPamieciCentraliInterface::ZapiszPlik(const std::filesystem::path& plik) const {
    std::ofstream out(plik, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(obraz_.data()), static_cast<std::streamsize>(obraz_.size()));
    out.close();
    return !out.fail();
}

bool MapaPamieciCentraliInterface::WczytajPlik(const std::filesystem::path& plik) {
    std::ifstream in(plik, std::ios::binary);
    if (!in)
        return false;
    // One byte more than the image, to tell a longer file from an exact one.
    std::vector<std::uint8_t> bufor(obraz_.size() + 1);
    in.read(reinterpret_cast<char*>(bufor.data()), static_cast<std::streamsize>(bufor.size()));
    if (in.bad() || static_cast<std::size_t>(in.gcount()) != obraz_.size())
        return false;
    std::copy_n(bufor.begin(), obraz_.size(), obraz_.begin());
    return true;
}

void MapaPamieciCentraliInterface::UstawDomyslne(std::uint8_t kodTypu, std::uint16_t numer) {
    zapisz8(1, 62);
    for (int k = 1; k <= pamiec::liczbaKlawiatur; ++k) {
        UstawTypWywolaniaKlawiatury(k, 2);
        UstawCzasWywolaniaKlawiatury(k, 10);
        UstawCzasOczekiwaniaKlawiatury(k, 5);
        UstawCzasRozmowyKlawiatury(k, 30);
        UstawCzasOtwarciaRygla(k, 3);
        UstawTypKlawiatury(k, 2);
        // (0, k), big-endian, unlike the (value, 0) UstawSlowoKlawiatury
        // writes. Kept: headers already programmed hold these bytes, and
        // NaglowekInny compares new defaults against them byte for byte.
        zapisz16(42 + 2 * static_cast<std::size_t>(k), static_cast<std::uint16_t>(k));
        UstawGlosnoscKasetaUnifon(k, 3);
        UstawGlosnoscUnifonKaseta(k, 3);
        UstawGlosnoscSampli(k, 3);
        UstawCzasAutoentera(k, 2);
        UstawTypKomunikatu(k, 1);
    }
    zapisz8(58, 0x7F);
    zapisz8(59, 0x7F);
    zapisz8(60, 3);
    zapisz8(75, 3);
    zapisz16(97, 200);
    zapisz16(99, 300);
    zapisz16(101, numer);
    zapisz8(103, 10);
    zapisz8(104, 5);
    zapisz8(105, 30);
    zapisz16(106, 0xFFFF);
    ustawDomyslneUkladu(kodTypu);

    DefaultCodeGenerator generator(numer);
    ustawDomyslneLokale(generator);
    UstawZapasowyKodOperatora(generator.Next());
}

void MapaPamieciCentraliInterface::UstawDomyslneLokale(std::uint16_t numer) {
    DefaultCodeGenerator generator(numer);
    ustawDomyslneLokale(generator);
}

void MapaPamieciCentraliInterface::ustawDomyslneLokale(DefaultCodeGenerator& generator) {
    for (int e = 1; e <= pamiec::liczbaLokali; ++e) {
        zapisz16(pozycjaLokalu(106, e), generator.Next());
        zapisz16(pozycjaLokalu(706, e), static_cast<std::uint16_t>(e));
        ustawDomyslneFlagi(e, e <= 20);
    }
    const std::uint16_t klatka = NumerCentralki();
    for (int k = 1; k <= pamiec::liczbaKlawiatur; ++k)
        for (int b = 0; b < pamiec::liczbaGuzikow; ++b) {
            const bool uzywana = k <= 3;
            UstawLokalGuzika(k, b, uzywana ? static_cast<std::uint16_t>(b + 1) : 0xFFFF);
            UstawKlatkaGuzika(k, b, uzywana ? klatka : 0xFFFF);
        }
}

bool MapaPamieciCentraliInterface::BitKonfiguracji(int bit) const {
    return bit >= 0 && bit < 8 && (czytaj8(1, 0) >> bit) & 1;
}

void MapaPamieciCentraliInterface::UstawBitKonfiguracji(int bit, bool wartosc) {
    if (bit < 0 || bit >= 8)
        return;
    const auto maska = static_cast<std::uint8_t>(1u << bit);
    zapisz8(1, wartosc ? czytaj8(1, 0) | maska : czytaj8(1, 0) & ~maska);
}

std::uint8_t MapaPamieciCentraliInterface::bajtKlawiatury(std::size_t baza, int k) const {
    return klawiaturaOk(k) ? czytaj8(baza + k, 0) : 0;
}

void MapaPamieciCentraliInterface::ustawBajtKlawiatury(std::size_t baza, int k, std::uint8_t v) {
    if (klawiaturaOk(k))
        zapisz8(baza + k, v);
}

std::uint8_t MapaPamieciCentraliInterface::SlowoKlawiatury(int k) const {
    return klawiaturaOk(k) ? czytaj8(42 + 2 * static_cast<std::size_t>(k), 0) : 0;
}

void MapaPamieciCentraliInterface::UstawSlowoKlawiatury(int k, std::uint8_t v) {
    if (!klawiaturaOk(k))
        return;
    const std::size_t pozycja = 42 + 2 * static_cast<std::size_t>(k);
    zapisz8(pozycja, v);
    zapisz8(pozycja + 1, 0);
}

bool MapaPamieciCentraliInterface::klawiaturaWMasce(std::size_t offset, int k) const {
    if (!klawiaturaOk(k))
        return false;
    const std::uint8_t maska = czytaj8(offset, 0xFF);
    return (maska & (1u << (k - 1))) == 0 && (maska & 0x80) == 0;
}

void MapaPamieciCentraliInterface::ustawKlawiatureWMasce(std::size_t offset, int k, bool v) {
    if (!klawiaturaOk(k))
        return;
    const auto bity = static_cast<std::uint8_t>((1u << (k - 1)) | 0x80);
    const std::uint8_t maska = czytaj8(offset, 0xFF);
    zapisz8(offset, v ? maska & ~bity : maska | bity);
}

std::uint8_t MapaPamieciCentraliInterface::GlosnoscKasetaUnifon(int k) const { return czytaj8(pozycjaPary(k, false), 0); }
void MapaPamieciCentraliInterface::UstawGlosnoscKasetaUnifon(int k, std::uint8_t v) { zapisz8(pozycjaPary(k, false), v); }
std::uint8_t MapaPamieciCentraliInterface::GlosnoscUnifonKaseta(int k) const { return czytaj8(pozycjaPary(k, true), 0); }
void MapaPamieciCentraliInterface::UstawGlosnoscUnifonKaseta(int k, std::uint8_t v) { zapisz8(pozycjaPary(k, true), v); }

std::size_t MapaPamieciCentraliInterface::pozycjaGuzika(std::size_t baza, int k, int b) {
    if (!klawiaturaOk(k) || b < 0 || b >= pamiec::liczbaGuzikow)
        return 0;
    return baza + 48 * static_cast<std::size_t>(k) + 2 * static_cast<std::size_t>(b);
}

std::size_t MapaPamieciCentraliInterface::PozycjaKoduLokalu(int e) const {
    return regionJest(RegionWartosc) ? pozycjaLokalu(106, e) : 0;
}

std::size_t MapaPamieciCentraliInterface::PozycjaNumeruLokalu(int e) const {
    return regionJest(RegionWartosc) ? pozycjaLokalu(706, e) : 0;
}

std::size_t MapaPamieciCentraliInterface::PozycjaWRegionie(Region region, int s) const {
    if (region < 0 || region >= LiczbaRegionow || !regionJest(region))
        return 0;
    const int granica = region == RegionKamery ? pamiec::liczbaKamer : pojemnosc_;
    if (s < 0 || s >= granica)
        return 0;
    const std::size_t pozycja = poczatek_[region] + static_cast<std::size_t>(s) * szerokosc_[region];
    return pozycja + szerokosc_[region] <= obraz_.size() ? pozycja : 0;
}

std::uint8_t* MapaPamieciCentraliInterface::WskaznikWRegionie(Region region, int s) {
    const std::size_t pozycja = PozycjaWRegionie(region, s);
    return pozycja != 0 ? obraz_.data() + pozycja : nullptr;
}

void MapaPamieciCentraliInterface::UstawPierwszyBajtId(int s, std::uint32_t id) {
    zapisz8(PozycjaBajtuSlotu(s), PierwszyBajtId(id));
}

std::uint8_t MapaPamieciCentraliInterface::MaskaSlotu(int s) const {
    if (regionJest(RegionMaska))
        return czytaj8(PozycjaMaskiSlotu(s), 255);
    return IdSlotu(s) == pustyId() ? 255 : 126;
}

// ---- MapaPamieciCentraliStd ----

namespace {

std::array<std::size_t, MapaPamieciCentraliInterface::LiczbaRegionow> regionyStd(int c) {
    constexpr std::size_t n = MapaPamieciCentraliStd::rozmiarNaglowka;
    const auto p = static_cast<std::size_t>(c);
    if (c <= 0)
        return {};
    if (c <= 6000)
        return {n, n + 2 * p, n + 4 * p, 0, n + 5 * p};
    return {n, 0, 0, 0, 0};
}

std::array<std::size_t, MapaPamieciCentraliInterface::LiczbaRegionow> regionyExt(std::uint8_t typ) {
    if (typ == 3)
        return {0x1000, 0, 0, 0xD000, 0};
    if (typ == 4)
        return {0x1000, 0x8800, 0xC400, 0xE200, MapaPamieciCentraliExt::rozmiarNaglowka};
    return {};
}

} // namespace

MapaPamieciCentraliStd::MapaPamieciCentraliStd(std::uint8_t wersja)
    : MapaPamieciCentraliInterface(rozmiarNaglowka, KonfiguracjaPamieciCentrali::Pojemnosc(1, wersja),
                                   regionyStd(KonfiguracjaPamieciCentrali::Pojemnosc(1, wersja)), 2) {}

std::size_t MapaPamieciCentraliStd::RozmiarSlotow() const {
    const auto c = static_cast<std::size_t>(Pojemnosc());
    return c <= 6000 ? 5 * c : 2 * c;
}

std::uint16_t MapaPamieciCentraliStd::wartosc15(std::size_t offset) const { return czytaj16(offset, 0) & 0x7FFF; }

void MapaPamieciCentraliStd::ustawWartosc15(std::size_t offset, std::uint16_t v) {
    zapisz16(offset, static_cast<std::uint16_t>((czytaj16(offset, 0) & 0x8000) | (v & 0x7FFF)));
}

bool MapaPamieciCentraliStd::bit15(std::size_t offset) const { return (czytaj16(offset, 0) & 0x8000) != 0; }

void MapaPamieciCentraliStd::ustawBit15(std::size_t offset, bool v) {
    const std::uint16_t slowo = czytaj16(offset, 0);
    zapisz16(offset, static_cast<std::uint16_t>(v ? slowo | 0x8000 : slowo & 0x7FFF));
}

std::uint16_t MapaPamieciCentraliStd::KodLokalu(int e) const { return wartosc15(pozycjaLokalu(106, e)); }
void MapaPamieciCentraliStd::UstawKodLokalu(int e, std::uint16_t v) { ustawWartosc15(pozycjaLokalu(106, e), v); }
std::uint16_t MapaPamieciCentraliStd::NumerLokalu(int e) const { return wartosc15(pozycjaLokalu(706, e)); }
void MapaPamieciCentraliStd::UstawNumerLokalu(int e, std::uint16_t v) { ustawWartosc15(pozycjaLokalu(706, e), v); }
bool MapaPamieciCentraliStd::FlagaPin(int e) const { return bit15(pozycjaLokalu(706, e)); }
void MapaPamieciCentraliStd::UstawFlagaPin(int e, bool v) { ustawBit15(pozycjaLokalu(706, e), v); }
bool MapaPamieciCentraliStd::FlagaKod(int e) const { return bit15(pozycjaLokalu(106, e)); }
void MapaPamieciCentraliStd::UstawFlagaKod(int e, bool v) { ustawBit15(pozycjaLokalu(106, e), v); }

std::uint32_t MapaPamieciCentraliStd::IdSlotu(int s) const { return czytaj16(PozycjaIdSlotu(s), 0xFFFF); }

void MapaPamieciCentraliStd::UstawIdSlotu(int s, std::uint32_t id) {
    zapisz16(PozycjaIdSlotu(s), static_cast<std::uint16_t>(id));
}

std::size_t MapaPamieciCentraliStd::pozycjaPary(int k, bool druga) const {
    return klawiaturaOk(k) ? 59 + 2 * static_cast<std::size_t>(k) + (druga ? 1 : 0) : 0;
}

// The allowed table shares its bytes with button table B of keypad 7
// (1598 + 48 * 7 = 1934); controllers read them that way, so both stay.
std::size_t MapaPamieciCentraliStd::pozycjaDozwolonego(int i) const {
    return i >= 0 && i < pamiec::liczbaGuzikow ? 1934 + 2 * static_cast<std::size_t>(i) : 0;
}

void MapaPamieciCentraliStd::ustawDomyslneUkladu(std::uint8_t) { *Wskaznik(0) = 0xFF; }

void MapaPamieciCentraliStd::ustawDomyslneFlagi(int e, bool wlaczone) {
    // The code and number just written are below 0x8000, so bit 15 is clear.
    if (wlaczone) {
        UstawFlagaPin(e, true);
        UstawFlagaKod(e, true);
    }
}

// ---- MapaPamieciCentraliExt ----

MapaPamieciCentraliExt::MapaPamieciCentraliExt(std::uint8_t typ, std::uint8_t wersja)
    : MapaPamieciCentraliInterface(rozmiarNaglowka, KonfiguracjaPamieciCentrali::Pojemnosc(typ, wersja),
                                   regionyExt(typ), 4) {}

std::size_t MapaPamieciCentraliExt::RozmiarSlotow() const {
    return PoczatekSlotow() != 0 ? pamiec::rozmiarObrazu - PoczatekSlotow() : 0;
}

std::uint8_t MapaPamieciCentraliExt::KodTypu() const { return *Wskaznik(0) & 0x0F; }

void MapaPamieciCentraliExt::UstawKodTypu(std::uint8_t kod) {
    std::uint8_t& bajt = *Wskaznik(0);
    bajt = static_cast<std::uint8_t>((bajt & 0xF0) | (kod & 0x0F));
}

// Only bits 4 and 5 are flags; the low four are the type code.
bool MapaPamieciCentraliExt::BitTypu(int bit) const {
    return (bit == 4 || bit == 5) && ((*Wskaznik(0) >> bit) & 1);
}

void MapaPamieciCentraliExt::UstawBitTypu(int bit, bool wartosc) {
    if (bit != 4 && bit != 5)
        return;
    std::uint8_t& bajt = *Wskaznik(0);
    const auto maska = static_cast<std::uint8_t>(1u << bit);
    bajt = wartosc ? bajt | maska : bajt & ~maska;
}

std::uint16_t MapaPamieciCentraliExt::KodLokalu(int e) const { return czytaj16(pozycjaLokalu(106, e), 0); }
void MapaPamieciCentraliExt::UstawKodLokalu(int e, std::uint16_t v) { zapisz16(pozycjaLokalu(106, e), v); }
std::uint16_t MapaPamieciCentraliExt::NumerLokalu(int e) const { return czytaj16(pozycjaLokalu(706, e), 0); }
void MapaPamieciCentraliExt::UstawNumerLokalu(int e, std::uint16_t v) { zapisz16(pozycjaLokalu(706, e), v); }

std::size_t MapaPamieciCentraliExt::PozycjaFlagLokalu(int e) const {
    return regionJest(RegionWartosc) && lokalOk(e) ? 1983 + static_cast<std::size_t>(e) : 0;
}

bool MapaPamieciCentraliExt::bitFlagi(int e, int bit) const {
    return lokalOk(e) && ((czytaj8(1983 + static_cast<std::size_t>(e), 0) >> bit) & 1);
}

void MapaPamieciCentraliExt::ustawBitFlagi(int e, int bit, bool v) {
    if (!lokalOk(e))
        return;
    const std::size_t pozycja = 1983 + static_cast<std::size_t>(e);
    const auto maska = static_cast<std::uint8_t>(1u << bit);
    const std::uint8_t bajt = czytaj8(pozycja, 0);
    zapisz8(pozycja, v ? bajt | maska : bajt & ~maska);
}

std::uint32_t MapaPamieciCentraliExt::IdSlotu(int s) const { return czytaj32(PozycjaIdSlotu(s), 0xFFFFFFFF); }

void MapaPamieciCentraliExt::UstawIdSlotu(int s, std::uint32_t id) {
    zapisz32(PozycjaIdSlotu(s), id);
    UstawPierwszyBajtId(s, id);
}

std::size_t MapaPamieciCentraliExt::pozycjaPary(int k, bool druga) const {
    return klawiaturaOk(k) ? (druga ? 67 : 60) + static_cast<std::size_t>(k) : 0;
}

std::size_t MapaPamieciCentraliExt::pozycjaDozwolonego(int i) const {
    return i >= 0 && i < pamiec::liczbaGuzikow ? 2284 + 2 * static_cast<std::size_t>(i) : 0;
}

void MapaPamieciCentraliExt::ustawDomyslneUkladu(std::uint8_t kodTypu) {
    *Wskaznik(0) = kodTypu & 0x0F;
    for (int i = 0; i < pamiec::liczbaGuzikow; ++i)
        UstawDozwolonyAdres(i, 0xFFFF);
    zapisz16(1982, 0xFFFF);
}

void MapaPamieciCentraliExt::ustawDomyslneFlagi(int e, bool wlaczone) {
    for (int bit = 0; bit < 3; ++bit)
        ustawBitFlagi(e, bit, wlaczone);
}
