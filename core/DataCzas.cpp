#include "core/DataCzas.h"

namespace {

constexpr auto DzienZerowy = std::chrono::local_days{std::chrono::year{1899} / 12 / 30};

} // namespace

DataCzas TerazLokalnie() { return platform::db::localNow(); }

bool Ustawiona(DataCzas wartosc) { return wartosc != DataCzas{} && wartosc != DataCzas{DzienZerowy}; }

DataCzas DataCzasZBazy(const platform::db::Value& wartosc) {
    const DataCzas dataCzas = wartosc.asDateTime();
    return Ustawiona(dataCzas) ? dataCzas : DataCzas{};
}

platform::db::Value DataCzasDoBazy(DataCzas wartosc) {
    return Ustawiona(wartosc) ? platform::db::Value(wartosc) : platform::db::Value();
}
