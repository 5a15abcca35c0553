#include "database/OdczytajBaze.h"

#include <algorithm>
#include <future>
#include <vector>

#include "core/Object_Adres.h"
#include "core/Object_Brama.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Grupa_Lokali.h"
#include "core/Object_Grupa_Lokali_Lokal.h"
#include "core/Object_Grupa_Uzytkownikow.h"
#include "core/Object_Grupa_Uzytkownikow_Brama.h"
#include "core/Object_Grupa_Zdarzen.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Karta.h"
#include "core/Object_Lokal.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Miejsce_Parkingowe.h"
#include "core/Object_Neuron.h"
#include "core/Object_Obszar.h"
#include "core/Object_Obszar_Obiekt.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Przejazd_Podtrzymanie.h"
#include "core/Object_Przejazd_Posredni.h"
#include "core/Object_Przycisk.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Rodzaj_Zdarzenia_Wbudowane.h"
#include "core/Object_Synapsa.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Uzytkownik_Lokal.h"
#include "core/Object_Uzytkownik_Urzadzenie.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Object_Zdarzenia_Akcja.h"
#include "core/Object_Zdarzenie.h"
#include "core/Tekst.h"
#include "database/TDM.h"

namespace {

using W = const WierszOdczytu&;
constexpr Sortowanie Sortuj = Sortowanie::Tak;
constexpr Sortowanie WKolejnosciTabeli = Sortowanie::Nie;

OdczytUrzadzen odczytUrzadzen;

// Below this many elements a sort takes less than starting a thread.
constexpr int SortowanieWTleOd = 10'000;

// The fresh containers of one load, with the sorts still running on them;
// those not installed are destroyed, never while a sort works on one.
struct Zestaw {
    NoweKontenery kontenery{};
    std::vector<std::future<void>> sortowania;

    Zestaw() { biezacy = this; }
    ~Zestaw() {
        biezacy = nullptr;
        for (auto& s : sortowania)
            if (s.valid())
                s.wait();
        for (int nr = LiczbaKontenerow; nr >= NrGrupyZdarzen; --nr)
            delete kontenery[nr];
    }
    // Waits for every sort; a sort's failure is the load's.
    void ZakonczSortowania() {
        for (auto& s : sortowania)
            s.get();
        sortowania.clear();
    }

    static inline Zestaw* biezacy = nullptr;
};

void Wydarzenia(TDM& dm, NoweKontenery& n) {
    OdczytajTabele<Object_Grupy_Zdarzen>(dm, dm.TableGrupyZdarzen, n, NrGrupyZdarzen, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdGrupyZdarzen"), w.Tekst("Nazwa"), w.Liczba("Priorytet"));
    });
    OdczytajTabele<Objects_Rodzaje_Zdarzen>(dm, dm.TableRodzajZdarzenia, n, NrRodzajeZdarzen, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdRodzajZdarzenia"), w.Tekst("Nazwa"), w.Liczba("Grupa"), w.Liczba("Symbol"),
                      w.Liczba("Kolor"), w.Liczba("CzasTrwania"), w.Liczba("IdRodzajZdarzeniaKolejne"),
                      w.Tekst("Dzwiek"));
    });
    OdczytajTabele<Objects_Rodzaje_Zdarzen_Wbudowane>(
        dm, dm.TableRodzajZdarzeniaWbudowane, n, NrRodzajeZdarzenWbudowane, Sortuj, [](auto& k, W w) {
            k.DodajRekord(w.Liczba("IdRodzajZdarzeniaWbudowane"), w.Tekst("Nazwa"), w.Liczba("Symbol"),
                          w.Liczba("Kolor"));
        });
}

