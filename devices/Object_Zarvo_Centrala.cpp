#include "devices/Object_Zarvo_Centrala.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <exception>

#include "core/Czas.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Lokal.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "core/Uslugi.h"
#include "devices/KonfiguracjaPamieciCentrali.h"
#include "devices/Object_Com.h"
#include "devices/Object_Sim_Modem.h"
#include "platform/db/Command.h"

using centrala::Frame;
using centrala::Sync;

namespace {

constexpr std::uint64_t JednostekNaSekunde = 10'000'000;

// Identifier kinds the controllers report.
constexpr int RodzajTransponder = 2;
constexpr int RodzajKodTymczasowy = 4;

// Built-in event kinds of the controllers' events.
enum Wbudowane : int {
    NieudaneWywolanieLokalu = 14,
    WywolanieLokalu = 15,
    RozmowaZLokatorem = 16,
    OtwarcieZLokalu = 17,
    OtwarcieOdWewnatrz = 18,
    NieudaneOtwarcieKodem = 19,
    OtwarcieKodem = 20,
    NieudaneOtwarcieIdentyfikatorem = 21,
    OtwarcieIdentyfikatorem = 22,
    WywolanieDozorcy = 23,
    RozmowaZDozorca = 24,
    NieznanyIdentyfikator = 26,
    UzycieKodu = 29,
};

std::uint16_t Slowo(const Frame& r, std::size_t gorny, std::size_t dolny) {
    return static_cast<std::uint16_t>(r[gorny] << 8 | r[dolny]);
}

std::uint8_t Gorny(std::uint32_t v) { return static_cast<std::uint8_t>(v >> 8 & 0xFF); }
std::uint8_t Dolny(std::uint32_t v) { return static_cast<std::uint8_t>(v & 0xFF); }

bool MaLokal(const Object_Zarvo_Centrala* centrala, std::int32_t numer) {
    return centrala && Lokale && Lokale->ZnajdzLokalCentrali(centrala->Id(), numer);
}

std::uint64_t Sekundy(double s) { return static_cast<std::uint64_t>(s * JednostekNaSekunde); }

// A controller named in an event: by serial number when the reporting
// controller talks by serial number, else by network address.
Object_Zarvo_Centrala* ZnajdzNazwana(int wartosc, bool poNumerzeSeryjnym) {
    return Centrale ? Centrale->ZnajdzAdresLubNumer(wartosc, poNumerzeSeryjnym) : nullptr;
}

} // namespace

Object_Zarvo_Centrala::Object_Zarvo_Centrala(int id)
    : Object(id), OstatnieWyslanie(Czas::TickMs() - OdstepZapytaniaMs - 1) {}

Object_Zarvo_Centrala::~Object_Zarvo_Centrala() {
    if (Modem && Modem->Centrala == this)
        Modem->Centrala = nullptr;
}

void Object_Zarvo_Centrala::Polacz() {
    Port = nullptr;
    if (PortyCom) {
        Port = static_cast<Object_Com*>(PortyCom->Znajdz(ComCentralaZarvo));
        if (!Port)
            Port = PortyCom->Dodaj(ComCentralaZarvo);
    }
    Modem = Polaczony<Object_Sim_Modem>(ModemySim, Id());
    if (Modem)
        Modem->Centrala = this;
}

void Object_Zarvo_Centrala::UstawTypWersja(int typWersja) {
    TypWersja = typWersja;
    Typ = static_cast<std::uint8_t>(typWersja >> 8 & 0xFF);
    Wersja = static_cast<std::uint8_t>(typWersja & 0xFF);
    Pojemnosc = KonfiguracjaPamieciCentrali::Pojemnosc(Typ, Wersja);
}

void Object_Zarvo_Centrala::UstawPort(int com, std::uint16_t adresCentraliPC) {
    ComCentralaZarvo = com;
    AdresCentraliPC = adresCentraliPC;
    WyczyscPolaczenieWywolania();
}

void Object_Zarvo_Centrala::WyczyscPolaczenieWywolania() { ZrodloWywolania = LokalWywolania = CelWywolania = 0; }

// --- Commands ---------------------------------------------------------------

Frame Object_Zarvo_Centrala::ZbudujRamke(Sync sync, std::uint8_t kod, std::uint16_t a, std::uint16_t b,
                                         std::array<std::uint8_t, 4> dane) const {
    return centrala::encodeFrame({kod, a, b, dane, AdresCentraliPC}, sync);
}

