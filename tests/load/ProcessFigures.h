// What the load commands read about a running Quendal.exe: from the Windows
// side (threads, times, memory, the program's own resource counters) and
// from the Linux side, where Wine runs it as an ordinary process whose
// /proc files are reachable through drive Z:.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handles.h"
#include "tests/support/Clock.h"
#include "tests/support/Files.h"

namespace Load {

// The program's live counters, in the order of TResourceKind.
constexpr int ResourceKinds = static_cast<int>(TResourceKind::Count);
extern const char* const ResourceNames[ResourceKinds];

// The newest Linux process of this Wine prefix whose command is the one
// given (Quendal.exe, another program, the wineserver), or 0.
int FindLinuxPid(DWORD timeoutMs = 3000, const char* command = "Quendal.exe");

struct TLinuxStatus {
  bool Valid = false;
  long VmRssKb = 0, RssAnonKb = 0, VmSizeKb = 0, Threads = 0;
};
TLinuxStatus ReadLinuxStatus(int pid);
// utime + stime in clock ticks (100 per second), or -1.
long long ReadLinuxCpuTicks(int pid);

// Threads of the Windows process, counted by the Toolhelp snapshot.
long WindowsThreadCount(DWORD processId);
// Kernel + user time of the process in milliseconds, or -1.
double WindowsCpuMs(HANDLE process);

struct TWindowsMemory {
  bool Valid = false;
  size_t WorkingSet = 0, Private = 0;
};
TWindowsMemory WindowsMemory(HANDLE process);

// What Wine 8 answers 0 to; printed as such.
struct TUnreliable {
  DWORD GdiObjects = 0, UserObjects = 0, Handles = 0;
};
TUnreliable UnreliableCounters(HANDLE process);

// Figures of a series: sorted copy, percentile, a small histogram.
class TDistribution {
 public:
  void Add(double v) { FValues.push_back(v); }
  size_t Count() const { return FValues.size(); }
  double Min() const { return Percentile(0); }
  double Max() const { return Percentile(100); }
  double Median() const { return Percentile(50); }
  double Percentile(double p) const;
  // "min median p95 max" on one line, in the unit given.
  std::string Summary(const char* unit) const;
  // A histogram of bins of equal width between the minimum and maximum.
  void PrintHistogram(const char* unit, int bins = 8) const;

 private:
  std::vector<double> FValues;
};

}  // namespace Load
