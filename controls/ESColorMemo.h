// A read-only memo that paints its lines itself, each chosen substring (a
// colour item) in its own colour and the rest in the font's colour. The edit
// control underneath keeps the text and breaks it into lines; it never draws.
#pragma once

#include <windows.h>

#include <cstddef>

#include "controls/ColorItems.h"
#include "framework/Controls.h"

// One colour item as a window describes it: its colour and its text.
struct TColorItemDesc {
  TColor Color;
  const char* Text;
};

class TESColorMemo : public TMemo {
 public:
  explicit TESColorMemo(TComponent* owner);
  ~TESColorMemo() override;

  TColorItems& ColorItems() { return FColorItems; }
  const TColorItems& ColorItems() const { return FColorItems; }
  // Copies the items of `items`; the memo keeps its own list.
  void SetColorItems(const TColorItems& items);
  // Appends one item for each entry, with its default name (ColorItem1,
  // ColorItem2, ...), and paints again.
  void AddColorItems(const TColorItemDesc* items, size_t count);
  template <size_t N>
  void AddColorItems(const TColorItemDesc (&items)[N]) {
    AddColorItems(items, N);
  }

  // Draws every line on `dc`: from y = 2, each line from x = 1, pieces
  // opaque on the memo's colour. Draws only the text pieces.
  void PaintLines(HDC dc);

 protected:
  DWORD WindowStyle() const override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The paint message: on the context that wParam carries, or else inside a
  // paint cycle of the memo's own window.
  void WMPaint(WPARAM wParam);

 private:
  TColorItems FColorItems;
};
