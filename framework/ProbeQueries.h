// What a window of the framework answers to the queries that tools in other
// processes send it (the registered messages of framework/Messages.h).
#pragma once

#include <windows.h>

#include <string>

#include "framework/Graphics.h"

class TWinControl;

// True when the message is one of the queries; result is then its answer.
bool AnswerQuery(TWinControl& control, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The look query's answer for a window drawing its text in the font with
// these colours (see LookMessage).
std::wstring FontLook(HWND window, HFONT font, TColor text, TColor back);
// A colour as "RRGGBB", system colours resolved; the look query writes it so.
std::wstring RgbText(TColor color);
