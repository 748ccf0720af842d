// A push button that paints its caption itself, in its font's colour, raised
// and at the top centre: the standard button would draw it in black.
#pragma once

#include <windows.h>

#include "framework/Controls.h"

class TCaptionButton : public TButton {
 public:
  using TButton::TButton;

 protected:
  DWORD WindowStyle() const override;
  bool Reflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Draw(const DRAWITEMSTRUCT& item);
};
