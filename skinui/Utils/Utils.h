#pragma once
// The framework's value types and debug facilities, for units that want all of them.

#include "Utils/UIDebug.h"
#include "Utils/UIGeometry.h"
#include "Utils/UIPtrArray.h"
#include "Utils/UIString.h"
#include "Utils/UIStringPtrMap.h"
