#include "tests/monitor/MonitorWindow.h"

#include "framework/Text.h"

namespace MonitorTest {

namespace {

constexpr TFontDesc Plain = {"Arial", 15, 0, RUSSIAN_CHARSET, clWindowText};
constexpr TFontDesc Inherit = {nullptr, 0, 0, 0, 0};

const TControlDesc MainControls[] = {
    {Make<TStaticText>, "VirtualSlotStaticText", "", 297, 3, 32, 25, "88", Plain, clWhite, cfBorder | cfCentre},
    {Make<TListBox>, "ModulesListBox", "", 0, 30, 332, 500, "Слот  0: ?????", Plain, clWhite, cfTabStop},
    {Make<TGroupBox>, "ModuleGroupBox", "", 333, 0, 326, 542, "Модуль ???", Plain, clParent, 0},
    {Make<TLabel>, "ModuleStatusLMDStaticText", "ModuleGroupBox", 41, 31, 127, 23, "Статус модуля", Inherit, clParent, 0},
    {Make<TShape>, "ModuleLoadingLed", "ModuleGroupBox", 175, 26, 35, 35, "", Inherit, clParent, 0},
    {Make<TStaticText>, "SpeedModeStaticText", "ModuleGroupBox", 226, 33, 30, 21, "HS", Inherit, clParent, 0},
    {Make<TShape>, "UsbSpeedLed", "ModuleGroupBox", 260, 30, 25, 25, "", Inherit, clParent, 0},
    {Make<TLabel>, "SerialNumberLabelLMDStaticText", "ModuleGroupBox", 91, 72, 145, 23, "Серийный номер", Inherit, clParent, 0},
    {Make<TStaticText>, "SerialNumberLMDStaticText", "ModuleGroupBox", 2, 98, 320, 64, "WWWWWWWW", Inherit, clWhite, 0},
    {Make<TLabel>, "RevisionLabelLMDStaticText", "ModuleGroupBox", 16, 181, 72, 23, "Ревизия", Inherit, clParent, 0},
    {Make<TStaticText>, "ModuleRevisionLMDStaticText", "ModuleGroupBox", 94, 171, 46, 43, "C", Inherit, clWhite, 0},
    {Make<TLabel>, "DacLabelLMDStaticText", "ModuleGroupBox", 168, 181, 39, 23, "ЦАП", Inherit, clParent, 0},
    {Make<TStaticText>, "DacLMDStaticText", "ModuleGroupBox", 213, 171, 97, 43, "СССС", Inherit, clWhite, 0},
    {Make<TGroupBox>, "McuLMDGroupBox", "ModuleGroupBox", 3, 220, 320, 93, "Микроконтроллер", Inherit, clParent, 0},
    {Make<TLabel>, "McuTypeLabelLMDStaticText", "McuLMDGroupBox", 5, 20, 58, 17, "MCU", Inherit, clParent, 0},
    {Make<TStaticText>, "McuTypeLMDStaticText", "McuLMDGroupBox", 65, 17, 250, 23, "CCCCCC", Inherit, clWhite, 0},
    {Make<TLabel>, "McuFreqLabelLMDStaticText", "McuLMDGroupBox", 5, 43, 58, 17, "Частота", Inherit, clParent, 0},
    {Make<TStaticText>, "McuFreqLMDStaticText", "McuLMDGroupBox", 65, 40, 250, 23, "CCCCCC", Inherit, clWhite, 0},
    {Make<TLabel>, "McuFirmwareVersionLabelLMDStaticText", "McuLMDGroupBox", 5, 66, 58, 17, "Версия", Inherit, clParent, 0},
    {Make<TStaticText>, "McuFirmwareVersionLMDStaticText", "McuLMDGroupBox", 65, 63, 250, 23, "CCCCCC", Inherit, clWhite, 0},
    {Make<TGroupBox>, "BootLoaderLMDGroupBox", "ModuleGroupBox", 3, 313, 320, 48, "Загрузчик", Inherit, clParent, 0},
    {Make<TLabel>, "McuBootLoadeVersionLabelLMDStaticText", "BootLoaderLMDGroupBox", 5, 20, 58, 17, "Версия", Inherit, clParent, 0},
    {Make<TStaticText>, "McuBootLoaderVersionLMDStaticText", "BootLoaderLMDGroupBox", 65, 17, 250, 23, "CCCCCC", Inherit, clWhite, 0},
    {Make<TGroupBox>, "DspLMDGroupBox", "ModuleGroupBox", 3, 362, 320, 89, "DSP", Inherit, clParent, 0},
    {Make<TLabel>, "DspTypeLabelLMDStaticText", "DspLMDGroupBox", 5, 20, 58, 17, "DSP", Inherit, clParent, 0},
    {Make<TStaticText>, "DspTypeLMDStaticText", "DspLMDGroupBox", 65, 17, 250, 23, "CCCCCC", Inherit, clWhite, 0},
    {Make<TLabel>, "DspFreqLabelLMDStaticText", "DspLMDGroupBox", 5, 43, 58, 17, "Частота", Inherit, clParent, 0},
    {Make<TStaticText>, "DspFreqLMDStaticText", "DspLMDGroupBox", 65, 40, 250, 23, "CCCCCC", Inherit, clWhite, 0},
    {Make<TLabel>, "DspFirmwareVersionLabelLMDStaticText", "DspLMDGroupBox", 5, 66, 58, 17, "Версия", Inherit, clParent, 0},
    {Make<TStaticText>, "DspFirmwareVersionLMDStaticText", "DspLMDGroupBox", 65, 63, 250, 23, "CCCCCC", Inherit, clWhite, 0},
    {Make<TGroupBox>, "PldLMDGroupBox", "ModuleGroupBox", 3, 451, 320, 89, "ПЛИС", Inherit, clParent, 0},
    {Make<TLabel>, "PldTypeLabelLMDStaticText", "PldLMDGroupBox", 5, 20, 58, 17, "PLD", Inherit, clParent, 0},
    {Make<TStaticText>, "PldTypeLMDStaticText", "PldLMDGroupBox", 65, 17, 250, 23, "CCCCCC", Inherit, clWhite, 0},
    {Make<TLabel>, "PldFreqLabelLMDStaticText", "PldLMDGroupBox", 5, 43, 58, 17, "Частота", Inherit, clParent, 0},
    {Make<TStaticText>, "PldFreqLMDStaticText", "PldLMDGroupBox", 65, 40, 250, 23, "CCCCCC", Inherit, clWhite, 0},
    {Make<TLabel>, "PldFirmwareVersionLabelLMDStaticText", "PldLMDGroupBox", 5, 66, 58, 17, "Версия", Inherit, clParent, 0},
    {Make<TStaticText>, "PldFirmwareVersionLMDStaticText", "PldLMDGroupBox", 65, 63, 250, 23, "CCCCCC", Inherit, clWhite, 0},
};

const TFormDesc MainDescription = {
    "MainForm", "Мониторинг USB модулей (проба)", 660, 543, WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN, 0,
    TPosition::ScreenCenter, false, Plain, clBtnFace, MainControls, sizeof(MainControls) / sizeof(MainControls[0]),
};

const TFormDesc WaitingDescription = {
    "WaitingPanel", "Подождите", 200, 80, WS_POPUP | WS_CAPTION, 0, TPosition::ScreenCenter, false, Plain, clBtnFace,
    nullptr, 0,
};

}  // namespace

TMonitorWindow::TMonitorWindow(TComponent* owner) : TForm(owner, MainDescription) {}
TMonitorWindow::~TMonitorWindow() = default;

std::string TMonitorWindow::TextOf(const char* name) const {
  TWinControl* c = Control(name);
  return c ? c->Text() : "<no control " + std::string(name) + ">";
}

bool TMonitorWindow::EnabledOf(const char* name) const {
  TWinControl* c = Control(name);
  return c && c->Enabled();
}

TColor TMonitorWindow::LampOf(const char* name) const {
  TShape* lamp = Find<TShape>(name);
  return lamp ? lamp->BrushColor() : 0x12345678;
}

bool TMonitorWindow::MessageMap(UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
  if (msg == WM_SETTEXT && OnCaption && lParam) OnCaption(Narrow(reinterpret_cast<const wchar_t*>(lParam)));
  return false;
}

TWaitingWindow::TWaitingWindow(TComponent* owner) : TForm(owner, WaitingDescription) {}

TMonitorView ViewOf(TMonitorWindow& main, TWaitingWindow* waiting) {
  TMonitorView view;
  view.MainForm = &main;
  view.WaitingPanel = waiting;
  view.Busy = &main.Busy;
  view.MonitorStarted = &main.MonitorStarted;
  return view;
}

}  // namespace MonitorTest
