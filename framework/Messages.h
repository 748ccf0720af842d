// The program's own window messages, in one place.
#pragma once

#include <windows.h>

// Posted by the main window to itself once it is first shown.
constexpr UINT WM_START_MONITOR = WM_USER + 100;

// Internal: a worker thread has queued a hand-over for the window thread.
constexpr UINT WM_QUENDAL_SYNCHRONIZE = WM_APP + 1;

// Registered messages that tools in other processes send to our windows.
// "WM_GETCONTROLNAME": wParam = buffer size in characters, lParam = UTF-16
// buffer in this process; copies the component name, returns its length.
UINT ControlNameMessage();
// "QUENDAL_GETCOUNTER": wParam = a TResourceKind; returns the live count.
UINT CounterMessage();
