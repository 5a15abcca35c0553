// The body of an encoder's health answer (OdpowiedzSprawna): JSON from the
// network, healthy only when its "status" is exactly "ok". Input: the body.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "devices/Object_Enkoder.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body = fuzz::text(std::span(data, size));
    if (OdpowiedzSprawna(body))
        fuzz::check(body.find("ok") != std::string_view::npos || body.find("\\u") != std::string_view::npos);
    return 0;
}
