#include <cstdio>

#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "devices/Urzadzenia.h"

// The desk program's windows are not built yet: this entry sets up and takes
// down the object model the way the program will, and says so.
int main() {
    InicjujGlobalne();
    RejestrujUrzadzenia();
    ObiektyUtworz();
    std::puts("kandor: the desk program's windows are not built yet; the object model starts and stops.");
    ObiektyUsun();
    ZwolnijGlobalne();
    return 0;
}
