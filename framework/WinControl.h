// A component that owns one window. Every window of the program is created
// through CreateHandle, which binds it to its object before its first
// message; one window procedure then dispatches to the object's WndProc.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Component.h"
#include "framework/Graphics.h"

class TPopupMenu;

struct TCreateParams {
  const wchar_t* ClassName;
  DWORD Style;
  DWORD ExStyle;
  int X, Y, Width, Height;
  HWND Parent;
};

class TWinControl : public TComponent {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  HWND Handle() const { return FHandle; }
  // The object bound to a window of the calling thread; null for any other
  // window. Holds whatever has subclassed the window since.
  static TWinControl* FromHandle(HWND window);

  // The text the control shows; its window text is the same.
  std::string Text() const;
  void SetText(const std::string& text);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);
  RECT BoundsRect() const;  // in the parent's client area (screen for top level)

  TFont& Font() { return FFont; }
  void FontChanged();
  TColor Color() const { return FColor; }
  void SetColor(TColor c);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu) { FPopupMenu = menu; }

  void Invalidate();
  void DestroyHandle();
  // How the window draws its text, as the look query (LookMessage) answers.
  virtual std::wstring Look();

 protected:
  void CreateHandle(const TCreateParams& params, const std::string& text);
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // A notification that the parent received for this control (WM_COMMAND,
  // WM_CTLCOLOR*, WM_DRAWITEM). Return true when handled, with the result.
  virtual bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Brush for the control's background colour, made on demand.
  HBRUSH BackgroundBrush();

 private:
  static LRESULT CALLBACK WindowProcedure(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
  void Attach(HWND window);
  void Detach();

  HWND FHandle = nullptr;
  WNDPROC FClassProc = nullptr;
  TFont FFont;
  TColor FColor = clBtnFace;
  TBrushHandle FBrush;
  TColor FBrushColor = 0;
  TPopupMenu* FPopupMenu = nullptr;
};

// Registers a plain window class of the program's own, once.
const wchar_t* OwnWindowClass(const wchar_t* name, UINT style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
