#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

class Object_Rodzaj_Zdarzenia;

// An operator button of the button panel and the 3D view; a logic link
// with the button as source reads Wcisniety.
class Object_Przycisk : public Object {
public:
    using Object::Object;

    // The system's button-face colour, until a colour is stored.
    static constexpr std::int32_t KolorPrzycisku = static_cast<std::int32_t>(0xFF00000F);
    enum : int { Klik = 0, Bistabilny = 1 };

    int LicznikNacisniec = 0;
    TekstStaly<40> Etykieta;
    TekstStaly<200> Opis;
    std::int32_t Kolor = KolorPrzycisku;
    std::int32_t KolorGrupy = KolorPrzycisku;
    int Rodzaj = Klik;
    int IdZdarzenia = 0;
    int IdPrzyciskuRodzic = 0;
    bool WszystkieWarstwy = false;
    bool Wcisniety = false;
    Object_Przycisk* Rodzic = nullptr;
    Object_Rodzaj_Zdarzenia* Zdarzenie = nullptr;

    void Polacz() override;

    void Nacisnij();
    // A "Klik" button is pressed while held; a "Bistabilny" one is switched
    // on by a press and off by the release that follows the next press. The
    // flag is passed by every caller and changes nothing.
    void Zwolnij(bool flaga = true);
};

class Objects_Przyciski : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Przycisk(id); }
    // 1: description first; 2: kind; 3: colour; 4: group colour; 5: parent's
    // label; any other: label first (see the .cpp for the following keys).
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Przycisk* DodajRekord(int id, std::string_view etykieta, std::string_view opis, int rodzaj,
                                 std::int32_t kolor, std::int32_t kolorGrupy, int idZdarzenia,
                                 int idPrzyciskuRodzic, bool wszystkieWarstwy);
};
