#include "core/Object_Zdarzenie.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "core/Komunikaty.h"
#include "core/Object_Brama.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Lokal.h"
#include "core/Object_Obszar_Obiekt.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Rodzaj_Zdarzenia_Wbudowane.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Zdarzenia_Akcja.h"
#include "core/Objects_globals.h"
#include "core/ZapiszWyjatek.h"

namespace {

// The source name and lines the exception log has always used for the
// event log's failures; the porter's support reads them.
constexpr std::string_view Zrodlo = "Object_Zdarzenia";
constexpr int LiniaZakonczenia = 95;
constexpr int LiniaZdarzenia = 155;
constexpr int LiniaWbudowanego = 204;
constexpr int LiniaCentrali = 300;

// Identifier kind of a transponder.
constexpr int RodzajTransponder = 2;

Object_Zdarzenie::RozwiazanieCentrali rozwiazanieCentrali = nullptr;

// Rows keep milliseconds, as the log's readers and the older rows do.
DataCzas DoMilisekund(DataCzas czas) { return std::chrono::floor<std::chrono::milliseconds>(czas); }

platform::db::Value LubNull(std::int32_t wartosc) {
    return wartosc > 0 ? platform::db::Value(wartosc) : platform::db::Value();
}
platform::db::Value LubNullGdyZero(std::int32_t wartosc) {
    return wartosc != 0 ? platform::db::Value(wartosc) : platform::db::Value();
}

// The row's id cell, filled in when the writer numbers the row; null with
// no data module to write it.
IdWiersza Zapisz(WierszZdarzenia wiersz, int linia) {
    DaneModelu* dane = Dane();
    if (!dane) {
        ZapiszWyjatek("no data module to write the event row", Zrodlo, linia);
        return nullptr;
    }
    auto id = std::make_shared<std::atomic<std::int32_t>>(0);
    wiersz.linia = linia;
    dane->ZapiszZdarzenie(std::move(wiersz), id);
    return id;
}

} // namespace

void Object_Zdarzenie::UstawRozwiazanieCentrali(RozwiazanieCentrali rozwiazanie) { rozwiazanieCentrali = rozwiazanie; }

Object_Zdarzenie::~Object_Zdarzenie() {
    if (dziennik_)
        dziennik_->Odpisz(this);
    // Looked up rather than followed: the kind may have been reloaded.
    if (auto* r = Polaczony<Object_Rodzaj_Zdarzenia>(RodzajeZdarzen, IdRodzajZdarzenia); r && r->Zdarzenie == this)
        r->Zdarzenie = nullptr;
}

void Object_Zdarzenie::Polacz() {
    Rodzaj = Polaczony<Object_Rodzaj_Zdarzenia>(RodzajeZdarzen, IdRodzajZdarzenia);
    RodzajWbudowany = Polaczony<Object_Rodzaj_Zdarzenia_Wbudowane>(RodzajeZdarzenWbudowane, IdRodzajZdarzeniaWbudowane);
    Uzytkownik = Polaczony<Object_Uzytkownik>(Uzytkownicy, IdUzytkownika);
    Brama = Polaczony<Object_Brama>(Bramy, IdBramy);

    Identyfikator = nullptr;
    if (IdIdentyfikatora != 0)
        Identyfikator = Polaczony<Object_Identyfikator>(Identyfikatory, IdIdentyfikatora);
    else if (Transponder != 0 && Identyfikatory)
        Identyfikator = Identyfikatory->ZnajdzNumerHex(RodzajTransponder, static_cast<std::uint32_t>(Transponder));

    Centrala = CentralaCel = ZarvoKlawiatura = nullptr;
    if (rozwiazanieCentrali)
        rozwiazanieCentrali(*this);

    Obszar = ZarvoKlawiatura && ObszaryObiekty ? ObszaryObiekty->ObszarKlawiatury(ZarvoKlawiatura->Id()) : nullptr;

    LokalObiekt = nullptr;
    if (Transponder != 0 && Identyfikator)
        LokalObiekt = Identyfikator->Lokal;
    else if (Lokale) {
        LokalObiekt = Lokale->ZnajdzLokalCentrali(IdCentralaZarvoGsm, Lokal);
        if (!LokalObiekt && CentralaCel)
            LokalObiekt = Lokale->ZnajdzLokalCentrali(CentralaCel->Id(), Lokal);
    }
}

Objects_Zdarzenia::~Objects_Zdarzenia() {
    // While this class is still whole: each event signs off from its lists.
    Wyczysc();
}

