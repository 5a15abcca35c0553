#include "core/Object.h"

#include <cstdint>

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
std::uint32_t Waga(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z')
        cp += 'a' - 'A';
    if (cp >= 'a' && cp <= 'z')
        return 0x1000 + (cp - 'a') * 8;
    if (cp >= '0' && cp <= '9')
        return 0x800 + (cp - '0');
    if (cp < 0x80)
        return cp;
    if (const char baza = BazaLitery(cp); baza && baza != '_') {
        const int ranga = RangaPolska(cp);
        return 0x1000 + (baza - 'a') * 8 + (ranga ? ranga : 1);
    }
    return 0x2000 + cp;
}

int PorownajBezWielkosciLiter(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const std::size_t la = DlugoscZnaku(a, i), lb = DlugoscZnaku(b, j);
        const std::uint32_t wa = Waga(Dekoduj(a, i, la)), wb = Waga(Dekoduj(b, j, lb));
        if (wa != wb)
            return wa < wb ? -1 : 1;
        i += la;
        j += lb;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

// A digit run without its leading zeros; runs of any length compare
// correctly as text of equal length.
std::string_view Liczba(std::string_view s, std::size_t& i) {
    while (i < s.size() && s[i] == '0')
        ++i;
    const std::size_t od = i;
    while (i < s.size() && Cyfra(s[i]))
        ++i;
    return s.substr(od, i - od);
}

} // namespace

int Objects::PorownajNaturalnie(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    for (;;) {
        if (i < a.size() && j < b.size() && Cyfra(a[i]) && Cyfra(b[j])) {
            const std::string_view na = Liczba(a, i), nb = Liczba(b, j);
            if (na.size() != nb.size())
                return na.size() < nb.size() ? -1 : 1;
            if (const int c = na.compare(nb))
                return c < 0 ? -1 : 1;
            continue;
        }
        if (i < a.size() && j < b.size()) {
            // Equal ASCII characters, the common case, need no decoding.
            if (a[i] == b[j] && static_cast<unsigned char>(a[i]) < 0x80) {
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
        }
        return PorownajBezWielkosciLiter(a.substr(i), b.substr(j));
    }
}
