#include "framework/Theme.h"

bool UseClassicLook(HWND control) {
  typedef HRESULT(WINAPI * SetWindowThemeFn)(HWND, LPCWSTR, LPCWSTR);
  static SetWindowThemeFn setWindowTheme = [] {
    HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
    return uxtheme ? reinterpret_cast<SetWindowThemeFn>(
                         reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetWindowTheme")))
                   : nullptr;
  }();
  // A blank for both the application and the class list: a name that no
  // theme has, so none applies. (An empty string is taken as no name at all
  // by some implementations, which leaves the control themed.)
  return control && setWindowTheme && SUCCEEDED(setWindowTheme(control, L" ", L" "));
}
