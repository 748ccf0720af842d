#include "framework/Application.h"

#include <commctrl.h>

#include <vector>

#include "framework/Exception.h"
#include "framework/Messages.h"
#include "framework/NoCopy.h"
#include "framework/Text.h"
#include "framework/Thread.h"

TApplication* Application = nullptr;

namespace {

// While it lives, every visible and enabled window of a thread but one is
// disabled; they are enabled again when it goes.
class TDisabledWindows : TNoCopy {
 public:
  TDisabledWindows(DWORD threadId, HWND except) : FExcept(except) {
    EnumThreadWindows(threadId, DisableOne, reinterpret_cast<LPARAM>(this));
  }
  ~TDisabledWindows() {
    for (HWND h : FWindows) EnableWindow(h, TRUE);
  }

 private:
  static BOOL CALLBACK DisableOne(HWND window, LPARAM self) {
    auto* d = reinterpret_cast<TDisabledWindows*>(self);
    if (window != d->FExcept && IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      d->FWindows.push_back(window);
    }
    return TRUE;
  }
  std::vector<HWND> FWindows;
  HWND FExcept;
};

}  // namespace

TApplication::TApplication() : TWinControl(nullptr) {
  SetName("Application");
  Application = this;
}

TApplication::~TApplication() {
  DestroyForms();
  DestroyHandle();
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  // The application window: no size, never seen as a window; its caption is
  // the title and it carries the taskbar button.
  int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
  TCreateParams p = {OwnWindowClass(L"QuendalApplication"), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                     0, cx, cy, 0, 0, nullptr};
  CreateHandle(p, FTitle);
  SetSynchronizeTarget(GetCurrentThreadId(), Handle());
}

void TApplication::SetTitle(const std::string& title) {
  FTitle = title;
  SetText(title);
}

void TApplication::Run() {
  if (FMainForm && ShowMainForm) {
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    FMainForm->Show();
  }
  while (!FTerminated) HandleMessage();
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    // The handlers the keys call run here, outside any window procedure:
    // what one of them lets out is handled as there, and the loop goes on.
    try {
      if (HandleKey(msg)) return true;
    } catch (...) {
      ShowHandlerException();
      return true;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

bool TApplication::HandleKey(const MSG& msg) {
  TWinControl* target = FromHandle(GetAncestor(msg.hwnd, GA_ROOT));
  auto* form = dynamic_cast<TForm*>(target);
  if (form && IsWindowEnabled(form->Handle()) && form->IsShortCut(msg)) return true;
  bool handled = false;
  if (OnShortCut) OnShortCut(msg, handled);
  if (handled) return true;
  return msg.wParam == VK_RETURN && form && form->PressDefaultButton();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) {
    WaitMessage();
  }
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Terminate() { PostQuitMessage(0); }

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  bool windowThread = GetCurrentThreadId() == WindowThreadId();
  HWND owner = windowThread ? GetActiveWindow() : nullptr;
  if (windowThread && !owner) owner = Handle();
  int result;
  {
    TDisabledWindows disabled(WindowThreadId(), nullptr);
    result = MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), flags | (windowThread ? 0 : MB_SETFOREGROUND));
  }
  if (windowThread && owner && IsWindow(owner)) SetActiveWindow(owner);
  return result;
}

void TApplication::ShowException(const std::exception& e) { MessageBox(e.what(), FTitle, MB_OK | MB_ICONSTOP); }

void ShowHandlerException() {
  auto show = [](const std::exception& e) {
    if (Application)
      Application->ShowException(e);
    else
      MessageBoxW(nullptr, Widen(e.what()).c_str(), nullptr, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  };
  try {
    try {
      throw;
    } catch (const std::exception& e) {
      show(e);
    } catch (...) {
      show(TException("?"));
    }
  } catch (...) {
    // The report itself failed (no memory for its text): nothing may leave
    // the boundary that called it.
  }
}

void TApplication::CloseForm(TForm& form) {
  const bool isMain = &form == FMainForm;
  if (form.CloseWith(isMain ? TCloseAction::Free : TCloseAction::Hide) == TCloseAction::Free && isMain) Terminate();
}

bool TApplication::MinimizeForm(TForm& form) {
  if (&form != FMainForm) return false;
  Minimize();
  return true;
}

int TApplication::ShowModal(TForm& form) {
  HWND previous = GetActiveWindow();
  {
    TDisabledWindows disabled(GetCurrentThreadId(), form.Handle());
    form.Show();
    while (form.ModalResult() == mrNone && !Terminated()) {
      HandleMessage();
      if (!IsWindowVisible(form.Handle()) && form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
    }
  }
  form.Hide();
  // The window that was active before takes the keyboard again.
  if (previous && previous != form.Handle() && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
  return form.ModalResult();
}

void TApplication::Minimize() {
  if (FMinimized) return;
  FMinimized = true;
  if (FMainForm) ShowWindow(FMainForm->Handle(), SW_HIDE);
  ShowWindow(Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (!FMinimized) return;
  FMinimized = false;
  ShowWindow(Handle(), SW_RESTORE);
  if (FMainForm) {
    FMainForm->Show();
  }
}

LRESULT TApplication::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_QUENDAL_SYNCHRONIZE:
      CheckSynchronize();
      return 0;
    case WM_DEVICECHANGE:
      if (OnDeviceChange) OnDeviceChange(wParam);
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_RESTORE) {
        Restore();
        return 0;
      }
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        Minimize();
        return 0;
      }
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        if (FMainForm) FMainForm->Close();
        return 0;
      }
      break;
    case WM_SIZE:
      // Another program restored our window (a second instance does).
      if (wParam == SIZE_RESTORED && FMinimized) Restore();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && FMainForm && IsWindowVisible(FMainForm->Handle()) &&
          IsWindowEnabled(FMainForm->Handle()))
        SetActiveWindow(FMainForm->Handle());
      // Activated by another program (a second instance does): Wine undoes
      // a change of the active window made inside the activation, so the
      // form is activated again once it is over.
      if (LOWORD(wParam) != WA_INACTIVE) PostMessageW(Handle(), WM_QUENDAL_ACTIVATE_FORM, 0, 0);
      break;
    case WM_QUENDAL_ACTIVATE_FORM:
      if (GetActiveWindow() == Handle() && FMainForm) {
        // The main form, or the window it waits for (a modal one).
        HWND target = FMainForm->Handle();
        if (!IsWindowVisible(target) || !IsWindowEnabled(target)) target = GetLastActivePopup(Handle());
        if (target && target != Handle() && IsWindowVisible(target) && IsWindowEnabled(target)) SetForegroundWindow(target);
      }
      return 0;
    case WM_CLOSE:
      if (FMainForm) FMainForm->Close();
      return 0;
  }
  return TWinControl::WndProc(msg, wParam, lParam);
}

void TApplication::DestroyForms() {
  // Hide every window first, then destroy the forms newest first.
  for (TComponent* c : Components())
    if (auto* f = dynamic_cast<TForm*>(c)) f->Hide();
  while (!Components().empty()) {
    TComponent* c = Components().back();
    if (auto* f = dynamic_cast<TForm*>(c)) f->Destroying();
    if (c == FMainForm) FMainForm = nullptr;
    delete c;
  }
}
