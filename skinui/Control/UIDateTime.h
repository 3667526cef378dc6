#pragma once
// CDateTimeUI: a label showing a date or a time that, once focused, lays the platform's
// date-time picker over itself; the picker's value comes back into the label when it loses the
// focus.

#include <windows.h>

#include "Control/UILabel.h"

namespace SkinUI {

class CDateTimeWnd;

// What the label does with the picker's value when the picker closes.
enum DateTimeUpdate {
  kDateTimeIdle = 0,
  kDateTimeTakeValue = 1,
  kDateTimeCleared = 2,
  kDateTimeCancelled = 3,
};

class CDateTimeUI : public CLabelUI {
  friend class CDateTimeWnd;

 public:
  CDateTimeUI();
  ~CDateTimeUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  UINT GetBehaviourFlags() const override;
  // The open picker, else null.
  HWND GetNativeHandle() const override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()

  const SYSTEMTIME& GetTime() const { return m_sysTime; }
  // Shows the value at once, and in the picker when one is open.
  void SetTime(const SYSTEMTIME& sysTime);
  // The picker keeps its value between the two; the label's own value is not clamped.
  void SetTimeRange(const SYSTEMTIME& sysMin, const SYSTEMTIME& sysMax);
  bool IsTimeFormat() const;
  LPCWSTR GetFormat() const { return m_sFormat; }
  // Writes the value into the text, only while the update state asks for it.
  void UpdateText();

 private:
  // The text follows the value once, outside any picker session.
  void RefreshText();
  void OpenPicker();

  SYSTEMTIME m_sysTime;
  int m_nUpdateState;
  CDateTimeWnd* m_pWindow;
  DWORD m_dwNativeStyles;
  CUIString m_sFormat;
  bool m_bRange;
  SYSTEMTIME m_sysMin;
  SYSTEMTIME m_sysMax;
};

}  // namespace SkinUI
