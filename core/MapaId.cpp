#include "core/MapaId.h"

#include <algorithm>
#include <bit>

bool MapaId::Wstaw(int id, Object* element) {
    // At most half full, so a search ends after a few entries.
    if ((rozmiar_ + 1) * 2 > wpisy_.size())
        Przebuduj(std::max<std::size_t>(16, wpisy_.size() * 2));
    std::size_t i = Miejsce(id);
    for (; wpisy_[i].element; i = (i + 1) & maska_) {
        if (wpisy_[i].id == id) {
            wpisy_[i].element = element;
            return false;
        }
    }
    wpisy_[i] = {id, element};
    ++rozmiar_;
    return true;
}

// The entries after the freed one that would no longer be found past the
// gap move back into it, so no search ever needs a tombstone.
void MapaId::Usun(int id) {
    if (wpisy_.empty())
        return;
    std::size_t i = Miejsce(id);
    for (; wpisy_[i].element; i = (i + 1) & maska_)
        if (wpisy_[i].id == id)
            break;
    if (!wpisy_[i].element)
        return;
    for (std::size_t j = (i + 1) & maska_; wpisy_[j].element; j = (j + 1) & maska_) {
        const std::size_t k = Miejsce(wpisy_[j].id);
        // The entry at j stays when its home lies cyclically in (i, j].
        const bool zostaje = i <= j ? (i < k && k <= j) : (i < k || k <= j);
        if (!zostaje) {
            wpisy_[i] = wpisy_[j];
            i = j;
        }
    }
    wpisy_[i] = Wpis{};
    --rozmiar_;
}

void MapaId::Rezerwuj(std::size_t ilosc) {
    const std::size_t pojemnosc = std::bit_ceil(std::max<std::size_t>(16, ilosc * 2));
    if (pojemnosc > wpisy_.size())
        Przebuduj(pojemnosc);
}

// The room stays, as a container emptied is usually filled again.
void MapaId::Wyczysc() {
    std::fill(wpisy_.begin(), wpisy_.end(), Wpis{});
    rozmiar_ = 0;
}

void MapaId::Przebuduj(std::size_t pojemnosc) {
    std::vector<Wpis> stare;
    stare.swap(wpisy_);
    wpisy_.assign(pojemnosc, Wpis{});
    maska_ = pojemnosc - 1;
    // The block's hash picks one of the table's groups of eight.
    przesuniecie_ = 64 - (std::countr_zero(pojemnosc) - 3);
    rozmiar_ = 0;
    for (const Wpis& w : stare)
        if (w.element)
            Wstaw(w.id, w.element);
}
