// A form built from its description: where the keyboard focus goes, what
// the handlers of keys let out, a fixed frame that keeps its size, the
// raised and bump frames, the list's own text, the fixed-pitch fallback,
// and the look and menu queries that tools outside the program read.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/Menus.h"
#include "framework/Messages.h"
#include "framework/Thread.h"
#include "tests/support/BoxAnswerer.h"

namespace {

// An owner-drawn button whose face is plain black.
struct TBlackButton : TButton {
  using TButton::TButton;
  DWORD WindowStyle() const override { return TButton::WindowStyle() | BS_OWNERDRAW; }
  bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    return msg == WM_DRAWITEM ? FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)))
                              : TButton::Reflected(msg, wParam, lParam, result);
  }
};

constexpr TFontDesc Fixed = {"Courier New", 17, fsFixedPitch, RUSSIAN_CHARSET, clWindowText};
constexpr TFontDesc Bold = {"Arial", 20, fsBold, RUSSIAN_CHARSET, clMaroon};

const TControlDesc Controls[] = {
    {Make<TStaticText>, "Heading", "", 2, 2, 200, 25, "Заголовок", Bold, clParent, cfPopup},
    {Make<TListBox>, "List", "", 0, 30, 200, 200, "первая\nвторая\nтретья", Fixed, clWhite, cfPopup | cfTabStop},
    {Make<TStaticText>, "Value", "", 210, 30, 100, 23, "CCCCCC", ParentFont, clWhite, cfRaised},
    {Make<TShape>, "Lamp", "", 210, 60, 25, 25, "", ParentFont, clParent, 0},
    {Make<TStaticText>, "Bumped", "", 210, 100, 100, 26, "1.2.0.0", ParentFont, clWhite, cfBump},
    {Make<TButton>, "Ok", "", 240, 200, 70, 30, "OK", ParentFont, clParent, cfDefault},
    {Make<TBlackButton>, "Black", "", 210, 140, 100, 30, "", ParentFont, clParent, 0},
};

const TFormDesc Description = {
    "TestForm", "Форма", 320, 240, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, TPosition::ScreenCenter,
    true, {"Arial", 17, 0, RUSSIAN_CHARSET, clWindowText}, clBtnFace, Controls, sizeof(Controls) / sizeof(Controls[0]),
};

class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* owner) : TForm(owner, Description) {
    Menu = new TPopupMenu(this);
    Menu->Add(First = new TMenuItem(this, "Первый", 'A'));
    Menu->Add(new TMenuItem(this, "-"));
    Menu->Add(new TMenuItem(this, "Последний", 'Q', "Подсказка"));
    SetPopupMenu(Menu);
  }
  TPopupMenu* Menu = nullptr;
  TMenuItem* First = nullptr;
};

