// What the monitor thread reaches on the window side: the main window (its
// caption), exactly the controls of it that the monitor writes or reads,
// the labels its report names, the Waiting window and the main window's
// flags. The main window fills it from its bound controls and hands it over
// when it creates the thread; every pointer is set.
#pragma once

#include <string>

#include "framework/Controls.h"
#include "framework/Form.h"
#include "monitor/DetailsReport.h"

// One unit group of the details: its sub-box and, per row, the label and
// the value box. Rows the unit has not are null and never reached.
struct TMonitorUnitView {
  TWinControl* Box = nullptr;
  TWinControl* Labels[3] = {};
  TWinControl* Values[3] = {};
};

struct TMonitorView {
  TForm* MainForm = nullptr;
  TListBox* ModulesList = nullptr;
  TWinControl* SlotNumber = nullptr;
  TWinControl* ModuleGroup = nullptr;
  TShape* LoadingLamp = nullptr;
  TShape* SpeedLamp = nullptr;
  TWinControl* SpeedMode = nullptr;
  TWinControl* Serial = nullptr;
  TWinControl* Revision = nullptr;
  TWinControl* Dac = nullptr;
  // The microcontroller, the boot loader, the DSP and the PLD, in this order.
  TMonitorUnitView Units[4];
  TReportLabels Labels;

  TForm* WaitingPanel = nullptr;
  bool* Busy = nullptr;
  bool* MonitorStarted = nullptr;
  // The text that Ctrl+C copies, rewritten at every redraw of the details.
  std::string* DetailsReport = nullptr;
};
