// The slot scan as the shipped program does it: the list, the selection and
// how often modules are set up, seen through the window and the stand-in's
// call counters.
#include <gtest/gtest.h>
#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/Harness.h"
#include "e2e/MonitorSupport.h"
#include "e2e/RunSupport.h"

using namespace Inspector;
using namespace MonitorE2E;
using E2ERun::Shows;

namespace {

bool WaitLine(const TQuendalRun& run, int index, const std::string& text, DWORD ms = 10000) {
  return WaitFor([&] {
    std::vector<std::string> lines = run.Lines("ModulesListBox");
    return static_cast<int>(lines.size()) > index && lines[static_cast<size_t>(index)] == text;
  }, ms);
}

// Started on the scenario, whose module in slot 2 is shown first, then moved
// to the empty slot 5: the details are redrawn. The slot list in list.
void FromSlot2ToEmptySlot5(TQuendalRun& run, const char* scenario, HWND& list) {
  ASSERT_TRUE(run.Start(scenario));
  ASSERT_TRUE(Shows(run, "VirtualSlotStaticText", "2", 10000));
  list = run.Control("ModulesListBox");
  ClickLine(list, 5);
  ASSERT_TRUE(Shows(run, "VirtualSlotStaticText", "5", 5000));
  ASSERT_TRUE(WaitFor([&] { return Caption(run) == NoModuleCaption; }, 5000)) << Caption(run);
}

// A counter of one slot from the stand-in's counters, or -1.
long SlotStat(const TQuendalRun& run, int slot, const char* key) {
  std::string stats = run.Stats(), line = "\nslot " + std::to_string(slot) + " ";
  size_t at = stats.find(line);
  if (at == std::string::npos) return -1;
  return StatValue(stats.substr(at + line.size(), stats.find('\n', at + 1) - at - line.size()), key);
}

std::string LineOf(const TQuendalRun& run, int index) {
  std::vector<std::string> lines = run.Lines("ModulesListBox");
  return static_cast<int>(lines.size()) > index ? lines[static_cast<size_t>(index)] : "<no line>";
}

TEST(ScanEndToEnd, ModulesAtStartAreListedAndTheLowestIsSelected) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 9 model=k390 serial=NINE0009\nslot 4 model=k200 serial=FOUR0004\n"));
  ASSERT_TRUE(WaitLine(run, 9, "Слот  9: Модуль K390")) << LineOf(run, 9);
  HWND list = run.Control("ModulesListBox");
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == 4; }, 3000)) << ListSelection(list);
  EXPECT_TRUE(Enabled(list));
  std::vector<std::string> lines = run.Lines("ModulesListBox");
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[4], "Слот  4: Модуль K200");
  EXPECT_EQ(lines[3], "Слот  3: -----");
  EXPECT_EQ(lines[10], "Слот 10: -----");
  EXPECT_TRUE(Shows(run, "VirtualSlotStaticText", "4", 3000));
  EXPECT_EQ(Caption(run), "Мониторинг USB модулей: K200 --> S/N FOUR0004");
}

TEST(ScanEndToEnd, AClickOnAnotherOccupiedLineShowsThatSlot) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 2 model=k200 serial=TWO00002\nslot 9 model=k8050 serial=NINE0009\n"));
  ASSERT_TRUE(Shows(run, "VirtualSlotStaticText", "2", 10000));
  ClickLine(run.Control("ModulesListBox"), 9);
  ASSERT_TRUE(Shows(run, "VirtualSlotStaticText", "9", 5000));
  EXPECT_TRUE(WaitFor([&] { return Caption(run) == "Мониторинг USB модулей: K80-50 --> S/N NINE0009"; }, 3000))
      << Caption(run);
  EXPECT_EQ(run.Text("ModuleGroupBox"), "Модуль K80-50");
  EXPECT_TRUE(Enabled(run.Control("PldLMDGroupBox")));
}

