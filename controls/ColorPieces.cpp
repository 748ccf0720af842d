#include "controls/ColorPieces.h"

#include "controls/ColorItems.h"

std::vector<TColorPiece> SplitColorPieces(const std::string& line, const std::vector<TColorPiece>& items,
                                          uint32_t defaultColor) {
  std::vector<TColorPiece> pieces;
  // Next occurrence of each item at or behind `from`; an occurrence that a
  // match has passed is looked for again, one that is absent stays absent.
  std::vector<size_t> next(items.size());
  for (size_t i = 0; i < items.size(); ++i)
    next[i] = items[i].Text.empty() ? std::string::npos : line.find(items[i].Text);

  size_t from = 0;
  for (;;) {
    size_t best = std::string::npos, bestItem = 0;
    for (size_t i = 0; i < items.size(); ++i) {
      if (next[i] != std::string::npos && next[i] < from) next[i] = line.find(items[i].Text, from);
      if (next[i] < best) {
        best = next[i];
        bestItem = i;
      }
    }
    if (best == std::string::npos) break;
    if (best > from) pieces.push_back({line.substr(from, best - from), defaultColor});
    const TColorPiece& item = items[bestItem];
    pieces.push_back({item.Text, item.Color});
    from = best + item.Text.size();
  }
  if (from < line.size()) pieces.push_back({line.substr(from), defaultColor});
  return pieces;
}

std::vector<TColorPiece> SplitColorPieces(const std::string& line, const TColorItemCollection& items,
                                          uint32_t defaultColor) {
  std::vector<TColorPiece> matches;
  matches.reserve(static_cast<size_t>(items.Count()));
  for (int i = 0; i < items.Count(); ++i) {
    if (const auto* item = dynamic_cast<const TColorItem*>(items.Items(i)))
      matches.push_back({item->Text(), item->Color()});
  }
  return SplitColorPieces(line, matches, defaultColor);
}
