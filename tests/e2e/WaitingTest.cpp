// The Waiting window while a K3-600 takes its firmware load.
#include <gtest/gtest.h>

#include "e2e/E2EPixels.h"
#include "e2e/Harness.h"
#include "e2e/RunSupport.h"

using namespace Inspector;
using E2ERun::AnswerExitQuestion;

namespace {

const char* const OneK600 = "version 3.3\nslot 1 model=k600 name=K600 load-ms=2500\n";
constexpr UINT GetBarPosition = WM_USER + 8;  // PBM_GETPOS

HWND WaitForWaitingWindow(const TQuendalRun& run, DWORD ms) {
  HWND waiting = nullptr;
  WaitFor(
      [&] {
        waiting = FindWindowNamed(run.ProcessId(), "WaitingPanel");
        return waiting && Visible(waiting);
      },
      ms);
  return waiting && Visible(waiting) ? waiting : nullptr;
}

// Ends the program through its close box; the key focus may still be in
// the Waiting window, where the main window's short cuts do not act.
void QuitThroughCloseBox(TQuendalRun& run) {
  PostMessageW(run.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code = 1;
  EXPECT_TRUE(run.WaitExit(15000, code));
  EXPECT_EQ(code, 0u);
}

TEST(Waiting, ShownOnTopWithoutCaptionButtonsDuringTheLoadAndHiddenAfterIt) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneK600));
  HWND waiting = WaitForWaitingWindow(run, 10000);
  ASSERT_NE(waiting, nullptr) << "the Waiting window did not appear";
  EXPECT_EQ(Text(waiting), "Ждём-c...");
  LONG style = GetWindowLongW(waiting, GWL_STYLE), ex = GetWindowLongW(waiting, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_FALSE(style & WS_SYSMENU);

  // The bar moves on its timer while the worker loads.
  HWND bar = FindControl(waiting, "WaitingLMDProgress");
  ASSERT_NE(bar, nullptr);
  LRESULT first = SendMessageW(bar, GetBarPosition, 0, 0);
  LRESULT later = first;
  EXPECT_TRUE(WaitFor([&] { return (later = SendMessageW(bar, GetBarPosition, 0, 0)) != first; }, 1500))
      << "the bar stood at " << first;
  EXPECT_GE(later, 0);
  EXPECT_LE(later, 100);

  // What the user sees: the coloured pieces of the memo.
  HWND memo = FindControl(waiting, "ESColorMemo1");
  ASSERT_NE(memo, nullptr);
  E2E::TScreenArea area(E2E::ScreenRect(memo));
  EXPECT_GT(area.Count(RGB(0, 0, 255)), 0) << "no blue K3-600";
  EXPECT_GT(area.Count(RGB(128, 0, 128)), 0) << "no purple 2 сек.";
  EXPECT_GT(area.Count(RGB(128, 0, 0)), 0) << "no maroon ждём-с";
  EXPECT_GT(area.Count(RGB(0, 0, 0)), 0) << "no text in the default colour";

  EXPECT_TRUE(WaitFor([&] { return !Visible(waiting); }, 10000)) << "still shown after the load";
  QuitThroughCloseBox(run);
}

TEST(Waiting, EscInTheWaitingWindowAsksTheExitQuestion) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 1 model=k600 name=K600 load-ms=4000\n"));
  HWND waiting = WaitForWaitingWindow(run, 10000);
  ASSERT_NE(waiting, nullptr);
  ASSERT_NO_FATAL_FAILURE(AnswerExitQuestion(run, waiting, IDNO));
  EXPECT_TRUE(run.Running());
  QuitThroughCloseBox(run);
}

}  // namespace