std::string Query(HWND h, UINT message) {
  wchar_t buffer[512] = {};
  LRESULT n = SendMessageW(h, message, 512, reinterpret_cast<LPARAM>(buffer));
  if (n <= 0) return std::string();
  std::string out;
  int size = WideCharToMultiByte(1251, 0, buffer, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
  out.resize(static_cast<size_t>(size));
  WideCharToMultiByte(1251, 0, buffer, static_cast<int>(n), &out[0], size, nullptr, nullptr);
  return out;
}

std::string Value(const std::string& look, const std::string& key) {
  size_t at = look.find(key + "=");
  while (at != std::string::npos && at != 0 && look[at - 1] != ';') at = look.find(key + "=", at + 1);
  if (at == std::string::npos) return "<none>";
  size_t start = at + key.size() + 1, end = look.find(';', start);
  return look.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App = new TApplication();
    App->Initialize();
    App->CreateForm(Form);
    ASSERT_NE(Form->Handle(), nullptr);
  }
  void TearDown() override { delete App; }
  HWND Child(const char* name) const {
    auto* c = Form->Find<TWinControl>(name);
    return c ? c->Handle() : nullptr;
  }
  // Shows the form and lets the activation run.
  bool ShowAndActivate() {
    Form->Show();
    return Serve([&] { return GetForegroundWindow() == Form->Handle() && GetFocus() != nullptr; });
  }
  template <class P>
  bool Serve(P done, DWORD ms = 3000) {
    DWORD start = GetTickCount();
    for (;;) {
      App->ProcessMessages();
      if (done()) return true;
      if (GetTickCount() - start > ms) return false;
      Sleep(10);
    }
  }
  static void Key(WORD vk, bool ctrl = false) {
    std::vector<INPUT> in;
    auto add = [&](WORD key, DWORD flags) {
      INPUT i = {};
      i.type = INPUT_KEYBOARD;
      i.ki.wVk = key;
      i.ki.dwFlags = flags;
      in.push_back(i);
    };
    if (ctrl) add(VK_CONTROL, 0);
    add(vk, 0);
    add(vk, KEYEVENTF_KEYUP);
    if (ctrl) add(VK_CONTROL, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
  }
  TApplication* App = nullptr;
  TTestForm* Form = nullptr;
};

TEST_F(FormTest, TheFocusGoesToTheFirstControlThatTakesItAndArrowsMoveTheList) {
  HWND list = Child("List");
  ASSERT_TRUE(ShowAndActivate());
  EXPECT_EQ(GetFocus(), list);
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  Key(VK_DOWN);
  EXPECT_TRUE(Serve([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 1; })) << "Down did not reach the list";
  Key(VK_DOWN);
  EXPECT_TRUE(Serve([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 2; }));
  Key(VK_UP);
  EXPECT_TRUE(Serve([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 1; }));

  // A disabled list is passed over; the form keeps the focus itself.
  EnableWindow(list, FALSE);
  SetFocus(Form->Handle());
  EXPECT_NE(GetFocus(), list);
}

// The handlers that keys call outside a window procedure: the menu's short
// cut, the application's short-cut hook, the default button on Enter.
TEST_F(FormTest, WhatAKeysHandlerLetsOutIsShownAndTheLoopGoesOn) {
  TBoxAnswerer boxes(GetCurrentThreadId());
  Form->First->OnClick = [] { throw std::runtime_error("menu failed"); };
  App->OnShortCut = [](const MSG& msg, bool&) {
    if (msg.wParam == VK_ESCAPE) throw 42;  // not even an exception class
  };
  Form->Find<TButton>("Ok")->OnClick = [] { throw TException("Кнопка не нажимается"); };
  const struct {
    WORD Key;
    bool Ctrl;
    const wchar_t* Shown;
  } cases[] = {{'A', true, L"menu failed"}, {VK_ESCAPE, false, L"?"}, {VK_RETURN, false, L"Кнопка не нажимается"}};
  size_t seen = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Key));
    ASSERT_TRUE(ShowAndActivate());
    Key(c.Key, c.Ctrl);
    ASSERT_TRUE(Serve([&] { return boxes.Texts().size() > seen; }, 5000)) << "no message box";
    EXPECT_EQ(boxes.Texts()[seen], c.Shown);
    seen = boxes.Texts().size();
  }
  EXPECT_FALSE(App->Terminated());
  // The loop goes on: keys still reach the list.
  HWND list = Child("List");
  ASSERT_TRUE(ShowAndActivate());
  SetFocus(list);
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  Key(VK_DOWN);
  EXPECT_TRUE(Serve([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 1; }));
}

// A thread's body that lets an exception out is reported the same way, on
// the window thread; a window that cannot be created raises.
TEST_F(FormTest, WhatAThreadLetsOutIsShownAndAFailedWindowRaises) {
  class TFailing : public TThread {
   public:
    TFailing() : TThread(true) {}
    ~TFailing() override { TerminateAndWait(); }

   protected:
    void Execute() override { throw TException("Поток не работает"); }
  };
  {
    TBoxAnswerer boxes(GetCurrentThreadId());
    TFailing thread;
    thread.Start();
    ASSERT_TRUE(Serve([&] { return !boxes.Texts().empty(); }, 5000)) << "no message box";
    EXPECT_EQ(boxes.Texts()[0], L"Поток не работает");
  }

  class TNoClass : public TWinControl {
   public:
    TNoClass() : TWinControl(nullptr) {}
    void Create() { CreateHandle({L"QuendalNoSuchClass", WS_POPUP, 0, 0, 0, 10, 10, nullptr}, ""); }
  };
  const long windows = LiveCount(TResourceKind::Window);
  TNoClass control;
  EXPECT_THROW(control.Create(), TException);
  EXPECT_EQ(control.Handle(), nullptr);
  EXPECT_EQ(LiveCount(TResourceKind::Window), windows);
}

