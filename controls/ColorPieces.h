// How the coloured memo splits one line into pieces of one colour each: the
// earliest occurrence of any item text is painted in that item's colour,
// the text before it in the default colour, and the search goes on behind
// the match; what is left after the last match is the tail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TColorItemCollection;

// One piece of a line, drawn in one colour; as an item to look for, the
// substring to colour and its colour.
struct TColorPiece {
  std::string Text;
  uint32_t Color = 0;
};

inline bool operator==(const TColorPiece& a, const TColorPiece& b) {
  return a.Text == b.Text && a.Color == b.Color;
}

// Splits `line` (cp1251) into pieces, left to right; the concatenated piece
// texts give the line back. Matching is exact and case-sensitive on the
// bytes; an item with an empty Text never matches; where two items match at
// the same position, the earlier item in `items` wins whatever the lengths.
// Matches never overlap. Pieces are never empty: an empty prefix before a
// match, or an empty tail, is left out, so an empty line gives no pieces.
std::vector<TColorPiece> SplitColorPieces(const std::string& line, const std::vector<TColorPiece>& items,
                                          uint32_t defaultColor);

// The same with the Text and Color of every TColorItem of `items`, in order.
std::vector<TColorPiece> SplitColorPieces(const std::string& line, const TColorItemCollection& items,
                                          uint32_t defaultColor);
