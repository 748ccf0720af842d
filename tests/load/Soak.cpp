// The soak: Quendal.exe polls while the scenario changes every few cycles;
// every cycle checks that it lives, answers, shows no message box and lists
// only what the scenarios allowed; samples of its resources must stay flat
// after the warm-up.
#include <cstdio>
#include <deque>
#include <random>
#include <vector>

#include "load/LoadCommands.h"
#include "load/ProcessFigures.h"
#include "load/RandomScenario.h"

using namespace Inspector;

namespace Load {

namespace {

const double CycleMs = 200;
const long RssToleranceKb = 2048;

struct TSample {
  int Cycle = 0;
  long Counters[ResourceKinds] = {};
  long Threads = 0;
  TLinuxStatus Linux;
  TUnreliable Zero;
};

TSample TakeSample(const TQuendalRun& run, int cycle, int linuxPid) {
  // Between two loads: the Waiting window and its timer are transient.
  HWND waiting = FindWindowNamed(run.ProcessId(), "WaitingPanel");
  if (waiting) WaitFor([&] { return !Visible(waiting); }, 3000, 5);
  TSample s;
  s.Cycle = cycle;
  for (int k = 0; k < ResourceKinds; ++k) s.Counters[k] = Counter(run.Main(), k);
  s.Threads = WindowsThreadCount(run.ProcessId());
  s.Linux = ReadLinuxStatus(linuxPid);
  s.Zero = UnreliableCounters(run.ProcessHandle());
  return s;
}

void PrintSamples(const std::vector<TSample>& samples) {
  std::printf("\n  cycle");
  for (const char* name : ResourceNames) std::printf(" %8s", name);
  std::printf(" %8s | %9s %9s %9s %7s | %5s %5s %7s\n", "threads", "VmRSS kB", "RssAnon", "VmSize", "Threads", "GDI*",
              "USER*", "handles*");
  for (const TSample& s : samples) {
    std::printf("  %5d", s.Cycle);
    for (long c : s.Counters) std::printf(" %8ld", c);
    std::printf(" %8ld | %9ld %9ld %9ld %7ld | %5lu %5lu %7lu\n", s.Threads, s.Linux.VmRssKb, s.Linux.RssAnonKb,
                s.Linux.VmSizeKb, s.Linux.Threads, s.Zero.GdiObjects, s.Zero.UserObjects, s.Zero.Handles);
  }
  std::printf("  (* GetGuiResources and GetProcessHandleCount: Wine 8 answers 0; shown, not judged)\n");
}

// Counters and threads equal to the reference at every later sample; the
// memory within the tolerance and not growing at every one of the last steps.
int JudgeSamples(const std::vector<TSample>& samples, int warmup) {
  size_t ref = 0;
  while (ref < samples.size() && samples[ref].Cycle < warmup) ++ref;
  if (ref + 1 >= samples.size()) {
    std::printf("  too few samples after the warm-up to judge\n");
    return 1;
  }
  int faults = 0;
  const TSample& r = samples[ref];
  for (size_t i = ref + 1; i < samples.size(); ++i) {
    const TSample& s = samples[i];
    for (int k = 0; k < ResourceKinds; ++k)
      if (s.Counters[k] != r.Counters[k])
        ++faults, std::printf("  FAIL: %s %ld at cycle %d, %ld after the warm-up\n", ResourceNames[k], s.Counters[k], s.Cycle,
                              r.Counters[k]);
    if (s.Threads != r.Threads)
      ++faults, std::printf("  FAIL: %ld threads at cycle %d, %ld after the warm-up\n", s.Threads, s.Cycle, r.Threads);
    if (s.Linux.VmRssKb - r.Linux.VmRssKb > RssToleranceKb || s.Linux.RssAnonKb - r.Linux.RssAnonKb > RssToleranceKb)
      ++faults, std::printf("  FAIL: memory grew by %ld kB RSS, %ld kB private at cycle %d\n", s.Linux.VmRssKb - r.Linux.VmRssKb,
                            s.Linux.RssAnonKb - r.Linux.RssAnonKb, s.Cycle);
  }
  // Growth at each of the last five steps, however small, is a leak's mark.
  size_t n = samples.size() - ref;
  if (n >= 6) {
    bool growing = true;
    for (size_t i = samples.size() - 5; i < samples.size(); ++i)
      growing = growing && samples[i].Linux.RssAnonKb > samples[i - 1].Linux.RssAnonKb;
    if (growing) ++faults, std::printf("  FAIL: private memory grew at each of the last five samples\n");
  }
  const TSample& last = samples.back();
  std::printf("  after the warm-up (cycle %d): RSS %+ld kB, private %+ld kB, threads %ld -> %ld\n", r.Cycle,
              last.Linux.VmRssKb - r.Linux.VmRssKb, last.Linux.RssAnonKb - r.Linux.RssAnonKb, r.Threads, last.Threads);
  return faults;
}

// What the scenarios still in play put in the slot.
void PrintSlot(const std::deque<TScenario>& recent, int slot) {
  std::string head = "slot " + std::to_string(slot) + " ";
  for (const TScenario& s : recent) {
    std::printf("  in %s", s.Text.substr(0, s.Text.find('\n') + 1).c_str());
    for (size_t at = 0; (at = s.Text.find(head, at)) != std::string::npos; ++at)
      if (at == 0 || s.Text[at - 1] == '\n') std::printf("    %s\n", s.Text.substr(at, s.Text.find('\n', at) - at).c_str());
  }
}

struct TTally {
  int Rewrites = 0, Modules = 0, Failures = 0, BadRecords = 0, Loads = 0;
  int WaitingSeen = 0, LineChanges = 0, Selections = 0, ModuleLinesSeen = 0;
};

}  // namespace

int Soak(int cycles, unsigned seed) {
  std::printf("soak: %d poll cycles of %.0f ms, seed %u (--seed=N to change)\n", cycles, CycleMs, seed);
  TScenarioMaker maker(seed);
  std::mt19937 random(seed ^ 0x5eedu);
  auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(random); };