bool Object_Zarvo_Centrala::WyslijRamke(const Frame& ramka) {
    if (!Port || !Port->Wyslij(ramka))
        return false;
    wyslana_ = ramka;
    OczekiwanyKod = ramka[centrala::firstValue];
    OdebranyKod = 0;
    odpowiedzOK_ = false;
    OstatnieWyslanie = Czas::TickMs();
    return true;
}

bool Object_Zarvo_Centrala::OdpowiedzWywolanie(std::uint16_t adres, std::uint16_t lokal) {
    return WyslijRamke(ZbudujRamke(Sync::DD, 1, adres, lokal));
}

bool Object_Zarvo_Centrala::PotwierdzDane(std::uint16_t adres, const std::array<std::uint8_t, 4>& dane) {
    return WyslijRamke(ZbudujRamke(Sync::DD, 4, adres, 0, dane));
}

bool Object_Zarvo_Centrala::PodtrzymajRozmowe(std::uint16_t adres) {
    if (!WyslijRamke(ZbudujRamke(Sync::CC, 6, adres, 0)))
        return false;
    startRozmowyMs_ = Czas::TickMs();
    odstepRozmowyMs_ = OdstepRozmowyMs;
    return true;
}

bool Object_Zarvo_Centrala::Otworz(std::uint16_t adres, std::uint8_t wartosc) {
    return WyslijRamke(ZbudujRamke(Sync::CC, 8, adres ? adres : DomyslnyAdres, 0, {0, 0, 0, wartosc}));
}

bool Object_Zarvo_Centrala::ZapytajTyp() {
    return WyslijRamke(ZbudujRamke(Sync::CC, 9, static_cast<std::uint16_t>(NumerSeryjny & 0xFFFF), 0));
}

bool Object_Zarvo_Centrala::CzytajPamiec(std::uint16_t offset) {
    return WyslijRamke(ZbudujRamke(Sync::CC, 10, static_cast<std::uint16_t>(NumerSeryjny & 0xFFFF), offset));
}

bool Object_Zarvo_Centrala::ZapiszPamiec(std::uint16_t offset, const std::array<std::uint8_t, 4>& dane) {
    return WyslijRamke(ZbudujRamke(Sync::CC, 11, static_cast<std::uint16_t>(NumerSeryjny & 0xFFFF), offset, dane));
}

bool Object_Zarvo_Centrala::PotwierdzTransponder(std::uint16_t adres, std::uint32_t kod, std::uint16_t lokal) {
    return WyslijRamke(ZbudujRamke(Sync::DD, 25, adres, static_cast<std::uint16_t>(kod >> 16),
                                   {Gorny(kod), Dolny(kod), Gorny(lokal), Dolny(lokal)}));
}

// --- Answers for the programming windows ------------------------------------

bool Object_Zarvo_Centrala::SprawdzOdpowiedz() {
    if (OdebranyKod == 0 || OdebranyKod != OczekiwanyKod)
        return false;
    // A written word is confirmed only by the controller echoing its offset
    // and its four bytes.
    if (OczekiwanyKod == 11)
        for (std::size_t i : {10, 12, 14, 16, 18, 20})
            if (odebrana_[i] != wyslana_[i])
                return false;
    odpowiedzOK_ = true;
    return true;
}

std::string Object_Zarvo_Centrala::PobierzTransponder() {
    std::string wynik = std::move(Transponder);
    Transponder.clear();
    if (!wynik.empty())
        PoprzedniTransponder = wynik;
    return wynik;
}

void Object_Zarvo_Centrala::ZlecOtwarcie(int n) {
    if (n >= 1 && n <= 7)
        ZleceniaOtwarcia |= static_cast<std::uint8_t>(1u << (n - 1));
}

// --- Received frames --------------------------------------------------------

void Object_Zarvo_Centrala::RozpocznijRozmowe() {
    Rozmowa = true;
    Przekierowane = false;
    startRozmowyMs_ = Czas::TickMs();
    odstepRozmowyMs_ = OdstepRozmowyMs;
    powtorzeniaRozmowy_ = 0;
}

void Object_Zarvo_Centrala::ZapiszTyp(const Frame& r) {
    Typ = r[10];
    Wersja = r[12];
    Firmware = Slowo(r, 14, 16);
    const int typWersja = Typ * 256 + Wersja;
    Pojemnosc = KonfiguracjaPamieciCentrali::Pojemnosc(Typ, Wersja);
    if (typWersja == TypWersja)
        return;
    TypWersja = typWersja;
    if (DaneModelu* dane = Dane())
        dane->ZapiszZmiane({"centrala_zarvo_gsm", "IdCentralaZarvoGsm", Id(), {{"TypWersja", TypWersja}},
                            "Object_Zarvo_Centrala", __LINE__});
}

