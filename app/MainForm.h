// The main window: the list of the 25 virtual slots on the left, the details
// of the selected module on the right, a popup menu with the About window
// and exit. It starts the monitor thread once it is first shown and stops
// it on every road out.
#pragma once

#include "app/JustOne.h"
#include "device/CorvaneLibrary.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Menus.h"
#include "monitor/ModulesMonitorThread.h"

class TMainForm : public TForm {
 public:
  explicit TMainForm(TComponent* owner);

  TXJustOne* XJustOne = nullptr;
  TPopupMenu* PopupMenu = nullptr;
  TMenuItem* AboutProgram = nullptr;
  TMenuItem* BreakLine = nullptr;
  TMenuItem* ApplicationExit = nullptr;
  TStaticText* SsModulesListStaticText = nullptr;
  TStaticText* VirtualSlotStaticText = nullptr;
  TGroupBox* ModuleGroupBox = nullptr;
  TShape* ModuleLoadingLed = nullptr;
  TShape* UsbSpeedLed = nullptr;
  TGroupBox* McuLMDGroupBox = nullptr;
  TLabel* McuTypeLabelLMDStaticText = nullptr;
  TLabel* McuFreqLabelLMDStaticText = nullptr;
  TLabel* McuFirmwareVersionLabelLMDStaticText = nullptr;
  TStaticText* McuTypeLMDStaticText = nullptr;
  TStaticText* McuFreqLMDStaticText = nullptr;
  TStaticText* McuFirmwareVersionLMDStaticText = nullptr;
  TGroupBox* DspLMDGroupBox = nullptr;
  TLabel* DspTypeLabelLMDStaticText = nullptr;
  TLabel* DspFreqLabelLMDStaticText = nullptr;
  TLabel* DspFirmwareVersionLabelLMDStaticText = nullptr;
  TStaticText* DspTypeLMDStaticText = nullptr;
  TStaticText* DspFreqLMDStaticText = nullptr;
  TStaticText* DspFirmwareVersionLMDStaticText = nullptr;
  TLabel* ModuleStatusLMDStaticText = nullptr;
  TLabel* RevisionLabelLMDStaticText = nullptr;
  TLabel* SerialNumberLabelLMDStaticText = nullptr;
  TStaticText* SpeedModeStaticText = nullptr;
  TGroupBox* BootLoaderLMDGroupBox = nullptr;
  TLabel* McuBootLoadeVersionLabelLMDStaticText = nullptr;
  TStaticText* McuBootLoaderVersionLMDStaticText = nullptr;
  TStaticText* SerialNumberLMDStaticText = nullptr;
  TStaticText* ModuleRevisionLMDStaticText = nullptr;
  TListBox* ModulesListBox = nullptr;
  TGroupBox* PldLMDGroupBox = nullptr;
  TLabel* PldTypeLabelLMDStaticText = nullptr;
  TLabel* PldFreqLabelLMDStaticText = nullptr;
  TLabel* PldFirmwareVersionLabelLMDStaticText = nullptr;
  TStaticText* PldTypeLMDStaticText = nullptr;
  TStaticText* PldFreqLMDStaticText = nullptr;
  TStaticText* PldFirmwareVersionLMDStaticText = nullptr;
  TLabel* DacLabelLMDStaticText = nullptr;
  TStaticText* DacLMDStaticText = nullptr;
  bool Busy = false;
  bool MonitorStarted = false;
  bool MonitorGate = true;
  // The device library the monitor thread polls; the program sets the
  // imported one before it runs. Without one the thread reports a wrong
  // library version.
  TCorvaneLibrary Library = {};

  void FormCreate() override;
  void FormShow() override;
  void FormClose(TCloseAction& action) override;
  void FormDestroy() override;
  void XJustOneAlreadyExist(TComponent* sender);
  void AboutProgramClick();
  void ApplicationExitClick();
  void ApplicationShortCut(const MSG& msg, bool& handled);
  void RequestMonitorStart();
  void OnStartModulesMonitorThreadThread();
  void ModulesMonitorThreadTerminate(TThread* sender);
  void StopModulesMonitorThread();
  // What the monitor thread reaches of the windows: this window's bound
  // controls and flags, the labels of its details, the Waiting window.
  TMonitorView MonitorView();
  // How long a road out waits for the thread to end after the stop request
  // before it gives up on it: a normal K3-600 load (about 2 s) ends well
  // within it.
  static constexpr DWORD MonitorExitTimeoutMs = 5000;
  // Ends the process at once, with exit code 0, leaving the thread behind.
  [[noreturn]] void AbandonMonitor();

 protected:
  void BindControls() override;
  bool MessageMap(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Animate(bool opening);
  // Ctrl+C, Ctrl+Insert: the modules' details as text on the clipboard.
  bool CopyShortCut(const MSG& msg) const;
  // What the details showed at their last redraw, as text; the monitor's
  // redraw rewrites it.
  std::string FDetailsReport;
  // Set while StopModulesMonitorThread runs.
  bool FStopping = false;
  void DeviceChange(WPARAM event);
  // Waits while MonitorStarted has the value given, processing messages and
  // running hand-overs; false when the application began to terminate.
  bool WaitWhileMonitorStarted(bool started);
};

extern TMainForm* MainForm;
extern TModulesMonitorThread* ModulesMonitorThread;
