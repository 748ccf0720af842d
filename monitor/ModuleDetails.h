// The details presentation: fills the list lines, the slot-number box, the
// window caption and every control of the details group box from the
// monitor thread's tables. Runs on the window thread inside a hand-over.
#pragma once

#include <cstdint>

class TModulesMonitorThread;
class TWinControl;

void ShowModuleDetails(TModulesMonitorThread& thread, uint8_t shown);
// Enables or disables every control inside the container, at any depth;
// the container itself is left alone.
void EnableGroupControls(TWinControl* container, bool enabled);
