// The benchmark: what Quendal.exe costs and how fast it reacts, measured on
// the real program under Wine. Prints one table; judges nothing but that
// each measurement could be made.
#include <cstdio>
#include <random>

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
  std::string cpu = ReadFileText(L"Z:\\proc\\cpuinfo"), model = "?";
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

std::string Format(const char* format, double a, double b = 0) {
  char text[128];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

// CPU per wall time of a Quendal.exe that runs with no stats file (the
// harness always names one, and the stand-in writes it every 50 ms), as %
// of one core; -1 when it could not be measured.
double QuietCpuPercent(int seconds) {
  std::wstring scenario = TQuendalRun::TempFile(L"bench-quiet.txt");
  FILE* f = _wfopen(scenario.c_str(), L"wb");
  if (!f) return -1;
  std::fputs(FourModules, f);
  std::fclose(f);
  TProcess process;
  double percent = -1;
  if (Launch(TQuendalRun::ShippedDir() + L"\\Quendal.exe", {L"CORVANE_SCENARIO=" + scenario, L"CORVANE_STATS="}, process)) {
    HWND main = FindWindowNamed(process.Id, "MainForm", 15000);
    int pid = FindLinuxPid();
    if (main && pid && WaitFourShown(FindControl(main, "ModulesListBox"))) {
      Sleep(2000);
      long long ticks0 = ReadLinuxCpuTicks(pid);
      double wall0 = NowMs();
      Sleep(static_cast<DWORD>(seconds) * 1000);
      long long ticks1 = ReadLinuxCpuTicks(pid);
      if (ticks0 >= 0 && ticks1 >= 0) percent = (ticks1 - ticks0) / 100.0 / ((NowMs() - wall0) / 1000) * 100;
    }
    if (main) PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 0;
    if (!WaitExit(process, 20000, code)) Kill(process);
    Close(process);
  }
  DeleteFileW(scenario.c_str());
  return percent;
}

}  // namespace

