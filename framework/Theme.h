// Visual styles: how the system draws the standard controls.
#pragma once

#include <windows.h>

// Draws the control in the classic style even when visual styles are on.
// A themed group box paints its caption in the theme's colour and ignores
// the colour its parent gives it; the classic one keeps the caption colour
// the window description asks for. uxtheme.dll is bound at run time, so the
// program starts where it is missing; there and with no theme in force this
// does nothing. Returns true when the control is now unthemed.
bool UseClassicLook(HWND control);
