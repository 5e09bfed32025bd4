#include "base/DateTime.h"

#include "support/TestSupport.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int32_t kMaxYear = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinYear = std::numeric_limits<std::int32_t>::min();

double Date(std::int32_t year, int month, int day) { return EncodeDateExt(year, month, day); }

double DateTime(std::int32_t year, int month, int day, int hour, int minute, int second = 0, int msec = 0) {
  return ComposeDateTime(Date(year, month, day), EncodeTime(hour, minute, second, msec));
}

struct TYmd {
  std::int32_t Year;
  int Month, Day;
  bool operator==(const TYmd&) const = default;
};

void PrintTo(const TYmd& d, std::ostream* os) { *os << d.Year << '-' << d.Month << '-' << d.Day; }

TYmd Decoded(double value) {
  TYmd d{};
  DecodeDateInt(value, d.Year, d.Month, d.Day);
  return d;
}

// --- ISO weeks around year ends ---------------------------------------------------------------

struct TIsoWeekCase {
  const char* name;
  TYmd date;
  int week;
  std::int32_t weekYear;
  int dayOfWeek;
};

class IsoWeekTable : public ::testing::TestWithParam<TIsoWeekCase> {};

TEST_P(IsoWeekTable, NumberYearAndDay) {
  const TIsoWeekCase& c = GetParam();
  std::int32_t year = -7;
  int dayOfWeek = -7;
  const double date = Date(c.date.Year, c.date.Month, c.date.Day);
  EXPECT_EQ(IsoWeekNumber(ComposeDateTime(date, 0.75), year, dayOfWeek), c.week);
  EXPECT_EQ(year, c.weekYear);
  EXPECT_EQ(dayOfWeek, c.dayOfWeek);
  EXPECT_EQ(IsoDayOfWeek(date), c.dayOfWeek);
  EXPECT_EQ(DateOfIsoWeek(c.weekYear, c.week, c.dayOfWeek), date);
}

INSTANTIATE_TEST_SUITE_P(
    DateTime, IsoWeekTable,
    ::testing::Values(
        TIsoWeekCase{"Monday29Dec2014IsWeek1Of2015", {2014, 12, 29}, 1, 2015, 1},
        TIsoWeekCase{"Friday1Jan2016IsWeek53Of2015", {2016, 1, 1}, 53, 2015, 5},
        TIsoWeekCase{"Monday31Dec2018IsWeek1Of2019", {2018, 12, 31}, 1, 2019, 1},
        TIsoWeekCase{"Thursday1Jan2015StartsWeek1", {2015, 1, 1}, 1, 2015, 4},
        TIsoWeekCase{"Thursday31Dec2015IsWeek53", {2015, 12, 31}, 53, 2015, 4},
        TIsoWeekCase{"LeapYear2020FromWednesdayEndsInWeek53", {2020, 12, 31}, 53, 2020, 4},
        TIsoWeekCase{"Sunday3Jan2021StillWeek53Of2020", {2021, 1, 3}, 53, 2020, 7},
        TIsoWeekCase{"Monday4Jan2021StartsWeek1", {2021, 1, 4}, 1, 2021, 1},
        TIsoWeekCase{"Sunday1Jan2017IsWeek52Of2016", {2017, 1, 1}, 52, 2016, 7},
        TIsoWeekCase{"Tuesday30Dec2008IsWeek1Of2009", {2008, 12, 30}, 1, 2009, 2},
        TIsoWeekCase{"Wednesday31Dec2025IsWeek1Of2026", {2025, 12, 31}, 1, 2026, 3},
        TIsoWeekCase{"Sunday28Dec2025IsWeek52", {2025, 12, 28}, 52, 2025, 7},
        TIsoWeekCase{"Monday1Jan1900IsWeek1", {1900, 1, 1}, 1, 1900, 1},
        TIsoWeekCase{"Saturday1Jan10000IsWeek52Of9999", {10000, 1, 1}, 52, 9999, 6},
        TIsoWeekCase{"Year10001StartsMonday", {10001, 1, 1}, 1, 10001, 1},
        TIsoWeekCase{"Monday1Jan1IsWeek1", {1, 1, 1}, 1, 1, 1},
        TIsoWeekCase{"Sunday31Dec1BeforeEraIsWeek52", {-1, 12, 31}, 52, -1, 7}),
    TCaseName());

struct TWeeksInYearCase {
  const char* name;
  std::int32_t year;
  int weeks;
};