void Plytki(TDM& dm, NoweKontenery& n) {
    OdczytajTabele<Objects_Magistrale>(dm, dm.TableMagistrale, n, NrMagistrale, Sortuj, [](auto& k, W w) {
        k.Dodaj(w.Liczba("IdMagistrali"), w.Liczba("Com"), w.Liczba("Wersja"), w.Liczba("Predkosc"), w.Tekst("Nazwa"));
    });
    OdczytajTabele<Objects_Karty>(dm, dm.TableKarty, n, NrKarty, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdKarty"), w.Liczba("IdRodzajKarty"), w.Liczba("IdMagistrali"), w.Liczba("Adres"),
                      w.Tekst("Nazwa"));
    });
    OdczytajTabele<Objects_Czytniki>(dm, dm.TableCzytniki, n, NrCzytniki, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdCzytnika"), w.Liczba("IdKarty"), w.Liczba("Czytnik"), w.Tekst("Nazwa"));
    });
    OdczytajTabele<Objects_Wejscia>(dm, dm.TableWejscia, n, NrWejscia, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdWejscia"), w.Liczba("IdKarty"), w.Liczba("Wejscie"), w.Tekst("Nazwa"));
    });
    // The pulse times have columns of their own, which the load has never
    // read: the outputs start without pulsing.
    OdczytajTabele<Objects_Wyjscia>(dm, dm.TableWyjscia, n, NrWyjscia, WKolejnosciTabeli, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdWyjscia"), w.Liczba("IdKarty"), w.Liczba("IdCentralaZarvoGsm"), w.Liczba("Wyjscie"),
                      w.Tekst("Nazwa"), 0, 0);
    });
}

void Logika(TDM& dm, NoweKontenery& n) {
    OdczytajTabele<Objects_Przyciski>(dm, dm.TablePrzyciski, n, NrPrzyciski, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdPrzycisku"), w.Tekst("Etykieta"), w.Tekst("Opis"), w.Liczba("Rodzaj"),
                      w.Liczba("Kolor"), w.Liczba("KolorGrupy"), w.Liczba("IdZdarzenia"), w.Liczba("IdPrzyciskuRodzic"),
                      w.Flaga("WszystkieWarstwy"));
    });
    OdczytajTabele<Objects_Neurony>(dm, dm.TableNeurony, n, NrNeurony, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdNeuronu"), w.Tekst("Nazwa"), w.Liczba("Rodzaj"), w.Liczba("GodzinaOd"),
                      w.Liczba("GodzinaDo"), w.Liczba("Podtrzymanie"));
    });
    OdczytajTabele<Objects_Synapsy>(dm, dm.TableSynapsy, n, NrSynapsy, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdSynapsy"), w.Liczba("IdWejscia"), w.Liczba("IdNeuronuWe"), w.Liczba("IdPrzycisku"),
                      w.Liczba("IdRodzajZdarzeniaWe"), w.Liczba("IdWyjscia"), w.Liczba("IdNeuronuWy"),
                      w.Liczba("IdRodzajZdarzeniaWy"), w.Flaga("Negacja"), w.Liczba("Opoznienie"));
    });
    // The 3D objects are read by the visualisation itself; opening them
    // here only proves the tables are there.
    for (db::Table* t :
         {&dm.TableObiekty, &dm.TableObiektyVertices, &dm.TableObiektyIndices, &dm.TableObiektyPrzyciski}) {
        t->close();
        t->open(false);
        t->close();
    }
}

void Mieszkancy(TDM& dm, NoweKontenery& n) {
    OdczytajTabele<Objects_Grupy_Uzytkownikow>(
        dm, dm.TableGrupyUzytkownikow, n, NrGrupyUzytkownikow, Sortuj,
        [](auto& k, W w) { k.DodajRekord(w.Liczba("IdGrupyUzytkownikow"), w.Tekst("Nazwa")); });
    OdczytajTabele<Objects_Grupy_Uzytkownikow_Bramy>(
        dm, dm.TableGrupyUzytkownikowBramy, n, NrGrupyUzytkownikowBramy, Sortuj, [](auto& k, W w) {
            k.DodajRekord(w.Liczba("IdGrupyUzytkownikowBramy"), w.Liczba("IdGrupyUzytkownikow"), w.Liczba("IdBramy"),
                          w.Liczba("Przycisk"));
        });
    OdczytajTabele<Objects_Uzytkownicy>(dm, dm.TableUzytkownicy, n, NrUzytkownicy, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdUzytkownika"), w.Liczba("IdGrupyUzytkownikow"), w.Tekst("Imie"), w.Tekst("Nazwisko"),
                      w.Tekst("Adres"), w.Tekst("KodPocztowy"), w.Tekst("Miejscowosc"), w.Tekst("Email"),
                      static_cast<std::uint8_t>(w.Liczba("Rodzaj")), w.Flaga("Wynajmujacy"), w.Tekst("Komentarz"));
    });
}

