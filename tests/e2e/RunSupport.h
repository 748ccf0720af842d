// What the end-to-end tests of a running program share: the scenario with
// one module, how long an exit may take, the stand-in's counters, and the
// clean exit that ends most tests.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "e2e/Harness.h"

namespace E2ERun {

const DWORD ExitTimeout = 10000;
const char* const OneModule = "version 3.3\nslot 2 model=k200 name=K200 serial=E2E00001\n";
const char* const NoModule = "version 3.3\n";

// Waits until the control shows the text; a failure names what it showed.
inline ::testing::AssertionResult Shows(const TQuendalRun& run, const std::string& name, const std::string& text,
                                        DWORD ms = 5000) {
  if (run.WaitText(name, text, ms)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << name << " shows \"" << run.Text(name) << "\", not \"" << text << "\"";
}

inline long Stat(const TQuendalRun& run, const std::string& key) {
  return StatValue(run.Stats(), key);
}

// Waits until the stand-in has counted a further full scan of the 25 slots.
inline bool AnotherScan(const TQuendalRun& run) {
  long before = Stat(run, "open");
  return Inspector::WaitFor([&] { return Stat(run, "open") >= before + 25; }, 8000, 50);
}

inline void ExpectCleanExit(TQuendalRun& run) {
  DWORD code = 12345;
  ASSERT_TRUE(run.WaitExit(ExitTimeout, code)) << "the program did not end";
  EXPECT_EQ(code, 0u);
}

// Esc in the window brings the exit question, answered with the button
// (IDYES, IDNO).
inline void AnswerExitQuestion(TQuendalRun& run, HWND window, int button) {
  Inspector::SendKey(window, VK_ESCAPE);
  Inspector::TMessageBox box;
  ASSERT_TRUE(run.FindBox(box));
  EXPECT_EQ(box.Caption, "Подтвердите завершение!");
  ASSERT_TRUE(Inspector::PressButton(box, button));
}

// Ctrl+Q, the menu's exit short cut, and the clean exit it brings.
inline void QuitWithShortCut(TQuendalRun& run) {
  Inspector::SendKey(run.Main(), 'Q', true);
  ExpectCleanExit(run);
}

}  // namespace E2ERun
