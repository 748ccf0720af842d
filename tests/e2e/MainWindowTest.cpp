// The main window from outside: every control as designed at 96, 120 and 144
// pixels per inch, the window's frame and placement, the popup menu and its
// short cuts, the start request and what a screen reader reads.
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

#include "e2e/E2EPixels.h"
#include "e2e/Harness.h"
#include "e2e/ShellSupport.h"

using namespace Inspector;

namespace {

const DWORD ExitTimeout = 10000;
const char* const OneModule = "version 3.3\nslot 2 model=k200 name=K200 serial=E2E00001\n";
const char* const NoModule = "version 3.3\n";
const char* const Caption = "Мониторинг USB модулей от ЗАО \"Orvek\"";

// ---- The layout as designed (pixels at 120 pixels per inch) -----------------

enum class TKind { StaticText, BoxedText, List, GroupBox, Label, Lamp, ValueBox, SubBox };

// Colours as the look query writes them; the two system colours resolved.
const char* const WindowText = "windowtext";
const char* const ButtonFace = "buttonface";
const char* const Black = "000000";
const char* const White = "FFFFFF";
const char* const Navy = "000080";
const char* const Maroon = "800000";
const char* const Purple = "800080";

struct TDesigned {
  std::string Name;
  TKind Kind;
  std::string Parent;  // empty: the window itself
  int Left, Top, Width, Height;
  std::string Text;  // window text at creation
  const char* Face;  // null: not looked at (the lamps show no text)
  int FontHeight;
  bool Bold, Fixed;
  const char* TextColour;
  const char* Back;
  bool Popup;    // carries the popup menu itself
  bool Centred;  // text centred horizontally
};

std::vector<TDesigned> Layout() {
  const char* A = "Arial";
  const char* C = "Courier New";
  const std::string G = "ModuleGroupBox";
  std::vector<TDesigned> v = {
      {"SsModulesListStaticText", TKind::StaticText, "", 2, 5, 284, 25, "Список обнаруженных устройств:", A, 18, false, false,
       WindowText, ButtonFace, true, true},
      {"VirtualSlotStaticText", TKind::BoxedText, "", 297, 3, 32, 25, "88", A, 20, false, false, WindowText, White, true, true},
      {"ModulesListBox", TKind::List, "", 0, 30, 332, 513, "", C, 17, false, true, WindowText, White, true, false},
      {G, TKind::GroupBox, "", 333, 0, 326, 542, "Модуль ???", A, 18, false, false, Navy, ButtonFace, false, false},
      {"ModuleStatusLMDStaticText", TKind::Label, G, 41, 31, 127, 23, "Статус модуля", A, 18, false, false, Maroon, ButtonFace,
       true, false},
      {"ModuleLoadingLed", TKind::Lamp, G, 175, 26, 35, 35, "", nullptr, 0, false, false, nullptr, ButtonFace, false, false},
      {"SpeedModeStaticText", TKind::StaticText, G, 226, 33, 30, 21, "HS", C, 20, true, true, Maroon, ButtonFace, true, false},
      {"UsbSpeedLed", TKind::Lamp, G, 260, 30, 25, 25, "", nullptr, 0, false, false, nullptr, ButtonFace, false, false},
      {"SerialNumberLabelLMDStaticText", TKind::Label, G, 91, 72, 145, 23, "Серийный номер", A, 18, false, false, Maroon,
       ButtonFace, true, false},
      {"SerialNumberLMDStaticText", TKind::ValueBox, G, 2, 98, 320, 64, "WWWWWWWW", C, 60, true, true, Black, White, true, true},
      {"RevisionLabelLMDStaticText", TKind::Label, G, 16, 181, 72, 23, "Ревизия", A, 18, false, false, Maroon, ButtonFace, true,
       false},
      {"ModuleRevisionLMDStaticText", TKind::ValueBox, G, 94, 171, 46, 43, "C", C, 33, true, true, Black, White, true, false},
      {"DacLabelLMDStaticText", TKind::Label, G, 168, 181, 39, 23, "ЦАП", A, 18, false, false, Maroon, ButtonFace, true, false},
      {"DacLMDStaticText", TKind::ValueBox, G, 213, 171, 97, 43, "СССС", C, 33, true, true, Black, White, true, false},
      {"McuLMDGroupBox", TKind::SubBox, G, 3, 220, 320, 93, "Микроконтроллер", A, 18, false, false, Purple, ButtonFace, true,
       false},
      {"BootLoaderLMDGroupBox", TKind::SubBox, G, 3, 313, 320, 48, "Загрузчик", A, 18, false, false, Purple, ButtonFace, true,
       false},
      {"DspLMDGroupBox", TKind::SubBox, G, 3, 362, 320, 89, "DSP", A, 18, false, false, Purple, ButtonFace, true, false},
      {"PldLMDGroupBox", TKind::SubBox, G, 3, 451, 320, 89, "ПЛИС", A, 18, false, false, Purple, ButtonFace, true, false},
  };
  // The rows of the sub-boxes: a label at the left and a value box, one row
  // every 23 pixels from the top of the sub-box.
  struct TRow {
    const char* Box;
    const char* Text;
    const char* Label;
    const char* Value;
    int Index;
  };
  const TRow rows[] = {
      {"McuLMDGroupBox", "MCU", "McuTypeLabelLMDStaticText", "McuTypeLMDStaticText", 0},
      {"McuLMDGroupBox", "Частота", "McuFreqLabelLMDStaticText", "McuFreqLMDStaticText", 1},
      {"McuLMDGroupBox", "Версия", "McuFirmwareVersionLabelLMDStaticText", "McuFirmwareVersionLMDStaticText", 2},
      {"BootLoaderLMDGroupBox", "Версия", "McuBootLoadeVersionLabelLMDStaticText", "McuBootLoaderVersionLMDStaticText", 0},
      {"DspLMDGroupBox", "DSP", "DspTypeLabelLMDStaticText", "DspTypeLMDStaticText", 0},
      {"DspLMDGroupBox", "Частота", "DspFreqLabelLMDStaticText", "DspFreqLMDStaticText", 1},
      {"DspLMDGroupBox", "Версия", "DspFirmwareVersionLabelLMDStaticText", "DspFirmwareVersionLMDStaticText", 2},
      {"PldLMDGroupBox", "PLD", "PldTypeLabelLMDStaticText", "PldTypeLMDStaticText", 0},
      {"PldLMDGroupBox", "Частота", "PldFreqLabelLMDStaticText", "PldFreqLMDStaticText", 1},
      {"PldLMDGroupBox", "Версия", "PldFirmwareVersionLabelLMDStaticText", "PldFirmwareVersionLMDStaticText", 2},
  };
  for (const TRow& r : rows) {
    int top = 19 + 23 * r.Index;
    v.push_back({r.Label, TKind::Label, r.Box, 5, top + 3, 58, 17, r.Text, A, 15, false, false, Black, ButtonFace, false, false});
    v.push_back({r.Value, TKind::ValueBox, r.Box, 65, top, 250, 23, "CCCCCC", A, 17, false, false, Black, White, false, false});
  }
  return v;
}

std::string Colour(const char* designed) {
  auto hex = [](COLORREF c) {
    char text[8];
    std::snprintf(text, sizeof(text), "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return std::string(text);
  };
  if (std::string(designed) == WindowText) return hex(GetSysColor(COLOR_WINDOWTEXT));
  if (std::string(designed) == ButtonFace) return hex(GetSysColor(COLOR_BTNFACE));
  return designed;
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
      EXPECT_EQ(LookValue(Look(h), "fill"), Colour(ButtonFace)) << "lit at creation";
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
  EXPECT_EQ(Text(main), Caption);
  RECT client = {};
  GetClientRect(main, &client);
  EXPECT_NEAR(client.right, Shell::Scale(660, dpi), dpi == 120 ? 0 : 1);
  EXPECT_NEAR(client.bottom, Shell::Scale(543, dpi), dpi == 120 ? 0 : 1);
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
  ExpectFont(main, "Arial", 17, false, dpi);
  EXPECT_EQ(LookValue(Look(main), "text"), Colour(WindowText));
  EXPECT_EQ(LookValue(Look(main), "back"), Colour(ButtonFace));

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

// ---- The running window -------------------------------------------------------

void ExpectCleanExit(TQuendalRun& run) {
  DWORD code = 12345;
  ASSERT_TRUE(run.WaitExit(ExitTimeout, code)) << "the program did not end";
  EXPECT_EQ(code, 0u);
}

void Quit(TQuendalRun& run) {
  SendKey(run.Main(), 'Q', true);
  ExpectCleanExit(run);
}

long Stat(const TQuendalRun& run, const std::string& key) { return StatValue(run.Stats(), key); }

// Waits until the stand-in has counted a further full scan of the 25 slots.
bool AnotherScan(const TQuendalRun& run) {
  long before = Stat(run, "open");
  return WaitFor([&] { return Stat(run, "open") >= before + 25; }, 8000, 50);
}

HWND ApplicationWindow(const TQuendalRun& run) { return FindWindowNamed(run.ProcessId(), "Application", 2000); }

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
  Quit(run);
}

TEST(MainWindow, CannotBeMaximisedOrResized) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  HWND main = run.Main();
  ASSERT_TRUE(WaitFor([&] { return Visible(main); }, 5000));
  RECT before = {};
  GetWindowRect(main, &before);

  DWORD_PTR result = 0;
  ASSERT_TRUE(SendMessageTimeoutW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0, SMTO_ABORTIFHUNG, 3000, &result));
  EXPECT_FALSE(IsZoomed(main));
  // A refused keyboard sizing returns at once; an accepted one would wait
  // here for the arrow keys.
  EXPECT_TRUE(SendMessageTimeoutW(main, WM_SYSCOMMAND, SC_SIZE, 0, SMTO_ABORTIFHUNG, 3000, &result)) << "sizing began";
  SendKey(nullptr, VK_RIGHT);
  SendKey(nullptr, VK_DOWN);
  SendKey(nullptr, VK_RETURN);
  Sleep(200);
  RECT after = {};
  GetWindowRect(main, &after);
  EXPECT_TRUE(EqualRect(&before, &after)) << "the window moved or changed size";

