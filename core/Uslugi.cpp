#include "core/Uslugi.h"

#include <atomic>

namespace {
DziennikKomunikatow* dziennik = nullptr;
SprzetMozgu* sprzet = nullptr;
DaneModelu* dane = nullptr;
std::atomic<ChmuraUrzadzen*> chmura{nullptr};
} // namespace

void UstawDziennikKomunikatow(DziennikKomunikatow* nowy) { dziennik = nowy; }

void DodajKomunikat(const std::string& tekst) {
    if (dziennik)
        dziennik->DodajKomunikat(tekst);
}

void UstawSprzetMozgu(SprzetMozgu* nowy) { sprzet = nowy; }

SprzetMozgu* Sprzet() { return sprzet; }

void UstawDaneModelu(DaneModelu* nowe) { dane = nowe; }

DaneModelu* Dane() { return dane; }

void UstawChmure(ChmuraUrzadzen* nowa) { chmura.store(nowa); }

ChmuraUrzadzen* Chmura() { return chmura.load(); }