void Object_Zarvo_Centrala::AnalizujRamke(const Frame& r) {
    odebrana_ = r;
    ZdarzenieCentrali& z = Zdarzenie;
    z = {};
    z.Kod = r[4];
    z.A = Slowo(r, 6, 8);
    z.B = Slowo(r, 10, 12);
    z.Nadawca = Slowo(r, 22, 24);
    switch (z.Kod) {
    case 12: case 13: case 17: case 18: case 21:
        z.LokalZdarzenia = z.B;
        break;
    default:
        break;
    }
    if (z.Kod == 3 || z.Kod == 17 || z.Kod == 18)
        z.KodWprowadzony = Slowo(r, 14, 16);
    switch (z.Kod) {
    case 3: case 12: case 13: case 16: case 17: case 18: case 19: case 20: case 23: case 25:
        z.Klawiatura = r[20];
        break;
    default:
        break;
    }
    if (z.Kod == 19 || z.Kod == 20 || z.Kod == 23)
        z.Identyfikator = std::uint32_t{r[6]} << 24 | std::uint32_t{r[8]} << 16 | std::uint32_t{r[10]} << 8 | r[12];
    if (z.Kod == 25) {
        z.Identyfikator = std::uint32_t{r[10]} << 24 | std::uint32_t{r[12]} << 16 | std::uint32_t{r[14]} << 8 | r[16];
        z.RodzajIdentyfikatora = r[18];
    }

    switch (z.Kod) {
    case 3: {
        // A code typed without a flat: the master door code opens at once.
        const std::uint16_t kodGlowny = Centrale ? Centrale->KodGlowny : Objects_Zarvo_Centrale::DomyslnyKodGlowny;
        if (z.A == BezAdresu && kodGlowny != 0 && z.KodWprowadzony == kodGlowny)
            Otworz(z.Nadawca, z.Klawiatura);
        break;
    }
    case 4:
        z.Dane = {r[14], r[16], r[18], r[20]};
        DomyslnyAdres = z.Nadawca;
        RozpocznijRozmowe();
        break;
    case 6:
        RozpocznijRozmowe();
        break;
    case 9:
        ZapiszTyp(r);
        break;
    case 10:
        OdczytanaPamiec = {r[14], r[16], r[18], r[20]};
        break;
    case 20: case 23: {
        const Object_Identyfikator* id =
            Identyfikatory ? Identyfikatory->ZnajdzNumerHex(RodzajTransponder, z.Identyfikator) : nullptr;
        if (id && id->Lokal)
            z.LokalZdarzenia = static_cast<std::uint16_t>(id->Lokal->LokalCentralaZarvo);
        break;
    }
    case 25:
        if (z.RodzajIdentyfikatora == RodzajKodTymczasowy) {
            const Object_Identyfikator* id =
                Identyfikatory ? Identyfikatory->ZnajdzNumerHex(RodzajKodTymczasowy, z.Identyfikator) : nullptr;
            z.LokalZdarzenia = id && id->Lokal ? static_cast<std::uint16_t>(id->Lokal->LokalCentralaZarvo) : BezAdresu;
        }
        break;
    default:
        break;
    }
}

// The flat number a flat call (13) is logged with.
std::int32_t Object_Zarvo_Centrala::LokalWywolaniaLokalu() const {
    const ZdarzenieCentrali& z = Zdarzenie;
    std::int32_t numer = z.LokalZdarzenia;
    if (const Object_Zarvo_Centrala* nadawca = ZnajdzNazwana(z.Nadawca, ProtokolNrSeryjny)) {
        const Object_Zarvo_Centrala* cel =
            z.A != BezAdresu ? ZnajdzNazwana(z.A, ProtokolNrSeryjny) : nullptr;
        if (!MaLokal(nadawca, z.LokalZdarzenia) && !MaLokal(cel, z.LokalZdarzenia))
            numer = 0;
    }
    return numer != 0 ? numer : z.B;
}

