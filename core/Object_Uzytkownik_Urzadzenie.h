#pragma once
#include <cstdint>
#include <string_view>

#include "core/DataCzas.h"
#include "core/Object.h"
#include "core/TekstStaly.h"

namespace platform::db {
class Query;
}

class Object_Uzytkownik;
class Object_Lokal;

// A resident's device known to the cloud service.
class Object_Uzytkownik_Urzadzenie : public Object {
public:
    using Object::Object;

    void Polacz() override;

    // The device's id at the cloud service; 0 until the service knows it.
    std::int32_t IdUserDeviceCloud = 0;
    int IdUzytkownika = 0;
    int IdLokalu = 0;
    int IdUrzadzenia = 0;
    TekstStaly<255> Email;
    std::int32_t Rodzaj = 0;
    bool Istnieje = false;
    // A keypad of the device layer; kept as an id only.
    int IdZarvoKlawiatury = 0;
    DataCzas DataCzasAktualizacji{};
    Object_Uzytkownik* Uzytkownik = nullptr;
    Object_Lokal* Lokal = nullptr;
};

class Objects_Uzytkownicy_Urzadzenia : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Uzytkownik_Urzadzenie(id); }
    // Kind 0: by e-mail, byte by byte; any other kind leaves the order to the
    // shuffle.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Uzytkownik_Urzadzenie* DodajRekord(int id, std::int32_t idUserDeviceCloud, int idUzytkownika, int idLokalu,
                                              int idUrzadzenia, std::string_view email, std::int32_t rodzaj,
                                              bool istnieje, int idZarvoKlawiatury, DataCzas dataCzasAktualizacji);

    // Deletes the device's row; false when the database refused.
    static bool UsunZBazy(int idUzytkownikUrzadzenie, platform::db::Query& q);
    // Deletes the row and then the element; false, with the element kept,
    // when the database refused.
    bool UsunUrzadzenie(int idUzytkownikUrzadzenie, platform::db::Query& q);
    // The device with that cloud id, the last in display order; null when none.
    Object_Uzytkownik_Urzadzenie* ZnajdzCloud(std::int32_t idUserDeviceCloud) const;
};