void PrzejazdyIBramy(TDM& dm, NoweKontenery& n) {
    OdczytajTabele<Objects_Bramy>(dm, dm.TableBramy, n, NrBramy, WKolejnosciTabeli, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdBramy"), w.Tekst("Nazwa"), w.Liczba("IdWyjsciaOtworz"), w.Liczba("IdWyjsciaZamknij"),
                      w.Liczba("CzasImpulsOtworz"), w.Liczba("CzasImpulsZamknij"), w.Liczba("CzasOtwierania"),
                      w.Liczba("CzasZamykania"), w.Liczba("IdWejsciaKrancowkaOtwarcia"),
                      w.Liczba("IdWejsciaKrancowkaZamkniecia"), w.Rzeczywista("GeoSzerokosc"),
                      w.Rzeczywista("GeoDlugosc"));
    });
    OdczytajTabele<Objects_Identyfikatory>(dm, dm.TableIdentyfikatory, n, NrIdentyfikatory, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdIdentyfikatora"), w.Liczba("IdUzytkownika"), w.Liczba("IdLokalu"), w.Liczba("Rodzaj"),
                      MaleLitery(std::string(w.Tekst("NumerSeryjny"))), w.Liczba("Licznik"), w.Liczba("LicznikUzycia"),
                      w.Czas("DataCzasUtworzenia"), w.Czas("OgraniczenieOd"), w.Czas("OgraniczenieDo"));
    });
    OdczytajTabele<Objects_Przejazdy>(dm, dm.TablePrzejazdy, n, NrPrzejazdy, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdPrzejazdu"), w.Tekst("Nazwa"), w.Liczba("IdBramy"), w.Flaga("BezCzytnika"),
                      w.Liczba("IdCzytnika"), w.Liczba("IdWejsciaStart"), w.Liczba("MaxCzasNiekatywnosciZamkniecie"),
                      w.Liczba("IdWejsciaKoniec"), w.Liczba("IdWyjsciaStop"), w.Liczba("TrybStop"),
                      w.Liczba("IdWyjsciaCzujnikStartowy"), w.Liczba("TrybCzujnikStartowy"),
                      w.Liczba("IdWyjsciaCzekaj"), w.Liczba("TrybCzekaj"), w.Liczba("IdWyjsciaJedz"),
                      w.Liczba("TrybJedz"), w.Flaga("Posredni"), w.Flaga("FunkcjaWycofania"), w.Tekst("Opis"));
    });
    OdczytajTabele<Objects_Przejazdy_Podtrzymanie>(
        dm, dm.TablePrzejazdyPodtrzymanie, n, NrPrzejazdyPodtrzymanie, Sortuj, [](auto& k, W w) {
            k.DodajRekord(w.Liczba("IdPrzejazdPodtrzymanie"), w.Liczba("IdPrzejazdu"), w.Liczba("IdWejscia"));
        });
    OdczytajTabele<Objects_Przejazdy_Posrednie>(
        dm, dm.TablePrzejazdyPosrednie, n, NrPrzejazdyPosrednie, WKolejnosciTabeli, [](auto& k, W w) {
            k.DodajRekord(w.Liczba("IdPrzejazdPosredni"), w.Liczba("IdPrzejazduMacierzystego"), w.Liczba("IdPrzejazdu"),
                          w.Flaga("AktywacjaOtwarcieBramyMacierzystej"), w.Liczba("AktywacjaIdWejscia"),
                          w.Liczba("AktywacjaIdNeuronu"));
        });
}

