#pragma once

class Objects;

// The id of a working-list entry that has no row yet: below every id in the
// list, -1 for the first, so no two entries of a list share an id.
int IdTymczasowe(const Objects& lista);
