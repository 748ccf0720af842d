// Windows for the monitor's in-process tests and the scan benchmark: a form
// built from the main window's own description, whose view the monitor gets
// as the main window fills it, and a plain stand-in for the Waiting window.
#pragma once

#include <functional>
#include <string>

#include "framework/Controls.h"
#include "framework/Form.h"
#include "monitor/MonitorView.h"

namespace MonitorTest {

class TMonitorWindow : public TForm {
 public:
  explicit TMonitorWindow(TComponent* owner = nullptr);
  ~TMonitorWindow() override;

  TListBox* List() const { return Find<TListBox>("ModulesListBox"); }
  TWinControl* Control(const char* name) const { return Find<TWinControl>(name); }
  std::string TextOf(const char* name) const;
  bool EnabledOf(const char* name) const;
  TColor LampOf(const char* name) const;

  // Runs when the window's caption is set, with the caption.
  std::function<void(const std::string&)> OnCaption;

  bool Busy = false;
  bool MonitorStarted = false;

 protected:
  bool MessageMap(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class TWaitingWindow : public TForm {
 public:
  explicit TWaitingWindow(TComponent* owner = nullptr);
};

// The view the monitor thread gets: both windows and the main window's flags.
TMonitorView ViewOf(TMonitorWindow& main, TWaitingWindow* waiting);

}  // namespace MonitorTest
