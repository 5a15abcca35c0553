#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace platform::db {

// Field names are found whatever their case, as the server folds unquoted
// names. The lookup folds on the fly, so reading a field by name in a loop
// over many rows builds no lowered copy of the name each time.
struct NoCaseHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        std::size_t hash = 14695981039346656037ull;
        for (char c : text)
            hash = (hash ^ static_cast<unsigned char>(fold(c))) * 1099511628211ull;
        return hash;
    }
    static char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
};

struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (NoCaseHash::fold(a[i]) != NoCaseHash::fold(b[i]))
                return false;
        return true;
    }
};

template <class T>
using NoCaseMap = std::unordered_map<std::string, T, NoCaseHash, NoCaseEqual>;

} // namespace platform::db
