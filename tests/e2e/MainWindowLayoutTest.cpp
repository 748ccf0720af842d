// The main window as designed: every control, the window's frame and
// placement at 96, 120 and 144 pixels per inch, and the fixed texts that
// stay once the program runs.
//
// The window as created is read from a program that finds the
// single-instance lock taken: it builds its main window completely, asks its
// question while the window is still hidden and untouched, and never shows
// it, so no monitor thread ever writes into it. A running program's window
// is the same window after the monitor's first rendering, which replaces
// the placeholders; there the tests check only what that rendering leaves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MainFormLayout.h"
#include "e2e/E2EPixels.h"
#include "e2e/Harness.h"
#include "e2e/RunSupport.h"
#include "e2e/ShellSupport.h"

using namespace Inspector;
using namespace E2ERun;

namespace {

// ---- The layout as the program describes it (pixels at 120 pixels per inch)

enum class TKind { StaticText, BoxedText, List, GroupBox, Label, Lamp, ValueBox, SubBox };

struct TDesigned {
  std::string Name;
  TKind Kind;
  std::string Parent;  // empty: the window itself
  int Left, Top, Width, Height;
  std::string Text;  // window text at creation
  const char* Face;  // null: not looked at (the lamps show no text)
  int FontHeight;
  bool Bold, Fixed;
  TColor TextColour;
  TColor Back;
  bool Popup;    // carries the popup menu itself
  bool Centred;  // text centred horizontally
};

TKind KindOf(const TControlDesc& d) {
  if (d.Make == &Make<TListBox>) return TKind::List;
  if (d.Make == &Make<TGroupBox>) return d.Parent && *d.Parent ? TKind::SubBox : TKind::GroupBox;
  if (d.Make == &Make<TShape>) return TKind::Lamp;
  if (d.Make == &Make<TLabel>) return TKind::Label;
  if (d.Flags & cfBorder) return TKind::BoxedText;
  return d.Flags & cfRaised ? TKind::ValueBox : TKind::StaticText;
}

// Every control of the main window's description, as the window must show it.
std::vector<TDesigned> Layout() {
  const TFormDesc& form = MainFormDescription;
  std::vector<TDesigned> v;
  for (const TControlDesc* d = form.Controls; d != form.Controls + form.ControlCount; ++d) {
    TKind kind = KindOf(*d);
    v.push_back({d->Name, kind, d->Parent ? d->Parent : "", d->Left, d->Top, d->Width, d->Height,
                 kind == TKind::List ? "" : d->Text, d->Font.Face, d->Font.Height, (d->Font.Style & fsBold) != 0,
                 (d->Font.Style & fsFixedPitch) != 0, d->Font.Color, d->Color == clParent ? form.Color : d->Color,
                 (d->Flags & cfPopup) != 0, (d->Flags & cfCentre) != 0});
  }
  return v;
}

// A colour as the look query writes it, system colours resolved.
std::string Colour(TColor colour) {
  COLORREF c = ColorToRGB(colour);
  char text[8];
  std::snprintf(text, sizeof(text), "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

std::string ClassOf(HWND h) {
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  std::string s;
  for (const wchar_t* p = cls; *p; ++p) s += static_cast<char>(towlower(*p));
  return s;
}

LONG Style(HWND h) { return GetWindowLongW(h, GWL_STYLE); }

// The control's bounds in its parent's client area.
RECT InParent(HWND h) {
  RECT r = {};
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Bounds at the resolution: exact at the design resolution, within a pixel
// of the scaled design elsewhere.
void ExpectBounds(const RECT& r, int left, int top, int width, int height, int dpi) {
  int tolerance = dpi == 120 ? 0 : 1;
  EXPECT_NEAR(r.left, Shell::Scale(left, dpi), tolerance) << "left";
  EXPECT_NEAR(r.top, Shell::Scale(top, dpi), tolerance) << "top";
  EXPECT_NEAR(r.right - r.left, Shell::Scale(width, dpi), tolerance) << "width";
  EXPECT_NEAR(r.bottom - r.top, Shell::Scale(height, dpi), tolerance) << "height";
}

void ExpectFont(HWND h, const char* face, int height, bool bold, int dpi) {
  std::string look = Look(h);
  ASSERT_FALSE(look.empty()) << "no answer to the look query";
  EXPECT_EQ(LookValue(look, "face"), face) << look;
  EXPECT_EQ(LookValue(look, "height"), std::to_string(Shell::Scale(height, dpi))) << look;
  EXPECT_EQ(LookValue(look, "weight"), bold ? "700" : "400") << look;
  EXPECT_EQ(LookValue(look, "italic"), "0") << look;
  EXPECT_EQ(LookValue(look, "charset"), std::to_string(RUSSIAN_CHARSET)) << look;
}

// Checks one control of the window as created against its design.
void ExpectAsDesigned(HWND main, const TDesigned& d, int dpi) {
  SCOPED_TRACE(d.Name);
  HWND h = FindControl(main, d.Name);
  ASSERT_NE(h, nullptr) << "no control answers to the name";
  HWND parent = GetParent(h);
  EXPECT_EQ(parent == main ? std::string() : ControlName(parent), d.Parent) << "parent";

  // Kind.
  std::string cls = ClassOf(h);
  LONG style = Style(h);
  RECT window = {}, client = {};
  GetWindowRect(h, &window);
  GetClientRect(h, &client);
  int frameX = (window.right - window.left) - client.right, frameY = (window.bottom - window.top) - client.bottom;
  switch (d.Kind) {
    case TKind::StaticText:
    case TKind::Label:
      EXPECT_EQ(cls, "static");
      EXPECT_EQ(style & WS_BORDER, 0) << "a frame";
      EXPECT_EQ(frameX, 0) << "a frame";
      break;
    case TKind::BoxedText:
      EXPECT_EQ(cls, "static");
      EXPECT_NE(style & WS_BORDER, 0) << "no single border";
      break;
    case TKind::ValueBox:
      EXPECT_EQ(cls, "static");
      // The raised frame: one pixel all round, outside the text's room.
      EXPECT_EQ(frameX, 2);
      EXPECT_EQ(frameY, 2);
      break;
    case TKind::List:
      EXPECT_EQ(cls, "listbox");
      EXPECT_EQ(style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0) << "more than single selection";
      EXPECT_EQ(SendMessageW(h, LB_GETITEMHEIGHT, 0, 0), Shell::Scale(20, dpi)) << "line height";
      ASSERT_EQ(ListLines(h).size(), 1u) << "one placeholder line";
      EXPECT_FALSE(ListLines(h)[0].empty());
      break;
    case TKind::GroupBox:
    case TKind::SubBox:
      EXPECT_EQ(cls, "button");
      EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
      break;
    case TKind::Lamp:
      EXPECT_EQ(cls, "quendalshape");
      EXPECT_EQ(LookValue(Look(h), "fill"), Colour(clBtnFace)) << "lit at creation";
      break;
  }
  if (d.Centred) {
    EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER) << "text not centred";
  }

  // State, text, bounds.
  EXPECT_NE(style & WS_VISIBLE, 0) << "hidden";
  EXPECT_TRUE(Enabled(h)) << "disabled";
  EXPECT_EQ(Text(h), d.Text);
  ExpectBounds(InParent(h), d.Left, d.Top, d.Width, d.Height, dpi);

  // Font and colours.
  std::string look = Look(h);
  if (d.Face) {
    ExpectFont(h, d.Face, d.FontHeight, d.Bold, dpi);
    if (d.Fixed) {
      EXPECT_EQ(LookValue(look, "fixed"), "1") << "the font drawn is not fixed-pitch: " << look;
    }
    EXPECT_EQ(LookValue(look, "text"), Colour(d.TextColour)) << look;
  }
  EXPECT_EQ(LookValue(look, "back"), Colour(d.Back)) << look;

  // Popup menu: carried, or left to the parent.
  EXPECT_EQ(PopupMenuText(h).empty(), !d.Popup) << "popup menu";
}

// A program that finds the lock taken: it stops at its question with its
// main window built and hidden.
class TGuardedRun {
 public:
  TGuardedRun() : FLock(Shell::THeldName::Mutex, Shell::Title) {}
  bool Start() {
    if (!FLock.Made() || !FRun.Start(OneModule, false)) return false;
    if (!FRun.FindBox(FBox, 15000)) return false;
    FMain = FindWindowNamed(FRun.ProcessId(), "MainForm", 5000);
    return FMain != nullptr;
  }
  HWND Main() const { return FMain; }
  const TMessageBox& Box() const { return FBox; }
  void Answer(DWORD& exitCode) {
    ASSERT_TRUE(PressButton(FBox, IDOK));
    ASSERT_TRUE(FRun.WaitExit(ExitTimeout, exitCode));
  }

 private:
  Shell::THeldName FLock;
  TQuendalRun FRun;
  TMessageBox FBox;
  HWND FMain = nullptr;
};

class AtResolution : public ::testing::TestWithParam<int> {};

TEST_P(AtResolution, EveryControlAndTheWindowAsDesigned) {
  const int dpi = GetParam();
  Shell::TScreenResolution resolution(static_cast<DWORD>(dpi));
  ASSERT_TRUE(resolution.Set());
  TGuardedRun run;
  ASSERT_TRUE(run.Start()) << "no program waiting at its question with its window built";
  HWND main = run.Main();

  // The window.
  EXPECT_FALSE(Visible(main));
  const TFormDesc& form = MainFormDescription;
  EXPECT_EQ(Text(main), form.Caption);
  RECT client = {};
  GetClientRect(main, &client);
  EXPECT_NEAR(client.right, Shell::Scale(form.ClientWidth, dpi), dpi == 120 ? 0 : 1);
  EXPECT_NEAR(client.bottom, Shell::Scale(form.ClientHeight, dpi), dpi == 120 ? 0 : 1);
  LONG style = Style(main), exStyle = GetWindowLongW(main, GWL_EXSTYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_EQ(style & WS_MAXIMIZEBOX, 0) << "a maximise button";
  EXPECT_EQ(style & WS_THICKFRAME, 0) << "a sizing border";
  EXPECT_EQ(exStyle & WS_EX_DLGMODALFRAME, 0) << "a double border";
  RECT r = {};
  GetWindowRect(main, &r);
  EXPECT_NEAR(r.left + (r.right - r.left) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "not centred across";
  EXPECT_NEAR(r.top + (r.bottom - r.top) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1) << "not centred down";
  ExpectFont(main, form.Font.Face, form.Font.Height, false, dpi);
  EXPECT_EQ(LookValue(Look(main), "text"), Colour(form.Font.Color));
  EXPECT_EQ(LookValue(Look(main), "back"), Colour(form.Color));

  // Every control, and no other named one.
  std::vector<TDesigned> layout = Layout();
  for (const TDesigned& d : layout) ExpectAsDesigned(main, d, dpi);
  size_t named = 0;
  for (HWND h : Controls(main)) {
    EXPECT_FALSE(ControlName(h).empty()) << "a control without a name, class " << ClassOf(h);
    ++named;
  }
  EXPECT_EQ(named, layout.size());

  DWORD code = 12345;
  run.Answer(code);
  EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Screen, AtResolution, ::testing::Values(96, 120, 144),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "ppi"; });

// ---- The running window ------------------------------------------------------

TEST(MainWindow, EveryControlIsShownAndTheFixedTextsStayAfterTheFirstRendering) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  ASSERT_TRUE(WaitFor([&] { return Visible(run.Main()); }, 5000));
  ASSERT_TRUE(AnotherScan(run));
  for (const TDesigned& d : Layout()) {
    SCOPED_TRACE(d.Name);
    HWND h = run.Control(d.Name);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(Visible(h));
    // The labels, the heading and the sub-box captions are never rewritten.
    if (d.Kind == TKind::Label || d.Kind == TKind::SubBox || d.Name == "SsModulesListStaticText") {
      EXPECT_EQ(Text(h), d.Text);
    }
  }
  EXPECT_EQ(Text(run.Control("ModulesListBox")), "") << "the list shows lines, no text of its own";
  EXPECT_EQ(Text(run.Control("ModuleLoadingLed")), "");
  EXPECT_EQ(Text(run.Control("UsbSpeedLed")), "");
  QuitWithShortCut(run);
}

}  // namespace
