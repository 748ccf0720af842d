#include "framework/Form.h"

#include <vector>

#include "framework/Menus.h"

TForm::TForm(TComponent* owner, const TFormDesc& desc) : TWinControl(owner), FDesc(desc) {
  SetName(desc.Name);
}

TForm::~TForm() = default;

int TForm::Scaled(int designPixels) const { return FDesc.Scaled ? Scale(designPixels, FPixelsPerInch) : designPixels; }

void TForm::Build() {
  FPixelsPerInch = ScreenPixelsPerInch();
  Font().Assign(FDesc.Font, FDesc.Scaled ? FPixelsPerInch : DesignPixelsPerInch);
  SetColor(FDesc.Color);
  RECT r = {0, 0, Scaled(FDesc.ClientWidth), Scaled(FDesc.ClientHeight)};
  AdjustWindowRectEx(&r, FDesc.Style, FALSE, FDesc.ExStyle);
  // The owner's window (the application's) owns the form's.
  auto* ownerControl = dynamic_cast<TWinControl*>(Owner());
  HWND owner = ownerControl ? ownerControl->Handle() : nullptr;
  TCreateParams p = {OwnWindowClass(L"QuendalForm"), FDesc.Style & ~WS_VISIBLE, FDesc.ExStyle, 0, 0,
                     r.right - r.left, r.bottom - r.top, owner};
  CreateHandle(p, FDesc.Caption ? FDesc.Caption : "");
  Position();
  for (size_t i = 0; i < FDesc.ControlCount; ++i) {
    const TControlDesc& d = FDesc.Controls[i];
    TWinControl* parent = ParentFor(d);
    TControl* c = d.Make(this);
    c->SetName(d.Name);
    c->Build(parent, d, FPixelsPerInch, FDesc.Scaled);
    if (d.Flags & cfDefault) FDefaultButton = dynamic_cast<TButton*>(c);
  }
  BindControls();
  std::vector<TComponent*> components = Components();
  for (TComponent* c : components) c->Loaded();
  FormCreate();
}

TWinControl* TForm::ParentFor(const TControlDesc& desc) {
  if (!desc.Parent || !*desc.Parent) return this;
  if (auto* parent = dynamic_cast<TWinControl*>(FindComponent(desc.Parent))) return parent;
  throw TException(Name() + ": нет родителя " + desc.Parent + " у элемента " + (desc.Name ? desc.Name : ""));
}

void TForm::Destroying() {
  if (FDestroying) return;
  FDestroying = true;
  FormDestroy();
}

void TForm::Position() {
  RECT r;
  GetWindowRect(Handle(), &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  TFormHost* host = Host();
  TForm* main = host ? host->MainForm() : nullptr;
  if (FDesc.Position == TPosition::MainFormCenter && main && main != this && main->Handle()) GetWindowRect(main->Handle(), &area);
  int x = area.left + (area.right - area.left - w) / 2, y = area.top + (area.bottom - area.top - h) / 2;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
  if (!Handle()) return;
  if (FDesc.Position == TPosition::MainFormCenter) Position();
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
}

void TForm::Hide() {
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

void TForm::Close() {
  if (Handle()) SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

int TForm::ShowModal() {
  TFormHost* host = Host();
  if (!host || FModal || !Handle()) return mrCancel;
  FModal = true;
  FModalResult = mrNone;
  const int result = host->ShowModal(*this);
  FModal = false;
  return result;
}

TCloseAction TForm::CloseWith(TCloseAction action) {
  FormClose(action);
  if (action == TCloseAction::Hide) Hide();
  return action;
}

bool TForm::PressDefaultButton() {
  if (!FDefaultButton || !FDefaultButton->Enabled()) return false;
  FDefaultButton->Click();
  return true;
}

bool TForm::IsShortCut(const MSG& msg) {
  TPopupMenu* menu = PopupMenu();
  return menu && menu->IsShortCut(msg);
}

bool TForm::MessageMap(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

HWND TForm::FirstFocusable() const {
  for (TComponent* c : Components()) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w || !w->Handle() || w->Handle() == Handle()) continue;
    LONG style = GetWindowLongW(w->Handle(), GWL_STYLE);
    if ((style & WS_CHILD) && (style & WS_TABSTOP) && (style & WS_VISIBLE) && IsWindowEnabled(w->Handle())) return w->Handle();
  }
  return nullptr;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (MessageMap(msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_SHOWWINDOW:
      if (lParam == 0) {
        if (wParam)
          FormShow();
        else
          FormHide();
      }
      break;
    case WM_CLOSE:
      if (FModal)
        FModalResult = mrCancel;
      else if (TFormHost* host = Host())
        host->CloseForm(*this);
      else
        CloseWith(TCloseAction::Hide);
      return 0;
    case WM_SYSCOMMAND:
      if (SystemCommand(wParam)) return 0;
      break;
    case WM_SETFOCUS:
      // The form passes the keyboard focus on to its first control that
      // takes it, so that the keys reach that control.
      if (HWND child = FirstFocusable()) {
        ::SetFocus(child);
        return 0;
      }
      break;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(Handle(), &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, BackgroundBrush());
      return 1;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN && PressDefaultButton()) return 0;
      break;
  }
  return TWinControl::WndProc(msg, wParam, lParam);
}

bool TForm::SystemCommand(WPARAM wParam) {
  // A window without a maximise button or a sizing border keeps its size,
  // whoever asks for another.
  WPARAM command = wParam & 0xFFF0;
  LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  if (command == SC_MAXIMIZE && !(style & WS_MAXIMIZEBOX)) return true;
  if (command == SC_SIZE && !(style & WS_THICKFRAME)) return true;
  TFormHost* host = Host();
  return command == SC_MINIMIZE && host && host->MinimizeForm(*this);
}
