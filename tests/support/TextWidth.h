// How wide a text is drawn on the screen in a font, for the tests that
// check where a control puts its text.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Graphics.h"
#include "framework/Text.h"

inline int ScreenTextWidth(const TFont& font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  std::wstring w = Widen(text);
  SIZE size = {};
  GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}
