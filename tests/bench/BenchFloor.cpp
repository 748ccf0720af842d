// The least program that asks of the machine what the monitor's poll cycle
// asks: the same library calls per slot through the same wrapper and the
// same stand-in, and per cycle the cross-thread work a cycle needs (one read
// of the list's selection from the worker and the two hand-overs of every
// cycle, the Waiting window's hide and the details' refresh), then a pause
// of 200 ms. It draws nothing and keeps no tables. scripts/bench.sh sets its
// CPU time beside Quendal.exe's; it is no test.
#include <windows.h>

#include <process.h>

#include "device/CommonUsbInterface.h"

namespace {

constexpr int Slots = 25;
constexpr DWORD PauseMs = 200;
constexpr UINT WM_HAND_OVER = WM_APP + 1;

HWND gWindow = nullptr;
HWND gList = nullptr;
HANDLE gStop = nullptr;

unsigned __stdcall Worker(void*) {
  const TCorvaneLibrary& library = ImportedCorvaneLibrary();
  if (library.GetLibraryVersion() != Corvane::RequiredVersion) return 1;
  TCommonUsbInterface device(library);
  if (!device.CreateInterfaces()) return 1;
  static ModuleDescription description;
  bool setUp[Slots] = {};
  while (WaitForSingleObject(gStop, 0) == WAIT_TIMEOUT) {
    // A module is loaded, tested and described once per stay in its slot.
    for (int slot = 0; slot < Slots; ++slot) {
      if (!device.OpenSlot(static_cast<DWORD>(slot))) {
        setUp[slot] = false;
        continue;
      }
      char name[Corvane::ModuleNameSize];
      BYTE speed = 0;
      if (!device.ReadModuleName(name) || !device.ReadUsbSpeed(&speed)) break;
      if (setUp[slot]) continue;
      if (!device.LoadFirmware(nullptr) || !device.TestModule()) break;
      device.ReadDescription(description);
      setUp[slot] = true;
    }
    SendMessageW(gWindow, WM_HAND_OVER, 0, 0);
    SendMessageW(gList, LB_GETCURSEL, 0, 0);
    SendMessageW(gWindow, WM_HAND_OVER, 0, 0);
    WaitForSingleObject(gStop, PauseMs);
  }
  device.ReleaseInterfaces();
  return 0;
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HAND_OVER) return 0;
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"QuendalBenchFloor";
  if (!RegisterClassW(&windowClass)) return 1;
  gWindow = CreateWindowExW(0, windowClass.lpszClassName, L"Quendal bench floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 340, 560, nullptr, nullptr, instance, nullptr);
  gList = gWindow ? CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 320, 520, gWindow,
                                    nullptr, instance, nullptr)
                  : nullptr;
  gStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!gList || !gStop) return 1;
  for (int slot = 0; slot < Slots; ++slot) SendMessageW(gList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"-----"));
  ShowWindow(gWindow, show);
  HANDLE worker = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Worker, nullptr, 0, nullptr));
  if (!worker) return 1;

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The worker may be waiting for a hand-over: keep answering until it ends.
  SetEvent(gStop);
  while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1)
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  CloseHandle(worker);
  return 0;
}
