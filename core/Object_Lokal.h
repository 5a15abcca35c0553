#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

namespace platform::db {
class Connection;
}

class Object_Adres;

// A flat of the estate, as the residents' manager, the controllers and the
// encoder server see it.
class Object_Lokal : public Object {
public:
    using Object::Object;

    void Polacz() override;
    std::string NazwaLokalu() const { return Lokal.str(); }

    int IdAdresu = 0;
    Object_Adres* Adres = nullptr;
    TekstStaly<35> Lokal;
    int IdCentralaZarvoGsm = 0;
    std::uint16_t Pin = 0;
    std::int32_t LokalCentralaZarvo = 0;
    // How many identifiers name the flat: valid after ZerujLiczniki and the
    // identifiers' PoliczPrzypisania.
    std::uint16_t LiczbaIdentyfikatorow = 0;
    // The controller lives in the device layer, which core cannot include;
    // the controllers' layer reads it through its own type.
    Object* Centrala = nullptr;
    bool Wylaczony = false;
    TekstStaly<20> TelefonDomofonu;
    std::int32_t KodDomofonu = 0;
    bool KodDomofonuWlaczony = false;
    bool PowiadamianieWlaczone = false;
    bool PinWlaczony = false;
    std::int32_t IdPlaceCloud = 0;
};

// The name of an element of the device layer (a controller, a keypad) for
// the sort kinds that order by it. That layer installs the reader at start-up;
// without one every such name reads as empty.
using NazwaUrzadzenia = std::string (*)(const Object* urzadzenie);

class Objects_Lokale : public Objects {
public:
    // Zapisz's codes besides 0 and the error kinds of the database layer
    // (4: the PIN is already used at the flat's controller).
    // The server refused the statement for a reason it does not classify
    // (kind 0): still a failure, never to be read as success.
    static constexpr int ZapisBladNieznany = -1;
    // The statement ran but no row has the flat's id: nothing was written.
    static constexpr int ZapisBrakWiersza = -2;

    Object* Utworz(int id) override { return new Object_Lokal(id); }
    // 0: street, house number, flat; 1: house number, street, flat;
    // 2: flat, house number, street; 3: controller's name, house number,
    // street, flat; 4: number inside the controller.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Lokal* DodajRekord(int id, int idAdresu, std::string_view lokal, int idCentralaZarvoGsm,
                              std::uint16_t pin, bool pinWlaczony, std::int32_t lokalCentralaZarvo,
                              bool wylaczony, std::string_view telefonDomofonu, std::int32_t kodDomofonu,
                              bool kodDomofonuWlaczony, bool powiadamianieWlaczone,
                              std::int32_t idPlaceCloud);

    // Both walk from the last position, so the flat later in display order
    // wins a tie. They only read the flats and never the shared cursor:
    // ZnajdzPin also serves the encoder server (through the main thread).
    // A number outside the PIN's 16 bits matches no flat.
    Object_Lokal* ZnajdzLokalCentrali(int idCentralaZarvoGsm, std::int32_t numer) const;
    Object_Lokal* ZnajdzPin(int idCentralaZarvoGsm, std::int64_t pin) const;

    void ZerujLiczniki();

    // Writes the flat's row (all but its cloud id). 0 on success; otherwise
    // the kind of the first database error, ZapisBladNieznany or
    // ZapisBrakWiersza. The element is left as it is: the caller undoes its
    // own change when the result is not 0. Errors that are not the
    // database's pass to the caller.
    int Zapisz(const Object_Lokal& lokal, platform::db::Connection& polaczenie);

    static void UstawNazweCentrali(NazwaUrzadzenia nazwa) { nazwaCentrali_ = nazwa; }
    static std::string NazwaCentrali(const Object* centrala);

private:
    static inline NazwaUrzadzenia nazwaCentrali_ = nullptr;
};
