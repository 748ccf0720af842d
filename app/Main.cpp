// Quendal: watches the USB data-acquisition modules that the device library
// sees in its first 25 virtual slots.
#include <windows.h>

#include "app/MainForm.h"
#include "device/CorvaneLibrary.h"
#include "device/LibraryGuard.h"
#include "framework/Application.h"
#include "framework/ComApartment.h"
#include "framework/Exception.h"
#include "windows/AboutPanel.h"
#include "windows/WaitingPanel.h"

namespace {
// Sizes are scaled by the screen's resolution at creation; Windows must not
// stretch the window again (Vista and later only, bound at run time).
void DeclareDpiAware() {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  typedef BOOL(WINAPI * SetProcessDPIAwareFn)();
  auto fn = user ? reinterpret_cast<SetProcessDPIAwareFn>(
                       reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware")))
                 : nullptr;
  if (fn) fn();
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The device library has been loaded with the program and may have
  // changed the floating-point state on its way in.
  ResetFloatingPointState();
  DeclareDpiAware();
  // COM for the window thread, left after the last window is gone.
  TComApartment com;
  TApplication application;
  try {
    application.Initialize();
    application.SetTitle("Мониторинг USB модулей");
    application.CreateForm(MainForm);
    MainForm->Library = ImportedCorvaneLibrary();
    application.CreateForm(AboutProgramPanel);
    application.CreateForm(WaitingPanel);
    application.Run();
  } catch (...) {
    ShowHandlerException();
  }
  return 0;
}
