#include "app/MainForm.h"

#include <dbt.h>

#include <algorithm>
#include <initializer_list>

#include "app/MainFormLayout.h"
#include "controls/FileVersionInfo.h"
#include "framework/Clipboard.h"
#include "framework/Messages.h"
#include "windows/AboutPanel.h"
#include "windows/WaitingPanel.h"

TMainForm* MainForm = nullptr;
TModulesMonitorThread* ModulesMonitorThread = nullptr;

TMainForm::TMainForm(TComponent* owner) : TForm(owner, MainFormDescription) {
  // Non-visual components, read with the window before its controls.
  XJustOne = new TXJustOne(this);
  XJustOne->SetName("XJustOne");
  PopupMenu = new TPopupMenu(this);
  PopupMenu->SetName("PopupMenu");
  AboutProgram = new TMenuItem(this, "О программе ...", 'A');
  AboutProgram->SetName("AboutProgram");
  BreakLine = new TMenuItem(this, "-");
  BreakLine->SetName("BreakLine");
  ApplicationExit = new TMenuItem(this, "Выход", 'Q', "Спокойный выход из программы");
  ApplicationExit->SetName("ApplicationExit");
  PopupMenu->Add(AboutProgram);
  PopupMenu->Add(BreakLine);
  PopupMenu->Add(ApplicationExit);
  SetPopupMenu(PopupMenu);
}

void TMainForm::BindControls() {
  XJustOne->SwitchToPrevious = true;
  XJustOne->AlreadyExist = [this](TComponent* sender) { XJustOneAlreadyExist(sender); };
  AboutProgram->OnClick = [this] { AboutProgramClick(); };
  ApplicationExit->OnClick = [this] { ApplicationExitClick(); };
  BIND_CONTROL(SsModulesListStaticText);
  BIND_CONTROL(VirtualSlotStaticText);
  BIND_CONTROL(ModuleGroupBox);
  BIND_CONTROL(ModuleLoadingLed);
  BIND_CONTROL(UsbSpeedLed);
  BIND_CONTROL(McuLMDGroupBox);
  BIND_CONTROL(McuTypeLabelLMDStaticText);
  BIND_CONTROL(McuFreqLabelLMDStaticText);
  BIND_CONTROL(McuFirmwareVersionLabelLMDStaticText);
  BIND_CONTROL(McuTypeLMDStaticText);
  BIND_CONTROL(McuFreqLMDStaticText);
  BIND_CONTROL(McuFirmwareVersionLMDStaticText);
  BIND_CONTROL(DspLMDGroupBox);
  BIND_CONTROL(DspTypeLabelLMDStaticText);
  BIND_CONTROL(DspFreqLabelLMDStaticText);
  BIND_CONTROL(DspFirmwareVersionLabelLMDStaticText);
  BIND_CONTROL(DspTypeLMDStaticText);
  BIND_CONTROL(DspFreqLMDStaticText);
  BIND_CONTROL(DspFirmwareVersionLMDStaticText);
  BIND_CONTROL(ModuleStatusLMDStaticText);
  BIND_CONTROL(RevisionLabelLMDStaticText);
  BIND_CONTROL(SerialNumberLabelLMDStaticText);
  BIND_CONTROL(SpeedModeStaticText);
  BIND_CONTROL(BootLoaderLMDGroupBox);
  BIND_CONTROL(McuBootLoadeVersionLabelLMDStaticText);
  BIND_CONTROL(McuBootLoaderVersionLMDStaticText);
  BIND_CONTROL(SerialNumberLMDStaticText);
  BIND_CONTROL(ModuleRevisionLMDStaticText);
  BIND_CONTROL(ModulesListBox);
  BIND_CONTROL(PldLMDGroupBox);
  BIND_CONTROL(PldTypeLabelLMDStaticText);
  BIND_CONTROL(PldFreqLabelLMDStaticText);
  BIND_CONTROL(PldFirmwareVersionLabelLMDStaticText);
  BIND_CONTROL(PldTypeLMDStaticText);
  BIND_CONTROL(PldFreqLMDStaticText);
  BIND_CONTROL(PldFirmwareVersionLMDStaticText);
  BIND_CONTROL(DacLabelLMDStaticText);
  BIND_CONTROL(DacLMDStaticText);
  ModulesListBox->SetItemHeight(Scaled(20));
}

bool TMainForm::MessageMap(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  if (msg == WM_START_MONITOR) {
    OnStartModulesMonitorThreadThread();
    result = 0;
    return true;
  }
  return false;
}

void TMainForm::DeviceChange(WPARAM event) {
  // Only a thread whose start-up step has run and whose end has not yet
  // been reported is told; the stop sequence may be deleting the thread.
  bool listChanged = event == DBT_DEVNODES_CHANGED || event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE;
  if (listChanged && ModulesMonitorThread && MonitorStarted) ModulesMonitorThread->DeviceChanged();
}

