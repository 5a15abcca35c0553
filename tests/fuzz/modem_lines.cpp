// The GSM modem's AT lines as they arrive (Object_Sim_Modem::Przyjmij, the
// receive half of its tick): buffering, noise at a line's start, cutting
// into lines and their interpretation. Input: a control byte for the cutting
// into reads (see Reads; bit 7 clear: the initialisation runs, as after the
// system's start), then the bytes the modem sends.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "devices/Object_Sim_Modem.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    Object_Sim_Modem modem(1);
    if ((data[0] & 0x80) == 0)
        modem.RozpocznijInicjalizacje();

    fuzz::Reads reads(data[0], std::span(data + 1, size - 1));
    while (!reads.done()) {
        modem.Przyjmij(reads.next());
        fuzz::check(modem.StanInicjalizacji >= 0 &&
                    modem.StanInicjalizacji <= Object_Sim_Modem::OstatniKrokInicjalizacji + 1);
        fuzz::check(modem.NumerDzwoniacego.size() <= Object_Sim_Modem::DlugoscNumeru);
        // The tick takes one key per call.
        if (reads.number() % 4 == 0)
            (void)modem.PobierzDtmf();
    }
    // The matcher on its own, with the line split at a byte of the input.
    const std::string_view all = fuzz::text(std::span(data + 1, size - 1));
    const std::size_t cut = all.empty() ? 0 : data[0] % (all.size() + 1);
    std::string_view argument;
    if (PasujeKomenda(all.substr(0, cut), all.substr(cut), &argument))
        fuzz::check(argument.size() <= cut);
    (void)NumerDoWybrania(all);
    return 0;
}
