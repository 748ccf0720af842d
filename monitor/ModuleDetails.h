// The drawing of the details: puts what the details show of the slot table
// into the view's controls, the list lines, the slot-number box and the
// window caption among them. Runs on the window thread inside a hand-over.
#pragma once

#include "monitor/MonitorView.h"
#include "monitor/SlotTable.h"

// `selectedIndex`: the selected line, -1 for none; `shown`: false for the
// start-up drawing, before the first scan.
void ShowModuleDetails(const TMonitorView& view, const SlotTable& table, int selectedIndex, bool shown);
// Enables or disables every control inside the container, at any depth;
// the container itself is left alone, as is a container without a window.
void EnableGroupControls(TWinControl& container, bool enabled);
