// Owners of Windows handles, each counted while it is held, so that tests and
// the soak harness can see a leak (Wine's own counters always answer 0).
#pragma once

#include <windows.h>

#include "framework/NoCopy.h"

// Kernel also counts the critical sections that the framework owns; Memory
// is global memory (what the clipboard is handed).
enum class TResourceKind : int { Window, Font, Brush, Pen, DC, Kernel, Menu, Hook, Memory, Count };

long LiveCount(TResourceKind kind);
void CountUp(TResourceKind kind);
void CountDown(TResourceKind kind);

// How each kind of handle goes back to Windows; true when it went.
// DeleteObjectFunction is the deletion that FreeGdiObject calls; tests
// replace it.
typedef BOOL(WINAPI* TDeleteObjectFunction)(HGDIOBJ);
extern TDeleteObjectFunction DeleteObjectFunction;
bool FreeGdiObject(HGDIOBJ object);
bool FreeKernelObject(HANDLE object);
bool FreeMenu(HMENU menu);
bool FreeHook(HHOOK hook);
bool FreeGlobalMemory(HGLOBAL memory);

// A handle owned and counted while it is held. It is counted gone only when
// Free succeeds: Windows refuses to delete a GDI object that is still
// selected into a device context, and such an object stays alive and
// counted, so that the leak shows. A move hands it to another owner, still
// counted once; Release gives it up to whoever takes it over (the clipboard
// takes its memory) and counts it gone.
template <class H, TResourceKind Kind, auto Free>
class TOwnedHandle {
 public:
  TOwnedHandle() = default;
  explicit TOwnedHandle(H h) { Reset(h); }
  ~TOwnedHandle() { Reset(nullptr); }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  TOwnedHandle(TOwnedHandle&& other) noexcept : FHandle(other.FHandle) { other.FHandle = nullptr; }
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this == &other) return *this;
    Reset(nullptr);
    FHandle = other.FHandle;
    other.FHandle = nullptr;
    return *this;
  }

  void Reset(H h) {
    if (h == FHandle) return;
    if (FHandle && Free(FHandle)) CountDown(Kind);
    FHandle = h;
    if (FHandle) CountUp(Kind);
  }
  H Release() {
    H h = FHandle;
    FHandle = nullptr;
    if (h) CountDown(Kind);
    return h;
  }
  H Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }

 private:
  H FHandle = nullptr;
};

using TFontHandle = TOwnedHandle<HFONT, TResourceKind::Font, &FreeGdiObject>;
using TBrushHandle = TOwnedHandle<HBRUSH, TResourceKind::Brush, &FreeGdiObject>;
// A kernel object (event, mutex, thread).
using TKernelHandle = TOwnedHandle<HANDLE, TResourceKind::Kernel, &FreeKernelObject>;
using TMenuHandle = TOwnedHandle<HMENU, TResourceKind::Menu, &FreeMenu>;
// A hook of the calling thread: InstallHook installs it.
using THookHandle = TOwnedHandle<HHOOK, TResourceKind::Hook, &FreeHook>;
using TGlobalMemory = TOwnedHandle<HGLOBAL, TResourceKind::Memory, &FreeGlobalMemory>;

// SetWindowsHookFunction is what InstallHook calls; tests replace it.
typedef HHOOK(WINAPI* TSetWindowsHookFunction)(int, HOOKPROC, HINSTANCE, DWORD);
extern TSetWindowsHookFunction SetWindowsHookFunction;
THookHandle InstallHook(int kind, HOOKPROC procedure);

// A critical section, and the scope that holds it.
class TCriticalSection : TNoCopy {
 public:
  TCriticalSection();
  ~TCriticalSection();
  void Enter() { EnterCriticalSection(&FSection); }
  void Leave() { LeaveCriticalSection(&FSection); }

 private:
  CRITICAL_SECTION FSection;
};

class TLockScope : TNoCopy {
 public:
  explicit TLockScope(TCriticalSection& lock) : FLock(lock) { FLock.Enter(); }
  ~TLockScope() { FLock.Leave(); }

 private:
  TCriticalSection& FLock;
};

// A window's device context, from GetDC (GetWindowDC for the whole window,
// frame included) or BeginPaint.
class TWindowDC : TNoCopy {
 public:
  explicit TWindowDC(HWND window, bool wholeWindow = false);
  ~TWindowDC();
  HDC Get() const { return FDC; }

 private:
  HWND FWindow;
  HDC FDC;
};

class TPaintDC : TNoCopy {
 public:
  explicit TPaintDC(HWND window);
  ~TPaintDC();
  HDC Get() const { return FDC; }
  const PAINTSTRUCT& Paint() const { return FPaint; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint;
  HDC FDC;
};