  std::deque<TScenario> recent;  // the newest last; the stand-in may still play the one before
  recent.push_back(maker.Next());
  std::set<std::string> allowed[Slots];
  for (int i = 0; i < Slots; ++i) allowed[i] = recent.back().Lines[i];
  TTally tally;
  tally.Modules = recent.back().Modules;

  TQuendalRun run;
  if (!run.Start(recent.back().Text)) {
    std::printf("FAIL: Quendal.exe did not start\n");
    return 1;
  }
  HWND list = run.Control("ModulesListBox");
  HWND waiting = FindWindowNamed(run.ProcessId(), "WaitingPanel", 5000);
  if (!list || !WaitFor([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == Slots; }, 15000)) {
    std::printf("FAIL: the list never showed %d lines\n", Slots);
    return 1;
  }
  int linuxPid = FindLinuxPid();
  std::printf("Quendal.exe: Windows process %lu, Linux process %d\n", run.ProcessId(), linuxPid);

  int interval = cycles >= 1000 ? 100 : (cycles / 10 > 10 ? cycles / 10 : 10);
  int warmup = cycles / 5;
  std::vector<TSample> samples;
  samples.push_back(TakeSample(run, 0, linuxPid));
  std::vector<std::string> shown(Slots);
  int faults = 0, nextRewrite = pick(3, 8);
  bool wasWaiting = false;
  double start = NowMs();

