#include "framework/Menus.h"

#include "framework/Text.h"

TMenuItem::TMenuItem(TComponent* owner, const std::string& caption, WORD shortCutKey, const std::string& hint)
    : TComponent(owner), FCaption(caption), FShortCutKey(shortCutKey), FHint(hint) {}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

void TPopupMenu::Add(TMenuItem* item) {
  FItems.push_back(item);
  FHandle.Reset(nullptr);
}

HMENU TPopupMenu::Handle() {
  if (FHandle) return FHandle.Get();
  FHandle.Reset(CreatePopupMenu());
  HMENU menu = FHandle.Get();
  for (size_t i = 0; i < FItems.size(); ++i) {
    TMenuItem* item = FItems[i];
    if (item->IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::string caption = item->Caption();
    if (item->ShortCutKey()) {
      caption += "\tCtrl+";
      caption += static_cast<char>(item->ShortCutKey());
    }
    AppendMenuW(menu, MF_STRING, i + 1, Widen(caption).c_str());
  }
  return menu;
}

std::wstring TPopupMenu::Describe() {
  HMENU menu = Handle();
  std::wstring out;
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (i > 0) out += L'\n';
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) && (info.fType & MFT_SEPARATOR)) {
      out += L'-';
      continue;
    }
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    std::wstring line = text;
    if (line.find(L'\t') == std::wstring::npos) line += L'\t';
    out += line + L'\t';
    if (static_cast<size_t>(i) < FItems.size()) out += Widen(FItems[static_cast<size_t>(i)]->Hint());
  }
  return out;
}

void TPopupMenu::Popup(int x, int y, HWND owner) {
  UINT id = static_cast<UINT>(TrackPopupMenu(Handle(), TPM_CENTERALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                             x, y, 0, owner, nullptr));
  if (id >= 1 && id <= FItems.size() && FItems[id - 1]->OnClick) FItems[id - 1]->OnClick();
}

bool TPopupMenu::IsShortCut(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0, alt = GetKeyState(VK_MENU) < 0;
  if (!ctrl || shift || alt) return false;
  for (TMenuItem* item : FItems) {
    if (item->ShortCutKey() && item->ShortCutKey() == msg.wParam && item->OnClick) {
      item->OnClick();
      return true;
    }
  }
  return false;
}
