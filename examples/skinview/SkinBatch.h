#pragma once
// skinview without a window: the skin is built off screen, then checked, described or pictured,
// and the program ends.

#include "SkinViewOptions.h"

// The exit code: 0 when everything asked was done and the check (if asked) found nothing; 1
// when the skin cannot be built, the check found problems or the picture cannot be written.
int RunSkinBatch(const SkinViewOptions& options);