void TMainForm::Animate(bool opening) {
  RECT bounds;
  GetWindowRect(Handle(), &bounds);
  int cx = bounds.left + (bounds.right - bounds.left) / 2, cy = bounds.top + (bounds.bottom - bounds.top) / 2;
  RECT centre = {cx, cy, cx, cy};
  if (opening)
    DrawAnimatedRects(Handle(), IDANI_CAPTION, &centre, &bounds);
  else
    DrawAnimatedRects(Handle(), IDANI_CAPTION, &bounds, &centre);
}

void TMainForm::FormCreate() {
  Application->OnShortCut = [this](const MSG& msg, bool& handled) { ApplicationShortCut(msg, handled); };
  Application->OnDeviceChange = [this](WPARAM event) { DeviceChange(event); };
  // Clock rates are written with "." whatever the user's regional settings;
  // the program's number formatting never consults the locale.
  Busy = false;
  MonitorStarted = false;
  MonitorGate = true;
  Animate(true);
}

void TMainForm::FormShow() { RequestMonitorStart(); }

void TMainForm::RequestMonitorStart() {
  if (!MonitorStarted && MonitorGate) {
    MonitorGate = false;
    PostMessageW(Handle(), WM_START_MONITOR, 0, 0);
  }
}

void TMainForm::OnStartModulesMonitorThreadThread() {
  // Only the request that RequestMonitorStart posted starts a thread: a
  // second one (posted by anybody else, or by a show that came before the
  // thread's start-up step had run) would leave the running thread without
  // an owner and poll the library twice. A request dropped while a thread
  // runs gives the gate back, so that the stop sequence still stops it.
  if (ModulesMonitorThread) {
    MonitorGate = true;
    return;
  }
  if (MonitorGate) return;
  MonitorStarted = false;
  try {
    ModulesMonitorThread = new TModulesMonitorThread(false, MonitorView(), Library);
  } catch (const std::exception&) {
    ModulesMonitorThread = nullptr;
  }
  if (!ModulesMonitorThread) {
    Application->MessageBox("Не могу открыть поток 'ModulesMonitorThread'!", "Ошибка OnStartModulesMonitorThreadThread()!",
                            MB_OK);
    return;
  }
  ModulesMonitorThread->OnTerminate = [this](TThread* sender) { ModulesMonitorThreadTerminate(sender); };
  MonitorGate = true;
}

void TMainForm::ModulesMonitorThreadTerminate(TThread*) { MonitorStarted = false; }

namespace {

TMonitorUnitView Unit(TWinControl* box, std::initializer_list<TWinControl*> labels,
                      std::initializer_list<TWinControl*> values) {
  TMonitorUnitView unit;
  unit.Box = box;
  std::copy(labels.begin(), labels.end(), unit.Labels);
  std::copy(values.begin(), values.end(), unit.Values);
  return unit;
}

// The labels the report names, as the window shows them, and the program's
// version as the About window shows it.
TReportLabels ReportLabels(const TMonitorView& view, const TMainForm& form) {
  TReportLabels labels;
  labels.ProgramVersion = TFileVersionInfo().GetStringFileInfo("FileVersion");
  labels.Serial = form.SerialNumberLabelLMDStaticText->Text();
  labels.Revision = form.RevisionLabelLMDStaticText->Text();
  labels.Dac = form.DacLabelLMDStaticText->Text();
  for (int u = 0; u < 4; ++u) {
    labels.Units[u] = view.Units[u].Box->Text();
    for (int i = 0; i < 3; ++i)
      if (TWinControl* label = view.Units[u].Labels[i]) labels.Rows[u][i] = label->Text();
  }
  return labels;
}

}  // namespace

TMonitorView TMainForm::MonitorView() {
  TMonitorView view;
  view.MainForm = this;
  view.ModulesList = ModulesListBox;
  view.SlotNumber = VirtualSlotStaticText;
  view.ModuleGroup = ModuleGroupBox;
  view.LoadingLamp = ModuleLoadingLed;
  view.SpeedLamp = UsbSpeedLed;
  view.SpeedMode = SpeedModeStaticText;
  view.Serial = SerialNumberLMDStaticText;
  view.Revision = ModuleRevisionLMDStaticText;
  view.Dac = DacLMDStaticText;
  view.Units[0] = Unit(McuLMDGroupBox,
                       {McuTypeLabelLMDStaticText, McuFreqLabelLMDStaticText, McuFirmwareVersionLabelLMDStaticText},
                       {McuTypeLMDStaticText, McuFreqLMDStaticText, McuFirmwareVersionLMDStaticText});
  view.Units[1] = Unit(BootLoaderLMDGroupBox, {McuBootLoadeVersionLabelLMDStaticText}, {McuBootLoaderVersionLMDStaticText});
  view.Units[2] = Unit(DspLMDGroupBox,
                       {DspTypeLabelLMDStaticText, DspFreqLabelLMDStaticText, DspFirmwareVersionLabelLMDStaticText},
                       {DspTypeLMDStaticText, DspFreqLMDStaticText, DspFirmwareVersionLMDStaticText});
  view.Units[3] = Unit(PldLMDGroupBox,
                       {PldTypeLabelLMDStaticText, PldFreqLabelLMDStaticText, PldFirmwareVersionLabelLMDStaticText},
                       {PldTypeLMDStaticText, PldFreqLMDStaticText, PldFirmwareVersionLMDStaticText});
  view.Labels = ReportLabels(view, *this);
  view.WaitingPanel = WaitingPanel;
  view.Busy = &Busy;
  view.MonitorStarted = &MonitorStarted;
  view.DetailsReport = &FDetailsReport;
  return view;
}

