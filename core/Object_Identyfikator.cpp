#include "core/Object_Identyfikator.h"

#include <cstdio>

#include "core/Object_Lokal.h"
#include "core/Object_Uzytkownik.h"
#include "core/Objects_globals.h"
#include "core/Tekst.h"
#include "core/Uslugi.h"
#include "core/ZapiszWyjatek.h"
#include "platform/db/Command.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"

std::uint64_t Object_Identyfikator::zmianyKluczy_ = 0;

namespace {

bool RodzajZnany(int rodzaj) { return rodzaj >= 1 && rodzaj <= 4; }

bool RowneBezWielkosci(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (MalaLitera(a[i]) != MalaLitera(b[i]))
            return false;
    return true;
}

} // namespace

void Object_Identyfikator::UstawRodzaj(int rodzaj) {
    rodzaj_ = rodzaj;
    ++zmianyKluczy_;
}

void Object_Identyfikator::UstawNumerSeryjny(std::string_view numer) {
    numerSeryjny_ = numer;
    ++zmianyKluczy_;
}

void Object_Identyfikator::Polacz() {
    Uzytkownik = Polaczony<Object_Uzytkownik>(Uzytkownicy, IdUzytkownika);
    Lokal = Polaczony<Object_Lokal>(Lokale, IdLokalu);
    LicznikZapisany = Licznik;
}

bool Object_Identyfikator::Wazny() const { return Wazny(TerazLokalnie()); }

bool Object_Identyfikator::Wazny(DataCzas teraz) const {
    if (Ustawiona(OgraniczenieOd) && teraz < OgraniczenieOd)
        return false;
    if (Ustawiona(OgraniczenieDo) && OgraniczenieDo < teraz)
        return false;
    return true;
}

void Object_Identyfikator::ZapiszUzycie() {
    if (LicznikZapisany == Licznik)
        return;
    // Where the use is logged when the write fails, as the exception log has
    // always named it.
    constexpr std::string_view zrodlo = "Object_Identyfikatory";
    constexpr int linia = 47;
    DaneModelu* dane = Dane();
    if (!dane) {
        ZapiszWyjatek("no data module to write the use count of identifier " + std::to_string(Id()), zrodlo, linia);
        return;
    }
    ++LicznikUzycia;
    dane->ZapiszZmiane({"identyfikatory", "IdIdentyfikatora", Id(), {{"LicznikUzycia", LicznikUzycia}}, zrodlo, linia});
    LicznikZapisany = Licznik;
}

int Objects_Identyfikatory::Porownaj(int, const Object* a, const Object* b) const {
    return PorownajNaturalnie(static_cast<const Object_Identyfikator*>(a)->NumerSeryjny(),
                              static_cast<const Object_Identyfikator*>(b)->NumerSeryjny());
}

Object_Identyfikator* Objects_Identyfikatory::DodajRekord(int id, int idUzytkownika, int idLokalu, int rodzaj,
                                                          std::string_view numerSeryjny, std::int32_t licznik,
                                                          std::int32_t licznikUzycia, DataCzas dataCzasUtworzenia,
                                                          DataCzas ograniczenieOd, DataCzas ograniczenieDo) {
    auto* identyfikator = static_cast<Object_Identyfikator*>(Nowy(id));
    identyfikator->IdUzytkownika = idUzytkownika;
    identyfikator->IdLokalu = idLokalu;
    identyfikator->UstawRodzaj(rodzaj);
    identyfikator->UstawNumerSeryjny(numerSeryjny);
    identyfikator->Licznik = licznik;
    identyfikator->LicznikUzycia = licznikUzycia;
    identyfikator->DataCzasUtworzenia = dataCzasUtworzenia;
    identyfikator->OgraniczenieOd = ograniczenieOd;
    identyfikator->OgraniczenieDo = ograniczenieDo;
    return identyfikator;
}

// FNV-1a over the kind and the lower-case bytes, then mixed so that the low
// bits that pick the slot depend on every byte.
std::uint64_t Objects_Identyfikatory::Hash(int rodzaj, std::string_view numer) {
    std::uint64_t h = 14695981039346656037ull ^ static_cast<std::uint64_t>(rodzaj);
    for (char c : numer) {
        h ^= static_cast<unsigned char>(MalaLitera(c));
        h *= 1099511628211ull;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}

void Objects_Identyfikatory::PrzebudujIndeksJesliTrzeba() const {
    if (indeksGotowy_ && indeksZmian_ == Zmiany() && indeksZmianKluczy_ == Object_Identyfikator::ZmianyKluczy())
        return;
    // At most half full, so probes stay short.
    std::size_t pojemnosc = 16;
    while (pojemnosc < 2 * static_cast<std::size_t>(Rozmiar()))
        pojemnosc *= 2;
    indeks_.assign(pojemnosc, Wpis{});
    const std::size_t maska = pojemnosc - 1;
    // Every position of the vector, also those past Ilosc() that an element
    // added twice under one id pushes out: each of them is a real entry.
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* identyfikator = static_cast<Object_Identyfikator*>(Element(i));
        const int rodzaj = identyfikator->Rodzaj();
        if (!RodzajZnany(rodzaj))
            continue;
        const std::string_view numer = identyfikator->NumerSeryjny();
        const std::uint64_t h = Hash(rodzaj, numer);
        for (std::size_t s = h & maska;; s = (s + 1) & maska) {
            Wpis& wpis = indeks_[s];
            if (!wpis.identyfikator) {
                wpis = {h, identyfikator};
                break;
            }
            // The slot of an earlier one with the same key stays: the first
            // in display order wins.
            if (wpis.hash == h && wpis.identyfikator->Rodzaj() == rodzaj &&
                RowneBezWielkosci(wpis.identyfikator->NumerSeryjny(), numer))
                break;
        }
    }
    indeksGotowy_ = true;
    indeksZmian_ = Zmiany();
    indeksZmianKluczy_ = Object_Identyfikator::ZmianyKluczy();
}

