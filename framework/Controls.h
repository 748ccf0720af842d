// The standard controls that forms place, each built from one entry of its
// form's description. Standard window classes where they do the job, so
// keyboard access and screen readers work; painted classes for the lamp and
// the segmented bar.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/WinControl.h"

enum TControlFlag : unsigned {
  cfBorder = 1u << 0,      // single line border
  cfRaised = 1u << 1,      // raised frame, one pixel wide
  cfSunken = 1u << 2,      // sunken edge
  cfBump = 1u << 3,        // raised outside, sunken inside
  cfCentre = 1u << 4,      // text centred horizontally
  cfVCentre = 1u << 5,     // single line, centred vertically
  cfDisabled = 1u << 6,    // created disabled
  cfPopup = 1u << 7,       // takes the form's popup menu
  cfDefault = 1u << 8,     // the default push button
  cfHandCursor = 1u << 9,  // hand-pointer cursor
  cfTabStop = 1u << 10,    // takes the focus with Tab
  cfNoBorder = 1u << 11,   // no border at all
};

class TControl;
class TForm;

// One control of a form's description: sizes at the design resolution.
struct TControlDesc {
  TControl* (*Make)(TComponent* owner);
  const char* Name;
  const char* Parent;  // name of the parent control; empty or null: the form
  int Left, Top, Width, Height;
  const char* Text;    // lines separated by '\n' for lists and memos
  TFontDesc Font;      // Face null: the parent's font
  TColor Color;        // background
  unsigned Flags;
};

// The font of a description entry that takes its parent's font.
constexpr TFontDesc ParentFont = {nullptr, 0, 0, 0, 0};

template <class T>
TControl* Make(TComponent* owner) {
  return new T(owner);
}

// A child control built from a description entry.
class TControl : public TWinControl {
 public:
  using TWinControl::TWinControl;
  virtual void Build(TWinControl* parent, const TControlDesc& desc, int pixelsPerInch, bool scaled);
  unsigned Flags() const { return FFlags; }

 protected:
  virtual const wchar_t* WindowClass() const = 0;
  virtual DWORD WindowStyle() const;
  virtual DWORD WindowExStyle() const;
  virtual void AfterBuild(const TControlDesc&) {}
  // The window text the control is created with: the description's text,
  // unless it has several lines.
  virtual std::string CreationText(const TControlDesc& desc) const;
  bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  unsigned FFlags = 0;
};

class TStaticText : public TControl {
 public:
  using TControl::TControl;

 protected:
  const wchar_t* WindowClass() const override { return L"STATIC"; }
  DWORD WindowStyle() const override;
};

// A caption label: a static text without a frame.
class TLabel : public TStaticText {
 public:
  using TStaticText::TStaticText;
};

class TGroupBox : public TControl {
 public:
  using TControl::TControl;

 protected:
  const wchar_t* WindowClass() const override { return L"BUTTON"; }
  DWORD WindowStyle() const override;
  void AfterBuild(const TControlDesc& desc) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class TListBox : public TControl {
 public:
  using TControl::TControl;
  int Count() const;
  std::string Item(int index) const;
  void Add(const std::string& text);
  void SetItem(int index, const std::string& text);  // replaces in place, keeps the selection
  int ItemIndex() const;
  void SetItemIndex(int index);
  void SetItemHeight(int height);
  bool Focused() const;
  void SetFocus();

 protected:
  const wchar_t* WindowClass() const override { return L"LISTBOX"; }
  DWORD WindowStyle() const override;
  DWORD WindowExStyle() const override { return 0; }
  void AfterBuild(const TControlDesc& desc) override;
  // The description's text gives the lines; the list has no text of its own.
  std::string CreationText(const TControlDesc&) const override { return std::string(); }
};

// A control that paints itself: its background colour, then Paint over it.
class TPaintedControl : public TControl {
 public:
  using TControl::TControl;

 protected:
  virtual void Paint(HDC dc, const RECT& client) = 0;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// A filled circle: an indicator lamp.
class TShape : public TPaintedControl {
 public:
  using TPaintedControl::TPaintedControl;
  TColor BrushColor() const { return FBrushColor; }
  void SetBrushColor(TColor color);
  std::wstring Look() override;

 protected:
  const wchar_t* WindowClass() const override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Paint(HDC dc, const RECT& client) override;

 private:
  TColor FBrushColor = clBtnFace;
};

// A progress bar drawn as separate small bars.
class TProgressBar : public TPaintedControl {
 public:
  using TPaintedControl::TPaintedControl;
  int Position() const { return FPosition; }
  void SetPosition(int position);
  int Step() const { return FStep; }
  void SetStep(int step) { FStep = step; }
  void SetBars(int count, int gap, TColor color);

 protected:
  const wchar_t* WindowClass() const override;
  void AfterBuild(const TControlDesc& desc) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Paint(HDC dc, const RECT& client) override;

 private:
  int FPosition = 0, FDrawnPosition = -100, FStep = 10, FBars = 25, FGap = 5;
  TColor FBarColor = clNavy;
};

class TButton : public TControl {
 public:
  using TControl::TControl;
  std::function<void()> OnClick;
  void Click();

 protected:
  const wchar_t* WindowClass() const override { return L"BUTTON"; }
  DWORD WindowStyle() const override;
  bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A multi-line edit control.
class TMemo : public TControl {
 public:
  using TControl::TControl;
  int LineCount() const;
  std::string Line(int index) const;

 protected:
  const wchar_t* WindowClass() const override { return L"EDIT"; }
  DWORD WindowStyle() const override;
  // A description text of several lines ('\n') becomes the memo's lines.
  void AfterBuild(const TControlDesc& desc) override;
};

// A timer; OnTimer runs on the window thread while it runs.
class TTimer : public TWinControl {
 public:
  explicit TTimer(TComponent* owner);
  bool Running() const { return FRunning; }
  void SetRunning(bool running);
  UINT Interval() const { return FInterval; }
  void SetInterval(UINT ms);
  std::function<void()> OnTimer;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Update();
  bool FRunning = false;
  UINT FInterval = 1000;
};

// Splits text at '\n' into lines.
std::vector<std::string> SplitLines(const char* text);
