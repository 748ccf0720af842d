// The coloured memo in a real window: its lines from the description, and
// what its paint handler leaves on a given device context, pixel by pixel.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "controls/ESColorMemo.h"
#include "framework/Form.h"
#include "framework/Handles.h"
#include "tests/support/TextWidth.h"
#include "tools/probe/MemoryBitmap.h"

namespace {

constexpr int MemoWidth = 300, MemoHeight = 80;
constexpr COLORREF Sentinel = RGB(0, 255, 0);  // what the handler must not paint over
constexpr TFontDesc MemoFont = {"Arial", 17, fsBold, RUSSIAN_CHARSET, clBlack};

const TControlDesc EnabledControls[] = {
    {Make<TESColorMemo>, "Memo", "", 0, 0, MemoWidth, MemoHeight, "ab K3-600 cd\nждём-с", MemoFont, clWhite, 0},
};
const TControlDesc DisabledControls[] = {
    {Make<TESColorMemo>, "Memo", "", 0, 0, MemoWidth, MemoHeight, "ab K3-600 cd\nждём-с", MemoFont, clWhite,
     cfDisabled | cfCentre},
};

TFormDesc HostDesc(const TControlDesc* controls) {
  return {"MemoHost", "memo host", 320, 100, WS_POPUP, 0, TPosition::ScreenCenter, false,
          {"Arial", 17, 0, RUSSIAN_CHARSET, clWindowText}, clBtnFace, controls, 1};
}

// A 32-bit bitmap in a memory context, filled with the sentinel colour.
class TBitmapDC {
 public:
  TBitmapDC(int w, int h) : FBitmap(w, h) {
    RECT r = {0, 0, w, h};
    HBRUSH b = CreateSolidBrush(Sentinel);
    FillRect(Get(), &r, b);
    DeleteObject(b);
  }
  HDC Get() const { return FBitmap.Get(); }
  COLORREF Pixel(int x, int y) const { return GetPixel(Get(), x, y); }
  // Horizontal range [first, last] of pixels near `color` in rows [top, bottom); first > last when none.
  void Range(COLORREF color, int top, int bottom, int& first, int& last) const {
    first = FBitmap.Width();
    last = -1;
    for (int y = top; y < bottom && y < FBitmap.Height(); ++y)
      for (int x = 0; x < FBitmap.Width(); ++x)
        if (Near(Pixel(x, y), color)) {
          if (x < first) first = x;
          if (x > last) last = x;
        }
  }
  static bool Near(COLORREF a, COLORREF b) {
    auto d = [](int u, int v) { return u > v ? u - v : v - u; };
    return d(GetRValue(a), GetRValue(b)) < 40 && d(GetGValue(a), GetGValue(b)) < 40 &&
           d(GetBValue(a), GetBValue(b)) < 40;
  }

 private:
  Inspector::TMemoryBitmap FBitmap;
};

// The width of `text` in the memo's canvas font (face and size only).
int Width(const std::string& text) {
  TFont f;
  f.Set("Arial", 17, 0, DEFAULT_CHARSET);
  return ScreenTextWidth(f, text);
}

class ColorMemoPaint : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    Desc = HostDesc(GetParam() ? DisabledControls : EnabledControls);
    Host = new TForm(nullptr, Desc);
    Host->Build();
    Memo = Host->Find<TESColorMemo>("Memo");
    ASSERT_NE(Memo, nullptr);
    Memo->ColorItems().AddColorItem()->SetText("K3-600");
    Memo->ColorItems().GetColorItem(0)->SetColor(clBlue);
    Memo->ColorItems().AddColorItem()->SetText("ждём-с");
    Memo->ColorItems().GetColorItem(1)->SetColor(clMaroon);
  }
  void TearDown() override { delete Host; }
  TFormDesc Desc{};
  TForm* Host = nullptr;
  TESColorMemo* Memo = nullptr;
};

