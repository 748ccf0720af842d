#include "controls/URLLink.h"

#include <shellapi.h>

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
  // SS_NOTIFY: the static answers hit tests and reports clicks.
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

bool TURLLink::Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_COMMAND && (HIWORD(wParam) == STN_CLICKED || HIWORD(wParam) == STN_DBLCLK)) {
    Click();
    result = 0;
    return true;
  }
  return TLabel::Reflected(msg, wParam, lParam, result);
}

LRESULT TURLLink::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
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
