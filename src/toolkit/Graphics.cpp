#include "toolkit/Graphics.h"

#include "base/Strings.h"

#include <algorithm>
#include <commctrl.h>
#include <cstdint>
#include <map>
#include <tuple>

COLORREF ColorToRGB(TColor color) {
  if ((color & 0xFF000000) == clSystemColor) return ::GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFF;
}

// ---- TFontDesc ----

TFontDesc TFontDesc::FromPoints(const std::wstring& name, int points, unsigned style) {
  TFontDesc desc;
  desc.Name = name;
  desc.SetPoints(points);
  desc.Style = style;
  return desc;
}

int TFontDesc::Points() const {
  int pixels = Height < 0 ? -Height : Height;
  return ::MulDiv(pixels, 72, 96);
}

void TFontDesc::SetPoints(int points) { Height = -::MulDiv(points, 96, 72); }

TFontHandle CreateFontFor(const TFontDesc& desc, int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = ScaleToDpi(desc.Height, dpi);
  lf.lfWeight = (desc.Style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (desc.Style & fsItalic) ? TRUE : FALSE;
  lf.lfUnderline = (desc.Style & fsUnderline) ? TRUE : FALSE;
  lf.lfStrikeOut = (desc.Style & fsStrikeOut) ? TRUE : FALSE;
  lf.lfCharSet = desc.Charset;
  lf.lfQuality = desc.Quality;
  lf.lfEscapement = lf.lfOrientation = desc.Orientation;
  lf.lfPitchAndFamily = static_cast<BYTE>(desc.Pitch | desc.Family);
  desc.Name.copy(lf.lfFaceName, LF_FACESIZE - 1);
  return TFontHandle(::CreateFontIndirectW(&lf));
}

namespace {

using TFontKey = std::tuple<std::wstring, int, unsigned, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t, int, int>;

TFontKey KeyOf(const TFontDesc& d, int dpi) {
  // The colour is not part of the handle.
  return {d.Name, d.Height, d.Style, d.Charset, static_cast<std::uint8_t>(d.Pitch), d.Family, d.Quality, d.Orientation,
          dpi};
}

std::map<TFontKey, std::weak_ptr<const TFontHandle>>& FontCache() {
  static std::map<TFontKey, std::weak_ptr<const TFontHandle>> cache;
  return cache;
}

}  // namespace

TSharedFont SharedFont(const TFontDesc& desc, int dpi) {
  auto& cache = FontCache();
  const TFontKey key = KeyOf(desc, dpi);
  auto it = cache.find(key);
  if (it != cache.end()) {
    if (TSharedFont font = it->second.lock()) return font;
  }
  // Drop the entries whose fonts are gone, so the cache stays as small as the fonts in use.
  std::erase_if(cache, [](const auto& entry) { return entry.second.expired(); });
  auto font = std::make_shared<const TFontHandle>(CreateFontFor(desc, dpi));
  cache[key] = font;
  return font;
}

std::wstring RealizedFaceName(HFONT font) {
  TWindowDc dc(nullptr);
  TSelectObject select(dc.Get(), font);
  wchar_t face[LF_FACESIZE] = {};
  int n = ::GetTextFaceW(dc.Get(), LF_FACESIZE, face);
  return std::wstring(face, static_cast<size_t>(std::max(n - 1, 0)));
}

namespace {

int CALLBACK CollectFont(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM param) noexcept {
  auto* names = reinterpret_cast<std::vector<std::wstring>*>(param);
  try {
    if (lf->lfFaceName[0] != L'@') names->emplace_back(lf->lfFaceName);
  } catch (...) {
    return 0;  // out of memory: stop with the fonts found so far
  }
  return 1;
}

bool LessIgnoreCase(const std::wstring& a, const std::wstring& b) { return CompareTextOrdinal(a, b) < 0; }

}  // namespace

const std::vector<std::wstring>& ScreenFonts() {
  static const std::vector<std::wstring> fonts = [] {
    std::vector<std::wstring> names;
    TWindowDc dc(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    ::EnumFontFamiliesExW(dc.Get(), &lf, CollectFont, reinterpret_cast<LPARAM>(&names), 0);
    std::sort(names.begin(), names.end(), LessIgnoreCase);
    names.erase(std::unique(names.begin(), names.end(), SameTextOrdinal), names.end());
    return names;
  }();
  return fonts;
}

bool FontInstalled(const std::wstring& name) {
  const auto& fonts = ScreenFonts();
  return std::binary_search(fonts.begin(), fonts.end(), name, LessIgnoreCase);
}

// ---- TCanvas ----

TCanvas::TCanvas(HDC dc, int dpi) noexcept : FDc(dc), FDpi(dpi > 0 ? dpi : 96) {}

TCanvas::~TCanvas() { RestoreSelection(); }

void TCanvas::RestoreSelection() noexcept {
  if (FDc && FOldFont) ::SelectObject(FDc, FOldFont);
  FOldFont = nullptr;
}

void TCanvas::SetFont(const TFontDesc& font) {
  FFont = font;
  FFontHandle = SharedFont(FFont, FDpi);
  SelectFont();
}

void TCanvas::SelectFont() {
  if (!FDc) return;
  if (!FFontHandle) FFontHandle = SharedFont(FFont, FDpi);
  HGDIOBJ old = ::SelectObject(FDc, FFontHandle->Get());
  if (!FOldFont) FOldFont = old;
}

void TCanvas::SetPen(TColor color, int width, TPenStyle style) noexcept {
  FPenColor = color;
  FPenWidth = width;
  FPenStyle = style;
}

void TCanvas::PrepareText() {
  SelectFont();
  ::SetTextColor(FDc, ColorToRGB(FFont.Color));
  if (FBrushStyle == bsClear) {
    ::SetBkMode(FDc, TRANSPARENT);
  } else {
    ::SetBkMode(FDc, OPAQUE);
    ::SetBkColor(FDc, ColorToRGB(FBrushColor));
  }
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
  SelectFont();
  SIZE size{};
  ::GetTextExtentPoint32W(FDc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

int TCanvas::TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const std::wstring& text) { return TextExtent(text).cy; }

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
  PrepareText();
  ::ExtTextOutW(FDc, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

int TCanvas::DrawText(const std::wstring& text, RECT& rect, UINT format) {
  PrepareText();
  return ::DrawTextW(FDc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

void TCanvas::FillRect(const RECT& rect) {
  if (FBrushStyle == bsClear) return;
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(FBrushColor)));
  ::FillRect(FDc, &rect, brush.Get());
}

void TCanvas::Rectangle(const RECT& rect) {
  TBrushHandle brush(FBrushStyle == bsClear ? nullptr : ::CreateSolidBrush(ColorToRGB(FBrushColor)));
  const int penStyle = FPenStyle == psClear ? PS_NULL
                       : FPenStyle == psDash ? PS_DASH
                       : FPenStyle == psDot ? PS_DOT
                       : FPenStyle == psInsideFrame ? PS_INSIDEFRAME
                                                     : PS_SOLID;
  TPenHandle pen(::CreatePen(penStyle, FPenWidth, ColorToRGB(FPenColor)));
  TSelectObject selectBrush(FDc, brush ? static_cast<HGDIOBJ>(brush.Get()) : ::GetStockObject(NULL_BRUSH));
  TSelectObject selectPen(FDc, pen.Get());
  // With a null pen, Rectangle leaves the right and bottom edge out: widen to fill the rect.
  const int extra = FPenStyle == psClear ? 1 : 0;
  ::Rectangle(FDc, rect.left, rect.top, rect.right + extra, rect.bottom + extra);
}

void TCanvas::FrameRect(const RECT& rect) {
  TBrushHandle brush(::CreateSolidBrush(ColorToRGB(FBrushColor)));
  ::FrameRect(FDc, &rect, brush.Get());
}

void TCanvas::DrawIcon(int x, int y, HICON icon, int size) {
  if (icon) ::DrawIconEx(FDc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
}

TWindowCanvas::~TWindowCanvas() {
  RestoreSelection();
  if (Handle()) ::ReleaseDC(FWnd, Handle());
}

TIconHandle IconWithRightMargin(HICON icon, int margin) {
  ICONINFO info{};
  if (!icon || !::GetIconInfo(icon, &info)) return {};
  const TBitmapHandle color(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  if (!color || !::GetObjectW(color.Get(), sizeof(bm), &bm)) return TIconHandle(::CopyIcon(icon));
  const int width = bm.bmWidth, height = bm.bmHeight, wide = width + std::max(margin, 0);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  TWindowDc screen(nullptr);
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  if (::GetDIBits(screen.Get(), color.Get(), 0, static_cast<UINT>(height), pixels.data(), &bi, DIB_RGB_COLORS) == 0)
    return TIconHandle(::CopyIcon(icon));
  // Colour with alpha, the added columns transparent (zero).
  bi.bmiHeader.biWidth = wide;
  void* bits = nullptr;
  TBitmapHandle wideColor(::CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!wideColor || !bits) return TIconHandle(::CopyIcon(icon));
  auto* target = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    std::uint32_t* row = target + static_cast<size_t>(y) * static_cast<size_t>(wide);
    std::copy_n(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width), width, row);
    std::fill(row + width, row + wide, 0u);
  }
  // The mask marks the added columns transparent too, for the pictures that have no alpha.
  TBitmapHandle wideMask(::CreateBitmap(wide, height, 1, 1, nullptr));
  {
    TMemoryDc from(::CreateCompatibleDC(screen.Get())), to(::CreateCompatibleDC(screen.Get()));
    TSelectObject fromMask(from.Get(), mask.Get()), toMask(to.Get(), wideMask.Get());
    ::PatBlt(to.Get(), 0, 0, wide, height, WHITENESS);
    ::BitBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, SRCCOPY);
  }
  ICONINFO widened{TRUE, 0, 0, wideMask.Get(), wideColor.Get()};
  return TIconHandle(::CreateIconIndirect(&widened));
}

// ---- TIconImage ----

void TIconImage::LoadResource(int resourceId, int designSize, int dpi) {
  FResourceId = resourceId;
  FSystemId = nullptr;
  FDesignSize = designSize;
  ApplyDpi(dpi);
}

void TIconImage::LoadSystem(LPCWSTR systemId, int dpi) {
  FSystemId = systemId;
  FResourceId = 0;
  ApplyDpi(dpi);
}

void TIconImage::ApplyDpi(int dpi) {
  if (FResourceId) {
    FSize = ScaleToDpi(FDesignSize, dpi);
    // The icon resource holds the picture at several sizes; the system takes the nearest one.
    FIcon.Reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(FResourceId),
                                                IMAGE_ICON, FSize, FSize, LR_DEFAULTCOLOR)));
  } else if (FSystemId) {
    FSize = ::GetSystemMetricsForDpi(SM_CXICON, static_cast<UINT>(dpi));
    HICON icon = nullptr;
    // LoadIconWithScaleDown draws the system icon for the size; the import library lacks it,
    // so it is looked up in the common controls the program uses.
    using TLoadIconWithScaleDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto loadScaled = reinterpret_cast<TLoadIconWithScaleDown>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown")));
    if (!loadScaled || FAILED(loadScaled(nullptr, FSystemId, FSize, FSize, &icon)) || !icon) {
      // Shared system icons must not be destroyed: keep a copy of our own.
      HICON shared = ::LoadIconW(nullptr, FSystemId);
      icon = shared ? ::CopyIcon(shared) : nullptr;
    }
    FIcon.Reset(icon);
  }
  if (!FIcon) FSize = 0;
}
