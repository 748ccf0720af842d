// The popup menu and its items; a form tries its menu's short cuts on every
// key press before anything else sees the key.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Handles.h"

class TMenuItem : public TComponent {
 public:
  TMenuItem(TComponent* owner, const std::string& caption, WORD shortCutKey = 0, const std::string& hint = "");
  const std::string& Caption() const { return FCaption; }
  const std::string& Hint() const { return FHint; }
  WORD ShortCutKey() const { return FShortCutKey; }  // virtual-key code pressed with Ctrl; 0 for none
  bool IsSeparator() const { return FCaption == "-"; }
  std::function<void()> OnClick;

 private:
  std::string FCaption;
  WORD FShortCutKey;
  std::string FHint;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  void Add(TMenuItem* item);
  const std::vector<TMenuItem*>& Items() const { return FItems; }
  // Shows the menu centred horizontally on the screen point (x, y).
  void Popup(int x, int y, HWND owner);
  // Runs the item whose short cut the key message is; true when one ran.
  bool IsShortCut(const MSG& msg);
  HMENU Handle();
  // The items as the system menu holds them, for the menu query: one line
  // per item, "caption\tshort cut\thint", "-" for a separator line.
  std::wstring Describe();

 private:
  std::vector<TMenuItem*> FItems;
  TMenuHandle FHandle;
};
