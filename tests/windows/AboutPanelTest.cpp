// The About window: its contents, its versions and its own Esc handling.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/Application.h"
#include "tests/support/TextWidth.h"
#include "windows/AboutPanel.h"

namespace {

MSG Key(WPARAM vk) {
  MSG m = {};
  m.message = WM_KEYDOWN;
  m.wParam = vk;
  return m;
}

class AboutPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App = new TApplication();
    App->OnShortCut = [this](const MSG& msg, bool& handled) {
      if (msg.wParam == VK_ESCAPE) ++MainAsked;
      (void)handled;
    };
    Panel = new TAboutProgramPanel(App);
    Panel->Build();
  }
  void TearDown() override { delete App; }
  bool Press(WPARAM vk) {
    bool handled = false;
    if (App->OnShortCut) App->OnShortCut(Key(vk), handled);
    return handled;
  }
  TApplication* App = nullptr;
  TAboutProgramPanel* Panel = nullptr;
  int MainAsked = 0;
};

TEST_F(AboutPanelTest, WindowIsAFixedDialogOnTopWithACloseBoxOnlyAndNotScaled) {
  HWND h = Panel->Handle();
  LONG style = GetWindowLongW(h, GWL_STYLE), ex = GetWindowLongW(h, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_DLGMODALFRAME);
  RECT r;
  GetClientRect(h, &r);
  EXPECT_EQ(r.right, 447);
  EXPECT_EQ(r.bottom, 416);
  EXPECT_EQ(Panel->Text(), "О программе ...");
}

TEST_F(AboutPanelTest, VersionFieldsShowTheProgramsBlockOrHyphensAndTheRequiredLibrary) {
  ASSERT_NE(Panel->QuendalVersionLMDStaticText, nullptr);
  ASSERT_NE(Panel->VersionInfo, nullptr);
  // The test program carries no version block of its own.
  if (Panel->VersionInfo->HaveInfo())
    EXPECT_EQ(Panel->QuendalVersionLMDStaticText->Text(), Panel->VersionInfo->GetStringFileInfoByIdx(3));
  else
    EXPECT_EQ(Panel->QuendalVersionLMDStaticText->Text(), "--------------------");
  EXPECT_EQ(Panel->CorvaneVersionLMDStaticText->Text(), "3.3");
  EXPECT_EQ(TAboutProgramPanel::RequiredLibraryVersion(), "3.3");
  EXPECT_EQ(Panel->QuendalVersionLabelLMDStaticText->Text(), "Quendal:");
  EXPECT_EQ(Panel->CorvaneVersionLabelLMDStaticText->Text(), "Corvane:");
  EXPECT_EQ(Panel->VersionsLMDGroupBox->Text(), "Версии");
}

TEST_F(AboutPanelTest, DescriptionAndTelephoneMemosWithTheirColourItems) {
  ASSERT_NE(Panel->AboutESColorMemo, nullptr);
  std::string text = Panel->AboutESColorMemo->Text();
  EXPECT_EQ(text.substr(0, text.rfind("\r\n") + 2),
            "Данная утилита предназначена для мониторинга \r\n"
            "внешних модулей, подключённых к USB шине \r\n"
            "компьютера. Утилита поддерживает контроль только \r\n"
            "над изделиями, разработанными ЗАО \"Orvek\". Для \r\n"
            "корректной работы необходима операционная среда \r\n"
            "Windows'98/Me/2000/XP/Vista.\r\n"
            "  Поддерживаются следующие внешние  USB модули:\r\n"
            "  1. K3-200;\r\n"
            "  2. K3-600;\r\n"
            "  3. K80-50;\r\n"
            "  4. K-390.\r\n"
            "\r\n");
  EXPECT_NE(text.substr(text.rfind("\r\n") + 2).find("Orvek"), std::string::npos) << "the maker's notice";
  const TColorItems& about = Panel->AboutESColorMemo->ColorItems();
  ASSERT_EQ(about.Count(), 9);
  EXPECT_EQ(about.GetColorItem(0)->Text(), "мониторинга ");
  EXPECT_EQ(about.GetColorItem(0)->Color(), 0x00008080u);
  EXPECT_EQ(about.GetColorItem(2)->Text(), "ЗАО \"Orvek\"");
  EXPECT_EQ(about.GetColorItem(3)->Color(), 0x00008000u);
  EXPECT_EQ(about.GetColorItem(8)->Text(), "Windows");
  EXPECT_EQ(about.GetColorItem(8)->Color(), 0x00000080u);
  EXPECT_EQ(about.GetColorItem(8)->Name(), "ColorItem9");

  ASSERT_NE(Panel->ESColorMemo1, nullptr);
  const TColorItems& phone = Panel->ESColorMemo1->ColorItems();
  ASSERT_EQ(phone.Count(), 9);
  ASSERT_EQ(Panel->ESColorMemo1->LineCount(), 3);
  EXPECT_EQ(Panel->ESColorMemo1->Line(0), "тел.  " + phone.GetColorItem(7)->Text());
  EXPECT_EQ(Panel->ESColorMemo1->Line(1), "факс. " + phone.GetColorItem(8)->Text());
  EXPECT_EQ(Panel->ESColorMemo1->Line(2), " ");
  EXPECT_EQ(phone.GetColorItem(7)->Color(), 0x00800080u);
  EXPECT_EQ(phone.GetColorItem(8)->Color(), 0x00800080u);
  EXPECT_EQ(phone.GetColorItem(3)->Text(), "Windows'98/Me/2000/XP");
}

