#include "ui/TextMeasure.h"

#include "base/Strings.h"
#include "toolkit/Forms.h"
#include "toolkit/Screen.h"

#include <algorithm>
#include <climits>

namespace {

// Break characters of the wrapping, searched in this order: punctuation that ends a word
// (class A), characters that open a group (class B), then a few separators.
const TCharset kClassA = TCharset::Range(0x21, 0x27) + TCharset::Range(0x29, 0x2B) + TCharset{0x2F, 0x3A, 0x3B} +
                         TCharset::Range(0x3D, 0x40) + TCharset::Range(0x5C, 0x60) + TCharset::Range(0x7C, 0x7E) +
                         TCharset{0x80} + TCharset::Range(0x82, 0x89) + TCharset::Range(0x91, 0x99) +
                         TCharset{0x9B} + TCharset::Range(0xA1, 0xAA) + TCharset::Range(0xAC, 0xB0) +
                         TCharset{0xB4, 0xB6} + TCharset::Range(0xBB, 0xBF) + TCharset{0xD7, 0xF7};
const TCharset kClassB =
    TCharset{0x28, 0x3C, 0x5B, 0x7B, 0x8B, 0xAB, 0xB5, 0xB9, 0xBA} + TCharset::Range(0xB1, 0xB3);
const TCharset kSeparators{0x2C, 0x2D, 0x2E, 0xA0, 0xB7, 0xB8};

// Measuring as the drawing of the dialogs does it: line by line, "&" as it is, with the
// font's external leading, so that what is drawn fits the measured area.
constexpr UINT kMeasureFormat = DT_CALCRECT | DT_LEFT | DT_TOP | DT_NOPREFIX | DT_NOCLIP | DT_EXTERNALLEADING;

// Sets left/top text alignment for one scope.
class TTextAlignScope {
public:
  explicit TTextAlignScope(HDC dc) noexcept : FDc(dc), FOld(::SetTextAlign(dc, TA_LEFT | TA_TOP)) {}
  TTextAlignScope(const TTextAlignScope&) = delete;
  TTextAlignScope& operator=(const TTextAlignScope&) = delete;
  ~TTextAlignScope() {
    if (FOld != GDI_ERROR) ::SetTextAlign(FDc, FOld);
  }

private:
  HDC FDc;
  UINT FOld;
};

int Length(std::wstring_view s) { return static_cast<int>(std::min<size_t>(s.size(), INT_MAX)); }

RECT MeasureText(HDC dc, const std::wstring& s) {
  TTextAlignScope align(dc);
  RECT r{0, 0, 0, 0};
  if (!s.empty()) ::DrawTextW(dc, s.c_str(), Length(s), &r, kMeasureFormat);
  return r;
}

int FitOfPrefix(HDC dc, std::wstring_view s, int count, int width) {
  int fit = 0;
  SIZE size{};
  if (!::GetTextExtentExPointW(dc, s.data(), count, width, &fit, nullptr, &size)) return 0;
  return fit;
}

bool IsBlank(wchar_t c) { return c <= 32; }

void AppendTrimmed(std::wstring& result, std::wstring_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  result.append(s);
}

// The 1-based break position in [low, fit], searched from fit down in four passes; fit itself
// when no pass finds one.
int FindBreak(std::wstring_view line, int fit, int low) {
  auto search = [&](auto matches) {
    for (int p = fit; p >= low; --p)
      if (matches(line[static_cast<size_t>(p - 1)])) return p;
    return 0;
  };
  int p = search([](wchar_t c) { return c == L' '; });
  if (!p) p = search([](wchar_t c) { return kClassA.Contains(c); });
  if (!p) p = search([](wchar_t c) { return kClassB.Contains(c); });
  if (!p) p = search([](wchar_t c) { return kSeparators.Contains(c); });
  return p ? p : fit;
}

}  // namespace

int SpacingUnitForPPI(int pixelsPerInch) { return std::max(pixelsPerInch, 96) / 24; }

int ControlPPI(const TControl* control) {
  if (!control) control = Application().MainForm();
  const int ppi = control && control->HandleAllocated() ? Screen().MonitorFromWindow(control->Handle()).PixelsPerInch
                                                        : Screen().PixelsPerInch();
  return std::max(ppi, 96);
}

