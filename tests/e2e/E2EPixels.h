// Pixels of the screen as the end-to-end tests look at them: a copy of a
// window's area, searched for a colour.
#pragma once

#include <windows.h>

#include <vector>

#include "tools/probe/MemoryBitmap.h"

namespace E2E {

// A copy of the screen rectangle r (screen coordinates), 0x00RRGGBB per pixel.
class TScreenArea {
 public:
  explicit TScreenArea(const RECT& r) {
    Inspector::TMemoryBitmap bitmap(r.right - r.left, r.bottom - r.top);
    if (!bitmap.CopyScreen(r.left, r.top)) return;
    const DWORD* p = bitmap.Pixels();
    FPixels.assign(p, p + static_cast<size_t>(bitmap.Width()) * bitmap.Height());
  }
  // Pixels within `tolerance` per channel of the COLORREF `color`.
  int Count(COLORREF color, int tolerance = 30) const {
    int n = 0;
    for (DWORD p : FPixels) {
      int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (Near(r, GetRValue(color), tolerance) && Near(g, GetGValue(color), tolerance) &&
          Near(b, GetBValue(color), tolerance))
        ++n;
    }
    return n;
  }

 private:
  static bool Near(int a, int b, int t) { return (a > b ? a - b : b - a) <= t; }
  std::vector<DWORD> FPixels;
};

inline RECT ScreenRect(HWND window) {
  RECT r = {};
  if (window) GetWindowRect(window, &r);
  return r;
}

}  // namespace E2E
