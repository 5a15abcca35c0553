#pragma once
#include <string>

// The program's version as "major.minor.release.build " (with the trailing
// blank the about window and the caption expect); empty when the build set
// no version.
std::string WersjaProgramu();

// The system's text for an error number (errno), in the user's language.
std::string OpisBleduSystemu(int kod);
