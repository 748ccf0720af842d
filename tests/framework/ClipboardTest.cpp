// The copied details as programs that read only 8-bit text paste them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/Clipboard.h"
#include "framework/Handles.h"

namespace {

// An English keyboard layout at the copy (under Wine: an English user
// locale) still gives code page 1251.
TEST(Clipboard, RussianTextIsReadBackAsCodePage1251WhateverTheLayout) {
  HKL previous = GetKeyboardLayout(0);
  LoadKeyboardLayoutW(L"00000409", KLF_ACTIVATE);
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const std::string report = "Слот 3: К3-600, серийный номер 1A2B3C4D, частота 48.0 МГц\r\nЁё №";
  const long memory = LiveCount(TResourceKind::Memory);
  EXPECT_TRUE(CopyTextToClipboard(owner, report));
  EXPECT_EQ(LiveCount(TResourceKind::Memory), memory) << "the clipboard owns both blocks it took";
  ActivateKeyboardLayout(previous, 0);
  ASSERT_TRUE(OpenClipboard(owner));
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  EXPECT_EQ(text ? std::string(text) : "<none>", report);
  if (text) GlobalUnlock(data);
  CloseClipboard();
  DestroyWindow(owner);
}

}  // namespace
