#pragma once
#include "database/OdczytajBaze.h"

// The loader's steps for the device tables: keypads, controllers with their
// GSM modems, encoders; and what follows every load for the encoders'
// threads.
OdczytUrzadzen OdczytTabelUrzadzen();
