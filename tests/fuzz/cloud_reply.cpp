// The body of the cloud service's answer to a facility call
// (TDMCloud::CzytajOdpowiedz): JSON from the network, accepted only as an
// object without an "error". Input: the body.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "cloud/TDMCloud.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string blad;
    const auto odpowiedz = TDMCloud::CzytajOdpowiedz(fuzz::text(std::span(data, size)), blad);
    // Refused with a reason, or accepted as an object.
    fuzz::check(odpowiedz ? odpowiedz->is_object() : !blad.empty());
    if (odpowiedz)
        (void)odpowiedz->dump();
    return 0;
}
