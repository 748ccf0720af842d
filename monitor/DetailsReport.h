// The plain-text report of the modules' details that the main window copies
// to the clipboard: the program's and the library's versions, then every
// module the list shows, in slot order, with the labels and texts that the
// details show for it. A function of the slot table and of the labels it is
// given: it reads no window.
#pragma once

#include <string>

#include "monitor/SlotTable.h"

// What the report names besides the modules: the program's version and the
// labels that the main window shows beside the details.
struct TReportLabels {
  std::string ProgramVersion;  // empty: the program has no version block
  std::string Serial, Revision, Dac;
  // The unit groups' captions and each group's row labels, in the order of
  // the details' groups and rows.
  std::string Units[4];
  std::string Rows[4][3];
};

// `shown`: as the details' own flag, false before the first scan.
std::string DetailsReport(const SlotTable& table, const TReportLabels& labels, unsigned libraryVersion, bool shown);
