#include "devices/OdczytUrzadzen.h"

#include <array>
#include <string>

#include "core/ZapiszWyjatek.h"
#include "database/TDM.h"
#include "devices/MigawkaEnkoderow.h"
#include "devices/Object_Enkoder.h"
#include "devices/Object_Sim_Modem.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/Object_Zarvo_Klawiatura.h"

namespace {

using W = const WierszOdczytu&;

void Klawiatury_(TDM& dm, NoweKontenery& n) {
    OdczytajTabele<Objects_Zarvo_Klawiatury>(dm, dm.TableZarvoKlawiatury, n, NrKlawiatury, Sortowanie::Tak,
                                             [](auto& k, W w) {
                                                 k.Dodaj(w.Liczba("IdZarvoKlawiatury"), w.Liczba("IdCentralaZarvoGsm"),
                                                         w.Liczba("Numer"), w.Tekst("Nazwa"),
                                                         w.Liczba("idDeviceCloud"));
                                             });
}

// A stored configuration header longer than the controller's buffer is cut
// to it, and the cut is logged: the rest could only be a damaged row.
platform::db::Bytes Naglowek(W w, std::string_view kolumna, int idCentrali) {
    platform::db::Bytes bajty = w.Bajty(kolumna);
    if (bajty.size() > Object_Zarvo_Centrala::DlugoscKonfiguracji) {
        ZapiszWyjatek(std::string(kolumna) + " of controller " + std::to_string(idCentrali) + " has " +
                          std::to_string(bajty.size()) + " bytes; the first " +
                          std::to_string(Object_Zarvo_Centrala::DlugoscKonfiguracji) + " are kept",
                      "OdczytajBaze", 0);
        bajty.resize(Object_Zarvo_Centrala::DlugoscKonfiguracji);
    }
    return bajty;
}

std::array<std::uint16_t, 10> Kamery(W w, const char* const (&kolumny)[10]) {
    std::array<std::uint16_t, 10> kamery{};
    for (std::size_t i = 0; i < kamery.size(); ++i)
        kamery[i] = static_cast<std::uint16_t>(w.Liczba(kolumny[i]));
    return kamery;
}

constexpr const char* KolumnyKamer[10] = {"KameraSieciowa1", "KameraSieciowa2", "KameraSieciowa3", "KameraSieciowa4",
                                          "KameraSieciowa5", "KameraSieciowa6", "KameraSieciowa7", "KameraSieciowa8",
                                          "KameraSieciowa9", "KameraSieciowa10"};
constexpr const char* KolumnyKamerNowych[10] = {
    "KameraSieciowaNowa1", "KameraSieciowaNowa2", "KameraSieciowaNowa3", "KameraSieciowaNowa4",
    "KameraSieciowaNowa5", "KameraSieciowaNowa6", "KameraSieciowaNowa7", "KameraSieciowaNowa8",
    "KameraSieciowaNowa9", "KameraSieciowaNowa10"};

// Each controller with a GSM port brings its modem, under its own id.
void Centrale_(TDM& dm, NoweKontenery& n) {
    auto* centrale = static_cast<Objects_Zarvo_Centrale*>(n[NrCentrale] = UtworzKontener(NrCentrale));
    auto* modemy = static_cast<Objects_Sim_Modemy*>(n[NrModemySim] = UtworzKontener(NrModemySim));
    CzytajWiersze(dm, dm.TableCentralaZarvoGsm, [&](W w) {
        const int id = w.Liczba("IdCentralaZarvoGsm");
        const platform::db::Bytes konfiguracja = Naglowek(w, "Konfiguracja", id);
        const platform::db::Bytes konfiguracjaNowa = Naglowek(w, "KonfiguracjaNowa", id);
        centrale->Dodaj(id, w.Tekst("Nazwa"), w.Liczba("ComCentralaZarvo"),
                        static_cast<std::uint16_t>(w.Liczba("AdresCentraliPC")), w.Liczba("NumerSeryjny"),
                        w.Liczba("Adres"), w.Liczba("TypWersja"), w.Flaga("ProtokolNrSeryjny"), konfiguracja,
                        konfiguracjaNowa, w.Czas("DataCzasKonfiguracja"), Kamery(w, KolumnyKamer),
                        Kamery(w, KolumnyKamerNowych));
        if (const int comGsm = w.Liczba("ComGsm"); comGsm > 0)
            modemy->Dodaj(id, w.Tekst("Nazwa"), static_cast<std::uint8_t>(comGsm), w.Liczba("Pin"));
    });
    centrale->Sortuj(0);
    modemy->Sortuj(0);
}

void Enkodery_(TDM& dm, NoweKontenery& n) {
    OdczytajTabele<Objects_Enkodery>(dm, dm.TableEnkodery, n, NrEnkodery, Sortowanie::Tak, [](auto& k, W w) {
        k.Dodaj(w.Liczba("IdEnkodera"), w.Tekst("Nazwa"), static_cast<std::uint32_t>(w.Liczba64("IPv4")),
                static_cast<std::uint16_t>(w.Liczba("PortOut")), static_cast<std::uint16_t>(w.Liczba("PortOutForwarded")),
                static_cast<std::uint16_t>(w.Liczba("PortIn")), static_cast<std::uint16_t>(w.Liczba("PortInForwarded")),
                w.Liczba("IdCentralaZarvoGsm"));
    });
}

// The encoders' threads work from the new model at once, before the old
// one is destroyed.
void PoZainstalowaniu() { OpublikujMigawkeEnkoderow(); }

} // namespace

OdczytUrzadzen OdczytTabelUrzadzen() { return {Klawiatury_, Centrale_, Enkodery_, PoZainstalowaniu}; }
