#pragma once
#include <cstdint>
#include <string_view>

#include "core/Object.h"
#include "core/Object_Magistrala.h"
#include "core/TekstStaly.h"

// An I/O board on a serial bus: up to six inputs, six outputs and, on the
// reader boards, one identifier reader.
class Object_Karta : public Object {
public:
    using Object::Object;

    int IdRodzajKarty = 0; // 1 I/O board with remote reader, 2 plate reader, 3 temporary code
    int IdMagistrali = 0;
    int Adres = 0;
    TekstStaly<40> Nazwa;
    Object_Magistrala* Magistrala = nullptr;

    void Polacz() override;

    // The bus whose image holds this board, or null. A board outside the
    // image's 0..4095 is never registered on its bus, so it has no image
    // entry at all: the scans, the output step and the status calls treat it
    // like a board without a bus rather than read another board's entry.
    Object_Magistrala* MagistralaObrazu() const {
        return Magistrala && Object_Magistrala::AdresWZakresie(Adres) ? Magistrala : nullptr;
    }

    bool Dostepna() const;
    std::uint32_t Status() const;

    // The board's code as the reader scan took it from the image in its
    // latest pass; every reader of the board gets this one reading.
    OdczytKarty Odczyt;
    bool OdczytNowy = false;
    std::uint64_t SkanOdczytu = 0;
};

class Objects_Karty : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Karta(id); }
    // 1: bus's COM, then address; 2: address, then bus's COM; other: name,
    // then (both with a bus) bus's COM, then address.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Karta* DodajRekord(int id, int idRodzajKarty, int idMagistrali, int adres, std::string_view nazwa);
};

// The order of a board's inputs and outputs alike: kind 1 by board, number,
// name; kind 2 by number, board, name; any other by name, board, number.
// Boards compare by name, and only when both elements have one.
int PorownajNaKarcie(int rodzaj, const Object_Karta* kartaA, const Object_Karta* kartaB, int numerA, int numerB,
                     std::string_view nazwaA, std::string_view nazwaB);
