#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

// The 64 KB memory of a controller as the desk models it: a header of settings
// followed by the transponder slot tables. The image is also the ".map" file,
// byte for byte, and the programming pass sends it 4 bytes at a time, so every
// place and width here is fixed by what the controllers read.
//
// Numbers inside the image are big-endian; the accessors convert. The keypad
// words at 42 + 2k and the Std pair at 59 + 2k are little-endian words on the
// controller and are handled byte by byte here.
//
// Every access is bounds-checked: an argument outside its range (keypad 1..7,
// flat entry 1..300, button 0..23, slot below the capacity, camera 0..9), or a
// place past the image, reads as the absent value and writes nothing.

namespace pamiec {

inline constexpr std::size_t rozmiarObrazu = 65536;
inline constexpr int liczbaKlawiatur = 7;
inline constexpr int liczbaLokali = 300;
inline constexpr int liczbaGuzikow = 24;
inline constexpr int liczbaKamer = 10;

std::uint16_t Czytaj16(const std::uint8_t* bajty);
void Zapisz16(std::uint8_t* bajty, std::uint16_t wartosc);
std::uint32_t Czytaj32(const std::uint8_t* bajty);
void Zapisz32(std::uint8_t* bajty, std::uint32_t wartosc);

} // namespace pamiec

// The codes a new controller configuration starts with. Seeded with the
// controller's number, so the editor shows the same codes for the same
// controller every time it builds the defaults.
class DefaultCodeGenerator {
public:
    explicit DefaultCodeGenerator(std::uint16_t seed);
    // The next 4-digit code, 1000..9999.
    std::uint16_t Next();

private:
    std::uint64_t state_;
};

class MapaPamieciCentraliInterface {
public:
    // The five slot regions; entry s of a region lies at start + s * width.
    enum Region { RegionId = 0, RegionWartosc, RegionMaska, RegionPierwszyBajt, RegionKamery, LiczbaRegionow };

    virtual ~MapaPamieciCentraliInterface() = default;
    MapaPamieciCentraliInterface(const MapaPamieciCentraliInterface&) = delete;
    MapaPamieciCentraliInterface& operator=(const MapaPamieciCentraliInterface&) = delete;

    // Whole image.
    void WczytajNaglowek(const std::uint8_t* bajty, std::size_t dlugosc);
    void PobierzNaglowek(std::uint8_t* bajty, std::size_t dlugosc) const;
    void KopiujNaglowek(std::uint8_t* bajty, std::size_t dlugosc) const { PobierzNaglowek(bajty, dlugosc); }
    bool NaglowekInny(const std::uint8_t* bajty, std::size_t dlugosc) const;
    bool NaglowekRozny(const std::uint8_t* bajty, std::size_t dlugosc) const { return NaglowekInny(bajty, dlugosc); }
    bool KameryInne(const std::array<std::uint16_t, pamiec::liczbaKamer>& kamery) const;
    bool KameryRozne(const std::array<std::uint16_t, pamiec::liczbaKamer>& kamery) const { return KameryInne(kamery); }
    std::size_t RozmiarNaglowka() const { return rozmiarNaglowka_; }
    int Pojemnosc() const { return pojemnosc_; }
    std::size_t PoczatekSlotow() const { return poczatek_[RegionId]; }
    virtual std::size_t RozmiarSlotow() const = 0;
    static constexpr std::size_t RozmiarObrazu() { return pamiec::rozmiarObrazu; }
    // Nullptr past the image.
    std::uint8_t* Wskaznik(std::size_t offset);
    const std::uint8_t* Wskaznik(std::size_t offset) const;
    std::uint8_t* Bajty(std::size_t offset) { return Wskaznik(offset); }
    const std::uint8_t* Bajty(std::size_t offset) const { return Wskaznik(offset); }

