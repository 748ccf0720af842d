// A monitor thread that never runs its own body: the test thread plays the
// window thread (hand-overs run inline) and drives the scan and its
// hand-overs itself, against the slot fake and the test windows.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "framework/Thread.h"
#include "monitor/ModulesMonitorThread.h"
#include "tests/monitor/MonitorWindow.h"
#include "tests/support/FakeCorvane.h"

namespace MonitorTest {

using namespace CorvaneFake;

class MonitorFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSynchronizeTarget(GetCurrentThreadId(), nullptr);
    Window.Build();
    Waiting.Build();
    Thread.reset(new TModulesMonitorThread(true, ViewOf(Window, &Waiting), Fake.Library()));
    Thread->StartUp();
    ASSERT_NE(Thread->Device, nullptr);
    ASSERT_EQ(Thread->ErrorReported, 0);
  }

  void TearDown() override {
    if (Thread) Thread->FinishMonitoring();
    Thread.reset();
  }

  // One poll cycle as the thread body runs it, without the pause.
  void Cycle(int times = 1) {
    for (int i = 0; i < times; ++i) {
      Thread->ScanSlots();
      Thread->RefreshDetails();
    }
  }

  TListBox& List() { return *Window.List(); }
  std::string Line(int i) { return List().Item(i); }
  std::string Text(const char* name) { return Window.TextOf(name); }
  static std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }
  template <size_t N>
  static std::string Field(const char (&text)[N]) {
    return Field(text, N);
  }
  bool WaitingVisible() { return IsWindowVisible(Waiting.Handle()) != FALSE; }

  TFakeSlots Fake;
  TMonitorWindow Window;
  TWaitingWindow Waiting;
  std::unique_ptr<TModulesMonitorThread> Thread;
};

}  // namespace MonitorTest
