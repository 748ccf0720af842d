// The hyperlink label: what a click hands to the shell, and its two fonts.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "controls/URLLink.h"
#include "framework/Form.h"
#include "framework/Text.h"

namespace {

struct TShellCall {
  int Count = 0;
  HWND Parent = nullptr;
  std::wstring Verb, File;
  bool Parameters = false, Directory = false;
  INT Show = -1;
};
TShellCall Calls;

HINSTANCE WINAPI RecordShellExecute(HWND parent, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                                    INT show) {
  ++Calls.Count;
  Calls.Parent = parent;
  Calls.Verb = verb ? verb : L"<null>";
  Calls.File = file ? file : L"<null>";
  Calls.Parameters = parameters != nullptr;
  Calls.Directory = directory != nullptr;
  Calls.Show = show;
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

constexpr TFontDesc Normal = {"Courier New", 18, fsBold, ANSI_CHARSET, clNavy};
const TControlDesc Controls[] = {
    {Make<TURLLink>, "Link", "", 10, 10, 200, 20, "info@orvek.test", Normal, clParent, cfHandCursor},
};
const TFormDesc Host = {"LinkHost", "link host", 240, 60, WS_POPUP, 0, TPosition::ScreenCenter, false,
                        {"Arial", 17, 0, RUSSIAN_CHARSET, clWindowText}, clBtnFace, Controls, 1};

class URLLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Calls = TShellCall();
    Saved = TURLLink::ShellExecuteFunction;
    TURLLink::ShellExecuteFunction = &RecordShellExecute;
    Form = new TForm(nullptr, Host);
    Form->Build();
    Link = Form->Find<TURLLink>("Link");
    ASSERT_NE(Link, nullptr);
    TFont focus;
    focus.Set("Courier New", 18, fsBold, RUSSIAN_CHARSET);
    focus.SetColor(clBlue);
    Link->SetFocusFont(focus);
  }
  void TearDown() override {
    delete Form;
    TURLLink::ShellExecuteFunction = Saved;
  }
  // A click as the mouse gives it: the static reports it to its parent.
  void ClickWindow() {
    SendMessageW(Link->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(Link->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }
  void Mouse(UINT msg, int x, int y) {
    SendMessageW(Link->Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
  }
  void Enter() { SendMessageW(Link->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); }
  void Leave() { SendMessageW(Link->Handle(), WM_MOUSELEAVE, 0, 0); }
  TURLLink::TShellExecuteFunction Saved = nullptr;
  TForm* Form = nullptr;
  TURLLink* Link = nullptr;
};

TEST_F(URLLinkTest, MailtoWithSubjectGoesWholeToTheShellsOpenVerb) {
  Link->Link = "mailto:info@orvek.test?subject=Вопрос о модулях";
  ClickWindow();
  ASSERT_EQ(Calls.Count, 1);
  EXPECT_EQ(Calls.Verb, L"open");
  EXPECT_EQ(Calls.File, Widen("mailto:info@orvek.test?subject=Вопрос о модулях"));
  EXPECT_EQ(Calls.Parent, GetDesktopWindow());
  EXPECT_FALSE(Calls.Parameters);
  EXPECT_FALSE(Calls.Directory);
  EXPECT_EQ(Calls.Show, SW_SHOWNORMAL);
}

TEST_F(URLLinkTest, APressAndAReleaseInsideOpenTheLinkOnceAndNothingElseDoes) {
  Link->Link = "http://orvek.test";
  Mouse(WM_LBUTTONDOWN, 5, 5);
  EXPECT_EQ(Calls.Count, 0) << "opened on the press";
  // Dragged off the label, released elsewhere: to the left, then to the right.
  Mouse(WM_MOUSEMOVE, -30, 5);
  Mouse(WM_LBUTTONUP, -30, 5);
  Mouse(WM_LBUTTONDOWN, 5, 5);
  Mouse(WM_LBUTTONUP, 500, 5);
  EXPECT_EQ(Calls.Count, 0);
  // A release whose press was somewhere else.
  Mouse(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(Calls.Count, 0);
  // A press that lost the mouse to another window meanwhile.
  Mouse(WM_LBUTTONDOWN, 5, 5);
  ReleaseCapture();
  Mouse(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(Calls.Count, 0);
  // A double click as the mouse gives it opens the link once.
  Mouse(WM_LBUTTONDOWN, 5, 5);
  Mouse(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(Calls.Count, 1);
  Mouse(WM_LBUTTONDBLCLK, 5, 5);
  Mouse(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(Calls.Count, 1);
  EXPECT_EQ(Calls.File, L"http://orvek.test");
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(URLLinkTest, EmptyLinkDoesNothing) {
  Link->Link.clear();
  ClickWindow();
  Link->Click();
  EXPECT_EQ(Calls.Count, 0);
}

TEST_F(URLLinkTest, LaterClickHandlerReplacesTheLink) {
  Link->Link = "http://www.orvek.test";
  int own = 0;
  TComponent* sender = nullptr;
  Link->OnClick = [&](TComponent* s) {
    ++own;
    sender = s;
  };
  ClickWindow();
  EXPECT_EQ(own, 1);
  EXPECT_EQ(sender, Link);
  EXPECT_EQ(Calls.Count, 0);
}

TEST_F(URLLinkTest, EnterShowsTheFocusFontAndLeaveAlwaysRestoresTheNormalOne) {
  int entered = 0, left = 0;
  Link->OnMouseEnter = [&](TComponent* s) {
    EXPECT_EQ(s, Link);
    EXPECT_EQ(Link->Font().Color(), clBlue) << "fired before the swap";
    ++entered;
  };
  Link->OnMouseLeave = [&](TComponent*) {
    EXPECT_EQ(Link->Font().Color(), clNavy) << "fired before the restore";
    ++left;
  };
  for (int i = 0; i < 3; ++i) {
    Enter();
    Enter();  // moving on inside the label is no new entry
    EXPECT_EQ(Link->Font().Color(), clBlue);
    EXPECT_EQ(Link->Font().CharSet(), RUSSIAN_CHARSET);
    Leave();
    EXPECT_EQ(Link->Font().Face(), "Courier New");
    EXPECT_EQ(Link->Font().Height(), 18);
    EXPECT_EQ(Link->Font().Style(), static_cast<unsigned>(fsBold));
    EXPECT_EQ(Link->Font().CharSet(), ANSI_CHARSET);
    EXPECT_EQ(Link->Font().Color(), clNavy);
  }
  EXPECT_EQ(entered, 3);
  EXPECT_EQ(left, 3);
  // The control shows the handle of the font in force.
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(Link->Handle(), WM_GETFONT, 0, 0)), Link->Font().Handle());
}

TEST_F(URLLinkTest, FontAssignedOutsideStaysAfterTheNextVisit) {
  TFont other;
  other.Set("Arial", 20, 0, RUSSIAN_CHARSET);
  other.SetColor(clMaroon);
  Link->Font().Assign(other);
  Enter();
  Leave();
  EXPECT_EQ(Link->Font().Face(), "Arial");
  EXPECT_EQ(Link->Font().Color(), clMaroon);
}

TEST_F(URLLinkTest, SetFocusFontCopiesTheFont) {
  TFont given;
  given.Set("Times New Roman", 22, fsItalic, RUSSIAN_CHARSET);
  given.SetColor(clGreen);
  Link->SetFocusFont(given);
  given.Set("Arial", 30, 0, ANSI_CHARSET);
  given.SetColor(clRed);
  EXPECT_EQ(Link->FocusFont().Face(), "Times New Roman");
  EXPECT_EQ(Link->FocusFont().Height(), 22);
  EXPECT_EQ(Link->FocusFont().Style(), static_cast<unsigned>(fsItalic));
  EXPECT_EQ(Link->FocusFont().Color(), clGreen);
  EXPECT_NE(Link->FocusFont().Handle(), given.Handle());
}

}  // namespace