void Object_Zarvo_Centrala::ZapiszZdarzenie() {
    ZdarzenieCentrali& z = Zdarzenie;
    if (z.Kod != 13 && z.Kod != 14 && z.Kod != 15)
        WyczyscPolaczenieWywolania();
    if (z.Kod == 19 || z.Kod == 20 || z.Kod == 23 || z.Kod == 25) {
        char tekst[9];
        std::snprintf(tekst, sizeof tekst, "%x", static_cast<unsigned>(z.Identyfikator));
        Transponder = tekst;
    }

    int rodzaj = 0;
    int idCentrali = Id();
    std::int32_t transponder = 0, lokal = 0, klawiatura = z.Klawiatura, zrodlo = z.Nadawca, cel = 0, pin = 0;
    const auto identyfikator = static_cast<std::int32_t>(z.Identyfikator);
    switch (z.Kod) {
    case 12:
        rodzaj = NieudaneWywolanieLokalu, lokal = z.LokalZdarzenia, cel = z.A;
        break;
    case 13:
        rodzaj = WywolanieLokalu, lokal = LokalWywolaniaLokalu(), cel = z.A;
        ZrodloWywolania = z.Nadawca;
        LokalWywolania = z.LokalZdarzenia;
        CelWywolania = z.A;
        break;
    case 14: case 15: {
        rodzaj = z.Kod == 14 ? RozmowaZLokatorem : OtwarcieZLokalu;
        Object_Zarvo_Centrala* wywolujaca = Centrale ? Centrale->ZnajdzRozmowe(z) : nullptr;
        if (wywolujaca) {
            z.A = wywolujaca->Zdarzenie.A;
            z.LokalZdarzenia = wywolujaca->Zdarzenie.LokalZdarzenia;
            z.Nadawca = wywolujaca->Zdarzenie.Nadawca;
            idCentrali = wywolujaca->Id();
        }
        const Object_Zarvo_Centrala* docelowa =
            z.A != BezAdresu ? ZnajdzNazwana(z.A, ProtokolNrSeryjny) : nullptr;
        if (MaLokal(wywolujaca, z.B))
            lokal = z.B;
        else if (MaLokal(docelowa, z.LokalZdarzenia))
            lokal = z.LokalZdarzenia;
        else {
            const Object_Zarvo_Centrala* nadawca = ZnajdzNazwana(z.Nadawca, ProtokolNrSeryjny);
            if (MaLokal(nadawca, z.B))
                lokal = z.B;
            else if (z.Kod == 14 && MaLokal(nadawca, z.LokalZdarzenia))
                lokal = z.LokalZdarzenia;
        }
        if (lokal == 0)
            lokal = z.B;
        zrodlo = z.Nadawca;
        cel = z.A;
        if (z.Kod == 15 && wywolujaca)
            wywolujaca->WyczyscPolaczenieWywolania();
        break;
    }
    case 16:
        rodzaj = OtwarcieOdWewnatrz;
        break;
    case 17: case 18:
        rodzaj = z.Kod == 17 ? NieudaneOtwarcieKodem : OtwarcieKodem;
        lokal = z.LokalZdarzenia, cel = z.A, pin = z.KodWprowadzony;
        break;
    case 19:
        rodzaj = NieudaneOtwarcieIdentyfikatorem, transponder = identyfikator;
        break;
    case 20:
        rodzaj = OtwarcieIdentyfikatorem, transponder = identyfikator, lokal = z.LokalZdarzenia;
        break;
    case 21:
        rodzaj = WywolanieDozorcy, lokal = z.LokalZdarzenia, klawiatura = 0, cel = z.A;
        break;
    case 22:
        rodzaj = RozmowaZDozorca, klawiatura = 0, zrodlo = 0;
        break;
    case 23:
        rodzaj = NieznanyIdentyfikator, transponder = identyfikator;
        break;
    case 25:
        rodzaj = UzycieKodu, transponder = identyfikator;
        break;
    default:
        return;
    }
    if (ZdarzeniaCentrali)
        Objects_Zdarzenia::DodajZdarzenieCentrali(ZdarzeniaCentrali, rodzaj, TerazLokalnie(), transponder, idCentrali,
                                                  lokal, klawiatura, zrodlo, cel, pin);
}

// Forwards a flat call nobody answered within its wait to the flat's phone;
// a new call (1) while the modem is busy ends the modem's call.
void Object_Zarvo_Centrala::Przekieruj() {
    if (!Modem)
        return;
    const ZdarzenieCentrali& z = Zdarzenie;
    if (Modem->Polaczenie() || Modem->Wybieranie()) {
        if (z.Kod == 1)
            Modem->Rozlacz();
        return;
    }
    const Object_Lokal* lokal = Lokale ? Lokale->ZnajdzLokalCentrali(Id(), z.B) : nullptr;
    if (!WywolanieOczekuje || !Czas::Minal(TerminWywolania) || !lokal ||
        NumerDoWybrania(lokal->TelefonDomofonu).empty())
        return;
    WywolanieOczekuje = false;
    Przekierowane = true;
    OdpowiedzWywolanie(z.Nadawca, z.B);
    Modem->Dzwon(lokal->TelefonDomofonu, 0);
}