int SpacingUnit(const TControl* control) { return SpacingUnitForPPI(ControlPPI(control)); }

std::wstring NormalizeLineBreaks(std::wstring_view s) {
  std::wstring result;
  result.reserve(s.size() + s.size() / 32);
  for (size_t i = 0; i < s.size(); ++i) {
    const wchar_t c = s[i];
    if (c == L'\r') {
      result += L"\r\n";
      if (i + 1 < s.size() && s[i + 1] == L'\n') ++i;
    } else if (c == L'\n') {
      result += L"\r\n";
    } else {
      result += c;
    }
  }
  return result;
}

int CharsThatFit(HDC dc, std::wstring_view s, int width) {
  const int length = Length(s);
  if (length == 0) return 0;
  int fit = 0;
  if (width > 0) {
    // Only a prefix that can hold the width is measured, widened while all of it fits: the
    // wrapping asks this for every rest of a long line, which must cost what fits, not the rest.
    int window = std::min(length, width / 2 + 16);
    for (;;) {
      fit = FitOfPrefix(dc, s, window, width);
      if (fit < window || window == length) break;
      window = window > length / 2 ? length : window * 2;
    }
  }
  if (fit > 0 && fit < length && IS_HIGH_SURROGATE(s[static_cast<size_t>(fit - 1)]) &&
      IS_LOW_SURROGATE(s[static_cast<size_t>(fit)]))
    --fit;
  return fit > 0 ? fit : length;
}

int TextHeightOf(HDC dc, const std::wstring& s) {
  const RECT r = MeasureText(dc, s);
  return r.bottom - r.top;
}

int TextWidthOf(HDC dc, const std::wstring& s) {
  const RECT r = MeasureText(dc, s);
  return r.right - r.left;
}

int LineHeightOf(HDC dc, int n) {
  TEXTMETRICW tm{};
  if (!::GetTextMetricsW(dc, &tm)) return 1;
  int height = tm.tmHeight;
  if (n > 1) {
    const int quotient = height / n, remainder = height % n;
    height = quotient;
    if (2 * remainder > n || (2 * remainder == n && quotient % 2 != 0)) ++height;
  }
  return std::max(height, 1);
}

int LineHeightOf(TCanvas& canvas, int n) {
  if (!canvas.FontHandle()) return LineHeightOf(canvas.Handle(), n);
  TSelectObject select(canvas.Handle(), canvas.FontHandle());
  return LineHeightOf(canvas.Handle(), n);
}

void CopyFontAttributes(TFontDesc& target, const TFontDesc& source) {
  target.Charset = source.Charset;
  target.Color = source.Color;
  target.Height = source.Height;
  target.Name = source.Name;
  target.Orientation = source.Orientation;
  target.Pitch = source.Pitch;
  target.Family = source.Family;  // one byte with the pitch in the system's font description
  target.Style = source.Style;
  target.Quality = source.Quality;
}

std::wstring WrapText(HDC dc, std::wstring_view s, int width) {
  const std::wstring text = NormalizeLineBreaks(s);
  std::wstring result;
  result.reserve(text.size() + text.size() / 8);
  size_t pos = 0;
  for (;;) {
    size_t end = text.find(L"\r\n", pos);
    if (end == std::wstring::npos) end = text.size();
    // The rest of the line is a view: every piece costs its own length, never the rest's.
    std::wstring_view line(text.data() + pos, end - pos);
    if (line.empty()) result += L"\r\n";
    while (!line.empty()) {
      const int fit = CharsThatFit(dc, line, width);
      if (fit >= Length(line)) {
        result.append(line);
        result += L"\r\n";
        break;
      }
      const int low = CharsThatFit(dc, line, width * 2 / 10);
      const int p = low > fit ? fit : FindBreak(line, fit, low);
      AppendTrimmed(result, line.substr(0, static_cast<size_t>(p)));
      result += L"\r\n";
      line.remove_prefix(static_cast<size_t>(p));
    }
    if (end == text.size()) break;
    pos = end + 2;
  }
  while (!result.empty() && IsBlank(result.back())) result.pop_back();
  return result;
}