TEST(ScanEndToEnd, MovesBetweenEmptySlotsChangeOnlyTheSlotBox) {
  TQuendalRun run;
  HWND list = nullptr;
  ASSERT_NO_FATAL_FAILURE(FromSlot2ToEmptySlot5(run, "version 3.3\nslot 2 model=k200 serial=TWO00002\n", list));
  // Marks that only a redraw would overwrite.
  SetWindowTextW(run.Main(), L"marker");
  SetWindowTextW(run.Control("SpeedModeStaticText"), L"XX");
  ClickLine(list, 7);
  ASSERT_TRUE(Shows(run, "VirtualSlotStaticText", "7", 5000));
  Sleep(800);  // a few more cycles
  EXPECT_EQ(Caption(run), "marker");
  EXPECT_EQ(run.Text("SpeedModeStaticText"), "XX");
  // Back to the module: everything again.
  ClickLine(list, 2);
  EXPECT_TRUE(WaitFor([&] { return Caption(run) == "Мониторинг USB модулей: K200 --> S/N TWO00002"; }, 5000))
      << Caption(run);
  EXPECT_EQ(run.Text("SpeedModeStaticText"), "FS");
}

TEST(ScanEndToEnd, AMoveBetweenEmptySlotsInTheScanThatListsANewModuleRedrawsItsLine) {
  TQuendalRun run;
  HWND list = nullptr;
  ASSERT_NO_FATAL_FAILURE(FromSlot2ToEmptySlot5(run, "version 3.3\nslot 2 model=k200\n", list));
  // A module whose load keeps the scan busy; the click lands during it, so
  // the scan that lists the module also sees the selection move.
  long loadsBefore = StatValue(run.Stats(), "load");
  run.Rewrite("version 3.3\nslot 2 model=k200\nslot 11 model=k8050 load-ms=1500\n");
  ASSERT_TRUE(WaitFor([&] { return StatValue(run.Stats(), "load") > loadsBefore; }, 5000)) << run.Stats();
  ClickLine(list, 7);
  ASSERT_TRUE(Shows(run, "VirtualSlotStaticText", "7", 5000));
  EXPECT_TRUE(WaitLine(run, 11, "Слот 11: Модуль K80-50", 3000)) << LineOf(run, 11);
  EXPECT_EQ(ListSelection(list), 7);
}

TEST(ScanEndToEnd, AModuleComesAfterAnEmptyListAndAllLeaveAgain) {
  TQuendalRun run;
  // The module comes 3 s after the stand-in reads the scenario: a program
  // slowed down by a busy machine still lists the empty slot first.
  ASSERT_TRUE(run.Start("version 3.3\nslot 6 model=k200 present=3000-6500\n"));
  HWND list = run.Control("ModulesListBox");
  ASSERT_TRUE(WaitLine(run, 6, "Слот  6: -----"));
  EXPECT_FALSE(Enabled(list));
  ASSERT_TRUE(WaitLine(run, 6, "Слот  6: Модуль K200", 6000)) << LineOf(run, 6);
  EXPECT_TRUE(WaitFor([&] { return Enabled(list); }, 2000));
  EXPECT_EQ(ListSelection(list), -1) << "nothing is selected for the user";
  EXPECT_EQ(Caption(run), NoModuleCaption);
  ClickLine(list, 6);
  ASSERT_TRUE(Shows(run, "VirtualSlotStaticText", "6", 3000));
  ASSERT_TRUE(WaitLine(run, 6, "Слот  6: -----", 8000)) << LineOf(run, 6);
  EXPECT_TRUE(WaitFor([&] { return !Enabled(list); }, 2000));
  EXPECT_EQ(ListSelection(list), -1);
  EXPECT_EQ(run.Text("VirtualSlotStaticText"), "");
  EXPECT_TRUE(WaitFor([&] { return Caption(run) == NoModuleCaption; }, 2000)) << Caption(run);
  EXPECT_EQ(run.Text("SpeedModeStaticText"), "??");
}

