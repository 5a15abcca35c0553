#pragma once
#include <vector>

// The display order of a grid whose columns the operator moves: entry i is
// the data column shown at display position i.
class ColumnSet {
public:
    int Count() const { return static_cast<int>(kolumny_.size()); }
    // Keeps the first n entries, or appends entries that show their own
    // position until there are n.
    void SetCount(int n);
    // The same move the grid makes with its columns: the entry leaves
    // position from, the entries between shift one place towards from, and
    // it lands at position to.
    void Move(int from, int to);
    // Callers pass 0 .. Count() − 1.
    int Get(int i) const { return kolumny_[static_cast<std::size_t>(i)]; }

private:
    std::vector<int> kolumny_;
};
