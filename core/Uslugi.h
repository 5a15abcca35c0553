#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/DataCzas.h"
#include "platform/db/Value.h"

class Object;

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

// The two tables of the event log.
enum class TabelaZdarzen { Zdarzenia, ZdarzeniaCentrali };

// One row of the event log: the columns it sets, by name (literals), with
// their values; a column it does not name stays NULL. linia is where the
// exception log places a row the server refused.
struct WierszZdarzenia {
    TabelaZdarzen tabela = TabelaZdarzen::Zdarzenia;
    std::vector<std::pair<std::string_view, platform::db::Value>> kolumny;
    int linia = 0;
};

// The database id of an event row, shared between the event in memory and
// the writes still waiting for it: 0 until the writer has numbered the row.
// The writer's thread fills it in; the closing update, queued behind the
// row, reads the id from here.
using IdWiersza = std::shared_ptr<std::atomic<std::int32_t>>;

// Columns of one row set to new values: UPDATE tabela SET kolumny WHERE
// klucz = id. Names are literals. A change the server refused is logged
// under zrodlo and linia.
struct ZmianaWiersza {
    std::string_view tabela;
    std::string_view klucz;
    std::int32_t id = 0;
    std::vector<std::pair<std::string_view, platform::db::Value>> kolumny;
    std::string_view zrodlo;
    int linia = 0;
};

// What the element classes and the tick write (the event log, use counts,
// controller types). The database layer installs it.
//
// None of these waits for the server: each hands its values to the
// database layer's writer and returns, and the writer writes them in the
// order they were given, keeping them while the server is away, with their
// own times. A write the server refuses is logged and dropped.
class DaneModelu {
public:
    virtual ~DaneModelu() = default;
    virtual void ZapiszZdarzenie(WierszZdarzenia wiersz, const IdWiersza& id) = 0;
    // Sets the end time of the row, after the row itself.
    virtual void ZakonczZdarzenie(const IdWiersza& id, DataCzas koniec) = 0;
    virtual void ZapiszZmiane(ZmianaWiersza zmiana) = 0;
};

// The cloud service's calls of the device layer. The cloud layer installs it.
// Called from the encoder server's connection threads, so an implementation
// touches no element of the model.
class ChmuraUrzadzen {
public:
    virtual ~ChmuraUrzadzen() = default;
    // An intercom call event of a flat: action "incoming_call",
    // "call_answered", "timeout" or "call_end". emaile holds the e-mail of
    // each of the flat's residents as stored (repeats and empty ones
    // included). True when the service took it.
    virtual bool OutCallAction(const std::string& action, const std::string& encoderKey, int port1, int port2,
                               const std::vector<std::string>& emaile, const std::string& postalCode,
                               const std::string& locality, const std::string& street, int idUserDevice) = 0;
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

// Installed once before the encoder server starts; may be read from any
// thread. Null while none is installed: call events then go nowhere.
void UstawChmure(ChmuraUrzadzen* chmura);
ChmuraUrzadzen* Chmura();