TEST(ScanEndToEnd, AModuleIsLoadedOncePerStayInItsSlot) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 3 model=k8050 load-ms=20 present=0-2500,3500-\nslot 8 model=k200\n"));
  ASSERT_TRUE(WaitLine(run, 3, "Слот  3: Модуль K80-50"));
  Sleep(1200);  // several cycles with the module staying
  EXPECT_EQ(StatValue(run.Stats(), "load"), 1) << run.Stats();
  EXPECT_EQ(StatValue(run.Stats(), "test"), 1) << run.Stats();
  ASSERT_TRUE(WaitLine(run, 3, "Слот  3: -----", 5000)) << LineOf(run, 3);
  ASSERT_TRUE(WaitLine(run, 3, "Слот  3: Модуль K80-50", 5000)) << LineOf(run, 3);
  Sleep(800);
  EXPECT_EQ(StatValue(run.Stats(), "load"), 2) << run.Stats();
  EXPECT_EQ(StatValue(run.Stats(), "description"), 3) << "the K80-50 twice, the K3-200 once: " << run.Stats();
}

// The stand-in rewrites its counters file now and then; a read that meets
// the file half written finds no counter and is made again.
long SteadySlotStat(const TQuendalRun& run, int slot, const char* key) {
  long value = -1;
  WaitFor([&] { return (value = SlotStat(run, slot, key)) >= 0; }, 3000);
  return value;
}

// The ScanTiming tests measure the pause between scans, and the test command
// runs them alone (tests/CMakeLists.txt): other tests beside them on a
// 2-core machine delay the program by more than the differences they look at.

// From the scan that listed one module to the listing of the next, which
// arrives right after that scan: with a device-change notice the next scan
// starts at once, without one only after the 200 ms pause. The best of a
// few tries each way, since a loaded or emulated machine delays some.
DWORD BestListingTime(TQuendalRun& run, std::string& scenario, int& slot, bool notice) {
  HWND list = run.Control("ModulesListBox");
  DWORD best = 0xFFFFFFFF;
  for (int tries = 0; tries < 3; ++tries, slot += 2) {
    scenario += "slot " + std::to_string(slot) + " model=k200\n";
    run.Rewrite(scenario);
    if (!WaitFor([&] { return ListLine(list, slot) == "Слот " + std::to_string(slot) + ": Модуль K200"; }, 5000, 1))
      return 0;
    DWORD listed = GetTickCount();  // just after a scan: the pause begins
    scenario += "slot " + std::to_string(slot + 1) + " model=k390\n";
    run.Rewrite(scenario);
    Sleep(60);  // the stand-in looks at its file at most every 50 ms
    if (notice) run.DeviceChange();
    std::string expected = "Слот " + std::to_string(slot + 1) + ": Модуль K390";
    if (!WaitFor([&] { return ListLine(list, slot + 1) == expected; }, 5000, 1)) return 0;
    DWORD took = GetTickCount() - listed;
    if (took < best) best = took;
  }
  return best;
}

// Minimised, the main window is hidden and owned by the application
// window, and Windows broadcasts to no such window: the notice must still
// reach the monitor.
TEST(ScanTiming, ADeviceChangeNoticeListsANewModuleBeforeTheNextPoll) {
  for (bool minimised : {false, true}) {
    SCOPED_TRACE(minimised ? "minimised" : "normal");
    TQuendalRun run;
    std::string scenario = "version 3.3\nslot 2 model=k200\n";
    ASSERT_TRUE(run.Start(scenario));
    ASSERT_TRUE(WaitLine(run, 2, "Слот  2: Модуль K200")) << LineOf(run, 2);
    if (minimised) {
      PostMessageW(run.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(run.Main()); }, 5000));
    }
    int slot = 10;  // two-digit slots: the lines have no padding
    DWORD poll = BestListingTime(run, scenario, slot, false);
    DWORD noticed = BestListingTime(run, scenario, slot, true);
    ASSERT_GT(poll, 0u) << "a module was not listed";
    ASSERT_GT(noticed, 0u) << "a module was not listed";
    // The notice saves the pause less the 60 ms it came late: 140 ms; half
    // of that is the proof.
    EXPECT_LT(noticed + 70, poll) << "ms from one listing to the next, at best, with and without a notice";
  }
}

