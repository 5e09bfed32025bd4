#pragma once
// The date unit: date-time values for any year, ISO 8601 weeks, period indexes for stepping
// through weeks, months and quarters, the date range record, the standard date-time formatter
// with the user's locale settings, its extension with week tokens, and a positional parser.
//
// A date-time value is a double counting days since 30 December 1899; the fraction is the time
// of day. For values before that day the fraction still counts forwards from midnight
// (-1.25 is 29 December 1899, 06:00). The standard calendar covers years 1 to 9999; outside it
// the extended calendar goes on with the same (proleptic Gregorian) rules for every 32-bit
// year. Those dates are counted in exact days rather than with a mean year and a mean month:
// the mean lengths drift from the real ones, so such a formula does not round-trip (1 February
// 10000 would come back as 31 January). Years before 1 are numbered -1, -2 ... (there is no
// year 0; a year 0 given to a routine counts as year 1). A value that is not finite or lies
// beyond the 32-bit years decodes as year 0, month 0, day 0: no date.
#include "base/Exception.h"
#include "base/Win.h"

#include <cstdint>
#include <string>
#include <string_view>

// The user's short date pattern upper-cased and reduced to "DMY.:-/'_+*", the year widened to
// "YYYY" (for example "DD.MM.YYYY"); a format for ParseDateTimeFmt. Set by DateTimeStart.
extern std::wstring DateParsePattern;

// Unit start and stop (the library's start-up list calls them after the string unit).
void DateTimeStart();
void DateTimeStop();

// --- Calendar ---------------------------------------------------------------------------------

// Within years 1..9999 an invalid month or day raises EConvertError; outside, month and day
// are counted on from 1 January of the year and nothing raises.
double EncodeDateExt(std::int32_t year, int month, int day);
void DecodeDateExt(double d, std::int32_t& year, std::uint16_t& month, std::uint16_t& day);
void DecodeDateInt(double d, std::int32_t& year, std::int32_t& month, std::int32_t& day);
int DayOfDate(double d);
int MonthOfDate(double d);
std::int32_t YearOfDate(double d);
bool IsLeapYear(std::int32_t year);
// Days of Month in Year; 0 for a month outside 1..12.
int DaysInMonthOf(int month, std::int32_t year);

// 1-based day within its year; 0 for no date.
int DayOfYear(double x);
int DayOfYear(double x, std::int32_t& year);
// 1 January of Year plus DayNo - 1 days.
double DateOfYearDay(std::int32_t year, int dayNo);

// --- ISO 8601 weeks (Monday first; week 1 holds the year's first Thursday) --------------------

// 1 = Monday .. 7 = Sunday; 0 for no date.
int IsoDayOfWeek(double x);
bool HasWeek53(std::int32_t year);
int WeeksInYear(std::int32_t year);
// Week number 1..53 with its week-based year and ISO day of week; 0 (and year 0) for no date.
int IsoWeekNumber(double x, std::int32_t& year, int& dayOfWeek);
int WeekNumber(double x, std::int32_t& year);
// Day DayOfWeek (1 = Monday) of week Week of the week-based year Year.
double DateOfIsoWeek(std::int32_t year, int week, int dayOfWeek);

// --- Periods ------------------------------------------------------------------------------------

enum TPeriodKind : std::uint8_t { pkDay, pkWeek, pkMonth, pkQuarter, pkYear };

// X moved by Count periods. Days and weeks keep the time of day; months, quarters and years
// drop it and lower the day to the length of the target month (31 January + 1 month is the
// last day of February). Any other kind returns X.
double IncPeriod(int count, TPeriodKind kind, double x);

