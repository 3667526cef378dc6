#pragma once
// The state image layer of controls that show one image per state: the image of the first state
// that applies, or the normal image when none applies or that image draws nothing.

#include <windows.h>

#include <initializer_list>

#include "Core/UIRender.h"

namespace SkinUI {

struct StateImageChoice {
  bool bApplies;
  ImageDrawInfo* pImage;
};

// Candidates in order of priority; draws over rcItem, clipped to rcPaint.
inline void PaintStateImage(HDC hDC, CWindowHostUI* pHost, const RECT& rcItem,
                            const RECT& rcPaint, std::initializer_list<StateImageChoice> states,
                            ImageDrawInfo& normal) {
  for (const StateImageChoice& state : states) {
    if (!state.bApplies) continue;
    if (CSkinRenderer::RenderImage(hDC, pHost, rcItem, rcPaint, *state.pImage)) return;
    break;
  }
  CSkinRenderer::RenderImage(hDC, pHost, rcItem, rcPaint, normal);
}

}  // namespace SkinUI
