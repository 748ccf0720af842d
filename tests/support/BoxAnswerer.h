// Answers the message boxes that a thread shows, from a thread of its own,
// and keeps the text of each: for tests of what the program reports.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

class TBoxAnswerer {
 public:
  explicit TBoxAnswerer(DWORD thread) : FThread(thread) {
    InitializeCriticalSection(&FLock);
    FHandle = CreateThread(nullptr, 0, &TBoxAnswerer::Run, this, 0, nullptr);
  }
  ~TBoxAnswerer() {
    FStop = 1;
    WaitForSingleObject(FHandle, INFINITE);
    CloseHandle(FHandle);
    DeleteCriticalSection(&FLock);
  }
  std::vector<std::wstring> Texts() {
    EnterCriticalSection(&FLock);
    std::vector<std::wstring> texts = FTexts;
    LeaveCriticalSection(&FLock);
    return texts;
  }

 private:
  static BOOL CALLBACK FindBox(HWND h, LPARAM p) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(p) = h;
    return FALSE;
  }
  static BOOL CALLBACK ReadText(HWND h, LPARAM p) {
    wchar_t cls[16] = {}, text[256] = {};
    GetClassNameW(h, cls, 16);
    if (_wcsicmp(cls, L"Static") == 0 && GetWindowTextW(h, text, 256) > 0) *reinterpret_cast<std::wstring*>(p) = text;
    return TRUE;
  }
  static DWORD WINAPI Run(void* p) {
    auto* self = static_cast<TBoxAnswerer*>(p);
    while (!self->FStop) {
      HWND box = nullptr;
      EnumThreadWindows(self->FThread, &FindBox, reinterpret_cast<LPARAM>(&box));
      if (box) {
        std::wstring text;
        EnumChildWindows(box, &ReadText, reinterpret_cast<LPARAM>(&text));
        EnterCriticalSection(&self->FLock);
        self->FTexts.push_back(text);
        LeaveCriticalSection(&self->FLock);
        SendMessageW(box, WM_COMMAND, IDOK, 0);
      }
      Sleep(20);
    }
    return 0;
  }
  CRITICAL_SECTION FLock;
  DWORD FThread;
  volatile LONG FStop = 0;
  std::vector<std::wstring> FTexts;
  HANDLE FHandle = nullptr;
};
