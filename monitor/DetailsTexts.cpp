#include "monitor/DetailsTexts.h"

#include <initializer_list>

#include "device/FieldText.h"
#include "monitor/DetailsFormat.h"

namespace {

const char* const Dashes = "------------";
const char* const Waiting = "????????????";
const char* const CaptionStart = "Мониторинг USB модулей: ";

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

// The microcontroller's identity names the module where there is one; the
// module's interface does otherwise.
std::string Caption(const SlotRecord& s, bool ready) {
  const ModuleIdentityBlock& identity = s.Description.Identity;
  if (!ready) return std::string(CaptionStart) + "No Module  --> S/N ????????";
  if (s.Description.McuPresent)
    return CaptionStart + FieldText(identity.ModuleName) + " --> S/N " + FieldText(identity.SerialNumber);
  return CaptionStart + FieldText(s.ModuleName) + " --> S/N " + FieldText(s.SerialNumber);
}

}  // namespace

TDetailsTexts DetailsTexts(const SlotRecord& s, int selectedIndex, bool shown) {
  const ModuleDescription& d = s.Description;
  const bool ready = shown && s.ModuleReady != 0;
  TDetailsTexts t;
  t.Ready = ready;
  t.Caption = Caption(s, ready);
  t.SlotNumber = !shown || selectedIndex == -1 ? std::string() : std::to_string(selectedIndex);
  t.ModuleGroup = ready ? "Модуль " + FieldText(d.Identity.ModuleName) : std::string("Модуль ????");
  t.LoadingLamp = !shown || s.SlotNumber == -1 ? LampUnlit : s.ModuleReady ? LampGreen : LampRed;
  t.SpeedLamp = !ready ? LampUnlit : s.UsbSpeed ? LampGreen : LampOrange;
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
