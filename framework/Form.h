// A top-level window built from a description: the framework creates every
// control of the description, binds the form's members, calls Loaded() on
// each component and then the form's create handler.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "framework/Exception.h"

// Inside BindControls: the member `name` takes the control of the same name;
// a control missing from the description, or of another type, raises.
#define BIND_CONTROL(name) Bind(name, #name)

enum class TPosition { ScreenCenter, MainFormCenter };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };
enum class TCloseAction { None, Hide, Free };

struct TFormDesc {
  const char* Name;
  const char* Caption;
  int ClientWidth, ClientHeight;  // at the design resolution
  DWORD Style, ExStyle;
  TPosition Position;
  bool Scaled;  // sizes scaled from the design resolution to the screen's
  TFontDesc Font;
  TColor Color;
  const TControlDesc* Controls;
  size_t ControlCount;
};

class TForm;

// What a form leaves to the object that owns it and runs the program's forms
// (the application): which form is the main one, and the rules for closing,
// minimising and showing modally that depend on it.
class TFormHost {
 public:
  virtual TForm* MainForm() const = 0;
  // The close request of a form that is not shown modally.
  virtual void CloseForm(TForm& form) = 0;
  // True when the host took the form's minimise on itself.
  virtual bool MinimizeForm(TForm& form) = 0;
  // Runs the modal loop of a form already marked modal; its modal result.
  virtual int ShowModal(TForm& form) = 0;

 protected:
  ~TFormHost() = default;
};

class TForm : public TWinControl {
 public:
  TForm(TComponent* owner, const TFormDesc& desc);
  ~TForm() override;

  // Creation and destruction as the application object drives them.
  void Build();
  void Destroying();

  void Show();
  void Hide();
  void Close();
  // Shown modally by its host; mrCancel at once for a form without one.
  int ShowModal();
  bool Modal() const { return FModal; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int result) { FModalResult = result; }

  int PixelsPerInch() const { return FPixelsPerInch; }
  // Scales a size at the design resolution as this form's controls are.
  int Scaled(int designPixels) const;
  template <class T>
  T* Find(const char* name) const {
    return dynamic_cast<T*>(FindComponent(name));
  }
  // Tries the short cuts of the form's menu; true when one ran.
  bool IsShortCut(const MSG& msg);
  TButton* DefaultButton() const { return FDefaultButton; }
  // Enter: clicks the default button when there is one and it is enabled;
  // true when it did.
  bool PressDefaultButton();
  // Runs the close handler with the action given, hides the form when the
  // action is still Hide, and returns the action the handler left.
  TCloseAction CloseWith(TCloseAction action);

  // Handlers, overridden by each form.
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormHide() {}
  virtual void FormClose(TCloseAction&) {}
  virtual void FormDestroy() {}

 protected:
  // Binds the form's member references to the controls built from the
  // description (BIND_CONTROL for each); runs before Loaded().
  virtual void BindControls() {}
  // The control of that name, of the member's type; raises TException when
  // there is none.
  template <class T>
  void Bind(T*& member, const char* name) const {
    TComponent* found = FindComponent(name);
    member = dynamic_cast<T*>(found);
    if (member) return;
    const std::string what = found ? "элемент " + std::string(name) + " другого типа" : "нет элемента " + std::string(name);
    throw TException(Name() + ": " + what);
  }
  // The form's own message map; return true when a message was handled.
  virtual bool MessageMap(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The first control of the description that takes the keyboard focus now.
  HWND FirstFocusable() const;

 private:
  // The application that owns the form; null for a form owned otherwise.
  TFormHost* Host() const { return dynamic_cast<TFormHost*>(Owner()); }
  TWinControl* ParentFor(const TControlDesc& desc);
  // A system command the form refuses or its host takes; true when done.
  bool SystemCommand(WPARAM command);
  void Position();
  const TFormDesc& FDesc;
  int FPixelsPerInch = 96;
  bool FModal = false;
  int FModalResult = mrNone;
  bool FDestroying = false;
  TButton* FDefaultButton = nullptr;
};
