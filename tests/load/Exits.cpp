// The exit stress: Quendal.exe is started again and again and ended at a
// random moment by a random road; every run must end with exit code 0 well
// within the time-out, and no message box may be left behind.
#include <cstdio>
#include <map>
#include <random>

#include "load/LoadCommands.h"
#include "load/ProcessFigures.h"
#include "load/RandomScenario.h"

using namespace Inspector;

namespace Load {

namespace {

const DWORD ExitTimeout = 20000;
const char* const ExitCaption = "Подтвердите завершение!";
const char* const ThreadCaption = "Сообщение TModulesMonitorThread::Execute()!";

enum TRoad { EscYes, CtrlQ, CloseBox, DuringLoad, BeforeStartUp, AboutOpen, ThreadBox, RoadCount };
const char* const RoadNames[RoadCount] = {"Esc, Yes", "Ctrl+Q", "close box", "during a K3-600 load",
                                          "before the monitor's start-up", "About window open",
                                          "monitor's message box open"};

struct TOutcome {
  bool Ended = false;  // within the time-out
  bool Ready = true;   // the road's set-up was reached
  DWORD Code = 0;
  double LatencyMs = 0;
  std::string Box;     // a message box left open after the final input
  std::string How;     // the road's variant: the final input and the like
  std::string Note;
};

struct TRoadTally {
  int Runs = 0, Passed = 0;
  std::map<DWORD, int> Codes;
  TDistribution Latency;
  std::vector<std::string> Faults;
};

class TExitRun {
 public:
  TExitRun(TRoad road, std::mt19937& random, TScenarioMaker& maker) : FRoad(road), FRandom(random), FMaker(maker) {}
  TOutcome Go();

 private:
  int Pick(int a, int b) { return std::uniform_int_distribution<int>(a, b)(FRandom); }
  void Pause(int maxMs) { Sleep(static_cast<DWORD>(Pick(0, maxMs))); }
  // The run's window of that name once it is shown; null on time-out.
  HWND Shown(const char* name, DWORD ms) {
    HWND window = nullptr;
    bool shown = WaitFor([&] { return (window = FindWindowNamed(FRun.ProcessId(), name)) && Visible(window); }, ms, 5);
    return shown ? window : nullptr;
  }
  // The road's last input at FStart; the rest is waiting.
  void Finish(TOutcome& out, HWND expectedBox = nullptr);
  bool AnswerExitQuestion(TOutcome& out);
  // 0: the close box (a disabled window's does nothing), 1: WM_CLOSE to
  // the main window, 2: Close on the taskbar button (the application window).
  void Close(int how, TOutcome& out);
  bool StartBeforeWindow(TOutcome& out);

