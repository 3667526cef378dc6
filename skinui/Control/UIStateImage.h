#pragma once
// The images of controls that show one image per state, and their state image layer: the image of
// the first state that applies, or the normal image when none applies or that image draws
// nothing.

#include <windows.h>

#include <initializer_list>

#include "Core/UIRender.h"

namespace SkinUI {

// One image per state of a control or of a part of it; a state a control does not have stays
// empty.
struct StateImageSet {
  ImageDrawInfo normal;
  ImageDrawInfo hot;
  ImageDrawInfo pushed;
  ImageDrawInfo focused;
  ImageDrawInfo disabled;
};

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
