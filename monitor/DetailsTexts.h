// What the details show of the selected slot record, as plain data: the
// texts of the window's caption, the slot-number box, the group box and its
// value boxes, the lamps' colours and which unit groups the module has. No
// window and no thread: the drawing puts them into the controls, and the
// report is written from the same texts.
#pragma once

#include <string>

#include "framework/Graphics.h"
#include "monitor/SlotTable.h"

constexpr TColor LampGreen = RGB(0, 255, 0);
constexpr TColor LampRed = RGB(255, 0, 0);
constexpr TColor LampOrange = RGB(255, 150, 0);
constexpr TColor LampUnlit = clBtnFace;

// One unit group: whether the module has the unit and what the value boxes
// of its rows show, in the order of the view's rows.
struct TDetailsGroup {
  bool Present;
  int RowCount;
  std::string Rows[3];
};

struct TDetailsTexts {
  std::string Caption;      // the main window's
  std::string SlotNumber;   // the slot-number box's
  std::string ModuleGroup;  // the caption of the details' group box
  TColor LoadingLamp, SpeedLamp;
  std::string Speed, Serial, Revision, Dac;
  // The microcontroller, boot-loader, DSP and PLD groups, in this order.
  TDetailsGroup Groups[4];
  // The module's values are shown: drawn after a scan, with the module brought up.
  bool Ready;
};

// What the details show of the selected record, listed at selectedIndex
// (-1: no line selected). `shown`: drawn after a scan; false for the
// start-up drawing, which shows placeholders only.
TDetailsTexts DetailsTexts(const SlotRecord& selected, int selectedIndex, bool shown);
