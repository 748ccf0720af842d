// The one worker thread: checks the device library, creates the wrapper,
// then scans the 25 virtual slots every 200 ms until it is told to stop; a
// device change reported by Windows ends the pause early. Every effect on
// windows runs on the window thread through Synchronize: the hand-overs are
// in HandOvers.cpp, the scan that the worker runs in SlotScan.cpp.
#pragma once

#include <memory>
#include <string>

#include "device/CommonUsbInterface.h"
#include "device/CorvaneLibrary.h"
#include "framework/Thread.h"
#include "monitor/MonitorView.h"
#include "monitor/SlotTable.h"

class TModulesMonitorThread : public TThread {
 public:
  TModulesMonitorThread(bool createSuspended, const TMonitorView& view, const TCorvaneLibrary& library);
  ~TModulesMonitorThread() override;

  // Fields, in this order.
  int ErrorReported = 0;
  int FirstPass = 0;
  int DetailsDirty = 0;
  int WaitingShown = 0;
  int SelectedIndex = 0;
  unsigned LibraryVersion = 0;
  std::unique_ptr<TCommonUsbInterface> Device;
  SlotTable Current = {};
  SlotTable Previous = {};
  SlotRecord DefaultSlots[SlotCount] = {};
  std::string ErrorText;

  // Hand-over routines, run on the window thread.
  void StartUp();
  void ShowWaiting();
  void HideWaiting();
  void ApplyScan();
  void RefreshDetails();
  void FinishMonitoring();
  // Draws the details from the current table and rewrites the report.
  void ShowDetails(bool shown);

  void ReportError();
  void InitSlotTables();
  // One pass over the slots, on the worker thread.
  void ScanSlots();

  const TMonitorView& View() const { return FView; }

  // Windows reported that devices came or went: the next scan starts at
  // once, though never sooner than NoticeSpacingMs after the last one began.
  // Any thread may call it.
  void DeviceChanged() { SetEvent(FDeviceChange.Get()); }

  static constexpr DWORD PollPauseMs = 200;
  static constexpr DWORD NoticeSpacingMs = 50;

 protected:
  void Execute() override;

 private:
  bool ApplicationTerminating() const;
  void PauseAfterScan(DWORD scanStart);
  // Steps of the scan, on the worker thread; false: the scan ends here.
  bool ScanSlot(int slot);
  bool SetUpModule(SlotRecord& record);
  void ApplyIfChanged();
  // Steps of the selection hand-over, on the window thread.
  void SelectFirstModule();
  void FollowSelection(int line);
  TMonitorView FView;
  TCorvaneLibrary FLibrary;
  TKernelHandle FDeviceChange;
  // The last scan asked the library to load a module's firmware.
  bool FLoadedFirmware = false;
  // Each slot's line for when nothing answers in it, as the scan writes it.
  char FEmptyLines[SlotCount][ListLineSize] = {};
};