class WeeksInYearTable : public ::testing::TestWithParam<TWeeksInYearCase> {};

TEST_P(WeeksInYearTable, Count) {
  const TWeeksInYearCase& c = GetParam();
  EXPECT_EQ(WeeksInYear(c.year), c.weeks);
  EXPECT_EQ(HasWeek53(c.year), c.weeks == 53);
}

INSTANTIATE_TEST_SUITE_P(DateTime, WeeksInYearTable,
                         ::testing::Values(TWeeksInYearCase{"StartsThursday2015", 2015, 53},
                                           TWeeksInYearCase{"LeapStartsWednesday2020", 2020, 53},
                                           TWeeksInYearCase{"StartsTuesday2019", 2019, 52},
                                           TWeeksInYearCase{"LeapStartsThursday2004", 2004, 53},
                                           TWeeksInYearCase{"CommonStartsWednesday2025", 2025, 52},
                                           TWeeksInYearCase{"LeapStartsMonday2024", 2024, 52},
                                           TWeeksInYearCase{"LeapStartsSaturday10000", 10000, 52},
                                           TWeeksInYearCase{"StartsThursday10004", 10004, 53}),
                         TCaseName());

// Over a whole 400-year cycle, and across both ends of the standard calendar, the weeks run on
// without gaps: +1 on every Monday, back to 1 exactly when the week-based year changes, and
// the last week of a year is WeeksInYear of it.
TEST(DateTimeIsoWeek, WeeksRunOnWithoutGaps) {
  for (auto [first, last] : {std::pair{Date(2000, 1, 3), Date(2400, 1, 3)},
                             std::pair{Date(9990, 1, 1), Date(10020, 1, 1)},
                             std::pair{Date(-30, 1, 1), Date(30, 1, 1)}}) {
    std::int32_t previousYear = 0;
    int previousDow = 0;
    int previousWeek = IsoWeekNumber(first - 1, previousYear, previousDow);
    for (double d = first; d < last; d += 1) {
      std::int32_t year;
      int dow;
      const int week = IsoWeekNumber(d, year, dow);
      ASSERT_EQ(dow, previousDow % 7 + 1) << d;
      if (dow != 1) {
        ASSERT_EQ(week, previousWeek) << d;
        ASSERT_EQ(year, previousYear) << d;
      } else if (week == 1) {
        ASSERT_EQ(previousWeek, WeeksInYear(previousYear)) << d;
        ASSERT_EQ(year, previousYear == -1 ? 1 : previousYear + 1) << d;
      } else {
        ASSERT_EQ(week, previousWeek + 1) << d;
      }
      // The Thursday of the week lies in the week-based year.
      ASSERT_EQ(YearOfDate(d + 4 - dow), year) << d;
      previousYear = year;
      previousWeek = week;
      previousDow = dow;
    }
  }
}

TEST(DateTimeIsoWeek, NoDateGivesZero) {
  for (double value : {kNaN, kInf, -kInf, 1e300, -1e13}) {
    std::int32_t year = 5;
    int dow = 5;
    EXPECT_EQ(IsoWeekNumber(value, year, dow), 0) << value;
    EXPECT_EQ(year, 0);
    EXPECT_EQ(dow, 0);
    EXPECT_EQ(IsoDayOfWeek(value), 0);
    EXPECT_EQ(DayOfYear(value), 0);
  }
}

// --- Calendar ---------------------------------------------------------------------------------

struct TCalendarCase {
  const char* name;
  TYmd date;
  double value;
};

class CalendarTable : public ::testing::TestWithParam<TCalendarCase> {};

TEST_P(CalendarTable, EncodeAndDecode) {
  const TCalendarCase& c = GetParam();
  EXPECT_EQ(EncodeDateExt(c.date.Year, c.date.Month, c.date.Day), c.value);
  EXPECT_EQ(Decoded(c.value), c.date);
  EXPECT_EQ(Decoded(ComposeDateTime(c.value, 0.999)), c.date);
  std::int32_t year;
  std::uint16_t month, day;
  DecodeDateExt(c.value, year, month, day);
  EXPECT_EQ((TYmd{year, month, day}), c.date);
}

