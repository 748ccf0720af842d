// The running main window from outside: a frame that keeps its size,
// minimising and restoring, the start request, the keyboard, and the enabled
// state as it is drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/E2EPixels.h"
#include "e2e/Harness.h"
#include "e2e/RunSupport.h"
#include "e2e/ShellSupport.h"

using namespace Inspector;
using namespace E2ERun;

namespace {

// ---- The running window -------------------------------------------------------

HWND ApplicationWindow(const TQuendalRun& run) { return FindWindowNamed(run.ProcessId(), "Application", 2000); }

TEST(MainWindow, CannotBeMaximisedOrResized) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  HWND main = run.Main();
  ASSERT_TRUE(WaitFor([&] { return Visible(main); }, 5000));
  RECT before = {};
  GetWindowRect(main, &before);

  DWORD_PTR result = 0;
  ASSERT_TRUE(SendMessageTimeoutW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0, SMTO_ABORTIFHUNG, 3000, &result));
  EXPECT_FALSE(IsZoomed(main));
  // A refused keyboard sizing returns at once; an accepted one would wait
  // here for the arrow keys.
  EXPECT_TRUE(SendMessageTimeoutW(main, WM_SYSCOMMAND, SC_SIZE, 0, SMTO_ABORTIFHUNG, 3000, &result)) << "sizing began";
  SendKey(nullptr, VK_RIGHT);
  SendKey(nullptr, VK_DOWN);
  SendKey(nullptr, VK_RETURN);
  Sleep(200);
  RECT after = {};
  GetWindowRect(main, &after);
  EXPECT_TRUE(EqualRect(&before, &after)) << "the window moved or changed size";

  // The border offers no sizing to the mouse.
  const POINT edges[] = {{before.right - 1, (before.top + before.bottom) / 2},
                         {(before.left + before.right) / 2, before.bottom - 1},
                         {before.left, (before.top + before.bottom) / 2},
                         {before.right - 1, before.bottom - 1},
                         {before.left, before.top}};
  for (const POINT& p : edges) {
    LRESULT hit = SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    EXPECT_TRUE(hit < HTSIZEFIRST || hit > HTSIZELAST) << "sizing edge " << hit << " at " << p.x << "," << p.y;
  }
  QuitWithShortCut(run);
}

TEST(MainWindow, MinimisingAndRestoringStartsNoSecondMonitor) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  HWND main = run.Main();
  HWND application = ApplicationWindow(run);
  ASSERT_NE(application, nullptr);
  ASSERT_TRUE(WaitFor([&] { return Stat(run, "version-calls") == 1 && Stat(run, "create-calls") > 0; }, 8000));
  long interfaces = Stat(run, "create-calls");
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i + 1);
    DWORD_PTR r = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_ABORTIFHUNG, 3000, &r));
    EXPECT_TRUE(WaitFor([&] { return !Visible(main) && IsIconic(application); }, 3000)) << "not minimised";
    // As the taskbar button restores it.
    PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitFor([&] { return Visible(main) && !IsIconic(application); }, 3000)) << "not restored";
  }
  ASSERT_TRUE(AnotherScan(run)) << "the monitor stopped polling";
  EXPECT_EQ(Stat(run, "version-calls"), 1) << "a second start-up";
  EXPECT_EQ(Stat(run, "create-calls"), interfaces) << "a second set of interfaces";
  QuitWithShortCut(run);
}

TEST(MainWindow, OnlyTheWindowsOwnStartRequestStartsTheMonitor) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  ASSERT_TRUE(WaitFor([&] { return Stat(run, "version-calls") == 1; }, 8000)) << "the first show started no monitor";
  // The start message again, from outside, and some other program message.
  PostMessageW(run.Main(), WM_USER + 100, 0, 0);
  PostMessageW(run.Main(), WM_USER + 101, 0, 0);
  ASSERT_TRUE(AnotherScan(run));
  EXPECT_EQ(Stat(run, "version-calls"), 1) << "a second monitor thread";
  // Everything else still goes its usual way.
  EXPECT_EQ(ControlName(run.Main()), "MainForm");
  EXPECT_EQ(Text(run.Main()).compare(0, 22, Shell::Title), 0) << Text(run.Main());
  PostMessageW(run.Main(), WM_CLOSE, 0, 0);
  ExpectCleanExit(run);
}

// ---- Keyboard and what is drawn ---------------------------------------------------

TEST(MainWindow, TheListTakesTheFocusAndArrowsMoveItsSelection) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 0 model=k200 name=K200 serial=E2E00001\nslot 1 model=k390 name=K390\n"));
  HWND list = run.Control("ModulesListBox");
  ASSERT_TRUE(WaitFor([&] { return Enabled(list) && ListLines(list).size() == 25; }, 8000)) << "the list was not enabled";
  int first = ListSelection(list);
  ASSERT_GE(first, 0) << "nothing selected with modules present";
  ASSERT_LT(first, 24);
  SendKey(run.Main(), VK_DOWN);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == first + 1; }, 3000)) << "Down did not move the selection";
  SendKey(nullptr, VK_UP);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == first; }, 3000)) << "Up did not move the selection";
  QuitWithShortCut(run);
}

// Pixels of a colour family in the control's area on screen.
int Drawn(HWND h, COLORREF colour, int tolerance) {
  E2E::TScreenArea area(E2E::ScreenRect(h));
  return area.Count(colour, tolerance);
}

TEST(MainWindow, EnabledStateIsWhatIsDrawn) {
  // A K3-200 has a microcontroller and no DSP: the details enable the one
  // group's rows and disable the other's.
  const COLORREF black = RGB(0, 0, 0), grey = GetSysColor(COLOR_GRAYTEXT);
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  HWND on = run.Control("McuTypeLabelLMDStaticText"), off = run.Control("DspTypeLabelLMDStaticText");
  ASSERT_TRUE(on && off);
  ASSERT_TRUE(WaitFor([&] { return Enabled(on) && !Enabled(off); }, 8000)) << "the K3-200 was not shown";
  ASSERT_TRUE(AnotherScan(run));
  SetForegroundWindow(run.Main());
  // Painting follows the state a moment later.
  WaitFor([&] { return Drawn(on, black, 40) > 10 && Drawn(off, black, 40) == 0 && Drawn(off, grey, 40) > 10; }, 3000, 50);
  EXPECT_GT(Drawn(on, black, 40), 10) << "an enabled label not drawn in its colour";
  EXPECT_EQ(Drawn(off, black, 40), 0) << "a disabled label drawn in its enabled colour";
  EXPECT_GT(Drawn(off, grey, 40), 10) << "a disabled label not drawn grey";
  QuitWithShortCut(run);
}

}  // namespace