// A binding without its control, or to a control of another type, and a
// description entry whose parent does not exist raise while the form is built.
TEST_F(FormTest, AMissingControlAWrongTypeOrAnUnknownParentRaisesAtTheBuild) {
  struct TBinding : TForm {
    TBinding(const TFormDesc& desc, int which) : TForm(nullptr, desc), Which(which) {}
    void BindControls() override {
      if (Which == 1) BIND_CONTROL(Missing);
      if (Which == 2) BIND_CONTROL(Heading);
    }
    int Which;
    TStaticText* Missing = nullptr;
    TButton* Heading = nullptr;  // a static text in the description
  };
  TFormDesc orphaned = Description;
  const TControlDesc orphan = {Make<TLabel>, "Orphan", "NoSuchBox", 0, 0, 10, 10, "", ParentFont, clParent, 0};
  orphaned.Controls = &orphan;
  orphaned.ControlCount = 1;
  const struct {
    const TFormDesc& Desc;
    int Bind;
    const char* Message;
  } cases[] = {{Description, 1, "TestForm: нет элемента Missing"},
               {Description, 2, "TestForm: элемент Heading другого типа"},
               {orphaned, 0, "TestForm: нет родителя NoSuchBox у элемента Orphan"}};
  for (const auto& c : cases) {
    TBinding form(c.Desc, c.Bind);
    try {
      form.Build();
      ADD_FAILURE() << c.Message << ": built";
    } catch (const TException& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
  TBinding whole(Description, 0);
  EXPECT_NO_THROW(whole.Build());
}

// Accessibility tools and input-method add-ins subclass other programs'
// windows; ours keep their colours, owner-drawn face and short cuts.
WNDPROC gBeneath = nullptr;
LRESULT CALLBACK PassThrough(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(gBeneath, h, msg, wParam, lParam);
}

TEST_F(FormTest, WindowsSubclassedByOtherCodeKeepTheirColoursFaceAndShortCuts) {
  for (HWND h : {Form->Handle(), Child("Value"), Child("Black")})
    gBeneath = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PassThrough)));
  ASSERT_TRUE(ShowAndActivate());
  for (auto [name, colour] : {std::pair{"Value", RGB(255, 255, 255)}, {"Black", RGB(0, 0, 0)}}) {
    RedrawWindow(Child(name), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(Child(name), &r);
    TWindowDC dc(Child(name));
    EXPECT_EQ(GetPixel(dc.Get(), r.right - 3, r.bottom - 3), colour) << name;
  }
  bool clicked = false;
  Form->First->OnClick = [&] { clicked = true; };
  Key('A', true);
  EXPECT_TRUE(Serve([&] { return clicked; })) << "the menu's short cut";
}