INSTANTIATE_TEST_SUITE_P(
    DateTime, CalendarTable,
    ::testing::Values(TCalendarCase{"DayZero", {1899, 12, 30}, 0}, TCalendarCase{"Monday1900", {1900, 1, 1}, 2},
                      TCalendarCase{"LeapDay2024", {2024, 2, 29}, 45351},
                      TCalendarCase{"FirstDayOfYear1", {1, 1, 1}, -693593},
                      TCalendarCase{"LastStandardDay", {9999, 12, 31}, 2958465},
                      TCalendarCase{"FirstDayOfYear10000", {10000, 1, 1}, 2958466},
                      TCalendarCase{"February10000", {10000, 2, 1}, 2958466 + 31},
                      TCalendarCase{"LeapDay10000", {10000, 2, 29}, 2958466 + 59},
                      TCalendarCase{"Year20000IsTwentyFiveCyclesOn", {20000, 1, 1}, 2958466 + 25 * 146097},
                      TCalendarCase{"DayBeforeYear1", {-1, 12, 31}, -693594},
                      TCalendarCase{"YearBeforeYear1IsLeap", {-1, 1, 1}, -693593 - 366},
                      TCalendarCase{"LeapDayBeforeYear1", {-1, 2, 29}, -693593 - 366 + 59},
                      TCalendarCase{"Year401BeforeEra", {-401, 1, 1}, -693593 - 366 - 146097},
                      TCalendarCase{"LastDayOf32BitYears", {kMaxYear, 12, 31}, 784351602345.0},
                      TCalendarCase{"FirstDayOf32BitYears", {kMinYear, 1, 1}, -784352989898.0}),
    TCaseName());

TEST(DateTimeCalendar, ExtendedCalendarCountsMonthsAndDaysOn) {
  EXPECT_EQ(EncodeDateExt(10000, 13, 1), Date(10001, 1, 1));
  EXPECT_EQ(EncodeDateExt(10100, 2, 29), Date(10100, 3, 1));  // 10100 is no leap year
  EXPECT_EQ(EncodeDateExt(-5, 0, 1), Date(-6, 12, 1));
  EXPECT_EQ(EncodeDateExt(-1, 12, 32), Date(1, 1, 1));
  EXPECT_EQ(EncodeDateExt(0, 3, 1), Date(1, 3, 1));  // there is no year 0
}

TEST(DateTimeCalendar, ExtendedDatesRoundTrip) {
  for (auto [first, last] : {std::pair{-695000.0, -692000.0}, std::pair{2957000.0, 2960000.0},
                             std::pair{-1e9, -1e9 + 800}, std::pair{7.8e11, 7.8e11 + 800}})
    for (double d = first; d < last; d += 1) {
      const TYmd ymd = Decoded(d);
      ASSERT_NE(ymd.Year, 0) << d;
      ASSERT_EQ(EncodeDateExt(ymd.Year, ymd.Month, ymd.Day), d) << d;
      ASSERT_EQ(DayOfYear(d), static_cast<int>(d - EncodeDateExt(ymd.Year, 1, 1)) + 1) << d;
    }
}

TEST(DateTimeCalendar, StandardCalendarRaisesForDaysThatDoNotExist) {
  for (TYmd bad : {TYmd{2023, 2, 29}, TYmd{2024, 13, 1}, TYmd{2024, 0, 1}, TYmd{2024, 1, 0}, TYmd{2024, 4, 31},
                   TYmd{9999, 12, 32}, TYmd{1, -1, 1}})
    EXPECT_THROW(EncodeDateExt(bad.Year, bad.Month, bad.Day), EConvertError) << bad.Year << '-' << bad.Month;
}

TEST(DateTimeCalendar, ValuesWithoutDateDecodeToZero) {
  for (double value : {kNaN, kInf, -kInf, 1e300, -1e300, 784351602346.0, -784352989899.0})
    EXPECT_EQ(Decoded(value), (TYmd{0, 0, 0})) << value;
  EXPECT_EQ(Decoded(784351602345.5), (TYmd{kMaxYear, 12, 31}));
}

TEST(DateTimeCalendar, NegativeValuesCountTheTimeForwards) {
  EXPECT_EQ(Decoded(-1.25), (TYmd{1899, 12, 29}));
  int hour, minute, second, msec;
  DecodeTime(-1.25, hour, minute, second, msec);
  EXPECT_EQ(hour, 6);
  EXPECT_EQ(ComposeDateTime(-1, 0.25), -1.25);
  EXPECT_EQ(ComposeDateTime(2, 0.25), 2.25);
}