    // The ".map" file is the raw image. A file of any other size is refused
    // and leaves the image as it was.
    bool ZapiszPlik(const std::filesystem::path& plik) const;
    bool WczytajPlik(const std::filesystem::path& plik);

    // Defaults: the header as a new controller gets it, then the flats, then
    // the spare operator code, all from one generator seeded with the number.
    void UstawDomyslne(std::uint8_t kodTypu, std::uint16_t numer);
    void UstawDomyslneLokale(std::uint16_t numer);
    void UstawDomyslneKody(std::uint16_t numer) { UstawDomyslneLokale(numer); }

    // Byte 0 (the Std layout keeps no type code there: it reads type 1 and no flags).
    virtual std::uint8_t KodTypu() const = 0;
    virtual void UstawKodTypu(std::uint8_t kod) = 0;
    virtual bool BitTypu(int bit) const = 0;
    virtual void UstawBitTypu(int bit, bool wartosc) = 0;
    bool IdentyfikatoryWSieci() const { return BitTypu(4); }
    void UstawIdentyfikatoryWSieci(bool v) { UstawBitTypu(4, v); }
    bool WywolaniePodwojne() const { return BitTypu(5); }
    void UstawWywolaniePodwojne(bool v) { UstawBitTypu(5, v); }

    // Byte 1, eight flags.
    bool BitKonfiguracji(int bit) const;
    void UstawBitKonfiguracji(int bit, bool wartosc);
    bool GenerowaniePrzypominania() const { return BitKonfiguracji(0); }
    void UstawGenerowaniePrzypominania(bool v) { UstawBitKonfiguracji(0, v); }
    bool WywolanieDozorcy() const { return BitKonfiguracji(1); }
    void UstawWywolanieDozorcy(bool v) { UstawBitKonfiguracji(1, v); }
    bool OdpowiedziWSieci() const { return BitKonfiguracji(2); }
    void UstawOdpowiedziWSieci(bool v) { UstawBitKonfiguracji(2, v); }
    bool RozmowyWSieci() const { return BitKonfiguracji(3); }
    void UstawRozmowyWSieci(bool v) { UstawBitKonfiguracji(3, v); }
    bool KodyWSieci() const { return BitKonfiguracji(4); }
    void UstawKodyWSieci(bool v) { UstawBitKonfiguracji(4, v); }
    bool RejestracjaZdarzen() const { return BitKonfiguracji(5); }
    void UstawRejestracjaZdarzen(bool v) { UstawBitKonfiguracji(5, v); }
    bool OgraniczenieWSieci() const { return BitKonfiguracji(6); }
    void UstawOgraniczenieWSieci(bool v) { UstawBitKonfiguracji(6, v); }
    bool DzwonienieGsm() const { return BitKonfiguracji(7); }
    void UstawDzwonienieGsm(bool v) { UstawBitKonfiguracji(7, v); }

