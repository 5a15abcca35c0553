#include "core/Object_Przejazd.h"

#include <algorithm>

#include "core/Czas.h"
#include "core/DataCzas.h"
#include "core/Komunikaty.h"
#include "core/Object_Brama.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Grupa_Uzytkownikow_Brama.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Karta.h"
#include "core/Object_Przejazd_Podtrzymanie.h"
#include "core/Object_Przejazd_Posredni.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"

namespace {

// Identifier kinds a reader's board delivers: a remote control on an I/O
// board with a reader, a licence plate on a plate reader.
constexpr int KartaPilota = 1;
constexpr int KartaTablic = 2;
constexpr int RodzajPilot = 1;
constexpr int RodzajTablica = 3;

constexpr std::uint32_t MiganieMs = 1000;

bool Aktywne(const Object_Wejscie* wejscie) { return wejscie && wejscie->Stan; }

Object_Wejscie* Czujnik(int id) {
    auto* wejscie = Polaczony<Object_Wejscie>(Wejscia, id);
    if (wejscie)
        wejscie->CzujnikPrzejazdu = true;
    return wejscie;
}

} // namespace

Object_Przejazd::~Object_Przejazd() {
    for (Object_Przejazd_Posredni* posredni : posrednie_)
        posredni->OdlaczPrzejazd(this);
    for (Object_Przejazd_Podtrzymanie* podtrzymanie : podtrzymania_)
        podtrzymanie->OdlaczPrzejazd();
    // Entries that start this passage are not signed in here.
    if (PrzejazdyPosrednie)
        for (int i = 0; i < PrzejazdyPosrednie->Rozmiar(); ++i)
            static_cast<Object_Przejazd_Posredni*>(PrzejazdyPosrednie->Element(i))->OdlaczPrzejazd(this);
}

void Object_Przejazd::Polacz() {
    Brama = Polaczony<Object_Brama>(Bramy, IdBramy);
    Czytnik = Polaczony<Object_Czytnik>(Czytniki, IdCzytnika);
    WejscieStart = Czujnik(IdWejsciaStart);
    WejscieKoniec = Czujnik(IdWejsciaKoniec);
    WyjscieStop = Polaczony<Object_Wyjscie>(Wyjscia, IdWyjsciaStop);
    WyjscieCzujnikStartowy = Polaczony<Object_Wyjscie>(Wyjscia, IdWyjsciaCzujnikStartowy);
    WyjscieCzekaj = Polaczony<Object_Wyjscie>(Wyjscia, IdWyjsciaCzekaj);
    WyjscieJedz = Polaczony<Object_Wyjscie>(Wyjscia, IdWyjsciaJedz);
}

void Object_Przejazd::DodajPosredni(Object_Przejazd_Posredni* posredni) {
    if (std::find(posrednie_.begin(), posrednie_.end(), posredni) == posrednie_.end())
        posrednie_.push_back(posredni);
}

void Object_Przejazd::UsunPosredni(Object_Przejazd_Posredni* posredni) { std::erase(posrednie_, posredni); }

void Object_Przejazd::DodajPodtrzymanie(Object_Przejazd_Podtrzymanie* podtrzymanie) {
    if (std::find(podtrzymania_.begin(), podtrzymania_.end(), podtrzymanie) == podtrzymania_.end())
        podtrzymania_.push_back(podtrzymanie);
}

void Object_Przejazd::UsunPodtrzymanie(Object_Przejazd_Podtrzymanie* podtrzymanie) {
    std::erase(podtrzymania_, podtrzymanie);
}

void Object_Przejazd::Sygnalizuj(int lampa) {
    if (Swiatlo)
        Swiatlo->Wylacz();
    int tryb = Ciagly;
    switch (lampa) {
        case LampaStop: Swiatlo = WyjscieStop, tryb = TrybStop; break;
        case LampaCzujnikStartowy: Swiatlo = WyjscieCzujnikStartowy, tryb = TrybCzujnikStartowy; break;
        case LampaCzekaj: Swiatlo = WyjscieCzekaj, tryb = TrybCzekaj; break;
        case LampaJedz: Swiatlo = WyjscieJedz, tryb = TrybJedz; break;
        default: Swiatlo = nullptr; break;
    }
    MiganieWlaczone = MiganieWylaczone = tryb != Ciagly ? MiganieMs : 0;
    if (Swiatlo) {
        CzasSwiatla = Czas::TickMs();
        Swiatlo->Wlacz();
    }
}