  TRoad FRoad;
  std::mt19937& FRandom;
  TScenarioMaker& FMaker;
  TQuendalRun FRun;
  double FStart = 0;
};

struct TWindowList {
  DWORD Id;
  std::string Text;
};

BOOL CALLBACK AddVisibleWindow(HWND h, LPARAM p) {
  auto* list = reinterpret_cast<TWindowList*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  if (owner == list->Id && IsWindowVisible(h)) {
    std::string name = ControlName(h);
    list->Text += " [" + (name.empty() ? ToUtf8(Text(h)) : name) + (IsWindowEnabled(h) ? "" : ", disabled") + "]";
  }
  return TRUE;
}

// The windows of a program that did not end, for the report.
std::string Hung(DWORD processId) {
  TWindowList list = {processId, ""};
  EnumWindows(AddVisibleWindow, reinterpret_cast<LPARAM>(&list));
  return "; visible windows:" + (list.Text.empty() ? std::string(" none") : list.Text) + "; threads " +
         std::to_string(WindowsThreadCount(processId));
}

void TExitRun::Close(int how, TOutcome& out) {
  const char* const names[] = {"close box", "WM_CLOSE", "taskbar Close"};
  out.How += (out.How.empty() ? "" : ", ") + std::string(names[how]);
  HWND application = FindWindowNamed(FRun.ProcessId(), "Application");
  FStart = NowMs();
  if (how == 0) PostMessageW(FRun.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  if (how == 1) PostMessageW(FRun.Main(), WM_CLOSE, 0, 0);
  if (how == 2) PostMessageW(application, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void TExitRun::Finish(TOutcome& out, HWND expectedBox) {
  out.Ended = WaitEnd(FRun, ExitTimeout, out.Code, out.Box, expectedBox);
  out.LatencyMs = NowMs() - FStart;
  if (!out.Ended) out.Note = Hung(FRun.ProcessId());
}

bool TExitRun::AnswerExitQuestion(TOutcome& out) {
  TMessageBox box;
  if (!FRun.FindBox(box, 5000) || box.Caption != ExitCaption) {
    out.Ready = false;
    out.Note = "Esc brought no exit question";
    return false;
  }
  FStart = NowMs();
  PressButton(box, IDYES);
  return true;
}

TOutcome TExitRun::Go() {
  TOutcome out;
  std::string scenario = FMaker.Next(false).Text;
  if (FRoad == DuringLoad) {
    // Later settings win: whatever the random part put in slot 24 is made a K3-600 that loads.
    scenario += "slot 24 model=k600 name=K600 present=always load-ms=" + std::to_string(Pick(1500, 4000)) + "\n";
    for (const char* op : {"open", "base-open", "model-open", "name", "base-name", "model-name", "speed", "load"})
      scenario += std::string("slot 24 fail.") + op + "=never\n";
  }
  if (FRoad == ThreadBox) {
    const char* const faults[] = {"version 3.2\n", "version 2.1\n", "refuse k600\n", "refuse Corvroot\n", "refuse k8050\n"};
    int fault = Pick(0, 4);
    scenario.replace(scenario.find("version 3.3\n"), 12, faults[fault]);
    out.How = std::string(faults[fault]).substr(0, std::string(faults[fault]).size() - 1);
  }
  if (FRoad == BeforeStartUp) {
    if (StartBeforeWindow(out)) Finish(out);
    return out;
  }
  if (!FRun.Start(scenario)) {
    out.Ready = false;
    out.Note = "the main window did not appear";
    return out;
  }
  HWND main = FRun.Main();
  switch (FRoad) {
    case EscYes:
      Pause(3000);
      SendKey(main, VK_ESCAPE);
      if (AnswerExitQuestion(out)) Finish(out);
      break;
    case CtrlQ:
      Pause(3000);
      SendKey(main, 'Q', true);
      FStart = NowMs();
      Finish(out);
      break;
    case CloseBox:
      Pause(3000);
      Close(Pick(0, 2), out);
      Finish(out);
      break;
    case DuringLoad: {
      HWND waiting = Shown("WaitingPanel", 10000);
      if (!waiting) {
        out.Ready = false;
        out.Note = "the Waiting window did not come up";
        break;
      }
      Pause(1200);
      int how = Pick(0, 2);
      if (how == 0) {
        out.How = "Esc in the Waiting window, Yes";
        SendKey(waiting, VK_ESCAPE);
        if (!AnswerExitQuestion(out)) break;
      } else if (how == 1) {
        out.How = "Ctrl+Q";
        SendKey(main, 'Q', true);
        FStart = NowMs();
      } else {
        Close(0, out);
      }
      Finish(out);
      break;
    }
    case AboutOpen: {
      WaitFor([&] { return Enabled(main); }, 3000);
      SetForegroundWindow(main);
      SendKey(main, 'A', true);
      if (!Shown("AboutProgramPanel", 5000)) {
        out.Ready = false;
        out.Note = "the About window did not open";
        break;
      }
      Pause(1500);
      Close(Pick(1, 2), out);
      Finish(out);
      break;
    }
    case ThreadBox: {
      TMessageBox box;
      if (!FRun.FindBox(box, 8000) || box.Caption != ThreadCaption) {
        out.Ready = false;
        out.Note = "no message box of the monitor";
        break;
      }
      Pause(1000);
      if (Pick(0, 2) == 0) {
        // The user answers the box, then leaves.
        out.How += ", OK, Ctrl+Q";
        PressButton(box, IDOK);
        WaitFor([&] { return Enabled(main); }, 3000);
        SendKey(main, 'Q', true);
        FStart = NowMs();
        Finish(out);
      } else {
        Close(Pick(1, 2), out);
        Finish(out, box.Handle);
      }
      break;
    }
    default:
      break;
  }
  return out;
}

// Ends the program as soon as its main window exists, or as soon as it is
// shown, before or around the monitor's start-up step.
bool TExitRun::StartBeforeWindow(TOutcome& out) {
  if (!FRun.Start(FMaker.Next(false).Text, false)) {
    out.Ready = false;
    out.Note = "Quendal.exe did not start";
    return false;
  }
  HWND main = nullptr;
  int how = Pick(0, 2);
  bool found = WaitFor(
      [&] {
        main = FindWindowNamed(FRun.ProcessId(), "MainForm");
        return main && (how == 0 || Visible(main));
      },
      15000, 1);
  if (!found) {
    out.Ready = false;
    out.Note = "the main window did not appear";
    return false;
  }
  out.How = how == 0 ? "close box as the window appears" : how == 1 ? "close box as it is shown" : "Ctrl+Q as it is shown";
  if (how == 2) {
    SendKey(main, 'Q', true);
    FStart = NowMs();
  } else {
    FStart = NowMs();
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  return true;
}

using TTallies = std::map<std::pair<int, std::string>, TRoadTally>;

void PrintRoads(const TTallies& tallies) {
  std::printf("\n  %-56s %5s %6s %-17s %8s %8s %8s %8s\n", "road", "runs", "passed", "exit code (runs)", "min ms", "median",
              "p95", "max");
  for (const auto& entry : tallies) {
    const TRoadTally& t = entry.second;
    std::string road = RoadNames[entry.first.first];
    if (!entry.first.second.empty()) road += ": " + entry.first.second;
    std::string codes;
    for (const auto& c : t.Codes)
      codes += (codes.empty() ? "" : ", ") + std::to_string(c.first) + " (" + std::to_string(c.second) + ")";
    std::printf("  %-56s %5d %6d %-17s", road.c_str(), t.Runs, t.Passed, codes.empty() ? "-" : codes.c_str());
    if (t.Latency.Count())
      std::printf(" %8.1f %8.1f %8.1f %8.1f\n", t.Latency.Min(), t.Latency.Median(), t.Latency.Percentile(95), t.Latency.Max());
    else
      std::printf(" %8s %8s %8s %8s\n", "-", "-", "-", "-");
  }
}

}  // namespace

int Exits(int runs, unsigned seed) {
  std::printf("exits: %d runs, seed %u (--seed=N to change), time-out %lu ms\n", runs, seed, ExitTimeout);
  std::mt19937 random(seed);
  TScenarioMaker maker(seed ^ 0xe417u);
  TTallies tallies;
  TDistribution all;
  int failed = 0;
  for (int i = 0; i < runs; ++i) {
    // Every road in turn, in a shuffled order within each round.
    TRoad road = static_cast<TRoad>(std::uniform_int_distribution<int>(0, RoadCount - 1)(random));
    if (i < RoadCount) road = static_cast<TRoad>(i);
    TOutcome out = TExitRun(road, random, maker).Go();
    TRoadTally& t = tallies[{road, out.How}];
    ++t.Runs;
    std::string fault;
    if (!out.Ready)
      fault = out.Note;
    else if (!out.Ended)
      fault = "did not end within " + std::to_string(ExitTimeout) + " ms (killed)" + out.Note;
    else if (out.Code != 0)
      fault = "exit code " + std::to_string(out.Code);
    else if (!out.Box.empty())
      fault = "a message box after the final input: " + out.Box;
    if (out.Ready && out.Ended) {
      ++t.Codes[out.Code];
      t.Latency.Add(out.LatencyMs);
      all.Add(out.LatencyMs);
    }
    if (fault.empty()) {
      ++t.Passed;
    } else {
      ++failed;
      t.Faults.push_back(fault);
      std::printf("  run %d (%s: %s): FAIL: %s\n", i + 1, RoadNames[road], out.How.c_str(), fault.c_str());
    }
    if ((i + 1) % 20 == 0) std::printf("  ... %d runs, %d failed\n", i + 1, failed);
  }
  PrintRoads(tallies);
  std::printf("\n  exit latency, final input to the end of the process, all roads: %s\n", all.Summary("ms").c_str());
  all.PrintHistogram("ms");
  std::printf("exits: %d of %d runs passed; %s\n", runs - failed, runs, failed ? "FAILED" : "passed");
  return failed ? 1 : 0;
}

}  // namespace Load
