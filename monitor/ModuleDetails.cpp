#include "monitor/ModuleDetails.h"

#include <string>

#include "device/FieldText.h"
#include "framework/NoCopy.h"
#include "monitor/DetailsTexts.h"

namespace {

// Sets the main window's Busy flag for as long as it lives.
class TBusyGuard : TNoCopy {
 public:
  explicit TBusyGuard(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TBusyGuard() { FFlag = false; }

 private:
  bool& FFlag;
};

// Only a text that differs is written, so a redraw of unchanged details does
// not flicker.
void Put(TWinControl& control, const std::string& text) {
  if (control.Text() != text) control.SetText(text);
}

void ShowValue(TWinControl& control, const std::string& text, bool enabled) {
  control.SetEnabled(enabled);
  Put(control, text);
}

void ShowUnitGroup(const TMonitorUnitView& unit, const TDetailsGroup& group, bool ready) {
  unit.Box->SetEnabled(group.Present);
  for (int i = 0; i < group.RowCount; ++i) {
    unit.Labels[i]->SetEnabled(group.Present && ready);
    ShowValue(*unit.Values[i], group.Rows[i], group.Present && ready);
  }
}

// One line per slot, replaced in place; the selection stays.
void ShowListLines(TListBox& list, const SlotTable& table) {
  for (int i = 0; i < SlotCount; ++i) {
    std::string line = FieldText(table.Slots[i].ListLine);
    if (i >= list.Count())
      list.Add(line);
    else if (list.Item(i) != line)
      list.SetItem(i, line);
  }
}

}  // namespace

void EnableGroupControls(TWinControl& container, bool enabled) {
  if (!container.Handle()) return;
  // Children in the order they were created: the window hierarchy, so that
  // whatever sits inside the container is reached, whoever owns it.
  for (HWND child = GetWindow(container.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    TWinControl* control = TWinControl::FromHandle(child);
    if (control && GetWindow(child, GW_CHILD)) EnableGroupControls(*control, enabled);
    if (control)
      control->SetEnabled(enabled);
    else if ((IsWindowEnabled(child) != FALSE) != enabled)
      EnableWindow(child, enabled);
  }
}

void ShowModuleDetails(const TMonitorView& view, const SlotTable& table, int selectedIndex, bool shown) {
  TBusyGuard busy(*view.Busy);
  const TDetailsTexts texts = DetailsTexts(table.Selected, selectedIndex, shown);
  ShowListLines(*view.ModulesList, table);
  Put(*view.SlotNumber, texts.SlotNumber);
  Put(*view.MainForm, texts.Caption);
  EnableGroupControls(*view.ModuleGroup, shown);
  Put(*view.ModuleGroup, texts.ModuleGroup);
  view.LoadingLamp->SetBrushColor(texts.LoadingLamp);
  view.SpeedLamp->SetBrushColor(texts.SpeedLamp);
  Put(*view.SpeedMode, texts.Speed);
  ShowValue(*view.Serial, texts.Serial, texts.Ready);
  ShowValue(*view.Revision, texts.Revision, texts.Ready);
  ShowValue(*view.Dac, texts.Dac, texts.Ready);
  for (int i = 0; i < 4; ++i) ShowUnitGroup(view.Units[i], texts.Groups[i], texts.Ready);
}
