#include "tests/monitor/MonitorWindow.h"

#include "app/MainFormLayout.h"
#include "framework/Text.h"

namespace MonitorTest {

namespace {

constexpr TFontDesc Plain = {"Arial", 15, 0, RUSSIAN_CHARSET, clWindowText};
const TFormDesc WaitingDescription = {
    "WaitingPanel", "Подождите", 200, 80, WS_POPUP | WS_CAPTION, 0, TPosition::ScreenCenter, false, Plain, clBtnFace,
    nullptr, 0,
};

}  // namespace

TMonitorWindow::TMonitorWindow(TComponent* owner) : TForm(owner, MainFormDescription) {}
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
  TMonitorView view = MonitorViewOf(main);
  view.WaitingPanel = waiting;
  view.Busy = &main.Busy;
  view.MonitorStarted = &main.MonitorStarted;
  return view;
}

}  // namespace MonitorTest
