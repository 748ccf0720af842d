#include "controls/CaptionButton.h"

#include <string>

#include "framework/Text.h"

DWORD TCaptionButton::WindowStyle() const {
  return (TButton::WindowStyle() & ~static_cast<DWORD>(BS_DEFPUSHBUTTON | BS_PUSHBUTTON)) | BS_OWNERDRAW;
}

bool TCaptionButton::Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg != WM_DRAWITEM) return TButton::Reflected(msg, wParam, lParam, result);
  Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
  result = TRUE;
  return true;
}

void TCaptionButton::Draw(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  int saved = SaveDC(dc);
  bool pushed = (item.itemState & ODS_SELECTED) != 0;
  if (Flags() & cfDefault) {
    // The default button's dark outline.
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  RECT text = r;
  InflateRect(&text, -3, -2);
  if (pushed) OffsetRect(&text, 1, 1);
  if (Font().Handle()) SelectObject(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  std::wstring caption = Widen(Text());
  const UINT format = DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
  auto drawAt = [&](int dx, int dy, COLORREF color) {
    RECT t = text;
    OffsetRect(&t, dx, dy);
    SetTextColor(dc, color);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &t, format);
  };
  // Raised: light above and left, shadow below and right.
  drawAt(-1, -1, GetSysColor(COLOR_BTNHIGHLIGHT));
  drawAt(1, 1, GetSysColor(COLOR_BTNSHADOW));
  drawAt(0, 0, ColorToRGB(Font().Color()));
  if (item.itemState & ODS_FOCUS) {
    RECT f = r;
    InflateRect(&f, -4, -4);
    DrawFocusRect(dc, &f);
  }
  RestoreDC(dc, saved);
}