  // The border offers no sizing to the mouse.
  const POINT edges[] = {{before.right - 1, (before.top + before.bottom) / 2},
                         {(before.left + before.right) / 2, before.bottom - 1},
                         {before.left, (before.top + before.bottom) / 2},
                         {before.right - 1, before.bottom - 1},
                         {before.left, before.top}};
  for (const POINT& p : edges) {
    LRESULT hit = SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    EXPECT_TRUE(hit < HTSIZEFIRST || hit > HTSIZELAST) << "sizing edge " << hit << " at " << p.x << "," << p.y;
  }
  Quit(run);
}

TEST(MainWindow, MinimisingAndRestoringStartsNoSecondMonitor) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  HWND main = run.Main();
  HWND application = ApplicationWindow(run);
  ASSERT_NE(application, nullptr);
  ASSERT_TRUE(WaitFor([&] { return Stat(run, "version-calls") == 1 && Stat(run, "create-calls") > 0; }, 8000));
  long interfaces = Stat(run, "create-calls");
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i + 1);
    DWORD_PTR r = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_ABORTIFHUNG, 3000, &r));
    EXPECT_TRUE(WaitFor([&] { return !Visible(main) && IsIconic(application); }, 3000)) << "not minimised";
    // As the taskbar button restores it.
    PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitFor([&] { return Visible(main) && !IsIconic(application); }, 3000)) << "not restored";
  }
  ASSERT_TRUE(AnotherScan(run)) << "the monitor stopped polling";
  EXPECT_EQ(Stat(run, "version-calls"), 1) << "a second start-up";
  EXPECT_EQ(Stat(run, "create-calls"), interfaces) << "a second set of interfaces";
  Quit(run);
}