// Continuous indexes: index 0 is the period holding 1 January 1900 and neighbouring periods
// have neighbouring indexes, so stepping is adding 1 or -1.
int WeekIndex(int week, std::int32_t year);
double DateOfWeekIndex(int index);  // a Monday
void WeekOfWeekIndex(int index, int& week, std::int32_t& year);
// Year * 12 + Month - 22801 from year 1 on. Before it the missing year 0 is skipped (December
// of year -1 and January of year 1 are neighbours) and a Year of 0 counts as year 1; results
// beyond the 32-bit range stop at its limits. QuarterIndex likewise with Year * 4 + Quarter - 7601.
int MonthIndex(int month, std::int32_t year);
double DateOfMonthIndex(int index);  // first day of the month
void MonthOfMonthIndex(int index, int& month, std::int32_t& year);
int QuarterIndex(int quarter, std::int32_t year);
double DateOfQuarterIndex(int index);  // first day of the quarter
void QuarterOfQuarterIndex(int index, int& quarter, std::int32_t& year);
void QuarterMonthOfQuarterIndex(int index, int& month, std::int32_t& year);

// --- Time of day and the clock ---------------------------------------------------------------

// Raises EConvertError unless Hour < 24, Min < 60, Sec < 60 and MSec < 1000.
double EncodeTime(int hour, int min, int sec, int mSec);
bool TryEncodeTime(int hour, int min, int sec, int mSec, double& time);
// Time of day of D rounded to the millisecond; a time that rounds to 24:00 reads as 00:00.
void DecodeTime(double d, int& hour, int& min, int& sec, int& mSec);
// Date plus time of day, also for dates before 30 December 1899.
double ComposeDateTime(double date, double time);
// The current local date and time.
double Now();
// The current local date, time of day removed.
double CurrentDate();
double SystemTimeToDateTime(const SYSTEMTIME& st);
// False (St cleared) for dates outside the system's years 1601..30827.
bool DateTimeToSystemTime(double d, SYSTEMTIME& st);

// --- Texts ------------------------------------------------------------------------------------

// The standard formatter, with the user's locale settings:
//   d dd ddd dddd       day, two digits, short and long day name
//   ddddd dddddd        the locale's short and long date pattern
//   m mm mmm mmmm       month, two digits, short and long month name (m after h: minutes)
//   yy yyyy             year, two and at least four digits
//   h hh n nn s ss      hour, minute, second (12-hour hours when am/pm follows)
//   z zzz               milliseconds, three digits
//   t tt                the locale's short and long time pattern
//   c                   short date, and the long time unless it is midnight
//   am/pm a/p ampm      12-hour designators (as written, or the locale's)
//   aaa aaaa            short and long day name
//   / :                 the locale's date and time separator
//   "..." '...'         literal text
// Every other character is copied.
std::wstring FormatDateTime(std::wstring_view format, double x);

// FormatDateTime with more letters (either case; runs are taken greedily from the left):
//   E ISO day of week; F FF FFF day of year (1, 2, 3 digits at least); I III IIII ISO week-based
//   year, II its last two digits; W WW ISO week number (WW two digits).
std::wstring FormatDateTimeEx(std::wstring_view format, double x);

// Reads Text positionally: every field is taken from the characters at the place its letters
// first occur in Format ("DD", "MM", "YYYY" or else "YY", "HH", "NN", "SS", ".ZZZ" or
// ".ZZZZ"), whatever the separators. A day, month or year of 0 leaves the date out. 0 for an
// empty text or format, a text shorter than the format, or a date or time that does not exist.
double ParseDateTimeFmt(std::wstring_view format, std::wstring_view text);

// --- Date range ---------------------------------------------------------------------------------

struct TDateRange {
  double FromDt = 0;  // start, 0 when open
  double ToDt = 0;    // end, 0 when open
  std::wstring FromDtStr;
  std::wstring ToDtStr;

  void Init(double fromDt, double toDt, const std::wstring& fromDtStr, const std::wstring& toDtStr);
  void Clear();
  // FromDtStr alone when both texts are equal, else the non-empty texts joined by Separator.
  std::wstring DisplayString(const std::wstring& separator) const;
  // True when the range restricts nothing: it starts before 1980 and is open-ended or ends
  // after the current moment.
  bool IsEmpty() const;
};
