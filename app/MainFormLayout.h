// The main window's layout: the description its form is built from. The
// end-to-end tests check the running window against the same description.
#pragma once

#include "framework/Form.h"

extern const TFormDesc MainFormDescription;
