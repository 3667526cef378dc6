#pragma once
// How far apart two names are, for "did you mean" suggestions.

#include <windows.h>

namespace SkinUI {

// The number of single-character insertions, deletions, substitutions and swaps of neighbours
// that turn one name into the other, letter case aside ("bordersise" and "borderSize" are 1
// apart, "pso" and "pos" 1).
int NameDistance(LPCWSTR pstrA, LPCWSTR pstrB);

// Whether pstrCandidate is near enough to pstrName to be what was meant: a distance of at most
// one for short names and up to a third of the name's length for long ones.
bool IsNearName(LPCWSTR pstrName, LPCWSTR pstrCandidate, int* pnDistance);

}  // namespace SkinUI
