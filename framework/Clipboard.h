// Puts the program's texts on the clipboard.
#pragma once

#include <windows.h>

#include <string>

// Replaces the clipboard's contents with a cp1251 text as Unicode text
// (CF_UNICODETEXT; Windows derives the 8-bit forms from it). False when it
// cannot be done: another program holds the clipboard open, or memory ran
// out. Never raises.
bool CopyTextToClipboard(HWND owner, const std::string& text);
