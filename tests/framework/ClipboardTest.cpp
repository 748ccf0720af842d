// The details copied to the clipboard, as the programs beside this one that
// read only 8-bit text paste them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/Clipboard.h"

namespace {

std::string ClipboardBytes(UINT format) {
  HANDLE data = GetClipboardData(format);
  const char* p = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  std::string bytes = p ? std::string(p, GlobalSize(data)) : std::string();
  if (p) GlobalUnlock(data);
  return bytes;
}

// With an English keyboard layout active at the copy (and under Wine with an
// English user locale), the derived 8-bit text is still code page 1251.
TEST(Clipboard, RussianTextIsReadBackAsCodePage1251WhateverTheLayout) {
  HKL previous = GetKeyboardLayout(0);
  LoadKeyboardLayoutW(L"00000409", KLF_ACTIVATE);
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const std::string report = "Слот 3: К3-600, серийный номер 1A2B3C4D, частота 48.0 МГц\r\nЁё №";
  EXPECT_TRUE(CopyTextToClipboard(owner, report));
  ActivateKeyboardLayout(previous, 0);
  ASSERT_TRUE(OpenClipboard(owner));
  std::string text = ClipboardBytes(CF_TEXT), locale = ClipboardBytes(CF_LOCALE);
  CloseClipboard();
  DestroyWindow(owner);
  EXPECT_EQ(text.substr(0, text.find('\0')), report);
  ASSERT_GE(locale.size(), sizeof(LCID));
  EXPECT_EQ(*reinterpret_cast<const LCID*>(locale.data()), 0x0419u);
}

}  // namespace
