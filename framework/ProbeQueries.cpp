#include "framework/ProbeQueries.h"

#include <cwchar>

#include "framework/Handles.h"
#include "framework/Menus.h"
#include "framework/Messages.h"
#include "framework/Text.h"
#include "framework/WinControl.h"

namespace {

// Answers a text query from another process: wParam = buffer size in
// characters, lParam = a UTF-16 buffer in this process.
LRESULT CopyToCaller(const std::wstring& w, WPARAM wParam, LPARAM lParam) {
  auto* buffer = reinterpret_cast<wchar_t*>(lParam);
  size_t size = static_cast<size_t>(wParam);
  if (!buffer || size == 0) return 0;
  size_t n = w.size() < size ? w.size() : size - 1;
  w.copy(buffer, n);
  buffer[n] = L'\0';
  return static_cast<LRESULT>(n);
}

}  // namespace

bool AnswerQuery(TWinControl& control, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == ControlNameMessage())
    result = CopyToCaller(Widen(control.Name()), wParam, lParam);
  else if (msg == CounterMessage())
    result = LiveCount(static_cast<TResourceKind>(wParam));
  else if (msg == LookMessage())
    result = CopyToCaller(control.Look(), wParam, lParam);
  else if (msg == MenuMessage())
    result = control.PopupMenu() ? CopyToCaller(control.PopupMenu()->Describe(), wParam, lParam) : 0;
  else
    return false;
  return true;
}

std::wstring FontLook(HWND window, HFONT font, TColor text, TColor back) {
  LOGFONTW lf = {};
  wchar_t used[LF_FACESIZE] = {};
  bool fixed = false;
  if (font && GetObjectW(font, sizeof(lf), &lf)) {
    TWindowDC dc(window);
    if (dc.Get()) {
      HGDIOBJ old = SelectObject(dc.Get(), font);
      GetTextFaceW(dc.Get(), LF_FACESIZE, used);
      TEXTMETRICW tm = {};
      // TMPF_FIXED_PITCH set means a variable pitch.
      if (GetTextMetricsW(dc.Get(), &tm)) fixed = (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
      SelectObject(dc.Get(), old);
    }
  }
  lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
  used[LF_FACESIZE - 1] = L'\0';
  std::wstring s = L"face=" + std::wstring(lf.lfFaceName);
  s += L";height=" + std::to_wstring(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight);
  s += L";weight=" + std::to_wstring(lf.lfWeight);
  s += L";italic=" + std::to_wstring(lf.lfItalic ? 1 : 0);
  s += L";charset=" + std::to_wstring(lf.lfCharSet);
  s += L";used=" + std::wstring(used);
  s += L";fixed=" + std::to_wstring(fixed ? 1 : 0);
  s += L";text=" + RgbText(text);
  s += L";back=" + RgbText(back);
  return s;
}

std::wstring RgbText(TColor color) {
  COLORREF c = ColorToRGB(color);
  wchar_t text[8] = {};
  std::swprintf(text, 8, L"%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}
