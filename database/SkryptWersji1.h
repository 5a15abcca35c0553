#pragma once
#include <array>

// The statements that build an empty database at schema version 1.0 (step 1),
// in order. The 1.0 import builds this schema for an older file's lines to run
// against, and the migration chain then brings it to the current version, so
// the table, column and key names are the ones the chain's steps expect: the
// server-chosen names of the unnamed unique keys in particular (the chain
// drops wyjscia_idkarty_wyjscie_key by name, and drops karty.Com together with
// its key). Rows 1 to 13 of the built-in event kinds are all that version had.
extern const std::array<const char*, 44> SkryptWersji1;