TEST(MainWindow, OnlyTheWindowsOwnStartRequestStartsTheMonitor) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  ASSERT_TRUE(WaitFor([&] { return Stat(run, "version-calls") == 1; }, 8000)) << "the first show started no monitor";
  // The start message again, from outside, and some other program message.
  PostMessageW(run.Main(), WM_USER + 100, 0, 0);
  PostMessageW(run.Main(), WM_USER + 101, 0, 0);
  ASSERT_TRUE(AnotherScan(run));
  EXPECT_EQ(Stat(run, "version-calls"), 1) << "a second monitor thread";
  // Everything else still goes its usual way.
  EXPECT_EQ(ControlName(run.Main()), "MainForm");
  EXPECT_EQ(Text(run.Main()).compare(0, 22, Shell::Title), 0) << Text(run.Main());
  PostMessageW(run.Main(), WM_CLOSE, 0, 0);
  ExpectCleanExit(run);
}

// ---- Popup menu and short cuts ---------------------------------------------

TEST(PopupMenu, ItemsShortCutsAndHint) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  const std::string expected = "О программе ...\tCtrl+A\t\n-\nВыход\tCtrl+Q\tСпокойный выход из программы";
  EXPECT_EQ(PopupMenuText(run.Main()), expected);
  EXPECT_EQ(PopupMenuText(run.Control("ModulesListBox")), expected) << "the list carries another menu";
  Quit(run);
}

