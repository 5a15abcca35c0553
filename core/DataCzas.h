#pragma once
#include <chrono>

#include "platform/db/DateTime.h"
#include "platform/db/Value.h"

// A local date-time of a row (created, valid from/to, last update). The
// zero value means "not set"; so does the day the older databases wrote for
// it (1899-12-30 00:00), which is read back as zero.
using DataCzas = platform::db::DateTime;

DataCzas TerazLokalnie();
bool Ustawiona(DataCzas wartosc);
// A date-time as it comes from a row: NULL and the old "not set" day are zero.
DataCzas DataCzasZBazy(const platform::db::Value& wartosc);
// A date-time as it goes into a row: "not set" is NULL.
platform::db::Value DataCzasDoBazy(DataCzas wartosc);
