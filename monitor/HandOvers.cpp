// The monitor's hand-overs: run on the window thread, through Synchronize,
// while the worker waits for them. They alone write to the windows and to
// the fields that the worker reads as flags (DetailsDirty, WaitingShown).
#include <cstdio>
#include <cstring>
#include <new>

#include "device/LibraryGuard.h"
#include "monitor/DetailsReport.h"
#include "monitor/ModuleDetails.h"
#include "monitor/ModulesMonitorThread.h"

void TModulesMonitorThread::StartUp() {
  ErrorReported = 0;
  *FView.MonitorStarted = true;
  FirstPass = 1;
  DetailsDirty = 0;
  WaitingShown = 0;
  Current.Selected.SlotNumber = -1;
  InitSlotTables();
  std::memcpy(&Previous, &Current, sizeof(SlotTable));
  ShowDetails(false);
  FView.ModulesList->SetEnabled(false);

  LibraryVersion = FLibrary.GetLibraryVersion ? LibraryCall(FLibrary.GetLibraryVersion) : 0;
  // The report names the library version, known only now.
  *FView.DetailsReport = DetailsReport(Current, FView.Labels, LibraryVersion, false);
  if (LibraryVersion != Corvane::RequiredVersion) {
    char text[160];
    std::snprintf(text, sizeof(text), "Неправильная версия библиотеки Corvane.dll!\nТекущая: %u.%u Требуется: %u.%u",
                  LibraryVersion >> 16, LibraryVersion & 0xFFFF, static_cast<unsigned>(Corvane::RequiredVersion >> 16),
                  static_cast<unsigned>(Corvane::RequiredVersion & 0xFFFF));
    ErrorText = text;
    ReportError();
    return;
  }
  Device.reset(new (std::nothrow) TCommonUsbInterface(FLibrary));
  if (!Device) {
    ErrorText = "Не могу получить общий интерфейс USB модулей!";
    ReportError();
    return;
  }
  if (!Device->CreateInterfaces()) {
    ErrorText = "Не могу создать общий интерфейс USB модулей!";
    ReportError();
  }
}

void TModulesMonitorThread::ShowWaiting() {
  if (ApplicationTerminating()) return;
  if (WaitingShown == 0) FView.WaitingPanel->Show();
  WaitingShown = 1;
}

void TModulesMonitorThread::HideWaiting() {
  if (WaitingShown == 1 && !ApplicationTerminating()) FView.WaitingPanel->Hide();
  WaitingShown = 0;
}

void TModulesMonitorThread::ApplyScan() {
  if (FirstPass == 1) {
    SelectFirstModule();
    return;
  }
  TListBox& list = *FView.ModulesList;
  int k = list.ItemIndex();
  if (k >= 0 && k < SlotCount) Current.Selected = Current.Slots[k];

  if (Current.ModuleCount >= 1) {
    if (!list.Enabled()) list.SetEnabled(true);
    if (!list.Focused()) list.SetFocus();
  } else {
    FView.SlotNumber->SetText(std::string());
    list.SetItemIndex(0);
    list.SetItemIndex(-1);
    list.SetEnabled(false);
    DetailsDirty = 1;
  }
  FollowSelection(list.ItemIndex());
}

// The first scan applied selects the lowest slot that a module answers in,
// or no line when there is none.
void TModulesMonitorThread::SelectFirstModule() {
  TListBox& list = *FView.ModulesList;
  int lowest = -1;
  if (Current.ModuleCount >= 1)
    for (int i = 0; i < SlotCount && lowest < 0; ++i)
      if (Current.Slots[i].SlotNumber == i) lowest = i;
  SelectedIndex = lowest;
  list.SetItemIndex(lowest);
  if (lowest >= 0) {
    Current.Selected = Current.Slots[lowest];
    list.SetEnabled(true);
    list.SetFocus();
  }
  FirstPass = 0;
  DetailsDirty = 1;
}

// The line now selected: the details are redrawn, unless the selection
// moved between two empty slots, which needs only the slot number.
void TModulesMonitorThread::FollowSelection(int line) {
  if (line == SelectedIndex) {
    DetailsDirty = 1;
    return;
  }
  SelectedIndex = line;
  // A slot that changed in the same scan needs its list line redrawn too.
  bool slotsChanged = std::memcmp(Current.Slots, Previous.Slots, sizeof Current.Slots) != 0;
  if (Previous.Selected.SlotNumber == -1 && Current.Selected.SlotNumber == -1 && !slotsChanged)
    FView.SlotNumber->SetText(line >= 0 ? std::to_string(line) : std::string());
  else
    DetailsDirty = 1;
}

void TModulesMonitorThread::RefreshDetails() {
  if (DetailsDirty == 1) {
    ShowDetails(true);
    DetailsDirty = 0;
  }
}

void TModulesMonitorThread::ShowDetails(bool shown) {
  ShowModuleDetails(FView, Current, SelectedIndex, shown);
  *FView.DetailsReport = DetailsReport(Current, FView.Labels, LibraryVersion, shown);
  // The box has room for eight characters; the slot table keeps them all.
  Current.Selected.SerialNumber[8] = '\0';
}

void TModulesMonitorThread::FinishMonitoring() {
  if (!ApplicationTerminating() && FView.WaitingPanel->Visible()) FView.WaitingPanel->Hide();
  if (Device) {
    Device->ReleaseInterfaces();
    Device.reset();
  }
}