struct TDaysInMonthCase {
  const char* name;
  int month;
  std::int32_t year;
  int days;
};

class DaysInMonthTable : public ::testing::TestWithParam<TDaysInMonthCase> {};

TEST_P(DaysInMonthTable, Count) {
  const TDaysInMonthCase& c = GetParam();
  EXPECT_EQ(DaysInMonthOf(c.month, c.year), c.days);
}

INSTANTIATE_TEST_SUITE_P(DateTime, DaysInMonthTable,
                         ::testing::Values(TDaysInMonthCase{"MonthZero", 0, 2024, 0},
                                           TDaysInMonthCase{"Month13", 13, 2024, 0},
                                           TDaysInMonthCase{"NegativeMonth", -1, 2024, 0},
                                           TDaysInMonthCase{"February2024", 2, 2024, 29},
                                           TDaysInMonthCase{"February1900", 2, 1900, 28},
                                           TDaysInMonthCase{"February2000", 2, 2000, 29},
                                           TDaysInMonthCase{"February10100", 2, 10100, 28},
                                           TDaysInMonthCase{"FebruaryBeforeYear1", 2, -1, 29},
                                           TDaysInMonthCase{"April", 4, 2023, 30},
                                           TDaysInMonthCase{"December", 12, 2023, 31}),
                         TCaseName());

TEST(DateTimeCalendar, DayOfYear) {
  std::int32_t year = 0;
  EXPECT_EQ(DayOfYear(Date(2024, 12, 31) + 0.5, year), 366);
  EXPECT_EQ(year, 2024);
  EXPECT_EQ(DayOfYear(Date(2023, 3, 1)), 60);
  EXPECT_EQ(DateOfYearDay(2024, 60), Date(2024, 2, 29));
  EXPECT_EQ(DateOfYearDay(10000, 366), Date(10000, 12, 31));
  EXPECT_EQ(DayOfDate(Date(2024, 5, 17)), 17);
  EXPECT_EQ(MonthOfDate(Date(2024, 5, 17)), 5);
  EXPECT_EQ(YearOfDate(Date(-44, 3, 15)), -44);
}

// --- Periods ------------------------------------------------------------------------------------

struct TIncPeriodCase {
  const char* name;
  int count;
  TPeriodKind kind;
  double from;
  double to;
};

class IncPeriodTable : public ::testing::TestWithParam<TIncPeriodCase> {};

TEST_P(IncPeriodTable, Result) {
  const TIncPeriodCase& c = GetParam();
  EXPECT_EQ(IncPeriod(c.count, c.kind, c.from), c.to);
}

INSTANTIATE_TEST_SUITE_P(
    DateTime, IncPeriodTable,
    ::testing::Values(
        TIncPeriodCase{"MonthFrom31JanToLeapDay", 1, pkMonth, Date(2024, 1, 31), Date(2024, 2, 29)},
        TIncPeriodCase{"QuarterBackFrom31MayToLeapDay", -1, pkQuarter, Date(2024, 5, 31), Date(2024, 2, 29)},
        TIncPeriodCase{"YearFromLeapDayTo28Feb", 1, pkYear, Date(2024, 2, 29), Date(2025, 2, 28)},
        TIncPeriodCase{"DayKeepsTime", -3, pkDay, Date(2024, 3, 2) + 0.5, Date(2024, 2, 28) + 0.5},
        TIncPeriodCase{"WeekKeepsTime", 2, pkWeek, Date(2024, 12, 25) + 0.25, Date(2025, 1, 8) + 0.25},
        TIncPeriodCase{"MonthDropsTime", 1, pkMonth, Date(2024, 1, 15) + 0.75, Date(2024, 2, 15)},
        TIncPeriodCase{"ThirteenMonthsBackCrossesTwoYearEnds", -13, pkMonth, Date(2024, 1, 15), Date(2022, 12, 15)},
        TIncPeriodCase{"TwelveMonthsIsAYear", 12, pkMonth, Date(2023, 12, 31), Date(2024, 12, 31)},
        TIncPeriodCase{"ZeroMonthsDropsTimeOnly", 0, pkMonth, Date(2024, 7, 4) + 0.5, Date(2024, 7, 4)},
        TIncPeriodCase{"YearAcrossTheStartOfTheEra", 1, pkYear, Date(-1, 6, 15), Date(1, 6, 15)},
        TIncPeriodCase{"MonthIntoYear10000", 1, pkMonth, Date(9999, 12, 31), Date(10000, 1, 31)},
        TIncPeriodCase{"MostMonthsAtOnce", kMaxYear, pkMonth, Date(2024, 1, 31),
                       EncodeDateExt(2024 + kMaxYear / 12, 1 + kMaxYear % 12, 31)},
        TIncPeriodCase{"UnknownKindKeepsValue", 5, static_cast<TPeriodKind>(9), 123.5, 123.5},
        TIncPeriodCase{"NoDateKeepsValue", 1, pkMonth, 1e300, 1e300}),
    TCaseName());

