#pragma once
// The system's high-contrast switch for tests. Wine 8 keeps none: SPI_SETHIGHCONTRAST fails and
// SPI_GETHIGHCONTRAST always answers "off". While an object lives, this program's import of
// SystemParametersInfoW goes through a stand-in that keeps the switch and answers for it, and
// turning it sends WM_SETTINGCHANGE to the thread's windows as the system does; every other
// request goes to the real call. The system colours of the running session are set with the
// scheme and put back afterwards.

#include <windows.h>

#include <utility>
#include <vector>

namespace testing_support {

class HighContrastStandIn {
 public:
  // The colours of the system's "High Contrast Black" scheme (COLOR_* index, colour).
  static const std::vector<std::pair<int, COLORREF>>& BlackScheme();

  HighContrastStandIn();
  ~HighContrastStandIn();
  HighContrastStandIn(const HighContrastStandIn&) = delete;
  HighContrastStandIn& operator=(const HighContrastStandIn&) = delete;

  // False when the program has no import to stand in for.
  bool IsInstalled() const { return m_ppSlot != nullptr; }
  // Switches high contrast on (with the black scheme's colours) or off (with the colours the
  // session had), telling the thread's windows.
  void Switch(bool bOn);

 private:
  void** m_ppSlot = nullptr;
  void* m_pfnReal = nullptr;
  std::vector<std::pair<int, COLORREF>> m_savedColors;
};

}  // namespace testing_support
