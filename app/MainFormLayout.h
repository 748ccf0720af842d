// The main window's layout: the description its form is built from, and the
// monitor's view of the controls built from it. The tests of the monitor
// build their window from the same description and fill the view the same
// way.
#pragma once

#include "framework/Form.h"
#include "monitor/MonitorView.h"

extern const TFormDesc MainFormDescription;

// The controls of a form built from MainFormDescription that the monitor
// writes, with the form itself for its caption; the Waiting window and the
// flags are left for the caller.
TMonitorView MonitorViewOf(TForm& form);
