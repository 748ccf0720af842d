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

bool FreeGdiObject(HGDIOBJ object) { return DeleteObjectFunction(object) != FALSE; }
bool FreeKernelObject(HANDLE object) { return CloseHandle(object) != FALSE; }
bool FreeMenu(HMENU menu) { return DestroyMenu(menu) != FALSE; }
bool FreeHook(HHOOK hook) { return UnhookWindowsHookEx(hook) != FALSE; }
bool FreeGlobalMemory(HGLOBAL memory) { return GlobalFree(memory) == nullptr; }

TSetWindowsHookFunction SetWindowsHookFunction = &SetWindowsHookExW;

THookHandle InstallHook(int kind, HOOKPROC procedure) {
  return THookHandle(SetWindowsHookFunction(kind, procedure, nullptr, GetCurrentThreadId()));
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
