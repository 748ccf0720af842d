// Start-up, the library version check and every road out of the program.
#include <gtest/gtest.h>

#include <cwchar>

#include "e2e/Harness.h"
#include "e2e/RunSupport.h"

using namespace Inspector;
using namespace E2ERun;

namespace {

TEST(StartStop, EscAnsweredNoKeepsRunningThenYesEnds) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  SendKey(run.Main(), VK_ESCAPE);
  TMessageBox box;
  ASSERT_TRUE(run.FindBox(box));
  EXPECT_EQ(box.Caption, "Подтвердите завершение!");
  EXPECT_EQ(box.Text, "Действительно хотите завершить работу данного приложения?");
  ASSERT_TRUE(PressButton(box, IDNO));
  Sleep(500);
  EXPECT_TRUE(run.Running());
  EXPECT_FALSE(run.FindBox(box, 300));
  SendKey(run.Main(), VK_ESCAPE);
  ASSERT_TRUE(run.FindBox(box));
  ASSERT_TRUE(PressButton(box, IDYES));
  ExpectCleanExit(run);
}

TEST(StartStop, CloseBoxEnds) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  Sleep(300);
  PostMessageW(run.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectCleanExit(run);
}

TEST(StartStop, CtrlQRightAfterStartEndsWithoutQuestion) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  SendKey(run.Main(), 'Q', true);
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 300));
  ExpectCleanExit(run);
}

TEST(StartStop, ExitWhileTheWorkerIsInALongLibraryCall) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 1 model=k600 name=K600 load-ms=4000\n"));
  Sleep(1200);  // the load has begun
  DWORD before = GetTickCount();
  SendKey(run.Main(), 'Q', true);
  ExpectCleanExit(run);
  EXPECT_LT(GetTickCount() - before, 9000u);
}

// Task managers and session tools send close requests, and the stop
// sequence runs sent messages while it waits for the load to return: the
// nested requests must not stop (and delete) the thread a second time.
TEST(StartStop, CloseRequestsSentDuringAStopThatWaitsForALoadEndCleanly) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 1 model=k600 name=K600 load-ms=3000\n"));
  Sleep(1200);  // the load has begun
  PostMessageW(run.Main(), WM_CLOSE, 0, 0);
  HWND main = run.Main();
  for (int i = 0; i < 40 && run.Running(); ++i) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(main, i % 2 ? WM_CLOSE : WM_SYSCOMMAND, i % 2 ? 0 : SC_CLOSE, 0, SMTO_ABORTIFHUNG, 200, &r);
    Sleep(50);
  }
  ExpectCleanExit(run);
}

// The first window of the process with that class (and a caption that
// starts so), found without a message to the program: it answers none yet.
HWND OwnWindow(DWORD processId, const wchar_t* windowClass, const wchar_t* captionStart) {
  for (HWND h = FindWindowExW(nullptr, nullptr, windowClass, nullptr); h; h = FindWindowExW(nullptr, h, windowClass, nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t caption[128] = {};
    GetWindowTextW(h, caption, 128);
    if (pid == processId && wcsncmp(caption, captionStart, wcslen(captionStart)) == 0) return h;
  }
  return nullptr;
}

// The main window shown again after the monitor thread was made and before
// its start-up step ran: the start request that this show posts is dropped,
// and the exit must still stop the one thread and release the library's
// interfaces. The requests are queued while the program is still building
// its windows, so that they are handled in that very moment: a start
// request, a minimise and a restore.
TEST(StartStop, AShowBeforeTheThreadsStartUpLeavesOneThreadThatTheExitStops) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule, false));
  HWND application = nullptr, main = nullptr;
  for (DWORD start = GetTickCount(); !main && GetTickCount() - start < 15000; Sleep(1)) {
    if (!application) application = OwnWindow(run.ProcessId(), L"QuendalApplication", L"");
    if (application) main = OwnWindow(run.ProcessId(), L"QuendalForm", L"Мониторинг");
  }
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_USER + 100, 0, 0);
  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);

  ASSERT_EQ(FindWindowNamed(run.ProcessId(), "MainForm", 15000), main);
  HWND list = FindControl(main, "ModulesListBox");
  ASSERT_TRUE(WaitFor([&] { return ListLine(list, 2) == "Слот  2: Модуль K200"; }, 5000)) << ListLine(list, 2);
  EXPECT_EQ(StatValue(run.Stats(), "created"), 5) << "one wrapper";
  ASSERT_TRUE(IsWindowVisible(main));
  SendKey(main, 'Q', true);
  ExpectCleanExit(run);
  EXPECT_EQ(StatValue(run.Stats(), "release-calls"), 5) << run.Stats();
  EXPECT_EQ(StatValue(run.Stats(), "live-interfaces"), 0) << run.Stats();
}

struct VersionCase {
  const char* Version;
  const char* Shown;
};