int Objects_Zdarzenia::Porownaj(int, const Object* a, const Object* b) const {
    const DataCzas x = static_cast<const Object_Zdarzenie*>(a)->DataCzasWystapienie;
    const DataCzas y = static_cast<const Object_Zdarzenie*>(b)->DataCzasWystapienie;
    return x > y ? -1 : (x < y ? 1 : 0);
}

Object_Zdarzenie* Objects_Zdarzenia::Nowe(const IdWiersza& wiersz) {
    // The writer numbers the row later, on its own thread: the event is
    // keyed by a temporary id below every row id, and IdWiersza() tells the
    // row's once it is known.
    const int id = --ostatniTymczasowy_;
    auto* z = static_cast<Object_Zdarzenie*>(Nowy(id));
    z->wiersz_ = wiersz;
    z->dziennik_ = this;
    return z;
}

void Objects_Zdarzenia::Zakonczone(Object_Zdarzenie* z) {
    if (z->otwarte_) {
        z->otwarte_ = false;
        std::erase(otwarte_, z);
    }
    zakonczone_.push_back(z);
    z->naLiscie_ = std::prev(zakonczone_.end());
    z->zakonczone_ = true;
    while (zakonczone_.size() > LimitZakonczonych)
        Usun(zakonczone_.front()->Id()); // signs off in its destructor
}

void Objects_Zdarzenia::Odpisz(Object_Zdarzenie* z) {
    if (z->zakonczone_)
        zakonczone_.erase(z->naLiscie_);
    else
        std::erase(otwarte_, z);
    z->dziennik_ = nullptr;
}

Object_Zdarzenie* Objects_Zdarzenia::DodajZdarzenie(Objects_Zdarzenia* kontener, int idRodzajuZdarzenia,
                                                    DataCzas czas) {
    czas = DoMilisekund(czas);
    IdWiersza wiersz = Zapisz({TabelaZdarzen::Zdarzenia,
                               {{"IdRodzajZdarzenia", idRodzajuZdarzenia}, {"DataCzasWystapienie", czas}}},
                              LiniaZdarzenia);
    if (!wiersz)
        return nullptr;
    Object_Zdarzenie* z = kontener->Nowe(wiersz);
    z->IdRodzajZdarzenia = idRodzajuZdarzenia;
    z->DataCzasWystapienie = czas;
    z->Polacz();
    z->otwarte_ = true;
    kontener->otwarte_.push_back(z);
    PostujDoOkna(WM_ZDARZENIE, idRodzajuZdarzenia, 1);
    return z;
}

Object_Zdarzenie* Objects_Zdarzenia::DodajZdarzenieWbudowane(Objects_Zdarzenia* kontener, int idWbudowane,
                                                             DataCzas czas, int idUzytkownika, int idBramy,
                                                             int idIdentyfikatora, int przycisk) {
    czas = DoMilisekund(czas);
    IdWiersza wiersz = Zapisz({TabelaZdarzen::Zdarzenia,
                               {{"IdRodzajZdarzeniaWbudowane", idWbudowane},
                                {"DataCzasWystapienie", czas},
                                {"IdUzytkownika", LubNullGdyZero(idUzytkownika)},
                                {"IdBramy", LubNullGdyZero(idBramy)},
                                {"IdIdentyfikatora", LubNullGdyZero(idIdentyfikatora)},
                                {"Przycisk", LubNullGdyZero(przycisk)}}},
                              LiniaWbudowanego);
    if (!wiersz)
        return nullptr;
    Object_Zdarzenie* z = kontener->Nowe(wiersz);
    z->IdRodzajZdarzeniaWbudowane = idWbudowane;
    z->DataCzasWystapienie = czas;
    z->IdUzytkownika = idUzytkownika;
    z->IdBramy = idBramy;
    z->IdIdentyfikatora = idIdentyfikatora;
    z->Przycisk = przycisk;
    z->Polacz();
    kontener->Zakonczone(z); // never closed
    PostujDoOkna(WM_ZDARZENIE, idWbudowane, 2);
    return z;
}