void Object_Zarvo_Centrala::KrokRozmowy() {
    if (!Rozmowa)
        return;
    const std::uint32_t teraz = Czas::TickMs();
    if (teraz - startRozmowyMs_ < odstepRozmowyMs_)
        return;
    if (++powtorzeniaRozmowy_ >= KoniecRozmowy) {
        Rozmowa = false;
        return;
    }
    startRozmowyMs_ = teraz;
    odstepRozmowyMs_ = PonowienieRozmowyMs;
    PodtrzymajRozmowe(DomyslnyAdres);
}

void Object_Zarvo_Centrala::Krok() {
    Frame ramka{};
    if (Port && Port->RamkaDla(ProtokolNrSeryjny, Adres, NumerSeryjny, &ramka)) {
        AnalizujRamke(ramka);
        OstatniaRamka = Czas::Teraz();
        ZapiszZdarzenie();
        ZdarzenieCentrali& z = Zdarzenie;
        if (z.Kod == OczekiwanyKod)
            OdebranyKod = z.Kod;
        switch (z.Kod) {
        case 1: case 13:
            WywolanieOczekuje = true;
            TerminWywolania = Czas::Za(CzasOczekiwaniaWywolania);
            Przekieruj();
            break;
        case 4:
            Przekieruj();
            PotwierdzDane(z.Nadawca, z.Dane);
            break;
        case 3: case 7: case 8: case 10: case 19: case 20:
            break;
        case 23: {
            // Only a transponder the desk knows, valid now and given to a
            // resident, opens the door the controller itself kept shut.
            const Object_Identyfikator* id =
                Identyfikatory ? Identyfikatory->ZnajdzWazny(RodzajTransponder, z.Identyfikator) : nullptr;
            if (id && id->Uzytkownik)
                Otworz(z.Nadawca, z.Klawiatura);
            break;
        }
        case 25:
            if (Identyfikatory && Identyfikatory->ZnajdzWazny(RodzajKodTymczasowy, z.Identyfikator))
                PotwierdzTransponder(z.Nadawca, z.Identyfikator, z.LokalZdarzenia);
            break;
        default:
            z.Kod = 0;
            break;
        }
    } else if (ZleceniaOtwarcia != 0) {
        const int i = std::countr_zero(ZleceniaOtwarcia);
        ZleceniaOtwarcia = static_cast<std::uint8_t>(ZleceniaOtwarcia & ~(1u << i));
        Otworz(DomyslnyAdres, static_cast<std::uint8_t>(i + 1));
    }

    if (Czas::Teraz() - OstatniaRamka > Sekundy(CzasCiszy) && Czas::TickMs() - OstatnieWyslanie > OdstepZapytaniaMs &&
        Port && Port->Wolny())
        ZapytajTyp();

    KrokRozmowy();

    if (Modem && (Modem->Polaczenie() || Modem->Wybieranie()) && !Przekierowane && !Rozmowa)
        Modem->Rozlacz();
}

// --- Container --------------------------------------------------------------

int Objects_Zarvo_Centrale::Porownaj(int rodzaj, const Object* pa, const Object* pb) const {
    const auto& a = *static_cast<const Object_Zarvo_Centrala*>(pa);
    const auto& b = *static_cast<const Object_Zarvo_Centrala*>(pb);
    int r = 0;
    auto po = [&r](long long x, long long y) {
        if (r == 0)
            r = PorownajLiczby(x, y);
    };
    switch (rodzaj) {
    case 0:
        r = Znak(PorownajNaturalnie(a.Nazwa, b.Nazwa));
        po(a.ComCentralaZarvo, b.ComCentralaZarvo);
        po(a.Wersja, b.Wersja);
        break;
    case 1: case 4:
        po(a.ComCentralaZarvo, b.ComCentralaZarvo);
        po(a.Adres, b.Adres);
        break;
    case 2:
        po(a.NumerSeryjny, b.NumerSeryjny);
        po(a.Id(), b.Id());
        break;
    case 3:
        po(a.Adres, b.Adres);
        po(a.Id(), b.Id());
        break;
    case 5:
        po(a.AdresCentraliPC, b.AdresCentraliPC);
        po(a.ComCentralaZarvo, b.ComCentralaZarvo);
        po(a.Adres, b.Adres);
        break;
    default:
        po(a.Id(), b.Id());
        break;
    }
    return r;
}

