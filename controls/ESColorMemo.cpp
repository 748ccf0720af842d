#include "controls/ESColorMemo.h"

#include <string>
#include <vector>

#include "controls/ColorPieces.h"
#include "framework/NoCopy.h"
#include "framework/Text.h"

namespace {

// Keeps the context's font, colours and background mode for the length of
// one paint, and gives them back also when drawing fails.
class TSavedDC : TNoCopy {
 public:
  explicit TSavedDC(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
  ~TSavedDC() {
    if (FSaved) RestoreDC(FDC, FSaved);
  }

 private:
  HDC FDC;
  int FSaved;
};

SIZE Extent(HDC dc, const std::wstring& text) {
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

// Draws one piece at (x, y) and gives its width. The glyphs are placed at
// the advances that the extent measures, so that a piece ends exactly where
// the next one starts (some renderers draw a run a few pixels shorter than
// they measure it, which opened gaps between the pieces).
int DrawPiece(HDC dc, int x, int y, const std::string& text, uint32_t color) {
  std::wstring w = Widen(text);
  SetTextColor(dc, ColorToRGB(color));
  int n = static_cast<int>(w.size());
  std::vector<int> ends(w.size() + 1, 0), advances(w.size() + 1, 0);
  SIZE size = {0, 0};
  if (n > 0 && GetTextExtentExPointW(dc, w.c_str(), n, 0, nullptr, ends.data(), &size)) {
    for (int i = 0; i < n; ++i) advances[i] = ends[i] - (i > 0 ? ends[i - 1] : 0);
    ExtTextOutW(dc, x, y, 0, nullptr, w.c_str(), static_cast<UINT>(n), advances.data());
  } else {
    TextOutW(dc, x, y, w.c_str(), n);
  }
  return Extent(dc, w).cx;
}

}  // namespace

TESColorMemo::TESColorMemo(TComponent* owner) : TMemo(owner), FColorItems(this) {}

TESColorMemo::~TESColorMemo() = default;

void TESColorMemo::SetColorItems(const TColorItems& items) {
  FColorItems.Assign(items);
  Invalidate();
}

void TESColorMemo::AddColorItems(const TColorItemDesc* items, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    TColorItem* item = FColorItems.AddColorItem();
    item->SetColor(items[i].Color);
    item->SetText(items[i].Text);
  }
  Invalidate();
}

DWORD TESColorMemo::WindowStyle() const {
  // The alignment is not given to the edit control: it changes nothing
  // painted, and a centred edit control always wraps. No word wrap: each line of the text is one painted row, cut at the right
  // edge if need be. Sizes scaled down from the design resolution round the
  // font up a little, and a wrapped row would push the last lines out of
  // sight.
  return TMemo::WindowStyle() | ES_AUTOHSCROLL;
}

void TESColorMemo::PaintLines(HDC dc) {
  if (!dc) return;
  // Only the face and the size of the memo's font: regular, default set.
  // Made before the context is saved, so that it is deleted only after the
  // context has been given its own font back: Windows refuses to delete a
  // font that is still selected.
  TFont canvasFont;
  canvasFont.Set(Font().Face(), Font().Height(), 0, DEFAULT_CHARSET);
  TSavedDC saved(dc);
  if (canvasFont.Handle()) SelectObject(dc, canvasFont.Handle());
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, ColorToRGB(Color()));
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  const uint32_t defaultColor = Font().Color();
  const std::wstring size = L"Size";
  int y = 2;
  int count = LineCount();
  for (int i = 0; i < count; ++i) {
    int x = 1;
    std::vector<TColorPiece> pieces = SplitColorPieces(Line(i), FColorItems, defaultColor);
    for (const TColorPiece& piece : pieces) x += DrawPiece(dc, x, y, piece.Text, piece.Color);
    SetTextColor(dc, ColorToRGB(defaultColor));
    y += Extent(dc, size).cy;
  }
}

void TESColorMemo::WMPaint(WPARAM wParam) {
  if (HDC given = reinterpret_cast<HDC>(wParam)) {
    PaintLines(given);
    return;
  }
  TPaintDC dc(Handle());  // the cycle ends also when drawing fails
  PaintLines(dc.Get());
}

LRESULT TESColorMemo::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      WMPaint(wParam);
      return 0;
    case WM_PRINTCLIENT:
      if (lParam & PRF_ERASEBKGND) SendMessageW(Handle(), WM_ERASEBKGND, wParam, 0);
      WMPaint(wParam);
      return 0;
    case WM_ERASEBKGND: {
      // What the text pieces leave is the memo's colour: the whole client
      // area is filled before the pieces are drawn over it.
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (!dc) return 0;
      RECT r;
      GetClientRect(Handle(), &r);
      FillRect(dc, &r, BackgroundBrush());
      return 1;
    }
  }
  return TMemo::WndProc(msg, wParam, lParam);
}
