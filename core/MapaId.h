#pragma once
#include <cstdint>
#include <vector>

class Object;

// The containers' map from id to element: open addressing in one array, so
// adding an element allocates nothing once the room is reserved, and a
// lookup reads one or two neighbouring entries instead of chasing a node.
class MapaId {
public:
    Object* Znajdz(int id) const {
        if (wpisy_.empty())
            return nullptr;
        for (std::size_t i = Miejsce(id);; i = (i + 1) & maska_) {
            const Wpis& w = wpisy_[i];
            if (!w.element)
                return nullptr;
            if (w.id == id)
                return w.element;
        }
    }
    bool Zawiera(int id) const { return Znajdz(id) != nullptr; }
    // Maps the id to the element, replacing what it mapped; true when the
    // id was not mapped before.
    bool Wstaw(int id, Object* element);
    void Usun(int id);
    std::size_t Rozmiar() const { return rozmiar_; }
    void Rezerwuj(std::size_t ilosc);
    void Wyczysc();

    template <class F>
    void DlaKazdego(F f) const {
        for (const Wpis& w : wpisy_)
            if (w.element)
                f(w.id, w.element);
    }

private:
    struct Wpis {
        int id = 0;
        Object* element = nullptr; // null: a free entry
    };

    // Ids come from serial keys, so a container's ids are mostly a run of
    // consecutive numbers: each block of eight keeps its order in one group
    // of eight entries (two cache lines), and the blocks are spread by
    // Fibonacci hashing, so a run never piles up into one long cluster that
    // a search for an absent id would have to walk.
    std::size_t Miejsce(int id) const {
        const auto u = static_cast<std::uint32_t>(id);
        const auto blok = static_cast<std::size_t>((static_cast<std::uint64_t>(u >> 3) * 0x9E3779B97F4A7C15ull) >>
                                                   przesuniecie_);
        return ((blok << 3) | (u & 7)) & maska_;
    }
    void Przebuduj(std::size_t pojemnosc);

    std::vector<Wpis> wpisy_;
    std::size_t maska_ = 0;
    int przesuniecie_ = 64;
    std::size_t rozmiar_ = 0;
};
