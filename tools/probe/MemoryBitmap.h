// A 32-bit top-down bitmap selected into a memory device context, pixels
// 0x00RRGGBB: what the inspector copies the screen into and the tests paint
// into. Header only, so that tests which do not link the inspector use it.
#pragma once

#include <windows.h>

#include "framework/NoCopy.h"

namespace Inspector {

class TMemoryBitmap : TNoCopy {
 public:
  TMemoryBitmap(int width, int height) : FWidth(width), FHeight(height) {
    if (width <= 0 || height <= 0) return;
    HDC screen = GetDC(nullptr);
    FDC = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    FBitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &FBits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (FDC && FBitmap) FOld = SelectObject(FDC, FBitmap);
  }
  ~TMemoryBitmap() {
    if (FOld) SelectObject(FDC, FOld);
    if (FBitmap) DeleteObject(FBitmap);
    if (FDC) DeleteDC(FDC);
  }

  HDC Get() const { return FDC; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Copies the screen from (left, top) on, the bitmap's size; false when
  // there is no bitmap.
  bool CopyScreen(int left, int top) {
    if (!FOld || !FBits) return false;
    HDC screen = GetDC(nullptr);
    BitBlt(FDC, 0, 0, FWidth, FHeight, screen, left, top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return true;
  }
  // Width x Height pixels, row by row from the top; null when there is no
  // bitmap.
  const DWORD* Pixels() const {
    GdiFlush();
    return FOld ? static_cast<const DWORD*>(FBits) : nullptr;
  }

 private:
  int FWidth, FHeight;
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOld = nullptr;
  void* FBits = nullptr;
};

}  // namespace Inspector
