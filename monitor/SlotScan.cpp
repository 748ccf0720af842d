// The slot scan: runs on the worker thread. It reads the library and writes
// the current table only; whatever it shows goes through a hand-over.
#include <cstdio>
#include <cstring>

#include "device/FieldText.h"
#include "framework/Controls.h"
#include "monitor/ModulesMonitorThread.h"

namespace {

// "Слот 12: Модуль K600": the name is taken up to its terminator, never past
// the end of the field it lies in.
void ModuleLine(SlotRecord& record, int slot, const char* name, size_t nameSize) {
  int length = static_cast<int>(FieldLength(name, nameSize));
  std::snprintf(record.ListLine, sizeof record.ListLine, "Слот %2u: Модуль %.*s", static_cast<unsigned>(slot), length,
                name ? name : "");
}

// The module's description and what the record takes from it. A failed
// read is no reason to drop the scan: the module stays listed by the name
// its interface gave.
void Describe(SlotRecord& record, TCommonUsbInterface& device) {
  if (!device.ReadDescription(record.Description)) {
    record.DescriptionValid = 0;
    ModuleLine(record, record.SlotNumber, record.ModuleName, sizeof record.ModuleName);
    record.Revision = 'A';
    return;
  }
  const ModuleIdentityBlock& identity = record.Description.Identity;
  record.DescriptionValid = 1;
  ModuleLine(record, record.SlotNumber, identity.ModuleName, sizeof identity.ModuleName);
  size_t serial = FieldLength(identity.SerialNumber, sizeof identity.SerialNumber);
  std::memset(record.SerialNumber, 0, sizeof record.SerialNumber);
  std::memcpy(record.SerialNumber, identity.SerialNumber, serial);
  record.Revision = identity.Revision;
  record.DacPresent = static_cast<uint32_t>(record.Description.Dac.DacPresent);
}

}  // namespace

void TModulesMonitorThread::ScanSlots() {
  ErrorReported = 0;
  FLoadedFirmware = false;
  Current.ModuleCount = 0;
  // Each record is written once, from its default record or, for a module
  // set up earlier, from the last applied table. The slots a dropped scan
  // did not reach get their default records after the loop.
  int reached = 0;
  bool whole = true;
  while (whole && reached < SlotCount && !Terminated()) whole = ScanSlot(reached++);
  for (int i = reached; i < SlotCount; ++i) std::memcpy(&Current.Slots[i], &DefaultSlots[i], sizeof Current.Slots[i]);

  // Whenever it is shown, so that the Waiting window never outlives the scan
  // that showed it. WaitingShown is written only in hand-overs, while this
  // thread waits.
  if (WaitingShown == 1) Synchronize([this] { HideWaiting(); });
  if (whole && !Terminated()) ApplyIfChanged();
}

// An empty slot gets its line, a module set up when the last change was
// applied is carried over whole, a module new to the slot is set up.
bool TModulesMonitorThread::ScanSlot(int slot) {
  SlotRecord& record = Current.Slots[slot];
  const SlotRecord& defaults = DefaultSlots[slot];
  if (!Device || !Device->OpenSlot(static_cast<DWORD>(slot))) {
    // "Слот  3: -----", formatted once: zeros follow its terminator, as in
    // the default record.
    std::memcpy(&record, &defaults, sizeof record);
    std::memcpy(record.ListLine, FEmptyLines[slot], sizeof record.ListLine);
    return true;
  }
  ++Current.ModuleCount;
  char name[sizeof record.ModuleName];
  std::memcpy(name, defaults.ModuleName, sizeof name);
  uint8_t speed = defaults.UsbSpeed;
  const bool read = Device->ReadModuleName(name) && Device->ReadUsbSpeed(&speed);
  // Carried over also over the name and speed just read.
  if (read && Previous.Slots[slot].InitPending == 0) {
    std::memcpy(&record, &Previous.Slots[slot], sizeof record);
    return true;
  }
  std::memcpy(&record, &defaults, sizeof record);
  record.SlotNumber = slot;
  std::memcpy(record.ModuleName, name, sizeof name);
  record.UsbSpeed = speed;
  return read && SetUpModule(record);
}

// A module new to its slot: the firmware load and the test (which only the
// models that need them do), then the description. False when a step failed
// or a stop came after the load.
bool TModulesMonitorThread::SetUpModule(SlotRecord& record) {
  if (SameModuleName(record.ModuleName, sizeof record.ModuleName, "K600")) Synchronize([this] { ShowWaiting(); });
  if (Device->LoadsFirmware()) FLoadedFirmware = true;
  if (!Device->LoadFirmware(nullptr)) return false;
  record.InitPending = 0;
  if (Terminated() || !Device->TestModule()) return false;
  record.ModuleReady = 1;
  Describe(record, *Device);
  return true;
}

// A scan that changed a slot or met another selection in the list is
// applied on the window thread, then becomes the previous table.
void TModulesMonitorThread::ApplyIfChanged() {
  // A direct query of the window thread's list from here; it only reads.
  int line = static_cast<int>(SendMessageW(FView.ModulesList->Handle(), LB_GETCURSEL, 0, 0));
  if (line == SelectedIndex && std::memcmp(Current.Slots, Previous.Slots, sizeof Current.Slots) == 0) return;
  Synchronize([this] { ApplyScan(); });
  std::memcpy(&Previous, &Current, sizeof(SlotTable));
}