TEST(DateTimePeriods, IndexesOfKnownPeriods) {
  EXPECT_EQ(MonthIndex(1, 1900), 0);
  EXPECT_EQ(MonthIndex(12, 2024), 1499);
  EXPECT_EQ(QuarterIndex(1, 1900), 0);
  EXPECT_EQ(QuarterIndex(4, 2024), 499);
  EXPECT_EQ(WeekIndex(1, 1900), 0);
  EXPECT_EQ(DateOfWeekIndex(0), Date(1900, 1, 1));
  EXPECT_EQ(DateOfMonthIndex(1499), Date(2024, 12, 1));
  EXPECT_EQ(DateOfQuarterIndex(499), Date(2024, 10, 1));
  EXPECT_EQ(DateOfQuarterIndex(-1), Date(1899, 10, 1));
  int month, quarter, week;
  std::int32_t year;
  MonthOfMonthIndex(-1, month, year);
  EXPECT_EQ(month * 10000 + year, 12 * 10000 + 1899);
  QuarterOfQuarterIndex(499, quarter, year);
  EXPECT_EQ(quarter * 10000 + year, 4 * 10000 + 2024);
  QuarterMonthOfQuarterIndex(499, month, year);
  EXPECT_EQ(month * 10000 + year, 10 * 10000 + 2024);
  WeekOfWeekIndex(WeekIndex(53, 2015) + 1, week, year);
  EXPECT_EQ(week * 10000 + year, 1 * 10000 + 2016);
  WeekOfWeekIndex(WeekIndex(1, 2021) - 1, week, year);
  EXPECT_EQ(week * 10000 + year, 53 * 10000 + 2020);
}

// Consecutive periods have consecutive indexes, also before 1900, across the start of the era
// and beyond year 9999; every index leads back to itself.
TEST(DateTimePeriods, IndexesStepOneByOne) {
  for (int index : {-30000, -22800, -7600, -4965, -1, 0, 1, 1499, 97000, 120000}) {
    for (int i = index; i < index + 30; ++i) {
      int month, quarter, week;
      std::int32_t year;
      MonthOfMonthIndex(i, month, year);
      ASSERT_EQ(MonthIndex(month, year), i);
      ASSERT_EQ(DateOfMonthIndex(i), Date(year, month, 1));
      QuarterOfQuarterIndex(i, quarter, year);
      ASSERT_EQ(QuarterIndex(quarter, year), i);
      WeekOfWeekIndex(i * 20, week, year);
      ASSERT_EQ(WeekIndex(week, year), i * 20);
      ASSERT_EQ(DateOfWeekIndex(i * 20), DateOfIsoWeek(year, week, 1));
    }
  }
  EXPECT_EQ(MonthIndex(1, 1) - MonthIndex(12, -1), 1);
  EXPECT_EQ(QuarterIndex(1, 1) - QuarterIndex(4, -1), 1);
  EXPECT_EQ(MonthIndex(1, 0), MonthIndex(1, 1));  // there is no year 0
  EXPECT_EQ(QuarterIndex(1, 0), QuarterIndex(1, 1));
}

TEST(DateTimePeriods, IndexesOfHugeYearsSaturate) {
  EXPECT_EQ(MonthIndex(12, kMaxYear), std::numeric_limits<int>::max());
  EXPECT_EQ(QuarterIndex(1, kMinYear), std::numeric_limits<int>::min());
}

// --- Time of day and the clock ---------------------------------------------------------------

TEST(DateTimeClock, EncodeTimeRejectsTimesThatDoNotExist) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  for (auto [h, m, s, ms] : {std::tuple{24, 0, 0, 0}, std::tuple{0, 60, 0, 0}, std::tuple{0, 0, 60, 0},
                             std::tuple{0, 0, 0, 1000}, std::tuple{-1, 0, 0, 0}})
    EXPECT_THROW(EncodeTime(h, m, s, ms), EConvertError);
}

