#include "devices/MigawkaEnkoderow.h"

#include <mutex>
#include <set>
#include <unordered_map>
#include <utility>

#include "core/Object_Adres.h"
#include "core/Object_Lokal.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Uzytkownik_Lokal.h"
#include "core/Objects_globals.h"
#include "devices/Object_Enkoder.h"

namespace {

// Guarded by its own lock rather than the objects lock: a thread that holds
// the pointer's copy needs no lock at all, and the objects lock stays for the
// encoders' fields.
std::mutex blokadaMigawki;
std::shared_ptr<const MigawkaEnkoderow> biezaca = std::make_shared<const MigawkaEnkoderow>();

} // namespace

const EnkoderMigawki* MigawkaEnkoderow::ZnajdzIPv4(std::uint32_t ipv4) const {
    for (const EnkoderMigawki& e : Enkodery)
        if (e.IPv4 == ipv4)
            return &e;
    return nullptr;
}

const LokalMigawki* MigawkaEnkoderow::ZnajdzPin(int idCentralaZarvoGsm, std::uint16_t pin) const {
    for (auto it = Lokale.rbegin(); it != Lokale.rend(); ++it)
        if (it->IdCentralaZarvoGsm == idCentralaZarvoGsm && it->Pin == pin)
            return &*it;
    return nullptr;
}

std::string LiniaUlicy(const std::string& ulica, const std::string& numer, const std::string& lokal) {
    std::string linia = ulica;
    if (!ulica.empty() && !numer.empty())
        linia += ' ';
    linia += numer;
    if (!linia.empty())
        linia += ' ';
    return linia + lokal;
}

std::shared_ptr<const MigawkaEnkoderow> ZbudujMigawkeEnkoderow() {
    auto migawka = std::make_shared<MigawkaEnkoderow>();
    if (!Enkodery)
        return migawka;
    const Objects* centrale = KontenerGlobalny(NrCentrale);
    std::set<int> centraleEnkoderow;
    const Objects* enkodery = Enkodery;
    migawka->Kontener = Enkodery;
    for (int i = 0; i < enkodery->Rozmiar(); ++i) {
        const auto* e = static_cast<const Object_Enkoder*>(enkodery->Element(i));
        EnkoderMigawki m;
        m.IPv4 = e->IPv4;
        m.PortIn = e->PortIn;
        m.PortOutForwarded = e->PortOutForwarded;
        m.PortInForwarded = e->PortInForwarded;
        if (Polaczony<Object>(centrale, e->IdCentralaZarvoGsm))
            m.IdCentralaZarvoGsm = e->IdCentralaZarvoGsm;
        m.Stan = e->Stan();
        if (m.IdCentralaZarvoGsm)
            centraleEnkoderow.insert(m.IdCentralaZarvoGsm);
        migawka->Enkodery.push_back(std::move(m));
    }
    if (!Lokale || centraleEnkoderow.empty())
        return migawka;

    std::unordered_map<int, std::size_t> pozycjaLokalu;
    const Objects* lokale = Lokale;
    const Objects* adresy = Adresy;
    for (int i = 0; i < lokale->Rozmiar(); ++i) {
        const auto* l = static_cast<const Object_Lokal*>(lokale->Element(i));
        if (!centraleEnkoderow.count(l->IdCentralaZarvoGsm))
            continue;
        LokalMigawki m;
        m.IdCentralaZarvoGsm = l->IdCentralaZarvoGsm;
        m.Pin = l->Pin;
        const auto* adres = Polaczony<const Object_Adres>(adresy, l->IdAdresu);
        if (adres) {
            m.KodPocztowy = adres->KodPocztowy.str();
            m.Miejscowosc = adres->Miejscowosc.str();
        }
        m.Ulica = LiniaUlicy(adres ? adres->Ulica.str() : std::string(), adres ? adres->Numer.str() : std::string(),
                             l->Lokal.str());
        pozycjaLokalu[l->Id()] = migawka->Lokale.size();
        migawka->Lokale.push_back(std::move(m));
    }

    // Each resident once per flat, however many links name the pair, as
    // Objects_Uzytkownicy_Lokale::UzytkownicyLokalu collects them.
    if (!UzytkownicyLokale || !Uzytkownicy)
        return migawka;
    const Objects* linki = UzytkownicyLokale;
    const Objects* uzytkownicy = Uzytkownicy;
    std::set<std::pair<int, int>> widziane;
    for (int i = 0; i < linki->Rozmiar(); ++i) {
        const auto* link = static_cast<const Object_Uzytkownik_Lokal*>(linki->Element(i));
        const auto pozycja = pozycjaLokalu.find(link->IdLokalu);
        if (pozycja == pozycjaLokalu.end())
            continue;
        const auto* u = Polaczony<const Object_Uzytkownik>(uzytkownicy, link->IdUzytkownika);
        if (!u || !widziane.insert({link->IdLokalu, link->IdUzytkownika}).second)
            continue;
        migawka->Lokale[pozycja->second].Emaile.push_back(u->EmailTekst());
    }
    return migawka;
}

void OpublikujMigawkeEnkoderow() { OpublikujMigawkeEnkoderow(ZbudujMigawkeEnkoderow()); }

void OpublikujMigawkeEnkoderow(std::shared_ptr<const MigawkaEnkoderow> migawka) {
    if (!migawka)
        migawka = std::make_shared<const MigawkaEnkoderow>();
    std::shared_ptr<const MigawkaEnkoderow> stara;
    std::lock_guard blokada(blokadaMigawki);
    stara = std::exchange(biezaca, std::move(migawka));
    // The old snapshot is released after the lock (declared before it),
    // possibly freeing encoder states: never a long hold of the lock.
}

void WycofajMigawkeEnkoderow(const void* kontener) {
    std::shared_ptr<const MigawkaEnkoderow> stara;
    std::lock_guard blokada(blokadaMigawki);
    if (biezaca->Kontener == kontener)
        stara = std::exchange(biezaca, std::make_shared<const MigawkaEnkoderow>());
}

std::shared_ptr<const MigawkaEnkoderow> MigawkaEnkoderowTeraz() {
    std::lock_guard blokada(blokadaMigawki);
    return biezaca;
}
