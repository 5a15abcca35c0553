#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// A text field of a fixed number of characters: a longer text is cut to that
// many characters on assignment, never inside a UTF-8 character.
template <std::size_t N>
class TekstStaly {
public:
    TekstStaly() = default;
    TekstStaly(std::string_view tekst) { *this = tekst; }
    TekstStaly& operator=(std::string_view tekst) {
        tekst_.assign(tekst.substr(0, DlugoscZnakow(tekst, N)));
        return *this;
    }
    TekstStaly& operator=(const std::string& tekst) { return *this = std::string_view(tekst); }
    TekstStaly& operator=(const char* tekst) { return *this = std::string_view(tekst); }

    operator std::string_view() const { return tekst_; }
    const std::string& str() const { return tekst_; }
    const char* c_str() const { return tekst_.c_str(); }
    bool empty() const { return tekst_.empty(); }
    bool operator==(std::string_view inny) const { return tekst_ == inny; }

    static constexpr std::size_t Pojemnosc = N;

private:
    // Bytes of the first n characters of the text.
    static std::size_t DlugoscZnakow(std::string_view tekst, std::size_t n) {
        std::size_t bajty = 0;
        for (std::size_t znaki = 0; bajty < tekst.size() && znaki < n; ++znaki) {
            ++bajty;
            while (bajty < tekst.size() && (static_cast<unsigned char>(tekst[bajty]) & 0xC0) == 0x80)
                ++bajty;
        }
        return bajty;
    }
    std::string tekst_;
};
