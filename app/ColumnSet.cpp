#include "app/ColumnSet.h"

#include <algorithm>

void ColumnSet::SetCount(int n) {
    n = std::max(n, 0);
    if (n < Count())
        kolumny_.resize(static_cast<std::size_t>(n));
    while (Count() < n)
        kolumny_.push_back(Count());
}

void ColumnSet::Move(int from, int to) {
    if (from < 0 || to < 0 || from >= Count() || to >= Count() || from == to)
        return;
    const auto poczatek = kolumny_.begin();
    if (from < to)
        std::rotate(poczatek + from, poczatek + from + 1, poczatek + to + 1);
    else
        std::rotate(poczatek + to, poczatek + from, poczatek + from + 1);
}
