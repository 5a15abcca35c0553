#include <cstdio>

#include "cloud/TDMCloud.h"
#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "devices/Urzadzenia.h"

// The desk program's windows are not built yet: this entry sets up and takes
// down the object model the way the program will, and says so.
int main() {
    InicjujGlobalne();
    RejestrujUrzadzenia();
    ObiektyUtworz();
    // Installed before the encoders' server can start: its connection
    // threads call the cloud.
    TDMCloud cloud;
    DMCloud = &cloud;
    UstawChmure(&cloud);
    std::puts("kandor: the desk program's windows are not built yet; the object model starts and stops.");
    UstawChmure(nullptr);
    DMCloud = nullptr;
    ObiektyUsun();
    ZwolnijGlobalne();
    return 0;
}