// A K3-600 whose test keeps failing is loaded at every scan, and it
// re-enumerates after each load: its own notice must not cut the pause
// short, or the loads follow each other with no pause at all, 200 ms sooner.
// One run of the program, the notice switched off and on in turns: the
// shortest time from one load to the next varies from run to run by as much
// as a cut pause would save, but within a run of the x86_64 build it does not.
const std::string LoadingModule = "version 3.3\nslot 3 model=k600 load-ms=200 fail.test=always load-notice=";

// The shortest of three times from one load to the next, with the notice
// as the scenario now has it; 0 when the loads stop.
DWORD ShortestLoadCycle(TQuendalRun& run, bool notice) {
  run.Rewrite(LoadingModule + (notice ? "yes\n" : "no\n"));
  auto loads = [&] { return SlotStat(run, 3, "load"); };
  // The cycle under way when the scenario changed may have begun under the
  // old one: the timing starts at the second load after the change. The
  // stand-in writes its count when a load begins.
  long seen = loads();
  if (!WaitFor([&] { return loads() >= seen + 2; }, 10000, 2)) return 0;
  seen = loads();
  DWORD at = GetTickCount(), shortest = 0xFFFFFFFF;
  for (int cycle = 0; cycle < 3; ++cycle) {
    long now = seen;
    if (!WaitFor([&] { return (now = loads()) > seen; }, 5000, 2)) return 0;
    DWORD tick = GetTickCount();
    if (now == seen + 1 && tick - at < shortest) shortest = tick - at;
    seen = now;
    at = tick;
  }
  return shortest == 0xFFFFFFFF ? 0 : shortest;
}

TEST(ScanTiming, AModulesOwnNoticeAfterItsLoadDoesNotCutThePause) {
#ifndef _WIN64
  // Under qemu the 32-bit program's cycle of about a second varies within a
  // run by as much as the pause; the logic is the same in both builds.
  GTEST_SKIP() << "timed on the x86_64 build";
#endif
  TQuendalRun run;
  ASSERT_TRUE(run.Start(LoadingModule + "no\n"));
  ASSERT_TRUE(WaitFor([&] { return SlotStat(run, 3, "load") >= 1; }, 10000, 5));
  DWORD quiet = 0xFFFFFFFF, noticed = 0xFFFFFFFF;
  for (int round = 0; round < 3; ++round) {
    DWORD q = ShortestLoadCycle(run, false), n = ShortestLoadCycle(run, true);
    ASSERT_GT(q, 0u) << "the loads stopped";
    ASSERT_GT(n, 0u) << "the loads stopped";
    quiet = std::min(quiet, q);
    noticed = std::min(noticed, n);
  }
  // A cut pause would save 200 ms less the notice's broadcast: 180 ms, seen
  // here; with the whole pause the notice made the cycle 10 ms shorter at most.
  EXPECT_GT(noticed + 100, quiet) << "ms from one load to the next at best, with and without the module's own notice";
}

// Notices without end: the scans still begin at least 50 ms apart, yet more
// of them run than the poll alone makes in as long a time. Slot 24 stays
// empty, and each scan opens it once.
TEST(ScanTiming, AStormOfNoticesKeepsTheScansFiftyMillisecondsApart) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 2 model=k200\n"));
  ASSERT_TRUE(WaitLine(run, 2, "Слот  2: Модуль K200")) << LineOf(run, 2);
  const DWORD span = 3000;
  // The stand-in writes its counters at most every 50 ms, at its next call:
  // a count may be one pause old.
  const long window = static_cast<long>(span) + 250;
  Sleep(300);
  long before = SteadySlotStat(run, 24, "open");
  ASSERT_GT(before, 0) << run.Stats();
  Sleep(span);
  long quiet = SteadySlotStat(run, 24, "open");
  ASSERT_GE(quiet, before) << run.Stats();
  DWORD start = GetTickCount();
  while (GetTickCount() - start < span) {
    run.DeviceChange();
    Sleep(2);
  }
  long stormy = SteadySlotStat(run, 24, "open");
  ASSERT_GE(stormy, quiet) << run.Stats();
  long polled = quiet - before, scans = stormy - quiet;
  EXPECT_LE(scans, window / 50 + 1);
  EXPECT_GT(scans, polled) << "no more scans than the poll alone makes: " << scans << " against " << polled;
}

}  // namespace
