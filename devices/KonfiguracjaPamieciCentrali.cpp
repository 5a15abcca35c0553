#include "devices/KonfiguracjaPamieciCentrali.h"

#include <stdexcept>
#include <string>

std::uint8_t PierwszyBajtId(std::uint32_t id) {
    for (int i = 0; i < 4; ++i) {
        const auto bajt = static_cast<std::uint8_t>(id >> (8 * i));
        if (bajt != 0xFF)
            return bajt;
    }
    return 0xFF;
}

KonfiguracjaPamieciCentrali::KonfiguracjaPamieciCentrali(std::uint8_t typ, std::uint8_t wersja,
                                                         std::uint16_t numerSeryjny)
    : Typ(typ), Wersja(wersja), NumerSeryjny(numerSeryjny) {
    if (typ == 1 || typ == 2)
        Mapa = std::make_unique<MapaPamieciCentraliStd>(wersja);
    else if (typ == 3 || typ == 4)
        Mapa = std::make_unique<MapaPamieciCentraliExt>(typ, wersja);
}

int KonfiguracjaPamieciCentrali::Pojemnosc(std::uint8_t typ, std::uint8_t wersja) {
    if (typ == 1 || typ == 2) {
        if (wersja == 0)
            return 0;
        if (wersja < 80)
            return 1000;
        if (wersja < 96)
            return 2000;
        if (wersja < 112)
            return 6000;
        if (wersja == 112)
            return 8000;
        if (wersja == 113)
            return 15000;
        return 0;
    }
    if (typ == 3 || typ == 4) {
        if (wersja == 1)
            return 1024;
        // Type 4 keeps four slot tables where type 3 keeps two; 12288 slots
        // of them would run past the 64 KB memory. 7680 is what its regions
        // hold (0x1000 + 7680 * (4 + 2 + 1 + 1) = 0x10000).
        if (wersja == 18)
            return typ == 3 ? 12288 : 7680;
        return 0;
    }
    return 0;
}

std::uint32_t KonfiguracjaPamieciCentrali::IdWPamieci(std::uint8_t typ, std::uint32_t id) {
    if (typ == 1 || typ == 2)
        return id & 0xFFFF;
    if (typ == 3 || typ == 4)
        return id;
    return 0;
}

bool KonfiguracjaPamieciCentrali::OznaczWyslane(std::size_t offset) {
    const std::size_t poczatek = Mapa ? Mapa->PoczatekSlotow() : 0;
    const std::size_t slowo = (offset >= poczatek ? offset - poczatek : offset) / 4;
    if (slowo >= liczbaSlow)
        throw std::out_of_range("OznaczWyslane: offset " + std::to_string(offset) + " is outside the slot area");
    if (Wyslane.test(slowo))
        return false;
    Wyslane.set(slowo);
    return true;
}
