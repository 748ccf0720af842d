// The Waiting window: how it looks, and the bar that its timer moves.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "framework/Graphics.h"
#include "windows/WaitingPanel.h"

namespace {

class WaitingPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Panel = new TWaitingPanel(nullptr);
    Panel->Build();
    ASSERT_NE(Panel->WaitingLMDProgress, nullptr);
    ASSERT_NE(Panel->ESColorMemo1, nullptr);
  }
  void TearDown() override { delete Panel; }
  int Bar() const { return Panel->WaitingLMDProgress->Position(); }
  TWaitingPanel* Panel = nullptr;
};

TEST_F(WaitingPanelTest, WindowHasNoCaptionButtonsStaysOnTopAndIsScaled) {
  HWND h = Panel->Handle();
  wchar_t caption[32] = {};
  GetWindowTextW(h, caption, 32);
  EXPECT_STREQ(caption, L"Ждём-c...");
  EXPECT_EQ(caption[5], L'c') << "the caption's c is Latin";
  LONG style = GetWindowLongW(h, GWL_STYLE), ex = GetWindowLongW(h, GWL_EXSTYLE);
  EXPECT_FALSE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  RECT r;
  GetClientRect(h, &r);
  EXPECT_EQ(r.right, Scale(418, ScreenPixelsPerInch()));
  EXPECT_EQ(r.bottom, Scale(133, ScreenPixelsPerInch()));
}

TEST_F(WaitingPanelTest, MemoHoldsTheFourLinesAndTheThreeColours) {
  TESColorMemo* memo = Panel->ESColorMemo1;
  EXPECT_EQ(memo->Text(),
            "Обнаружен один или несколько модулей K3-600. \r\n"
            "Время необходимое для загрузки одного модуля \r\n"
            "K3-600 составляет порядка 2 сек.\r\n"
            "Так что ждём-с...");
  EXPECT_FALSE(memo->Enabled());
  EXPECT_TRUE(GetWindowLongW(memo->Handle(), GWL_STYLE) & ES_READONLY);
  const TColorItems& items = memo->ColorItems();
  ASSERT_EQ(items.Count(), 3);
  struct Expected {
    const char* Name;
    uint32_t Color;
    const char* Text;
  } expected[] = {{"ColorItem1", 0x00FF0000, "K3-600"}, {"ColorItem2", 0x00800080, "2 сек."},
                  {"ColorItem3", 0x00000080, "ждём-с"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(items.GetColorItem(i)->Name(), expected[i].Name);
    EXPECT_EQ(items.GetColorItem(i)->Color(), expected[i].Color);
    EXPECT_EQ(items.GetColorItem(i)->Text(), expected[i].Text);
  }
}

TEST_F(WaitingPanelTest, BarStartsFromTheDescriptionAndTheTimerWaitsForTheShow) {
  EXPECT_EQ(Bar(), 21);
  EXPECT_EQ(Panel->WaitingLMDProgress->Step(), 10);
  EXPECT_FALSE(Panel->Timer->Running());
  EXPECT_EQ(SendMessageW(Panel->WaitingLMDProgress->Handle(), 0x0408 /* PBM_GETPOS */, 0, 0), 21);
}

TEST_F(WaitingPanelTest, OneSweepRunsZeroToHundredAndBackToZero) {
  Panel->Show();
  EXPECT_TRUE(Panel->Timer->Running());
  EXPECT_EQ(Panel->Timer->Interval(), 200u);
  std::vector<int> seen = {Bar()};
  for (int i = 0; i < 12; ++i) {
    Panel->TimerTimer();
    seen.push_back(Bar());
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0, 10}));
  Panel->Hide();
  EXPECT_FALSE(Panel->Timer->Running());
}

TEST_F(WaitingPanelTest, TickAtHundredOnlyFallsBackAndNeverOvershoots) {
  Panel->Show();
  Panel->WaitingLMDProgress->SetPosition(95);
  Panel->TimerTimer();
  EXPECT_EQ(Bar(), 100);
  Panel->TimerTimer();
  EXPECT_EQ(Bar(), 0);
  Panel->Hide();
}

TEST_F(WaitingPanelTest, EveryShowStartsTheBarAtZero) {
  Panel->Show();
  for (int i = 0; i < 4; ++i) Panel->TimerTimer();
  EXPECT_EQ(Bar(), 40);
  Panel->Hide();
  EXPECT_EQ(Bar(), 40) << "hiding keeps the value";
  Panel->Show();
  EXPECT_EQ(Bar(), 0);
  for (int i = 0; i < 10; ++i) Panel->TimerTimer();
  EXPECT_EQ(Bar(), 100);
  Panel->Hide();
  Panel->Show();
  EXPECT_EQ(Bar(), 0);
  Panel->TimerTimer();
  EXPECT_EQ(Bar(), 10);
  Panel->Hide();
}

}  // namespace
