#pragma once
#include <string>

class Object;

namespace platform::db {
class Command;
}

// Services that the object model and the logic call in the layers above
// core. Each layer installs its implementation at start-up; tests install
// recorders. With none installed a call does the least harmful thing, said
// at each function.

// The main window's message log.
class DziennikKomunikatow {
public:
    virtual ~DziennikKomunikatow() = default;
    virtual void DodajKomunikat(const std::string& tekst) = 0;
};

// The hardware the runtime opens when the system starts: the controllers'
// ports and the GSM modems, and the two tick steps that serve them. The
// device layer implements it.
class SprzetMozgu {
public:
    virtual ~SprzetMozgu() = default;
    virtual bool PrzygotujCentrale() = 0;
    virtual bool PrzygotujSim() = 0;
    virtual void KrokCentrali() = 0;
    virtual void KrokModemow() = 0;
    // The controller's open command for one of its outputs. The controller
    // is a device element that core cannot name, so the device layer reads
    // its network address from it; the controller decides how long the
    // output stays on.
    virtual void OtworzWyjscieCentrali(Object* centrala, int wyjscie) = 0;
};

// The data module's components that element classes write through (a use
// count, an identifier, a new resident). The database layer installs it.
class DaneModelu {
public:
    virtual ~DaneModelu() = default;
    virtual platform::db::Command& Polecenie() = 0;
};

void UstawDziennikKomunikatow(DziennikKomunikatow* dziennik);
// Dropped while no log is installed.
void DodajKomunikat(const std::string& tekst);

void UstawSprzetMozgu(SprzetMozgu* sprzet);
// Null while none is installed: the runtime then runs with no hardware.
SprzetMozgu* Sprzet();

void UstawDaneModelu(DaneModelu* dane);
// Null while no data module exists.
DaneModelu* Dane();
