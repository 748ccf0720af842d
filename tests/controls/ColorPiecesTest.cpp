// The split of one memo line into coloured pieces.
#include "controls/ColorPieces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ColorItems.h"

namespace {

constexpr uint32_t Black = 0x000000;
constexpr uint32_t Red = 0x0000FF;
constexpr uint32_t Blue = 0xFF0000;
constexpr uint32_t Green = 0x00FF00;

using Pieces = std::vector<TColorPiece>;

std::string Joined(const Pieces& pieces) {
  std::string all;
  for (const TColorPiece& p : pieces) all += p.Text;
  return all;
}

}  // namespace

// Readable failure messages (found by argument lookup, so not in the unnamed namespace).
static void PrintTo(const TColorPiece& p, std::ostream* os) { *os << "{\"" << p.Text << "\", " << p.Color << "}"; }

TEST(ColorPiecesTest, WithoutItemsTheLineIsOnePieceInTheDefaultColour) {
  EXPECT_EQ(SplitColorPieces("Мониторинг USB модулей", {}, Black), (Pieces{{"Мониторинг USB модулей", Black}}));
  EXPECT_TRUE(SplitColorPieces("", {}, Black).empty());
  EXPECT_TRUE(SplitColorPieces("", {{"USB", Red}}, Black).empty());
}

TEST(ColorPiecesTest, OnEqualPositionsTheEarlierItemWinsWhateverTheLength) {
  std::vector<TColorPiece> items{{"K3-6", Red}, {"K3-600", Blue}};
  EXPECT_EQ(SplitColorPieces("K3-600;", items, Black), (Pieces{{"K3-6", Red}, {"00;", Black}}));
  // The other order gives the longer text.
  std::vector<TColorPiece> swapped{{"K3-600", Blue}, {"K3-6", Red}};
  EXPECT_EQ(SplitColorPieces("K3-600;", swapped, Black), (Pieces{{"K3-600", Blue}, {";", Black}}));
}

TEST(ColorPiecesTest, TheEarliestPositionWinsOverTheListOrder) {
  std::vector<TColorPiece> items{{"модулей", Red}, {"USB", Blue}};
  EXPECT_EQ(SplitColorPieces("Мониторинг USB модулей", items, Black),
            (Pieces{{"Мониторинг ", Black}, {"USB", Blue}, {" ", Black}, {"модулей", Red}}));
}

TEST(ColorPiecesTest, MatchingIsCaseSensitiveOnTheBytes) {
  std::vector<TColorPiece> items{{"USB", Red}};
  EXPECT_EQ(SplitColorPieces("usb и Usb", items, Black), (Pieces{{"usb и Usb", Black}}));
  std::vector<TColorPiece> cyrillic{{"Модуль", Red}};
  EXPECT_EQ(SplitColorPieces("МОДУЛЬ модуль Модуль", cyrillic, Black),
            (Pieces{{"МОДУЛЬ модуль ", Black}, {"Модуль", Red}}));
}

TEST(ColorPiecesTest, AnItemEndingInABlankColoursOnlyWhereTheBlankFollows) {
  std::vector<TColorPiece> items{{"мониторинга ", Green}};
  EXPECT_EQ(SplitColorPieces("Программа мониторинга", items, Black), (Pieces{{"Программа мониторинга", Black}}));
  EXPECT_EQ(SplitColorPieces("мониторинга, мониторинга модулей", items, Black),
            (Pieces{{"мониторинга, ", Black}, {"мониторинга ", Green}, {"модулей", Black}}));
}

TEST(ColorPiecesTest, EveryOccurrenceIsColoured) {
  std::vector<TColorPiece> items{{"K3-600", Red}};
  EXPECT_EQ(SplitColorPieces("K3-600 и K3-600", items, Black),
            (Pieces{{"K3-600", Red}, {" и ", Black}, {"K3-600", Red}}));
  // Back to back, without anything between.
  EXPECT_EQ(SplitColorPieces("abab", {{"ab", Red}}, Black), (Pieces{{"ab", Red}, {"ab", Red}}));
}

