#include "monitor/SlotTable.h"

#include <cstring>

SlotRecord DefaultSlotRecord() {
  SlotRecord r;
  std::memset(&r, 0, sizeof(r));
  r.SlotNumber = -1;
  r.InitPending = 1;
  r.UsbSpeed = 2;
  return r;
}