class VersionCheck : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionCheck, WrongVersionIsReportedOnceAndNoSlotIsOpened) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(std::string("version ") + GetParam().Version + "\nslot 0 model=k200 name=K200\n"));
  TMessageBox box;
  ASSERT_TRUE(run.FindBox(box));
  EXPECT_EQ(box.Caption, "Сообщение TModulesMonitorThread::Execute()!");
  EXPECT_EQ(box.Text, std::string("Неправильная версия библиотеки Corvane.dll!\nТекущая: ") + GetParam().Shown +
                          " Требуется: 3.3");
  ASSERT_TRUE(PressButton(box, IDOK));
  Sleep(800);
  EXPECT_FALSE(run.FindBox(box, 300)) << "a second message box";
  EXPECT_LE(StatValue(run.Stats(), "open"), 0) << run.Stats();
  SendKey(run.Main(), 'Q', true);
  ExpectCleanExit(run);
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionCheck,
                         ::testing::Values(VersionCase{"3.2", "3.2"}, VersionCase{"2.1", "2.1"}));

// Closing the window while the monitor's start-up message box is open: the
// thread waits in its start-up step for the box, so the close must not wait
// for the thread. The program ends, box and all.
TEST(StartStop, ClosingUnderTheMonitorsMessageBoxEnds) {
  for (const char* scenario : {"version 3.2\n", "version 3.3\nrefuse Corvroot\n"}) {
    for (bool fromTaskbar : {false, true}) {
      SCOPED_TRACE(std::string(scenario) + (fromTaskbar ? " closed from the taskbar" : " closed by WM_CLOSE"));
      TQuendalRun run;
      ASSERT_TRUE(run.Start(scenario));
      TMessageBox box;
      ASSERT_TRUE(run.FindBox(box));
      EXPECT_EQ(box.Caption, "Сообщение TModulesMonitorThread::Execute()!");
      if (fromTaskbar) {
        HWND application = FindWindowNamed(run.ProcessId(), "Application", 2000);
        ASSERT_NE(application, nullptr);
        PostMessageW(application, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        PostMessageW(run.Main(), WM_CLOSE, 0, 0);
      }
      ExpectCleanExit(run);
    }
  }
}

// The library misbehaving as foreign code does. A processor fault inside a
// call is the monitor's one failure, whether it comes in a scan (on the
// monitor thread) or in the start-up (on the window thread): the one box,
// no further scans, the interfaces still released, a clean exit.
const char* const FaultText = "Опаньки!!! Поймали неустранимое исключение!!!\nСрочно сообщите разработчику!";

TEST(LibraryFaults, AFaultInsideALibraryCallIsTheMonitorsErrorNotTheEnd) {
  const struct {
    const char* Where;
    const char* Scenario;
    long Lost;  // interfaces a faulting creation made and never handed out
  } cases[] = {
      {"the speed read of a scan", "slot 2 model=k200 name=K200 fault.speed=once\n", 0},
      {"a K80-50's description read", "slot 4 model=k8050 name=K80-50 load-ms=10 fault.description=once\n", 0},
      {"the interface creation at start-up", "library fault.create=once\nslot 2 model=k200 name=K200\n", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Where);
    TQuendalRun run;
    ASSERT_TRUE(run.Start(c.Scenario));
    TMessageBox box;
    ASSERT_TRUE(run.FindBox(box, 8000));
    EXPECT_EQ(box.Caption, "Сообщение TModulesMonitorThread::Execute()!");
    EXPECT_EQ(box.Text, FaultText);
    ASSERT_TRUE(PressButton(box, IDOK));
    // The releases after the box write the counters; then nothing moves.
    ASSERT_TRUE(WaitFor([&] { return Stat(run, "live-interfaces") == c.Lost; }, 5000)) << run.Stats();
    long opens = Stat(run, "open");
    Sleep(1000);
    EXPECT_EQ(Stat(run, "open"), opens) << "scans after the fault";
    EXPECT_FALSE(run.FindBox(box, 300)) << "a second message box";
    ASSERT_TRUE(run.Running());
    QuitWithShortCut(run);
  }
}

// A library that unmasks the x87 and SSE traps on both threads, and a
// clock that is a signalling NaN: each alone is harmless, together they
// would trap in the program's own copying and formatting.
TEST(LibraryFaults, UnmaskedTrapsAndASignallingNaNClockAreSurvived) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("library unmask.version=always unmask.create=always\n"
                        "slot 2 model=k200 name=K200 mcu.clock=snan unmask.open=always unmask.speed=always "
                        "unmask.description=always\n"));
  EXPECT_TRUE(Shows(run, "McuFreqLMDStaticText", "????????????", 8000));
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 500));
  EXPECT_TRUE(AnotherScan(run));
  QuitWithShortCut(run);
}

// A call that never returns (a driver waiting for a module that has gone):
// the exit gives up on the stuck thread once 5 s have passed and still ends
// with 0.
TEST(LibraryFaults, AnExitGivesUpOnACallThatNeverReturns) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("slot 2 model=k200 name=K200 hang.speed=always\n"));
  Sleep(1500);  // the first scan is stuck in the speed read
  ASSERT_NO_FATAL_FAILURE(AnswerExitQuestion(run, run.Main(), IDYES));
  ExpectCleanExit(run);
}

TEST(StartStop, RightVersionShowsNoMessage) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 1500));
  SendKey(run.Main(), 'Q', true);
  ExpectCleanExit(run);
}

}  // namespace
