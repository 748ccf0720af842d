#include "framework/Messages.h"

UINT ControlNameMessage() {
  static UINT m = RegisterWindowMessageW(L"WM_GETCONTROLNAME");
  return m;
}
UINT CounterMessage() {
  static UINT m = RegisterWindowMessageW(L"QUENDAL_GETCOUNTER");
  return m;
}
UINT LookMessage() {
  static UINT m = RegisterWindowMessageW(L"QUENDAL_GETLOOK");
  return m;
}
UINT MenuMessage() {
  static UINT m = RegisterWindowMessageW(L"QUENDAL_GETMENU");
  return m;
}