TEST_P(ColorMemoPaint, PiecesInTheirColoursOnTheMemoColourAndNothingElse) {
  EXPECT_EQ(Memo->Enabled(), !GetParam());
  TBitmapDC dc(MemoWidth, MemoHeight);
  SendMessageW(Memo->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc.Get()), 0);
  int lineHeight = 0;
  {
    TFont f;
    f.Set("Arial", 17, 0, DEFAULT_CHARSET);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, f.Handle());
    SIZE s = {};
    GetTextExtentPoint32W(screen, L"Size", 4, &s);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    lineHeight = s.cy;
  }
  ASSERT_GT(lineHeight, 10);
  // Line 1: "ab " in black, "K3-600" in blue, " cd" in black, from x = 1.
  int first = 0, last = 0;
  dc.Range(RGB(0, 0, 255), 2, 2 + lineHeight, first, last);
  ASSERT_LE(first, last) << "no blue pixel in the first line";
  EXPECT_GE(first, 1 + Width("ab "));
  EXPECT_LT(last, 1 + Width("ab K3-600"));
  dc.Range(RGB(0, 0, 0), 2, 2 + lineHeight, first, last);
  ASSERT_LE(first, last) << "no black pixel in the first line";
  EXPECT_LT(first, 1 + Width("ab "));
  EXPECT_GE(last, 1 + Width("ab K3-600"));
  EXPECT_LT(last, 1 + Width("ab K3-600 cd"));
  // Opaque pieces: the text cell is the memo's colour (white), not the sentinel.
  EXPECT_EQ(dc.Pixel(1, 2), RGB(255, 255, 255));
  EXPECT_EQ(dc.Pixel(Width("ab K3-600 cd") - 1, 2 + lineHeight - 1), RGB(255, 255, 255));
  // Line 2 one "Size" height lower, all maroon: Cyrillic glyphs drawn.
  dc.Range(RGB(128, 0, 0), 2 + lineHeight, 2 + 2 * lineHeight, first, last);
  ASSERT_LE(first, last) << "no maroon pixel in the second line";
  EXPECT_GE(last - first, Width("ждём-с") / 2);
  dc.Range(RGB(0, 0, 255), 2 + lineHeight, MemoHeight, first, last);
  EXPECT_GT(first, last) << "blue below the first line";
  // The rest of the client area is not the handler's business.
  EXPECT_EQ(dc.Pixel(MemoWidth - 2, 3), Sentinel);
  EXPECT_EQ(dc.Pixel(5, 2 + 2 * lineHeight + 3), Sentinel);
  EXPECT_EQ(dc.Pixel(0, 0), Sentinel);
}

// Deletes as Windows does: never an object still selected into the context
// under watch (Wine defers such a deletion and reports success).
HDC gWatchedDC = nullptr;
BOOL WINAPI RefusingDeleteObject(HGDIOBJ object) {
  if (gWatchedDC && GetCurrentObject(gWatchedDC, GetObjectType(object)) == object) return FALSE;
  return DeleteObject(object);
}

TEST_P(ColorMemoPaint, GivenContextKeepsItsFontAndNoFontLeaks) {
  TBitmapDC dc(MemoWidth, MemoHeight);
  gWatchedDC = dc.Get();
  TDeleteObjectFunction saved = DeleteObjectFunction;
  DeleteObjectFunction = &RefusingDeleteObject;
  HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_FONT);
  long fonts = LiveCount(TResourceKind::Font);
  {
    // A font whose deletion is refused is still counted.
    TFont selected;
    selected.Set("Arial", 12, 0, DEFAULT_CHARSET);
    SelectObject(dc.Get(), selected.Handle());
  }
  EXPECT_EQ(LiveCount(TResourceKind::Font), fonts + 1);
  DeleteObject(SelectObject(dc.Get(), before));
  CountDown(TResourceKind::Font);

  SendMessageW(Memo->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc.Get()), 0);
  SendMessageW(Memo->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
  DeleteObjectFunction = saved;
  gWatchedDC = nullptr;
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), before);
  EXPECT_EQ(LiveCount(TResourceKind::Font), fonts);
}

TEST_P(ColorMemoPaint, OwnPaintCycleEndsAndTheBackgroundIsTheMemoColour) {
  ShowWindow(Host->Handle(), SW_SHOWNOACTIVATE);
  InvalidateRect(Memo->Handle(), nullptr, TRUE);
  UpdateWindow(Memo->Handle());
  RECT update = {};
  EXPECT_FALSE(GetUpdateRect(Memo->Handle(), &update, FALSE)) << "the paint cycle was not ended";
  // Printing the client with its background fills what the text leaves.
  TBitmapDC dc(MemoWidth, MemoHeight);
  SendMessageW(Memo->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(dc.Pixel(MemoWidth - 2, MemoHeight - 2), RGB(255, 255, 255));
  int first = 0, last = 0;
  dc.Range(RGB(0, 0, 255), 0, MemoHeight, first, last);
  EXPECT_LE(first, last);
  ShowWindow(Host->Handle(), SW_HIDE);
}

INSTANTIATE_TEST_SUITE_P(EnabledAndDisabled, ColorMemoPaint, ::testing::Bool());

TEST(ColorMemo, LinesComeFromTheDescriptionAndTheItemsAreCopied) {
  TFormDesc desc = HostDesc(EnabledControls);
  TForm host(nullptr, desc);
  host.Build();
  auto* memo = host.Find<TESColorMemo>("Memo");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Text(), "ab K3-600 cd\r\nждём-с");
  ASSERT_EQ(memo->LineCount(), 2);
  EXPECT_EQ(memo->Line(0), "ab K3-600 cd");
  EXPECT_EQ(memo->Line(1), "ждём-с");

  TColorItems other(nullptr);
  other.Add("Blue");
  other.Find("Blue")->SetText("K3");
  other.Find("Blue")->SetColor(clBlue);
  memo->SetColorItems(other);
  other.Find("Blue")->SetText("changed");
  other.Add("Second");
  ASSERT_EQ(memo->ColorItems().Count(), 1);
  EXPECT_EQ(memo->ColorItems().GetColorItem(0)->Name(), "Blue");
  EXPECT_EQ(memo->ColorItems().GetColorItem(0)->Text(), "K3");
  EXPECT_EQ(memo->ColorItems().GetColorItem(0)->Color(), clBlue);
}

}  // namespace
