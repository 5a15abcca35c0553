#include "core/Object.h"

#include <algorithm>
#include <cstdint>
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
    if (mapa_.Wstaw(element->Id(), element))
        ++element->czlonkostwa_;
    PoDodaniu(element);
    return true;
}

bool Objects::DodajJesliBrak(Object* element) {
    if (mapa_.Zawiera(element->Id()))
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
    if (mapa_.Znajdz(element->Id()) == element) {
        ++zmiany_;
        mapa_.Usun(element->Id());
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
    mapa_.DlaKazdego([](int, Object* element) { --element->czlonkostwa_; });
    mapa_.Wyczysc();
    elementy_.clear();
    kursor_ = 0;
    ++zmiany_;
}

void Objects::DlaKazdego() {
    std::vector<Object*> wgId;
    wgId.reserve(mapa_.Rozmiar());
    mapa_.DlaKazdego([&](int, Object* element) { wgId.push_back(element); });
    std::sort(wgId.begin(), wgId.end(), [](const Object* a, const Object* b) { return a->Id() < b->Id(); });
    for (Object* element : wgId)
        element->Odwiedz();
}

namespace {

// Below this many elements insertion sort is cheaper than partitioning, and
// the range is in the cache from the partition that made it.
constexpr int MalyZakres = 16;
constexpr int Przedpobranie = 16;

// After the shuffle the elements sit in memory in no order the walk follows;
// fetching the ones a few steps ahead hides most of the memory wait of a
// large sort. The compare slots read text keys held in the element itself
// (a resident's surname lies some hundred bytes in), so the first three
// lines of the element are fetched.
inline void Przedpobierz(const Object* element) {
    const char* p = reinterpret_cast<const char*>(element);
    __builtin_prefetch(p);
    __builtin_prefetch(p + 64);
    __builtin_prefetch(p + 128);
}

// Median of the first, middle and last element of the already shuffled
// range: a pivot nearer the middle takes fewer compares than a random one.
template <class Porownanie>
int IndeksPivota(const std::vector<Object*>& v, int lo, int hi, Porownanie porownaj) {
    const int mid = lo + (hi - lo) / 2;
    if (porownaj(v[lo], v[mid]) < 0) {
        if (porownaj(v[mid], v[hi]) < 0)
            return mid;
        return porownaj(v[lo], v[hi]) < 0 ? hi : lo;
    }
    if (porownaj(v[lo], v[hi]) < 0)
        return lo;
    return porownaj(v[mid], v[hi]) < 0 ? hi : mid;
}

template <class Porownanie>
void SortujPrzezWstawianie(std::vector<Object*>& v, int lo, int hi, Porownanie porownaj) {
    for (int i = lo + 1; i <= hi; ++i) {
        Object* x = v[i];
        int j = i;
        for (; j > lo && porownaj(x, v[j - 1]) < 0; --j)
            v[j] = v[j - 1];
        v[j] = x;
    }
}

// Three-way quicksort: elements equal to the pivot gather in the middle, so
// many equal keys cost no quadratic time, and recursing into the smaller part
// bounds the depth. Every index stays within lo..hi whatever the compare
// answers, so an inconsistent compare cannot read outside the vector.
template <class Porownanie>
void SortujSzybko(std::vector<Object*>& v, int lo, int hi, Porownanie porownaj) {
    while (hi - lo >= MalyZakres) {
        std::swap(v[lo], v[IndeksPivota(v, lo, hi, porownaj)]);
        Object* pivot = v[lo];
        int lt = lo, i = lo + 1, gt = hi;
        // Each end fetches every element once, a fixed distance ahead of
        // where that end's walk stands.
        int przod = std::min(i + Przedpobranie, gt), tyl = std::max(gt - Przedpobranie, i);
        for (int k = i; k < przod; ++k)
            Przedpobierz(v[k]);
        for (int k = gt; k > tyl; --k)
            Przedpobierz(v[k]);
        while (i <= gt) {
            if (przod < tyl && przod <= i + Przedpobranie)
                Przedpobierz(v[przod++]);
            if (tyl > przod && tyl >= gt - Przedpobranie)
                Przedpobierz(v[tyl--]);
            const int c = porownaj(v[i], pivot);
            if (c < 0)
                std::swap(v[lt++], v[i++]);
            else if (c > 0)
                std::swap(v[i], v[gt--]);
            else
                ++i;
        }
        if (lt - lo < hi - gt) {
            SortujSzybko(v, lo, lt - 1, porownaj);
            lo = gt + 1;
        } else {
            SortujSzybko(v, gt + 1, hi, porownaj);
            hi = lt - 1;
        }
    }
    SortujPrzezWstawianie(v, lo, hi, porownaj);
}

// A large container does not fit the cache, and every partition level of a
// quicksort fetches every element from memory again. Dealing the elements
// first into buckets between splitters fetches each one once in order; each
// bucket then fits the cache for its own sort. The splitters come from the
// front of the already shuffled vector, a random sample.
constexpr int DuzyZakres = 1 << 14;
constexpr int Kubelkow = 256;
constexpr int ProbkaNaKubelek = 8;

template <class Porownanie>
void SortujKubelkami(std::vector<Object*>& v, Porownanie porownaj) {
    const int n = static_cast<int>(v.size());
    std::vector<Object*> probka(v.begin(), v.begin() + Kubelkow * ProbkaNaKubelek);
    SortujSzybko(probka, 0, static_cast<int>(probka.size()) - 1, porownaj);
    Object* dzielniki[Kubelkow - 1];
    for (int k = 1; k < Kubelkow; ++k)
        dzielniki[k - 1] = probka[k * ProbkaNaKubelek];

    // Bucket k holds what sorts before splitter k and not before splitter k-1.
    std::vector<std::uint8_t> kubelek(n);
    int poczatek[Kubelkow + 1] = {};
    for (int i = 0; i < n; ++i) {
        if (i + Przedpobranie < n)
            Przedpobierz(v[i + Przedpobranie]);
        int od = 0, doo = Kubelkow - 1;
        while (od < doo) {
            const int srodek = (od + doo) / 2;
            if (porownaj(v[i], dzielniki[srodek]) < 0)
                doo = srodek;
            else
                od = srodek + 1;
        }
        kubelek[i] = static_cast<std::uint8_t>(od);
        ++poczatek[od + 1];
    }
    for (int k = 0; k < Kubelkow; ++k)
        poczatek[k + 1] += poczatek[k];

    // Elements move to their buckets in place, taking their labels with them:
    // a second vector of the container's size would cost fresh pages.
    int wolne[Kubelkow];
    std::copy(poczatek, poczatek + Kubelkow, wolne);
    for (int k = 0; k < Kubelkow; ++k) {
        while (wolne[k] < poczatek[k + 1]) {
            const int i = wolne[k];
            const int cel = kubelek[i];
            if (cel == k) {
                ++wolne[k];
                continue;
            }
            const int j = wolne[cel]++;
            std::swap(v[i], v[j]);
            std::swap(kubelek[i], kubelek[j]);
        }
    }
    for (int k = 0; k < Kubelkow; ++k)
        SortujSzybko(v, poczatek[k], poczatek[k + 1] - 1, porownaj);
}

} // namespace

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
    auto porownaj = [this, rodzaj](const Object* a, const Object* b) { return Porownaj(rodzaj, a, b); };
    if (n >= DuzyZakres)
        SortujKubelkami(elementy_, porownaj);
    else
        Quicksort(0, n - 1, rodzaj);
}

void Objects::Quicksort(int lo, int hi, int rodzaj) {
    SortujSzybko(elementy_, lo, hi, [this, rodzaj](const Object* a, const Object* b) { return Porownaj(rodzaj, a, b); });
}
