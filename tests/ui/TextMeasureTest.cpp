// Text measuring helpers on a real device context with real fonts.
#include "support/TestSupport.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ToolkitTestSupport.h"
#include "ui/TextMeasure.h"

#include <cfenv>
#include <cmath>

namespace {

// A memory device context with a font selected; measures in device pixels at 96 dpi.
class TMeasureDc {
public:
  explicit TMeasureDc(const TFontDesc& font)
      : FDc(::CreateCompatibleDC(nullptr)), FFont(CreateFontFor(font, 96)), FSelect(FDc.Get(), FFont.Get()) {}
  HDC Get() const { return FDc.Get(); }
  int Width(const std::wstring& s) const {
    SIZE size{};
    ::GetTextExtentPoint32W(FDc.Get(), s.c_str(), static_cast<int>(s.size()), &size);
    return size.cx;
  }
  TEXTMETRICW Metrics() const {
    TEXTMETRICW tm{};
    ::GetTextMetricsW(FDc.Get(), &tm);
    return tm;
  }

private:
  TMemoryDc FDc;
  TFontHandle FFont;
  TSelectObject FSelect;
};

TFontDesc MonospaceFont() {
  TFontDesc font;
  font.Name = L"Courier New";
  font.Height = -13;
  font.Pitch = fpFixed;
  font.Family = FF_MODERN;
  return font;
}

// The dialogs' font: proportional.
TFontDesc DialogFont() { return TFontDesc{}; }

// ---------------------------------------------------------------------------------------------
// WrapText, with widths counted in characters of a monospace font

struct TWrapCase {
  const char* name;
  const wchar_t* text;
  double columns;  // the width in character cells (fractions: less than a whole cell)
  const wchar_t* expected;
};

class WrapTextCases : public ::testing::TestWithParam<TWrapCase> {
protected:
  static void SetUpTestSuite() {
    dc = new TMeasureDc(MonospaceFont());
    cell = dc->Width(L"x");
  }
  static void TearDownTestSuite() {
    delete dc;
    dc = nullptr;
  }
  static TMeasureDc* dc;
  static int cell;
};

TMeasureDc* WrapTextCases::dc = nullptr;
int WrapTextCases::cell = 0;

TEST_P(WrapTextCases, BreaksWhereTheRulesSay) {
  // Every character the table uses takes one cell, or the column counts mean nothing.
  for (const wchar_t* probe : {L"i", L"W", L" ", L"(", L"\\", L"\u00A0", L"\u00B7", L"\u00B8"})
    ASSERT_EQ(dc->Width(probe), cell) << "not monospace for U+" << std::hex << static_cast<int>(probe[0]);
  const TWrapCase& c = GetParam();
  const int width = static_cast<int>(c.columns * cell);
  EXPECT_EQ(WrapText(dc->Get(), c.text, width), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    TextMeasure, WrapTextCases,
    ::testing::Values(
        TWrapCase{"LineThatFitsIsUnchanged", L"Hallo Welt", 20, L"Hallo Welt"},
        TWrapCase{"FittingLinesKeepTheirInnerBlanks", L"ab  \r\ncd", 20, L"ab  \r\ncd"},
        TWrapCase{"EmptyLineBetweenTextsStays", L"eins\n\nzwei", 20, L"eins\r\n\r\nzwei"},
        TWrapCase{"EveryLineBreakBecomesCrLf", L"a\rb\nc\r\nd", 20, L"a\r\nb\r\nc\r\nd"},
        TWrapCase{"BreaksAfterTheLastSpaceThatFits", L"the quick brown fox jumps", 12,
                  L"the quick\r\nbrown fox\r\njumps"},
        TWrapCase{"SpaceThatFitsLastIsNotKept", L"abcdefghij klm", 11, L"abcdefghij\r\nklm"},
        TWrapCase{"PathBreaksAfterTheLastBackslashThatFits", L"C:\\Programme\\Zevrik\\Tavrino\\Tavrino.exe", 16,
                  L"C:\\Programme\\\r\nZevrik\\Tavrino\\\r\nTavrino.exe"},
        TWrapCase{"UrlBreaksAfterTheLastSlash", L"https://example.org/path/file", 21,
                  L"https://example.org/\r\npath/file"},
        TWrapCase{"WordEndingPunctuationBeforeOpeningBracket", L"ab!cdef(ghijkl", 10, L"ab!\r\ncdef(\r\nghijkl"},
        TWrapCase{"OpeningBracketEndsTheLine", L"abcdefgh(ijklmnop", 12, L"abcdefgh(\r\nijklmnop"},
        TWrapCase{"OpeningBracketBeforeSeparators", L"abc.def(ghijkl", 10, L"abc.def(\r\nghijkl"},
        TWrapCase{"HyphenSeparates", L"abcdef-ghijklmno", 10, L"abcdef-\r\nghijklmno"},
        TWrapCase{"CommaSeparates", L"abcdef,ghijklmno", 10, L"abcdef,\r\nghijklmno"},
        TWrapCase{"NoBreakSpaceSeparatesAndStays", L"abcdef\u00A0ghijklmno", 10, L"abcdef\u00A0\r\nghijklmno"},
        TWrapCase{"MiddleDotSeparates", L"abcdef\u00B7ghijklmno", 10, L"abcdef\u00B7\r\nghijklmno"},
        TWrapCase{"WordWiderThanTheWidthIsCut", L"abcdefghijklmnopqrstuvwxyz", 10,
                  L"abcdefghij\r\nklmnopqrst\r\nuvwxyz"},
        TWrapCase{"BreakInTheFirstFifthIsNotTaken", L"-abcdefghijklmnop", 10, L"-abcdefghi\r\njklmnop"},
        TWrapCase{"NothingFitsKeepsEveryLineWhole", L"abc def\r\nghi", 0, L"abc def\r\nghi"},
        TWrapCase{"LessThanOneCellKeepsEveryLineWhole", L"abc def", 0.5, L"abc def"},
        TWrapCase{"TrailingBlanksOfTheResultGo", L"abc \r\n\r\n\t", 20, L"abc"},
        TWrapCase{"EmptyText", L"", 20, L""}),
    TCaseName());

// ---------------------------------------------------------------------------------------------
// WrapText on texts that once hung or lost characters

std::wstring WithoutLineBreaks(std::wstring s) {
  std::erase(s, L'\r');
  std::erase(s, L'\n');
  return s;
}

std::vector<std::wstring> LinesOf(const std::wstring& s) {
  std::vector<std::wstring> lines;
  size_t pos = 0;
  for (;;) {
    const size_t end = s.find(L"\r\n", pos);
    lines.push_back(s.substr(pos, end == std::wstring::npos ? std::wstring::npos : end - pos));
    if (end == std::wstring::npos) return lines;
    pos = end + 2;
  }
}

TEST(TextMeasure, SurrogatePairsAreNeverCutAtAnyWidth) {
  TMeasureDc dc(DialogFont());
  std::wstring text;
  for (int i = 0; i < 12; ++i) text += i % 3 ? L"\U0001D49Cab" : L"\U0001F600";
  for (int width = 1; width <= 200; ++width) {
    const std::wstring wrapped = WrapText(dc.Get(), text, width);
    ASSERT_EQ(WithoutLineBreaks(wrapped), text) << "width " << width;
    for (const std::wstring& line : LinesOf(wrapped)) {
      ASSERT_FALSE(line.empty()) << "width " << width;
      EXPECT_FALSE(IS_LOW_SURROGATE(line.front())) << "width " << width;
      EXPECT_FALSE(IS_HIGH_SURROGATE(line.back())) << "width " << width;
    }
  }
}

TEST(TextMeasure, LongParagraphWithoutBreaksIsCutIntoFittingLinesAndKeptWhole) {
  TMeasureDc dc(DialogFont());
  std::wstring text;
  for (int i = 0; text.size() < 100000; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
  const std::wstring wrapped = WrapText(dc.Get(), text, 400);
  EXPECT_EQ(WithoutLineBreaks(wrapped), text);
  const std::vector<std::wstring> lines = LinesOf(wrapped);
  EXPECT_GT(lines.size(), 100u);
  size_t pos = 0;
  for (const std::wstring& line : lines) {
    ASSERT_LE(dc.Width(line), 400);
    pos += line.size();
    // Each line is as long as it can be: with the next character it would not fit.
    if (pos < text.size()) {
      ASSERT_GT(dc.Width(line + text[pos]), 400);
    }
  }
}

TEST(TextMeasure, ManyShortLinesAndControlCharactersStayLineByLine) {
  TMeasureDc dc(DialogFont());
  std::wstring text;
  for (int i = 0; i < 5000; ++i) text += L"Zeile " + std::to_wstring(i) + static_cast<wchar_t>(1 + i % 8) + L"\r\n";
  const std::wstring wrapped = WrapText(dc.Get(), text, 400);
  const std::vector<std::wstring> lines = LinesOf(wrapped);
  ASSERT_EQ(lines.size(), 5000u);
  EXPECT_EQ(lines[0], L"Zeile 0\x01");
  EXPECT_EQ(lines[4999], L"Zeile 4999");  // the end of the result is trimmed
}

// ---------------------------------------------------------------------------------------------
// Heights, widths, line heights

TEST(TextMeasure, HeightCountsLinesAndWidthTheWidestLine) {
  TMeasureDc dc(MonospaceFont());
  const TEXTMETRICW tm = dc.Metrics();
  const int line = tm.tmHeight + tm.tmExternalLeading;
  const int cell = dc.Width(L"x");
  EXPECT_EQ(TextHeightOf(dc.Get(), L"eins"), line);
  EXPECT_EQ(TextHeightOf(dc.Get(), L"eins\r\nzwei\r\ndrei"), 3 * line);
  EXPECT_EQ(TextHeightOf(dc.Get(), L"eins\r\n\r\ndrei"), 3 * line);
  EXPECT_EQ(TextHeightOf(dc.Get(), L""), 0);
  EXPECT_EQ(TextWidthOf(dc.Get(), L"ab\r\nabcdef\r\nabc"), 6 * cell);
  EXPECT_EQ(TextWidthOf(dc.Get(), L"&a&&b"), 5 * cell);  // "&" is a character, not an access key
  EXPECT_EQ(TextWidthOf(dc.Get(), L""), 0);
}

TEST(TextMeasure, MeasuringLeavesTheTextAlignmentAsItWas) {
  TMeasureDc dc(DialogFont());
  ::SetTextAlign(dc.Get(), TA_RIGHT | TA_BOTTOM);
  const int plain = [] {
    TMeasureDc other(DialogFont());
    return TextWidthOf(other.Get(), L"Ausrichtung");
  }();
  EXPECT_EQ(TextWidthOf(dc.Get(), L"Ausrichtung"), plain);
  EXPECT_GT(TextHeightOf(dc.Get(), L"Ausrichtung"), 0);
  EXPECT_EQ(::GetTextAlign(dc.Get()), static_cast<UINT>(TA_RIGHT | TA_BOTTOM));
}

TEST(TextMeasure, CharsThatFitNeverSplitsAPairAndGivesAllWhenNothingFits) {
  TMeasureDc dc(MonospaceFont());
  const int cell = dc.Width(L"x");
  EXPECT_EQ(CharsThatFit(dc.Get(), L"abcdef", 3 * cell), 3);
  EXPECT_EQ(CharsThatFit(dc.Get(), L"abcdef", 100 * cell), 6);
  EXPECT_EQ(CharsThatFit(dc.Get(), L"abcdef", cell / 2), 6);
  EXPECT_EQ(CharsThatFit(dc.Get(), L"", 100), 0);
  const std::wstring pairs = L"\U0001F600\U0001F600\U0001F600";
  for (int width = 0; width < dc.Width(pairs) + 2; ++width) {
    const int fit = CharsThatFit(dc.Get(), pairs, width);
    EXPECT_EQ(fit % 2, 0) << "width " << width;
  }
}

TEST(TextMeasure, LineHeightIsTheFontHeightDividedAndRoundedToEvenButNeverZero) {
  std::fesetround(FE_TONEAREST);
  for (int cellHeight = 9; cellHeight <= 24; ++cellHeight) {
    TFontDesc font = DialogFont();
    font.Height = cellHeight;
    TMeasureDc dc(font);
    const int height = dc.Metrics().tmHeight;
    EXPECT_EQ(LineHeightOf(dc.Get()), height);
    EXPECT_EQ(LineHeightOf(dc.Get(), 0), height);
    for (int n : {2, 3, 4, 6, 7}) {
      const int expected = std::max(1, static_cast<int>(std::nearbyint(static_cast<double>(height) / n)));
      EXPECT_EQ(LineHeightOf(dc.Get(), n), expected) << height << " / " << n;
    }
    EXPECT_EQ(LineHeightOf(dc.Get(), 10 * height), 1);
  }
}

TEST(TextMeasure, LineHeightOfACanvasMeasuresTheCanvasFont) {
  TFontDesc big = DialogFont();
  big.Height = -30;
  TMeasureDc bigDc(big);
  TMeasureDc dc(DialogFont());
  TCanvas canvas(dc.Get(), 96);
  canvas.SetFont(big);
  EXPECT_EQ(LineHeightOf(canvas), bigDc.Metrics().tmHeight);
  EXPECT_EQ(LineHeightOf(canvas, 2), LineHeightOf(bigDc.Get(), 2));
}

// ---------------------------------------------------------------------------------------------
// Spacing unit and fonts

TEST(TextMeasure, SpacingUnitIsPixelsPerInchDiv24AndAtLeastFour) {
  const std::pair<int, int> table[] = {{96, 4}, {120, 5}, {144, 6}, {192, 8}, {288, 12}, {72, 4}, {0, 4}, {-5, 4}};
  for (const auto& [ppi, unit] : table) EXPECT_EQ(SpacingUnitForPPI(ppi), unit) << ppi << " dpi";
}

TEST(TextMeasure, SpacingUnitOfAWindowFollowsItsMonitor) {
  auto form = NewForm(200, 100);
  form->Show();
  const int ppi = std::max(static_cast<int>(Screen().MonitorFromWindow(form->Handle()).PixelsPerInch), 96);
  EXPECT_EQ(ControlPPI(form.get()), ppi);
  EXPECT_EQ(SpacingUnit(form.get()), ppi / 24);
  auto* child = Place<TPanel>(form.get(), form.get(), 0, 0, 10, 10);
  EXPECT_EQ(SpacingUnit(child), ppi / 24);
}

TEST(TextMeasure, CopyFontAttributesGivesEveryAttribute) {
  TFontDesc source;
  source.Name = L"Courier New";
  source.Height = -17;
  source.Style = fsBold | fsItalic;
  source.Color = clRed;
  source.Charset = GREEK_CHARSET;
  source.Pitch = fpFixed;
  source.Family = FF_MODERN;
  source.Quality = ANTIALIASED_QUALITY;
  source.Orientation = 900;
  TFontDesc target;
  CopyFontAttributes(target, source);
  EXPECT_EQ(target, source);
}

}  // namespace
