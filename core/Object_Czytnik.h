#pragma once
#include <cstdint>
#include <string_view>

#include "core/DataCzas.h"
#include "core/Object.h"
#include "core/TekstStaly.h"

class Object_Karta;

// An identifier reader of a board: holds the code its board delivered in
// this tick, so the passages of the same tick see it.
class Object_Czytnik : public Object {
public:
    using Object::Object;

    // Set by the identifier capture window while it reads codes from this
    // reader: a held reader keeps its code across ticks and the passages
    // ignore it.
    bool Zajety = false;
    TekstStaly<40> Nazwa;
    int IdKarty = 0;
    int Czytnik = 0; // plays no part in the scan: a board's code goes to all its readers
    TekstStaly<32> Kod;
    TekstStaly<32> OstatniKod;
    std::uint32_t Licznik = 0;
    std::uint32_t Przycisk = 0; // remote's button 1..15, 0 for none
    Object_Karta* Karta = nullptr;
    DataCzas CzasOdczytu{};

    void Polacz() override;
};

class Objects_Czytniki : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Czytnik(id); }
    // Every kind: name.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Czytnik* DodajRekord(int id, int idKarty, int czytnik, std::string_view nazwa);

    // Tick step: each reader takes the code waiting for its board.
    void Skanuj();

private:
    // Numbers the scans, so each board's code is taken from the image once
    // per scan however many readers the board has.
    std::uint64_t skan_ = 0;
};