TEST_F(FormTest, AFixedFrameRefusesToBeMaximisedOrSized) {
  ASSERT_TRUE(ShowAndActivate());
  RECT before, after;
  GetWindowRect(Form->Handle(), &before);
  DWORD_PTR r = 0;
  SendMessageW(Form->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(IsZoomed(Form->Handle()));
  // A sizing loop would wait here for keys; refused, the call returns.
  EXPECT_TRUE(SendMessageTimeoutW(Form->Handle(), WM_SYSCOMMAND, SC_SIZE, 0, SMTO_NORMAL, 2000, &r));
  GetWindowRect(Form->Handle(), &after);
  EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(FormTest, RaisedFrameIsOnePixelBumpEdgeTwoAndTheListHasNoTextOfItsOwn) {
  HWND value = Child("Value");
  RECT window, client;
  GetWindowRect(value, &window);
  GetClientRect(value, &client);
  EXPECT_EQ((window.right - window.left) - client.right, 2);
  EXPECT_EQ((window.bottom - window.top) - client.bottom, 2);
  EXPECT_EQ(GetWindowLongW(value, GWL_STYLE) & (WS_DLGFRAME | WS_BORDER), 0);

  // The bump edge, raised outside and sunken inside, is what the system
  // draws for EDGE_BUMP, and no frame of the system's own.
  HWND bumped = Child("Bumped");
  GetWindowRect(bumped, &window);
  GetClientRect(bumped, &client);
  const int w = window.right - window.left, h = window.bottom - window.top;
  EXPECT_EQ(w - client.right, 4);
  EXPECT_EQ(h - client.bottom, 4);
  EXPECT_EQ(GetWindowLongW(bumped, GWL_STYLE) & (WS_DLGFRAME | WS_BORDER), 0);
  EXPECT_EQ(GetWindowLongW(bumped, GWL_EXSTYLE) & (WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE | WS_EX_CLIENTEDGE), 0);
  ASSERT_TRUE(ShowAndActivate());
  RedrawWindow(bumped, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  HDC shown = GetWindowDC(bumped);
  HDC drawn = CreateCompatibleDC(shown);
  HBITMAP bitmap = CreateCompatibleBitmap(shown, w, h);
  HGDIOBJ old = SelectObject(drawn, bitmap);
  RECT edge = {0, 0, w, h};
  DrawEdge(drawn, &edge, EDGE_BUMP, BF_RECT);
  const POINT points[] = {{w / 2, 0}, {w / 2, 1}, {w / 2, h - 1}, {w / 2, h - 2},
                          {0, h / 2}, {1, h / 2}, {w - 1, h / 2}, {w - 2, h / 2}};
  for (const POINT& p : points) EXPECT_EQ(GetPixel(shown, p.x, p.y), GetPixel(drawn, p.x, p.y)) << p.x << "," << p.y;
  SelectObject(drawn, old);
  DeleteObject(bitmap);
  DeleteDC(drawn);
  ReleaseDC(bumped, shown);

  HWND list = Child("List");
  EXPECT_EQ(GetWindowTextLengthW(list), 0);
  auto* l = Form->Find<TListBox>("List");
  ASSERT_EQ(l->Count(), 3);
  EXPECT_EQ(l->Item(0), "первая");
  EXPECT_EQ(l->Item(2), "третья");
}

TEST_F(FormTest, FixedPitchIsKeptWhereTheFaceIsMissing) {
  for (bool fixed : {true, false}) {
    SCOPED_TRACE(fixed ? "fixed pitch asked" : "nothing asked");
    TFont font;
    font.Set("Quendal No Such Face", 16, fixed ? static_cast<unsigned>(fsFixedPitch) : 0u, RUSSIAN_CHARSET);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.Handle());
    TEXTMETRICW tm = {};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    SIZE narrow = {}, wide = {};
    GetTextExtentPoint32W(dc, L"iiii", 4, &narrow);
    GetTextExtentPoint32W(dc, L"WWWW", 4, &wide);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    // TMPF_FIXED_PITCH set means a variable pitch.
    EXPECT_EQ((tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0, fixed);
    EXPECT_EQ(narrow.cx == wide.cx, fixed);
  }
}

TEST_F(FormTest, LookQueryReportsFontAndColours) {
  const int ppi = Form->PixelsPerInch();
  std::string look = Query(Child("Heading"), LookMessage());
  EXPECT_EQ(Value(look, "face"), "Arial") << look;
  EXPECT_EQ(Value(look, "height"), std::to_string(Scale(20, ppi))) << look;
  EXPECT_EQ(Value(look, "weight"), "700") << look;
  EXPECT_EQ(Value(look, "charset"), "204") << look;
  EXPECT_EQ(Value(look, "text"), "800000") << look;
  EXPECT_NE(Value(look, "used"), "") << look;

  look = Query(Child("List"), LookMessage());
  EXPECT_EQ(Value(look, "face"), "Courier New") << look;
  EXPECT_EQ(Value(look, "fixed"), "1") << look;
  EXPECT_EQ(Value(look, "back"), "FFFFFF") << look;
  EXPECT_EQ(Value(look, "fill"), "<none>") << look;

  // The form's own font, which the window class itself does not keep.
  look = Query(Form->Handle(), LookMessage());
  EXPECT_EQ(Value(look, "face"), "Arial") << look;
  EXPECT_EQ(Value(look, "height"), std::to_string(Scale(17, ppi))) << look;

  // A shape tells its fill; a new colour is told at once.
  auto* lamp = Form->Find<TShape>("Lamp");
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  char faceText[8];
  std::snprintf(faceText, sizeof(faceText), "%02X%02X%02X", GetRValue(face), GetGValue(face), GetBValue(face));
  EXPECT_EQ(Value(Query(lamp->Handle(), LookMessage()), "fill"), faceText);
  lamp->SetBrushColor(RGB(255, 150, 0));
  EXPECT_EQ(Value(Query(lamp->Handle(), LookMessage()), "fill"), "FF9600");

  // A buffer too small gets a cut, terminated text; none gets nothing.
  wchar_t small[5] = {L'x', L'x', L'x', L'x', L'x'};
  EXPECT_EQ(SendMessageW(Child("Heading"), LookMessage(), 5, reinterpret_cast<LPARAM>(small)), 4);
  EXPECT_EQ(small[4], L'\0');
  EXPECT_EQ(SendMessageW(Child("Heading"), LookMessage(), 0, reinterpret_cast<LPARAM>(small)), 0);
  EXPECT_EQ(SendMessageW(Child("Heading"), LookMessage(), 5, 0), 0);
}

TEST_F(FormTest, MenuQueryReadsTheSystemMenuAndOnlyWhereOneIsSet) {
  const std::string expected = "Первый\tCtrl+A\t\n-\nПоследний\tCtrl+Q\tПодсказка";
  EXPECT_EQ(Query(Form->Handle(), MenuMessage()), expected);
  EXPECT_EQ(Query(Child("List"), MenuMessage()), expected) << "the list takes the form's menu";
  EXPECT_EQ(Query(Child("Value"), MenuMessage()), "") << "a control without the flag has none";
  EXPECT_EQ(Query(Child("Lamp"), MenuMessage()), "");
  // What the menu shows is what the system menu holds.
  HMENU menu = Form->Menu->Handle();
  ASSERT_EQ(GetMenuItemCount(menu), 3);
  wchar_t text[64] = {};
  GetMenuStringW(menu, 2, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"Последний\tCtrl+Q");
}

// The handles the framework owns are counted while they live: the creation
// hook only for a creation, the menu until its owner goes.
TEST_F(FormTest, OwnedHandlesAreCountedAndGoWithTheirOwners) {
  EXPECT_EQ(LiveCount(TResourceKind::Hook), 0);
  ASSERT_NE(Form->Menu->Handle(), nullptr);
  const long menus = LiveCount(TResourceKind::Menu);
  EXPECT_GE(menus, 1);
  delete App;
  App = nullptr;
  EXPECT_EQ(LiveCount(TResourceKind::Menu), menus - 1);
  EXPECT_EQ(LiveCount(TResourceKind::Hook), 0);
}

int FakeFrees = 0;
bool FakeFreeRefuses = false;
BOOL FakeFree(HANDLE) {
  ++FakeFrees;
  return !FakeFreeRefuses;
}

// One counting rule for every owned handle: held, it counts; a move keeps
// one count and empties the source; Release counts it gone without freeing
// it; a free that the system refuses leaves it counted, so the leak shows.
TEST(OwnedHandle, AMoveKeepsOneCountReleaseFreesNothingARefusedFreeStaysCounted) {
  using TFake = TOwnedHandle<HANDLE, TResourceKind::Kernel, &FakeFree>;
  HANDLE h = reinterpret_cast<HANDLE>(0x1234);
  const long start = LiveCount(TResourceKind::Kernel);
  FakeFrees = 0;
  FakeFreeRefuses = false;
  {
    TFake first(h);
    first.Reset(h);
    EXPECT_EQ(LiveCount(TResourceKind::Kernel), start + 1);
    TFake second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), h);
    EXPECT_EQ(LiveCount(TResourceKind::Kernel), start + 1);
    EXPECT_EQ(second.Release(), h);
    EXPECT_EQ(LiveCount(TResourceKind::Kernel), start);
  }
  EXPECT_EQ(FakeFrees, 0);
  FakeFreeRefuses = true;
  { TFake refused(h); }
  EXPECT_EQ(FakeFrees, 1);
  EXPECT_EQ(LiveCount(TResourceKind::Kernel), start + 1);
  CountDown(TResourceKind::Kernel);  // the test's own leak, put right
  FakeFreeRefuses = false;
}

}  // namespace