TEST(ColorPiecesTest, ALineStartingWithAMatchHasNoPrefixPiece) {
  EXPECT_EQ(SplitColorPieces("USB модуль", {{"USB", Red}}, Black), (Pieces{{"USB", Red}, {" модуль", Black}}));
  // And one ending with a match has no tail piece.
  EXPECT_EQ(SplitColorPieces("модуль USB", {{"USB", Red}}, Black), (Pieces{{"модуль ", Black}, {"USB", Red}}));
  EXPECT_EQ(SplitColorPieces("USB", {{"USB", Red}}, Black), (Pieces{{"USB", Red}}));
}

TEST(ColorPiecesTest, MatchesNeverOverlap) {
  // "aaa" in "aaaaa": one match, the rest is too short for a second.
  EXPECT_EQ(SplitColorPieces("aaaaa", {{"aaa", Red}}, Black), (Pieces{{"aaa", Red}, {"aa", Black}}));
  // Text inside a match is not coloured again, even by an item that would
  // start inside it.
  std::vector<TColorPiece> items{{"K3-600", Red}, {"600;", Blue}};
  EXPECT_EQ(SplitColorPieces("K3-600;600;", items, Black),
            (Pieces{{"K3-600", Red}, {";", Black}, {"600;", Blue}}));
  // An item found before the current match but starting inside it is looked
  // for again behind the match.
  std::vector<TColorPiece> two{{"bc", Blue}, {"ab", Red}};
  EXPECT_EQ(SplitColorPieces("abcbc", two, Black), (Pieces{{"ab", Red}, {"c", Black}, {"bc", Blue}}));
}

TEST(ColorPiecesTest, AnEmptyItemTextNeverMatches) {
  std::vector<TColorPiece> items{{"", Red}, {"USB", Blue}};
  EXPECT_EQ(SplitColorPieces("Модуль USB", items, Black), (Pieces{{"Модуль ", Black}, {"USB", Blue}}));
  EXPECT_EQ(SplitColorPieces("abc", {{"", Red}}, Black), (Pieces{{"abc", Black}}));
}

TEST(ColorPiecesTest, PiecesAreNeverEmptyAndGiveTheLineBack) {
  std::vector<TColorPiece> items{{"a", Red}, {"ab", Blue}, {"b", Green}, {"", Red}, {"ba", Blue}};
  const std::string lines[] = {"", "a", "b", "ab", "ba", "aabbaabb", "xaxbxabx", "bbbbab", "ЁёaЁb"};
  for (const std::string& line : lines) {
    Pieces pieces = SplitColorPieces(line, items, Black);
    EXPECT_EQ(Joined(pieces), line);
    for (const TColorPiece& p : pieces) EXPECT_FALSE(p.Text.empty()) << line;
  }
}

TEST(ColorPiecesTest, ALongLineWithManyMatchesIsSplitCompletely) {
  std::string line;
  for (int i = 0; i < 2000; ++i) line += "K3-600 ";
  Pieces pieces = SplitColorPieces(line, {{"K3-200", Blue}, {"K3-600", Red}}, Black);
  ASSERT_EQ(pieces.size(), 4000u);
  EXPECT_EQ(pieces[0], (TColorPiece{"K3-600", Red}));
  EXPECT_EQ(pieces[3999], (TColorPiece{" ", Black}));
  EXPECT_EQ(Joined(pieces), line);
}

TEST(ColorPiecesTest, TakesTheTextsAndColoursOfAColourItemList) {
  TColorItems items(nullptr);
  TColorItem* first = items.AddColorItem();
  first->SetText("K3-6");
  first->SetColor(Red);
  TColorItem* second = items.AddColorItem();
  second->SetText("K3-600");
  second->SetColor(Blue);
  TColorItem* third = items.AddColorItem();
  third->SetText("ПЛИС");
  third->SetColor(Green);
  EXPECT_EQ(SplitColorPieces("K3-600; ПЛИС", items, Black),
            (Pieces{{"K3-6", Red}, {"00; ", Black}, {"ПЛИС", Green}}));
  // A change of an item shows in the next split.
  items.Delete(0);
  EXPECT_EQ(SplitColorPieces("K3-600; ПЛИС", items, Black),
            (Pieces{{"K3-600", Blue}, {"; ", Black}, {"ПЛИС", Green}}));
}
