// Every call into the device library runs inside LibraryCall; one guard may
// hold several calls when nothing of ours between them needs destroying.
// The library is foreign code in our process, and the guard keeps two
// promises about it:
//
// - A processor fault raised inside the call (access violation, illegal or
//   privileged instruction, integer divide by zero, a floating-point trap)
//   does not end the process: the call is abandoned and ELibraryFault is
//   thrown in the caller's frame. Only the library's own frames are skipped;
//   no destructor of ours lies between the guard and the library.
// - The floating-point control state (x87 control word, MXCSR) is the
//   program's own again when the call returns, however the library left it,
//   so our formatting and the system's drawing never trap.
#pragma once

#include <windows.h>

#include "framework/Exception.h"

class ELibraryFault : public TException {
 public:
  explicit ELibraryFault(DWORD code);
  DWORD Code() const { return FCode; }

 private:
  DWORD FCode;
};

// Sets the program's floating-point state (the runtime's defaults: every
// exception masked) on the calling thread. Called at start-up, once the
// library has been loaded, and at the start of every thread that calls it.
void ResetFloatingPointState();

// Runs routine(context) under the guard; returns 0, or the code of the fault
// that ended it. The routine must own nothing that needs destroying. A C++
// exception that leaves the routine is passed on once the guard is down.
DWORD RunGuarded(void (*routine)(void*), void* context);

// Calls call() under the guard and returns its result; a fault throws
// ELibraryFault.
template <typename Call>
auto LibraryCall(Call call) -> decltype(call()) {
  using TResult = decltype(call());
  struct TFrame {
    Call* routine;
    TResult result;
  } frame{&call, TResult()};
  DWORD fault = RunGuarded([](void* p) {
    auto* f = static_cast<TFrame*>(p);
    f->result = (*f->routine)();
  }, &frame);
  if (fault) throw ELibraryFault(fault);
  return frame.result;
}
