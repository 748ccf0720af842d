// What the monitor thread reaches on the window side: the main window (its
// controls by name, its caption, its flags) and the Waiting window. The
// main window hands this over when it creates the thread.
#pragma once

#include <string>

#include "framework/Form.h"

struct TMonitorView {
  TForm* MainForm = nullptr;
  TForm* WaitingPanel = nullptr;
  bool* Busy = nullptr;
  bool* MonitorStarted = nullptr;
  // The text that Ctrl+C copies, rewritten at every redraw of the details.
  std::string* DetailsReport = nullptr;
};
