// The window inspector: finds Quendal's windows and controls from another
// process by the names they answer to WM_GETCONTROLNAME, reads what they
// show, sends keys and clicks, answers message boxes and takes screenshots.
// Texts are cp1251, as the program keeps them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace Inspector {

// A started program.
struct TProcess {
  HANDLE Handle = nullptr;
  DWORD Id = 0;
};
// Starts a program with extra environment variables ("NAME=value").
bool Launch(const std::wstring& exe, const std::vector<std::wstring>& environment, TProcess& process);
// Waits for the program to end; false on time-out.
bool WaitExit(const TProcess& process, DWORD timeoutMs, DWORD& exitCode);
void Kill(TProcess& process);
void Close(TProcess& process);

std::string ControlName(HWND window);
// How the window draws its text ("QUENDAL_GETLOOK": face, height, weight,
// italic, charset, used, fixed, text, back and, for shapes, fill), and one
// value of it ("" when missing).
std::string Look(HWND window);
std::string LookValue(const std::string& look, const std::string& key);
// The window's popup menu as the program's menu holds it, one line per item,
// "caption\tshort cut\thint", "-" for a separator; empty without a menu.
std::string PopupMenuText(HWND window);
// A top-level window of the process (0: any process) answering to name.
HWND FindWindowNamed(DWORD processId, const std::string& name, DWORD timeoutMs = 0);
// A control at any depth under the window answering to name.
HWND FindControl(HWND top, const std::string& name);
std::vector<HWND> Controls(HWND top);

std::string Text(HWND window);
// A list box's lines, each read whole even while the program rewrites it.
std::string ListLine(HWND list, int index);
std::vector<std::string> ListLines(HWND list);
int ListSelection(HWND list);
bool Enabled(HWND window);
bool Visible(HWND window);
// The control's bounds in its top-level window's client area.
RECT ClientBounds(HWND control);
long Counter(HWND window, int kind);

// A message box of the process.
struct TMessageBox {
  HWND Handle = nullptr;
  std::string Caption;
  std::string Text;
  std::vector<std::string> Buttons;
};
bool FindMessageBox(DWORD processId, TMessageBox& box, DWORD timeoutMs);
// Presses the button with the caption ("&Yes", "Yes", "OK" ...: ampersands ignored).
bool PressButton(const TMessageBox& box, const std::string& caption);
// Presses the button with the identifier (IDOK, IDYES, IDNO ...): the same
// under every system language, where the captions are translated.
bool PressButton(const TMessageBox& box, int id);

// Keyboard and mouse input through the system's input queue.
void SendKey(HWND foreground, WORD virtualKey, bool ctrl = false);
// Clicks at (x, y) from the control's top left, or at its centre; returns
// the screen point clicked.
POINT Click(HWND control, bool right = false, int x = -1, int y = -1);

COLORREF ScreenPixel(int x, int y);
// A PNG of the whole screen (Wine's virtual desktop).
bool Screenshot(const std::wstring& file);
// A PNG of the part of the screen a window covers, frame included.
bool Screenshot(const std::wstring& file, HWND window);

// Repeats until the predicate holds or the time is up.
template <class P>
bool WaitFor(P predicate, DWORD timeoutMs, DWORD stepMs = 20) {
  DWORD start = GetTickCount();
  for (;;) {
    if (predicate()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(stepMs);
  }
}

std::string ToUtf8(const std::string& cp1251);
std::string FromUtf8(const std::string& utf8);

}  // namespace Inspector
