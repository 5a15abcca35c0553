#include "app/OknoPodgladu.h"

#include <array>

namespace {

std::array<FabrykaOkna, LiczbaRodzajowOkien>& Fabryki() {
    static std::array<FabrykaOkna, LiczbaRodzajowOkien> fabryki;
    return fabryki;
}

} // namespace

void UstawFabrykeOkna(RodzajOkna rodzaj, FabrykaOkna fabryka) {
    Fabryki()[static_cast<int>(rodzaj)] = std::move(fabryka);
}

const FabrykaOkna& FabrykaOknaRodzaju(RodzajOkna rodzaj) {
    return Fabryki()[static_cast<int>(rodzaj)];
}
