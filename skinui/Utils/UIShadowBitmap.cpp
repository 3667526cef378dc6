#include "Utils/UIShadowBitmap.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace SkinUI {

namespace {

// A run of columns [start, end) of one row; start >= end means the row is empty. Rows without
// any inside point are (window width, 0), which keeps neighbour comparisons lopsided in the
// same way for every empty row.
struct Span {
  int start;
  int end;
  bool IsEmpty() const { return start >= end; }
};

// The first and the last inside column of each row of the region, clipped to cx by cy. Read
// from the region's rectangles rather than point by point: a window without a region would
// otherwise cost two full scans of every row.
std::vector<Span> RegionRowSpans(HRGN hRgn, int cx, int cy) {
  std::vector<Span> rows(static_cast<size_t>(cy), Span{cx, 0});
  if (hRgn == nullptr) return rows;
  const DWORD cbData = ::GetRegionData(hRgn, 0, nullptr);
  if (cbData < sizeof(RGNDATAHEADER)) return rows;
  std::vector<BYTE> buffer(cbData);
  RGNDATA* pData = reinterpret_cast<RGNDATA*>(buffer.data());
  if (::GetRegionData(hRgn, cbData, pData) == 0) return rows;
  const RECT* pRects = reinterpret_cast<const RECT*>(pData->Buffer);
  for (DWORD i = 0; i < pData->rdh.nCount; ++i) {
    const RECT& rc = pRects[i];
    const int left = std::max<int>(rc.left, 0);
    const int right = std::min<int>(rc.right, cx);
    if (left >= right) continue;
    const int bottom = std::min<int>(rc.bottom, cy);
    for (int y = std::max<int>(rc.top, 0); y < bottom; ++y) {
      Span& row = rows[static_cast<size_t>(y)];
      if (row.IsEmpty()) {
        row = Span{left, right};
      } else {
        row.start = std::min(row.start, left);
        row.end = std::max(row.end, right);
      }
    }
  }
  return rows;
}

DWORD Premultiplied(DWORD dwColor, int nAlpha) {
  const DWORD a = static_cast<DWORD>(nAlpha);
  const DWORD r = ((dwColor >> 16) & 0xFF) * a / 255;
  const DWORD g = ((dwColor >> 8) & 0xFF) * a / 255;
  const DWORD b = (dwColor & 0xFF) * a / 255;
  return (a << 24) | (r << 16) | (g << 8) | b;
}

class ShadowCanvas {
 public:
  ShadowCanvas(DWORD* pPixels, int cx, int cy) : m_pPixels(pPixels), m_cx(cx), m_cy(cy) {}

  // Keeps in every covered pixel the larger of it and the kernel's pixel, centred on (x, y).
  void Stamp(const std::vector<DWORD>& kernel, int nRadius, int x, int y) {
    const int nSide = 2 * nRadius + 1;
    const int top = std::max(y - nRadius, 0), bottom = std::min(y + nRadius + 1, m_cy);
    const int left = std::max(x - nRadius, 0), right = std::min(x + nRadius + 1, m_cx);
    for (int py = top; py < bottom; ++py) {
      const DWORD* pKernelRow = &kernel[static_cast<size_t>(py - y + nRadius) * nSide];
      DWORD* pRow = Row(py);
      for (int px = left; px < right; ++px) {
        pRow[px] = std::max(pRow[px], pKernelRow[px - x + nRadius]);
      }
    }
  }

  // Columns [start, end) of row y, clipped to the canvas.
  void Fill(int y, int start, int end, DWORD dwPixel) {
    start = std::max(start, 0);
    end = std::min(end, m_cx);
    if (start < end) std::fill(Row(y) + start, Row(y) + end, dwPixel);
  }

 private:
  DWORD* Row(int y) { return m_pPixels + static_cast<size_t>(y) * m_cx; }

