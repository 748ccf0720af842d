// What the main-window and single-instance tests share: the application
// title as Windows names it, names held by the test process itself, the
// screen resolution a started program reads, the popup-menu window, and a
// watch over a window that must never appear.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "framework/NoCopy.h"
#include "tools/probe/WindowProbe.h"

namespace Shell {

// The application title: the caption of the application window and the name
// of the single-instance lock.
const char* const Title = "Мониторинг USB модулей";

// A cp1251 text as Windows wants it.
inline std::wstring Wide1251(const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(1251, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(1251, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
  return w;
}

// A named kernel object held by the test process while it lives.
class THeldName : TNoCopy {
 public:
  enum TKind { Mutex, Event };
  THeldName(TKind kind, const std::string& name) {
    std::wstring w = Wide1251(name);
    FHandle = kind == Mutex ? CreateMutexW(nullptr, FALSE, w.c_str()) : CreateEventW(nullptr, TRUE, FALSE, w.c_str());
    FError = GetLastError();
  }
  ~THeldName() {
    if (FHandle) CloseHandle(FHandle);
  }
  // Made here, not found already made by somebody else.
  bool Made() const { return FHandle && FError != ERROR_ALREADY_EXISTS; }

 private:
  HANDLE FHandle = nullptr;
  DWORD FError = 0;
};

// The screen resolution (Wine reads LogPixels once, when a process starts)
// for the programs started while this lives; the value found is put back.
class TScreenResolution : TNoCopy {
 public:
  explicit TScreenResolution(DWORD dpi) {
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &FKey) != ERROR_SUCCESS) {
      FKey = nullptr;
      return;
    }
    DWORD type = 0, size = sizeof(FSaved);
    if (RegQueryValueExW(FKey, L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&FSaved), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
      FSaved = 96;
    FSet = RegSetValueExW(FKey, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)) == ERROR_SUCCESS;
  }
  ~TScreenResolution() {
    if (!FKey) return;
    RegSetValueExW(FKey, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&FSaved), sizeof(FSaved));
    RegCloseKey(FKey);
  }
  bool Set() const { return FSet; }

 private:
  HKEY FKey = nullptr;
  DWORD FSaved = 96;
  bool FSet = false;
};

// Sizes designed at 120 pixels per inch, at another resolution.
inline int Scale(int designPixels, int dpi) { return MulDiv(designPixels, dpi, 120); }

struct TPopupFind {
  DWORD Process;
  HWND Found;
};
inline BOOL CALLBACK FindPopup(HWND h, LPARAM p) {
  auto* f = reinterpret_cast<TPopupFind*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  if (pid == f->Process && wcscmp(cls, L"#32768") == 0 && IsWindowVisible(h)) {
    f->Found = h;
    return FALSE;
  }
  return TRUE;
}

// The visible popup-menu window ("#32768") of the process, or null.
inline HWND PopupMenuWindow(DWORD processId) {
  TPopupFind find = {processId, nullptr};
  EnumWindows(FindPopup, reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

// Watches, from its own thread, whether the process ever shows a top-level
// window answering to the name, from construction to Stop().
class TNeverShown : TNoCopy {
 public:
  TNeverShown(DWORD processId, const std::string& name)
      : FThread([this, processId, name] {
          while (!FStop) {
            HWND h = Inspector::FindWindowNamed(processId, name);
            if (h) FSeen = true;
            if (h && IsWindowVisible(h)) FShown = true;
            Sleep(10);
          }
        }) {}
  ~TNeverShown() { Stop(); }
  void Stop() {
    FStop = true;
    if (FThread.joinable()) FThread.join();
  }
  bool Seen() const { return FSeen; }
  bool Shown() const { return FShown; }

 private:
  std::atomic<bool> FStop{false}, FSeen{false}, FShown{false};
  std::thread FThread;
};

}  // namespace Shell
