#include "Utils/UIEditDistance.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace SkinUI {

int NameDistance(LPCWSTR pstrA, LPCWSTR pstrB) {
  const size_t n = std::wcslen(pstrA);
  const size_t m = std::wcslen(pstrB);
  // Three rows of the table: the one before the previous is what a swap looks back to.
  std::vector<int> before(m + 1), previous(m + 1), current(m + 1);
  for (size_t j = 0; j <= m; ++j) previous[j] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    current[0] = static_cast<int>(i);
    const wint_t a = std::towlower(pstrA[i - 1]);
    for (size_t j = 1; j <= m; ++j) {
      const wint_t b = std::towlower(pstrB[j - 1]);
      const int nCost = a == b ? 0 : 1;
      int nBest = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + nCost});
      if (i > 1 && j > 1 && a == static_cast<wint_t>(std::towlower(pstrB[j - 2])) &&
          static_cast<wint_t>(std::towlower(pstrA[i - 2])) == b) {
        nBest = std::min(nBest, before[j - 2] + 1);
      }
      current[j] = nBest;
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[m];
}

bool IsNearName(LPCWSTR pstrName, LPCWSTR pstrCandidate, int* pnDistance) {
  const int nLength = static_cast<int>(std::wcslen(pstrName));
  const int nAllowed = std::max(1, std::min(3, nLength / 3));
  const int nDistance = NameDistance(pstrName, pstrCandidate);
  if (pnDistance != nullptr) *pnDistance = nDistance;
  return nDistance <= nAllowed;
}

}  // namespace SkinUI