Object_Identyfikator* Objects_Identyfikatory::ZnajdzNumer(int rodzaj, std::string_view numer) const {
    if (!RodzajZnany(rodzaj))
        return nullptr;
    PrzebudujIndeksJesliTrzeba();
    const std::uint64_t h = Hash(rodzaj, numer);
    const std::size_t maska = indeks_.size() - 1;
    for (std::size_t s = h & maska;; s = (s + 1) & maska) {
        const Wpis& wpis = indeks_[s];
        if (!wpis.identyfikator)
            return nullptr;
        if (wpis.hash == h && wpis.identyfikator->Rodzaj() == rodzaj &&
            RowneBezWielkosci(wpis.identyfikator->NumerSeryjny(), numer))
            return wpis.identyfikator;
    }
}

Object_Identyfikator* Objects_Identyfikatory::ZnajdzNumerHex(int rodzaj, std::uint32_t numer) const {
    char tekst[16];
    const int dlugosc = std::snprintf(tekst, sizeof tekst, "%x", numer);
    return ZnajdzNumer(rodzaj, std::string_view(tekst, static_cast<std::size_t>(dlugosc)));
}

Object_Identyfikator* Objects_Identyfikatory::ZnajdzWazny(int rodzaj, std::uint32_t numer) const {
    Object_Identyfikator* identyfikator = ZnajdzNumerHex(rodzaj, numer);
    return identyfikator && identyfikator->Wazny() ? identyfikator : nullptr;
}

int Objects_Identyfikatory::Zapisz(const Object_Identyfikator& identyfikator, platform::db::Query& q) {
    q.setSql("UPDATE identyfikatory SET Rodzaj=:Rodzaj, NumerSeryjny=:NumerSeryjny, Licznik=:Licznik, "
             "IdUzytkownika=:IdUzytkownika, IdLokalu=:IdLokalu, LicznikUzycia=:LicznikUzycia, "
             "DataCzasUtworzenia=:DataCzasUtworzenia, OgraniczenieOd=:OgraniczenieOd, "
             "OgraniczenieDo=:OgraniczenieDo WHERE IdIdentyfikatora=:IdIdentyfikatora");
    q.param("Rodzaj") = identyfikator.Rodzaj();
    q.param("Licznik") = identyfikator.Licznik;
    q.param("IdUzytkownika") = identyfikator.IdUzytkownika;
    q.param("IdLokalu") = identyfikator.IdLokalu;
    q.param("LicznikUzycia") = identyfikator.LicznikUzycia;
    q.param("IdIdentyfikatora") = identyfikator.Id();
    q.param("NumerSeryjny") = identyfikator.NumerSeryjny().str();
    q.param("DataCzasUtworzenia") = DataCzasDoBazy(identyfikator.DataCzasUtworzenia);
    q.param("OgraniczenieOd") = DataCzasDoBazy(identyfikator.OgraniczenieOd);
    q.param("OgraniczenieDo") = DataCzasDoBazy(identyfikator.OgraniczenieDo);
    try {
        // An edit of a row another desk deleted meanwhile is lost, not saved.
        if (q.execSql() == 0)
            return platform::db::DbError::ObjectDoesNotExist;
    } catch (const platform::db::DbError& e) {
        // Callers test the result against 0, so an error of no known kind
        // (kind 0) must not read as success.
        return e.kind() != platform::db::DbError::Other ? e.kind() : -1;
    }
    return 0;
}

void Objects_Identyfikatory::PoliczPrzypisania() {
    for (int i = 0; i < Rozmiar(); ++i) {
        auto* identyfikator = static_cast<Object_Identyfikator*>(Element(i));
        if (identyfikator->Lokal)
            ++identyfikator->Lokal->LiczbaIdentyfikatorow;
        if (identyfikator->Uzytkownik)
            ++identyfikator->Uzytkownik->LiczbaIdentyfikatorow;
    }
}
