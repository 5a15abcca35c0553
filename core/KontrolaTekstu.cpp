#include "core/KontrolaTekstu.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>

namespace {

bool Cyfra(char c) {
    return c >= '0' && c <= '9';
}

bool Litera(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string_view Przytnij(std::string_view tekst) {
    const auto bialy = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!tekst.empty() && bialy(tekst.front()))
        tekst.remove_prefix(1);
    while (!tekst.empty() && bialy(tekst.back()))
        tekst.remove_suffix(1);
    return tekst;
}

struct KodWzorca {
    void operator()(pcre2_code* kod) const { pcre2_code_free(kod); }
};

// The character set of the name is \w, '-' and '.'; the older pattern wrote
// it as [\w-\.], a range PCRE2 refuses. DOLLAR_ENDONLY keeps a trailing line
// end out of an address.
pcre2_code* WzorzecEmail() {
    static const std::unique_ptr<pcre2_code, KodWzorca> wzorzec = [] {
        static constexpr char zrodlo[] = R"(^[\w.-]+@([\w-]+\.)+[\w-]{2,4}$)";
        int blad = 0;
        PCRE2_SIZE miejsce = 0;
        return std::unique_ptr<pcre2_code, KodWzorca>(pcre2_compile(
            reinterpret_cast<PCRE2_SPTR>(zrodlo), PCRE2_ZERO_TERMINATED, PCRE2_DOLLAR_ENDONLY, &blad, &miejsce,
            nullptr));
    }();
    return wzorzec.get();
}

template <typename Warunek>
bool SprawdzListe(const std::vector<std::string>& linie, std::vector<std::string>& lista, Warunek dozwolony) {
    bool wszystkie = true;
    for (const std::string& linia : linie) {
        const std::string_view tekst = Przytnij(linia);
        if (tekst.empty())
            continue;
        if (std::all_of(tekst.begin(), tekst.end(), dozwolony))
            lista.emplace_back(tekst);
        else
            wszystkie = false;
    }
    return wszystkie;
}

} // namespace

void PodzielTekst(std::string_view tekst, char separator, std::vector<std::string>& lista, bool bezCudzyslowow) {
    lista.clear();
    std::string pole;
    bool wCudzyslowie = false;
    for (std::size_t i = 0; i < tekst.size(); ++i) {
        const char c = tekst[i];
        if (c == '"' && i + 1 < tekst.size() && tekst[i + 1] == '"') {
            pole += bezCudzyslowow ? "\"" : "\"\"";
            ++i;
        } else if (c == '"') {
            wCudzyslowie = !wCudzyslowie;
            if (!bezCudzyslowow)
                pole += c;
        } else if (c == separator && !wCudzyslowie) {
            lista.push_back(std::move(pole));
            pole.clear();
        } else {
            pole += c;
        }
    }
    if (!pole.empty())
        lista.push_back(std::move(pole));
}

bool SprawdzEmail(std::string_view tekst) {
    pcre2_code* wzorzec = WzorzecEmail();
    if (wzorzec == nullptr)
        return false;
    pcre2_match_data* dane = pcre2_match_data_create_from_pattern(wzorzec, nullptr);
    if (dane == nullptr)
        return false;
    const int wynik =
        pcre2_match(wzorzec, reinterpret_cast<PCRE2_SPTR>(tekst.data()), tekst.size(), 0, 0, dane, nullptr);
    pcre2_match_data_free(dane);
    return wynik >= 0;
}

bool SprawdzCyfry(std::string_view tekst) {
    int cyfry = 0;
    int minusy = 0;
    for (char c : tekst) {
        if (Cyfra(c))
            ++cyfry;
        else if (c == '-')
            ++minusy;
        else
            return false;
    }
    return cyfry > 0 && minusy <= 1;
}

std::string UsunZnakiZPoczatku(std::string_view tekst, std::string_view znaki) {
    const std::size_t poczatek = tekst.find_first_not_of(znaki);
    return poczatek == std::string_view::npos ? std::string() : std::string(tekst.substr(poczatek));
}

int TekstNaLiczbeWZakresie(std::string_view tekst, int minimum, int maksimum, int domyslna) {
    const std::size_t znak = !tekst.empty() && (tekst.front() == '+' || tekst.front() == '-') ? 1 : 0;
    if (tekst.size() <= znak || !Cyfra(tekst[znak]))
        return domyslna;
    if (tekst.front() == '+')
        tekst.remove_prefix(1);
    int wartosc = 0;
    const auto [koniec, blad] = std::from_chars(tekst.data(), tekst.data() + tekst.size(), wartosc);
    if (blad != std::errc() || koniec != tekst.data() + tekst.size())
        return domyslna;
    return wartosc < minimum || wartosc > maksimum ? domyslna : wartosc;
}

std::string NumerNaTekst(int n) {
    return n < 10000 ? std::to_string(n) : std::string();
}

std::string NumerNaTekst04(int n) {
    if (n >= 10000)
        return {};
    char tekst[16];
    std::snprintf(tekst, sizeof tekst, "%04d", n);
    return tekst;
}

bool SprawdzIPv4(std::string_view tekst) {
    int czesci = 0;
    std::size_t poczatek = 0;
    while (true) {
        const std::size_t kropka = tekst.find('.', poczatek);
        const std::string_view czesc =
            tekst.substr(poczatek, kropka == std::string_view::npos ? std::string_view::npos : kropka - poczatek);
        if (czesc.empty() || czesc.size() > 3 || !std::all_of(czesc.begin(), czesc.end(), Cyfra))
            return false;
        int wartosc = 0;
        std::from_chars(czesc.data(), czesc.data() + czesc.size(), wartosc);
        if (wartosc > 255 || ++czesci > 4)
            return false;
        if (kropka == std::string_view::npos)
            break;
        poczatek = kropka + 1;
    }
    return czesci == 4;
}

bool SprawdzListeAlfanumeryczna(const std::vector<std::string>& linie, std::vector<std::string>& lista) {
    return SprawdzListe(linie, lista, [](char c) { return Litera(c) || Cyfra(c); });
}

bool SprawdzListeCyfr(const std::vector<std::string>& linie, std::vector<std::string>& lista) {
    return SprawdzListe(linie, lista, Cyfra);
}
