// The slot scan on the worker thread and the selection hand-over that
// applies what it found.
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

// The list's selected index; -1 without a list.
int SelectedLine(const TMonitorView& view) {
  TListBox* list = view.ModulesList;
  if (!list || !list->Handle()) return -1;
  // On the worker thread this is a direct query of the window thread's
  // control; it only reads.
  return static_cast<int>(SendMessageW(list->Handle(), LB_GETCURSEL, 0, 0));
}

}  // namespace

void TModulesMonitorThread::ScanSlots() {
  ErrorReported = 0;
  FLoadedFirmware = false;
  Current.ModuleCount = 0;
  bool failed = false;

  // Each record is written once, from its default record or, for a module
  // set up earlier, from the last applied table. The slots a dropped scan
  // did not reach get their default records after the loop.
  int reached = 0;
  for (int i = 0; i < SlotCount; ++i) {
    if (Terminated()) break;
    SlotRecord& record = Current.Slots[i];
    reached = i + 1;
    if (!Device || !Device->OpenSlot(static_cast<DWORD>(i))) {
      // "Слот  3: -----", formatted once: zeros follow its terminator, as
      // in the default record.
      std::memcpy(&record, &DefaultSlots[i], sizeof record);
      std::memcpy(record.ListLine, FEmptyLines[i], sizeof record.ListLine);
      continue;
    }
    ++Current.ModuleCount;
    char name[sizeof record.ModuleName];
    std::memcpy(name, DefaultSlots[i].ModuleName, sizeof name);
    uint8_t speed = DefaultSlots[i].UsbSpeed;
    const bool read = Device->ReadModuleName(name) && Device->ReadUsbSpeed(&speed);

    // Set up when the last change was applied: carried over whole, also over
    // the name and speed just read.
    if (read && Previous.Slots[i].InitPending == 0) {
      std::memcpy(&record, &Previous.Slots[i], sizeof record);
      continue;
    }
    std::memcpy(&record, &DefaultSlots[i], sizeof record);
    record.SlotNumber = i;
    std::memcpy(record.ModuleName, name, sizeof name);
    record.UsbSpeed = speed;
    if (!read) {
      failed = true;
      break;
    }

    // A module new to the slot.
    if (SameModuleName(record.ModuleName, sizeof record.ModuleName, "K600")) Synchronize([this] { ShowWaiting(); });
    if (Device->LoadsFirmware()) FLoadedFirmware = true;
    if (!Device->LoadFirmware(nullptr)) {
      failed = true;
      break;
    }
    record.InitPending = 0;
    if (Terminated()) break;
    if (!Device->TestModule()) {
      failed = true;
      break;
    }
    record.ModuleReady = 1;

    if (Device->ReadDescription(record.Description)) {
      const ModuleIdentityBlock& identity = record.Description.Identity;
      record.DescriptionValid = 1;
      ModuleLine(record, i, identity.ModuleName, sizeof identity.ModuleName);
      size_t serial = FieldLength(identity.SerialNumber, sizeof identity.SerialNumber);
      std::memset(record.SerialNumber, 0, sizeof record.SerialNumber);
      std::memcpy(record.SerialNumber, identity.SerialNumber, serial);
      record.Revision = identity.Revision;
      record.DacPresent = static_cast<uint32_t>(record.Description.Dac.DacPresent);
    } else {
      // Not a reason to drop the scan: the module stays listed by the name
      // its interface gave.
      record.DescriptionValid = 0;
      ModuleLine(record, i, record.ModuleName, sizeof record.ModuleName);
      record.Revision = 'A';
    }
  }

  for (int i = reached; i < SlotCount; ++i) std::memcpy(&Current.Slots[i], &DefaultSlots[i], sizeof Current.Slots[i]);

  // Whenever it is shown, so that the Waiting window never outlives the scan
  // that showed it. WaitingShown is written only in hand-overs, while this
  // thread waits.
  if (WaitingShown == 1) Synchronize([this] { HideWaiting(); });
  if (Terminated() || failed) return;

  bool changed = SelectedLine(FView) != SelectedIndex ||
                 std::memcmp(Current.Slots, Previous.Slots, sizeof Current.Slots) != 0;
  if (!changed) return;
  Synchronize([this] { ApplyScan(); });
  std::memcpy(&Previous, &Current, sizeof(SlotTable));
}

void TModulesMonitorThread::ApplyScan() {
  TListBox* list = FView.ModulesList;
  TWinControl* slotBox = FView.SlotNumber;
  auto listIndex = [list] { return list ? list->ItemIndex() : -1; };

  if (FirstPass == 1) {
    int lowest = -1;
    if (Current.ModuleCount >= 1)
      for (int i = 0; i < SlotCount && lowest < 0; ++i)
        if (Current.Slots[i].SlotNumber == i) lowest = i;
    if (lowest >= 0) {
      SelectedIndex = lowest;
      if (list) list->SetItemIndex(lowest);
      Current.Selected = Current.Slots[lowest];
      if (list) {
        list->SetEnabled(true);
        list->SetFocus();
      }
    } else {
      SelectedIndex = -1;
      if (list) list->SetItemIndex(-1);
    }
    FirstPass = 0;
    DetailsDirty = 1;
    return;
  }

  int k = listIndex();
  if (k >= 0 && k < SlotCount) Current.Selected = Current.Slots[k];

  if (Current.ModuleCount >= 1) {
    if (list && !list->Enabled()) list->SetEnabled(true);
    if (list && !list->Focused()) list->SetFocus();
  } else {
    if (slotBox) slotBox->SetText(std::string());
    if (list) {
      list->SetItemIndex(0);
      list->SetItemIndex(-1);
      list->SetEnabled(false);
    }
    DetailsDirty = 1;
  }

  int now = listIndex();
  if (now == SelectedIndex) {
    DetailsDirty = 1;
    return;
  }
  SelectedIndex = now;
  // A move between two empty slots needs only the slot number, unless a slot
  // changed in the same scan: its list line must be redrawn with it.
  bool slotsChanged = std::memcmp(Current.Slots, Previous.Slots, sizeof Current.Slots) != 0;
  if (Previous.Selected.SlotNumber == -1 && Current.Selected.SlotNumber == -1 && !slotsChanged) {
    if (slotBox) slotBox->SetText(now >= 0 ? std::to_string(now) : std::string());
  } else {
    DetailsDirty = 1;
  }
}
