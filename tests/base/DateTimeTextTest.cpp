// The date formatter, its week tokens and the positional parser. Texts that depend on the
// user's locale are expected per TAVRINO_TEST_LOCALE (en: en-US, de: de-DE), which ctest sets
// together with the locale itself; without it those cases are skipped.
#include "base/DateTime.h"
#include "base/Locale.h"
#include "base/Strings.h"

#include "support/TestSupport.h"

#include <cmath>
#include <limits>

namespace {

double Date(std::int32_t year, int month, int day) { return EncodeDateExt(year, month, day); }

double DateTime(std::int32_t year, int month, int day, int hour, int minute, int second, int msec) {
  return Date(year, month, day) + EncodeTime(hour, minute, second, msec);
}

std::wstring TestLocale() {
  wchar_t buffer[16];
  const DWORD n = ::GetEnvironmentVariableW(L"TAVRINO_TEST_LOCALE", buffer, 16);
  return n > 0 && n < 16 ? std::wstring(buffer, n) : std::wstring();
}

bool RunningUnderWine() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

// The expected text for the locale under test; deWine where Wine's de-DE data differs from
// Windows. Skips the test when no locale is named.
std::wstring Expected(const wchar_t* en, const wchar_t* de, const wchar_t* deWine = nullptr) {
  if (std::wstring_view(en) == de && !deWine) return en;
  const std::wstring locale = TestLocale();
  if (locale == L"en") return en;
  if (locale == L"de") return deWine && RunningUnderWine() ? deWine : de;
  return {};
}

bool LocaleNamed() { return TestLocale() == L"en" || TestLocale() == L"de"; }

// Tuesday 15 March 2016 14:05:09.045: ISO week 11, day 75 of the year.
const double kMarch15 = DateTime(2016, 3, 15, 14, 5, 9, 45);
// Friday 1 January 2016 09:03:04.005: ISO week 53 of 2015.
const double kNewYear = DateTime(2016, 1, 1, 9, 3, 4, 5);
// Tuesday 5 January 2016: week 1.
const double kJan5 = Date(2016, 1, 5);
// Tuesday 15 November 2016 14:05:09: two-digit day and month in every short date pattern.
const double kNovember15 = DateTime(2016, 11, 15, 14, 5, 9, 0);

TEST(DateTimeLocale, SnapshotIsTheLocaleUnderTest) {
  if (!LocaleNamed()) GTEST_SKIP() << "TAVRINO_TEST_LOCALE not set";
  EXPECT_EQ(LocaleSnapshot().LongMonthNames[2], Expected(L"March", L"März"));
}

TEST(DateTimeLocale, DateParsePatternFromShortDatePattern) {
  if (!LocaleNamed()) GTEST_SKIP() << "TAVRINO_TEST_LOCALE not set";
  // Windows de-DE writes "dd.MM.yyyy"; Wine 8 has "d.M.yyyy".
  EXPECT_EQ(DateParsePattern, Expected(L"M/D/YYYY", L"DD.MM.YYYY", L"D.M.YYYY"));
}

// --- FormatDateTimeEx: every token once -------------------------------------------------------

struct TFormatCase {
  const char* name;
  const wchar_t* format;
  double value;
  const wchar_t* en;
  const wchar_t* de;  // nullptr: as en
  const wchar_t* deWine = nullptr;
};

class FormatTokens : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(FormatTokens, Text) {
  const TFormatCase& c = GetParam();
  const std::wstring expected = Expected(c.en, c.de ? c.de : c.en, c.deWine);
  if (expected.empty() && *c.en) GTEST_SKIP() << "TAVRINO_TEST_LOCALE not set";
  EXPECT_EQ(FormatDateTimeEx(c.format, c.value), expected);
}

INSTANTIATE_TEST_SUITE_P(
    DateTime, FormatTokens,
    ::testing::Values(
        // Week, day-of-year and week-year tokens
        TFormatCase{"E_IsoDayOfWeek", L"E", kMarch15, L"2", nullptr},
        TFormatCase{"F_DayOfYear", L"F", kNewYear, L"1", nullptr},
        TFormatCase{"FF_TwoDigits", L"FF", kNewYear, L"01", nullptr},
        TFormatCase{"FFF_ThreeDigits", L"FFF", kJan5, L"005", nullptr},
        TFormatCase{"I_WeekYear", L"I", kNewYear, L"2015", nullptr},
        TFormatCase{"II_WeekYearTwoDigits", L"II", kNewYear, L"15", nullptr},
        TFormatCase{"III_WeekYear", L"III", kNewYear, L"2015", nullptr},
        TFormatCase{"IIII_WeekYear", L"IIII", kNewYear, L"2015", nullptr},
        TFormatCase{"IIII_WeekYearBeforeYear1", L"IIII|II", Date(-44, 3, 15), L"-44|44", nullptr},
        TFormatCase{"W_Week", L"W", kJan5, L"1", nullptr},
        TFormatCase{"WW_WeekTwoDigits", L"WW", kJan5, L"01", nullptr},
        TFormatCase{"WWW_IsWWThenW", L"WWW", kJan5, L"011", nullptr},
        TFormatCase{"FFFF_IsFFFThenF", L"FFFF", kMarch15, L"07575", nullptr},
        TFormatCase{"LowerCaseTokens", L"w e f i", kMarch15, L"11 2 75 2016", nullptr},
        TFormatCase{"QuotedLettersStay", L"'W'\"E\"", kMarch15, L"WE", nullptr},
        TFormatCase{"UnclosedQuoteCarriesTheRest", L"'WW E", kMarch15, L"WW E", nullptr},
        TFormatCase{"IsoWeekDate", L"yyyy-'W'WW-E", kNewYear, L"2016-W53-5", nullptr},
        TFormatCase{"WeekYearAndWeek", L"IIII-WW", kNewYear, L"2015-53", nullptr},
        // The standard formatter's letters
        TFormatCase{"d_Day", L"d", kNewYear, L"1", nullptr},
        TFormatCase{"dd_DayTwoDigits", L"dd", kNewYear, L"01", nullptr},
        // Windows de-DE abbreviates "Di"; Wine 8 writes "Di."
        TFormatCase{"ddd_ShortDayName", L"ddd", kMarch15, L"Tue", L"Di", L"Di."},
        TFormatCase{"dddd_LongDayName", L"dddd", kMarch15, L"Tuesday", L"Dienstag"},
        TFormatCase{"ddddd_ShortDate", L"ddddd", kNovember15, L"11/15/2016", L"15.11.2016"},
        TFormatCase{"dddddd_LongDate", L"dddddd", kNovember15, L"Tuesday, November 15, 2016",
                    L"Dienstag, 15. November 2016"},
        TFormatCase{"m_Month", L"m", kNewYear, L"1", nullptr},
        TFormatCase{"mm_MonthTwoDigits", L"mm", kNewYear, L"01", nullptr},
        TFormatCase{"mmm_ShortMonthName", L"mmm", kMarch15, L"Mar", L"Mär"},
        TFormatCase{"mmmm_LongMonthName", L"mmmm", kMarch15, L"March", L"März"},
        TFormatCase{"yy_TwoDigitYear", L"yy", kNewYear, L"16", nullptr},
        TFormatCase{"yyyy_FourDigitYear", L"yyyy", Date(5, 6, 7), L"0005", nullptr},
        TFormatCase{"yyyy_BeyondYear9999", L"yyyy", Date(12345, 6, 7), L"12345", nullptr},
        TFormatCase{"yyyy_BeforeYear1", L"yyyy", Date(-44, 3, 15), L"-0044", nullptr},
        TFormatCase{"h_Hour", L"h", kNewYear, L"9", nullptr},
        TFormatCase{"hh_HourTwoDigits", L"hh", kNewYear, L"09", nullptr},
        TFormatCase{"n_Minute", L"n", kNewYear, L"3", nullptr},
        TFormatCase{"nn_MinuteTwoDigits", L"nn", kNewYear, L"03", nullptr},
        TFormatCase{"mm_AfterHourIsMinute", L"hh:mm", kNewYear, L"09:03", nullptr},
        TFormatCase{"s_Second", L"s", kNewYear, L"4", nullptr},
        TFormatCase{"ss_SecondTwoDigits", L"ss", kNewYear, L"04", nullptr},
        TFormatCase{"z_Millisecond", L"z", kNewYear, L"5", nullptr},
        TFormatCase{"zzz_MillisecondThreeDigits", L"zzz", kNewYear, L"005", nullptr},
        TFormatCase{"ampm_WrittenDesignator", L"h am/pm", kMarch15, L"2 pm", nullptr},
        TFormatCase{"ap_OneLetterDesignator", L"h a/p", kNewYear, L"9 a", nullptr},
        TFormatCase{"AMPM_LocaleDesignator", L"hh AMPM", kMarch15, L"02 PM", nullptr},
        TFormatCase{"t_ShortTime", L"t", kMarch15, L"2:05 PM", L"14:05"},
        TFormatCase{"tt_LongTime", L"tt", kMarch15, L"2:05:09 PM", L"14:05:09"},
        TFormatCase{"c_DateAndTime", L"c", kNovember15, L"11/15/2016 2:05:09 PM", L"15.11.2016 14:05:09"},
        TFormatCase{"c_AtMidnightDateOnly", L"c", Date(2016, 11, 15), L"11/15/2016", L"15.11.2016"},
        TFormatCase{"aaa_ShortDayName", L"aaa", kMarch15, L"Tue", L"Di", L"Di."},
        TFormatCase{"aaaa_LongDayName", L"aaaa", kMarch15, L"Tuesday", L"Dienstag"},
        TFormatCase{"Slash_DateSeparator", L"d/m", kNewYear, L"1/1", L"1.1"},
        TFormatCase{"Colon_TimeSeparator", L"h:n", kNewYear, L"9:3", nullptr},
        TFormatCase{"QuotedTextStays", L"'yyyy'\"d\"x", kNewYear, L"yyyydx", nullptr},
        TFormatCase{"TimeRoundingToMidnightIsNextDay", L"yyyy-mm-dd hh:nn:ss.zzz", Date(2024, 12, 31) + 0.9999999999,
                    L"2025-01-01 00:00:00.000", nullptr},
        TFormatCase{"BeforeDayZeroTimeCountsForwards", L"yyyy-mm-dd hh:nn", -1.25, L"1899-12-29 06:00", nullptr},
        TFormatCase{"NoDatePrintsZeros", L"yyyy-mm-dd|mmmm|dddd|W|E|FFF",
                    std::numeric_limits<double>::quiet_NaN(), L"0000-00-00|||0|0|000", nullptr}),
    TCaseName());

// --- ParseDateTimeFmt -----------------------------------------------------------------------------

struct TParseCase {
  const char* name;
  const wchar_t* format;
  const wchar_t* text;
  double value;
};

class ParseDateTimeTable : public ::testing::TestWithParam<TParseCase> {};

TEST_P(ParseDateTimeTable, Value) {
  const TParseCase& c = GetParam();
  EXPECT_EQ(ParseDateTimeFmt(c.format, c.text), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    DateTime, ParseDateTimeTable,
    ::testing::Values(
        TParseCase{"GermanDate", L"DD.MM.YYYY", L"05.03.2024", Date(2024, 3, 5)},
        TParseCase{"IsoDateTimeWithMilliseconds", L"YYYY-MM-DD HH:NN:SS.ZZZ", L"2024-03-05 14:07:09.045",
                   DateTime(2024, 3, 5, 14, 7, 9, 45)},
        TParseCase{"TextShorterThanFormat", L"YYYY-MM-DD", L"2024-3-5", 0},
        TParseCase{"Month13", L"YYYY-MM-DD", L"2024-13-05", 0},
        TParseCase{"TwoDigitYear80Is2080", L"DD.MM.YY", L"05.03.80", Date(2080, 3, 5)},
        TParseCase{"TwoDigitYear81Is1981", L"DD.MM.YY", L"05.03.81", Date(1981, 3, 5)},
        TParseCase{"EmptyFormat", L"", L"05.03.2024", 0},
        TParseCase{"EmptyText", L"DD.MM.YYYY", L"", 0},
        TParseCase{"AnySeparators", L"DD.MM.YYYY", L"05/03-2024", Date(2024, 3, 5)},
        TParseCase{"LowerCaseQuotedFormat", L"\"dd\".mm.yyyy", L"05.03.2024", Date(2024, 3, 5)},
        TParseCase{"LeadingSpaceInField", L"DD.MM.YYYY", L" 5.03.2024", Date(2024, 3, 5)},
        TParseCase{"LongerTextIsRead", L"DD.MM.YYYY", L"05.03.2024 and more", Date(2024, 3, 5)},
        TParseCase{"TenThousandths", L"HH:NN:SS.ZZZZ", L"14:07:09.0456", EncodeTime(14, 7, 9, 45)},
        TParseCase{"TimeOnly", L"HH:NN", L"14:07", EncodeTime(14, 7, 0, 0)},
        TParseCase{"DayZeroLeavesDateOut", L"YYYY-MM-DD HH:NN:SS.ZZZ", L"2024-00-05 01:00:00.000", 1.0 / 24},
        TParseCase{"Minute60", L"HH:NN", L"12:60", 0},
        TParseCase{"Hour24", L"YYYY-MM-DD HH:NN", L"2024-03-05 24:00", 0},
        TParseCase{"MillisecondsNotANumberAreZero", L"HH:NN:SS.ZZZ", L"12:00:00.abc", 0.5},
        TParseCase{"NegativeMilliseconds", L"HH:NN:SS.ZZZ", L"12:00:00.-12", 0},
        TParseCase{"February30", L"DD.MM.YYYY", L"30.02.2024", 0},
        TParseCase{"February29InCommonYear", L"DD.MM.YYYY", L"29.02.2023", 0},
        TParseCase{"February29InLeapYear", L"DD.MM.YYYY", L"29.02.2024", Date(2024, 2, 29)},
        TParseCase{"LeapDayBeforeYear1", L"YYYY-MM-DD", L"-001-02-29", Date(-1, 2, 29)},
        TParseCase{"February30BeforeYear1", L"YYYY-MM-DD", L"-001-02-30", 0},
        TParseCase{"TextEndsBeforeMilliseconds", L"YYYY-MM-DD HH:NN:SS.ZZZ", L"2024-03-05", 0},
        TParseCase{"TextEndsAtMillisecondPoint", L"HH:NN:SS.ZZZ", L"12:00:00.", 0.5},
        TParseCase{"TextEndsInsideLastToken", L"DD.MM.YYYY", L"05.03.202", 0},
        TParseCase{"DateBeforeDayZeroWithTime", L"YYYY-MM-DD HH:NN", L"1850-06-01 06:00",
                   Date(1850, 6, 1) - 0.25}),
    TCaseName());

// The user's short date pattern for one test, the library's copies of it read again; the
// previous pattern comes back at the end.
class TShortDatePattern {
public:
  explicit TShortDatePattern(const wchar_t* pattern) {
    wchar_t old[80] = {};
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, old, 80);
    FOld = old;
    Apply(pattern);
  }
  ~TShortDatePattern() { Apply(FOld.c_str()); }

private:
  static void Apply(const wchar_t* pattern) {
    ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, pattern);
    ReloadLocaleSettings();
    DateTimeStart();  // the parse pattern follows the short date pattern
  }
  std::wstring FOld;
};

TEST(DateTimeParse, GermanShortDatePatternReadsFormattedDates) {
  if (TestLocale() != L"de") GTEST_SKIP() << "German locale only";
  // German Windows writes dates as dd.MM.yyyy; Wine 8's de-DE data says d.M.yyyy, which a
  // positional parser cannot read, so the test sets the pattern Windows users have.
  TShortDatePattern german(L"dd.MM.yyyy");
  ASSERT_EQ(LocaleSnapshot().ShortDateFormat, L"dd.MM.yyyy");
  EXPECT_EQ(DateParsePattern, L"DD.MM.YYYY");
  EXPECT_EQ(FormatDateTimeEx(LocaleSnapshot().ShortDateFormat, kJan5), L"05.01.2016");
  for (double date : {kJan5, kNovember15 - EncodeTime(14, 5, 9, 0), Date(1999, 12, 31)})
    EXPECT_EQ(ParseDateTimeFmt(DateParsePattern, FormatDateTimeEx(LocaleSnapshot().ShortDateFormat, date)), date);
}

}  // namespace
