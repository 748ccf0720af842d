// Owners of Windows handles, each counted while it lives, so that tests and
// the soak harness can see a leak (Wine's own counters always answer 0).
#pragma once

#include <windows.h>

// Kernel also counts the critical sections that the framework owns.
enum class TResourceKind : int { Window, Font, Brush, Pen, DC, Kernel, Menu, Hook, Count };

long LiveCount(TResourceKind kind);
void CountUp(TResourceKind kind);
void CountDown(TResourceKind kind);

// Deletes a GDI object and counts it gone, unless the deletion fails:
// Windows refuses to delete an object that is still selected into a device
// context, and such an object stays alive and counted, so that the leak
// shows.
void DeleteGdiObject(HGDIOBJ object, TResourceKind kind);
// The deletion that DeleteGdiObject calls; tests replace it.
typedef BOOL(WINAPI* TDeleteObjectFunction)(HGDIOBJ);
extern TDeleteObjectFunction DeleteObjectFunction;

// A GDI object (font, brush, pen) owned for its lifetime.
template <class H, TResourceKind Kind>
class TGdiObject {
 public:
  TGdiObject() = default;
  explicit TGdiObject(H h) { Reset(h); }
  ~TGdiObject() { Reset(nullptr); }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  void Reset(H h) {
    if (FHandle) DeleteGdiObject(FHandle, Kind);
    FHandle = h;
    if (FHandle) CountUp(Kind);
  }
  H Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }

 private:
  H FHandle = nullptr;
};

using TFontHandle = TGdiObject<HFONT, TResourceKind::Font>;
using TBrushHandle = TGdiObject<HBRUSH, TResourceKind::Brush>;

// A kernel object (event, mutex, thread) closed with CloseHandle.
class TKernelHandle {
 public:
  TKernelHandle() = default;
  explicit TKernelHandle(HANDLE h) { Reset(h); }
  ~TKernelHandle() { Reset(nullptr); }
  TKernelHandle(const TKernelHandle&) = delete;
  TKernelHandle& operator=(const TKernelHandle&) = delete;
  void Reset(HANDLE h);
  HANDLE Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }

 private:
  HANDLE FHandle = nullptr;
};

// A menu, destroyed with DestroyMenu.
class TMenuHandle {
 public:
  TMenuHandle() = default;
  ~TMenuHandle() { Reset(nullptr); }
  TMenuHandle(const TMenuHandle&) = delete;
  TMenuHandle& operator=(const TMenuHandle&) = delete;
  void Reset(HMENU h);
  HMENU Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }

 private:
  HMENU FHandle = nullptr;
};

// A hook of the calling thread, installed for the wrapper's lifetime.
// SetWindowsHookFunction installs it; tests replace it.
typedef HHOOK(WINAPI* TSetWindowsHookFunction)(int, HOOKPROC, HINSTANCE, DWORD);
extern TSetWindowsHookFunction SetWindowsHookFunction;
class THookHandle {
 public:
  THookHandle(int kind, HOOKPROC procedure);
  ~THookHandle();
  THookHandle(const THookHandle&) = delete;
  THookHandle& operator=(const THookHandle&) = delete;
  explicit operator bool() const { return FHandle != nullptr; }

 private:
  HHOOK FHandle;
};

// A critical section, and the scope that holds it.
class TCriticalSection {
 public:
  TCriticalSection();
  ~TCriticalSection();
  TCriticalSection(const TCriticalSection&) = delete;
  TCriticalSection& operator=(const TCriticalSection&) = delete;
  void Enter() { EnterCriticalSection(&FSection); }
  void Leave() { LeaveCriticalSection(&FSection); }

 private:
  CRITICAL_SECTION FSection;
};

class TLockScope {
 public:
  explicit TLockScope(TCriticalSection& lock) : FLock(lock) { FLock.Enter(); }
  ~TLockScope() { FLock.Leave(); }
  TLockScope(const TLockScope&) = delete;
  TLockScope& operator=(const TLockScope&) = delete;

 private:
  TCriticalSection& FLock;
};

// A window's device context, from GetDC (GetWindowDC for the whole window,
// frame included) or BeginPaint.
class TWindowDC {
 public:
  explicit TWindowDC(HWND window, bool wholeWindow = false);
  ~TWindowDC();
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return FDC; }

 private:
  HWND FWindow;
  HDC FDC;
};

class TPaintDC {
 public:
  explicit TPaintDC(HWND window);
  ~TPaintDC();
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return FDC; }
  const PAINTSTRUCT& Paint() const { return FPaint; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint;
  HDC FDC;
};
