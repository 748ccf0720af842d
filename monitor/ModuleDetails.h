// The details presentation: fills the list lines, the slot-number box, the
// window caption and every control of the details group box from the
// monitor thread's tables. Runs on the window thread inside a hand-over.
#pragma once

#include <cstdint>
#include <string>

#include "monitor/SlotTable.h"

class TModulesMonitorThread;
class TWinControl;

void ShowModuleDetails(TModulesMonitorThread& thread, uint8_t shown);
// Enables or disables every control inside the container, at any depth;
// the container itself is left alone.
void EnableGroupControls(TWinControl* container, bool enabled);

// One unit group: whether the module has the unit and what the value boxes
// of its rows show, in the order of the view's rows.
struct TDetailsGroup {
  bool Present;
  int RowCount;
  std::string Rows[3];
};

// What the details show of one slot record: the speed text, the serial
// number, revision and DAC boxes, and the rows of the microcontroller,
// boot-loader, DSP and PLD groups, in the order of the view's units. `ready`: rendered after a scan, with the
// module brought up.
struct TDetailsTexts {
  std::string Speed, Serial, Revision, Dac;
  TDetailsGroup Groups[4];
};

TDetailsTexts DetailsTexts(const SlotRecord& s, bool ready);
