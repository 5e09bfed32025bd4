#include "toolkit/Graphics.h"

#include "base/Strings.h"

#include <algorithm>

TFontSpec TFontSpec::FromPoints(const std::wstring& name, int points, unsigned style) {
  TFontSpec fontSpec;
  fontSpec.Name = name;
  fontSpec.SetPoints(points);
  fontSpec.Style = style;
  return fontSpec;
}

int TFontSpec::Points() const {
  int pixels = Height < 0 ? -Height : Height;
  return ::MulDiv(pixels, 72, 96);
}

void TFontSpec::SetPoints(int points) { Height = -::MulDiv(points, 96, 72); }

TFontHandle CreateFontFor(const TFontSpec& fontSpec, int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = ScaleToDpi(fontSpec.Height, dpi);
  lf.lfWeight = (fontSpec.Style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (fontSpec.Style & fsItalic) ? TRUE : FALSE;
  lf.lfUnderline = (fontSpec.Style & fsUnderline) ? TRUE : FALSE;
  lf.lfStrikeOut = (fontSpec.Style & fsStrikeOut) ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  fontSpec.Name.copy(lf.lfFaceName, LF_FACESIZE - 1);
  return TFontHandle(::CreateFontIndirectW(&lf));
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

bool LessIgnoreCase(const std::wstring& a, const std::wstring& b) {
  return CompareTextOrdinal(a, b) < 0;
}

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
