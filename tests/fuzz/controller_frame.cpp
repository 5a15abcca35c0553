// The intercom controllers' 26-byte frame (devices/RamkaCentrali): where a
// frame starts in a received stream, its pairs, and its values. Input: the
// received bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/RamkaCentrali.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);

    const std::size_t start = centrala::syncStart(bytes);
    fuzz::check(start <= bytes.size());
    const auto rest = bytes.subspan(start);
    // From the start found, a run of sync bytes (or the stream's end).
    fuzz::check(rest.empty() || centrala::isSyncByte(rest[0]));

    const bool pairs = centrala::pairsValid(rest);
    if (pairs)
        (void)centrala::frameAddress(rest);
    const auto decoded = centrala::decodeFrame(rest);
    fuzz::check(!decoded || pairs);
    if (decoded) {
        // The frame is exactly what its values encode to.
        const centrala::Frame again = centrala::encodeFrame(decoded->values, decoded->sync);
        fuzz::check(std::equal(again.begin(), again.end(), rest.begin()));
        fuzz::check(decoded->values.address == centrala::frameAddress(rest));
    }
    // The decoder takes any bytes, from any position.
    (void)centrala::decodeFrame(bytes);
    return 0;
}
