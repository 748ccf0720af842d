#include "load/ProcessFigures.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Load {

const char* const ResourceNames[ResourceKinds] = {"windows", "fonts", "brushes", "pens", "DCs", "kernel", "menus", "hooks", "memory"};

namespace {

std::wstring ProcFile(int pid, const wchar_t* name) { return L"Z:\\proc\\" + std::to_wstring(pid) + L"\\" + name; }

bool EnvironmentNames(int pid, const std::string& entry) {
  std::string env = ReadWholeFile(ProcFile(pid, L"environ"));
  size_t pos = 0;
  while (pos < env.size()) {
    size_t end = env.find('\0', pos);
    if (end == std::string::npos) end = env.size();
    if (env.compare(pos, end - pos, entry) == 0) return true;
    pos = end + 1;
  }
  return false;
}

std::vector<int> ProcessIds() {
  std::vector<int> ids;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &data);
  if (find == INVALID_HANDLE_VALUE) return ids;
  do {
    wchar_t* end = nullptr;
    long id = wcstol(data.cFileName, &end, 10);
    if (id > 0 && end && *end == 0) ids.push_back(static_cast<int>(id));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return ids;
}

long StatusValue(const std::string& status, const char* key) {
  size_t pos = status.find(std::string("\n") + key + ":");
  if (pos == std::string::npos) return -1;
  return std::strtol(status.c_str() + pos + std::strlen(key) + 2, nullptr, 10);
}


long long StartTime(int pid) {
  std::string stat = ReadWholeFile(ProcFile(pid, L"stat"));
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  const char* p = stat.c_str() + close + 2;  // field 3, the state
  for (int field = 3; field < 22 && p; ++field) {
    p = std::strchr(p, ' ');
    if (p) ++p;
  }
  return p ? std::strtoll(p, nullptr, 10) : -1;
}

}  // namespace

int FindLinuxPid(DWORD timeoutMs, const char* command) {
  // Wine gives a program the Unix environment of the Wine session, not its
  // Windows one; but the program runs once per prefix, so the newest
  // process of that name in this prefix is the one just started.
  char prefix[1024] = {};
  if (!GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) return 0;
  std::string entry = std::string("WINEPREFIX=") + prefix;
  DWORD start = GetTickCount();
  do {
    int found = 0;
    long long newest = -1;
    for (int id : ProcessIds()) {
      if (ReadWholeFile(ProcFile(id, L"comm")) != std::string(command) + "\n" || !EnvironmentNames(id, entry)) continue;
      long long t = StartTime(id);
      if (t > newest) newest = t, found = id;
    }
    if (found) return found;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return 0;
}

TLinuxStatus ReadLinuxStatus(int pid) {
  TLinuxStatus s;
  if (pid <= 0) return s;
  std::string text = "\n" + ReadWholeFile(ProcFile(pid, L"status"));
  s.VmRssKb = StatusValue(text, "VmRSS");
  s.RssAnonKb = StatusValue(text, "RssAnon");
  s.VmSizeKb = StatusValue(text, "VmSize");
  s.Threads = StatusValue(text, "Threads");
  s.Valid = s.VmRssKb >= 0 && s.Threads > 0;
  return s;
}

long long ReadLinuxCpuTicks(int pid) {
  if (pid <= 0) return -1;
  std::string stat = ReadWholeFile(ProcFile(pid, L"stat"));
  // The command may hold blanks and parentheses: fields count from the last ')'.
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  const char* p = stat.c_str() + close + 1;
  long long field[16] = {};
  for (int i = 0; i < 13; ++i) {  // state is field 3; utime 14, stime 15
    while (*p == ' ') ++p;
    if (i == 0) {
      ++p;
      continue;
    }
    char* end = nullptr;
    field[i] = std::strtoll(p, &end, 10);
    p = end;
  }
  return field[11] + field[12];
}

long WindowsThreadCount(DWORD processId) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 t = {};
  t.dwSize = sizeof t;
  long n = 0;
  for (BOOL ok = Thread32First(snap, &t); ok; ok = Thread32Next(snap, &t))
    if (t.th32OwnerProcessID == processId) ++n;
  CloseHandle(snap);
  return n;
}

double WindowsCpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
  auto ms = [](const FILETIME& f) { return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e4; };
  return ms(kernel) + ms(user);
}

TWindowsMemory WindowsMemory(HANDLE process) {
  TWindowsMemory m;
  PROCESS_MEMORY_COUNTERS_EX c = {};
  c.cb = sizeof c;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c)) {
    m.Valid = true;
    m.WorkingSet = c.WorkingSetSize;
    m.Private = c.PrivateUsage;
  }
  return m;
}

TUnreliable UnreliableCounters(HANDLE process) {
  TUnreliable u;
  u.GdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  u.UserObjects = GetGuiResources(process, GR_USEROBJECTS);
  GetProcessHandleCount(process, &u.Handles);
  return u;
}

double TDistribution::Percentile(double p) const {
  if (FValues.empty()) return NAN;
  std::vector<double> v = FValues;
  std::sort(v.begin(), v.end());
  // Nearest rank.
  size_t rank = static_cast<size_t>(std::ceil(p / 100.0 * static_cast<double>(v.size())));
  if (rank < 1) rank = 1;
  if (rank > v.size()) rank = v.size();
  return v[rank - 1];
}

std::string TDistribution::Summary(const char* unit) const {
  char line[160];
  std::snprintf(line, sizeof line, "n=%zu  min %.1f  median %.1f  p95 %.1f  max %.1f %s", Count(), Min(), Median(),
                Percentile(95), Max(), unit);
  return line;
}

void TDistribution::PrintHistogram(const char* unit, int bins) const {
  if (FValues.empty()) return;
  double lo = Min(), hi = Max(), width = (hi - lo) / bins;
  if (width <= 0) width = 1;
  std::vector<int> counts(static_cast<size_t>(bins), 0);
  for (double v : FValues) {
    int b = static_cast<int>((v - lo) / width);
    counts[static_cast<size_t>(std::min(std::max(b, 0), bins - 1))]++;
  }
  int most = *std::max_element(counts.begin(), counts.end());
  for (int b = 0; b < bins; ++b) {
    int bar = most ? (counts[static_cast<size_t>(b)] * 40 + most - 1) / most : 0;
    std::printf("    %7.1f - %7.1f %s | %-40s %d\n", lo + b * width, lo + (b + 1) * width, unit, std::string(static_cast<size_t>(bar), '#').c_str(),
                counts[static_cast<size_t>(b)]);
  }
}

}  // namespace Load
