// The benchmark: what Quendal.exe costs and how fast it reacts, measured on
// the real program under Wine. Prints one table; judges nothing but that
// each measurement could be made.
#include <windows.h>

#include <dbt.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "load/LoadCommands.h"
#include "load/ProcessFigures.h"
#include "load/RandomScenario.h"

using namespace Inspector;

namespace Load {

namespace {

// One module of each model, none failing.
const char* const FourModules =
    "version 3.3\nslot 0 model=k200\nslot 3 model=k600 load-ms=50\nslot 6 model=k8050 load-ms=20\nslot 9 model=k390\n";

std::string Machine() {
  std::string cpu = ReadWholeFile(L"Z:\\proc\\cpuinfo"), model = "?";
  size_t at = cpu.find("model name");
  if (at != std::string::npos) {
    size_t colon = cpu.find(':', at), end = cpu.find('\n', at);
    if (colon != std::string::npos && colon < end) model = cpu.substr(colon + 2, end - colon - 2);
  }
  int cores = 0;
  for (size_t p = cpu.find("processor"); p != std::string::npos; p = cpu.find("\nprocessor", p + 1)) ++cores;
  typedef const char*(__cdecl * VersionFn)();
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto version = ntdll ? reinterpret_cast<VersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version"))) : nullptr;
#ifdef _WIN64
  const char* arch = "x86_64";
#else
  const char* arch = "i686";
#endif
  return model + ", " + std::to_string(cores) + " cores, Wine " + (version ? version() : "?") + ", " + arch + " build";
}

long long FileSize(const std::wstring& file) {
  WIN32_FILE_ATTRIBUTE_DATA a;
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &a)) return -1;
  return (static_cast<long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

std::wstring SourceFile(const std::string& relative) {
  std::string path = std::string(QUENDAL_SOURCE_DIR) + "/" + relative;
  std::wstring w(L"Z:");
  for (char c : path) w += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return w;
}

bool WaitFourShown(HWND list) {
  return WaitFor(
      [&] {
        for (int slot : {0, 3, 6, 9})
          if (ListLine(list, slot) == EmptyLine(slot) || ListLine(list, slot).empty()) return false;
        return SendMessageW(list, LB_GETCOUNT, 0, 0) == Slots;
      },
      15000);
}

// The scenario with the four modules and the extra ones.
std::string With(const std::set<int>& extra) {
  std::string s = FourModules;
  for (int slot : extra) s += "slot " + std::to_string(slot) + " model=" + (slot % 2 ? "k390" : "k200") + "\n";
  return s;
}

void Row(const char* what, const std::string& figure, const char* target) {
  std::printf("  %-52s %-34s %s\n", what, figure.c_str(), target);
}

std::string Format(const char* format, double a, double b = 0, double c = 0) {
  char text[128];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

// Linux CPU ticks (1/100 s) over a wall time, as a percentage of one core.
double CorePercent(long long ticks, double seconds) { return seconds > 0 ? ticks / 100.0 / seconds * 100 : 0; }

// A program whose CPU time is measured: Quendal.exe (the one under test, or
// an earlier build beside it) or the floor program.
struct TCpuSubject {
  std::string Name;
  std::wstring Exe;
  const char* Command;  // its Linux command name
  bool Quendal;
  TDistribution Total, Own;  // % of one core per window: with the wineserver, and the process alone
  // All windows together: CPU ticks (1/100 s) with the wineserver, and seconds.
  long long Ticks = 0;
  double Seconds = 0;
  double Pooled() const { return CorePercent(Ticks, Seconds); }
};

// The wineserver of this prefix, whose work on the program's behalf is part
// of what the program costs.
int WineServerPid() {
  for (const char* name : {"wineserver", "wineserver64", "wineserver32"})
    if (int pid = FindLinuxPid(200, name)) return pid;
  return 0;
}

// Runs the subject on the four modules with no stats file (the stand-in then
// writes nothing) and adds its CPU over one window of the given length;
// false when it could not be measured.
bool CpuWindow(TCpuSubject& subject, const std::wstring& scenario, int seconds, int server) {
  TProcess process;
  if (!Launch(subject.Exe, {L"CORVANE_SCENARIO=" + scenario, L"CORVANE_STATS="}, process)) return false;
  bool measured = false;
  HWND main = subject.Quendal ? FindWindowNamed(process.Id, "MainForm", 15000) : nullptr;
  int pid = FindLinuxPid(3000, subject.Command);
  if (pid && (!subject.Quendal || (main && WaitFourShown(FindControl(main, "ModulesListBox"))))) {
    Sleep(2000);
    long long own0 = ReadLinuxCpuTicks(pid), server0 = ReadLinuxCpuTicks(server);
    double wall0 = NowMs();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    long long own1 = ReadLinuxCpuTicks(pid), server1 = ReadLinuxCpuTicks(server);
    double wall = (NowMs() - wall0) / 1000;
    if (own0 >= 0 && own1 >= 0 && server0 >= 0 && server1 >= 0) {
      subject.Own.Add(CorePercent(own1 - own0, wall));
      subject.Total.Add(CorePercent(own1 - own0 + server1 - server0, wall));
      subject.Ticks += own1 - own0 + server1 - server0;
      subject.Seconds += wall;
      measured = true;
    }
  }
  HWND floor = subject.Quendal ? nullptr : FindWindowW(L"QuendalBenchFloor", nullptr);
  if (main) PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (floor) PostMessageW(floor, WM_CLOSE, 0, 0);
  DWORD code = 0;
  if (!WaitExit(process, 20000, code)) Kill(process);
  Close(process);
  return measured;
}

// A Unix folder as the Windows programs see it.
std::wstring UnixFolder(const char* path) {
  std::wstring w(L"Z:");
  for (const char* c = path; *c; ++c) w += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
  return w;
}

// Esc in the window and Yes to the exit question: when the Yes was given and
// when the process had ended cleanly. False, with a fault counted and told,
// when either did not come.
bool YesExit(TQuendalRun& r, HWND window, const char* what, int i, int& faults, double& yes, double& end) {
  SendKey(window, VK_ESCAPE);
  TMessageBox question;
  if (!r.FindBox(question, 5000)) {
    ++faults, std::printf("FAIL: %s %d: no exit question\n", what, i + 1);
    return false;
  }
  yes = NowMs();
  PressButton(question, IDYES);
  DWORD code = 0;
  if (!r.WaitExit(20000, code) || code != 0) {
    ++faults, std::printf("FAIL: %s %d: no clean exit\n", what, i + 1);
    return false;
  }
  end = NowMs();
  return true;
}

}  // namespace

int Bench(int cpuSeconds, int changes, int runs, unsigned seed) {
  std::printf("bench: %d s of monitoring per program, %d scenario changes twice, %d starts and exits, seed %u\n",
              cpuSeconds, changes, runs, seed);
  std::mt19937 random(seed);
  auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(random); };
  int faults = 0;

  // CPU: Quendal.exe, an earlier build if one is named, and the floor
  // program, each alone in its turn, in interleaved windows of at most 30 s.
  std::vector<TCpuSubject> subjects;
  subjects.push_back({"Quendal.exe", TQuendalRun::ShippedDir() + L"\\Quendal.exe", "Quendal.exe", true, {}, {}});
  if (const char* before = std::getenv("QUENDAL_BENCH_BEFORE"))
    if (*before) subjects.push_back({"Quendal.exe before", UnixFolder(before) + L"\\Quendal.exe", "Quendal.exe", true, {}, {}});
  subjects.push_back({"floor program", SourceFile("build/x86_64-tests/bin/BenchFloor.exe"), "BenchFloor.exe", false, {}, {}});
  std::wstring cpuScenario = TQuendalRun::TempFile(L"bench-cpu.txt");
  if (FILE* f = _wfopen(cpuScenario.c_str(), L"wb")) {
    std::fputs(FourModules, f);
    std::fclose(f);
  }
  int server = WineServerPid();
  if (!server) ++faults, std::printf("FAIL: the wineserver of this prefix was not found\n");
  // Short windows, many of them: the machine's own noise then falls on every
  // program alike. A round ends with a window in which nothing runs, for the
  // wineserver's work for nobody, which every figure carries.
  int window = cpuSeconds < 15 ? cpuSeconds : 15;
  TDistribution idle;
  for (int round = 0; server && round < (cpuSeconds + window - 1) / window; ++round) {
    for (TCpuSubject& subject : subjects)
      if (!CpuWindow(subject, cpuScenario, window, server))
        ++faults, std::printf("FAIL: no CPU figure for %s in round %d\n", subject.Name.c_str(), round + 1);
    long long server0 = ReadLinuxCpuTicks(server);
    double wall0 = NowMs();
    Sleep(static_cast<DWORD>(window) * 1000);
    long long server1 = ReadLinuxCpuTicks(server);
    if (server0 >= 0 && server1 >= 0) idle.Add(CorePercent(server1 - server0, (NowMs() - wall0) / 1000));
  }
  DeleteFileW(cpuScenario.c_str());

  // Memory while monitoring four modules, then the detection latency: a
  // scenario change seen by the poll alone, and one that a device-change
  // notice announces once the stand-in can see it (it looks at its file at
  // most every 50 ms).
  TQuendalRun run;
  if (!run.Start(FourModules) || !WaitFourShown(run.Control("ModulesListBox"))) {
    std::printf("FAIL: the four modules were not listed\n");
    return 1;
  }
  HWND list = run.Control("ModulesListBox");
  int pid = FindLinuxPid();
  Sleep(2000);
  TWindowsMemory memory = WindowsMemory(run.ProcessHandle());
  TLinuxStatus status = ReadLinuxStatus(pid);

  TDistribution polled, noticed;
  int beforeNotice = 0;
  std::set<int> extra;
  for (int i = 0; i < 2 * changes; ++i) {
    bool notice = i % 2 == 1;
    int slot;
    do slot = pick(1, Slots - 1);
    while (slot == 3 || slot == 6 || slot == 9);
    bool arrives = !extra.count(slot);
    if (arrives) extra.insert(slot); else extra.erase(slot);
    std::string expected = arrives ? ModuleLine(slot, slot % 2 ? "K390" : "K200") : EmptyLine(slot);
    run.Rewrite(With(extra));
    if (notice) {
      Sleep(60);
      if (ListLine(list, slot) == expected) {
        ++beforeNotice;
        continue;
      }
    }
    double t0 = NowMs();
    if (notice) run.DeviceChange();
    bool seen = WaitFor([&] { return ListLine(list, slot) == expected; }, 5000, 1);
    if (!seen) {
      ++faults, std::printf("FAIL: change %d (slot %d %s) not seen within 5 s; the line reads \"%s\"\n", i + 1, slot,
                            arrives ? "arrives" : "leaves", ToUtf8(ListLine(list, slot)).c_str());
      continue;
    }
    (notice ? noticed : polled).Add(NowMs() - t0);
    Sleep(static_cast<DWORD>(pick(0, 250)));  // at another moment of the poll cycle
  }
  PostMessageW(run.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code = 0;
  std::string box;
  WaitEnd(run, 20000, code, box);

  // Start to the main window shown, and Yes to the end of the process. The
  // exits are timed as with the maker's library: the stand-in keeps no
  // counters file (it would write it at every interface released), and
  // nothing asks the program anything while it ends (the inspector's look
  // for a message box would be answered by the very thread being timed).
  TDistribution shown, exits;
  for (int i = 0; i < runs; ++i) {
    TQuendalRun r;
    double t0 = NowMs();
    if (!r.Start(FourModules, false, false)) continue;
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = FindWindowNamed(r.ProcessId(), "MainForm")) && Visible(main); }, 15000, 2)) {
      ++faults, std::printf("FAIL: run %d: no main window\n", i + 1);
      continue;
    }
    shown.Add(NowMs() - t0);
    WaitFourShown(FindControl(main, "ModulesListBox"));
    Sleep(static_cast<DWORD>(pick(0, 500)));
    double yes = 0, end = 0;
    if (!YesExit(r, main, "run", i, faults, yes, end)) continue;
    exits.Add(end - yes);
  }

  // Yes during a K3-600's 2-second load: the exit waits for the load call,
  // and what it takes beyond the rest of the load is the program's.
  TDistribution loadExits, beyondLoad;
  const int loadRuns = runs < 10 ? runs : 10;
  for (int i = 0; i < loadRuns; ++i) {
    TQuendalRun r;
    if (!r.Start("version 3.3\nslot 0 model=k200\nslot 3 model=k600 load-ms=2000\n", true, false)) continue;
    HWND waiting = nullptr;
    if (!WaitFor([&] { return (waiting = FindWindowNamed(r.ProcessId(), "WaitingPanel")) && Visible(waiting); }, 10000, 2)) {
      ++faults, std::printf("FAIL: load run %d: no Waiting window\n", i + 1);
      continue;
    }
    double loadStart = NowMs();
    Sleep(static_cast<DWORD>(pick(0, 1700)));
    double yes = 0, end = 0;
    if (!YesExit(r, waiting, "load run", i, faults, yes, end)) continue;
    loadExits.Add(end - yes);
    double loadLeft = 2000 - (yes - loadStart);
    beyondLoad.Add(end - yes - (loadLeft > 0 ? loadLeft : 0));
  }

  long long i686 = FileSize(SourceFile("build/i686/bin/Quendal.exe"));
  long long x64 = FileSize(TQuendalRun::ShippedDir() + L"\\Quendal.exe");

  std::printf("\n  machine: %s\n\n", Machine().c_str());
  std::printf("  %-52s %-34s %s\n", "figure", "measured", "target");
  const TCpuSubject& floor = subjects.back();
  for (const TCpuSubject& subject : subjects) {
    std::string name = "CPU, four modules, " + subject.Name + " + wineserver";
    Row(name.c_str(), subject.Total.Count() ? Format("%.2f %% of one core (%.2f to %.2f)", subject.Total.Median(), subject.Total.Min(), subject.Total.Max()) + " over " + std::to_string(subject.Total.Count()) + " windows of " + std::to_string(window) + " s" : "-", "");
    Row("  all windows together", subject.Seconds > 0 ? Format("%.2f %% of one core", subject.Pooled()) : "-", "");
    Row("  the process alone", subject.Own.Count() ? Format("%.2f %% of one core (%.2f to %.2f)", subject.Own.Median(), subject.Own.Min(), subject.Own.Max()) : "-", "");
    if (subject.Quendal && subject.Total.Count() && floor.Total.Count() && floor.Total.Median() > 0)
      Row("  ratio to the floor program, both with the wineserver", Format("%.2f of the medians, %.2f of all windows together", subject.Total.Median() / floor.Total.Median(), floor.Pooled() > 0 ? subject.Pooled() / floor.Pooled() : 0), subject.Name == "Quendal.exe" ? "<= 0.7" : "");
  }
  Row("the wineserver with no program running", idle.Count() ? Format("%.2f %% of one core (%.2f to %.2f)", idle.Median(), idle.Min(), idle.Max()) : "-", "");
  Row("detection latency, rename to line changed (poll only)", polled.Count() ? Format("median %.1f ms, p95 %.1f ms", polled.Median(), polled.Percentile(95)) : "-", "p95 <= 230 ms");
  Row("detection latency, device-change notice to line changed", noticed.Count() ? Format("median %.1f ms, p95 %.1f ms", noticed.Median(), noticed.Percentile(95)) : "-", "p95 < 100 ms");
  Row("  over changes (the poll was first before the notice)", Format("%.0f and %.0f", static_cast<double>(polled.Count()), static_cast<double>(noticed.Count())) + " (" + std::to_string(beforeNotice) + ")", "");
  Row("exit latency, Yes to the end of the process", exits.Count() ? Format("median %.1f ms, p95 %.1f ms", exits.Median(), exits.Percentile(95)) : "-", "p95 < 60 ms");
  Row("exit latency, Yes during a K3-600's 2 s load", loadExits.Count() ? Format("median %.1f ms, max %.1f ms", loadExits.Median(), loadExits.Max()) : "-", "");
  Row("  beyond the rest of the load", beyondLoad.Count() ? Format("median %.1f ms, max %.1f ms", beyondLoad.Median(), beyondLoad.Max()) : "-", "");
  Row("start, CreateProcess to the main window shown", shown.Count() ? Format("median %.1f ms, max %.1f ms", shown.Median(), shown.Max()) : "-", "");
  Row("  over runs", Format("%.0f", static_cast<double>(shown.Count())), "");
  Row("working set / private bytes (GetProcessMemoryInfo)",
      memory.Valid ? Format("%.0f kB / %.0f kB", memory.WorkingSet / 1024.0, memory.Private / 1024.0) +
                         (memory.Private == 0 ? " (Wine answers 0 for private)" : "")
                   : "not answered",
      "");
  Row("VmRSS / RssAnon / VmSize (/proc/PID/status)",
      Format("%.0f kB / %.0f kB", static_cast<double>(status.VmRssKb), static_cast<double>(status.RssAnonKb)) + " / " +
          std::to_string(status.VmSizeKb) + " kB", "");
  Row("Quendal.exe, shipped i686 build", i686 >= 0 ? Format("%.0f bytes (%.0f kB)", static_cast<double>(i686), i686 / 1024.0) : "not built", "< 1 MB");
  Row("Quendal.exe, x86_64 build", x64 >= 0 ? Format("%.0f bytes (%.0f kB)", static_cast<double>(x64), x64 / 1024.0) : "not built", "< 1 MB");
  if (noticed.Count()) {
    std::printf("\n  detection latency after a notice: %s\n", noticed.Summary("ms").c_str());
    noticed.PrintHistogram("ms");
  }
  std::printf("bench: %s\n", faults ? "some figures could not be taken" : "done");
  return faults ? 1 : 0;
}

}  // namespace Load
