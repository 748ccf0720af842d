#include "framework/Handles.h"

namespace {
volatile LONG Counters[static_cast<int>(TResourceKind::Count)];
}

long LiveCount(TResourceKind kind) {
  int i = static_cast<int>(kind);
  if (i < 0 || i >= static_cast<int>(TResourceKind::Count)) return -1;
  return InterlockedCompareExchange(&Counters[i], 0, 0);
}
void CountUp(TResourceKind kind) { InterlockedIncrement(&Counters[static_cast<int>(kind)]); }
void CountDown(TResourceKind kind) { InterlockedDecrement(&Counters[static_cast<int>(kind)]); }

TDeleteObjectFunction DeleteObjectFunction = &DeleteObject;

void DeleteGdiObject(HGDIOBJ object, TResourceKind kind) {
  if (DeleteObjectFunction(object)) CountDown(kind);
}

void TKernelHandle::Reset(HANDLE h) {
  if (FHandle) {
    CloseHandle(FHandle);
    CountDown(TResourceKind::Kernel);
  }
  FHandle = h;
  if (FHandle) CountUp(TResourceKind::Kernel);
}

void TMenuHandle::Reset(HMENU h) {
  if (FHandle && DestroyMenu(FHandle)) CountDown(TResourceKind::Menu);
  FHandle = h;
  if (FHandle) CountUp(TResourceKind::Menu);
}

TSetWindowsHookFunction SetWindowsHookFunction = &SetWindowsHookExW;

THookHandle::THookHandle(int kind, HOOKPROC procedure)
    : FHandle(SetWindowsHookFunction(kind, procedure, nullptr, GetCurrentThreadId())) {
  if (FHandle) CountUp(TResourceKind::Hook);
}
THookHandle::~THookHandle() {
  if (FHandle && UnhookWindowsHookEx(FHandle)) CountDown(TResourceKind::Hook);
}

TCriticalSection::TCriticalSection() {
  InitializeCriticalSection(&FSection);
  CountUp(TResourceKind::Kernel);
}
TCriticalSection::~TCriticalSection() {
  DeleteCriticalSection(&FSection);
  CountDown(TResourceKind::Kernel);
}

TWindowDC::TWindowDC(HWND window, bool wholeWindow)
    : FWindow(window), FDC(wholeWindow ? GetWindowDC(window) : GetDC(window)) {
  if (FDC) CountUp(TResourceKind::DC);
}
TWindowDC::~TWindowDC() {
  if (FDC) {
    ReleaseDC(FWindow, FDC);
    CountDown(TResourceKind::DC);
  }
}

TPaintDC::TPaintDC(HWND window) : FWindow(window), FDC(BeginPaint(window, &FPaint)) {
  if (FDC) CountUp(TResourceKind::DC);
}
TPaintDC::~TPaintDC() {
  EndPaint(FWindow, &FPaint);
  if (FDC) CountDown(TResourceKind::DC);
}
