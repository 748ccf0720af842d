#include "framework/Controls.h"

#include <commctrl.h>

#include <cstring>

#include "framework/ProbeQueries.h"
#include "framework/Menus.h"
#include "framework/Text.h"
#include "framework/Theme.h"

std::vector<std::string> SplitLines(const char* text) {
  std::vector<std::string> lines;
  if (!text) return lines;
  const char* start = text;
  for (const char* p = text;; ++p) {
    if (*p == '\n' || *p == '\0') {
      lines.emplace_back(start, static_cast<size_t>(p - start));
      if (*p == '\0') break;
      start = p + 1;
    }
  }
  return lines;
}

// --- TControl ---------------------------------------------------------------

DWORD TControl::WindowStyle() const {
  DWORD s = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  if (FFlags & cfBorder) s |= WS_BORDER;
  if (FFlags & cfDisabled) s |= WS_DISABLED;
  if (FFlags & cfTabStop) s |= WS_TABSTOP;
  return s;
}

DWORD TControl::WindowExStyle() const {
  DWORD s = 0;
  if (FFlags & cfSunken) s |= WS_EX_STATICEDGE;
  return s;
}

void TControl::Build(TWinControl* parent, const TControlDesc& d, int ppi, bool scaled) {
  FFlags = d.Flags;
  auto sc = [&](int v) { return scaled ? Scale(v, ppi) : v; };
  if (d.Font.Face)
    Font().Assign(d.Font, scaled ? ppi : DesignPixelsPerInch);
  else
    Font().Assign(parent->Font());
  SetColor(d.Color == clParent ? parent->Color() : d.Color);
  TCreateParams p = {WindowClass(), WindowStyle(), WindowExStyle(), sc(d.Left), sc(d.Top), sc(d.Width),
                     sc(d.Height), parent->Handle()};
  CreateHandle(p, CreationText(d));
  if ((FFlags & cfPopup) && !PopupMenu()) {
    for (TComponent* c = Owner(); c; c = c->Owner()) {
      auto* w = dynamic_cast<TWinControl*>(c);
      if (w && w->PopupMenu()) {
        SetPopupMenu(w->PopupMenu());
        break;
      }
    }
  }
  AfterBuild(d);
}

std::string TControl::CreationText(const TControlDesc& d) const {
  return d.Text && !std::strchr(d.Text, '\n') ? d.Text : "";
}

bool TControl::Reflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
  if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORLISTBOX || msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORBTN) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    result = reinterpret_cast<LRESULT>(BackgroundBrush());
    return true;
  }
  return false;
}

LRESULT TControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETCURSOR && (FFlags & cfHandCursor)) {
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
    return TRUE;
  }
  // The raised frame: one pixel taken from the window's edge (the dialog
  // frame the system offers is three pixels wide and leaves the text of a
  // 23-pixel box no room). The bump edge, raised outside and sunken inside,
  // takes two.
  const int frame = (FFlags & cfBump) ? 2 : (FFlags & cfRaised) ? 1 : 0;
  if (msg == WM_NCCALCSIZE && frame) {
    LRESULT result = TWinControl::WndProc(msg, wParam, lParam);
    InflateRect(reinterpret_cast<RECT*>(lParam), -frame, -frame);  // the first rectangle of either form
    return result;
  }
  if (msg == WM_NCPAINT && frame) {
    LRESULT result = TWinControl::WndProc(msg, wParam, lParam);
    TWindowDC dc(Handle(), true);
    RECT r;
    GetWindowRect(Handle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    if (dc.Get()) DrawEdge(dc.Get(), &r, (FFlags & cfBump) ? EDGE_BUMP : BDR_RAISEDINNER, BF_RECT);
    return result;
  }
  return TWinControl::WndProc(msg, wParam, lParam);
}

// --- TStaticText --------------------------------------------------------------

DWORD TStaticText::WindowStyle() const {
  DWORD s = TControl::WindowStyle() | SS_NOPREFIX;
  s |= (FFlags & cfCentre) ? SS_CENTER : SS_LEFT;
  if (FFlags & cfVCentre) s |= SS_CENTERIMAGE;
  return s;
}

// --- TGroupBox ----------------------------------------------------------------

DWORD TGroupBox::WindowStyle() const { return TControl::WindowStyle() | BS_GROUPBOX | WS_CLIPCHILDREN; }

// The caption keeps the colour of the description under visual styles too.
void TGroupBox::AfterBuild(const TControlDesc&) { UseClassicLook(Handle()); }

LRESULT TGroupBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  // The standard group box paints only its frame and caption; it holds other
  // controls here, so it fills its own face first.
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(Handle(), &r);
    FillRect(reinterpret_cast<HDC>(wParam), &r, BackgroundBrush());
    return 1;
  }
  return TControl::WndProc(msg, wParam, lParam);
}

// --- TListBox -----------------------------------------------------------------

DWORD TListBox::WindowStyle() const {
  return TControl::WindowStyle() | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER;
}

void TListBox::AfterBuild(const TControlDesc& desc) {
  for (const std::string& line : SplitLines(desc.Text))
    if (!line.empty()) Add(line);
}

int TListBox::Count() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

std::string TListBox::Item(int index) const {
  LRESULT n = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == LB_ERR) return std::string();
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  n = SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&w[0]));
  return n == LB_ERR ? std::string() : Narrow(w.data(), static_cast<int>(n));
}

void TListBox::Add(const std::string& text) {
  SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void TListBox::SetItem(int index, const std::string& text) {
  int selected = ItemIndex();
  SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
  SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(Widen(text).c_str()));
  SetItemIndex(selected);
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
}

int TListBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void TListBox::SetItemIndex(int index) { SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void TListBox::SetItemHeight(int height) {
  SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
  Invalidate();
}

bool TListBox::Focused() const { return Handle() && GetFocus() == Handle(); }

void TListBox::SetFocus() {
  if (Handle()) ::SetFocus(Handle());
}

// --- TPaintedControl ---------------------------------------------------------

LRESULT TPaintedControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg != WM_PAINT) return TControl::WndProc(msg, wParam, lParam);
  TPaintDC dc(Handle());
  RECT r;
  GetClientRect(Handle(), &r);
  FillRect(dc.Get(), &r, BackgroundBrush());
  Paint(dc.Get(), r);
  return 0;
}

// --- TShape -------------------------------------------------------------------

const wchar_t* TShape::WindowClass() const { return OwnWindowClass(L"QuendalShape"); }

void TShape::SetBrushColor(TColor color) {
  if (color == FBrushColor) return;
  FBrushColor = color;
  Invalidate();
}

std::wstring TShape::Look() { return TControl::Look() + L";fill=" + RgbText(FBrushColor); }

LRESULT TShape::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  return TPaintedControl::WndProc(msg, wParam, lParam);
}

void TShape::Paint(HDC dc, const RECT& r) {
  TBrushHandle brush(CreateSolidBrush(ColorToRGB(FBrushColor)));
  HGDIOBJ oldBrush = SelectObject(dc, brush.Get());
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  Ellipse(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

// --- TProgressBar -------------------------------------------------------------

const wchar_t* TProgressBar::WindowClass() const { return OwnWindowClass(L"QuendalProgressBar"); }

void TProgressBar::AfterBuild(const TControlDesc& desc) {
  if (desc.Text) SetPosition(atoi(desc.Text));
}

void TProgressBar::SetBars(int count, int gap, TColor color) {
  FBars = count > 0 ? count : 1;
  FGap = gap >= 0 ? gap : 0;
  FBarColor = color;
  Invalidate();
}

void TProgressBar::SetPosition(int position) {
  if (position < 0) position = 0;
  if (position > 100) position = 100;
  FPosition = position;
  // Redraw only when the bar moved noticeably, or reached either end.
  int moved = FPosition - FDrawnPosition;
  if (moved >= 2 || moved <= -2 || FPosition == 0 || FPosition == 100) {
    FDrawnPosition = FPosition;
    Invalidate();
  }
}

LRESULT TProgressBar::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == PBM_GETPOS) return FPosition;
  return TPaintedControl::WndProc(msg, wParam, lParam);
}

void TProgressBar::Paint(HDC dc, const RECT& r) {
  int width = r.right - r.left - 2, height = r.bottom - r.top - 2;
  int bar = (width - FGap * (FBars - 1)) / FBars;
  if (bar < 1) bar = 1;
  int lit = (FDrawnPosition * FBars + 50) / 100;
  TBrushHandle brush(CreateSolidBrush(ColorToRGB(FBarColor)));
  for (int i = 0; i < lit && i < FBars; ++i) {
    RECT b = {1 + i * (bar + FGap), 1, 1 + i * (bar + FGap) + bar, 1 + height};
    FillRect(dc, &b, brush.Get());
  }
}

// --- TButton ------------------------------------------------------------------

DWORD TButton::WindowStyle() const {
  return TControl::WindowStyle() | WS_TABSTOP | ((FFlags & cfDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::Click() {
  if (OnClick) OnClick();
}

bool TButton::Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    Click();
    result = 0;
    return true;
  }
  return TControl::Reflected(msg, wParam, lParam, result);
}

// --- TMemo --------------------------------------------------------------------

DWORD TMemo::WindowStyle() const { return TControl::WindowStyle() | ES_MULTILINE | ES_READONLY; }

void TMemo::AfterBuild(const TControlDesc& desc) {
  if (!desc.Text || !std::strchr(desc.Text, '\n')) return;
  std::vector<std::string> lines = SplitLines(desc.Text);
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  SetText(text);
}

int TMemo::LineCount() const { return static_cast<int>(SendMessageW(Handle(), EM_GETLINECOUNT, 0, 0)); }

std::string TMemo::Line(int index) const {
  LRESULT first = SendMessageW(Handle(), EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (first < 0) return std::string();
  LRESULT length = SendMessageW(Handle(), EM_LINELENGTH, static_cast<WPARAM>(first), 0);
  std::wstring w(static_cast<size_t>(length) + 2, L'\0');
  *reinterpret_cast<WORD*>(&w[0]) = static_cast<WORD>(w.size());
  LRESULT n = SendMessageW(Handle(), EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&w[0]));
  return Narrow(w.data(), static_cast<int>(n));
}

// --- TTimer -------------------------------------------------------------------

TTimer::TTimer(TComponent* owner) : TWinControl(owner) {
  TCreateParams p = {OwnWindowClass(L"QuendalTimer"), 0, 0, 0, 0, 0, 0, HWND_MESSAGE};
  CreateHandle(p, "");
}

void TTimer::SetRunning(bool running) {
  FRunning = running;
  Update();
}

void TTimer::SetInterval(UINT ms) {
  FInterval = ms;
  Update();
}

void TTimer::Update() {
  KillTimer(Handle(), 1);
  if (FRunning && FInterval > 0) SetTimer(Handle(), 1, FInterval, nullptr);
}

LRESULT TTimer::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == 1) {
    if (OnTimer) OnTimer();
    return 0;
  }
  return TWinControl::WndProc(msg, wParam, lParam);
}
