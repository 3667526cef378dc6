// Hue, saturation and lightness: conversions and the shift that recolours skin colours and images.
// Single precision on purpose: skins were tuned against these exact results.

#include <cstring>

#include "Core/UIRender.h"

namespace SkinUI {

namespace {

const float kOneThird = 1.0f / 3.0f;
const float kTwoThirds = 2.0f / 3.0f;

float HueToChannel(float p, float q, float t) {
  if (t < 0.0f) {
    t += 1.0f;
  } else if (t > 1.0f) {
    t -= 1.0f;
  }
  if (6.0f * t < 1.0f) return p + (q - p) * 6.0f * t;
  if (2.0f * t < 1.0f) return q;
  if (3.0f * t < 2.0f) return p + (q - p) * (kTwoThirds - t) * 6.0f;
  return p;
}

DWORD ChannelByte(float value) {
  float scaled = value * 255.0f;
  if (scaled < 0.0f) scaled = 0.0f;
  if (scaled > 255.0f) scaled = 255.0f;
  return static_cast<DWORD>(scaled);
}

}  // namespace

void RgbToHsl(DWORD dwColor, float* pHue, float* pSaturation, float* pLightness) {
  const float r = static_cast<float>((dwColor >> 16) & 0xFF) / 255.0f;
  const float g = static_cast<float>((dwColor >> 8) & 0xFF) / 255.0f;
  const float b = static_cast<float>(dwColor & 0xFF) / 255.0f;
  float fMax = r > g ? r : g;
  if (b > fMax) fMax = b;
  float fMin = r < g ? r : g;
  if (b < fMin) fMin = b;
  const float l = (fMax + fMin) / 2.0f;
  float h = 0.0f;
  float s = 0.0f;
  if (fMax != fMin) {
    const float d = fMax - fMin;
    s = l <= 0.5f ? d / (fMax + fMin) : d / (2.0f - fMax - fMin);
    float sixths;
    if (fMin == r) {
      sixths = 3.0f - (g - b) / d;
    } else if (fMin == g) {
      sixths = 5.0f - (b - r) / d;
    } else {
      sixths = 1.0f - (r - g) / d;
    }
    if (sixths >= 6.0f) sixths -= 6.0f;
    h = sixths * 60.0f;
  }
  *pHue = h;
  *pSaturation = s;
  *pLightness = l;
}

void HslToRgb(float hue, float saturation, float lightness, DWORD* pColor) {
  const float l = lightness;
  const float s = saturation;
  const float q = 2.0f * l < 1.0f ? l * (1.0f + s) : l + s - l * s;
  const float p = 2.0f * l - q;
  const float t = hue / 360.0f;
  const DWORD r = ChannelByte(HueToChannel(p, q, t + kOneThird));
  const DWORD g = ChannelByte(HueToChannel(p, q, t));
  const DWORD b = ChannelByte(HueToChannel(p, q, t - kOneThird));
  *pColor = (*pColor & 0xFF000000) | (r << 16) | (g << 8) | b;
}

DWORD ShiftColorHsl(DWORD dwColor, short hue, short saturation, short lightness) {
  if (hue == 180 && saturation == 100 && lightness == 100) return dwColor;
  float h, s, l;
  RgbToHsl(dwColor, &h, &s, &l);
  h += static_cast<float>(hue - 180);
  if (h <= 0.0f) h += 360.0f;
  s = s * saturation / 100.0f;
  l = l * lightness / 100.0f;
  DWORD dwResult = dwColor;
  HslToRgb(h, s, l, &dwResult);
  return dwResult;
}

void CSkinRenderer::ShiftImageHsl(bool bEnabled, LoadedImage* pImage, short hue,
                                  short saturation, short lightness) {
  if (pImage == nullptr || !pImage->bFollowsHue || pImage->pPixels == nullptr ||
      pImage->pUnadjustedPixels == nullptr) {
    return;
  }
  const size_t nPixels = static_cast<size_t>(pImage->nWidth) * pImage->nHeight;
  ::GdiFlush();
  if (!bEnabled || (hue == 180 && saturation == 100 && lightness == 100)) {
    std::memcpy(pImage->pPixels, pImage->pUnadjustedPixels, nPixels * sizeof(DWORD));
    return;
  }
  for (size_t i = 0; i < nPixels; ++i) {
    pImage->pPixels[i] = ShiftColorHsl(pImage->pUnadjustedPixels[i], hue, saturation, lightness);
  }
}

}  // namespace SkinUI