// The screen point of a design point in the window's client area.
POINT ClientPoint(HWND main, int x, int y, int dpi) {
  POINT p = {Shell::Scale(x, dpi), Shell::Scale(y, dpi)};
  ClientToScreen(main, &p);
  return p;
}

TEST(PopupMenu, RightClickAnywhereOpensItCentredOnThePoint) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  HWND main = run.Main();
  ASSERT_TRUE(WaitFor([&] { return Visible(main); }, 5000));
  const int dpi = 96;  // the prefix's own resolution
  struct TTarget {
    const char* Name;  // control clicked at its centre; null: the point below
    POINT At;          // design point in the window's client area
  };
  const TTarget targets[] = {
      {"ModulesListBox", {}},
      {"ModuleLoadingLed", {}},
      {"UsbSpeedLed", {}},
      {"McuFreqLMDStaticText", {}},
      {"McuFreqLabelLMDStaticText", {}},
      {"PldFirmwareVersionLMDStaticText", {}},
      {"SsModulesListStaticText", {}},
      {"VirtualSlotStaticText", {}},
      {"SerialNumberLMDStaticText", {}},
      {"DacLabelLMDStaticText", {}},
      {nullptr, {333 + 20, 80}},       // the group box itself, between its controls
      {nullptr, {333 + 3 + 2, 270}},   // a sub-box, left of its rows
      {nullptr, {291, 15}},            // the window, between the heading and the slot number
  };
  for (const TTarget& t : targets) {
    SCOPED_TRACE(t.Name ? t.Name : "point " + std::to_string(t.At.x) + "," + std::to_string(t.At.y));
    POINT clicked;
    if (t.Name) {
      HWND h = run.Control(t.Name);
      ASSERT_NE(h, nullptr);
      clicked = Click(h, true);
    } else {
      POINT p = ClientPoint(main, t.At.x, t.At.y, dpi);
      RECT w = {};
      GetWindowRect(main, &w);
      clicked = Click(main, true, p.x - w.left, p.y - w.top);
    }
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = Shell::PopupMenuWindow(run.ProcessId())) != nullptr; }, 3000)) << "no menu";
    RECT m = {};
    GetWindowRect(menu, &m);
    EXPECT_NEAR((m.left + m.right) / 2, clicked.x, 1) << "not centred on the point";
    EXPECT_EQ(m.top, clicked.y) << "not below the point";
    SendKey(nullptr, VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return Shell::PopupMenuWindow(run.ProcessId()) == nullptr; }, 3000)) << "Esc left the menu open";
  }
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 300)) << "the Esc that closed a menu reached the exit question";
  EXPECT_TRUE(run.Running());
  Quit(run);
}

HWND OpenMenuOnTheList(TQuendalRun& run) {
  Click(run.Control("ModulesListBox"), true);
  HWND menu = nullptr;
  WaitFor([&] { return (menu = Shell::PopupMenuWindow(run.ProcessId())) != nullptr; }, 3000);
  return menu;
}

HWND WaitAbout(const TQuendalRun& run, bool shown) {
  HWND about = nullptr;
  WaitFor(
      [&] {
        about = FindWindowNamed(run.ProcessId(), "AboutProgramPanel");
        return about && Visible(about) == shown;
      },
      5000);
  return about && Visible(about) == shown ? about : nullptr;
}

