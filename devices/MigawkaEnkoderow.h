#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct StanEnkodera;

// What the encoders' threads need of the model, copied by the main thread:
// the encoders with their shared states, and the flats of their controllers
// with the address texts and the residents' e-mails. The threads never walk
// the containers, which the main thread empties and refills on every start
// and changes in the editors; they take the latest snapshot and keep it as
// long as they use it.
struct EnkoderMigawki {
    std::uint32_t IPv4 = 0;
    std::uint16_t PortIn = 0;
    std::uint16_t PortOutForwarded = 0;
    std::uint16_t PortInForwarded = 0;
    // 0 when the encoder has no controller or its controller does not exist.
    int IdCentralaZarvoGsm = 0;
    std::shared_ptr<StanEnkodera> Stan;
};

struct LokalMigawki {
    int IdCentralaZarvoGsm = 0;
    std::uint16_t Pin = 0;
    std::string KodPocztowy;
    std::string Miejscowosc;
    // Street, house number and the flat's designation, as the cloud shows it.
    std::string Ulica;
    // One per resident linked to the flat, as stored (empty ones too).
    std::vector<std::string> Emaile;
};

class MigawkaEnkoderow {
public:
    std::vector<EnkoderMigawki> Enkodery; // in the container's order
    std::vector<LokalMigawki> Lokale;     // in the container's order
    // The encoders' container it was built from; null for an empty one.
    const void* Kontener = nullptr;

    // The first encoder with the address, or null.
    const EnkoderMigawki* ZnajdzIPv4(std::uint32_t ipv4) const;
    // The flat of the controller with the PIN, or null; the flat later in
    // display order wins a tie, as in Objects_Lokale::ZnajdzPin.
    const LokalMigawki* ZnajdzPin(int idCentralaZarvoGsm, std::uint16_t pin) const;
};

// The street line of a flat: street, a blank when both street and house
// number are there, house number, a blank when the line so far is not empty,
// the flat's designation.
std::string LiniaUlicy(const std::string& ulica, const std::string& numer, const std::string& lokal);

// Main thread, from the global containers (any of them may be missing).
std::shared_ptr<const MigawkaEnkoderow> ZbudujMigawkeEnkoderow();
// Main thread: builds and publishes. The loader calls it after every load,
// and the editors after every change of encoders, controllers, flats,
// addresses, residents or their links to flats.
void OpublikujMigawkeEnkoderow();
// Publishes the given snapshot (an empty one when null).
void OpublikujMigawkeEnkoderow(std::shared_ptr<const MigawkaEnkoderow> migawka);
// Publishes an empty snapshot when the current one was built from the
// container, which is going away; a newer container's stays.
void WycofajMigawkeEnkoderow(const void* kontener);
// Any thread: the latest snapshot, never null.
std::shared_ptr<const MigawkaEnkoderow> MigawkaEnkoderowTeraz();
