// The main window as designed: its frame, and every control with its
// place, text, font and colours at the design resolution.
#pragma once

#include "framework/Form.h"

extern const TFormDesc MainFormDescription;
