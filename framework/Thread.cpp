#include "framework/Thread.h"

#include <process.h>

#include "framework/Exception.h"
#include "framework/Messages.h"

namespace {

// Pending hand-overs, newest first; guarded by the lock.
struct TSyncQueue {
  TCriticalSection Lock;
  TKernelHandle Wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // set whenever a hand-over is queued
  TThread* Pending = nullptr;
  DWORD WindowThread = 0;
  HWND WakeWindow = nullptr;
};

// Made once and never destroyed: a worker that reaches a hand-over while the
// process ends (after an exit that gave up waiting for it) still finds the
// lock and the event. The system takes them back with the process.
TSyncQueue& Queue() {
  static TSyncQueue* q = new TSyncQueue;
  return *q;
}

}  // namespace

void SetSynchronizeTarget(DWORD threadId, HWND wakeWindow) {
  Queue().WindowThread = threadId;
  Queue().WakeWindow = wakeWindow;
}

DWORD WindowThreadId() { return Queue().WindowThread ? Queue().WindowThread : GetCurrentThreadId(); }

TThread::TThread(bool createSuspended) {
  FDone.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  FStopRequest.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!FDone || !FStopRequest) throw TException("CreateEvent");
  HANDLE h = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TThread::Entry, this, CREATE_SUSPENDED, &FThreadId));
  if (!h) throw TException("_beginthreadex");
  FHandle.Reset(h);
  if (!createSuspended) Start();
}

void TThread::Start() {
  if (FStarted) return;
  FStarted = true;
  ResumeThread(FHandle.Get());
}

TThread::~TThread() { TerminateAndWait(); }

void TThread::Terminate() {
  InterlockedExchange(&FTerminated, 1);
  SetEvent(FStopRequest.Get());
}

void TThread::TerminateAndWait() { WaitFor(INFINITE); }

bool TThread::WaitFor(DWORD timeoutMs) {
  if (FJoined) return true;
  Terminate();
  if (!FStarted) {
    // Never started: perhaps its owner's constructor threw, and the object
    // is half destroyed. The thread ends without its body or its
    // on-terminate notification.
    InterlockedExchange(&FNeverRun, 1);
    Start();
  }
  if (!WaitWhileServing(timeoutMs)) return false;
  FJoined = true;
  return true;
}

bool TThread::WaitWhileServing(DWORD timeoutMs) {
  HANDLE waits[2] = {FHandle.Get(), Queue().Wake.Get()};
  bool onWindowThread = GetCurrentThreadId() == WindowThreadId();
  const DWORD start = GetTickCount();
  for (;;) {
    if (onWindowThread) CheckSynchronize();
    DWORD waited = GetTickCount() - start;
    if (timeoutMs != INFINITE && waited >= timeoutMs) return false;
    DWORD left = timeoutMs == INFINITE ? INFINITE : timeoutMs - waited;
    DWORD r = onWindowThread ? MsgWaitForMultipleObjects(2, waits, FALSE, left, QS_SENDMESSAGE)
                             : WaitForSingleObject(waits[0], left);
    if (r == WAIT_OBJECT_0) break;
    if (r == WAIT_OBJECT_0 + 2) {
      // Let messages sent from the worker (a query of a control) through.
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    // A wait that failed says nothing of the thread: it may still be
    // running, so neither take it for ended nor spin on the failure.
    if (r == WAIT_FAILED) Sleep(50);
  }
  if (onWindowThread) CheckSynchronize();
  return true;
}

// What a thread's body or its on-terminate notification lets out is reported
// on the window thread; the thread then ends.
void TThread::Report(std::exception_ptr error) {
  try {
    Synchronize([error] {
      try {
        std::rethrow_exception(error);
      } catch (...) {
        ShowHandlerException();
      }
    });
  } catch (...) {
    // The report itself failed: nothing is left to tell it with.
  }
}

unsigned __stdcall TThread::Entry(void* p) {
  auto* self = static_cast<TThread*>(p);
  if (InterlockedCompareExchange(&self->FNeverRun, 0, 0)) {
    InterlockedExchange(&self->FFinished, 1);
    return 0;
  }
  try {
    self->Execute();
  } catch (...) {
    self->Report(std::current_exception());
  }
  if (self->OnTerminate) {
    try {
      self->Synchronize([self] { self->OnTerminate(self); });
    } catch (...) {
      self->Report(std::current_exception());
    }
  }
  InterlockedExchange(&self->FFinished, 1);
  return 0;
}

void TThread::Synchronize(const std::function<void()>& routine) {
  if (GetCurrentThreadId() == WindowThreadId()) {
    routine();
    return;
  }
  TSyncQueue& q = Queue();
  FRoutine = &routine;
  FError = nullptr;
  {
    TLockScope hold(q.Lock);
    FNextPending = q.Pending;
    q.Pending = this;
  }
  SetEvent(q.Wake.Get());
  if (q.WakeWindow) PostMessageW(q.WakeWindow, WM_QUENDAL_SYNCHRONIZE, 0, 0);
  WaitForSingleObject(FDone.Get(), INFINITE);
  FRoutine = nullptr;
  if (FError) {
    std::exception_ptr e = FError;
    FError = nullptr;
    std::rethrow_exception(e);
  }
}

namespace {
// Hand-overs running on the window thread right now: more than one when a
// hand-over's routine (a message box's loop, say) runs the next ones.
int gRunningHandOvers = 0;
}  // namespace

bool InSynchronize() { return gRunningHandOvers > 0; }

void WaitForHandOverOrMessage() {
  HANDLE wake = Queue().Wake.Get();
  // A failed wait must not turn the caller's loop into a spin.
  if (MsgWaitForMultipleObjects(1, &wake, FALSE, INFINITE, QS_ALLINPUT) == WAIT_FAILED) Sleep(50);
  CheckSynchronize();
}

bool CheckSynchronize() {
  TSyncQueue& q = Queue();
  TThread* list;
  {
    TLockScope hold(q.Lock);
    list = q.Pending;
    q.Pending = nullptr;
  }
  bool ran = list != nullptr;
  while (list) {
    TThread* t = list;
    list = t->FNextPending;
    t->FNextPending = nullptr;
    ++gRunningHandOvers;
    try {
      (*t->FRoutine)();
    } catch (...) {
      t->FError = std::current_exception();
    }
    --gRunningHandOvers;
    SetEvent(t->FDone.Get());
  }
  return ran;
}