    // Per keypad k = 1..7.
    std::uint8_t TypWywolaniaKlawiatury(int k) const { return bajtKlawiatury(1, k); }
    void UstawTypWywolaniaKlawiatury(int k, std::uint8_t v) { ustawBajtKlawiatury(1, k, v); }
    std::uint8_t CzasWywolaniaKlawiatury(int k) const { return bajtKlawiatury(8, k); }
    void UstawCzasWywolaniaKlawiatury(int k, std::uint8_t v) { ustawBajtKlawiatury(8, k, v); }
    std::uint8_t CzasOczekiwaniaKlawiatury(int k) const { return bajtKlawiatury(15, k); }
    void UstawCzasOczekiwaniaKlawiatury(int k, std::uint8_t v) { ustawBajtKlawiatury(15, k, v); }
    std::uint8_t CzasRozmowyKlawiatury(int k) const { return bajtKlawiatury(22, k); }
    void UstawCzasRozmowyKlawiatury(int k, std::uint8_t v) { ustawBajtKlawiatury(22, k, v); }
    std::uint8_t CzasOtwarciaRygla(int k) const { return bajtKlawiatury(29, k); }
    void UstawCzasOtwarciaRygla(int k, std::uint8_t v) { ustawBajtKlawiatury(29, k, v); }
    std::uint8_t TypKlawiatury(int k) const { return bajtKlawiatury(36, k); }
    void UstawTypKlawiatury(int k, std::uint8_t v) { ustawBajtKlawiatury(36, k, v); }
    // The word at 42 + 2k: the controller reads it little-endian, so a value
    // is written as (value, 0) and read back from its first byte.
    std::uint8_t SlowoKlawiatury(int k) const;
    void UstawSlowoKlawiatury(int k, std::uint8_t v);
    // The inverted masks at 58 and 59: keypad k is on while neither bit k-1
    // nor bit 7 is set.
    bool KlawiaturaWlaczonaA(int k) const { return klawiaturaWMasce(58, k); }
    void UstawKlawiaturaWlaczonaA(int k, bool v) { ustawKlawiatureWMasce(58, k, v); }
    bool KlawiaturaWlaczonaB(int k) const { return klawiaturaWMasce(59, k); }
    void UstawKlawiaturaWlaczonaB(int k, bool v) { ustawKlawiatureWMasce(59, k, v); }
    std::uint8_t GlosnoscKasetaUnifon(int k) const;
    void UstawGlosnoscKasetaUnifon(int k, std::uint8_t v);
    std::uint8_t GlosnoscUnifonKaseta(int k) const;
    void UstawGlosnoscUnifonKaseta(int k, std::uint8_t v);
    std::uint8_t GlosnoscSampli(int k) const { return bajtKlawiatury(75, k); }
    void UstawGlosnoscSampli(int k, std::uint8_t v) { ustawBajtKlawiatury(75, k, v); }
    std::uint8_t CzasAutoentera(int k) const { return bajtKlawiatury(82, k); }
    void UstawCzasAutoentera(int k, std::uint8_t v) { ustawBajtKlawiatury(82, k, v); }
    std::uint8_t TypKomunikatu(int k) const { return bajtKlawiatury(89, k); }
    void UstawTypKomunikatu(int k, std::uint8_t v) { ustawBajtKlawiatury(89, k, v); }

    // Single settings.
    std::uint8_t GlosnoscUnifonUnifon() const { return czytaj8(60, 0); }
    void UstawGlosnoscUnifonUnifon(std::uint8_t v) { zapisz8(60, v); }
    std::uint8_t GlosnoscKasetaKaseta() const { return czytaj8(75, 0); }
    void UstawGlosnoscKasetaKaseta(std::uint8_t v) { zapisz8(75, v); }
    std::uint16_t MieszkanieDozorcy() const { return czytaj16(97, 0); }
    void UstawMieszkanieDozorcy(std::uint16_t v) { zapisz16(97, v); }
    std::uint16_t KlatkaDozorcy() const { return czytaj16(99, 0); }
    void UstawKlatkaDozorcy(std::uint16_t v) { zapisz16(99, v); }
    std::uint16_t NumerCentralki() const { return czytaj16(101, 0); }
    void UstawNumerCentralki(std::uint16_t v) { zapisz16(101, v); }
    std::uint8_t CzasWywolaniaDozorcy() const { return czytaj8(103, 0); }
    void UstawCzasWywolaniaDozorcy(std::uint8_t v) { zapisz8(103, v); }
    std::uint8_t CzasOczekiwaniaDozorcy() const { return czytaj8(104, 0); }
    void UstawCzasOczekiwaniaDozorcy(std::uint8_t v) { zapisz8(104, v); }
    std::uint8_t CzasRozmowyDozorcy() const { return czytaj8(105, 0); }
    void UstawCzasRozmowyDozorcy(std::uint8_t v) { zapisz8(105, v); }
    virtual std::uint16_t AdresPC() const = 0;
    virtual void UstawAdresPC(std::uint16_t v) = 0;
    std::uint16_t ZapasowyKodOperatora() const { return czytaj16(1308, 0); }
    void UstawZapasowyKodOperatora(std::uint16_t v) { zapisz16(1308, v); }

