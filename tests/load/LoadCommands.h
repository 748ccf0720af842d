// The three commands of QuendalLoad and what they share. Each prints its
// figures as a table and returns 0 when every check held.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "e2e/Harness.h"

namespace Load {

int Soak(int cycles, unsigned seed);
int Exits(int runs, unsigned seed);
int Bench(int cpuSeconds, int changes, int runs, unsigned seed);

// The slot list's lines, read whole from the other process (cp1251).
using Inspector::ListLine;
using Inspector::ListLines;
// True when the main window's thread answers within the time.
bool Answers(HWND window, DWORD ms = 5000);
// A message box of the process, if one is open now.
bool OpenBox(const TQuendalRun& run, Inspector::TMessageBox& box);
// Waits for the program to end, watching for message boxes meanwhile;
// false on time-out. A box that appears (other than the one expected to
// stay open) is described in boxSeen.
bool WaitEnd(TQuendalRun& run, DWORD ms, DWORD& code, std::string& boxSeen, HWND expected = nullptr);

}  // namespace Load
