#include "monitor/ModuleDetails.h"

#include <initializer_list>
#include <string>

#include "device/FieldText.h"
#include "framework/Controls.h"
#include "monitor/DetailsFormat.h"
#include "monitor/DetailsReport.h"
#include "monitor/ModulesMonitorThread.h"

namespace {

constexpr TColor LampGreen = RGB(0, 255, 0);
constexpr TColor LampRed = RGB(255, 0, 0);
constexpr TColor LampOrange = RGB(255, 150, 0);
constexpr TColor LampUnlit = clBtnFace;

const char* const Dashes = "------------";
const char* const Waiting = "????????????";

// Sets the main window's Busy flag for as long as it lives.
class TBusyGuard {
 public:
  explicit TBusyGuard(bool* flag) : FFlag(flag) {
    if (FFlag) *FFlag = true;
  }
  ~TBusyGuard() {
    if (FFlag) *FFlag = false;
  }
  TBusyGuard(const TBusyGuard&) = delete;
  TBusyGuard& operator=(const TBusyGuard&) = delete;

 private:
  bool* FFlag;
};

// Only a text that differs is written, so a redraw of unchanged details does
// not flicker.
void Put(TWinControl* control, const std::string& text) {
  if (control && control->Text() != text) control->SetText(text);
}

void Enable(TWinControl* control, bool enabled) {
  if (control) control->SetEnabled(enabled);
}

void ShowUnitGroup(const TMonitorUnitView& unit, const TDetailsGroup& group, bool ready) {
  Enable(unit.Box, group.Present);
  for (int i = 0; i < group.RowCount; ++i) {
    Enable(unit.Labels[i], group.Present && ready);
    Enable(unit.Values[i], group.Present && ready);
    Put(unit.Values[i], group.Rows[i]);
  }
}

std::string UnitVersion(const FirmwareVersionBlock& block) { return VersionText(block.Version, block.Date); }

// A unit group from the ready texts of its rows: a unit that the module
// lacks shows dashes, one that it has shows the group's waiting placeholder
// until the module is ready.
TDetailsGroup UnitGroup(int32_t present, bool ready, const char* waiting, std::initializer_list<std::string> rows) {
  TDetailsGroup group = {present != 0, 0, {}};
  for (const std::string& row : rows) {
    if (group.RowCount == 3) break;
    group.Rows[group.RowCount++] = !present ? Dashes : !ready ? waiting : row;
  }
  return group;
}

}  // namespace

void EnableGroupControls(TWinControl* container, bool enabled) {
  if (!container || !container->Handle()) return;
  // Children in the order they were created: the window hierarchy, so that
  // whatever sits inside the container is reached, whoever owns it.
  for (HWND child = GetWindow(container->Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    TWinControl* control = TWinControl::FromHandle(child);
    if (control && GetWindow(child, GW_CHILD)) EnableGroupControls(control, enabled);
    if (control)
      control->SetEnabled(enabled);
    else if ((IsWindowEnabled(child) != FALSE) != enabled)
      EnableWindow(child, enabled);
  }
}

TDetailsTexts DetailsTexts(const SlotRecord& s, bool ready) {
  const ModuleDescription& d = s.Description;
  TDetailsTexts t;
  t.Speed = !ready ? "??" : s.UsbSpeed ? "HS" : "FS";
  // The serial-number box has room for eight characters.
  t.Serial = ready ? FieldText(s.SerialNumber).substr(0, 8) : std::string("--------");
  t.Revision = !ready ? std::string("-") : s.Revision ? std::string(1, s.Revision) : std::string();
  t.Dac = !ready ? "----" : s.DacPresent ? "ЕСТЬ" : "НЕТ";

  t.Groups[0] = UnitGroup(d.McuPresent, ready, Dashes,
                          {FieldText(d.McuName), ClockText(d.McuClockKhz), UnitVersion(d.McuFirmware)});
  t.Groups[1] = UnitGroup(d.BootLoaderPresent, ready, Waiting, {UnitVersion(d.BootLoader)});
  t.Groups[2] = UnitGroup(d.DspPresent, ready, Waiting,
                          {FieldText(d.Dsp.Name), ClockText(d.Dsp.ClockKhz), UnitVersion(d.Dsp.Firmware)});
  t.Groups[3] = UnitGroup(d.PldPresent, ready, Waiting,
                          {FieldText(d.Pld.Name), ClockText(d.Pld.ClockKhz), UnitVersion(d.Pld.Firmware)});
  return t;
}

void ShowModuleDetails(TModulesMonitorThread& thread, uint8_t shown) {
  const TMonitorView& view = thread.View();
  TBusyGuard busy(view.Busy);
  if (!view.MainForm) return;
  SlotRecord& s = thread.Current.Selected;
  const ModuleDescription& d = s.Description;
  const bool ready = shown != 0 && s.ModuleReady != 0;

  // The list: one line per slot, replaced in place; the selection stays.
  if (TListBox* list = view.ModulesList) {
    for (int i = 0; i < SlotCount; ++i) {
      std::string line = FieldText(thread.Current.Slots[i].ListLine);
      if (i >= list->Count())
        list->Add(line);
      else if (list->Item(i) != line)
        list->SetItem(i, line);
    }
  }

  Put(view.SlotNumber, shown == 0 || thread.SelectedIndex == -1 ? std::string() : std::to_string(thread.SelectedIndex));

  std::string caption = "Мониторинг USB модулей: ";
  if (!ready)
    caption = "Мониторинг USB модулей: No Module  --> S/N ????????";
  else if (d.McuPresent)
    caption += FieldText(d.Identity.ModuleName) + " --> S/N " + FieldText(d.Identity.SerialNumber);
  else
    caption += FieldText(s.ModuleName) + " --> S/N " + FieldText(s.SerialNumber);
  Put(view.MainForm, caption);

  EnableGroupControls(view.ModuleGroup, shown != 0);
  Put(view.ModuleGroup, ready ? "Модуль " + FieldText(d.Identity.ModuleName) : std::string("Модуль ????"));

  if (view.LoadingLamp)
    view.LoadingLamp->SetBrushColor(shown == 0 || s.SlotNumber == -1 ? LampUnlit : s.ModuleReady ? LampGreen : LampRed);
  if (view.SpeedLamp) view.SpeedLamp->SetBrushColor(!ready ? LampUnlit : s.UsbSpeed ? LampGreen : LampOrange);
  // The box has room for eight characters; the slot table keeps them all.
  s.SerialNumber[8] = '\0';

  const TDetailsTexts texts = DetailsTexts(s, ready);
  Put(view.SpeedMode, texts.Speed);
  Enable(view.Serial, ready);
  Put(view.Serial, texts.Serial);
  Enable(view.Revision, ready);
  Put(view.Revision, texts.Revision);
  Enable(view.Dac, ready);
  Put(view.Dac, texts.Dac);
  for (int i = 0; i < 4; ++i) ShowUnitGroup(view.Units[i], texts.Groups[i], ready);

  if (view.DetailsReport) *view.DetailsReport = DetailsReport(view, thread, shown != 0);
}
