#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

// What the targets share: cutting a byte stream into the reads a port or a
// socket would deliver, and stopping on a broken property.
namespace fuzz {

// A property the code under test must keep was broken: abort, so libFuzzer
// keeps the input as a crash.
inline void check(bool holds) {
    if (!holds)
        std::abort();
}

inline std::string_view text(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The stream's cutting comes from one control byte, so the stream itself
// stays whole for the fuzzer's insertions and dictionary words: control 0
// delivers the stream in one read; any other seeds a small generator whose
// read sizes run from 1 to (control & 0x3F) + 1 bytes. The generator's
// further numbers serve the target's other choices (a tick's length, a line
// error).
class Reads {
public:
    Reads(std::uint8_t control, std::span<const std::uint8_t> stream)
        : control_(control), rest_(stream), state_(0x9E3779B9u ^ (control * 0x01000193u) ^ 0x5bd1e995u) {}

    bool done() const { return rest_.empty(); }

    std::span<const std::uint8_t> next() {
        std::size_t n = rest_.size();
        if (control_ != 0)
            n = std::min<std::size_t>(n, 1 + number() % ((control_ & 0x3Fu) + 1));
        const auto read = rest_.first(n);
        rest_ = rest_.subspan(n);
        return read;
    }

    std::uint32_t number() {
        // xorshift32
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

    std::uint8_t control() const { return control_; }

private:
    std::uint8_t control_;
    std::span<const std::uint8_t> rest_;
    std::uint32_t state_;
};

} // namespace fuzz
