#include "core/Object_Magistrala.h"

#include <cstring>

namespace {

FabrykaPetliMagistrali fabrykaPetli = nullptr;

bool NumerWZakresie(int n) { return n >= 1 && n <= 6; }

std::uint8_t Bit(int n) { return static_cast<std::uint8_t>(1u << (n - 1)); }

// The acknowledged outputs of a board not yet polled.
constexpr std::uint8_t NicNiePotwierdzone = 0x80;


} // namespace

const char* TekstStatusu(std::uint32_t status) {
    switch (status) {
    case StatusOk: return "";
    case StatusBladZapisu: return " / błąd zapisu do COM";
    case StatusBladOdczytu: return " / błąd odczytu z COM";
    case StatusBladParzystosci: return " / błąd parzystości";
    case StatusBrakOdpowiedzi: return " / brak odpowiedzi";
    case StatusBladSumy: return " / błąd sumy CRC";
    case StatusNiePowiazana: return " / nie powiązana";
    default: return " / błąd nieznany";
    }
}

void UstawFabrykePetliMagistrali(FabrykaPetliMagistrali fabryka) { fabrykaPetli = fabryka; }

Object_Magistrala::~Object_Magistrala() { Zamknij(false); }

bool Object_Magistrala::Otworz(bool ponownie) {
    if (!petla_ && fabrykaPetli)
        petla_ = fabrykaPetli(*this);
    if (!petla_) {
        Utracona = true;
        return false;
    }
    return petla_->Otworz(ponownie);
}

void Object_Magistrala::Zamknij(bool zostawWatek) {
    if (petla_)
        petla_->Zamknij(zostawWatek);
    else
        Aktywna = false;
}

bool Object_Magistrala::PortOtwarty() const { return petla_ && petla_->PortOtwarty(); }

// The first poll of a new board carries its outputs: acknowledged starts
// apart from every wanted state, with a bit no output has (the six outputs
// are bits 0..5), so it stays apart whatever the tick wants before that
// poll, and no output reads as acknowledged on until the board said so.
void Object_Magistrala::DodajKarte(int adres, int rodzaj) {
    ZmienWpis(adres, [&](WpisKarty& wpis) {
        wpis.Obecna = true;
        wpis.Rodzaj = static_cast<std::uint8_t>(rodzaj);
        wpis.Wejscia = 0;
        wpis.WyjsciaZadane = 0;
        wpis.WyjsciaPotwierdzone = NicNiePotwierdzone;
    });
}

void Object_Magistrala::UstawWyjscie(int adres, int n) {
    if (NumerWZakresie(n))
        ZmienWpis(adres, [&](WpisKarty& wpis) { wpis.WyjsciaZadane |= Bit(n); });
}

void Object_Magistrala::KasujWyjscie(int adres, int n) {
    if (NumerWZakresie(n))
        ZmienWpis(adres, [&](WpisKarty& wpis) { wpis.WyjsciaZadane &= static_cast<std::uint8_t>(~Bit(n)); });
}

WpisKarty Object_Magistrala::Wpis(int adres) const {
    if (!AdresWZakresie(adres))
        return {};
    std::lock_guard blokada(blokada_);
    return obraz_[adres];
}

bool Object_Magistrala::StanWyjscia(int adres, int n) const {
    return NumerWZakresie(n) && (Wpis(adres).WyjsciaPotwierdzone & Bit(n));
}

bool Object_Magistrala::StanWejscia(int adres, int n) const {
    return NumerWZakresie(n) && (Wpis(adres).Wejscia & Bit(n));
}

bool Object_Magistrala::JestKod(int adres) const {
    if (!AdresWZakresie(adres))
        return false;
    std::lock_guard blokada(blokada_);
    return obraz_[adres].Kod[0] != '\0';
}

OdczytKarty Object_Magistrala::PobierzKod(int adres) {
    OdczytKarty odczyt;
    ZmienWpis(adres, [&](WpisKarty& wpis) {
        odczyt = {wpis.Kod, wpis.Licznik, wpis.Przycisk};
        std::memset(wpis.Kod, 0, sizeof wpis.Kod);
        wpis.Licznik = 0;
        wpis.Przycisk = 0;
    });
    return odczyt;
}

std::uint32_t Object_Magistrala::Status(int adres) const {
    if (!AdresWZakresie(adres))
        return 0;
    std::lock_guard blokada(blokada_);
    return obraz_[adres].Status;
}

int Objects_Magistrale::Porownaj(int rodzaj, const Object* a, const Object* b) const {
    const auto& x = *static_cast<const Object_Magistrala*>(a);
    const auto& y = *static_cast<const Object_Magistrala*>(b);
    int c = 0;
    switch (rodzaj) {
    case 0: c = Znak(x.Com - y.Com); break;
    case 1: c = Znak(x.Wersja - y.Wersja); break;
    case 2:
        c = Znak(x.Predkosc - y.Predkosc);
        if (!c)
            c = Znak(x.Wersja - y.Wersja);
        break;
    case 3:
        c = Znak(x.Nazwa.str().compare(y.Nazwa.str()));
        if (!c)
            c = Znak(x.Com - y.Com);
        break;
    default: break;
    }
    return c ? c : Znak(static_cast<long long>(x.Id()) - y.Id());
}

Object_Magistrala* Objects_Magistrale::Dodaj(int id, int com, int wersja, int predkosc, std::string_view nazwa) {
    auto* magistrala = static_cast<Object_Magistrala*>(Nowy(id));
    magistrala->Com = com;
    magistrala->Wersja = wersja;
    magistrala->Predkosc = predkosc;
    magistrala->Nazwa = nazwa;
    return magistrala;
}
