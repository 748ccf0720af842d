// One program at a time: the lock named after the application title, the
// second instance's message, its quiet end, and the first instance brought
// back.
//
// A program's windows are found by its process id and the names they answer
// to WM_GETCONTROLNAME ("MainForm", and "Application" for the window that
// carries the title and the taskbar button).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e/Harness.h"
#include "e2e/RunSupport.h"
#include "e2e/ShellSupport.h"

using namespace Inspector;
using namespace E2ERun;

namespace {

const char* const AlreadyRunning = "Экземпляр программы Quendal уже работает!";
const char* const Attention = "Внимание!!!";

void CloseAndExpectCleanExit(TQuendalRun& run) {
  PostMessageW(run.Main(), WM_CLOSE, 0, 0);
  ExpectCleanExit(run);
}

// The stand-in writes its counters at the first call a program makes, so a
// program that never called the library leaves no counters at all.
void ExpectNoLibraryCall(const TQuendalRun& run) {
  std::string stats = run.Stats();
  if (stats.empty()) return;
  EXPECT_EQ(StatValue(stats, "version-calls"), 0) << stats;
  EXPECT_EQ(StatValue(stats, "create-calls"), 0) << stats;
  EXPECT_EQ(StatValue(stats, "open"), 0) << stats;
}

bool LockHeld() { return !Shell::THeldName(Shell::THeldName::Mutex, Shell::Title).Made(); }

// The icon the message box shows, compared with the system's own icons drawn
// on the same background: the index of the one that matches all but a few
// pixels, or -1.
int ShownIcon(HWND box, const std::vector<LPCWSTR>& icons) {
  HWND iconControl = nullptr;
  for (HWND h : Controls(box)) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (_wcsicmp(cls, L"Static") == 0 && (GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) iconControl = h;
  }
  if (!iconControl) return -1;
  RECT r = {};
  GetWindowRect(iconControl, &r);
  const int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP shot = CreateCompatibleBitmap(screen, w, h), drawn = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, shot);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  std::vector<COLORREF> seen(static_cast<size_t>(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) seen[static_cast<size_t>(y * w + x)] = GetPixel(mem, x, y);
  COLORREF background = GetPixel(mem, 0, 0);
  int best = -1, bestSame = -1;
  for (size_t i = 0; i < icons.size(); ++i) {
    SelectObject(mem, drawn);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = {0, 0, w, h};
    FillRect(mem, &all, brush);
    DeleteObject(brush);
    DrawIconEx(mem, 0, 0, LoadIconW(nullptr, icons[i]), w, h, 0, nullptr, DI_NORMAL);
    int same = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) same += GetPixel(mem, x, y) == seen[static_cast<size_t>(y * w + x)];
    if (same > bestSame) {
      bestSame = same;
      best = static_cast<int>(i);
    }
  }
  SelectObject(mem, old);
  DeleteObject(shot);
  DeleteObject(drawn);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return bestSame >= w * h * 95 / 100 ? best : -1;
}

// The second instance's message: text, caption, one OK button, the
// information icon.
void ExpectAlreadyRunningBox(const TMessageBox& box) {
  EXPECT_EQ(box.Text, AlreadyRunning);
  EXPECT_EQ(box.Caption, Attention);
  EXPECT_EQ(box.Buttons.size(), 1u);
  EXPECT_NE(GetDlgItem(box.Handle, IDOK), nullptr) << "no OK button";
  // The system icons by number: information, question, warning, error.
  const std::vector<LPCWSTR> icons = {MAKEINTRESOURCEW(32516), MAKEINTRESOURCEW(32514), MAKEINTRESOURCEW(32515),
                                      MAKEINTRESOURCEW(32513)};
  int shown = -1;
  WaitFor([&] { return (shown = ShownIcon(box.Handle, icons)) >= 0; }, 3000, 50);  // once it is painted
  EXPECT_EQ(shown, 0) << "not the information icon";
}

