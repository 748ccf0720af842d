// The hand-over between a worker and the window thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include "framework/Handles.h"
#include "framework/Thread.h"

namespace {

class TWorker : public TThread {
 public:
  explicit TWorker(std::function<void(TWorker&)> body) : TThread(true), FBody(std::move(body)) { Start(); }
  ~TWorker() override { TerminateAndWait(); }
  using TThread::Synchronize;

 protected:
  void Execute() override { FBody(*this); }

 private:
  std::function<void(TWorker&)> FBody;
};

class HandOver : public ::testing::Test {
 protected:
  void SetUp() override { SetSynchronizeTarget(GetCurrentThreadId(), nullptr); }
  // Serves hand-overs on this (the window) thread until done or time-out.
  static bool ServeUntil(const std::function<bool()>& done, DWORD ms = 10000) {
    DWORD start = GetTickCount();
    while (!done()) {
      CheckSynchronize();
      if (GetTickCount() - start > ms) return false;
      Sleep(1);
    }
    return true;
  }
};

TEST_F(HandOver, RoutineRunsOnTheWindowThread) {
  DWORD windowThread = GetCurrentThreadId(), ranOn = 0, worker = 0;
  std::atomic<bool> finished{false};
  TWorker t([&](TWorker& self) {
    worker = GetCurrentThreadId();
    self.Synchronize([&] { ranOn = GetCurrentThreadId(); });
    finished = true;
  });
  ASSERT_TRUE(ServeUntil([&] { return finished.load(); }));
  EXPECT_EQ(ranOn, windowThread);
  EXPECT_NE(worker, windowThread);
}

TEST_F(HandOver, ExceptionInRoutineComesBackToTheWorker) {
  std::atomic<int> caught{0};
  std::atomic<bool> finished{false};
  TWorker t([&](TWorker& self) {
    try {
      self.Synchronize([] { throw std::runtime_error("hand-over failed"); });
    } catch (const std::runtime_error& e) {
      if (std::string(e.what()) == "hand-over failed") caught = 1;
    }
    // A later hand-over works as before.
    self.Synchronize([&] { caught = caught + 1; });
    finished = true;
  });
  ASSERT_TRUE(ServeUntil([&] { return finished.load(); }));
  EXPECT_EQ(caught.load(), 2);
}

TEST_F(HandOver, OnTerminateRunsOnTheWindowThreadAfterTheBody) {
  std::atomic<bool> bodyDone{false};
  DWORD notifiedOn = 0;
  bool bodyWasDone = false;
  auto* t = new TWorker([&](TWorker&) { bodyDone = true; });
  t->OnTerminate = [&](TThread*) {
    notifiedOn = GetCurrentThreadId();
    bodyWasDone = bodyDone;
  };
  delete t;  // waits, serving the notification's hand-over
  EXPECT_EQ(notifiedOn, GetCurrentThreadId());
  EXPECT_TRUE(bodyWasDone);
}

// Deleting a thread whose body keeps handing over until it is told to stop,
// and then hands over once more, must never deadlock.
TEST_F(HandOver, DeletingAThreadThatKeepsHandingOverNeverDeadlocks) {
  for (int round = 0; round < 200; ++round) {
    std::atomic<int> served{0};
    bool finalRan = false;
    auto* t = new TWorker([&](TWorker& self) {
      while (!self.Terminated()) self.Synchronize([&] { ++served; });
      self.Synchronize([&] { finalRan = true; });
      while (!self.Terminated()) Sleep(1);
    });
    if (round % 2) ServeUntil([&] { return served.load() > 0; }, 2000);
    DWORD start = GetTickCount();
    delete t;
    ASSERT_LT(GetTickCount() - start, 10000u) << "round " << round;
    ASSERT_TRUE(finalRan) << "round " << round;
  }
}

// A worker that sends a message to a window of the window thread (as the
// monitor reads the list's selection) while that thread deletes it.
TEST_F(HandOver, SentMessagesAreServedWhileDeleting) {
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(list, nullptr);
  std::atomic<int> queries{0};
  auto* t = new TWorker([&](TWorker& self) {
    while (!self.Terminated()) {
      SendMessageW(list, LB_GETCURSEL, 0, 0);
      ++queries;
    }
    SendMessageW(list, LB_GETCOUNT, 0, 0);
  });
  Sleep(20);
  DWORD start = GetTickCount();
  delete t;
  EXPECT_LT(GetTickCount() - start, 10000u);
  DestroyWindow(list);
}

// A derived constructor that throws after the base has made the suspended
// thread: the thread must end without its body, which no longer exists.
class THalfBuiltWorker : public TThread {
 public:
  explicit THalfBuiltWorker(bool& ran) : TThread(true), FRan(ran) { throw std::runtime_error("no event"); }

 protected:
  void Execute() override { FRan = true; }

 private:
  bool& FRan;
};

TEST_F(HandOver, AThreadWhoseOwnerNeverFinishedBuildingItNeverRuns) {
  bool ran = false;
  EXPECT_THROW(THalfBuiltWorker worker(ran), std::runtime_error);
  Sleep(50);
  EXPECT_FALSE(ran);
}

// The exit that gives up waiting for a worker leaves it free to hand over
// while the process ends: the queue's lock and event outlast whatever the
// exit destroys. The handler, registered before the queue is made, runs
// after all that.
long gKernelObjects = 0;

TEST(HandOverDeathTest, TheQueueOutlivesTheExit) {
  EXPECT_EXIT(
      {
        std::atexit([] { _exit(LiveCount(TResourceKind::Kernel) == gKernelObjects ? 0 : 1); });
        SetSynchronizeTarget(GetCurrentThreadId(), nullptr);
        gKernelObjects = LiveCount(TResourceKind::Kernel);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
