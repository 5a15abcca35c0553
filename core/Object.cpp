#include "core/Object.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace {

// Guards the few element fields that other threads share with the main
// thread (encoder tokens and health flags); never held while walking.
std::recursive_mutex& SekcjaKrytyczna() {
    static std::recursive_mutex sekcja;
    return sekcja;
}

} // namespace

void Object::Zablokuj() { Objects::Zablokuj(); }
void Object::Odblokuj() { Objects::Odblokuj(); }

void Objects::Zablokuj() { SekcjaKrytyczna().lock(); }
void Objects::Odblokuj() { SekcjaKrytyczna().unlock(); }

Objects::~Objects() { Wyczysc(); }

Object* Objects::Utworz(int id) { return new Object(id); }

int Objects::Porownaj(int, const Object* a, const Object* b) const {
    return PorownajLiczby(a->Id(), b->Id());
}

Object* Objects::Nowy(int id) {
    Object* element = Utworz(id);
    element->wlasciciel_ = this;
    Dodaj(element);
    return element;
}

bool Objects::Dodaj(Object* element) {
    ++zmiany_;
    elementy_.push_back(element);
    auto [it, nowy] = mapa_.insert_or_assign(element->Id(), element);
    (void)it;
    if (nowy)
        ++element->czlonkostwa_;
    PoDodaniu(element);
    return true;
}

bool Objects::DodajJesliBrak(Object* element) {
    if (mapa_.contains(element->Id()))
        return false;
    return Dodaj(element);
}

int Objects::IndeksId(int id) const {
    for (std::size_t i = 0; i < elementy_.size(); ++i)
        if (elementy_[i]->Id() == id)
            return static_cast<int>(i);
    return -1;
}

void Objects::UsunZWektora(std::size_t pozycja) {
    ++zmiany_;
    elementy_.erase(elementy_.begin() + static_cast<std::ptrdiff_t>(pozycja));
    // The cursor keeps its element; when that was the erased one it now
    // stands on the element that followed.
    if (pozycja < kursor_)
        --kursor_;
}

// Erases the map entry of the element's id only when it maps this very
// element: a duplicate id must not take its twin's entry with it.
void Objects::Odmapuj(Object* element) {
    auto it = mapa_.find(element->Id());
    if (it != mapa_.end() && it->second == element) {
        ++zmiany_;
        mapa_.erase(it);
        --element->czlonkostwa_;
    }
}

// Only the owner destroys; an element borrowed from another container is
// merely let go.
void Objects::Zniszcz(Object* element) {
    if (element->wlasciciel_ == this)
        delete element;
}

void Objects::Usun(int id) {
    Object* element = Znajdz(id);
    if (!element)
        return;
    auto it = std::find(elementy_.begin(), elementy_.end(), element);
    if (it != elementy_.end())
        UsunZWektora(static_cast<std::size_t>(it - elementy_.begin()));
    Odmapuj(element);
    Zniszcz(element);
}

bool Objects::UsunNaPozycji(int pozycja) {
    if (pozycja < 0 || static_cast<std::size_t>(pozycja) >= elementy_.size())
        return false;
    Object* element = elementy_[pozycja];
    UsunZWektora(static_cast<std::size_t>(pozycja));
    Odmapuj(element);
    Zniszcz(element);
    return true;
}

Object* Objects::UsunBiezacy() {
    if (kursor_ >= elementy_.size())
        return nullptr;
    Object* element = elementy_[kursor_];
    UsunZWektora(kursor_);
    Odmapuj(element);
    Zniszcz(element);
    return Biezacy();
}

Object* Objects::Odlacz(Object* element) {
    PrzedOdlaczeniem(element);
    Odmapuj(element);
    auto it = std::find(elementy_.begin(), elementy_.end(), element);
    if (it != elementy_.end())
        UsunZWektora(static_cast<std::size_t>(it - elementy_.begin()));
    return element;
}

Object* Objects::OdlaczId(int id) {
    Object* element = Znajdz(id);
    return element ? Odlacz(element) : nullptr;
}

void Objects::Wyczysc() {
    std::vector<Object*> elementy;
    elementy.swap(elementy_);
    Zapomnij();
    for (Object* element : elementy)
        Zniszcz(element);
}

void Objects::Zapomnij() {
    for (auto& [id, element] : mapa_)
        --element->czlonkostwa_;
    mapa_.clear();
    elementy_.clear();
    kursor_ = 0;
    ++zmiany_;
}

void Objects::DlaKazdego() {
    std::vector<Object*> wgId;
    wgId.reserve(mapa_.size());
    for (auto& [id, element] : mapa_)
        wgId.push_back(element);
    std::sort(wgId.begin(), wgId.end(), [](const Object* a, const Object* b) { return a->Id() < b->Id(); });
    for (Object* element : wgId)
        element->Odwiedz();
}

void Objects::Sortuj(int rodzaj) {
    rodzajSortowania_ = rodzaj;
    const int n = static_cast<int>(elementy_.size());
    if (n < 2)
        return;
    ++zmiany_;
    // The shuffle makes equal elements end in no particular order, which the
    // compare slots answer by ending their keys with a unique one.
    for (int i = 0; i < n; ++i)
        std::swap(elementy_[i], elementy_[std::rand() % n]);
    Quicksort(0, n - 1, rodzaj);
}

// Three-way quicksort: elements equal to the pivot gather in the middle, so
// many equal keys cost no quadratic time, and recursing into the smaller part
// bounds the depth. Every index stays within lo..hi whatever the compare
// answers, so an inconsistent compare cannot read outside the vector.
namespace {
constexpr int Przedpobranie = 16;
}

void Objects::Quicksort(int lo, int hi, int rodzaj) {
    while (lo < hi) {
        Object* pivot = elementy_[lo];
        int lt = lo, i = lo + 1, gt = hi;
        while (i <= gt) {
            // After the shuffle the elements sit in memory in no order the
            // walk follows; fetching the ones a few steps ahead hides most of
            // the memory wait of a large sort.
            if (i + Przedpobranie <= gt) {
                __builtin_prefetch(elementy_[i + Przedpobranie]);
                __builtin_prefetch(elementy_[gt - Przedpobranie]);
            }
            const int c = Porownaj(rodzaj, elementy_[i], pivot);
            if (c < 0)
                std::swap(elementy_[lt++], elementy_[i++]);
            else if (c > 0)
                std::swap(elementy_[i], elementy_[gt--]);
            else
                ++i;
        }
        if (lt - lo < hi - gt) {
            Quicksort(lo, lt - 1, rodzaj);
            lo = gt + 1;
        } else {
            Quicksort(gt + 1, hi, rodzaj);
            hi = lt - 1;
        }
    }
}
