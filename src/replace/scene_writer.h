#pragma once
// Writes the picture buffer over one preview record of the movie, in place.
#include "shell/core.h"

namespace orvane {

// Replaces preview `axe` of moviefile with blimp. True only after a verified
// write; every refusal or failure is told to the user by a message box and
// leaves the movie as it was.
bool begin(Core& core, int axe);

}  // namespace orvane