void LokaleIObszary(TDM& dm, NoweKontenery& n) {
    OdczytajTabele<Objects_Adresy>(dm, dm.TableAdresy, n, NrAdresy, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdAdresu"), w.Tekst("KodPocztowy"), w.Tekst("Miejscowosc"), w.Tekst("Ulica"),
                      w.Tekst("Numer"));
    });
    OdczytajTabele<Objects_Grupy_Lokali>(dm, dm.TableGrupyLokali, n, NrGrupyLokali, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdGrupyLokali"), w.Tekst("Nazwa"));
    });
    OdczytajTabele<Objects_Lokale>(dm, dm.TableLokale, n, NrLokale, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdLokalu"), w.Liczba("IdAdresu"), w.Tekst("Lokal"), w.Liczba("IdCentralaZarvoGsm"),
                      static_cast<std::uint16_t>(w.Liczba("Pin")), w.Flaga("PinWlaczony"),
                      w.Liczba("LokalCentralaZarvo"), w.Flaga("Wylaczony"), w.Tekst("TelefonDomofonu"),
                      w.Liczba("KodDomofonu"), w.Flaga("KodDomofonuWlaczony"), w.Flaga("PowiadamianieWlaczone"),
                      w.Liczba("IdPlaceCloud"));
    });
    OdczytajTabele<Objects_Grupy_Lokali_Lokale>(
        dm, dm.TableGrupyLokaliLokale, n, NrGrupyLokaliLokale, Sortuj, [](auto& k, W w) {
            k.DodajRekord(w.Liczba("IdGrupyLokaliLokale"), w.Liczba("IdGrupyLokali"), w.Liczba("IdLokalu"));
        });
    OdczytajTabele<Objects_Obszary>(dm, dm.TableObszary, n, NrObszary, Sortuj,
                                    [](auto& k, W w) { k.DodajRekord(w.Liczba("IdObszaru"), w.Tekst("Nazwa")); });
    OdczytajTabele<Objects_Obszary_Obiekty>(dm, dm.TableObszaryObiekty, n, NrObszaryObiekty, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdObszaryObiekty"), w.Liczba("IdObszaru"), w.Liczba("IdZarvoKlawiatury"),
                      w.Liczba("IdGrupyLokali"), w.Liczba("IdLokalu"));
    });
}

void AkcjeIParking(TDM& dm, NoweKontenery& n) {
    OdczytajTabele<Objects_Zdarzenia_Akcje>(dm, dm.TableZdarzeniaAkcja, n, NrZdarzeniaAkcje, Sortuj, [](auto& k, W w) {
        k.DodajRekord(w.Liczba("IdZdarzeniaAkcja"), w.Liczba("IdRodzajZdarzeniaWbudowane"),
                      w.Liczba("IdCentralaZarvoGsm"), w.Liczba("IdZarvoKlawiatury"), w.Liczba("IdGrupyLokali"),
                      w.Liczba("IdWyjscia"), w.Liczba("IdNeuronu"), w.Flaga("Wlaczenie"), w.Liczba("Czas"));
    });
    if (odczytUrzadzen.enkodery)
        odczytUrzadzen.enkodery(dm, n);
    OdczytajTabele<Objects_Miejsca_Parkingowe>(
        dm, dm.TableMiejscaParkingowe, n, NrMiejscaParkingowe, Sortuj, [](auto& k, W w) {
            k.DodajRekord(w.Liczba("IdMiejscaParkingowego"), w.Liczba("IdAdresu"), w.Liczba("IdLokalu"),
                          w.Tekst("Nazwa"), w.Flaga("DoWynajecia"), w.Liczba("IdUzytkownikaWynajmujacego"),
                          w.Liczba("IdUzytkownikaZajmujacego"), w.Liczba("IdParkingPlaceCloud"),
                          w.Liczba("IdGrupyUzytkownikowWynajmujacy"), w.Liczba("IdBramy"));
        });
}

void UrzadzeniaUzytkownikow(TDM& dm, NoweKontenery& n) {
    dm.TableUrzadzenia.close();
    dm.TableUrzadzenia.open(false);
    dm.TableUrzadzenia.close();
    OdczytajTabele<Objects_Uzytkownicy_Urzadzenia>(
        dm, dm.TableUzytkownicyUrzadzenia, n, NrUzytkownicyUrzadzenia, WKolejnosciTabeli, [](auto& k, W w) {
            k.DodajRekord(w.Liczba("IdUzytkownikUrzadzenie"), w.Liczba("IdUserDeviceCloud"), w.Liczba("IdUzytkownika"),
                          w.Liczba("IdLokalu"), w.Liczba("IdUrzadzenia"), w.Tekst("Email"), w.Liczba("Rodzaj"),
                          w.Flaga("Istnieje"), w.Liczba("IdZarvoKlawiatury"), w.Czas("DataCzasAktualizacji"));
        });

    auto* linki =
        static_cast<Objects_Uzytkownicy_Lokale*>(n[NrUzytkownicyLokale] = UtworzKontener(NrUzytkownicyLokale));
    CzytajWiersze(dm, "SELECT * FROM uzytkownicy_lokale ORDER BY IdUzytkownikLokal", [&](W w) {
        linki->DodajRekord(w.Liczba("IdUzytkownikLokal"), w.Liczba("IdUzytkownika"), w.Liczba("IdLokalu"),
                           w.Czas("DataCzasAktualizacji"));
    });
}

} // namespace

