#include "tests/support/ModelSupport.h"

#include "core/Mozg.h"
#include "core/Objects_globals.h"

GlobalModel::GlobalModel() { ObiektyUtworz(); }

GlobalModel::~GlobalModel() {
    if (MozgIsRunning())
        MozgStop();
    ObiektyUsun();
}
