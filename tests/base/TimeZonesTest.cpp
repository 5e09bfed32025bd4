// Time zones: switch times, conversions around both switches of a year in zones of both
// hemispheres and without daylight saving time, checked against the system's own conversion
// functions in the same run; every zone of the system's table; the registry reader.
#include "base/DateTime.h"
#include "base/Handle.h"
#include "base/Locale.h"
#include "base/TimeZones.h"
#include "base/Unicode.h"

#include "support/TempFolder.h"
#include "support/TestSupport.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

SYSTEMTIME Rule(int month, int dayOfWeek, int occurrence, int hour, int minute = 0, int second = 0, int msec = 0) {
  SYSTEMTIME s{};
  s.wMonth = static_cast<WORD>(month);
  s.wDayOfWeek = static_cast<WORD>(dayOfWeek);
  s.wDay = static_cast<WORD>(occurrence);
  s.wHour = static_cast<WORD>(hour);
  s.wMinute = static_cast<WORD>(minute);
  s.wSecond = static_cast<WORD>(second);
  s.wMilliseconds = static_cast<WORD>(msec);
  return s;
}

double At(int year, int month, int day, int hour, int minute, int second = 0, int msec = 0) {
  return ComposeDateTime(EncodeDateExt(year, month, day), EncodeTime(hour, minute, second, msec));
}

TTimeZoneInfo Zone(std::int32_t bias, std::int32_t daylightBias, const SYSTEMTIME& dstToStd,
                   const SYSTEMTIME& stdToDst) {
  TTimeZoneInfo zone;
  zone.KeyName = L"Test";
  zone.BiasTz = bias;
  zone.BiasDst = daylightBias;
  zone.DstToStd = dstToStd;
  zone.StdToDst = stdToDst;
  return zone;
}

// Central Europe: daylight time from the last Sunday of March 02:00 to the last Sunday of October 03:00.
TTimeZoneInfo CentralEurope() { return Zone(-60, -60, Rule(10, 0, 5, 3), Rule(3, 0, 5, 2)); }
// Sydney: daylight time from the first Sunday of October 02:00 to the first Sunday of April 03:00.
TTimeZoneInfo Sydney() { return Zone(-600, -60, Rule(4, 0, 1, 3), Rule(10, 0, 1, 2)); }
TTimeZoneInfo Tokyo() { return Zone(-540, 0, SYSTEMTIME{}, SYSTEMTIME{}); }

// A value to the millisecond, readable in failure messages.
std::string Text(double value) {
  if (!std::isfinite(value)) return std::to_string(value);
  SYSTEMTIME st;
  if (!DateTimeToSystemTime(value, st)) return std::to_string(value);
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u:%02u.%03u", st.wYear, st.wMonth, st.wDay, st.wHour,
                st.wMinute, st.wSecond, st.wMilliseconds);
  return buffer;
}

// The system's conversions with the same rules.
TIME_ZONE_INFORMATION SystemRecord(const TTimeZoneInfo& zone) {
  TIME_ZONE_INFORMATION info{};
  info.Bias = zone.BiasTz;
  info.StandardBias = zone.BiasStd;
  info.DaylightBias = zone.BiasDst;
  info.StandardDate = zone.DstToStd;
  info.DaylightDate = zone.StdToDst;
  return info;
}

double SystemUtcToLocal(const TTimeZoneInfo& zone, double utc) {
  TIME_ZONE_INFORMATION info = SystemRecord(zone);
  SYSTEMTIME u, l;
  if (!DateTimeToSystemTime(utc, u) || !::SystemTimeToTzSpecificLocalTime(&info, &u, &l))
    return std::numeric_limits<double>::quiet_NaN();
  return SystemTimeToDateTime(l);
}

double SystemLocalToUtc(const TTimeZoneInfo& zone, double local) {
  TIME_ZONE_INFORMATION info = SystemRecord(zone);
  SYSTEMTIME l, u;
  if (!DateTimeToSystemTime(local, l) || !::TzSpecificLocalTimeToSystemTime(&info, &l, &u))
    return std::numeric_limits<double>::quiet_NaN();
  return SystemTimeToDateTime(u);
}

constexpr double kMinute = 1.0 / 1440;
constexpr double kMSec = 1.0 / 86400000;

// ---------------------------------------------------------------------------------------------
// Offsets and switch times

struct TBiasCase {
  const char* name;
  std::int32_t bias;
  const wchar_t* text;
};

class BiasToOffset : public ::testing::TestWithParam<TBiasCase> {};

