#include "framework/Graphics.h"

#include "framework/Text.h"

COLORREF ColorToRGB(TColor color) {
  if (color & 0xFF000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return color;
}

int ScreenPixelsPerInch() {
  TWindowDC dc(nullptr);
  int ppi = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
  return ppi > 0 ? ppi : 96;
}

int Scale(int designPixels, int pixelsPerInch) { return MulDiv(designPixels, pixelsPerInch, DesignPixelsPerInch); }

void TFont::Assign(const TFontDesc& desc, int pixelsPerInch) {
  FColor = desc.Color;
  Set(desc.Face ? desc.Face : "Arial", Scale(desc.Height, pixelsPerInch), desc.Style, desc.CharSet);
}

void TFont::Assign(const TFont& other) {
  FColor = other.FColor;
  Set(other.FFace, other.FHeight, other.FStyle, other.FCharSet);
}

void TFont::Set(const std::string& face, int height, unsigned style, BYTE charSet) {
  FFace = face;
  FHeight = height;
  FStyle = style;
  FCharSet = charSet;
  LOGFONTW lf = {};
  lf.lfHeight = -height;  // character height, not cell height
  lf.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style & fsItalic) ? TRUE : FALSE;
  lf.lfUnderline = (style & fsUnderline) ? TRUE : FALSE;
  lf.lfCharSet = charSet;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = (style & fsFixedPitch) ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH;
  std::wstring w = Widen(face);
  lstrcpynW(lf.lfFaceName, w.c_str(), LF_FACESIZE);
  FHandle.Reset(CreateFontIndirectW(&lf));
}
