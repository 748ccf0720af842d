// What one poll cycle of the monitor costs beyond the library's own calls:
// scans of the 25 slots against a fake library whose calls cost nothing,
// beside the block copy and comparison of the same bytes and the scan's one
// window-system call (the read of the list's selection), and the
// allocations a cycle makes. Prints figures; asserts nothing.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/MainForm.h"
#include "monitor/ModulesMonitorThread.h"
#include "tests/support/Clock.h"
#include "tests/support/CountingNew.h"
#include "tests/support/FakeCorvane.h"
#include "windows/WaitingPanel.h"

namespace {

using CorvaneFake::TFakeSlots;

struct TFigures {
  double ScanMicros, BlockMicros;
  double SelectionMicros;  // the scan's read of the list's selection, a window-system call
  double AllocationsPerCycle;
  double AllocationsPerChangedCycle;
};

volatile int gSink = 0;

TFigures Measure(const char* const names[SlotCount], int scans) {
  TFakeSlots fake;
  for (int i = 0; i < SlotCount; ++i)
    if (names[i]) fake.Plug(i, names[i]);
  // The program's windows, under an application object.
  TApplication application;
  application.Initialize();
  application.CreateForm(MainForm);
  application.CreateForm(WaitingPanel);
  auto* thread = new TModulesMonitorThread(true, MainForm->MonitorView(), fake.Library());
  thread->StartUp();
  // Set-up and the first applied changes, then the steady state.
  for (int i = 0; i < 3; ++i) {
    thread->ScanSlots();
    thread->RefreshDetails();
  }

  TFigures f = {};
  double start = NowMs();
  for (int i = 0; i < scans; ++i) thread->ScanSlots();
  f.ScanMicros = (NowMs() - start) * 1e3 / scans;

  // The same bytes: the reset copy and the change test's comparison.
  static SlotRecord scratch[SlotCount];
  start = NowMs();
  for (int i = 0; i < scans; ++i) {
    std::memcpy(scratch, thread->DefaultSlots, sizeof scratch);
    // Equal tables, as in the steady state: compared to the last byte.
    gSink = gSink + std::memcmp(thread->Current.Slots, thread->Previous.Slots, sizeof scratch) + scratch[i % SlotCount].ListLine[0];
  }
  f.BlockMicros = (NowMs() - start) * 1e3 / scans;

  HWND list = MainForm->ModulesListBox->Handle();
  start = NowMs();
  for (int i = 0; i < scans; ++i) gSink = gSink + static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
  f.SelectionMicros = (NowMs() - start) * 1e3 / scans;

  const int cycles = 200;
  {
    TAllocationCount counting;  // this thread's, which scans and redraws here
    for (int i = 0; i < cycles; ++i) {
      thread->ScanSlots();
      thread->RefreshDetails();
    }
    f.AllocationsPerCycle = static_cast<double>(counting.Counted()) / cycles;
  }

  // Cycles in which a module comes or goes: applied, the details redrawn.
  {
    TAllocationCount counting;
    for (int i = 0; i < cycles; ++i) {
      if (i % 2 == 0)
        fake.Plug(24, "K200");
      else
        fake.Unplug(24);
      thread->ScanSlots();
      thread->RefreshDetails();
    }
    f.AllocationsPerChangedCycle = static_cast<double>(counting.Counted()) / cycles;
  }

  thread->FinishMonitoring();
  delete thread;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  int scans = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (scans < 1) scans = 1;

  const char* empty[SlotCount] = {};
  const char* mixed[SlotCount] = {};
  mixed[0] = "K200";
  mixed[3] = "K600";
  mixed[6] = "K80-50";
  mixed[9] = "K390";
  mixed[12] = "XYZ";
  const char* full[SlotCount];
  for (int i = 0; i < SlotCount; ++i) full[i] = i % 4 == 0 ? "K200" : i % 4 == 1 ? "K600" : i % 4 == 2 ? "K80-50" : "K390";
  full[24] = nullptr;  // the slot the changed cycles use

  struct {
    const char* Name;
    const char* const* Names;
  } cases[] = {{"no module", empty}, {"5 modules", mixed}, {"24 modules", full}};

  std::printf("Slot scan of %d slots, %d scans per case, fake library (calls cost nothing), %u bytes of slot records\n",
              SlotCount, scans, static_cast<unsigned>(sizeof(SlotRecord) * SlotCount));
  std::printf("%-12s %12s %20s %18s %8s %16s %16s %24s\n", "case", "us per scan", "us selection read",
              "us memcpy+memcmp", "ratio", "ratio w/o read", "allocs per cycle", "allocs per changed cycle");
  for (const auto& c : cases) {
    TFigures f = Measure(c.Names, scans);
    double own = f.ScanMicros - f.SelectionMicros;
    std::printf("%-12s %12.2f %20.2f %18.2f %8.2f %16.2f %16.2f %24.2f\n", c.Name, f.ScanMicros, f.SelectionMicros,
                f.BlockMicros, f.BlockMicros > 0 ? f.ScanMicros / f.BlockMicros : 0.0,
                f.BlockMicros > 0 ? own / f.BlockMicros : 0.0, f.AllocationsPerCycle, f.AllocationsPerChangedCycle);
  }
  return 0;
}