  DWORD* m_pPixels;
  int m_cx;
  int m_cy;
};

// Pixels of a (2R + 1) square: full darkness within the solid radius, fading linearly over
// sharpness + 1 pixels beyond it, nothing past R.
std::vector<DWORD> MakeKernel(int nRadius, int nSolidRadius, const GeneratedShadowStyle& style) {
  const int nSide = 2 * nRadius + 1;
  std::vector<DWORD> kernel(static_cast<size_t>(nSide) * nSide, 0);
  for (int dy = -nRadius; dy <= nRadius; ++dy) {
    for (int dx = -nRadius; dx <= nRadius; ++dx) {
      const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
      int nAlpha = 0;
      if (d < nSolidRadius) {
        nAlpha = style.nDarkness;
      } else if (d <= nRadius) {
        nAlpha = static_cast<int>((1.0 - (d - nSolidRadius) / (style.nSharpness + 1)) *
                                  style.nDarkness);
      } else {
        continue;
      }
      kernel[static_cast<size_t>(dy + nRadius) * nSide + (dx + nRadius)] =
          Premultiplied(style.dwColor, nAlpha);
    }
  }
  return kernel;
}

}  // namespace

void MakeShadow(DWORD* pPixels, int cx, int cy, HRGN hRgn, const GeneratedShadowStyle& style) {
  const int S = style.nSize;
  const int W = cx + 2 * S, H = cy + 2 * S;
  if (pPixels == nullptr || cx <= 0 || cy <= 0 || W <= 0 || H <= 0) return;
  const std::vector<Span> window = RegionRowSpans(hRgn, cx, cy);

  // Shadow row r lives at index r + 1: one empty row at each end spares the edge checks.
  const Span kEmpty = {cx, 0};
  std::vector<Span> spans(static_cast<size_t>(H) + 2, kEmpty);
  for (int y = 0; y < cy; ++y) {
    const int r = y + S;
    const Span& row = window[static_cast<size_t>(y)];
    if (r >= 0 && r < H && !row.IsEmpty()) spans[r + 1] = Span{row.start + S, row.end + S};
  }

  // A soft edge wider than the shadow's reach eats into the window's outline.
  std::vector<Span> previous;
  for (int i = 0; i < style.nSharpness - S; ++i) {
    previous = spans;
    for (int r = 1; r <= H; ++r) {
      spans[r].start =
          std::max({previous[r - 1].start, previous[r].start, previous[r + 1].start}) + 1;
      spans[r].end = std::min({previous[r - 1].end, previous[r].end, previous[r + 1].end}) - 1;
    }
  }

  const int R = std::max(S, style.nSharpness);
  const int J = S > style.nSharpness ? S - style.nSharpness : 0;
  const std::vector<DWORD> kernel = MakeKernel(R, J, style);
  ShadowCanvas canvas(pPixels, W, H);

  for (int y = R; y < H - R; ++y) {
    const Span& span = spans[y + 1];
    if (span.IsEmpty()) continue;
    const Span& above = spans[y];
    const Span& below = spans[y + 2];
    int x = span.start;
    const int leftLimit = std::min(span.end, std::max(above.start, below.start) + 1);
    for (; x < leftLimit; ++x) canvas.Stamp(kernel, R, x, y);
    for (int xr = std::max(x, std::min(above.end, below.end) - 1); xr < span.end; ++xr) {
      canvas.Stamp(kernel, R, xr, y);
    }
  }

  const DWORD dwSolid = Premultiplied(style.dwColor, style.nDarkness);
  const int firstRow = std::min(std::max(S - style.nOffsetY, 0), R);
  const int endRow = std::min(std::max(H - R, std::min(cy + S - style.nOffsetY, cy + 2 * S)), H);
  // The window covers shadow column x at its own column x - S + offset x.
  const int shiftX = S - style.nOffsetX;
  for (int row = firstRow; row < endRow; ++row) {
    const Span& span = spans[row + 1];
    const int p = row + style.nOffsetY - S;
    if (p < 0 || p >= cy) {
      canvas.Fill(row, span.start, span.end, dwSolid);
      continue;
    }
    const Span& covered = window[static_cast<size_t>(p)];
    const int coveredStart = covered.start + shiftX, coveredEnd = covered.end + shiftX;
    canvas.Fill(row, span.start, std::min(span.end, coveredStart), dwSolid);
    canvas.Fill(row, std::max(span.start, coveredEnd), span.end, dwSolid);
    canvas.Fill(row, coveredStart, coveredEnd, 0);
  }
}

}  // namespace SkinUI
