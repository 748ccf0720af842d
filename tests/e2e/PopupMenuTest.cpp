// The main window's popup menu from outside: its items, short cuts and hint,
// where a right click opens it, and what its items do.
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

// ---- Popup menu and short cuts ---------------------------------------------

TEST(PopupMenu, ItemsShortCutsAndHint) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  const std::string expected = "О программе ...\tCtrl+A\t\n-\nВыход\tCtrl+Q\tСпокойный выход из программы";
  EXPECT_EQ(PopupMenuText(run.Main()), expected);
  EXPECT_EQ(PopupMenuText(run.Control("ModulesListBox")), expected) << "the list carries another menu";
  QuitWithShortCut(run);
}

// The screen point of a design point in the window's client area.
POINT ClientPoint(HWND main, int x, int y, int dpi) {
  POINT p = {Shell::Scale(x, dpi), Shell::Scale(y, dpi)};
  ClientToScreen(main, &p);
  return p;
}

TEST(PopupMenu, RightClickAnywhereOpensItCentredOnThePoint) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  HWND main = run.Main();
  ASSERT_TRUE(WaitFor([&] { return Visible(main); }, 5000));
  const int dpi = 96;  // the prefix's own resolution
  struct TTarget {
    const char* Name;  // control clicked at its centre; null: the point below
    POINT At;          // design point in the window's client area
  };
  const TTarget targets[] = {
      {"ModulesListBox", {}},
      {"ModuleLoadingLed", {}},
      {"UsbSpeedLed", {}},
      {"McuFreqLMDStaticText", {}},
      {"McuFreqLabelLMDStaticText", {}},
      {"PldFirmwareVersionLMDStaticText", {}},
      {"SsModulesListStaticText", {}},
      {"VirtualSlotStaticText", {}},
      {"SerialNumberLMDStaticText", {}},
      {"DacLabelLMDStaticText", {}},
      {nullptr, {333 + 20, 80}},       // the group box itself, between its controls
      {nullptr, {333 + 3 + 2, 270}},   // a sub-box, left of its rows
      {nullptr, {291, 15}},            // the window, between the heading and the slot number
  };
  for (const TTarget& t : targets) {
    SCOPED_TRACE(t.Name ? t.Name : "point " + std::to_string(t.At.x) + "," + std::to_string(t.At.y));
    POINT clicked;
    if (t.Name) {
      HWND h = run.Control(t.Name);
      ASSERT_NE(h, nullptr);
      clicked = Click(h, true);
    } else {
      POINT p = ClientPoint(main, t.At.x, t.At.y, dpi);
      RECT w = {};
      GetWindowRect(main, &w);
      clicked = Click(main, true, p.x - w.left, p.y - w.top);
    }
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = Shell::PopupMenuWindow(run.ProcessId())) != nullptr; }, 3000)) << "no menu";
    RECT m = {};
    GetWindowRect(menu, &m);
    EXPECT_NEAR((m.left + m.right) / 2, clicked.x, 1) << "not centred on the point";
    EXPECT_EQ(m.top, clicked.y) << "not below the point";
    SendKey(nullptr, VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return Shell::PopupMenuWindow(run.ProcessId()) == nullptr; }, 3000)) << "Esc left the menu open";
  }
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 300)) << "the Esc that closed a menu reached the exit question";
  EXPECT_TRUE(run.Running());
  QuitWithShortCut(run);
}

HWND OpenMenuOnTheList(TQuendalRun& run) {
  Click(run.Control("ModulesListBox"), true);
  HWND menu = nullptr;
  WaitFor([&] { return (menu = Shell::PopupMenuWindow(run.ProcessId())) != nullptr; }, 3000);
  return menu;
}

HWND WaitAbout(const TQuendalRun& run, bool shown) {
  HWND about = nullptr;
  WaitFor(
      [&] {
        about = FindWindowNamed(run.ProcessId(), "AboutProgramPanel");
        return about && Visible(about) == shown;
      },
      5000);
  return about && Visible(about) == shown ? about : nullptr;
}

TEST(PopupMenu, FirstItemOpensAboutModallyAndTheLastExitsWithoutQuestion) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  ASSERT_TRUE(WaitFor([&] { return Visible(run.Main()); }, 5000));
  ASSERT_NE(OpenMenuOnTheList(run), nullptr);
  SendKey(nullptr, VK_DOWN);
  SendKey(nullptr, VK_RETURN);
  HWND about = WaitAbout(run, true);
  ASSERT_NE(about, nullptr) << "the first item did not open the About window";
  EXPECT_FALSE(Enabled(run.Main())) << "the main window takes input under the About window";
  PostMessageW(about, WM_CLOSE, 0, 0);
  ASSERT_NE(WaitAbout(run, false), nullptr);
  EXPECT_TRUE(WaitFor([&] { return Enabled(run.Main()); }, 3000));

  // Down, down: past the separator to the last item.
  ASSERT_NE(OpenMenuOnTheList(run), nullptr);
  SendKey(nullptr, VK_DOWN);
  SendKey(nullptr, VK_DOWN);
  SendKey(nullptr, VK_RETURN);
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 300)) << "exit asked a question";
  ExpectCleanExit(run);
}

TEST(PopupMenu, CtrlAOpensAboutAndTheMainWindowIgnoresItsShortCutsMeanwhile) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  SendKey(run.Main(), 'A', true);
  HWND about = WaitAbout(run, true);
  ASSERT_NE(about, nullptr) << "Ctrl+A did not open the About window";
  EXPECT_FALSE(Enabled(run.Main()));
  EXPECT_EQ(Shell::PopupMenuWindow(run.ProcessId()), nullptr) << "the short cut opened the menu";
  SendKey(run.Main(), 'Q', true);
  Sleep(500);
  EXPECT_TRUE(run.Running()) << "Ctrl+Q reached the main window under the About window";
  PostMessageW(about, WM_CLOSE, 0, 0);
  ASSERT_NE(WaitAbout(run, false), nullptr);
  ASSERT_TRUE(WaitFor([&] { return Enabled(run.Main()); }, 3000));
  QuitWithShortCut(run);
}

}  // namespace
