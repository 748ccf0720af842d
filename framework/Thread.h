// A worker thread with a synchronous hand-over to the window thread.
//
// Synchronize(routine) runs the routine on the window thread while the
// worker blocks, and rethrows in the worker whatever the routine threw.
// Whatever the body lets out is reported on the window thread as any
// handler's exception is. The
// destructor raises the stop request and waits for the body to return while
// it keeps executing the hand-overs the worker submits meanwhile (its last
// ones among them), so deleting a thread from the window thread never
// deadlocks.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

#include "framework/Handles.h"
#include "framework/NoCopy.h"

class TThread : TNoCopy {
 public:
  // Starts the thread at once unless createSuspended; throws TException when
  // no thread could be created. A thread stopped before it was started
  // never runs its body: a derived class starts it as the last step of its
  // constructor, so a constructor that throws leaves nothing running.
  explicit TThread(bool createSuspended);
  virtual ~TThread();

  void Start();
  // Raises the stop request and waits for the body (and its on-terminate
  // notification) to end, executing hand-overs meanwhile. Every derived
  // class calls it first in its destructor, while its own members and its
  // Execute still exist; the base destructor calls it again, harmlessly.
  void TerminateAndWait();
  // Raises the stop request and waits, as TerminateAndWait does, at most
  // timeoutMs; false when the body had not ended by then (the object must
  // then not be destroyed: its thread still runs).
  bool WaitFor(DWORD timeoutMs);
  // Raises the stop request; any thread may call it.
  void Terminate();
  bool Terminated() const { return InterlockedCompareExchange(const_cast<LONG*>(&FTerminated), 0, 0) != 0; }
  bool Finished() const { return InterlockedCompareExchange(const_cast<LONG*>(&FFinished), 0, 0) != 0; }
  DWORD ThreadId() const { return FThreadId; }

  // Runs on the window thread after Execute has returned.
  std::function<void(TThread*)> OnTerminate;

  // Runs the routine on the window thread; called from the worker.
  void Synchronize(const std::function<void()>& routine);

 protected:
  virtual void Execute() = 0;
  // Set once the stop request is raised, and stays set: the body waits on
  // it instead of sleeping.
  HANDLE StopRequest() const { return FStopRequest.Get(); }

 private:
  static unsigned __stdcall Entry(void* self);
  void Report(std::exception_ptr error);
  bool WaitWhileServing(DWORD timeoutMs);

  TKernelHandle FHandle;
  TKernelHandle FDone;  // set when the window thread has run our hand-over
  TKernelHandle FStopRequest;
  unsigned FThreadId = 0;
  volatile LONG FTerminated = 0;
  volatile LONG FFinished = 0;
  volatile LONG FNeverRun = 0;  // stopped before it was started
  bool FStarted = false;
  bool FJoined = false;

  friend bool CheckSynchronize();

  const std::function<void()>* FRoutine = nullptr;
  std::exception_ptr FError;
  TThread* FNextPending = nullptr;
};

// Runs every hand-over that is waiting; called on the window thread. Returns
// true when one ran.
bool CheckSynchronize();

// Blocks the window thread until a worker submits a hand-over or a message
// arrives for the thread (one not yet looked at), then runs the hand-overs
// that are waiting. Whoever waits for a worker on the window thread loops on
// this and on processing the messages.
void WaitForHandOverOrMessage();

// True while the window thread runs a worker's hand-over. A worker is then
// blocked until the routine returns: whoever waits for that worker to end
// from inside the routine (from a message box it shows) waits for ever.
bool InSynchronize();

// The window thread's id and the window to wake it with; set by the
// application object.
void SetSynchronizeTarget(DWORD threadId, HWND wakeWindow);
DWORD WindowThreadId();
