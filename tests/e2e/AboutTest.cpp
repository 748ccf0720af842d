// The About window in the running program.
#include <gtest/gtest.h>

#include "e2e/Harness.h"
#include "e2e/RunSupport.h"

using namespace Inspector;
using namespace E2ERun;

namespace {

HWND OpenAbout(TQuendalRun& run) {
  WaitFor([&] { return Enabled(run.Main()); }, 3000);
  SetForegroundWindow(run.Main());
  WaitFor([&] { return GetForegroundWindow() == run.Main(); }, 2000);
  SendKey(run.Main(), 'A', true);
  HWND about = nullptr;
  WaitFor(
      [&] {
        about = FindWindowNamed(run.ProcessId(), "AboutProgramPanel");
        return about && Visible(about);
      },
      5000);
  // Keys go to it only once it is the active window.
  if (about) WaitFor([&] { return GetForegroundWindow() == about; }, 2000);
  return about && Visible(about) ? about : nullptr;
}

void QuitByCtrlQ(TQuendalRun& run) {
  WaitFor([&] { return Enabled(run.Main()); }, 3000);
  SendKey(run.Main(), 'Q', true);
  DWORD code = 0;
  EXPECT_TRUE(run.WaitExit(10000, code));
}

TEST(About, ShowsBothVersionsAndEscClosesItWithoutTheExitQuestion) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  HWND about = OpenAbout(run);
  ASSERT_NE(about, nullptr) << "the About window did not open";
  EXPECT_EQ(Text(about), "О программе ...");
  EXPECT_EQ(Text(FindControl(about, "QuendalVersionLMDStaticText")), "1.2.0.0");
  EXPECT_EQ(Text(FindControl(about, "CorvaneVersionLMDStaticText")), "3.3");
  EXPECT_FALSE(Enabled(run.Main())) << "the main window takes input under the About window";

  SendKey(about, VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !Visible(about); }, 5000));
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 500)) << "Esc reached the exit question";
  EXPECT_TRUE(WaitFor([&] { return Enabled(run.Main()); }, 2000));

  // The main window's Esc is back.
  ASSERT_NO_FATAL_FAILURE(AnswerExitQuestion(run, run.Main(), IDNO));
  QuitByCtrlQ(run);
}

TEST(About, EnterClosesItThroughOkAndItOpensAgain) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  for (int i = 0; i < 2; ++i) {
    HWND about = OpenAbout(run);
    ASSERT_NE(about, nullptr) << "showing " << i + 1;
    SendKey(about, VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !Visible(about); }, 5000)) << "showing " << i + 1;
  }
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 300));
  QuitByCtrlQ(run);
}

TEST(About, TheMonitorKeepsUpdatingTheMainWindowWhileItIsOpen) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  // The scan has written the list once.
  ASSERT_TRUE(WaitFor([&] { return run.Lines("ModulesListBox").size() == 25; }, 10000));
  std::vector<std::string> before = run.Lines("ModulesListBox");
  HWND about = OpenAbout(run);
  ASSERT_NE(about, nullptr);
  run.Rewrite("version 3.3\nslot 2 model=k200 name=K200 serial=E2E00001\nslot 7 model=k390 name=K390 serial=E2E00007\n");
  std::vector<std::string> after;
  EXPECT_TRUE(WaitFor(
      [&] {
        after = run.Lines("ModulesListBox");
        return after.size() == 25 && after[7] != before[7];
      },
      8000))
      << "slot 7 still reads: " << (before.size() > 7 ? before[7] : std::string("<no line>"));
  if (after.size() == 25) {
    EXPECT_NE(after[7].find("K390"), std::string::npos) << after[7];
  }
  EXPECT_TRUE(Visible(about));
  EXPECT_FALSE(Enabled(run.Main()));
  SendKey(about, VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !Visible(about); }, 5000));
  QuitByCtrlQ(run);
}

}  // namespace