// A program started while another instance runs: its message, found while
// the watch looks out for its main window.
void StartRefused(TQuendalRun& run, std::unique_ptr<Shell::TNeverShown>& watch, TMessageBox& box) {
  ASSERT_TRUE(run.Start(OneModule, false));
  watch.reset(new Shell::TNeverShown(run.ProcessId(), "MainForm"));
  ASSERT_TRUE(run.FindBox(box, 15000)) << "no message";
  ExpectAlreadyRunningBox(box);
}

TEST(SingleInstance, FirstStartHoldsTheLockUntilItEndsAndALaterStartRunsNormally) {
  for (int start = 1; start <= 2; ++start) {
    SCOPED_TRACE("start " + std::to_string(start));
    TQuendalRun run;
    ASSERT_TRUE(run.Start(OneModule));
    ASSERT_TRUE(WaitFor([&] { return Visible(run.Main()); }, 5000)) << "the main window was not shown";
    TMessageBox box;
    EXPECT_FALSE(run.FindBox(box, 1000)) << "a message at the first start: " << box.Text;
    EXPECT_TRUE(LockHeld());
    ASSERT_TRUE(WaitFor([&] { return Stat(run, "version-calls") == 1; }, 8000)) << "no monitor";
    CloseAndExpectCleanExit(run);
    EXPECT_FALSE(LockHeld()) << "the lock outlived the program";
  }
}

TEST(SingleInstance, SecondStartTellsTheUserEndsUnseenAndRestoresTheMinimisedFirst) {
  TQuendalRun first;
  ASSERT_TRUE(first.Start(OneModule));
  HWND main = first.Main();
  HWND application = FindWindowNamed(first.ProcessId(), "Application", 2000);
  ASSERT_NE(application, nullptr);
  ASSERT_EQ(Text(application), Shell::Title);
  ASSERT_TRUE(WaitFor([&] { return Stat(first, "version-calls") == 1; }, 8000));
  DWORD_PTR r = 0;
  ASSERT_TRUE(SendMessageTimeoutW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_ABORTIFHUNG, 3000, &r));
  ASSERT_TRUE(WaitFor([&] { return !Visible(main) && IsIconic(application); }, 3000)) << "the first did not minimise";

  TQuendalRun second;
  std::unique_ptr<Shell::TNeverShown> watch;
  TMessageBox box;
  ASSERT_NO_FATAL_FAILURE(StartRefused(second, watch, box));
  EXPECT_FALSE(Visible(main)) << "the first came back before the user answered";
  ASSERT_TRUE(PressButton(box, IDOK));
  ExpectCleanExit(second);
  watch->Stop();
  EXPECT_TRUE(watch->Seen()) << "the watch never saw the second's main window";
  EXPECT_FALSE(watch->Shown()) << "the second instance showed its main window";
  ExpectNoLibraryCall(second);

  EXPECT_TRUE(WaitFor([&] { return Visible(main) && !IsIconic(application); }, 5000)) << "the first was not restored";
  EXPECT_EQ(Stat(first, "version-calls"), 1) << "the first started a second monitor";
  EXPECT_TRUE(LockHeld()) << "the second took the first's lock away";
  CloseAndExpectCleanExit(first);
}

TEST(SingleInstance, SecondStartBringsTheFirstToTheFront) {
  TQuendalRun first;
  ASSERT_TRUE(first.Start(OneModule));
  HWND main = first.Main();
  ASSERT_TRUE(WaitFor([&] { return Visible(main); }, 5000));
  // A window of the test's own in front of the first.
  HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"cover", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0,
                               GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(cover, nullptr);
  SetWindowPos(cover, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(cover);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == cover; }, 2000));

  TQuendalRun second;
  ASSERT_TRUE(second.Start(OneModule, false));
  TMessageBox box;
  ASSERT_TRUE(second.FindBox(box, 15000));
  ASSERT_TRUE(PressButton(box, IDOK));
  ExpectCleanExit(second);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }, 5000))
      << "the first is not the foreground window: " << ControlName(GetForegroundWindow());
  DestroyWindow(cover);
  CloseAndExpectCleanExit(first);
}

