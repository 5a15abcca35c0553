#pragma once
#include <libpq-fe.h>

#include <string>
#include <vector>

// The catalogue of schema public as text lines, in the format and order
// described at the top of tests/database/expected_catalogue.txt: tables,
// columns, primary and unique keys, other constraints (so that an unexpected
// foreign key or check shows up), and the indexes no constraint owns.
// A failing catalogue query is reported as a test failure and yields what was
// read so far.
std::vector<std::string> catalogueListing(PGconn* conn);
