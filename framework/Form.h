// A top-level window built from a description: the framework creates every
// control of the description, binds the form's members, calls Loaded() on
// each component and then the form's create handler.
#pragma once

#include <windows.h>

#include <string>
#include <type_traits>
#include <vector>

#include "framework/Controls.h"

// Inside BindControls: the member `name` takes the control of the same name.
#define BIND_CONTROL(name) name = Find<std::remove_pointer_t<decltype(name)>>(#name)

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

// While it lives, every visible and enabled window of a thread but one is
// disabled; they are enabled again when it goes.
class TDisabledWindows {
 public:
  TDisabledWindows(DWORD threadId, HWND except);
  ~TDisabledWindows();
  TDisabledWindows(const TDisabledWindows&) = delete;
  TDisabledWindows& operator=(const TDisabledWindows&) = delete;

 private:
  static BOOL CALLBACK DisableOne(HWND window, LPARAM self);
  std::vector<HWND> FWindows;
  HWND FExcept;
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
  // The form's own message map; return true when a message was handled.
  virtual bool MessageMap(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The first control of the description that takes the keyboard focus now.
  HWND FirstFocusable() const;

 private:
  void Position();
  const TFormDesc& FDesc;
  int FPixelsPerInch = 96;
  bool FModal = false;
  int FModalResult = mrNone;
  bool FDestroying = false;
  TButton* FDefaultButton = nullptr;
};
