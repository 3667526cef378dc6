// Skin images: decoding image files held in memory into premultiplied 32-bit bitmaps.

#include "Core/UIRender.h"
#include "Core/UIRenderSurface.h"

#define STBI_NO_STDIO
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace SkinUI {

LoadedImage* CSkinRenderer::DecodeSkinImage(const void* pBytes, DWORD dwSize, DWORD dwMask) {
  if (pBytes == nullptr || dwSize == 0 || dwSize > 0x7FFFFFFF) return nullptr;
  int nWidth = 0;
  int nHeight = 0;
  int nChannels = 0;
  stbi_uc* pDecoded = stbi_load_from_memory(static_cast<const stbi_uc*>(pBytes),
                                            static_cast<int>(dwSize), &nWidth, &nHeight,
                                            &nChannels, 4);
  if (pDecoded == nullptr) return nullptr;

  DWORD* pPixels = nullptr;
  HBITMAP hBitmap = CreateDib32(nWidth, nHeight, &pPixels);
  if (hBitmap == nullptr) {
    stbi_image_free(pDecoded);
    return nullptr;
  }
  bool bAlpha = false;
  const size_t nPixels = static_cast<size_t>(nWidth) * nHeight;
  for (size_t i = 0; i < nPixels; ++i) {
    const stbi_uc* rgba = pDecoded + i * 4;
    DWORD r = rgba[0], g = rgba[1], b = rgba[2];
    const DWORD a = rgba[3];
    if (a < 255) {
      r = r * a / 255;
      g = g * a / 255;
      b = b * a / 255;
      bAlpha = true;
    }
    DWORD dwPixel = (a << 24) | (r << 16) | (g << 8) | b;
    if (dwPixel == dwMask) {
      dwPixel = 0;
      bAlpha = true;
    }
    pPixels[i] = dwPixel;
  }
  stbi_image_free(pDecoded);

  LoadedImage* pImage = new LoadedImage;
  pImage->hBitmap = hBitmap;
  pImage->pPixels = pPixels;
  pImage->nWidth = nWidth;
  pImage->nHeight = nHeight;
  pImage->bAlpha = bAlpha;
  return pImage;
}

void CSkinRenderer::FreeSkinImage(LoadedImage* pImage, bool bDelete) {
  if (pImage == nullptr) return;
  if (pImage->hBitmap != nullptr) ::DeleteObject(pImage->hBitmap);
  pImage->hBitmap = nullptr;
  pImage->pPixels = nullptr;
  delete[] pImage->pUnadjustedPixels;
  pImage->pUnadjustedPixels = nullptr;
  if (bDelete) delete pImage;
}

}  // namespace SkinUI
