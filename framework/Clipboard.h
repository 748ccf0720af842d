// Puts the program's texts on the clipboard.
#pragma once

#include <windows.h>

#include <string>

// Replaces the clipboard's contents with a cp1251 text as Unicode text
// (CF_UNICODETEXT) with the Russian locale (CF_LOCALE), so that Windows
// derives the 8-bit forms in code page 1251 whatever keyboard layout is
// active. False when it cannot be done: another program holds the clipboard
// open, or memory ran out. Never raises.
bool CopyTextToClipboard(HWND owner, const std::string& text);
