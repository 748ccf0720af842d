#include "framework/WinControl.h"

#include <exception>
#include <unordered_map>

#include "framework/Exception.h"
#include "framework/Menus.h"
#include "framework/NoCopy.h"
#include "framework/ProbeQueries.h"
#include "framework/Text.h"

namespace {
thread_local TWinControl* Creating = nullptr;

// Points the creation hook at the object being created, for one creation:
// whatever ends it, a return or a throw, leaves no object behind.
class TCreatingScope : TNoCopy {
 public:
  explicit TCreatingScope(TWinControl* control) { Creating = control; }
  ~TCreatingScope() { Creating = nullptr; }
};

// The bound windows of this thread and their objects; every window of the
// framework lives on the window thread. A look-up stays inside the process,
// with no call to the window server, and does not depend on whose window
// procedure is at the top of the window's chain: accessibility tools and
// input-method add-ins subclass other programs' windows. The map exists
// while the thread has bound windows.
using TWindowMap = std::unordered_map<HWND, TWinControl*>;
thread_local TWindowMap* Bound = nullptr;

bool Bind(HWND window, TWinControl* control) noexcept {
  try {
    if (!Bound) Bound = new TWindowMap;
    (*Bound)[window] = control;
    return true;
  } catch (...) {
    return false;  // no memory: the window stays unbound, and its creation raises
  }
}

void Unbind(HWND window) {
  if (!Bound) return;
  Bound->erase(window);
  if (Bound->empty()) {
    delete Bound;
    Bound = nullptr;
  }
}
}  // namespace

const wchar_t* OwnWindowClass(const wchar_t* name, UINT style) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc)) return name;
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
  return name;
}

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() {
  DestroyHandle();
  // A window that outlives its object (one whose last messages never reached
  // us) gets its class procedure back where ours is still on top, and is
  // unbound: no look-up may find a dead object.
  if (!FHandle) return;
  if (GetWindowLongPtrW(FHandle, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TWinControl::WindowProcedure))
    SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FClassProc));
  Detach();
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window || !Bound) return nullptr;
  auto found = Bound->find(window);
  return found == Bound->end() ? nullptr : found->second;
}

LRESULT CALLBACK TWinControl::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && Creating) {
    TWinControl* c = Creating;
    Creating = nullptr;
    c->Attach(reinterpret_cast<HWND>(wParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TWinControl::CreateHandle(const TCreateParams& p, const std::string& text) {
  if (FHandle) return;
  std::wstring w = Widen(text);
  // The hook binds the object to its window before the window's first
  // message; it is in place for this creation only.
  THookHandle hook = InstallHook(WH_CBT, CreationHook);
  if (!hook) throw TException("SetWindowsHookEx");
  HWND h;
  {
    TCreatingScope creating(this);
    h = CreateWindowExW(p.ExStyle, p.ClassName, w.c_str(), p.Style, p.X, p.Y, p.Width, p.Height, p.Parent, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
  }
  if (!h) {
    Detach();
    throw TException("CreateWindowEx");
  }
  if (FHandle != h) {
    // The hook was passed over: a window without its object would be inert.
    DestroyWindow(h);
    throw TException("SetWindowsHookEx");
  }
  FontChanged();
}

void TWinControl::Attach(HWND window) {
  if (!Bind(window, this)) return;
  FHandle = window;
  FClassProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::WindowProcedure)));
  CountUp(TResourceKind::Window);
}

void TWinControl::Detach() {
  if (!FHandle) return;
  // Leaving the map is what unbinds the window. Its window procedure is left
  // as it is: at WM_NCDESTROY nothing follows, and another program's
  // subclass may sit above ours.
  Unbind(FHandle);
  FHandle = nullptr;
  CountDown(TResourceKind::Window);
}

void TWinControl::DestroyHandle() {
  if (FHandle) DestroyWindow(FHandle);
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Bound windows come here, and one whose object has gone while another
  // program's subclass kept this procedure in its chain: that one gets the
  // default handling.
  TWinControl* c = FromHandle(h);
  if (!c) return DefWindowProcW(h, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    WNDPROC proc = c->FClassProc;
    c->Detach();
    return CallWindowProcW(proc, h, msg, wParam, lParam);
  }
  // No exception leaves a window procedure: report it and go on.
  try {
    return c->WndProc(msg, wParam, lParam);
  } catch (...) {
    ShowHandlerException();
  }
  return 0;
}

LRESULT TWinControl::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(FClassProc, FHandle, msg, wParam, lParam);
}

bool TWinControl::Reflected(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT answer = 0;
  if (AnswerQuery(*this, msg, wParam, lParam, answer)) return answer;
  switch (msg) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
      HWND child = msg == WM_DRAWITEM ? reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem
                                       : reinterpret_cast<HWND>(lParam);
      TWinControl* c = FromHandle(child);
      LRESULT result = 0;
      if (c && c != this && c->Reflected(msg, wParam, lParam, result)) return result;
      break;
    }
    case WM_CONTEXTMENU:
      if (FPopupMenu) {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (pt.x == -1 && pt.y == -1) {
          RECT r = BoundsRect();
          POINT o = {r.left, r.top};
          if (GetParent(FHandle)) ClientToScreen(GetParent(FHandle), &o);
          pt = o;
        }
        FPopupMenu->Popup(pt.x, pt.y, FHandle);
        return 0;
      }
      break;
  }
  return DefaultProc(msg, wParam, lParam);
}

std::string TWinControl::Text() const {
  if (!FHandle) return std::string();
  int n = GetWindowTextLengthW(FHandle);
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(FHandle, &w[0], n + 1);
  return Narrow(w.data(), n);
}

void TWinControl::SetText(const std::string& text) {
  if (FHandle) SetWindowTextW(FHandle, Widen(text).c_str());
}

bool TWinControl::Enabled() const { return FHandle && IsWindowEnabled(FHandle); }
void TWinControl::SetEnabled(bool enabled) {
  if (FHandle && (IsWindowEnabled(FHandle) != FALSE) != enabled) {
    EnableWindow(FHandle, enabled);
    InvalidateRect(FHandle, nullptr, TRUE);
  }
}
bool TWinControl::Visible() const { return FHandle && (GetWindowLongW(FHandle, GWL_STYLE) & WS_VISIBLE); }
void TWinControl::SetVisible(bool visible) {
  if (FHandle) ShowWindow(FHandle, visible ? SW_SHOW : SW_HIDE);
}

RECT TWinControl::BoundsRect() const {
  RECT r = {};
  if (!FHandle) return r;
  GetWindowRect(FHandle, &r);
  HWND parent = GetParent(FHandle);
  if (parent && (GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void TWinControl::FontChanged() {
  if (FHandle && FFont.Handle()) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), TRUE);
}

void TWinControl::SetColor(TColor c) {
  FColor = c;
  Invalidate();
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

std::wstring TWinControl::Look() {
  // The font the window itself reports, else the one the framework keeps for it.
  HFONT font = FHandle ? reinterpret_cast<HFONT>(DefaultProc(WM_GETFONT, 0, 0)) : nullptr;
  return FontLook(FHandle, font ? font : FFont.Handle(), FFont.Color(), FColor);
}

HBRUSH TWinControl::BackgroundBrush() {
  if (!FBrush || FBrushColor != FColor) {
    FBrush.Reset(CreateSolidBrush(ColorToRGB(FColor)));
    FBrushColor = FColor;
  }
  return FBrush.Get();
}
