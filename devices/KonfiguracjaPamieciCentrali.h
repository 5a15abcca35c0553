#pragma once
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "devices/PamiecCentrali.h"

// The lowest byte of an identifier, counted from the least significant end,
// that is not 0xFF; 0xFF when all four are. Ext controllers keep it beside the
// slot so they can skip slots without reading the whole identifier.
std::uint8_t PierwszyBajtId(std::uint32_t id);

// One controller's memory image, and which of its 4-byte words a programming
// pass has already sent.
class KonfiguracjaPamieciCentrali {
public:
    // One bit per 4-byte word of the slot area: 15360 * 4 = 61440 bytes.
    static constexpr std::size_t liczbaSlow = 15360;

    KonfiguracjaPamieciCentrali(std::uint8_t typ, std::uint8_t wersja, std::uint16_t numerSeryjny);

    // Slots of a controller of this type and version; 0 when unknown.
    static int Pojemnosc(std::uint8_t typ, std::uint8_t wersja);
    // What a slot of this controller type stores of an identifier.
    static std::uint32_t IdWPamieci(std::uint8_t typ, std::uint32_t id);

    void WyczyscWyslane() { Wyslane.reset(); }
    // False when the word holding the offset was sent already in this pass;
    // else marks it. Neighbouring slots share words, so a pass asks before
    // each write and sends a shared word once. Throws std::out_of_range for an
    // offset whose word lies outside the set (no layout produces one).
    bool OznaczWyslane(std::size_t offset);

    std::uint8_t Typ;
    std::uint8_t Wersja;
    std::uint16_t NumerSeryjny;
    // Null for a type without a layout.
    std::unique_ptr<MapaPamieciCentraliInterface> Mapa;
    std::bitset<liczbaSlow> Wyslane;
};