int Bench(int cpuSeconds, int changes, int runs, unsigned seed) {
  std::printf("bench: %d s of monitoring, %d scenario changes, %d starts and exits, seed %u\n", cpuSeconds, changes, runs, seed);
  std::mt19937 random(seed);
  auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(random); };
  int faults = 0;

  double quietPercent = QuietCpuPercent(cpuSeconds);
  if (quietPercent < 0) ++faults, std::printf("FAIL: the CPU time without a stats file could not be taken\n");

  // CPU and memory while monitoring four modules, then the detection latency.
  TQuendalRun run;
  if (!run.Start(FourModules) || !WaitFourShown(run.Control("ModulesListBox"))) {
    std::printf("FAIL: the four modules were not listed\n");
    return 1;
  }
  HWND list = run.Control("ModulesListBox");
  int pid = FindLinuxPid();
  Sleep(2000);
  long long ticks0 = ReadLinuxCpuTicks(pid);
  double win0 = WindowsCpuMs(run.ProcessHandle()), wall0 = NowMs();
  Sleep(static_cast<DWORD>(cpuSeconds) * 1000);
  long long ticks1 = ReadLinuxCpuTicks(pid);
  double win1 = WindowsCpuMs(run.ProcessHandle()), wall = (NowMs() - wall0) / 1000;
  TWindowsMemory memory = WindowsMemory(run.ProcessHandle());
  TLinuxStatus status = ReadLinuxStatus(pid);
  if (ticks0 < 0 || ticks1 < 0) ++faults, std::printf("FAIL: no /proc/%d/stat\n", pid);

  TDistribution detection;
  std::set<int> extra;
  for (int i = 0; i < changes; ++i) {
    int slot;
    do slot = pick(1, Slots - 1);
    while (slot == 3 || slot == 6 || slot == 9);
    bool arrives = !extra.count(slot);
    if (arrives) extra.insert(slot); else extra.erase(slot);
    std::string expected = arrives ? ModuleLine(slot, slot % 2 ? "K390" : "K200") : EmptyLine(slot);
    run.Rewrite(With(extra));
    double t0 = NowMs();
    bool seen = WaitFor([&] { return ListLine(list, slot) == expected; }, 5000, 2);
    if (!seen) {
      ++faults, std::printf("FAIL: change %d (slot %d %s) not seen within 5 s; the line reads \"%s\"\n", i + 1, slot,
                            arrives ? "arrives" : "leaves", ToUtf8(ListLine(list, slot)).c_str());
      continue;
    }
    detection.Add(NowMs() - t0);
    Sleep(static_cast<DWORD>(pick(0, 250)));  // at another moment of the poll cycle
  }
  PostMessageW(run.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code = 0;
  std::string box;
  WaitEnd(run, 20000, code, box);

  // Start to the main window shown, and Yes to the end of the process.
  TDistribution shown, exits;
  for (int i = 0; i < runs; ++i) {
    TQuendalRun r;
    double t0 = NowMs();
    if (!r.Start(FourModules, false)) continue;
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = FindWindowNamed(r.ProcessId(), "MainForm")) && Visible(main); }, 15000, 2)) {
      ++faults, std::printf("FAIL: run %d: no main window\n", i + 1);
      continue;
    }
    shown.Add(NowMs() - t0);
    WaitFourShown(FindControl(main, "ModulesListBox"));
    Sleep(static_cast<DWORD>(pick(0, 500)));
    SendKey(main, VK_ESCAPE);
    TMessageBox question;
    if (!r.FindBox(question, 5000)) {
      ++faults, std::printf("FAIL: run %d: no exit question\n", i + 1);
      continue;
    }
    double t1 = NowMs();
    PressButton(question, IDYES);
    std::string left;
    if (!WaitEnd(r, 20000, code, left) || code != 0) {
      ++faults, std::printf("FAIL: run %d: no clean exit\n", i + 1);
      continue;
    }
    exits.Add(NowMs() - t1);
  }

  long long i686 = FileSize(SourceFile("build/i686/bin/Quendal.exe"));
  long long x64 = FileSize(TQuendalRun::ShippedDir() + L"\\Quendal.exe");

  std::printf("\n  machine: %s\n\n", Machine().c_str());
  std::printf("  %-52s %-34s %s\n", "figure", "measured", "target");
  double linuxPercent = ticks1 >= 0 && ticks0 >= 0 ? (ticks1 - ticks0) / 100.0 / wall * 100 : -1;
  Row("CPU, four modules, /proc/PID/stat utime+stime", Format("%.3f %% of one core over %.0f s", quietPercent, wall), "< 0.2 %");
  Row("  CPU seconds per minute of monitoring", Format("%.3f s", quietPercent * 0.6), "");
  Row("  with the stand-in's stats file (as the tests run)", Format("%.3f %% of one core", linuxPercent), "");
  double winPercent = (win1 - win0) / 10 / wall;
  Row("    the same from GetProcessTimes", Format("%.3f %% of one core", winPercent) + (win1 <= 0 ? " (Wine answers 0)" : ""), "");
  Row("detection latency, rename to line changed", detection.Count() ? Format("median %.1f ms, p95 %.1f ms", detection.Median(), detection.Percentile(95)) : "-", "p95 <= 230 ms");
  Row("  over changes", Format("%.0f (min %.1f ms)", static_cast<double>(detection.Count()), detection.Min()), "");
  Row("exit latency, Yes to the end of the process", exits.Count() ? Format("median %.1f ms, p95 %.1f ms", exits.Median(), exits.Percentile(95)) : "-", "p95 < 300 ms");
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
  if (detection.Count()) {
    std::printf("\n  detection latency: %s\n", detection.Summary("ms").c_str());
    detection.PrintHistogram("ms");
  }
  std::printf("bench: %s\n", faults ? "some figures could not be taken" : "done");
  return faults ? 1 : 0;
}

}  // namespace Load
