// Runs the real Quendal.exe with the stand-in library and a scenario, and
// reaches its windows through the inspector.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/NoCopy.h"
#include "tools/probe/WindowProbe.h"

class TQuendalRun : TNoCopy {
 public:
  TQuendalRun() = default;
  ~TQuendalRun();

  // Writes the scenario (empty: the built-in demonstration) and starts the
  // program; true once its main window is there. Uncounted, the stand-in
  // keeps no counters file, as the maker's library keeps none.
  bool Start(const std::string& scenario, bool waitForMain = true, bool counted = true);
  // Rewrites the scenario while the program runs.
  void Rewrite(const std::string& scenario);
  // Tells the program that devices came or went as Windows does: the
  // broadcast of DBT_DEVNODES_CHANGED to the top-level windows.
  void DeviceChange() const;

  HWND Main() const { return FMain; }
  HWND Control(const std::string& name) const;
  std::string Text(const std::string& name) const;
  std::vector<std::string> Lines(const std::string& name) const;
  // Waits until the control shows the text; false on time-out.
  bool WaitText(const std::string& name, const std::string& text, DWORD ms) const;

  bool FindBox(Inspector::TMessageBox& box, DWORD ms = 10000) const;
  // Waits for the process to end; false on time-out.
  bool WaitExit(DWORD ms, DWORD& exitCode);
  bool Running() const;
  DWORD ProcessId() const { return FProcess.Id; }
  HANDLE ProcessHandle() const { return FProcess.Handle; }
  // The stand-in's call counters, as it writes them (key=value lines).
  std::string Stats() const;

  static std::wstring ShippedDir();
  static std::wstring TempFile(const std::wstring& name);

 private:
  Inspector::TProcess FProcess;
  HWND FMain = nullptr;
  std::wstring FScenario, FStats;
};

// The number for key in the stand-in's counters, or -1.
long StatValue(const std::string& stats, const std::string& key);
