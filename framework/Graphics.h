// Colours, font descriptions and the design-resolution scaling.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"

// A colour: 0x00BBGGRR, or a system colour as 0xFF000000 | COLOR_xxx.
typedef DWORD TColor;
constexpr TColor SystemColor(int index) { return 0xFF000000u | static_cast<DWORD>(index); }
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clNavy = 0x800000, clMaroon = 0x000080,
                 clPurple = 0x800080, clBlue = 0xFF0000, clOlive = 0x008080, clTeal = 0x808000,
                 clGreen = 0x008000, clRed = 0x0000FF, clLime = 0x00FF00;
// In a description: take the parent's colour.
constexpr TColor clParent = 0x20000000;
COLORREF ColorToRGB(TColor color);

// The pixels per inch that form descriptions are designed at.
constexpr int DesignPixelsPerInch = 120;
int ScreenPixelsPerInch();
int Scale(int designPixels, int pixelsPerInch);

// fsFixedPitch asks for a fixed-pitch face: where the named face is missing
// (Wine has no Courier New), the system then falls back to a fixed-pitch one
// instead of its default proportional face.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsFixedPitch = 8 };

// A font as a description gives it: face, character height in pixels at the
// design resolution, style, character set and colour.
struct TFontDesc {
  const char* Face;
  int Height;
  unsigned Style;
  BYTE CharSet;
  TColor Color;
};

// A font in use: its description scaled to a resolution, and its handle.
class TFont {
 public:
  TFont() = default;
  void Assign(const TFontDesc& desc, int pixelsPerInch);
  void Assign(const TFont& other);
  HFONT Handle() const { return FHandle.Get(); }
  const std::string& Face() const { return FFace; }
  int Height() const { return FHeight; }  // character height, device pixels
  unsigned Style() const { return FStyle; }
  BYTE CharSet() const { return FCharSet; }
  TColor Color() const { return FColor; }
  void SetColor(TColor c) { FColor = c; }
  void Set(const std::string& face, int height, unsigned style, BYTE charSet);

 private:
  std::string FFace;
  int FHeight = 0;
  unsigned FStyle = 0;
  BYTE FCharSet = DEFAULT_CHARSET;
  TColor FColor = clWindowText;
  TFontHandle FHandle;
};