void TMainForm::StopModulesMonitorThread() {
  // Another program may send a close request while this waits (the waits
  // run sent messages): the nested stop must not delete the thread again.
  if (!ModulesMonitorThread || !MonitorGate || FStopping) return;
  FStopping = true;
  if (WaitWhileMonitorStarted(false)) {
    if (!ModulesMonitorThread->WaitFor(MonitorExitTimeoutMs)) AbandonMonitor();
    delete ModulesMonitorThread;
    ModulesMonitorThread = nullptr;
    WaitWhileMonitorStarted(true);
  }
  FStopping = false;
}

namespace {
BOOL CALLBACK HideWindow(HWND window, LPARAM) {
  ShowWindow(window, SW_HIDE);
  return TRUE;
}
}  // namespace

void TMainForm::AbandonMonitor() {
  // The thread is stuck inside a library call. Nothing is stored, so ending
  // here loses nothing; the library's detach code is not run, because the
  // stuck call may hold the locks it needs. The single-instance lock goes
  // with the process.
  EnumThreadWindows(GetCurrentThreadId(), &HideWindow, 0);
  TerminateProcess(GetCurrentProcess(), 0);
  ExitProcess(0);  // not reached: a process can always end itself
}

bool TMainForm::WaitWhileMonitorStarted(bool started) {
  for (;;) {
    if (MonitorStarted != started) return true;
    if (Application->Terminated()) return false;
    Application->ProcessMessages();
    if (MonitorStarted == started && !Application->Terminated()) WaitForHandOverOrMessage();
  }
}

void TMainForm::FormClose(TCloseAction&) {
  // Closed from inside one of the thread's hand-overs (from its start-up
  // message box): the thread waits for that hand-over to return and cannot
  // be stopped from here. The close ends the application all the same; the
  // box's loop then ends, the hand-over returns, and FormDestroy stops the
  // thread as on every other road out.
  if (Busy || InSynchronize()) return;
  Busy = true;
  StopModulesMonitorThread();
  Busy = false;
}

void TMainForm::FormDestroy() {
  Application->OnDeviceChange = nullptr;  // the application window outlives this one
  if (Busy) return;
  Busy = true;
  StopModulesMonitorThread();
  Animate(false);
  Busy = false;
}

bool TMainForm::CopyShortCut(const MSG& msg) const {
  // With no control focused (the list is disabled while no module is
  // listed) the window gets its keys as system keys.
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (msg.wParam != 'C' && msg.wParam != VK_INSERT) return false;
  if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0) return false;
  return GetAncestor(msg.hwnd, GA_ROOT) == Handle() && IsWindowEnabled(Handle());
}

void TMainForm::ApplicationShortCut(const MSG& msg, bool& handled) {
  if (CopyShortCut(msg)) {
    // A clipboard that another program holds just leaves this copy undone.
    if (!FDetailsReport.empty()) CopyTextToClipboard(Handle(), FDetailsReport);
    handled = true;
    return;
  }
  if (msg.wParam != VK_ESCAPE) return;
  if (Busy) {
    handled = true;
    return;
  }
  Busy = true;
  int answer = Application->MessageBox("Действительно хотите завершить работу данного приложения?", "Подтвердите завершение!",
                                       MB_YESNO | MB_ICONQUESTION);
  if (answer == IDYES) {
    handled = true;
    Application->Terminate();
  }
  Busy = false;
}

void TMainForm::ApplicationExitClick() {
  Application->Terminate();
  Busy = false;
}

void TMainForm::XJustOneAlreadyExist(TComponent*) {
  Application->MessageBox("Экземпляр программы Quendal уже работает!", "Внимание!!!", MB_OK | MB_ICONINFORMATION);
  Application->Terminate();
}

void TMainForm::AboutProgramClick() {
  if (AboutProgramPanel) AboutProgramPanel->ShowModal();
}