TEST_F(AboutPanelTest, LinksOpenTheMakersAddressesWithTheHandCursor) {
  for (TURLLink* link : {Panel->OrvekUrlLink, Panel->URLLink, Panel->URLLink1}) {
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->Flags() & cfHandCursor);
    EXPECT_EQ(link->Font().Color(), clNavy);
    EXPECT_EQ(link->FocusFont().Color(), clBlue);
    EXPECT_EQ(link->FocusFont().CharSet(), RUSSIAN_CHARSET);
  }
  EXPECT_EQ(Panel->OrvekUrlLink->Link, "http://" + Panel->OrvekUrlLink->Text());
  EXPECT_EQ(Panel->URLLink->Link.rfind("mailto:" + Panel->URLLink->Text() + "?subject=", 0), 0u);
  EXPECT_EQ(Panel->URLLink1->Link.rfind("mailto:" + Panel->URLLink1->Text() + "?subject=", 0), 0u);
}

// The width of text in a font of that face, size, weight and set. Asked
// for with a fixed pitch, as Courier New is: where the system lacks it, a
// face with its metrics stands in.
int TextWidth(const TFont& font, const std::string& text, bool fixed) {
  TFont f;
  f.Set(font.Face(), font.Height(), (font.Style() & fsBold) | (fixed ? unsigned(fsFixedPitch) : 0u), font.CharSet());
  return ScreenTextWidth(f, text);
}

int ClientWidth(const TWinControl* c) {
  RECT r = {};
  GetClientRect(c->Handle(), &r);
  return r.right;
}

// The addresses, the numbers and the notice are this program's own texts:
// none may be cut off by its label.
TEST_F(AboutPanelTest, EveryAddressNumberAndNoticeFitsItsLabel) {
  for (TURLLink* link : {Panel->OrvekUrlLink, Panel->URLLink, Panel->URLLink1}) {
    ASSERT_NE(link, nullptr);
    SCOPED_TRACE(link->Text());
    EXPECT_LE(TextWidth(link->Font(), link->Text(), true), ClientWidth(link));
    EXPECT_LE(TextWidth(link->FocusFont(), link->Text(), true), ClientWidth(link));
  }
  // The memos paint from x = 1 in the face and the size of their font.
  TFont phoneFont;
  phoneFont.Set(Panel->ESColorMemo1->Font().Face(), Panel->ESColorMemo1->Font().Height(), 0, DEFAULT_CHARSET);
  for (int i = 0; i < Panel->ESColorMemo1->LineCount(); ++i)
    EXPECT_LE(1 + TextWidth(phoneFont, Panel->ESColorMemo1->Line(i), true), ClientWidth(Panel->ESColorMemo1)) << i;
  TESColorMemo* about = Panel->AboutESColorMemo;
  TFont aboutFont;
  aboutFont.Set(about->Font().Face(), about->Font().Height(), 0, DEFAULT_CHARSET);
  const std::string notice = about->Line(about->LineCount() - 1);
  EXPECT_NE(notice.find("Orvek"), std::string::npos);
  EXPECT_LE(1 + TextWidth(aboutFont, notice, false), ClientWidth(about));
}

TEST_F(AboutPanelTest, OkIsTheDefaultButtonAndEndsWithOk) {
  ASSERT_NE(Panel->OkLMDButton, nullptr);
  EXPECT_EQ(Panel->DefaultButton(), Panel->OkLMDButton);
  EXPECT_EQ(Panel->OkLMDButton->Text(), "OK");
  EXPECT_TRUE(Panel->OkLMDButton->Flags() & cfHandCursor);
  Panel->OkLMDButton->Click();
  EXPECT_EQ(Panel->ModalResult(), mrOk);
}

TEST_F(AboutPanelTest, WhileShownEscEndsTheWindowAndAfterwardsTheMainHookIsBack) {
  Panel->Show();
  EXPECT_FALSE(Press('A'));
  EXPECT_TRUE(Press(VK_ESCAPE));
  EXPECT_EQ(Panel->ModalResult(), mrOk);
  EXPECT_EQ(MainAsked, 0);
  Panel->Hide();
  Press(VK_ESCAPE);
  EXPECT_EQ(MainAsked, 1);
  // A second showing swaps the hooks again.
  Panel->SetModalResult(mrNone);
  Panel->Show();
  EXPECT_TRUE(Press(VK_ESCAPE));
  EXPECT_EQ(MainAsked, 1);
  Panel->Hide();
  Press(VK_ESCAPE);
  EXPECT_EQ(MainAsked, 2);
}

TEST_F(AboutPanelTest, HidingAWindowNeverShownLeavesTheHookAlone) {
  Panel->Hide();
  SendMessageW(Panel->Handle(), WM_SHOWWINDOW, FALSE, 0);
  ASSERT_TRUE(static_cast<bool>(App->OnShortCut));
  Press(VK_ESCAPE);
  EXPECT_EQ(MainAsked, 1);
}

}  // namespace
