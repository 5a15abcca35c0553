#pragma once
// The large estate of the tick benchmarks: 4,096 boards with 6 inputs, 6
// outputs and a reader each, 1,000 gates and passages, 2,000 logic nodes,
// 10,000 logic links and 200,000 identifiers, linked and ordered as after a
// start, with codes arriving at four readers in every tick. The event rows
// go to a data module that keeps them in memory, so what is measured is the
// tick's own work, not the database's round trips.
#include <cstdio>
#include <string>
#include <vector>

#include "core/DataCzas.h"
#include "core/Mozg.h"
#include "core/Object_Brama.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Grupa_Uzytkownikow.h"
#include "core/Object_Grupa_Uzytkownikow_Brama.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Neuron.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Synapsa.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "core/Uslugi.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"

namespace bench_osiedle {

constexpr int KartyN = LiczbaAdresowMagistrali;
constexpr int Piny = 6;
constexpr int PrzejazdyN = 1'000;
constexpr int NeuronyN = 2'000;
constexpr int SynapsyN = 10'000;
constexpr int IdentyfikatoryN = 200'000;
constexpr int UzytkownicyN = 1'000;
constexpr int GrupyN = 10;
constexpr int KodowNaTick = 4;

class DaneWPamieci : public DaneModelu {
public:
    DaneWPamieci() { UstawDaneModelu(this); }
    ~DaneWPamieci() override { UstawDaneModelu(nullptr); }
    void ZapiszZdarzenie(WierszZdarzenia, const IdWiersza& id) override { *id = ++wiersze_; }
    void ZakonczZdarzenie(const IdWiersza&, DataCzas) override {}
    void ZapiszZmiane(ZmianaWiersza) override {}

private:
    std::int32_t wiersze_ = 0;
};

inline std::string Hex(int n) {
    char tekst[16];
    std::snprintf(tekst, sizeof tekst, "%x", n);
    return tekst;
}

inline int IdWejscia(int adres, int n) { return adres * Piny + n; }

// The estate, linked and ordered as after a start (without opening the bus:
// the test writes its image as the poll thread would).
struct Osiedle {
    Osiedle() {
        ObiektyUtworz();
        magistrala = Magistrale->Dodaj(1, 1, 2, 19200, "Osiedle");
        for (int adres = 0; adres < KartyN; ++adres) {
            Karty->DodajRekord(adres + 1, 1, 1, adres, "Karta");
            magistrala->DodajKarte(adres, 1);
            // Start sensors of two passages in three stand active, so some
            // codes are accepted and some refused for the sensor.
            magistrala->ZmienWpis(adres, [&](WpisKarty& w) { w.Wejscia = static_cast<std::uint8_t>(adres % 3 ? 0x05 : 0x04); });
            Czytniki->DodajRekord(adres + 1, adres + 1, 1, "Czytnik");
            for (int n = 1; n <= Piny; ++n) {
                Wejscia->DodajRekord(IdWejscia(adres, n), adres + 1, n, "Wejście " + std::to_string(adres));
                Wyjscia->DodajRekord(IdWejscia(adres, n), adres + 1, 0, n, "Wyjście " + std::to_string(adres), 0, 0);
            }
        }
        for (int g = 1; g <= GrupyN; ++g)
            GrupyUzytkownikow->DodajRekord(g, "Grupa " + std::to_string(g));
        for (int u = 1; u <= UzytkownicyN; ++u)
            Uzytkownicy->DodajRekord(u, 1 + u % GrupyN, "Imię", "Nazwisko", "", "", "", "", 0, false, "");
        for (int i = 1; i <= IdentyfikatoryN; ++i)
            Identyfikatory->DodajRekord(i, 1 + i % UzytkownicyN, 0, 1, Hex(0x100000 + i), 0, 0, {}, {}, {});
        for (int p = 1; p <= PrzejazdyN; ++p) {
            const int adres = p - 1;
            Bramy->DodajRekord(p, "Brama " + std::to_string(p), IdWejscia(adres, 1), IdWejscia(adres, 2), 1000, 1000,
                               15000, 15000, 0, 0, 0, 0);
            GrupyUzytkownikowBramy->DodajRekord(p, 1 + p % GrupyN, p, 0b1);
            Przejazdy->DodajRekord(p, "Przejazd " + std::to_string(p), p, false, adres + 1, IdWejscia(adres, 1), 30000,
                                   IdWejscia(adres, 2), IdWejscia(adres, 3), 0, IdWejscia(adres, 4), 0,
                                   IdWejscia(adres, 5), 1, IdWejscia(adres, 6), 0, false, false, "");
        }
        for (int n = 1; n <= NeuronyN; ++n)
            Neurony->DodajRekord(n, "Węzeł " + std::to_string(n), n % 2, n % 3 ? 0 : 22 * 256, n % 3 ? 0 : 6 * 256,
                                 n % 5);
        // Inputs of the boards without passages feed the nodes, nodes feed
        // outputs of those boards and later nodes.
        for (int s = 1; s <= SynapsyN; ++s) {
            const int adres = PrzejazdyN + s % (KartyN - PrzejazdyN);
            const int neuron = 1 + s % NeuronyN;
            if (s <= 6'000)
                Synapsy->DodajRekord(s, IdWejscia(adres, 1 + s % Piny), 0, 0, 0, 0, neuron, 0, s % 7 == 0, s % 3);
            else if (s <= 8'000)
                Synapsy->DodajRekord(s, 0, neuron, 0, 0, IdWejscia(adres, 1 + s % Piny), 0, 0, false, 0);
            else
                Synapsy->DodajRekord(s, 0, neuron, 0, 0, 0, neuron % NeuronyN + 1, 0, false, 0);
        }
        ObiektyInicjalizuj();
        Synapsy->UstalKolejnosc();
        // For each passage the code of a resident whose group has the right
        // at its gate, and a code nobody has.
        for (int p = 1; p <= PrzejazdyN; ++p) {
            // Resident p (group 1 + p % 10, as the gate's right) holds
            // identifiers p - 1 + 1000 m.
            kodyZnane.push_back(Hex(0x100000 + p - 1 + UzytkownicyN * (1 + p % 50)));
            kodyNieznane.push_back(Hex(0x900000 + p));
        }
    }
    ~Osiedle() { ObiektyUsun(); }

    // Codes arriving at four readers of passages, as the poll thread stores
    // them: half of them open the gate when the passage waits and its start
    // sensor stands active, the others are refused.
    void NoweKody() {
        for (int k = 0; k < KodowNaTick; ++k, ++nastepny) {
            const int adres = static_cast<int>((nastepny * 37) % PrzejazdyN);
            const std::string& kod = k % 2 ? kodyNieznane[adres] : kodyZnane[adres];
            magistrala->ZmienWpis(adres, [&](WpisKarty& w) {
                std::snprintf(w.Kod, sizeof w.Kod, "%s", kod.c_str());
                w.Przycisk = 1;
            });
        }
    }

    DaneWPamieci dane;
    Object_Magistrala* magistrala = nullptr;
    std::vector<std::string> kodyZnane;
    std::vector<std::string> kodyNieznane;
    std::size_t nastepny = 0;
};

} // namespace bench_osiedle