Object_Zdarzenie* Objects_Zdarzenia::DodajZdarzenieCentrali(Objects_Zdarzenia* kontener, int idWbudowane,
                                                            DataCzas czas, std::int32_t transponder,
                                                            int idCentralaZarvoGsm, std::int32_t lokal,
                                                            std::int32_t klawiatura, std::int32_t klatkaZrodlo,
                                                            std::int32_t klatkaCel, std::int32_t kodPin) {
    czas = DoMilisekund(czas);
    auto wypelnij = [&](Object_Zdarzenie& z) {
        z.IdRodzajZdarzeniaWbudowane = idWbudowane;
        z.DataCzasWystapienie = czas;
        z.Transponder = transponder;
        z.IdCentralaZarvoGsm = idCentralaZarvoGsm;
        z.Lokal = lokal;
        z.Klawiatura = klawiatura;
        z.KlatkaZrodlo = klatkaZrodlo;
        z.KlatkaCel = klatkaCel;
        z.KodPin = kodPin;
    };
    // Resolved before the row is written, as the row carries the flat, the
    // identifier and the keypad it found.
    int idLokalu = 0, idIdentyfikatora = 0, idKlawiatury = 0;
    {
        Object_Zdarzenie tymczasowe(0);
        wypelnij(tymczasowe);
        tymczasowe.Polacz();
        idLokalu = tymczasowe.LokalObiekt ? tymczasowe.LokalObiekt->Id() : 0;
        idIdentyfikatora = tymczasowe.Identyfikator ? tymczasowe.Identyfikator->Id() : 0;
        idKlawiatury = tymczasowe.ZarvoKlawiatura ? tymczasowe.ZarvoKlawiatura->Id() : 0;
    }
    IdWiersza wiersz = Zapisz({TabelaZdarzen::ZdarzeniaCentrali,
                               {{"IdRodzajZdarzeniaWbudowane", LubNull(idWbudowane)},
                                {"DataCzasWystapienie", czas},
                                {"Transponder", LubNull(transponder)},
                                {"IdCentralaZarvoGsm", LubNull(idCentralaZarvoGsm)},
                                {"Lokal", LubNull(lokal)},
                                {"Klawiatura", LubNull(klawiatura)},
                                {"KlatkaZrodlo", LubNull(klatkaZrodlo)},
                                {"KlatkaCel", LubNull(klatkaCel)},
                                {"KodPin", LubNull(kodPin)},
                                {"IdLokalu", LubNull(idLokalu)},
                                {"IdIdentyfikatora", LubNull(idIdentyfikatora)},
                                {"IdZarvoKlawiatury", LubNull(idKlawiatury)}}},
                              LiniaCentrali);
    if (!wiersz)
        return nullptr;
    Object_Zdarzenie* z = kontener->Nowe(wiersz);
    wypelnij(*z);
    z->Polacz();
    kontener->Zakonczone(z);
    if (ZdarzeniaAkcje)
        ZdarzeniaAkcje->Wyzwol(idWbudowane, idCentralaZarvoGsm, idKlawiatury, idLokalu);
    if (z->Identyfikator)
        z->Identyfikator->ZapiszUzycie();
    PostujDoOkna(WM_ZDARZENIE_CENTRALI, idWbudowane, 2);
    return z;
}

int Objects_Zdarzenia::ZakonczZdarzenie(Object_Zdarzenie* z, DataCzas koniec) {
    koniec = DoMilisekund(koniec);
    DaneModelu* dane = Dane();
    if (!dane) {
        ZapiszWyjatek("no data module to close event " + std::to_string(z->Id()), Zrodlo, LiniaZakonczenia);
        return 0;
    }
    dane->ZakonczZdarzenie(z->wiersz_, koniec);
    z->DataCzasZakonczenie = koniec;
    WyslijDoOkna(WM_ZDARZENIE, z->IdRodzajZdarzenia, 0);
    return 0;
}

void Objects_Zdarzenia::ZakonczZdarzenia() {
    // Only open events can close. An open event that is no longer its
    // kind's open event (or has no kind) can never close here again, so it
    // joins the finished ones as well. A closing sends its message at once,
    // so the list is walked by position and tidied after.
    bool zmiana = false;
    for (std::size_t i = 0; i < otwarte_.size(); ++i) {
        Object_Zdarzenie* z = otwarte_[i];
        Object_Rodzaj_Zdarzenia* r = z->Rodzaj;
        if (r && r->Zdarzenie == z) {
            if (r->Aktywny())
                continue;
            const bool wygasl = r->Wygasl();
            ZakonczZdarzenie(z, TerazLokalnie());
            r->Zdarzenie = nullptr;
            if (wygasl)
                r->WlaczKolejne();
        }
        z->otwarte_ = false;
        zmiana = true;
    }
    if (!zmiana)
        return;
    std::vector<Object_Zdarzenie*> zamkniete;
    std::erase_if(otwarte_, [&](Object_Zdarzenie* z) {
        if (!z->otwarte_)
            zamkniete.push_back(z);
        return !z->otwarte_;
    });
    for (Object_Zdarzenie* z : zamkniete)
        Zakonczone(z);
}
