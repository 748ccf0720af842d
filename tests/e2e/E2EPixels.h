// Pixels of the screen as the end-to-end tests look at them: a copy of a
// window's area, searched for a colour.
#pragma once

#include <windows.h>

#include <vector>

namespace E2E {

// A copy of the screen rectangle r (screen coordinates), 0x00RRGGBB per pixel.
class TScreenArea {
 public:
  explicit TScreenArea(const RECT& r) : FRect(r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp && bits) {
      HGDIOBJ old = SelectObject(mem, bmp);
      BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
      GdiFlush();
      const auto* p = static_cast<const DWORD*>(bits);
      FPixels.assign(p, p + static_cast<size_t>(w) * h);
      SelectObject(mem, old);
    }
    if (bmp) DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
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
  RECT FRect;
  std::vector<DWORD> FPixels;
};

inline RECT ScreenRect(HWND window) {
  RECT r = {};
  if (window) GetWindowRect(window, &r);
  return r;
}

}  // namespace E2E
