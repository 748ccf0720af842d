// The program's main window and Waiting window under an application object,
// and a monitor thread on them that never runs its own body: the test thread
// plays the window thread (hand-overs run inline) and drives the scan and
// its hand-overs itself, against the slot fake.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/MainForm.h"
#include "framework/Thread.h"
#include "monitor/ModulesMonitorThread.h"
#include "tests/support/BoxAnswerer.h"
#include "tests/support/FakeCorvane.h"
#include "windows/WaitingPanel.h"

namespace MonitorTest {

using namespace CorvaneFake;

class MonitorFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildWindows();
    {
      // A start-up fault shows its message box on this thread: answered, so
      // that the checks below fail instead of waiting for a click.
      TBoxAnswerer boxes(GetCurrentThreadId());
      Start();
    }
    ASSERT_NE(Thread->Device, nullptr);
    ASSERT_EQ(Thread->ErrorReported, 0) << Thread->ErrorText;
  }

  void TearDown() override {
    Stop();
    delete App;
  }

  void BuildWindows() {
    App = new TApplication();
    App->Initialize();
    App->CreateForm(MainForm);
    App->CreateForm(WaitingPanel);
    Window = MainForm;
  }
  // A thread on the windows, through its start-up step.
  void Start() {
    Thread.reset(new TModulesMonitorThread(true, Window->MonitorView(), Fake.Library()));
    Thread->StartUp();
  }
  void Stop() {
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

  TListBox& List() { return *Window->ModulesListBox; }
  std::string Line(int i) { return List().Item(i); }
  TWinControl* Control(const char* name) { return Window->Find<TWinControl>(name); }
  std::string Text(const char* name) {
    TWinControl* c = Control(name);
    return c ? c->Text() : "<no control " + std::string(name) + ">";
  }
  bool Enabled(const char* name) {
    TWinControl* c = Control(name);
    return c && c->Enabled();
  }
  TColor Lamp(const char* name) {
    TShape* lamp = Window->Find<TShape>(name);
    return lamp ? lamp->BrushColor() : 0x12345678;
  }
  static std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }
  template <size_t N>
  static std::string Field(const char (&text)[N]) {
    return Field(text, N);
  }
  bool WaitingVisible() { return IsWindowVisible(WaitingPanel->Handle()) != FALSE; }

  TFakeSlots Fake;
  TApplication* App = nullptr;
  TMainForm* Window = nullptr;
  std::unique_ptr<TModulesMonitorThread> Thread;
};

}  // namespace MonitorTest
