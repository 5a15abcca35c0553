#include "core/WersjaProgramu.h"

#include <cstring>

std::string WersjaProgramu() {
#if defined(KANDOR_VERSION_MAJOR) && defined(KANDOR_VERSION_MINOR) && defined(KANDOR_VERSION_PATCH) && \
    defined(KANDOR_VERSION_TWEAK)
    return std::to_string(KANDOR_VERSION_MAJOR) + "." + std::to_string(KANDOR_VERSION_MINOR) + "." +
           std::to_string(KANDOR_VERSION_PATCH) + "." + std::to_string(KANDOR_VERSION_TWEAK) + " ";
#else
    return {};
#endif
}

std::string OpisBleduSystemu(int kod) {
    char bufor[256];
    // The GNU strerror_r may return a static text instead of filling the buffer.
    const char* opis = strerror_r(kod, bufor, sizeof bufor);
    return opis != nullptr ? opis : std::string();
}
