#pragma once
// Colours, fonts and canvases. Sizes are given in design pixels (96 dots per inch) and turned
// into device pixels for a DPI in one place: ScaleToDpi / UnscaleFromDpi.
#include "base/Handle.h"

#include <memory>
#include <string>
#include <vector>

// Scales design pixels (96 dpi) to a DPI, and back (rounded to the nearest design pixel).
inline int ScaleToDpi(int designPixels, int dpi) { return ::MulDiv(designPixels, dpi, 96); }
inline int UnscaleFromDpi(int devicePixels, int dpi) { return dpi > 0 ? ::MulDiv(devicePixels, 96, dpi) : devicePixels; }

// A colour: $00BBGGRR, or a system colour (clSystemColor plus its COLOR_ index) that follows
// the user's colour scheme.
using TColor = std::uint32_t;
constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF, clYellow = 0x00FFFF;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE, clBtnShadow = clSystemColor | COLOR_BTNSHADOW,
                 clWindow = clSystemColor | COLOR_WINDOW, clWindowText = clSystemColor | COLOR_WINDOWTEXT,
                 clBtnText = clSystemColor | COLOR_BTNTEXT, clGrayText = clSystemColor | COLOR_GRAYTEXT,
                 clHighlight = clSystemColor | COLOR_HIGHLIGHT, clHotLight = clSystemColor | COLOR_HOTLIGHT,
                 clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
// The RGB value of a colour ($00BBGGRR); system colours are looked up.
COLORREF ColorToRGB(TColor color);

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum TFontPitch : std::uint8_t { fpDefault = DEFAULT_PITCH, fpFixed = FIXED_PITCH, fpVariable = VARIABLE_PITCH };

// What a font is, in design units. Height follows the LOGFONT convention in design pixels at
// 96 dpi: negative values are the character height (9 pt = -12), positive the cell height.
struct TFontDesc {
  std::wstring Name = L"Segoe UI";
  int Height = -12;
  unsigned Style = 0;          // TFontStyle bits
  TColor Color = clWindowText;
  std::uint8_t Charset = DEFAULT_CHARSET;
  TFontPitch Pitch = fpDefault;
  std::uint8_t Family = FF_DONTCARE;  // FF_MODERN asks the system for a monospace face
  std::uint8_t Quality = DEFAULT_QUALITY;
  int Orientation = 0;  // tenths of a degree

  static TFontDesc FromPoints(const std::wstring& name, int points, unsigned style = 0);
  // Size in points (rounded), as the font dialogs show it.
  int Points() const;
  void SetPoints(int points);
  bool operator==(const TFontDesc&) const = default;
};

// A font handle for a description at a DPI, shared by everyone who asks for the same one and
// deleted when the last user lets it go.
using TSharedFont = std::shared_ptr<const TFontHandle>;
TSharedFont SharedFont(const TFontDesc& desc, int dpi);
// A new font handle that nobody else uses.
TFontHandle CreateFontFor(const TFontDesc& desc, int dpi);
// The face the system really chose for a font (GetTextFace).
std::wstring RealizedFaceName(HFONT font);

// Names of the installed screen fonts, sorted, without duplicates and without vertical ("@") faces.
const std::vector<std::wstring>& ScreenFonts();
bool FontInstalled(const std::wstring& name);

enum TBrushStyle : std::uint8_t { bsSolid, bsClear };
enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psClear, psInsideFrame };

// Drawing on a device context with a current font, brush and pen, in device pixels. The canvas
// does not own the DC; it restores what it selected when it goes.
class TCanvas {
public:
  TCanvas(HDC dc, int dpi) noexcept;
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const noexcept { return FDc; }
  int Dpi() const noexcept { return FDpi; }

  const TFontDesc& Font() const noexcept { return FFont; }
  void SetFont(const TFontDesc& font);
  HFONT FontHandle() const noexcept { return FFontHandle ? FFontHandle->Get() : nullptr; }
  TColor BrushColor() const noexcept { return FBrushColor; }
  void SetBrushColor(TColor color) noexcept { FBrushColor = color; FBrushStyle = bsSolid; }
  TBrushStyle BrushStyle() const noexcept { return FBrushStyle; }
  void SetBrushStyle(TBrushStyle style) noexcept { FBrushStyle = style; }
  void SetPen(TColor color, int width = 1, TPenStyle style = psSolid) noexcept;

  int TextWidth(const std::wstring& text);
  int TextHeight(const std::wstring& text);
  SIZE TextExtent(const std::wstring& text);
  // Text at a point, in the font's colour; the background follows the brush style.
  void TextOut(int x, int y, const std::wstring& text);
  // DrawText with the canvas's font and colour; returns the text height (DT_CALCRECT measures).
  int DrawText(const std::wstring& text, RECT& rect, UINT format);

  void FillRect(const RECT& rect);
  // A rectangle outlined with the pen and filled with the brush.
  void Rectangle(const RECT& rect);
  void FrameRect(const RECT& rect);
  void DrawIcon(int x, int y, HICON icon, int size);

protected:
  // Puts back what the canvas selected into the DC.
  void RestoreSelection() noexcept;

private:
  void SelectFont();
  void PrepareText();

  HDC FDc;
  int FDpi;
  TFontDesc FFont;
  TSharedFont FFontHandle;
  HGDIOBJ FOldFont = nullptr;
  TColor FBrushColor = clWhite;
  TBrushStyle FBrushStyle = bsSolid;
  TColor FPenColor = clBlack;
  int FPenWidth = 1;
  TPenStyle FPenStyle = psSolid;
};

// A canvas on a window's DC (GetDC), for measuring and drawing outside WM_PAINT.
class TWindowCanvas : public TCanvas {
public:
  TWindowCanvas(HWND wnd, int dpi) noexcept : TCanvas(::GetDC(wnd), dpi), FWnd(wnd) {}
  TWindowCanvas(HWND wnd, int dpi, const TFontDesc& font) : TWindowCanvas(wnd, dpi) { SetFont(font); }
  ~TWindowCanvas();
  TWindowCanvas(const TWindowCanvas&) = delete;
  TWindowCanvas& operator=(const TWindowCanvas&) = delete;

private:
  HWND FWnd;
};

// A copy of an icon widened by transparent columns on its right: room between a picture and the
// text drawn right of it by someone who puts the two side by side.
TIconHandle IconWithRightMargin(HICON icon, int margin);

// An icon of the program's resources or of the system in the size that fits a DPI: the
// resource holds the picture drawn at several sizes, and the nearest one is taken.
class TIconImage {
public:
  // A program icon drawn at designSize design pixels (16 for tool buttons).
  void LoadResource(int resourceId, int designSize, int dpi);
  // A system icon (IDI_INFORMATION ...) at the system's large-icon size for the DPI.
  void LoadSystem(LPCWSTR systemId, int dpi);
  void Clear() noexcept { FIcon.Reset(); FSize = 0; }
  // Loads the picture again for another DPI.
  void ApplyDpi(int dpi);

  HICON Handle() const noexcept { return FIcon.Get(); }
  bool Empty() const noexcept { return !FIcon; }
  int Size() const noexcept { return FSize; }  // device pixels

private:
  TIconHandle FIcon;
  int FResourceId = 0;
  LPCWSTR FSystemId = nullptr;
  int FDesignSize = 0;
  int FSize = 0;
};
