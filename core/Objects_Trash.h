#pragma once
#include <new>
#include <vector>

class Object;

// Elements that editors detached while the logic may still hold pointers to
// them; destroyed when the system next starts.
class Objects_Trash {
public:
    Objects_Trash() = default;
    ~Objects_Trash() { Oproznij(); }
    Objects_Trash(const Objects_Trash&) = delete;
    Objects_Trash& operator=(const Objects_Trash&) = delete;

    bool Dodaj(Object* element);
    void Oproznij();
    int Ilosc() const { return static_cast<int>(elementy_.size()); }
    int Pojemnosc() const { return pojemnosc_; }

private:
    static constexpr int KrokWzrostu = 4;
    std::vector<Object*> elementy_;
    int pojemnosc_ = 0;
};
