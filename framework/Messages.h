// The program's own window messages, in one place.
#pragma once

#include <windows.h>

// Posted by the main window to itself once it is first shown.
constexpr UINT WM_START_MONITOR = WM_USER + 100;

// Internal: a worker thread has queued a hand-over for the window thread.
constexpr UINT WM_QUENDAL_SYNCHRONIZE = WM_APP + 1;
// Internal: the application window was activated; pass it on to the form.
constexpr UINT WM_QUENDAL_ACTIVATE_FORM = WM_APP + 2;

// Registered messages that tools in other processes send to our windows.
// "WM_GETCONTROLNAME": wParam = buffer size in characters, lParam = UTF-16
// buffer in this process; copies the component name, returns its length.
UINT ControlNameMessage();
// "QUENDAL_GETCOUNTER": wParam = a TResourceKind; returns the live count.
UINT CounterMessage();
// "QUENDAL_GETLOOK": as WM_GETCONTROLNAME, copies how the window draws its
// text: "face=Arial;height=21;weight=400;italic=0;charset=204;used=Liberation
// Sans;fixed=0;text=RRGGBB;back=RRGGBB" (height: character height in pixels;
// used: the face the system really chose; fixed: 1 for a fixed-pitch one),
// with ";fill=RRGGBB" added by filled shapes.
UINT LookMessage();
// "QUENDAL_GETMENU": as WM_GETCONTROLNAME, copies the popup menu of the
// window as the system menu holds it, one line per item, "caption\tshort
// cut\thint" ("-" for a separator line); returns 0 for a window without one.
UINT MenuMessage();
