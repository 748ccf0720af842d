#include "monitor/ModuleDetails.h"

#include <string>

#include "device/FieldText.h"
#include "framework/Controls.h"
#include "monitor/DetailsFormat.h"
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

// One row of a unit group: its label and its value box.
struct TRow {
  const char* Label;
  const char* Value;
  std::string Ready;  // what the value box shows when the module is ready
};

void ShowUnitGroup(const TForm& form, const char* groupName, int32_t present, bool ready, const char* waiting,
                   TRow* rows, int rowCount) {
  Enable(form.Find<TWinControl>(groupName), present != 0);
  for (int i = 0; i < rowCount; ++i) {
    TWinControl* label = form.Find<TWinControl>(rows[i].Label);
    TWinControl* value = form.Find<TWinControl>(rows[i].Value);
    if (present) {
      Enable(label, ready);
      Enable(value, ready);
      Put(value, ready ? rows[i].Ready : std::string(waiting));
    } else {
      Enable(label, false);
      Enable(value, false);
      Put(value, Dashes);
    }
  }
}

std::string UnitVersion(const FirmwareVersionBlock& block) { return VersionText(block.Version, block.Date); }

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

void ShowModuleDetails(TModulesMonitorThread& thread, uint8_t shown) {
  const TMonitorView& view = thread.View();
  TBusyGuard busy(view.Busy);
  if (!view.MainForm) return;
  const TForm& form = *view.MainForm;
  SlotRecord& s = thread.Current.Selected;
  const ModuleDescription& d = s.Description;
  const bool ready = shown != 0 && s.ModuleReady != 0;

  // The list: one line per slot, replaced in place; the selection stays.
  if (auto* list = form.Find<TListBox>("ModulesListBox")) {
    for (int i = 0; i < SlotCount; ++i) {
      std::string line = FieldText(thread.Current.Slots[i].ListLine);
      if (i >= list->Count())
        list->Add(line);
      else if (list->Item(i) != line)
        list->SetItem(i, line);
    }
  }

  Put(form.Find<TWinControl>("VirtualSlotStaticText"),
      shown == 0 || thread.SelectedIndex == -1 ? std::string() : std::to_string(thread.SelectedIndex));

  std::string caption = "Мониторинг USB модулей: ";
  if (!ready)
    caption = "Мониторинг USB модулей: No Module  --> S/N ????????";
  else if (d.McuPresent)
    caption += FieldText(d.Identity.ModuleName) + " --> S/N " + FieldText(d.Identity.SerialNumber);
  else
    caption += FieldText(s.ModuleName) + " --> S/N " + FieldText(s.SerialNumber);
  Put(view.MainForm, caption);

  auto* group = form.Find<TWinControl>("ModuleGroupBox");
  EnableGroupControls(group, shown != 0);
  Put(group, ready ? "Модуль " + FieldText(d.Identity.ModuleName) : std::string("Модуль ????"));

  if (auto* lamp = form.Find<TShape>("ModuleLoadingLed"))
    lamp->SetBrushColor(shown == 0 || s.SlotNumber == -1 ? LampUnlit : s.ModuleReady ? LampGreen : LampRed);
  if (auto* lamp = form.Find<TShape>("UsbSpeedLed"))
    lamp->SetBrushColor(!ready ? LampUnlit : s.UsbSpeed ? LampGreen : LampOrange);
  Put(form.Find<TWinControl>("SpeedModeStaticText"), !ready ? "??" : s.UsbSpeed ? "HS" : "FS");

  // The box has room for eight characters; the slot table keeps them all.
  s.SerialNumber[8] = '\0';

  auto* serial = form.Find<TWinControl>("SerialNumberLMDStaticText");
  Enable(serial, ready);
  Put(serial, ready ? FieldText(s.SerialNumber) : std::string("--------"));
  auto* revision = form.Find<TWinControl>("ModuleRevisionLMDStaticText");
  Enable(revision, ready);
  Put(revision, !ready ? std::string("-") : s.Revision ? std::string(1, s.Revision) : std::string());
  auto* dac = form.Find<TWinControl>("DacLMDStaticText");
  Enable(dac, ready);
  Put(dac, !ready ? "----" : s.DacPresent ? "ЕСТЬ" : "НЕТ");

  // The unit groups: ready texts are made only for a unit that is shown.
  const bool mcu = ready && d.McuPresent, boot = ready && d.BootLoaderPresent, dsp = ready && d.DspPresent,
             pld = ready && d.PldPresent;
  TRow mcuRows[] = {
      {"McuTypeLabelLMDStaticText", "McuTypeLMDStaticText", mcu ? FieldText(d.McuName) : std::string()},
      {"McuFreqLabelLMDStaticText", "McuFreqLMDStaticText", mcu ? ClockText(d.McuClockKhz) : std::string()},
      {"McuFirmwareVersionLabelLMDStaticText", "McuFirmwareVersionLMDStaticText",
       mcu ? UnitVersion(d.McuFirmware) : std::string()},
  };
  ShowUnitGroup(form, "McuLMDGroupBox", d.McuPresent, ready, Dashes, mcuRows, 3);
  TRow bootRows[] = {
      {"McuBootLoadeVersionLabelLMDStaticText", "McuBootLoaderVersionLMDStaticText",
       boot ? UnitVersion(d.BootLoader) : std::string()},
  };
  ShowUnitGroup(form, "BootLoaderLMDGroupBox", d.BootLoaderPresent, ready, Waiting, bootRows, 1);
  TRow dspRows[] = {
      {"DspTypeLabelLMDStaticText", "DspTypeLMDStaticText", dsp ? FieldText(d.Dsp.Name) : std::string()},
      {"DspFreqLabelLMDStaticText", "DspFreqLMDStaticText", dsp ? ClockText(d.Dsp.ClockKhz) : std::string()},
      {"DspFirmwareVersionLabelLMDStaticText", "DspFirmwareVersionLMDStaticText",
       dsp ? UnitVersion(d.Dsp.Firmware) : std::string()},
  };
  ShowUnitGroup(form, "DspLMDGroupBox", d.DspPresent, ready, Waiting, dspRows, 3);
  TRow pldRows[] = {
      {"PldTypeLabelLMDStaticText", "PldTypeLMDStaticText", pld ? FieldText(d.Pld.Name) : std::string()},
      {"PldFreqLabelLMDStaticText", "PldFreqLMDStaticText", pld ? ClockText(d.Pld.ClockKhz) : std::string()},
      {"PldFirmwareVersionLabelLMDStaticText", "PldFirmwareVersionLMDStaticText",
       pld ? UnitVersion(d.Pld.Firmware) : std::string()},
  };
  ShowUnitGroup(form, "PldLMDGroupBox", d.PldPresent, ready, Waiting, pldRows, 3);
}
