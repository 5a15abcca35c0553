#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

class Object_Adres;
class Object_Lokal;
class Object_Uzytkownik;
class Object_Grupa_Uzytkownikow;
class Object_Brama;

// A parking space: where it is, whose flat it belongs to, and who rents or
// occupies it through the cloud service's rentals.
class Object_Miejsce_Parkingowe : public Object {
public:
    using Object::Object;

    void Polacz() override;

    int IdAdresu = 0;
    Object_Adres* Adres = nullptr;
    int IdLokalu = 0;
    Object_Lokal* Lokal = nullptr;
    TekstStaly<15> Nazwa;
    bool DoWynajecia = false;
    int IdUzytkownikaWynajmujacego = 0;
    Object_Uzytkownik* UzytkownikWynajmujacy = nullptr;
    int IdUzytkownikaZajmujacego = 0;
    Object_Uzytkownik* UzytkownikZajmujacy = nullptr;
    std::int32_t IdParkingPlaceCloud = 0;
    int IdGrupyUzytkownikowWynajmujacy = 0;
    int IdBramy = 0;
    Object_Grupa_Uzytkownikow* Grupa = nullptr;
    Object_Brama* Brama = nullptr;
};

class Objects_Miejsca_Parkingowe : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Miejsce_Parkingowe(id); }
    // 0: postcode, town, street, house number, name; 1: town, postcode,
    // street, house number, name; 2: name, street, postcode, town, house
    // number.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Miejsce_Parkingowe* DodajRekord(int id, int idAdresu, int idLokalu, std::string_view nazwa,
                                           bool doWynajecia, int idUzytkownikaWynajmujacego,
                                           int idUzytkownikaZajmujacego, std::int32_t idParkingPlaceCloud,
                                           int idGrupyUzytkownikowWynajmujacy, int idBramy);
};
