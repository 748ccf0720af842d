// The plain-text report of the modules' details that the main window copies
// to the clipboard: the program's and the library's versions, then every
// module the list shows, in slot order, with the labels and texts that the
// details show for it. Made on the window thread inside a hand-over.
#pragma once

#include <string>

class TModulesMonitorThread;
struct TMonitorView;

// `view`: the main window's controls, whose labels the report takes;
// `shown`: as the details' own flag, false before the first scan.
std::string DetailsReport(const TMonitorView& view, const TModulesMonitorThread& thread, bool shown);