    // Flat entries e = 1..300.
    virtual std::uint16_t KodLokalu(int e) const = 0;
    virtual void UstawKodLokalu(int e, std::uint16_t v) = 0;
    virtual std::uint16_t NumerLokalu(int e) const = 0;
    virtual void UstawNumerLokalu(int e, std::uint16_t v) = 0;
    virtual bool FlagaPin(int e) const = 0;
    virtual void UstawFlagaPin(int e, bool v) = 0;
    virtual bool FlagaKod(int e) const = 0;
    virtual void UstawFlagaKod(int e, bool v) = 0;
    virtual bool FlagaPowiadamiania(int e) const = 0;
    virtual void UstawFlagaPowiadamiania(int e, bool v) = 0;

    // Buttons b = 0..23 of keypad k.
    std::uint16_t LokalGuzika(int k, int b) const { return czytaj16(pozycjaGuzika(1262, k, b), 0); }
    void UstawLokalGuzika(int k, int b, std::uint16_t v) { zapisz16(pozycjaGuzika(1262, k, b), v); }
    std::uint16_t KlatkaGuzika(int k, int b) const { return czytaj16(pozycjaGuzika(1598, k, b), 0); }
    void UstawKlatkaGuzika(int k, int b, std::uint16_t v) { zapisz16(pozycjaGuzika(1598, k, b), v); }

    // Allowed addresses i = 0..23.
    std::uint16_t DozwolonyAdres(int i) const { return czytaj16(pozycjaDozwolonego(i), 0); }
    void UstawDozwolonyAdres(int i, std::uint16_t v) { zapisz16(pozycjaDozwolonego(i), v); }

    // Image offsets of a flat entry's fields; 0 without a value region.
    std::size_t PozycjaKoduLokalu(int e) const;
    std::size_t PozycjaNumeruLokalu(int e) const;
    virtual std::size_t PozycjaFlagLokalu(int e) const = 0;

    // Slot regions: offset 0 and address nullptr when the region is absent or
    // the slot is not below the capacity (cameras: 0..9).
    std::size_t PozycjaWRegionie(Region region, int s) const;
    std::uint8_t* WskaznikWRegionie(Region region, int s);
    std::size_t PozycjaIdSlotu(int s) const { return PozycjaWRegionie(RegionId, s); }
    std::size_t PozycjaWartosciSlotu(int s) const { return PozycjaWRegionie(RegionWartosc, s); }
    std::size_t PozycjaMaskiSlotu(int s) const { return PozycjaWRegionie(RegionMaska, s); }
    std::size_t PozycjaBajtuSlotu(int s) const { return PozycjaWRegionie(RegionPierwszyBajt, s); }
    std::size_t PozycjaKamery(int i) const { return PozycjaWRegionie(RegionKamery, i); }
    std::uint8_t* WskaznikIdSlotu(int s) { return WskaznikWRegionie(RegionId, s); }
    std::uint8_t* WskaznikWartosciSlotu(int s) { return WskaznikWRegionie(RegionWartosc, s); }
    std::uint8_t* WskaznikMaskiSlotu(int s) { return WskaznikWRegionie(RegionMaska, s); }
    std::uint8_t* WskaznikBajtuSlotu(int s) { return WskaznikWRegionie(RegionPierwszyBajt, s); }
    std::uint8_t* WskaznikKamery(int i) { return WskaznikWRegionie(RegionKamery, i); }

