#include "core/Object.h"

#include <cstdint>
#include <cstring>

// Natural order of names: digit runs compare as numbers, everything else as
// case-insensitive text in which the Polish letters follow their base letter
// (Ą after A, Ł after L, Ż after Ź).
namespace {

bool Cyfra(char c) { return c >= '0' && c <= '9'; }

// Length of the UTF-8 character at the position; a stray byte counts as one.
std::size_t DlugoscZnaku(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
    if (i + n > s.size())
        return 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 1;
    return n;
}

char32_t Dekoduj(std::string_view s, std::size_t i, std::size_t n) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (n == 1)
        return b < 0x80 ? b : 0xDC00 + b; // a stray byte keeps an order of its own
    char32_t cp = b & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return cp;
}

// Base letter of the Latin letters with diacritics of Latin-1 and
// Latin Extended-A, lower case; 0 for anything else.
char BazaLitery(char32_t cp) {
    if (cp >= 0xC0 && cp <= 0xFF && cp != 0xD7 && cp != 0xF7) {
        static const char latin1[] = "aaaaaaaceeeeiiiidnooooo_ouuuuyts"; // U+00C0..U+00DF
        const char baza = latin1[(cp & 0x1F)];
        return cp == 0xFF ? 'y' : baza;
    }
    struct Zakres { char32_t od, doo; char baza; };
    static const Zakres zakresy[] = {
        {0x100, 0x105, 'a'}, {0x106, 0x10D, 'c'}, {0x10E, 0x111, 'd'}, {0x112, 0x11B, 'e'},
        {0x11C, 0x123, 'g'}, {0x124, 0x127, 'h'}, {0x128, 0x133, 'i'}, {0x134, 0x135, 'j'},
        {0x136, 0x138, 'k'}, {0x139, 0x142, 'l'}, {0x143, 0x14B, 'n'}, {0x14C, 0x153, 'o'},
        {0x154, 0x159, 'r'}, {0x15A, 0x161, 's'}, {0x162, 0x167, 't'}, {0x168, 0x173, 'u'},
        {0x174, 0x175, 'w'}, {0x176, 0x178, 'y'}, {0x179, 0x17E, 'z'}, {0x17F, 0x17F, 's'},
    };
    for (const auto& z : zakresy)
        if (cp >= z.od && cp <= z.doo)
            return z.baza;
    return 0;
}

// Rank of a Polish letter after its base letter (ą, ć, ę, ł, ń, ó, ś, ź, ż).
int RangaPolska(char32_t cp) {
    switch (cp) {
    case 0x104: case 0x105: case 0x106: case 0x107: case 0x118: case 0x119:
    case 0x141: case 0x142: case 0x143: case 0x144: case 0xD3: case 0xF3:
    case 0x15A: case 0x15B: case 0x179: case 0x17A:
        return 4;
    case 0x17B: case 0x17C:
        return 5;
    default:
        return 0;
    }
}

// Sort weight of one character: other signs, then digits, then letters in
// the Polish alphabet's order, then everything else by code point.
std::uint32_t WagaAscii(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        c += 'a' - 'A';
    if (c >= 'a' && c <= 'z')
        return 0x1000 + (c - 'a') * 8;
    if (c >= '0' && c <= '9')
        return 0x800 + (c - '0');
    return c;
}

std::uint32_t Waga(char32_t cp) {
    if (cp < 0x80)
        return WagaAscii(static_cast<unsigned char>(cp));
    if (const char baza = BazaLitery(cp); baza && baza != '_') {
        const int ranga = RangaPolska(cp);
        return 0x1000 + (baza - 'a') * 8 + (ranga ? ranga : 1);
    }
    return 0x2000 + cp;
}

int PorownajBezWielkosciLiter(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ba = static_cast<unsigned char>(a[i]), bb = static_cast<unsigned char>(b[j]);
        std::size_t la = 1, lb = 1;
        std::uint32_t wa, wb;
        if ((ba | bb) < 0x80) {
            wa = WagaAscii(ba);
            wb = WagaAscii(bb);
        } else {
            la = DlugoscZnaku(a, i);
            lb = DlugoscZnaku(b, j);
            wa = Waga(Dekoduj(a, i, la));
            wb = Waga(Dekoduj(b, j, lb));
        }
        if (wa != wb)
            return wa < wb ? -1 : 1;
        i += la;
        j += lb;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

// The digit runs at i and j as numbers, leading zeros ignored: a longer run
// is the larger number, runs of equal length differ at their first
// differing digit, so runs of any length compare without overflow. Moves
// both positions past their runs.
int PorownajCyfry(std::string_view a, std::size_t& i, std::string_view b, std::size_t& j) {
    while (i < a.size() && a[i] == '0')
        ++i;
    while (j < b.size() && b[j] == '0')
        ++j;
    int pierwszaRoznica = 0;
    for (;;) {
        const bool ca = i < a.size() && Cyfra(a[i]), cb = j < b.size() && Cyfra(b[j]);
        if (!ca || !cb)
            return ca ? 1 : cb ? -1 : pierwszaRoznica;
        if (!pierwszaRoznica && a[i] != b[j])
            pierwszaRoznica = a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
}

// Whether eight bytes are all ASCII and none of them a digit: such a block,
// equal in both names, is passed over exactly as byte by byte.
bool BezCyfrIZnakowWielobajtowych(std::uint64_t slowo) {
    constexpr std::uint64_t jedynki = 0x0101010101010101ull, wysokie = 0x8080808080808080ull;
    const std::uint64_t odZera = slowo ^ (jedynki * '0'); // digits become bytes 0..9
    const bool cyfra = ((odZera - jedynki * 10) & ~odZera & wysokie) != 0;
    return (slowo & wysokie) == 0 && !cyfra;
}

std::uint64_t Slowo(const char* p) {
    std::uint64_t slowo;
    std::memcpy(&slowo, p, sizeof slowo);
    return slowo;
}

} // namespace

// Names are compared many times over in every sort, so the common cases are
// settled here without decoding: digit runs, equal ASCII bytes and a first
// difference between ASCII characters that are not case variants of each
// other. Everything else goes to the full case-insensitive comparison.
int Objects::PorownajNaturalnie(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i + 8 <= a.size() && j + 8 <= b.size()) {
        const std::uint64_t sa = Slowo(a.data() + i);
        if (sa != Slowo(b.data() + j) || !BezCyfrIZnakowWielobajtowych(sa))
            break;
        i += 8;
        j += 8;
    }
    while (i < a.size() && j < b.size()) {
        const char ca = a[i], cb = b[j];
        if (Cyfra(ca) && Cyfra(cb)) {
            if (const int c = PorownajCyfry(a, i, b, j))
                return c;
            continue;
        }
        if (ca == cb) {
            if (static_cast<unsigned char>(ca) < 0x80) {
                ++i;
                ++j;
                continue;
            }
            const std::size_t la = DlugoscZnaku(a, i), lb = DlugoscZnaku(b, j);
            if (a.substr(i, la) == b.substr(j, lb)) {
                i += la;
                j += lb;
                continue;
            }
            break;
        }
        if ((static_cast<unsigned char>(ca) | static_cast<unsigned char>(cb)) < 0x80) {
            const std::uint32_t wa = WagaAscii(static_cast<unsigned char>(ca));
            const std::uint32_t wb = WagaAscii(static_cast<unsigned char>(cb));
            if (wa != wb)
                return wa < wb ? -1 : 1;
        }
        break;
    }
    return PorownajBezWielkosciLiter(a.substr(i), b.substr(j));
}
