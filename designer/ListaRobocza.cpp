#include "designer/ListaRobocza.h"

#include <algorithm>

#include "core/Object.h"

int IdTymczasowe(const Objects& lista) {
    int najmniejszy = 0;
    for (int i = 0; i < lista.Rozmiar(); ++i)
        najmniejszy = std::min(najmniejszy, lista.Element(i)->Id());
    return najmniejszy - 1;
}