    // Slot records. An empty slot holds all ones in its identifier.
    virtual std::uint32_t IdSlotu(int s) const = 0;
    virtual void UstawIdSlotu(int s, std::uint32_t id) = 0;
    void UstawPierwszyBajtId(int s, std::uint32_t id);
    std::uint16_t WartoscSlotu(int s) const { return czytaj16(PozycjaWartosciSlotu(s), 0xFFFF); }
    void UstawWartoscSlotu(int s, std::uint16_t v) { zapisz16(PozycjaWartosciSlotu(s), v); }
    // Without a mask table the windows still show a mask: 126 for an
    // occupied slot and 255 for an empty one, the values those controllers
    // behave as if they held.
    std::uint8_t MaskaSlotu(int s) const;
    void UstawMaskaSlotu(int s, std::uint8_t v) { zapisz8(PozycjaMaskiSlotu(s), v); }
    std::uint16_t Kamera(int i) const { return czytaj16(PozycjaKamery(i), 0xFFFF); }
    void UstawKamera(int i, std::uint16_t v) { zapisz16(PozycjaKamery(i), v); }

protected:
    // Region starts are 0 for an absent region; no region starts at offset 0.
    MapaPamieciCentraliInterface(std::size_t rozmiarNaglowka, int pojemnosc,
                                 const std::array<std::size_t, LiczbaRegionow>& poczatek,
                                 std::size_t szerokoscId);

    virtual std::uint32_t pustyId() const = 0;
    virtual std::size_t pozycjaPary(int k, bool druga) const = 0;
    virtual std::size_t pozycjaDozwolonego(int i) const = 0;
    virtual void ustawDomyslneUkladu(std::uint8_t kodTypu) = 0;
    virtual void ustawDomyslneFlagi(int e, bool wlaczone) = 0;

    static bool klawiaturaOk(int k) { return k >= 1 && k <= pamiec::liczbaKlawiatur; }
    static bool lokalOk(int e) { return e >= 1 && e <= pamiec::liczbaLokali; }

    // Bounds-checked access. Offset 0 is "no place": every position helper
    // answers 0 for an absent region or an argument out of range, and the one
    // field at offset 0 (byte 0) is reached through Wskaznik.
    std::uint8_t czytaj8(std::size_t offset, std::uint8_t brak) const;
    void zapisz8(std::size_t offset, std::uint8_t v);
    std::uint16_t czytaj16(std::size_t offset, std::uint16_t brak) const;
    void zapisz16(std::size_t offset, std::uint16_t v);
    std::uint32_t czytaj32(std::size_t offset, std::uint32_t brak) const;
    void zapisz32(std::size_t offset, std::uint32_t v);

    bool regionJest(Region region) const { return poczatek_[region] != 0; }

private:
    void ustawDomyslneLokale(DefaultCodeGenerator& generator);
    std::uint8_t bajtKlawiatury(std::size_t baza, int k) const;
    void ustawBajtKlawiatury(std::size_t baza, int k, std::uint8_t v);
    bool klawiaturaWMasce(std::size_t offset, int k) const;
    void ustawKlawiatureWMasce(std::size_t offset, int k, bool v);
    static std::size_t pozycjaGuzika(std::size_t baza, int k, int b);

protected:
    static std::size_t pozycjaLokalu(std::size_t baza, int e) { return lokalOk(e) ? baza + 2 * e : 0; }

private:

    std::vector<std::uint8_t> obraz_;
    std::size_t rozmiarNaglowka_;
    int pojemnosc_;
    std::array<std::size_t, LiczbaRegionow> poczatek_;
    std::array<std::size_t, LiczbaRegionow> szerokosc_;
};

// Controller types 1 and 2.
class MapaPamieciCentraliStd final : public MapaPamieciCentraliInterface {
public:
    static constexpr std::size_t rozmiarNaglowka = 1982;
    explicit MapaPamieciCentraliStd(std::uint8_t wersja);