TEST(SingleInstance, ALockOfAnotherNameDoesNotBlock) {
  Shell::THeldName other(Shell::THeldName::Mutex, std::string(Shell::Title) + " 2");
  Shell::THeldName quendal(Shell::THeldName::Mutex, "Quendal");
  ASSERT_TRUE(other.Made() && quendal.Made());
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  EXPECT_TRUE(WaitFor([&] { return Visible(run.Main()); }, 5000));
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 1000)) << "blocked by another program's lock";
  CloseAndExpectCleanExit(run);
}

TEST(SingleInstance, AnObjectOfAnotherKindUnderTheTitleCountsAsARunningInstance) {
  Shell::THeldName event(Shell::THeldName::Event, Shell::Title);
  ASSERT_TRUE(event.Made());
  TQuendalRun run;
  std::unique_ptr<Shell::TNeverShown> watch;
  TMessageBox box;
  ASSERT_NO_FATAL_FAILURE(StartRefused(run, watch, box));
  ASSERT_TRUE(PressButton(box, IDOK));
  ExpectCleanExit(run);
  watch->Stop();
  EXPECT_FALSE(watch->Shown());
  ExpectNoLibraryCall(run);
}

TEST(SingleInstance, TenStartedAtOnceLeaveExactlyOne) {
  const int count = 10;
  std::vector<std::unique_ptr<TQuendalRun>> runs;
  std::vector<std::unique_ptr<Shell::TNeverShown>> watches;
  for (int i = 0; i < count; ++i) {
    runs.emplace_back(new TQuendalRun);
    ASSERT_TRUE(runs.back()->Start(OneModule, false)) << "start " << i;
  }
  for (auto& run : runs) watches.emplace_back(new Shell::TNeverShown(run->ProcessId(), "MainForm"));

  // Answer every message as it comes, until only one program is left.
  int answered = 0;
  std::vector<bool> asked(count, false);
  auto running = [&] {
    int n = 0;
    for (auto& run : runs) n += run->Running();
    return n;
  };
  WaitFor(
      [&] {
        for (int i = 0; i < count; ++i) {
          TMessageBox box;
          if (asked[static_cast<size_t>(i)] || !runs[static_cast<size_t>(i)]->FindBox(box, 0)) continue;
          EXPECT_EQ(box.Text, AlreadyRunning);
          EXPECT_EQ(box.Caption, Attention);
          if (PressButton(box, IDOK)) {
            asked[static_cast<size_t>(i)] = true;
            ++answered;
          }
        }
        return answered == count - 1 && running() == 1;
      },
      90000, 50);
  EXPECT_EQ(answered, count - 1);
  ASSERT_EQ(running(), 1);

  int winner = -1;
  for (int i = 0; i < count; ++i) {
    TQuendalRun& run = *runs[static_cast<size_t>(i)];
    if (run.Running()) {
      winner = i;
      continue;
    }
    SCOPED_TRACE("instance " + std::to_string(i));
    DWORD code = 12345;
    ASSERT_TRUE(run.WaitExit(0, code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(asked[static_cast<size_t>(i)]) << "ended without its message";
    watches[static_cast<size_t>(i)]->Stop();
    EXPECT_FALSE(watches[static_cast<size_t>(i)]->Shown()) << "showed its main window";
    ExpectNoLibraryCall(run);
  }
  ASSERT_GE(winner, 0);
  TQuendalRun& last = *runs[static_cast<size_t>(winner)];
  EXPECT_FALSE(asked[static_cast<size_t>(winner)]) << "the one left asked its question";
  HWND main = FindWindowNamed(last.ProcessId(), "MainForm", 2000);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitFor([&] { return Visible(main); }, 5000));
  EXPECT_TRUE(WaitFor([&] { return Stat(last, "version-calls") == 1; }, 8000)) << "the one left does not monitor";
  for (auto& w : watches) w->Stop();
  PostMessageW(main, WM_CLOSE, 0, 0);
  ExpectCleanExit(last);
}

}  // namespace
