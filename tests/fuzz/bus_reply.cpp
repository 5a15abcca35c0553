// A board's reply on the I/O bus (bus::decodeReply). Input: one byte whose
// low two bits are the board kind (0-3), then the reply's bytes as the poll
// loop received them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/RamkaMagistrali.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const auto kind = static_cast<std::uint8_t>(data[0] & 0x03);
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);

    const bus::Reply reply = bus::decodeReply(kind, bytes);
    (void)bus::toString(reply.fault);
    if (!reply.valid()) {
        // A refused reply carries nothing, not even the inputs.
        fuzz::check(!reply.inputs && !reply.reading);
        return 0;
    }
    fuzz::check(bytes.size() >= 2 && bytes.size() <= bus::maxReplyLength);
    fuzz::check(reply.inputs.has_value() == (kind == bus::ioBoardKind));
    fuzz::check(!reply.reading || bytes.size() == bus::readingReplyLength);
    if (!reply.reading)
        return 0;
    fuzz::check(reply.reading->code.size() <= bus::maxCodeLength);

    // What was read can be sent again by the simulator's half of the codec,
    // and reads back the same.
    const auto again = bus::encodeReply(kind, reply.inputs.value_or(0), reply.reading);
    fuzz::check(again.has_value());
    const bus::Reply reread = bus::decodeReply(kind, again->bytes());
    fuzz::check(reread.valid() && reread.inputs == reply.inputs && reread.reading == reply.reading);
    return 0;
}