    std::size_t RozmiarSlotow() const override;
    std::uint8_t KodTypu() const override { return 1; }
    void UstawKodTypu(std::uint8_t) override {}
    bool BitTypu(int) const override { return false; }
    void UstawBitTypu(int, bool) override {}
    std::uint16_t AdresPC() const override { return 0xFFFF; }
    void UstawAdresPC(std::uint16_t) override {}
    std::uint16_t KodLokalu(int e) const override;
    void UstawKodLokalu(int e, std::uint16_t v) override;
    std::uint16_t NumerLokalu(int e) const override;
    void UstawNumerLokalu(int e, std::uint16_t v) override;
    bool FlagaPin(int e) const override;
    void UstawFlagaPin(int e, bool v) override;
    bool FlagaKod(int e) const override;
    void UstawFlagaKod(int e, bool v) override;
    bool FlagaPowiadamiania(int) const override { return false; }
    void UstawFlagaPowiadamiania(int, bool) override {}
    std::size_t PozycjaFlagLokalu(int) const override { return 0; }
    std::uint32_t IdSlotu(int s) const override;
    void UstawIdSlotu(int s, std::uint32_t id) override;

protected:
    std::uint32_t pustyId() const override { return 0xFFFF; }
    std::size_t pozycjaPary(int k, bool druga) const override;
    std::size_t pozycjaDozwolonego(int i) const override;
    void ustawDomyslneUkladu(std::uint8_t kodTypu) override;
    void ustawDomyslneFlagi(int e, bool wlaczone) override;

private:
    // Bit 15 of a code or flat word is that entry's flag; the value is the rest.
    std::uint16_t wartosc15(std::size_t offset) const;
    void ustawWartosc15(std::size_t offset, std::uint16_t v);
    bool bit15(std::size_t offset) const;
    void ustawBit15(std::size_t offset, bool v);
};

// Controller types 3 and 4 (other types get an image without slot regions).
class MapaPamieciCentraliExt final : public MapaPamieciCentraliInterface {
public:
    static constexpr std::size_t rozmiarNaglowka = 2332;
    MapaPamieciCentraliExt(std::uint8_t typ, std::uint8_t wersja);

    std::size_t RozmiarSlotow() const override;
    std::uint8_t KodTypu() const override;
    void UstawKodTypu(std::uint8_t kod) override;
    bool BitTypu(int bit) const override;
    void UstawBitTypu(int bit, bool wartosc) override;
    std::uint16_t AdresPC() const override { return czytaj16(106, 0); }
    void UstawAdresPC(std::uint16_t v) override { zapisz16(106, v); }
    std::uint16_t KodLokalu(int e) const override;
    void UstawKodLokalu(int e, std::uint16_t v) override;
    std::uint16_t NumerLokalu(int e) const override;
    void UstawNumerLokalu(int e, std::uint16_t v) override;
    bool FlagaPin(int e) const override { return bitFlagi(e, 0); }
    void UstawFlagaPin(int e, bool v) override { ustawBitFlagi(e, 0, v); }
    bool FlagaKod(int e) const override { return bitFlagi(e, 1); }
    void UstawFlagaKod(int e, bool v) override { ustawBitFlagi(e, 1, v); }
    bool FlagaPowiadamiania(int e) const override { return bitFlagi(e, 2); }
    void UstawFlagaPowiadamiania(int e, bool v) override { ustawBitFlagi(e, 2, v); }
    std::size_t PozycjaFlagLokalu(int e) const override;
    std::uint32_t IdSlotu(int s) const override;
    void UstawIdSlotu(int s, std::uint32_t id) override;

protected:
    std::uint32_t pustyId() const override { return 0xFFFFFFFF; }
    std::size_t pozycjaPary(int k, bool druga) const override;
    std::size_t pozycjaDozwolonego(int i) const override;
    void ustawDomyslneUkladu(std::uint8_t kodTypu) override;
    void ustawDomyslneFlagi(int e, bool wlaczone) override;

private:
    bool bitFlagi(int e, int bit) const;
    void ustawBitFlagi(int e, int bit, bool v);
};
