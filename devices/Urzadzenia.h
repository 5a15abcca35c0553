#pragma once

// Registers the device layer with the object model: the factories of the
// keypad, controller-port, controller, modem and encoder containers.
// Called once before ObiektyUtworz.
void RejestrujUrzadzenia();