TEST(PopupMenu, FirstItemOpensAboutModallyAndTheLastExitsWithoutQuestion) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  ASSERT_TRUE(WaitFor([&] { return Visible(run.Main()); }, 5000));
  ASSERT_NE(OpenMenuOnTheList(run), nullptr);
  SendKey(nullptr, VK_DOWN);
  SendKey(nullptr, VK_RETURN);
  HWND about = WaitAbout(run, true);
  ASSERT_NE(about, nullptr) << "the first item did not open the About window";
  EXPECT_FALSE(Enabled(run.Main())) << "the main window takes input under the About window";
  PostMessageW(about, WM_CLOSE, 0, 0);
  ASSERT_NE(WaitAbout(run, false), nullptr);
  EXPECT_TRUE(WaitFor([&] { return Enabled(run.Main()); }, 3000));

  // Down, down: past the separator to the last item.
  ASSERT_NE(OpenMenuOnTheList(run), nullptr);
  SendKey(nullptr, VK_DOWN);
  SendKey(nullptr, VK_DOWN);
  SendKey(nullptr, VK_RETURN);
  TMessageBox box;
  EXPECT_FALSE(run.FindBox(box, 300)) << "exit asked a question";
  ExpectCleanExit(run);
}

TEST(PopupMenu, CtrlAOpensAboutAndTheMainWindowIgnoresItsShortCutsMeanwhile) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  SendKey(run.Main(), 'A', true);
  HWND about = WaitAbout(run, true);
  ASSERT_NE(about, nullptr) << "Ctrl+A did not open the About window";
  EXPECT_FALSE(Enabled(run.Main()));
  EXPECT_EQ(Shell::PopupMenuWindow(run.ProcessId()), nullptr) << "the short cut opened the menu";
  SendKey(run.Main(), 'Q', true);
  Sleep(500);
  EXPECT_TRUE(run.Running()) << "Ctrl+Q reached the main window under the About window";
  PostMessageW(about, WM_CLOSE, 0, 0);
  ASSERT_NE(WaitAbout(run, false), nullptr);
  ASSERT_TRUE(WaitFor([&] { return Enabled(run.Main()); }, 3000));
  Quit(run);
}

// ---- Keyboard and what is drawn ---------------------------------------------------

TEST(MainWindow, TheListTakesTheFocusAndArrowsMoveItsSelection) {
  TQuendalRun run;
  ASSERT_TRUE(run.Start("version 3.3\nslot 0 model=k200 name=K200 serial=E2E00001\nslot 1 model=k390 name=K390\n"));
  HWND list = run.Control("ModulesListBox");
  ASSERT_TRUE(WaitFor([&] { return Enabled(list) && ListLines(list).size() == 25; }, 8000)) << "the list was not enabled";
  int first = ListSelection(list);
  ASSERT_GE(first, 0) << "nothing selected with modules present";
  ASSERT_LT(first, 24);
  SendKey(run.Main(), VK_DOWN);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == first + 1; }, 3000)) << "Down did not move the selection";
  SendKey(nullptr, VK_UP);
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list) == first; }, 3000)) << "Up did not move the selection";
  Quit(run);
}

// Pixels of a colour family in the control's area on screen.
int Drawn(HWND h, COLORREF colour, int tolerance) {
  E2E::TScreenArea area(E2E::ScreenRect(h));
  return area.Count(colour, tolerance);
}

TEST(MainWindow, EnabledStateIsWhatIsDrawn) {
  // A K3-200 has a microcontroller and no DSP: the details enable the one
  // group's rows and disable the other's.
  const COLORREF black = RGB(0, 0, 0), grey = GetSysColor(COLOR_GRAYTEXT);
  TQuendalRun run;
  ASSERT_TRUE(run.Start(OneModule));
  HWND on = run.Control("McuTypeLabelLMDStaticText"), off = run.Control("DspTypeLabelLMDStaticText");
  ASSERT_TRUE(on && off);
  ASSERT_TRUE(WaitFor([&] { return Enabled(on) && !Enabled(off); }, 8000)) << "the K3-200 was not shown";
  ASSERT_TRUE(AnotherScan(run));
  SetForegroundWindow(run.Main());
  // Painting follows the state a moment later.
  WaitFor([&] { return Drawn(on, black, 40) > 10 && Drawn(off, black, 40) == 0 && Drawn(off, grey, 40) > 10; }, 3000, 50);
  EXPECT_GT(Drawn(on, black, 40), 10) << "an enabled label not drawn in its colour";
  EXPECT_EQ(Drawn(off, black, 40), 0) << "a disabled label drawn in its enabled colour";
  EXPECT_GT(Drawn(off, grey, 40), 10) << "a disabled label not drawn grey";
  Quit(run);
}

}  // namespace
