// The application object: its window (which carries the taskbar button and
// the title, and owns the forms), the message loop, the short-cut hook that
// sees every key press first, and message boxes modal to all the program's
// windows.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "framework/Form.h"
#include "framework/WinControl.h"

class TApplication : public TWinControl, public TFormHost {
 public:
  TApplication();
  ~TApplication() override;

  void Initialize();
  std::string Title() const { return FTitle; }
  void SetTitle(const std::string& title);

  // Creates a form, builds it from its description; the first one made is
  // the main form.
  template <class F>
  void CreateForm(F*& ref) {
    ref = new F(this);
    if (!FMainForm) FMainForm = ref;
    ref->Build();
  }
  TForm* MainForm() const override { return FMainForm; }

  // The main form's close ends the application; another form's hides it.
  void CloseForm(TForm& form) override;
  // The main form's minimise minimises the application.
  bool MinimizeForm(TForm& form) override;
  // Shows the form with every other window of the thread disabled, and
  // handles messages until the form has a modal result, is hidden, or the
  // application terminates; the window active before is activated again.
  int ShowModal(TForm& form) override;

  void Run();
  // Waits for and handles one message.
  void HandleMessage();
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return FTerminated; }

  // The short-cut hook: every key press of every window, before the
  // focused control; set handled to swallow the key.
  std::function<void(const MSG& msg, bool& handled)> OnShortCut;

  // A message box modal to every window of the program, from any thread.
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);
  void ShowException(const std::exception& e);

  // Windows reported that devices came or went. The application window
  // takes the notice: it is unowned, so the broadcast reaches it also while
  // the forms, which it owns, are hidden (the program minimised).
  std::function<void(WPARAM event)> OnDeviceChange;

  bool ShowMainForm = true;

  void Minimize();
  void Restore();

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  bool ProcessMessage(MSG& msg);
  // The menu short cuts, the short-cut hook and the default button; true
  // when one of them took the key.
  bool HandleKey(const MSG& msg);
  void DestroyForms();
  std::string FTitle;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FMinimized = false;
};

extern TApplication* Application;