void Object_Przejazd::Migaj(std::uint32_t terazMs) {
    if (!Swiatlo || MiganieWlaczone == 0 || MiganieWylaczone == 0)
        return;
    const std::uint32_t t = (terazMs - CzasSwiatla) % (MiganieWlaczone + MiganieWylaczone);
    if (t > MiganieWlaczone)
        Swiatlo->Wylacz();
    else if (!Swiatlo->Wlaczone())
        Swiatlo->Wlacz(); // a request reads the clock: only when it is off
}

bool Object_Przejazd::MinalCzas(std::uint32_t terazMs) const {
    return MaxCzasNiekatywnosciZamkniecie != 0 && terazMs - CzasAktywnosci > MaxCzasNiekatywnosciZamkniecie;
}

void Object_Przejazd::Podtrzymaj(std::uint32_t terazMs) {
    for (const Object_Przejazd_Podtrzymanie* podtrzymanie : podtrzymania_)
        if (Aktywne(podtrzymanie->Wejscie)) {
            CzasAktywnosci = terazMs;
            return;
        }
}

void Object_Przejazd::Anuluj() {
    if (Stan < 3)
        return;
    ZamknijBrame();
    Stan = 1000;
}

void Object_Przejazd::PrzejmijOd(const Object_Przejazd& macierzysty) {
    if (Uzytkownik != macierzysty.Uzytkownik)
        ZwolnijUzytkownika();
    Uzytkownik = macierzysty.Uzytkownik;
    Identyfikator = macierzysty.Identyfikator;
}

void Object_Przejazd::ZajmijUzytkownika() {
    if (!Uzytkownik)
        return;
    Uzytkownik->WPrzejezdzie = true;
    trzymaUzytkownika_ = true;
}

void Object_Przejazd::ZwolnijUzytkownika() {
    if (Uzytkownik && trzymaUzytkownika_)
        Uzytkownik->WPrzejezdzie = false;
    trzymaUzytkownika_ = false;
}

void Object_Przejazd::Zapisz(int zdarzenie) const {
    Objects_Przejazdy::ZapiszZdarzenie(zdarzenie, Uzytkownik, Brama, Identyfikator, Przycisk);
}

void Object_Przejazd::ZamknijBrame() {
    if (Brama)
        Brama->Zamknij();
}

void Object_Przejazd::Otworz(std::uint32_t terazMs, int zdarzenie) {
    CzasAktywnosci = terazMs;
    if (Brama) {
        Brama->Zajeta = true;
        Brama->Otworz();
    }
    ZajmijUzytkownika();
    Zapisz(zdarzenie);
    Zapisz(OtwarcieBramy);
}

// A sensor shared by several passages, or also a hold input, is logged once,
// by the first step that sees its change.
void Object_Przejazd::ZdarzeniaCzujnikow() {
    for (Object_Wejscie* czujnik : {WejscieStart, WejscieKoniec}) {
        if (!czujnik || !czujnik->Zmiana || !czujnik->ZdarzenieCzujnika)
            continue;
        czujnik->ZdarzenieCzujnika = false;
        Objects_Przejazdy::ZapiszZdarzenie(czujnik->Stan ? CzujnikAktywny : CzujnikNieaktywny, nullptr, Brama,
                                           nullptr, 0);
    }
}

int Object_Przejazd::Uprawnienia(int przycisk) const {
    if (!Uzytkownik || !Uzytkownik->Grupa || !Brama)
        return BrakUprawnien;
    bool przyciskOdmowiony = false;
    for (int i = 0; i < GrupyUzytkownikowBramy->Rozmiar(); ++i) {
        const auto* prawo = static_cast<const Object_Grupa_Uzytkownikow_Brama*>(GrupyUzytkownikowBramy->Element(i));
        if (prawo->Brama != Brama || prawo->Grupa != Uzytkownik->Grupa)
            continue;
        if (prawo->Obejmuje(przycisk))
            // A right that does not cover the button and comes before this one
            // still refuses: sites have set up their rights around that.
            return przyciskOdmowiony ? PrzyciskNieaktywny : 0;
        przyciskOdmowiony = true;
    }
    return przyciskOdmowiony ? PrzyciskNieaktywny : BrakUprawnien;
}

