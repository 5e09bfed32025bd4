#pragma once
// Measuring, wrapping and styling text for windows that draw their own text, and the spacing
// unit of the library's dialog layouts. Every routine that takes a device context measures
// with the font already selected into it; results are in device pixels.
#include "base/Win.h"
#include "toolkit/Graphics.h"

#include <string>
#include <string_view>

class TControl;

// Pixels per inch of the monitor nearest to the control's window (the main window's when
// Control is null; the system's when there is no window), never less than 96.
int ControlPPI(const TControl* control);
// The layout distance of the library's dialogs: ControlPPI div 24 (4 pixels at 96 dpi).
int SpacingUnit(const TControl* control);
// The same for a given pixels-per-inch value.
int SpacingUnitForPPI(int pixelsPerInch);

// Every line break (CR LF, lone CR, lone LF) as CR LF.
std::wstring NormalizeLineBreaks(std::wstring_view s);

// Number of leading code units of S that fit in Width pixels; the whole length of S when not
// even one character fits. A surrogate pair is never cut: it fits whole or not at all.
int CharsThatFit(HDC dc, std::wstring_view s, int width);
// Height of S drawn line by line (a new line at each CR LF, no wrapping).
int TextHeightOf(HDC dc, const std::wstring& s);
// Width of the widest line of S.
int TextWidthOf(HDC dc, const std::wstring& s);
// The text-metric height of the selected font; with n > 1 divided by n, rounded to the nearest
// integer (ties to even). Never less than 1.
int LineHeightOf(HDC dc, int n = 1);
// The same for the canvas's current font.
int LineHeightOf(TCanvas& canvas, int n = 1);

// Gives Target the charset, colour, height, name, orientation, pitch (with the family that
// goes with it), style and quality of Source.
void CopyFontAttributes(TFontDesc& target, const TFontDesc& source);

// S broken into lines (joined by CR LF) no wider than Width pixels. Breaks go after the last
// space that fits, else after punctuation that ends a word, else after a character that opens
// a group, else after a separator (",", "-", ".", U+00A0, U+00B7, U+00B8), searched down to a
// fifth of the width; else the line is cut at the last character that fits. A line of which
// not even one character fits is kept whole. Lines that fit stay as they are; broken pieces are
// trimmed, and so is the end of the result. Linear in the length of S.
std::wstring WrapText(HDC dc, std::wstring_view s, int width);
