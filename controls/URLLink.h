// A text label that acts as a hyperlink: a click hands its Link to the
// desktop shell, and while the pointer is over it the label shows FocusFont.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/Controls.h"

class TURLLink : public TLabel {
 public:
  // The shell's execute function as the link calls it; tests replace it.
  typedef HINSTANCE(WINAPI* TShellExecuteFunction)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  static TShellExecuteFunction ShellExecuteFunction;

  explicit TURLLink(TComponent* owner);
  ~TURLLink() override;

  TFont& FocusFont() { return FFocusFont; }
  // Copies `font` into FocusFont.
  void SetFocusFont(const TFont& font) { FFocusFont.Assign(font); }

  // A web address, a "mailto:" address or anything the shell can open (cp1251).
  std::string Link;
  std::function<void(TComponent* sender)> OnMouseEnter;
  std::function<void(TComponent* sender)> OnMouseLeave;
  // The click handler; ClickThroughLink until another one is assigned.
  std::function<void(TComponent* sender)> OnClick;

  void Click();
  // Opens Link with the shell's "open" verb; an empty Link does nothing.
  void ClickThroughLink(TComponent* sender);

  // The pointer came onto the label / left it.
  void CMMouseEnter();
  void CMMouseLeave();

 protected:
  DWORD WindowStyle() const override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowFont(const TFont& font);
  TFont FFocusFont;
  TFont FNormalFont;
  bool FMouseInside = false;
  bool FPressed = false;  // pressed inside, not yet released
};
