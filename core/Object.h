#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/MapaId.h"

class Objects;

// The answers of compare slots for numeric keys: -1, 0 or 1.
inline int Znak(long long roznica) { return (roznica > 0) - (roznica < 0); }
inline int PorownajLiczby(long long a, long long b) { return (a > b) - (a < b); }

// Base of every in-memory record of the installation: the row id, the
// container whose factory made it (the only one that destroys it when
// emptied) and how many containers map its id.
class Object {
public:
    explicit Object(int id) : id_(id) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    int Id() const { return id_; }
    Objects* Wlasciciel() const { return wlasciciel_; }
    int Czlonkostwa() const { return czlonkostwa_; }

    // Visiting hook of Objects::DlaKazdego.
    virtual void Odwiedz() {}
    // Link step: turns stored foreign ids into pointers (null when absent).
    // The link pass calls it once after every load.
    virtual void Polacz() {}

    static void Zablokuj();
    static void Odblokuj();

private:
    friend class Objects;
    const int id_;
    Objects* wlasciciel_ = nullptr;
    int czlonkostwa_ = 0;
};

// Container of elements: a vector in display order with one shared cursor,
// and a map from id to element for lookups.
class Objects {
public:
    Objects() = default;
    virtual ~Objects();
    Objects(const Objects&) = delete;
    Objects& operator=(const Objects&) = delete;

    // The factory; container classes create their own element class.
    virtual Object* Utworz(int id);
    // Negative when a sorts before b. Kinds are the container's own.
    virtual int Porownaj(int rodzaj, const Object* a, const Object* b) const;
    virtual void PoDodaniu(Object*) {}
    virtual void PrzedOdlaczeniem(Object*) {}

    Object* Nowy(int id);
    bool Dodaj(Object* element);
    bool DodajJesliBrak(Object* element);

    Object* Znajdz(int id) const { return mapa_.Znajdz(id); }
    int IndeksId(int id) const;
    int Ilosc() const { return static_cast<int>(mapa_.Rozmiar()); }
    // No bounds check: callers keep the position below the vector's size.
    Object* Element(int pozycja) const { return elementy_[pozycja]; }
    int Rozmiar() const { return static_cast<int>(elementy_.size()); }

    // The cursor is shared by every user of the container; the tick walks
    // with it, so walking allocates nothing.
    Object* Pierwszy() {
        kursor_ = 0;
        return Biezacy();
    }
    Object* Biezacy() const { return kursor_ < elementy_.size() ? elementy_[kursor_] : nullptr; }
    Object* Nastepny() {
        const std::size_t n = elementy_.size();
        if (kursor_ < n && ++kursor_ < n)
            return elementy_[kursor_];
        return nullptr;
    }

    // Room for this many elements, so a large load does not regrow.
    void Rezerwuj(int ilosc) {
        elementy_.reserve(static_cast<std::size_t>(ilosc));
        mapa_.Rezerwuj(static_cast<std::size_t>(ilosc));
    }

    void Usun(int id);
    bool UsunNaPozycji(int pozycja);
    Object* UsunBiezacy();
    Object* Odlacz(Object* element);
    Object* OdlaczId(int id);
    void Wyczysc();
    void Zapomnij();

    void DlaKazdego();
    void Sortuj(int rodzaj);
    void SortujPonownie() { Sortuj(rodzajSortowania_); }
    int RodzajSortowania() const { return rodzajSortowania_; }
    // Grows with every add, removal, detach and sort: an index kept beside
    // the container knows from it when to rebuild.
    std::uint64_t Zmiany() const { return zmiany_; }

    static int PorownajNaturalnie(std::string_view a, std::string_view b);
    static void Zablokuj();
    static void Odblokuj();

private:
    void UsunZWektora(std::size_t pozycja);
    void Odmapuj(Object* element);
    void Zniszcz(Object* element);
    void Quicksort(int lo, int hi, int rodzaj);

    std::vector<Object*> elementy_;
    std::size_t kursor_ = 0;
    MapaId mapa_;
    int rodzajSortowania_ = 0;
    std::uint64_t zmiany_ = 0;
};

// The element a stored id refers to, for link steps: null when the id is 0,
// the container does not exist or holds no such id.
template <class T>
T* Polaczony(const Objects* kontener, int id) {
    return kontener && id != 0 ? static_cast<T*>(kontener->Znajdz(id)) : nullptr;
}