Object_Zarvo_Centrala* Objects_Zarvo_Centrale::Dodaj(int id, std::string_view nazwa, int comCentralaZarvo,
                                                     std::uint16_t adresCentraliPC, int numerSeryjny, int adres,
                                                     int typWersja, bool protokolNrSeryjny,
                                                     std::span<const std::uint8_t> konfiguracja,
                                                     std::span<const std::uint8_t> konfiguracjaNowa,
                                                     DataCzas dataCzasKonfiguracja,
                                                     const std::array<std::uint16_t, 10>& kamery,
                                                     const std::array<std::uint16_t, 10>& kameryNowe) {
    auto naglowek = [](std::span<const std::uint8_t> bajty) {
        std::vector<std::uint8_t> wynik(Object_Zarvo_Centrala::DlugoscKonfiguracji, 0);
        std::copy_n(bajty.begin(), std::min(bajty.size(), wynik.size()), wynik.begin());
        return wynik;
    };
    auto* c = static_cast<Object_Zarvo_Centrala*>(Nowy(id));
    c->Nazwa = nazwa;
    c->ComCentralaZarvo = comCentralaZarvo;
    c->AdresCentraliPC = adresCentraliPC;
    c->NumerSeryjny = numerSeryjny;
    c->Adres = adres;
    c->ProtokolNrSeryjny = protokolNrSeryjny;
    c->UstawTypWersja(typWersja);
    c->Konfiguracja = naglowek(konfiguracja);
    c->KonfiguracjaNowa = naglowek(konfiguracjaNowa);
    c->DataCzasKonfiguracja = dataCzasKonfiguracja;
    c->KameraSieciowa = kamery;
    c->KameraSieciowaNowa = kameryNowe;
    return c;
}

bool Objects_Zarvo_Centrale::PrzygotujCentrale() {
    bool wynik = true;
    if (PortyCom)
        for (int i = 0; i < PortyCom->Rozmiar(); ++i)
            if (!static_cast<Object_Com*>(PortyCom->Element(i))->Otworz())
                wynik = false;
    for (int i = 0; i < Rozmiar(); ++i)
        static_cast<Object_Zarvo_Centrala*>(Element(i))->WyczyscPolaczenieWywolania();
    return wynik;
}

void Objects_Zarvo_Centrale::Krok() {
    if (PortyCom)
        for (int i = 0; i < PortyCom->Rozmiar(); ++i)
            static_cast<Object_Com*>(PortyCom->Element(i))->Krok();
    for (int i = 0; i < Rozmiar(); ++i)
        static_cast<Object_Zarvo_Centrala*>(Element(i))->Krok();
    if (PortyCom)
        for (int i = 0; i < PortyCom->Rozmiar(); ++i)
            static_cast<Object_Com*>(PortyCom->Element(i))->UsunRamke();
}

Object_Zarvo_Centrala* Objects_Zarvo_Centrale::ZnajdzNumerSeryjny(int numer) const {
    for (int i = Rozmiar() - 1; i >= 0; --i)
        if (auto* c = static_cast<Object_Zarvo_Centrala*>(Element(i)); c->NumerSeryjny == numer)
            return c;
    return nullptr;
}

Object_Zarvo_Centrala* Objects_Zarvo_Centrale::ZnajdzAdres(int adres) const {
    for (int i = Rozmiar() - 1; i >= 0; --i)
        if (auto* c = static_cast<Object_Zarvo_Centrala*>(Element(i)); c->Adres == adres)
            return c;
    return nullptr;
}

Object_Zarvo_Centrala* Objects_Zarvo_Centrale::ZnajdzAdresLubNumer(int wartosc, bool poNumerzeSeryjnym) const {
    return poNumerzeSeryjnym ? ZnajdzNumerSeryjny(wartosc) : ZnajdzAdres(wartosc);
}

Object_Zarvo_Centrala* Objects_Zarvo_Centrale::ZnajdzRozmowe(const ZdarzenieCentrali& z) const {
    for (int i = Rozmiar() - 1; i >= 0; --i) {
        auto* c = static_cast<Object_Zarvo_Centrala*>(Element(i));
        if (c->ZrodloWywolania == z.A && c->LokalWywolania == z.B && c->CelWywolania != Object_Zarvo_Centrala::BezAdresu)
            return c;
    }
    return nullptr;
}
