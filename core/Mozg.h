#pragma once

// The hardware runtime: the link pass, start and stop, and the 10 ms logic
// step that the main window's timer calls while the system runs.
void ObiektyInicjalizuj();
bool PodlaczMagistrale();
void ZamknijMagistrale();
bool MozgStart();
void MozgStop();
bool MozgIsRunning();
void MozgTick();
