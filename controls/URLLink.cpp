#include "controls/URLLink.h"

#include <shellapi.h>
#include <windowsx.h>

#include "framework/Text.h"

TURLLink::TShellExecuteFunction TURLLink::ShellExecuteFunction = &ShellExecuteW;

TURLLink::TURLLink(TComponent* owner) : TLabel(owner) {
  // The framework's default font until the window places its own.
  FFocusFont.Set("Arial", 17, 0, DEFAULT_CHARSET);
  FNormalFont.Assign(Font());
  OnClick = [this](TComponent* sender) { ClickThroughLink(sender); };
}

TURLLink::~TURLLink() = default;

DWORD TURLLink::WindowStyle() const {
  // SS_NOTIFY: the static answers hit tests, so the mouse reaches it.
  return TLabel::WindowStyle() | SS_NOTIFY;
}

void TURLLink::Click() {
  if (OnClick) OnClick(this);
}

void TURLLink::ClickThroughLink(TComponent*) {
  if (Link.empty() || !ShellExecuteFunction) return;
  std::wstring target = Widen(Link);
  ShellExecuteFunction(GetDesktopWindow(), L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TURLLink::ShowFont(const TFont& font) {
  Font().Assign(font);
  FontChanged();
  Invalidate();
}

void TURLLink::CMMouseEnter() {
  FNormalFont.Assign(Font());
  ShowFont(FFocusFont);
  if (OnMouseEnter) OnMouseEnter(this);
}

void TURLLink::CMMouseLeave() {
  ShowFont(FNormalFont);
  if (OnMouseLeave) OnMouseLeave(this);
}

LRESULT TURLLink::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A click is a press and a release inside the label. The static itself
  // would report one on the press, and a double click as a second one.
  switch (msg) {
    case WM_LBUTTONDOWN:
      FPressed = true;
      SetCapture(Handle());
      return 0;
    case WM_LBUTTONDBLCLK:
      // The second press of a double click: the first one has clicked.
      return 0;
    case WM_LBUTTONUP:
      if (FPressed) {
        FPressed = false;
        if (GetCapture() == Handle()) ReleaseCapture();
        RECT r;
        GetClientRect(Handle(), &r);
        POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (PtInRect(&r, at)) Click();
      }
      return 0;
    case WM_CAPTURECHANGED:
      FPressed = false;
      break;
    case WM_MOUSEMOVE:
      if (!FMouseInside) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, Handle(), 0};
        if (TrackMouseEvent(&track)) {
          FMouseInside = true;
          CMMouseEnter();
        }
      }
      break;
    case WM_MOUSELEAVE:
      if (FMouseInside) {
        FMouseInside = false;
        CMMouseLeave();
      }
      return 0;
  }
  return TLabel::WndProc(msg, wParam, lParam);
}