  for (int cycle = 1; cycle <= cycles && faults == 0; ++cycle) {
    double due = start + cycle * CycleMs;
    while (NowMs() < due) Sleep(2);

    if (cycle == nextRewrite) {
      recent.push_back(maker.Next());
      if (recent.size() > 3) recent.pop_front();
      const TScenario& s = recent.back();
      for (int i = 0; i < Slots; ++i) allowed[i].insert(s.Lines[i].begin(), s.Lines[i].end());
      run.Rewrite(s.Text);
      ++tally.Rewrites, tally.Modules += s.Modules, tally.Failures += s.Failures, tally.BadRecords += s.BadRecords,
          tally.Loads += s.Loads;
      nextRewrite = cycle + pick(3, 8);
    }

    if (!run.Running()) {
      DWORD code = 0;
      GetExitCodeProcess(run.ProcessHandle(), &code);
      std::printf("FAIL at cycle %d: Quendal.exe ended (exit code 0x%lX)\n", cycle, code);
      ++faults;
      break;
    }
    if (!Answers(run.Main())) {
      std::printf("FAIL at cycle %d: the main window did not answer within 5 s\n", cycle);
      ++faults;
      break;
    }
    TMessageBox box;
    if (OpenBox(run, box)) {
      std::printf("FAIL at cycle %d: a message box \"%s\": \"%s\"\n", cycle, ToUtf8(box.Caption).c_str(), ToUtf8(box.Text).c_str());
      ++faults;
      break;
    }
    bool isWaiting = waiting && Visible(waiting);
    tally.WaitingSeen += isWaiting && !wasWaiting;
    wasWaiting = isWaiting;

    std::vector<std::string> lines = Load::ListLines(list);
    if (lines.size() != Slots) {
      std::printf("FAIL at cycle %d: the list has %zu lines\n", cycle, lines.size());
      ++faults;
      continue;
    }
    for (int i = 0; i < Slots; ++i) {
      const std::string& line = lines[static_cast<size_t>(i)];
      tally.LineChanges += line != shown[static_cast<size_t>(i)];
      shown[static_cast<size_t>(i)] = line;
      if (line == EmptyLine(i)) {
        // Whatever comes next into this slot comes from a scenario still in play.
        allowed[i].clear();
        for (const TScenario& s : recent) allowed[i].insert(s.Lines[i].begin(), s.Lines[i].end());
      } else if (allowed[i].count(line)) {
        ++tally.ModuleLinesSeen;
      } else {
        std::printf("FAIL at cycle %d: slot %d shows \"%s\"; the scenarios allowed:", cycle, i, ToUtf8(line).c_str());
        for (const std::string& a : allowed[i]) std::printf(" \"%s\"", ToUtf8(a).c_str());
        std::printf(" or the empty line\n");
        PrintSlot(recent, i);
        ++faults;
      }
    }

    // Now and then the user picks another line: the details show that module.
    if (pick(1, 20) == 1) {
      SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(pick(0, Slots - 1)), 0);
      ++tally.Selections;
    }
    if (cycle % interval == 0 || cycle == cycles) samples.push_back(TakeSample(run, cycle, linuxPid));
  }
  double seconds = (NowMs() - start) / 1000;

  PrintSamples(samples);
  std::printf("\n  %-44s %10s\n", "soak", "count");
  std::printf("  %-44s %10.1f\n", "seconds run", seconds);
  std::printf("  %-44s %10d\n", "scenario rewrites", tally.Rewrites);
  std::printf("  %-44s %10d\n", "modules placed", tally.Modules);
  std::printf("  %-44s %10d\n", "failure switches set", tally.Failures);
  std::printf("  %-44s %10d\n", "bad records (unterminated, junk, clocks)", tally.BadRecords);
  std::printf("  %-44s %10d\n", "K3-600 modules with short loads", tally.Loads);
  std::printf("  %-44s %10d\n", "Waiting window seen coming up", tally.WaitingSeen);
  std::printf("  %-44s %10d\n", "list line changes seen", tally.LineChanges);
  std::printf("  %-44s %10d\n", "module lines checked", tally.ModuleLinesSeen);
  std::printf("  %-44s %10d\n", "selections made", tally.Selections);
  if (faults == 0) faults += JudgeSamples(samples, warmup);

  // The close box: the keyboard may be with the Waiting window.
  PostMessageW(run.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code = 1;
  std::string boxSeen;
  if (!WaitEnd(run, 20000, code, boxSeen)) {
    std::printf("FAIL: the close box did not end the program within 20 s\n");
    ++faults;
  } else if (code != 0) {
    std::printf("FAIL: exit code %lu\n", code);
    ++faults;
  }
  if (!boxSeen.empty()) std::printf("FAIL: a message box at exit: %s\n", boxSeen.c_str()), ++faults;
  std::printf("soak: %s\n", faults ? "FAILED" : "passed");
  return faults ? 1 : 0;
}

}  // namespace Load
