#include "monitor/ModulesMonitorThread.h"

// One pass over the 25 slots. (Until the scan lands it only honours the stop
// request.)
void TModulesMonitorThread::ScanSlots() {
  ErrorReported = 0;
  for (int i = 0; i < SlotCount; ++i)
    if (Terminated()) return;
}

void TModulesMonitorThread::ApplyScan() {}