void Object_Przejazd::OcenKod() {
    const int przycisk = static_cast<int>(Czytnik->Przycisk);
    const int rodzajKarty = Czytnik->Karta->IdRodzajKarty;
    const int rodzaj = rodzajKarty == KartaPilota ? RodzajPilot : rodzajKarty == KartaTablic ? RodzajTablica : 0;
    Identyfikator = rodzaj && Identyfikatory ? Identyfikatory->ZnajdzNumer(rodzaj, Czytnik->Kod) : nullptr;

    int odmowa = 0;
    if (!Identyfikator) {
        odmowa = IdentyfikatorNiezarejestrowany;
    } else {
        Identyfikator->ZapiszUzycie();
        Uzytkownik = Identyfikator->Uzytkownik;
        if (!Identyfikator->Wazny())
            odmowa = BrakUprawnien; // outside its validity window: it gives no right
        else if (int prawa = Uprawnienia(przycisk))
            odmowa = prawa;
        else if (Brama->Zajeta)
            odmowa = TrwaPrzejazd;
        else if (Uzytkownik->WPrzejezdzie)
            odmowa = UzytkownikWPrzejezdzie;
        else if (WejscieStart && !WejscieStart->Stan)
            odmowa = CzujnikPrzedBramaNieaktywny;
    }
    if (odmowa) {
        Objects_Przejazdy::ZapiszZdarzenie(odmowa, Uzytkownik, Brama, Identyfikator, przycisk);
        Stan = 1;
        return;
    }
    Przycisk = przycisk;
    Stan = 3;
}

void Object_Przejazd::Stan2() {
    if (Posredni || !Brama)
        return;
    if (BezCzytnika) {
        if (!WejscieStart)
            return;
        if (!WejscieStart->Stan) {
            OdmowaZapisana = false;
        } else if (!Brama->Zajeta) {
            Stan = 3;
        } else if (!OdmowaZapisana) {
            Objects_Przejazdy::ZapiszZdarzenie(TrwaPrzejazd, nullptr, Brama, nullptr, 0);
            OdmowaZapisana = true;
        }
        return;
    }
    if (WejscieStart && !Brama->Zajeta) {
        if (WejscieStart->Stan && !SwiatloStartu) {
            SwiatloStartu = true;
            Sygnalizuj(LampaCzujnikStartowy);
        } else if (!WejscieStart->Stan && SwiatloStartu) {
            SwiatloStartu = false;
            Sygnalizuj(LampaStop);
        }
    }
    if (Czytnik && Czytnik->Karta && !Czytnik->Zajety && !Czytnik->Kod.empty())
        OcenKod();
}

void Object_Przejazd::PoTimeoucie(std::uint32_t terazMs) {
    Podtrzymaj(terazMs);
    if (MinalCzas(terazMs))
        Stan = 1000;
}

void Object_Przejazd::Krok() { Krok(Czas::TickMs()); }

void Object_Przejazd::Krok(std::uint32_t terazMs) {
    ZdarzeniaCzujnikow();
    switch (Stan) {
        case 0:
            Sygnalizuj(LampaStop);
            // At rest the start lamp is off, so the next vehicle on the start
            // sensor lights it again.
            SwiatloStartu = false;
            for (Object_Przejazd_Posredni* posredni : posrednie_)
                posredni->Resetuj();
            [[fallthrough]];
        case 1:
            Uzytkownik = nullptr;
            Identyfikator = nullptr;
            OdmowaZapisana = false;
            StartZwolniony = false;
            Przycisk = 0;
            if (Czytnik)
                Czytnik->Kod = "";
            Stan = 2;
            break;
        case 2: Stan2(); break;
        case 3:
            Otworz(terazMs, PrzejazdUtworzony);
            Sygnalizuj(LampaCzekaj);
            for (Object_Przejazd_Posredni* posredni : posrednie_)
                posredni->Uzbroj();
            Stan = 4;
            break;
        case 4:
            // The intermediates are not waited for: they start on their own
            // conditions in the steps that follow.
            Stan = MinalCzas(terazMs) ? 1000 : 5;
            break;
        case 5:
            if (StartZwolniony || !Brama || !Brama->Otwiera()) {
                Sygnalizuj(LampaJedz);
                Stan = 6;
            }
            if (!StartZwolniony)
                StartZwolniony = WejscieStart && !WejscieStart->Stan;
            PoTimeoucie(terazMs);
            break;
        case 6:
            if (!StartZwolniony)
                StartZwolniony = !Aktywne(WejscieStart);
            if (StartZwolniony)
                Stan = 7;
            PoTimeoucie(terazMs);
            break;
        case 7:
            if (!WejscieKoniec || WejscieKoniec->Stan) {
                if (Aktywne(WejscieKoniec))
                    Sygnalizuj(LampaStop);
                Stan = 8;
            }
            PoTimeoucie(terazMs);
            break;
        case 8:
            if (Aktywne(WejscieKoniec))
                break;
            Sygnalizuj(LampaStop);
            Zapisz(ZamkniecieBramy);
            ZamknijBrame();
            Stan = 9;
            break;
        case 9:
            Zapisz(PrzejazdZakonczony);
            if (Brama)
                Brama->Zajeta = false;
            ZwolnijUzytkownika();
            Stan = FunkcjaWycofania ? 100 : 0;
            break;
        case 100:
            if (Aktywne(WejscieKoniec)) {
                Otworz(terazMs, WycofaniePojazdu);
                Stan = 101;
            }
            break;
        case 101:
            if (Aktywne(WejscieKoniec))
                break;
            Zapisz(ZamkniecieBramy);
            ZamknijBrame();
            Stan = 9;
            break;
        case 1000:
            for (Object_Przejazd_Posredni* posredni : posrednie_)
                posredni->Anuluj();
            Zapisz(PrzejazdAnulowany);
            if (Brama)
                Brama->Zajeta = false;
            ZwolnijUzytkownika();
            Sygnalizuj(LampaStop);
            Zapisz(ZamkniecieBramy);
            ZamknijBrame();
            Stan = 0;
            break;
        default: break;
    }
    if (Stan != StanPoprzedni) {
        if (StanPoprzedni != 0)
            WyslijDoOkna(WM_PRZEJAZD, 0, 0);
        StanPoprzedni = Stan;
    }
}

