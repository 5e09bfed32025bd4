#pragma once
// Fonts by name and size in design units, created for a given DPI; the installed screen fonts.
#include "base/Handle.h"

#include <string>
#include <vector>

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font description. Height follows the LOGFONT convention in design pixels at 96 dpi:
// negative values are the character height (9 pt = -12), positive values the cell height.
struct TFontSpec {
  std::wstring Name = L"Segoe UI";
  int Height = -12;
  unsigned Style = 0;  // TFontStyle bits
  COLORREF Color = CLR_INVALID;  // CLR_INVALID: the system's window text colour

  static TFontSpec FromPoints(const std::wstring& name, int points, unsigned style = 0);
  // Size in points (rounded), as the font dialogs show it.
  int Points() const;
  void SetPoints(int points);
  bool operator==(const TFontSpec&) const = default;
};

// Creates the font for a DPI (96 = design size).
TFontHandle CreateFontFor(const TFontSpec& fontSpec, int dpi);

// Names of the installed screen fonts, sorted, without duplicates and without vertical ("@") faces.
const std::vector<std::wstring>& ScreenFonts();
bool FontInstalled(const std::wstring& name);

// Scales design pixels (96 dpi) to a DPI.
inline int ScaleToDpi(int designPixels, int dpi) { return ::MulDiv(designPixels, dpi, 96); }
