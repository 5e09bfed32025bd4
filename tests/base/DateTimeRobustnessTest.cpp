// Seeded random and mutated inputs for the formatter and the parser: nothing may crash, hang
// or read outside its text, every parsed value is a real date-time, and what the parser reads
// formats back to the same text.
#include "base/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr int kRounds = 20000;

// Formatter and parser spelling of the same layouts.
struct TLayout {
  const wchar_t* format;  // for FormatDateTime
  const wchar_t* parse;   // for ParseDateTimeFmt
};

const TLayout kLayouts[] = {
    {L"yyyy-mm-dd hh:nn:ss.zzz", L"YYYY-MM-DD HH:NN:SS.ZZZ"},
    {L"dd.mm.yyyy hh:nn:ss", L"DD.MM.YYYY HH:NN:SS"},
    {L"yyyymmddhhnnss.zzz", L"YYYYMMDDHHNNSS.ZZZ"},
    {L"yyyy-mm-dd", L"YYYY-MM-DD"},
};

double RandomDateTime(std::mt19937& random) {
  std::uniform_int_distribution<int> day(-693593, 2958465);
  std::uniform_int_distribution<int> msec(0, 86399999);
  return ComposeDateTime(day(random), msec(random) / 86400000.0);
}

wchar_t RandomChar(std::mt19937& random) {
  static const wchar_t kChars[] = L"0123456789012345678901234567890123456789 .:-/+$xX'\"aZz\u00E4\u20AC";
  return kChars[std::uniform_int_distribution<size_t>(0, std::size(kChars) - 2)(random)];
}

void Mutate(std::wstring& text, std::mt19937& random) {
  const int edits = std::uniform_int_distribution<int>(1, 3)(random);
  for (int e = 0; e < edits; ++e) {
    const size_t pos = text.empty() ? 0 : std::uniform_int_distribution<size_t>(0, text.size() - 1)(random);
    switch (std::uniform_int_distribution<int>(0, 3)(random)) {
      case 0:
        if (!text.empty()) text[pos] = RandomChar(random);
        break;
      case 1:
        if (!text.empty()) text.erase(pos, 1);
        break;
      case 2:
        text.insert(pos, 1, RandomChar(random));
        break;
      default:
        text.resize(pos);  // cut short
    }
  }
}

TEST(DateTimeRobustness, FormattedValuesParseBack) {
  std::mt19937 random(20240305);
  for (int round = 0; round < kRounds; ++round) {
    const TLayout& layout = kLayouts[round % std::size(kLayouts)];
    const double value = RandomDateTime(random);
    const std::wstring text = FormatDateTime(layout.format, value);
    const double parsed = ParseDateTimeFmt(layout.parse, text);
    ASSERT_EQ(FormatDateTime(layout.format, parsed), text) << value;
  }
}

TEST(DateTimeRobustness, MutatedTextsGiveZeroOrARealDate) {
  std::mt19937 random(77);
  for (int round = 0; round < kRounds; ++round) {
    const TLayout& layout = kLayouts[round % std::size(kLayouts)];
    std::wstring text = FormatDateTime(layout.format, RandomDateTime(random));
    Mutate(text, random);
    const double parsed = ParseDateTimeFmt(layout.parse, text);
    ASSERT_TRUE(std::isfinite(parsed)) << text;
    if (parsed == 0) continue;
    std::int32_t year, month, day;
    DecodeDateInt(parsed, year, month, day);
    ASSERT_NE(year, 0) << text;
    // Four year digits hold the years 1..9999 ("-585" reads as a year before the era but
    // formats wider); within them whatever was read formats to a text that reads back the same.
    if (year < 1 || year > 9999) continue;
    const std::wstring again = FormatDateTime(layout.format, parsed);
    ASSERT_EQ(ParseDateTimeFmt(layout.parse, again), parsed) << text << L" -> " << again;
  }
}

TEST(DateTimeRobustness, RandomFormatsAndValues) {
  static const wchar_t kFormatChars[] = L"dmyhnsztcapEFIWefiwDMYHNSZTAP/:'\". -x";
  const double specials[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             1e300,
                             -1e300,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::lowest(),
                             784351602345.99999,
                             -784352989898.99999,
                             0,
                             -0.5};
  std::mt19937 random(4711);
  std::uniform_int_distribution<size_t> formatChar(0, std::size(kFormatChars) - 2);
  for (int round = 0; round < kRounds; ++round) {
    std::wstring format(std::uniform_int_distribution<size_t>(0, 24)(random), L' ');
    for (wchar_t& c : format) c = kFormatChars[formatChar(random)];
    const double value = round % 4 == 0 ? specials[round / 4 % std::size(specials)]
                                        : std::uniform_real_distribution<double>(-3e6, 3e6)(random);
    const std::wstring text = FormatDateTimeEx(format, value);
    // Long day names and the nested locale patterns are the longest expansions.
    ASSERT_LE(text.size(), 64 * format.size() + 64) << value;
    std::wstring parseText = text;
    Mutate(parseText, random);
    const double parsed = ParseDateTimeFmt(format, parseText);
    ASSERT_TRUE(std::isfinite(parsed));
  }
}

}  // namespace
