// The plain-text report of the modules' details that the main window copies
// to the clipboard: the program's and the library's versions, then every
// module the list shows, in slot order, with the labels and texts that the
// details show for it. Made on the window thread inside a hand-over.
#pragma once

#include <string>

class TForm;
class TModulesMonitorThread;

// `form`: the main window, whose labels the report takes; `shown`: as the
// details' own flag, false before the first scan.
std::string DetailsReport(const TForm& form, const TModulesMonitorThread& thread, bool shown);
