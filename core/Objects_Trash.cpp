#include "core/Objects_Trash.h"

#include "core/Object.h"

bool Objects_Trash::Dodaj(Object* element) {
    if (!element)
        return false;
    if (Ilosc() == pojemnosc_) {
        try {
            elementy_.reserve(static_cast<std::size_t>(pojemnosc_ + KrokWzrostu));
        } catch (const std::bad_alloc&) {
            return false;
        }
        pojemnosc_ += KrokWzrostu;
    }
    elementy_.push_back(element);
    return true;
}

// The array stays allocated for the next run's detached elements.
void Objects_Trash::Oproznij() {
    for (Object* element : elementy_)
        delete element;
    elementy_.clear();
}
