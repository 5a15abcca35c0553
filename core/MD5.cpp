#include "core/MD5.h"

#include <algorithm>
#include <cstring>
#include <iconv.h>

namespace {

// The working record of one digest. It holds a copy of the password's bytes
// in its block buffer, so it is cleared once the digest is out.
struct Md5State {
    std::uint64_t count = 0; // bytes digested so far
    std::uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    std::uint8_t buffer[64] = {};
};

constexpr std::uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

std::uint32_t RotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void Transform(std::uint32_t state[4], const std::uint8_t block[64]) {
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = std::uint32_t(block[4 * i]) | std::uint32_t(block[4 * i + 1]) << 8 |
               std::uint32_t(block[4 * i + 2]) << 16 | std::uint32_t(block[4 * i + 3]) << 24;

    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16;
        std::uint32_t f;
        int g;
        switch (round) {
        case 0: f = (b & c) | (~b & d); g = i; break;
        case 1: f = (d & b) | (~d & c); g = (5 * i + 1) % 16; break;
        case 2: f = b ^ c ^ d; g = (3 * i + 5) % 16; break;
        default: f = c ^ (b | ~d); g = (7 * i) % 16; break;
        }
        const std::uint32_t next = b + RotateLeft(a + f + kSines[i] + m[g], kShifts[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    explicit_bzero(m, sizeof m);
}

void Update(Md5State& s, const std::uint8_t* data, std::size_t length) {
    std::size_t used = s.count % 64;
    s.count += length;
    while (length > 0) {
        const std::size_t take = std::min(length, 64 - used);
        std::memcpy(s.buffer + used, data, take);
        used += take;
        data += take;
        length -= take;
        if (used == 64) {
            Transform(s.state, s.buffer);
            used = 0;
        }
    }
}

SkrotMD5 Finish(Md5State& s) {
    const std::uint64_t bits = s.count * 8;
    static const std::uint8_t padding[64] = {0x80};
    const std::size_t used = s.count % 64;
    Update(s, padding, used < 56 ? 56 - used : 120 - used);
    std::uint8_t length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    Update(s, length, sizeof length);

    SkrotMD5 digest;
    for (int i = 0; i < 16; ++i)
        digest[i] = static_cast<std::uint8_t>(s.state[i / 4] >> (8 * (i % 4)));
    return digest;
}

} // namespace

SkrotMD5 ObliczMD5(const void* dane, std::size_t dlugosc) {
    Md5State s;
    Update(s, static_cast<const std::uint8_t*>(dane), dlugosc);
    const SkrotMD5 digest = Finish(s);
    explicit_bzero(&s, sizeof s);
    return digest;
}

std::string SkrotNaTekst(const SkrotMD5& skrot) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(32);
    for (const std::uint8_t b : skrot) {
        text += digits[b >> 4];
        text += digits[b & 0xF];
    }
    return text;
}

std::optional<std::string> Utf8NaCp1250(std::string_view tekst) {
    // No //TRANSLIT: a password letter silently replaced would digest to a
    // different password.
    const iconv_t cd = iconv_open("WINDOWS-1250", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;

    // Windows-1250 is one byte per character, never longer than its UTF-8 form.
    std::string out(tekst.size(), '\0');
    char* in = const_cast<char*>(tekst.data());
    std::size_t inLeft = tekst.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    // A non-zero count of irreversible conversions is a substitution too.
    if (rc != 0 || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::string SkrotHasla(std::string_view haslo) {
    std::optional<std::string> bytes = Utf8NaCp1250(haslo);
    const std::string_view digested = bytes ? std::string_view(*bytes) : haslo;
    const std::string text = SkrotNaTekst(ObliczMD5(digested.data(), digested.size()));
    if (bytes)
        explicit_bzero(bytes->data(), bytes->size());
    return text;
}