TEST_P(BiasToOffset, Text) { EXPECT_EQ(BiasToOffsetText(GetParam().bias), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(TimeZones, BiasToOffset,
                         ::testing::Values(TBiasCase{"Greenwich", 0, L"+0000"}, TBiasCase{"OneHourEast", -60, L"+0100"},
                                           TBiasCase{"FiveHoursWest", 300, L"-0500"},
                                           TBiasCase{"HalfHourEast", -330, L"+0530"},
                                           TBiasCase{"QuarterHoursEast", -45, L"+0045"},
                                           TBiasCase{"QuarterHoursWest", 45, L"-0045"},
                                           TBiasCase{"FourteenHoursEast", -840, L"+1400"}),
                         TCaseName());

struct TSwitchCase {
  const char* name;
  SYSTEMTIME rule;
  std::int32_t year;
  double expected;
};

class SwitchTimes : public ::testing::TestWithParam<TSwitchCase> {};

TEST_P(SwitchTimes, InYear) {
  const TSwitchCase& c = GetParam();
  EXPECT_EQ(Text(TTimeZoneInfo::SwitchTime(c.rule, c.year)), Text(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    TimeZones, SwitchTimes,
    ::testing::Values(
        TSwitchCase{"LastSundayOfMarchOnTheLastDay", Rule(3, 0, 5, 2), 2024, At(2024, 3, 31, 2, 0)},
        TSwitchCase{"LastSundayOfOctober", Rule(10, 0, 5, 3), 2024, At(2024, 10, 27, 3, 0)},
        TSwitchCase{"FirstSundayOfAMonthStartingOnSunday", Rule(9, 0, 1, 2), 2024, At(2024, 9, 1, 2, 0)},
        TSwitchCase{"SecondTuesdayOfAMonthStartingOnWednesday", Rule(5, 2, 2, 0), 2024, At(2024, 5, 14, 0, 0)},
        TSwitchCase{"FourthThursdayOfFebruary", Rule(2, 4, 4, 0), 2024, At(2024, 2, 22, 0, 0)},
        TSwitchCase{"LastSaturdayOfALeapFebruary", Rule(2, 6, 5, 1), 2024, At(2024, 2, 24, 1, 0)},
        TSwitchCase{"SecondsAndMillisecondsCount", Rule(12, 6, 5, 23, 59, 59, 999), 2024,
                    At(2024, 12, 28, 23, 59, 59, 999)},
        TSwitchCase{"NoMonthNoSwitch", Rule(0, 0, 5, 2), 2024, 0},
        TSwitchCase{"MonthThirteenNoSwitch", Rule(13, 0, 1, 2), 2024, 0},
        TSwitchCase{"OccurrenceSixNoSwitch", Rule(3, 0, 6, 2), 2024, 0},
        TSwitchCase{"WeekdaySevenNoSwitch", Rule(3, 7, 1, 2), 2024, 0},
        TSwitchCase{"Hour24NoSwitch", Rule(3, 0, 1, 24), 2024, 0}),
    TCaseName());

TEST(SwitchTimes, YearsOutsideTheStandardCalendar) {
  for (std::int32_t year : {-44, 1, 1600, 9999, 10000, 123456}) {
    const double s = TTimeZoneInfo::SwitchTime(Rule(3, 0, 5, 2), year);
    EXPECT_EQ(TTimeZoneInfo::Dow(s), 0) << year;
    EXPECT_EQ(YearOfDate(s), year);
    EXPECT_EQ(MonthOfDate(s), 3) << year;
    EXPECT_GE(DayOfDate(s), 25) << year;
  }
}

TEST(TimeZoneRecord, DowCountsFromSunday) {
  EXPECT_EQ(TTimeZoneInfo::Dow(At(2024, 9, 1, 12, 0)), 0);
  EXPECT_EQ(TTimeZoneInfo::Dow(At(2024, 9, 7, 23, 59)), 6);
  EXPECT_EQ(TTimeZoneInfo::Dow(EncodeDateExt(1899, 12, 30)), 6);
}

// ---------------------------------------------------------------------------------------------
// Conversions around the switches, against the system in the same run

struct TConversionCase {
  const char* name;
  TTimeZoneInfo (*zone)();
  double utc;
  double local;
};

class UtcToLocal : public ::testing::TestWithParam<TConversionCase> {};

TEST_P(UtcToLocal, ByTheZonesRules) {
  const TConversionCase& c = GetParam();
  const TTimeZoneInfo zone = c.zone();
  EXPECT_EQ(Text(zone.UtcToLocalTime(c.utc)), Text(c.local));
  EXPECT_EQ(Text(zone.UtcToLocalTime(c.utc)), Text(SystemUtcToLocal(zone, c.utc))) << "the system";
}

INSTANTIATE_TEST_SUITE_P(
    TimeZones, UtcToLocal,
    ::testing::Values(
        TConversionCase{"CetSummer", CentralEurope, At(2024, 7, 1, 10, 0), At(2024, 7, 1, 12, 0)},
        TConversionCase{"CetWinter", CentralEurope, At(2024, 1, 1, 11, 0), At(2024, 1, 1, 12, 0)},
        TConversionCase{"CetLastMomentBeforeSpring", CentralEurope, At(2024, 3, 31, 0, 59, 59, 999),
                        At(2024, 3, 31, 1, 59, 59, 999)},
        // The exact switch minute: 02:00 does not exist that day.
        TConversionCase{"CetSpringSwitch", CentralEurope, At(2024, 3, 31, 1, 0), At(2024, 3, 31, 3, 0)},
        TConversionCase{"CetAutumnFirstPass", CentralEurope, At(2024, 10, 27, 0, 30), At(2024, 10, 27, 2, 30)},
        TConversionCase{"CetLastMomentBeforeAutumn", CentralEurope, At(2024, 10, 27, 0, 59, 59, 999),
                        At(2024, 10, 27, 2, 59, 59, 999)},
        TConversionCase{"CetAutumnSwitch", CentralEurope, At(2024, 10, 27, 1, 0), At(2024, 10, 27, 2, 0)},
        TConversionCase{"CetAutumnSecondPass", CentralEurope, At(2024, 10, 27, 1, 30), At(2024, 10, 27, 2, 30)},
        TConversionCase{"SydneyJanuary", Sydney, At(2024, 1, 15, 1, 0), At(2024, 1, 15, 12, 0)},
        TConversionCase{"SydneyJuly", Sydney, At(2024, 7, 15, 2, 0), At(2024, 7, 15, 12, 0)},
        TConversionCase{"SydneyLastMomentBeforeAutumn", Sydney, At(2024, 4, 6, 15, 59, 59, 999),
                        At(2024, 4, 7, 2, 59, 59, 999)},
        TConversionCase{"SydneyAutumnSwitch", Sydney, At(2024, 4, 6, 16, 0), At(2024, 4, 7, 2, 0)},
        TConversionCase{"SydneyLastMomentBeforeSpring", Sydney, At(2024, 10, 5, 15, 59, 59, 999),
                        At(2024, 10, 6, 1, 59, 59, 999)},
        TConversionCase{"SydneySpringSwitch", Sydney, At(2024, 10, 5, 16, 0), At(2024, 10, 6, 3, 0)},
        TConversionCase{"SydneyNewYear", Sydney, At(2024, 12, 31, 13, 30), At(2025, 1, 1, 0, 30)},
        TConversionCase{"TokyoAnyTime", Tokyo, At(2024, 3, 31, 1, 0), At(2024, 3, 31, 10, 0)},
        TConversionCase{"TokyoNewYear", Tokyo, At(2024, 12, 31, 15, 0), At(2025, 1, 1, 0, 0)}),
    TCaseName());

class LocalToUtc : public ::testing::TestWithParam<TConversionCase> {};

TEST_P(LocalToUtc, ByTheZonesRules) {
  const TConversionCase& c = GetParam();
  const TTimeZoneInfo zone = c.zone();
  EXPECT_EQ(Text(zone.LocalTimeToUtc(c.local)), Text(c.utc));
  EXPECT_EQ(Text(zone.LocalTimeToUtc(c.local)), Text(SystemLocalToUtc(zone, c.local))) << "the system";
}

INSTANTIATE_TEST_SUITE_P(
    TimeZones, LocalToUtc,
    ::testing::Values(
        TConversionCase{"CetSummer", CentralEurope, At(2024, 7, 1, 10, 0), At(2024, 7, 1, 12, 0)},
        TConversionCase{"CetWinter", CentralEurope, At(2024, 1, 1, 11, 0), At(2024, 1, 1, 12, 0)},
        TConversionCase{"CetLastStandardMoment", CentralEurope, At(2024, 3, 31, 0, 59, 59, 999),
                        At(2024, 3, 31, 1, 59, 59, 999)},
        // The skipped hour is read as daylight time.
        TConversionCase{"CetSkippedHour", CentralEurope, At(2024, 3, 31, 0, 30), At(2024, 3, 31, 2, 30)},
        TConversionCase{"CetAfterTheSkippedHour", CentralEurope, At(2024, 3, 31, 1, 0), At(2024, 3, 31, 3, 0)},
        // The hour that occurs twice is read as its first pass, on daylight time.
        TConversionCase{"CetTwiceHour", CentralEurope, At(2024, 10, 27, 0, 30), At(2024, 10, 27, 2, 30)},
        TConversionCase{"CetAfterTheTwiceHour", CentralEurope, At(2024, 10, 27, 2, 0), At(2024, 10, 27, 3, 0)},
        TConversionCase{"SydneyJanuary", Sydney, At(2024, 1, 15, 1, 0), At(2024, 1, 15, 12, 0)},
        TConversionCase{"SydneyJuly", Sydney, At(2024, 7, 15, 2, 0), At(2024, 7, 15, 12, 0)},
        TConversionCase{"SydneyTwiceHour", Sydney, At(2024, 4, 6, 15, 30), At(2024, 4, 7, 2, 30)},
        TConversionCase{"SydneyAfterTheTwiceHour", Sydney, At(2024, 4, 6, 17, 0), At(2024, 4, 7, 3, 0)},
        TConversionCase{"SydneySkippedHour", Sydney, At(2024, 10, 5, 15, 30), At(2024, 10, 6, 2, 30)},
        TConversionCase{"SydneyLastStandardMoment", Sydney, At(2024, 10, 5, 15, 59, 59, 999),
                        At(2024, 10, 6, 1, 59, 59, 999)},
        TConversionCase{"TokyoAnyTime", Tokyo, At(2024, 3, 31, 1, 0), At(2024, 3, 31, 10, 0)}),
    TCaseName());

TEST(TimeZoneConversion, HemispheresAndOffsets) {
  const TTimeZoneInfo cet = CentralEurope(), sydney = Sydney(), tokyo = Tokyo();
  EXPECT_FALSE(cet.LocalTimeIsStd(At(2024, 7, 1, 12, 0)));
  EXPECT_TRUE(cet.LocalTimeIsStd(At(2024, 1, 1, 12, 0)));
  EXPECT_FALSE(sydney.LocalTimeIsStd(At(2024, 1, 15, 12, 0)));
  EXPECT_TRUE(sydney.LocalTimeIsStd(At(2024, 7, 15, 12, 0)));
  EXPECT_TRUE(tokyo.LocalTimeIsStd(At(2024, 7, 15, 12, 0)));
  EXPECT_EQ(cet.TzOffsetH(At(2024, 7, 1, 12, 0)), 2.0);
  EXPECT_EQ(cet.TzOffsetH(At(2024, 1, 1, 12, 0)), 1.0);
  EXPECT_EQ(Zone(-330, 0, {}, {}).TzOffsetH(At(2024, 7, 1, 12, 0)), 5.5);
  const TTimeZoneInfo newfoundland = Zone(210, -60, Rule(11, 0, 1, 2), Rule(3, 0, 2, 2));
  EXPECT_EQ(newfoundland.TzOffsetH(At(2024, 1, 1, 12, 0)), -3.5);
  EXPECT_EQ(newfoundland.TzOffsetH(At(2024, 7, 1, 12, 0)), -2.5);
  EXPECT_EQ(cet.UtcTimeBias(At(2024, 7, 1, 12, 0)), -120);
  EXPECT_EQ(tokyo.UtcTimeBias(At(2024, 7, 1, 12, 0)), -540);
}

// Faults of comparing in days, of the year taken from the value and of telling the hemispheres
// apart by month: each case below went wrong that way.
struct TRuleCase {
  const char* name;
  TTimeZoneInfo zone;
  double utc;
  double local;
};

class RulesAtTheEdges : public ::testing::TestWithParam<TRuleCase> {};

TEST_P(RulesAtTheEdges, UtcToLocal) {
  EXPECT_EQ(Text(GetParam().zone.UtcToLocalTime(GetParam().utc)), Text(GetParam().local));
}

// Daylight time within March only: both rules in one month.
const TTimeZoneInfo kMarchOnly = Zone(0, -60, Rule(3, 0, 5, 3), Rule(3, 0, 1, 2));
// Daylight time from October until 1 January 2025 (the first Wednesday), ten hours east.
const TTimeZoneInfo kUntilNewYear = Zone(-600, -60, Rule(1, 3, 1, 0), Rule(10, 0, 1, 2));
// Switches a millisecond before midnight, at Greenwich.
const TTimeZoneInfo kLastMillisecond = Zone(0, -60, Rule(10, 6, 5, 23, 59, 59, 999), Rule(3, 6, 5, 23, 59, 59, 999));

INSTANTIATE_TEST_SUITE_P(
    TimeZones, RulesAtTheEdges,
    ::testing::Values(
        TRuleCase{"OneMonthBefore", kMarchOnly, At(2024, 2, 15, 12, 0), At(2024, 2, 15, 12, 0)},
        TRuleCase{"OneMonthInside", kMarchOnly, At(2024, 3, 15, 12, 0), At(2024, 3, 15, 13, 0)},
        TRuleCase{"OneMonthAfter", kMarchOnly, At(2024, 7, 1, 12, 0), At(2024, 7, 1, 12, 0)},
        TRuleCase{"NewYearSwitchBefore", kUntilNewYear, At(2024, 12, 31, 12, 59, 59, 999),
                  At(2024, 12, 31, 23, 59, 59, 999)},
        TRuleCase{"NewYearSwitchAt", kUntilNewYear, At(2024, 12, 31, 13, 0), At(2024, 12, 31, 23, 0)},
        TRuleCase{"NewYearSwitchAfter", kUntilNewYear, At(2024, 12, 31, 13, 30), At(2024, 12, 31, 23, 30)},
        TRuleCase{"NewYearNextDay", kUntilNewYear, At(2025, 1, 1, 12, 0), At(2025, 1, 1, 22, 0)},
        TRuleCase{"LastMillisecondStillStandard", kLastMillisecond, At(2024, 3, 30, 23, 59, 59, 998),
                  At(2024, 3, 30, 23, 59, 59, 998)},
        TRuleCase{"LastMillisecondHalfAMinuteBefore", kLastMillisecond, At(2024, 3, 30, 23, 59, 30),
                  At(2024, 3, 30, 23, 59, 30)},
        TRuleCase{"LastMillisecondSwitch", kLastMillisecond, At(2024, 3, 30, 23, 59, 59, 999),
                  At(2024, 3, 31, 0, 59, 59, 999)}),
    TCaseName());

TEST(TimeZoneConversion, LocalTimesAtTheEdges) {
  EXPECT_FALSE(kMarchOnly.LocalTimeIsStd(At(2024, 3, 15, 12, 0)));
  EXPECT_TRUE(kMarchOnly.LocalTimeIsStd(At(2024, 4, 15, 12, 0)));
  // 23:30 on New Year's Eve occurs twice: its first pass, on daylight time.
  EXPECT_FALSE(kUntilNewYear.LocalTimeIsStd(At(2024, 12, 31, 23, 30)));
  EXPECT_TRUE(kUntilNewYear.LocalTimeIsStd(At(2025, 1, 1, 0, 30)));
  EXPECT_EQ(Text(kUntilNewYear.LocalTimeToUtc(At(2025, 1, 1, 0, 30))), Text(At(2024, 12, 31, 14, 30)));
  EXPECT_TRUE(kLastMillisecond.LocalTimeIsStd(At(2024, 3, 30, 23, 59, 30)));
  EXPECT_FALSE(kLastMillisecond.LocalTimeIsStd(At(2024, 3, 30, 23, 59, 59, 999)));
}

TEST(TimeZoneConversion, ValuesOutsideTheSystemsYearsFollowTheRules) {
  const TTimeZoneInfo cet = CentralEurope();
  EXPECT_EQ(Text(cet.LocalTimeToUtc(At(1800, 7, 1, 12, 0))), Text(At(1800, 7, 1, 10, 0)));
  EXPECT_EQ(Text(cet.UtcToLocalTime(At(1800, 1, 1, 11, 0))), Text(At(1800, 1, 1, 12, 0)));
  // Before 1601 and after 30827 the system's records end; the rules go on.
  for (std::int32_t year : {-44, 1, 1500, 9999, 10000, 40000}) {
    EXPECT_EQ(cet.UtcToLocalTime(At(year, 7, 1, 12, 0)), At(year, 7, 1, 14, 0)) << year;
    EXPECT_EQ(cet.UtcTimeBias(At(year, 1, 1, 12, 0)), -60) << year;
  }
}

TEST(TimeZoneConversion, NoDateStaysNoDate) {
  const TTimeZoneInfo cet = CentralEurope();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(std::isnan(cet.UtcToLocalTime(nan)));
  EXPECT_TRUE(std::isnan(cet.LocalTimeToUtc(nan)));
  EXPECT_EQ(cet.UtcToLocalTime(inf), inf);
  EXPECT_TRUE(cet.LocalTimeIsStd(nan));
  // Far beyond any calendar: standard time, no overflow.
  EXPECT_EQ(cet.UtcTimeBias(1e15), -60);
  EXPECT_EQ(cet.LocalTimeToUtc(-1e15), -1e15 + -60 / 1440.0);
}

TEST(TimeZoneConversion, ImpossibleRulesKeepStandardTime) {
  const TTimeZoneInfo broken = Zone(-60, -60, Rule(13, 9, 7, 25, 61), Rule(3, 0, 5, 2));
  EXPECT_FALSE(broken.HasDst());
  EXPECT_EQ(Text(broken.UtcToLocalTime(At(2024, 7, 1, 10, 0))), Text(At(2024, 7, 1, 11, 0)));
  EXPECT_EQ(Text(broken.LocalTimeToUtc(At(2024, 7, 1, 11, 0))), Text(At(2024, 7, 1, 10, 0)));
  EXPECT_EQ(broken.DumpDstSystemTime(broken.DstToStd), L"--");
  EXPECT_EQ(broken.OffsetDisplayStr(), L"UTC+0100");
}

// ---------------------------------------------------------------------------------------------
// Zones of the system's table against the system's conversion functions

// Compares both directions at Local instants near each switch of the years and at every
// StepHours hours through them; returns the mismatches found (described).
std::vector<std::string> CompareWithSystem(const TTimeZoneInfo& zone, std::int32_t firstYear, std::int32_t lastYear,
                                           int stepHours) {
  std::vector<double> utcs;
  for (std::int32_t year = firstYear; year <= lastYear; ++year) {
    for (double t = EncodeDateExt(year, 1, 1); t < EncodeDateExt(year + 1, 1, 1); t += stepHours / 24.0)
      utcs.push_back(t);
    if (!zone.HasDst()) continue;
    const double toDst = TTimeZoneInfo::SwitchTime(zone.StdToDst, year) + (zone.BiasTz + zone.BiasStd) * kMinute;
    const double toStd = TTimeZoneInfo::SwitchTime(zone.DstToStd, year) + (zone.BiasTz + zone.BiasDst) * kMinute;
    for (double s : {toDst, toStd}) {
      for (int m = -180; m <= 180; m += 15) utcs.push_back(s + m * kMinute);
      utcs.push_back(s - kMSec);
    }
  }
  std::vector<std::string> mismatches;
  for (double u : utcs) {
    const double mine = zone.UtcToLocalTime(u), system = SystemUtcToLocal(zone, u);
    if (Text(mine) != Text(system))
      mismatches.push_back("UTC " + Text(u) + ": " + Text(mine) + " instead of " + Text(system));
    const double local = mine;
    const double back = zone.LocalTimeToUtc(local), systemBack = SystemLocalToUtc(zone, local);
    if (Text(back) != Text(systemBack))
      mismatches.push_back("local " + Text(local) + ": " + Text(back) + " instead of " + Text(systemBack));
  }
  return mismatches;
}

struct TTableZoneCase {
  const char* name;
  const wchar_t* key;
  bool hasDst;
};

class TableZone : public ::testing::TestWithParam<TTableZoneCase> {};

TEST_P(TableZone, ConvertsAsTheSystemDoes) {
  TTimeZoneInfo zone;
  LoadTimeZoneFromRegistry(GetParam().key, zone);
  ASSERT_FALSE(zone.IsEmpty()) << "no zone " << GetParam().name << " in the system's table";
  EXPECT_EQ(zone.HasDst(), GetParam().hasDst);
  EXPECT_FALSE(zone.DisplayName.empty());
  EXPECT_FALSE(zone.NameStd.empty());
  std::vector<std::string> mismatches = CompareWithSystem(zone, 2023, 2026, 1);
  EXPECT_TRUE(mismatches.empty()) << mismatches.size() << " mismatches, the first: " << mismatches.front();
}

INSTANTIATE_TEST_SUITE_P(TimeZones, TableZone,
                         ::testing::Values(TTableZoneCase{"WesternEurope", L"W. Europe Standard Time", true},
                                           TTableZoneCase{"EasternAustralia", L"AUS Eastern Standard Time", true},
                                           TTableZoneCase{"Japan", L"Tokyo Standard Time", false}),
                         TCaseName());

TEST(TimeZoneTable, EveryZoneConvertsAsTheSystemDoes) {
  std::vector<std::wstring> keys = TimeZoneKeyNames();
  ASSERT_GT(keys.size(), 50u);
  int withDst = 0;
  for (const std::wstring& key : keys) {
    TTimeZoneInfo zone;
    LoadTimeZoneFromRegistry(key, zone);
    ASSERT_EQ(zone.KeyName, key);
    withDst += zone.HasDst() ? 1 : 0;
    std::vector<std::string> mismatches = CompareWithSystem(zone, 2024, 2025, 7);
    EXPECT_TRUE(mismatches.empty()) << TextToUtf8(key) << ": " << mismatches.size()
                                    << " mismatches, the first: " << mismatches.front();
  }
  EXPECT_GT(withDst, 10);
}

TEST(TimeZoneTable, LocalZoneLoadedAtStart) {
  DYNAMIC_TIME_ZONE_INFORMATION info{};
  ASSERT_NE(::GetDynamicTimeZoneInformation(&info), TIME_ZONE_ID_INVALID);
  EXPECT_EQ(LocalTimeZone.KeyName, std::wstring(info.TimeZoneKeyName));
  EXPECT_EQ(LocalTimeZone.NameStd, std::wstring(info.StandardName));
  EXPECT_EQ(LocalTimeZone.BiasTz, info.Bias);
  TTimeZoneInfo fromTable;
  LoadTimeZoneFromRegistry(LocalTimeZone.KeyName, fromTable);
  EXPECT_EQ(LocalTimeZone.DisplayName, fromTable.DisplayName);
  TTimeZoneInfo loaded;
  loaded.LoadLocalTimeZone();
  EXPECT_TRUE(loaded.DisplayName.empty());
  EXPECT_EQ(loaded.KeyName, LocalTimeZone.KeyName);
}

// ---------------------------------------------------------------------------------------------
// The registry reader, on a copy of the table's layout below a throwaway key

class TimeZoneReader : public ::testing::Test {
protected:
  void SetUp() override {
    FPath = L"Software\\TavrinoTest\\" + UniqueTestName(L"TimeZones");
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, FPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, FTable.Put(),
                                nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    FTable.Reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, FPath.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, FPath.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TavrinoTest");  // only when empty
  }

  // A zone key with a "TZI" value of the given bytes (none for a null pointer) and the names.
  void AddZone(const wchar_t* name, const std::string* tzi, DWORD type = REG_BINARY, bool names = true) {
    TRegKey zone;
    ASSERT_EQ(::RegCreateKeyExW(FTable.Get(), name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, zone.Put(), nullptr),
              ERROR_SUCCESS);
    if (tzi)
      ::RegSetValueExW(zone.Get(), L"TZI", 0, type, reinterpret_cast<const BYTE*>(tzi->data()),
                       static_cast<DWORD>(tzi->size()));
    if (names) {
      SetString(zone.Get(), L"Display", L"(UTC+01:00) Test City");
      SetString(zone.Get(), L"Std", L"Test Standard Time");
      SetString(zone.Get(), L"Dlt", L"Test Daylight Time");
    }
  }

  static void SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }

  static std::string CetTzi() {
    REG_TZI_FORMAT tzi{};
    tzi.Bias = -60;
    tzi.DaylightBias = -60;
    tzi.StandardDate = Rule(10, 0, 5, 3);
    tzi.DaylightDate = Rule(3, 0, 5, 2);
    std::string bytes(sizeof tzi, '\0');
    std::memcpy(bytes.data(), &tzi, sizeof tzi);
    return bytes;
  }

  TTimeZoneInfo Load(const std::wstring& name) {
    TTimeZoneInfo info;
    info.KeyName = L"left over";
    LoadTimeZoneFromTable(FTable.Get(), name, info);
    return info;
  }

  std::wstring FPath;
  TRegKey FTable;
};

TEST_F(TimeZoneReader, WholeEntry) {
  const std::string tzi = CetTzi();
  AddZone(L"Test Zone", &tzi);
  const TTimeZoneInfo zone = Load(L"\\Test Zone/");
  EXPECT_EQ(zone.KeyName, L"Test Zone");
  EXPECT_EQ(zone.DisplayName, L"(UTC+01:00) Test City");
  EXPECT_EQ(zone.NameStd, L"Test Standard Time");
  EXPECT_EQ(zone.NameDst, L"Test Daylight Time");
  EXPECT_EQ(zone.BiasTz, -60);
  EXPECT_EQ(zone.BiasDst, -60);
  EXPECT_EQ(Text(TTimeZoneInfo::SwitchTime(zone.StdToDst, 2024)), Text(At(2024, 3, 31, 2, 0)));
  EXPECT_EQ(Text(TTimeZoneInfo::SwitchTime(zone.DstToStd, 2024)), Text(At(2024, 10, 27, 3, 0)));
}

struct TTziCase {
  const char* name;
  std::string tzi;  // "-" for no value
  DWORD type;
  bool loads;
};

class TimeZoneReaderTzi : public TimeZoneReader, public ::testing::WithParamInterface<TTziCase> {};

TEST_P(TimeZoneReaderTzi, LoadsOnlyWholeRecords) {
  const TTziCase& c = GetParam();
  std::string tzi = c.tzi == "cet" ? CetTzi() : c.tzi == "cet+" ? CetTzi() + "more" : c.tzi;
  AddZone(L"Zone", c.tzi == "-" ? nullptr : &tzi, c.type);
  const TTimeZoneInfo zone = Load(L"Zone");
  EXPECT_EQ(zone.IsEmpty(), !c.loads);
  if (c.loads) {
    EXPECT_EQ(zone.BiasTz, -60);
  } else {
    EXPECT_EQ(zone.Dump(), TTimeZoneInfo().Dump());  // every field cleared
  }
}

INSTANTIATE_TEST_SUITE_P(TimeZones, TimeZoneReaderTzi,
                         ::testing::Values(TTziCase{"Whole", "cet", REG_BINARY, true},
                                           TTziCase{"LongerKeepsTheFirst44Bytes", "cet+", REG_BINARY, true},
                                           TTziCase{"Truncated", std::string(43, '\x01'), REG_BINARY, false},
                                           TTziCase{"Empty", "", REG_BINARY, false},
                                           TTziCase{"Missing", "-", REG_BINARY, false},
                                           TTziCase{"NotBinary", "cet", REG_SZ, false}),
                         TCaseName());

TEST_F(TimeZoneReader, NamesMayBeMissing) {
  const std::string tzi = CetTzi();
  AddZone(L"Bare", &tzi, REG_BINARY, false);
  const TTimeZoneInfo zone = Load(L"Bare");
  EXPECT_EQ(zone.KeyName, L"Bare");
  EXPECT_EQ(zone.DisplayName, L"");
  EXPECT_EQ(zone.NameStd, L"");
  EXPECT_EQ(zone.Explanation(), L" (UTC+0100 | UTC+0200)");
}

TEST_F(TimeZoneReader, MissingZonesGiveEmptyRecords) {
  EXPECT_TRUE(Load(L"No Such Zone").IsEmpty());
  EXPECT_TRUE(Load(L"").IsEmpty());
  EXPECT_TRUE(Load(L"/\\").IsEmpty());
  TTimeZoneInfo info;
  LoadTimeZoneFromRegistry(L"No Such Zone", info);
  EXPECT_TRUE(info.IsEmpty());
  LoadTimeZoneFromTable(nullptr, L"Zone", info);
  EXPECT_TRUE(info.IsEmpty());
}

// ---------------------------------------------------------------------------------------------
// Texts

std::wstring Named(const wchar_t* en, const wchar_t* de) {
  wchar_t buffer[16] = {};
  ::GetEnvironmentVariableW(L"TAVRINO_TEST_LOCALE", buffer, 16);
  return std::wstring(buffer) == L"de" ? de : en;
}

TEST(TimeZoneTexts, OffsetsAndExplanation) {
  TTimeZoneInfo cet = CentralEurope();
  EXPECT_EQ(cet.OffsetDisplayStr(), L"UTC+0100 | UTC+0200");
  EXPECT_EQ(Tokyo().OffsetDisplayStr(), L"UTC+0900");
  cet.DisplayName = L"(UTC+01:00) Amsterdam, Berlin";
  EXPECT_EQ(cet.Explanation(), L"Amsterdam, Berlin (UTC+0100 | UTC+0200)");
  TTimeZoneInfo tokyo = Tokyo();
  tokyo.DisplayName = L"  Osaka, Sapporo  ";
  EXPECT_EQ(tokyo.Explanation(), L"Osaka, Sapporo (UTC+0900)");
  tokyo.DisplayName = L"(UTC) Coordinated Universal Time";
  EXPECT_EQ(tokyo.Explanation(), L"Coordinated Universal Time (UTC+0900)");
  // A bracket further on is part of the name.
  tokyo.DisplayName = L"Japan Standard (Tokyo)";
  EXPECT_EQ(tokyo.Explanation(), L"Japan Standard (Tokyo) (UTC+0900)");
}

TEST(TimeZoneTexts, RulesInWords) {
  const TTimeZoneInfo cet = CentralEurope();
  const TLocaleSnapshot& locale = LocaleSnapshot();
  EXPECT_EQ(cet.DumpDstSystemTime(cet.DstToStd),
            L"letzter " + locale.LongDayNames[0] + L" im " + locale.LongMonthNames[9] + L" 03:00");
  EXPECT_EQ(cet.DumpDstSystemTime(cet.DstToStd),
            Named(L"letzter Sunday im October 03:00", L"letzter Sonntag im Oktober 03:00"));
  EXPECT_EQ(cet.DumpDstSystemTime(Rule(4, 0, 1, 3, 5)),
            Named(L"1. Sunday im April 03:05", L"1. Sonntag im April 03:05"));
  SYSTEMTIME withYear = cet.DstToStd;
  withYear.wYear = 2024;
  EXPECT_EQ(cet.DumpDstSystemTime(withYear), Named(L"letzter Sunday im October 2024 03:00",
                                                   L"letzter Sonntag im Oktober 2024 03:00"));
  EXPECT_EQ(Tokyo().DumpDstSystemTime(Rule(4, 0, 1, 3)), L"--");
}

TEST(TimeZoneTexts, Dump) {
  TTimeZoneInfo cet = CentralEurope();
  cet.KeyName = L"W. Europe Standard Time";
  cet.DisplayName = L"(UTC+01:00) Berlin";
  cet.NameStd = L"Std";
  cet.NameDst = L"Dst";
  EXPECT_EQ(cet.Dump(), L"W. Europe Standard Time | (UTC+01:00) Berlin | Std | Dst | CurBias +0100  StdBias +0100"
                        L"  DstBias +0200 | Dst->Std " +
                            cet.DumpDstSystemTime(cet.DstToStd) + L" | Std->Dst " +
                            cet.DumpDstSystemTime(cet.StdToDst));
  cet.BiasStd = -10;
  EXPECT_NE(cet.Dump().find(L"StdBias +0110\u25A0\u25A0\u25A0\u25A0  DstBias"), std::wstring::npos);
  TTimeZoneInfo empty;
  EXPECT_EQ(empty.Dump(), L" |  |  |  | CurBias +0000  StdBias +0000  DstBias +0000 | Dst->Std -- | Std->Dst --");
}

TEST(TimeZoneRecord, ClearEmptiesEveryField) {
  TTimeZoneInfo zone = CentralEurope();
  zone.DisplayName = L"x";
  zone.Clear();
  EXPECT_TRUE(zone.IsEmpty());
  EXPECT_FALSE(zone.HasDst());
  EXPECT_EQ(zone.Dump(), TTimeZoneInfo().Dump());
  EXPECT_EQ(zone.DstToStd.wMonth, 0);
}

}  // namespace
