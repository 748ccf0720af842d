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

TWindowDC::TWindowDC(HWND window) : FWindow(window), FDC(GetDC(window)) {
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
