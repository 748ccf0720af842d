#include "framework/Messages.h"

namespace {

enum TQuery { ControlName, Counter, Look, Menu, QueryCount };

// The queries' messages, registered together on first use.
UINT Registered(TQuery query) {
  static const UINT messages[QueryCount] = {
      RegisterWindowMessageW(L"WM_GETCONTROLNAME"), RegisterWindowMessageW(L"QUENDAL_GETCOUNTER"),
      RegisterWindowMessageW(L"QUENDAL_GETLOOK"), RegisterWindowMessageW(L"QUENDAL_GETMENU")};
  return messages[query];
}

}  // namespace

UINT ControlNameMessage() { return Registered(ControlName); }
UINT CounterMessage() { return Registered(Counter); }
UINT LookMessage() { return Registered(Look); }
UINT MenuMessage() { return Registered(Menu); }