int Objects_Przejazdy::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Przejazd&>(*oa);
    const auto& b = static_cast<const Object_Przejazd&>(*ob);
    if (rodzaj != 1 && a.Brama && b.Brama)
        if (int w = PorownajNaturalnie(a.Brama->Nazwa, b.Brama->Nazwa))
            return w;
    return PorownajNaturalnie(a.Nazwa, b.Nazwa);
}

Object_Przejazd* Objects_Przejazdy::DodajRekord(int id, std::string_view nazwa, int idBramy, bool bezCzytnika,
                                                int idCzytnika, int idWejsciaStart,
                                                std::uint32_t maxCzasNiekatywnosciZamkniecie, int idWejsciaKoniec,
                                                int idWyjsciaStop, int trybStop, int idWyjsciaCzujnikStartowy,
                                                int trybCzujnikStartowy, int idWyjsciaCzekaj, int trybCzekaj,
                                                int idWyjsciaJedz, int trybJedz, bool posredni,
                                                bool funkcjaWycofania, std::string_view opis) {
    auto* p = static_cast<Object_Przejazd*>(Nowy(id));
    p->Nazwa = nazwa;
    p->IdBramy = idBramy;
    p->BezCzytnika = bezCzytnika;
    p->IdCzytnika = idCzytnika;
    p->IdWejsciaStart = idWejsciaStart;
    p->MaxCzasNiekatywnosciZamkniecie = maxCzasNiekatywnosciZamkniecie;
    p->IdWejsciaKoniec = idWejsciaKoniec;
    p->IdWyjsciaStop = idWyjsciaStop;
    p->TrybStop = trybStop;
    p->IdWyjsciaCzujnikStartowy = idWyjsciaCzujnikStartowy;
    p->TrybCzujnikStartowy = trybCzujnikStartowy;
    p->IdWyjsciaCzekaj = idWyjsciaCzekaj;
    p->TrybCzekaj = trybCzekaj;
    p->IdWyjsciaJedz = idWyjsciaJedz;
    p->TrybJedz = trybJedz;
    p->Posredni = posredni;
    p->FunkcjaWycofania = funkcjaWycofania;
    p->Opis = opis;
    return p;
}

Object_Zdarzenie* Objects_Przejazdy::ZapiszZdarzenie(int idWbudowane, const Object_Uzytkownik* uzytkownik,
                                                     const Object_Brama* brama,
                                                     const Object_Identyfikator* identyfikator, int przycisk) {
    return Objects_Zdarzenia::DodajZdarzenieWbudowane(Zdarzenia, idWbudowane, TerazLokalnie(),
                                                      uzytkownik ? uzytkownik->Id() : 0, brama ? brama->Id() : 0,
                                                      identyfikator ? identyfikator->Id() : 0, przycisk);
}

void Objects_Przejazdy::Krok() {
    // One reading for the whole step. By position: the message is sent and
    // the passages window may walk the passages itself.
    const std::uint32_t teraz = Czas::TickMs();
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* przejazd = static_cast<Object_Przejazd*>(Element(i));
        przejazd->Migaj(teraz);
        przejazd->Krok(teraz);
    }
}
