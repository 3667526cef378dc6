#include "Utils/UIGeometry.h"

namespace SkinUI {

CUIRect::CUIRect() { left = top = right = bottom = 0; }

CUIRect::CUIRect(const RECT& src) {
  left = src.left;
  top = src.top;
  right = src.right;
  bottom = src.bottom;
}

CUIRect::CUIRect(int iLeft, int iTop, int iRight, int iBottom) {
  left = iLeft;
  top = iTop;
  right = iRight;
  bottom = iBottom;
}

int CUIRect::GetWidth() const { return right - left; }

int CUIRect::GetHeight() const { return bottom - top; }

void CUIRect::Join(const RECT& rc) {
  if (rc.left < left) left = rc.left;
  if (rc.top < top) top = rc.top;
  if (rc.right > right) right = rc.right;
  if (rc.bottom > bottom) bottom = rc.bottom;
}

void CUIRect::ResetOffset() { Offset(-left, -top); }

void CUIRect::Offset(int cx, int cy) {
  left += cx;
  top += cy;
  right += cx;
  bottom += cy;
}

CUISize::CUISize() { cx = cy = 0; }

CUISize::CUISize(const SIZE& src) {
  cx = src.cx;
  cy = src.cy;
}

CUISize::CUISize(int iCx, int iCy) {
  cx = iCx;
  cy = iCy;
}

}  // namespace SkinUI