platform::db::Connection& PolaczenieOdczytu(TDM& dm) { return dm.FDConnection; }

void SortujPoOdczycie(Objects& kontener) {
    if (!Zestaw::biezacy || kontener.Rozmiar() < SortowanieWTleOd) {
        kontener.Sortuj(0);
        return;
    }
    Zestaw::biezacy->sortowania.push_back(std::async(std::launch::async, [&kontener] { kontener.Sortuj(0); }));
}

int PrzewidywaneWiersze(TDM& dm, const platform::db::Table& tabela) {
    // Only a hint: capped, so a wild estimate cannot reserve a wild amount.
    db::Query q(dm.FDConnection);
    q.setSql("SELECT LEAST(GREATEST(reltuples, 0), 10000000)::integer FROM pg_class WHERE oid = to_regclass(:Tabela)");
    q.param("Tabela") = tabela.tableName();
    q.open();
    const int wiersze = q.eof() ? 0 : q.field(0).asInt();
    q.close();
    return wiersze;
}

int WierszOdczytu::Pozycja(std::string_view kolumna) const {
    auto ta = [&](const Kolumna& k) { return k.nazwa == kolumna.data() && k.dlugosc == kolumna.size(); };
    if (nastepna_ >= kolumny_.size() || !ta(kolumny_[nastepna_])) {
        const auto znana = std::find_if(kolumny_.begin(), kolumny_.end(), ta);
        if (znana != kolumny_.end()) {
            nastepna_ = static_cast<std::size_t>(znana - kolumny_.begin());
        } else {
            kolumny_.push_back({kolumna.data(), kolumna.size(), wiersze_.fieldIndex(kolumna)});
            nastepna_ = kolumny_.size() - 1;
        }
    }
    return kolumny_[nastepna_++].pozycja;
}

void UstawOdczytUrzadzen(OdczytUrzadzen odczyt) { odczytUrzadzen = odczyt; }

void PorzadkujPrzedOdczytem() {
    TDM& dm = *DM;
    if (!dm.FDConnection.connected())
        dm.FDConnection.open();
    // Links of residents and flats that were deleted meanwhile.
    dm.FDConnection.execute("DELETE FROM uzytkownicy_lokale WHERE IdUzytkownika NOT IN "
                            "(SELECT IdUzytkownika FROM uzytkownicy) OR IdLokalu NOT IN (SELECT IdLokalu FROM lokale)");
    dm.OdswiezUrzadzeniaUzytkownikow();
}

void OdczytajKontenery() {
    TDM& dm = *DM;
    Zestaw zestaw;
    NoweKontenery& n = zestaw.kontenery;
    // The run's events start again with the new model.
    n[NrZdarzenia] = UtworzKontener(NrZdarzenia);
    n[NrZdarzeniaCentrali] = UtworzKontener(NrZdarzeniaCentrali);

    Wydarzenia(dm, n);
    Plytki(dm, n);
    Logika(dm, n);
    Mieszkancy(dm, n);
    PrzejazdyIBramy(dm, n);
    if (odczytUrzadzen.klawiatury)
        odczytUrzadzen.klawiatury(dm, n);
    // The controllers' ports are made again by the controllers' link step.
    n[NrPortyCom] = UtworzKontener(NrPortyCom);
    if (odczytUrzadzen.centrale)
        odczytUrzadzen.centrale(dm, n);
    LokaleIObszary(dm, n);
    AkcjeIParking(dm, n);
    UrzadzeniaUzytkownikow(dm, n);
    // A device table without a reader still replaces its containers with
    // empty ones, so no element of the old load survives.
    for (NumerKontenera nr : {NrKlawiatury, NrCentrale, NrModemySim, NrEnkodery})
        if (!n[nr])
            n[nr] = UtworzKontener(nr);

    zestaw.ZakonczSortowania();
    ZamienKontenery(n, odczytUrzadzen.poZainstalowaniu);
}

void OdczytajBaze() {
    platform::db::StatementTimeoutScope czas(DM->FDConnection, TDM::CzasDlugiejPracy);
    PorzadkujPrzedOdczytem();
    OdczytajKontenery();
}
