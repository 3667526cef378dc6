#pragma once
// Rectangle and size records laid out exactly like the platform's RECT and SIZE, so they can be
// handed to platform calls as they are.

#include <windows.h>

namespace SkinUI {

class CUIRect : public tagRECT {
 public:
  CUIRect();
  CUIRect(const RECT& src);
  CUIRect(int iLeft, int iTop, int iRight, int iBottom);

  int GetWidth() const;
  int GetHeight() const;
  // The smallest rectangle holding both; empty rectangles are not treated specially.
  void Join(const RECT& rc);
  // Moves the rectangle so that its top left corner is the origin.
  void ResetOffset();
  void Offset(int cx, int cy);
};

class CUISize : public tagSIZE {
 public:
  CUISize();
  CUISize(const SIZE& src);
  CUISize(int iCx, int iCy);
};

static_assert(sizeof(CUIRect) == sizeof(RECT), "CUIRect must stay interchangeable with RECT");
static_assert(sizeof(CUISize) == sizeof(SIZE), "CUISize must stay interchangeable with SIZE");

}  // namespace SkinUI
