#pragma once
// What both transfers of a setup run share: the transfer library's own trace goes to the
// setup log (a windowed process shows its error stream to nobody), and the connect limit.
// (Stall detection: StallWatch.h.)

#include <curl/curl.h>

#include "engine/SetupTimings.h"

namespace setup {

// Verbose trace into the setup log as info lines ("* " the library's notes, "> " the request
// head, "< " the answer's head), and the connect limit (the library's time-out result, 28,
// when a server does not accept the connection in time).
void ApplyTransferOptions(CURL* curl, const SetupTimings& timings);

}  // namespace setup
