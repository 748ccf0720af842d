// The thread object and its body: made and deleted on the window thread,
// its body runs on the worker.
#include "monitor/ModulesMonitorThread.h"

#include <cstdio>

#include "device/LibraryGuard.h"
#include "framework/Application.h"
#include "framework/Exception.h"

namespace {
const char* const ErrorCaption = "Сообщение TModulesMonitorThread::Execute()!";
}

TModulesMonitorThread::TModulesMonitorThread(bool createSuspended, const TMonitorView& view,
                                             const TCorvaneLibrary& library)
    : TThread(true), FView(view), FLibrary(library) {
  FDeviceChange.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!FDeviceChange) throw TException("CreateEvent");
  for (int i = 0; i < SlotCount; ++i)
    std::snprintf(FEmptyLines[i], ListLineSize, "Слот %2u: -----", static_cast<unsigned>(i));
  if (!createSuspended) Start();
}

TModulesMonitorThread::~TModulesMonitorThread() { TerminateAndWait(); }

bool TModulesMonitorThread::ApplicationTerminating() const { return Application && Application->Terminated(); }

void TModulesMonitorThread::Execute() {
  // The start-up step is guarded as the loop is: whatever fails in it (a
  // fault inside the library among it) is reported, and the thread still
  // releases what it made and waits to be stopped.
  ResetFloatingPointState();
  try {
    Synchronize([this] { StartUp(); });
    while (!Terminated() && ErrorReported == 0) {
      DWORD scanStart = GetTickCount();
      ScanSlots();
      if (Terminated() || ErrorReported == 1) break;
      // DetailsDirty is written only in hand-overs, while this thread waits.
      if (DetailsDirty == 1) Synchronize([this] { RefreshDetails(); });
      PauseAfterScan(scanStart);
    }
  } catch (...) {
    ErrorText = "Опаньки!!! Поймали неустранимое исключение!!!\nСрочно сообщите разработчику!";
    ReportError();
  }
  try {
    Synchronize([this] { FinishMonitoring(); });
  } catch (...) {
    // The wrapper is gone or was never made; nothing is left to release.
  }
  while (!Terminated()) WaitForSingleObject(StopRequest(), INFINITE);
}

// The pause ends after PollPauseMs, at the stop request, or at a device
// change (also one reported during the scan), which is answered no sooner
// than NoticeSpacingMs after the scan began, so that a storm of notices
// cannot make the scans follow each other closer. After a scan that loaded
// firmware the pause is taken whole and the notices are dropped: a module
// re-enumerates after its load and raises notices of its own, which would
// otherwise start the next scan while it is away and load it again.
void TModulesMonitorThread::PauseAfterScan(DWORD scanStart) {
  HANDLE wakes[2] = {StopRequest(), FDeviceChange.Get()};
  DWORD woken = WaitForMultipleObjects(FLoadedFirmware ? 1 : 2, wakes, FALSE, PollPauseMs);
  if (woken == WAIT_FAILED) Sleep(PollPauseMs);
  if (FLoadedFirmware) ResetEvent(FDeviceChange.Get());
  if (woken != WAIT_OBJECT_0 + 1) return;
  DWORD since = GetTickCount() - scanStart;
  if (since < NoticeSpacingMs) WaitForSingleObject(StopRequest(), NoticeSpacingMs - since);
}

void TModulesMonitorThread::ReportError() {
  if (ErrorReported == 1) return;
  if (Application) Application->MessageBox(ErrorText, ErrorCaption, MB_OK | MB_ICONINFORMATION);
  ErrorReported = 1;
}

void TModulesMonitorThread::InitSlotTables() {
  Current.ModuleCount = 0;
  SlotRecord d = DefaultSlotRecord();
  for (int i = 0; i < SlotCount; ++i) {
    DefaultSlots[i] = d;
    Current.Slots[i] = d;
  }
}