TEST(DateTimeClock, TimeThatRoundsToMidnightWraps) {
  int hour, minute, second, msec;
  DecodeTime(0.99999999999, hour, minute, second, msec);
  EXPECT_EQ(hour + minute + second + msec, 0);
  DecodeTime(Date(2024, 1, 1) + EncodeTime(13, 14, 15, 16), hour, minute, second, msec);
  EXPECT_EQ(hour * 1000000 + minute * 10000 + second * 100 + msec, 13141516);
}

TEST(DateTimeClock, NowAndCurrentDate) {
  SYSTEMTIME local;
  ::GetLocalTime(&local);
  const double now = Now();
  const double today = CurrentDate();
  EXPECT_EQ(today, std::trunc(today));
  // A midnight between the two readings moves the date by one.
  EXPECT_LE(std::fabs(today - Date(local.wYear, local.wMonth, local.wDay)), 1);
  EXPECT_LE(std::fabs(now - SystemTimeToDateTime(local)), 1);
}

TEST(DateTimeClock, SystemTimeRoundTrip) {
  const double value = DateTime(2024, 2, 29, 23, 59, 58, 999);
  SYSTEMTIME st;
  ASSERT_TRUE(DateTimeToSystemTime(value, st));
  EXPECT_EQ(st.wYear, 2024);
  EXPECT_EQ(st.wDayOfWeek, 4);  // Thursday
  EXPECT_EQ(st.wMilliseconds, 999);
  EXPECT_EQ(SystemTimeToDateTime(st), value);
  EXPECT_FALSE(DateTimeToSystemTime(Date(1600, 12, 31), st));
  EXPECT_FALSE(DateTimeToSystemTime(kNaN, st));
}

// --- Date range ---------------------------------------------------------------------------------

TEST(DateTimeRange, NewInitAndClear) {
  TDateRange range;
  EXPECT_EQ(range.FromDt, 0);
  EXPECT_EQ(range.ToDt, 0);
  EXPECT_TRUE(range.FromDtStr.empty() && range.ToDtStr.empty());
  range.Init(1, 2, L"a", L"b");
  EXPECT_EQ(range.FromDt, 1);
  EXPECT_EQ(range.ToDt, 2);
  EXPECT_EQ(range.FromDtStr, L"a");
  EXPECT_EQ(range.ToDtStr, L"b");
  range.Clear();
  EXPECT_EQ(range.FromDt + range.ToDt, 0);
  EXPECT_TRUE(range.FromDtStr.empty() && range.ToDtStr.empty());
}

struct TDisplayCase {
  const char* name;
  const wchar_t* from;
  const wchar_t* to;
  const wchar_t* text;
};

class DateRangeDisplay : public ::testing::TestWithParam<TDisplayCase> {};

TEST_P(DateRangeDisplay, Text) {
  const TDisplayCase& c = GetParam();
  TDateRange range;
  range.Init(0, 0, c.from, c.to);
  EXPECT_EQ(range.DisplayString(L" - "), c.text);
}

INSTANTIATE_TEST_SUITE_P(DateTime, DateRangeDisplay,
                         ::testing::Values(TDisplayCase{"EqualTextsOnce", L"KW 7/2025", L"KW 7/2025", L"KW 7/2025"},
                                           TDisplayCase{"OnlyFrom", L"1.1.", L"", L"1.1."},
                                           TDisplayCase{"OnlyTo", L"", L"2.2.", L"2.2."},
                                           TDisplayCase{"BothEmpty", L"", L"", L""},
                                           TDisplayCase{"Joined", L"1.1.", L"2.2.", L"1.1. - 2.2."}),
                         TCaseName());

TEST(DateTimeRange, IsEmptyWhenNothingIsRestricted) {
  const double now = Now();
  struct {
    double from, to;
    bool empty;
  } cases[] = {{0, 0, true},
               {Date(1979, 12, 31), 0, true},
               {Date(1980, 1, 1), 0, false},
               {0, now + 1, true},
               {0, now - 1, false},
               {Date(2000, 1, 1), now + 1, false}};
  for (const auto& c : cases) {
    TDateRange range;
    range.Init(c.from, c.to, L"", L"");
    EXPECT_EQ(range.IsEmpty(), c.empty) << c.from << " .. " << c.to;
  }
}

}  // namespace
