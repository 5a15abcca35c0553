#include "tests/support/ModelSupport.h"

#include "core/Mozg.h"
#include "core/Objects_globals.h"

GlobalModel::GlobalModel() { ObiektyUtworz(); }

GlobalModel::~GlobalModel() {
    if (MozgIsRunning())
        MozgStop();
    ObiektyUsun();
}

std::vector<int> Ids(const Objects& kontener) {
    std::vector<int> ids;
    for (int i = 0; i < kontener.Rozmiar(); ++i)
        ids.push_back(kontener.Element(i)->Id());
    return ids;
}
