#pragma once
// What both transfers of a setup run share: the transfer library's own trace goes to the
// setup log (a windowed process shows its error stream to nobody), and the time limits.

#include <curl/curl.h>

#include "SetupTimings.h"

namespace setup {

// Verbose trace into the setup log as info lines ("* " the library's notes, "> " the request
// head, "< " the answer's head); the connect limit; stall detection (fewer than one byte a
// second for the stall time ends the transfer with the library's time-out result, 28).
void ApplyTransferOptions(CURL* curl, const SetupTimings& timings);

}  // namespace setup
