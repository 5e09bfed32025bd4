#include "base/DateTime.h"

#include "base/Locale.h"
#include "base/Strings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

std::wstring DateParsePattern;

namespace {

using TDay = std::int64_t;  // whole days since 30 December 1899

constexpr TDay kDaysFrom1899To1970 = 25569;
constexpr TDay kMonday1900 = 2;  // 1 January 1900, where the period indexes start
constexpr std::int64_t kMSecsPerDay = 86400000;

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return a - FloorDiv(a, b) * b; }

// Inside, years are astronomical (year 0 is the year before year 1), so that arithmetic
// across the start of the era has no gap; the routines' Year arguments have no year 0.
constexpr std::int64_t ToAstro(std::int32_t year) {
  return year >= 1 ? year : (year == 0 ? 1 : std::int64_t(year) + 1);
}
constexpr std::int64_t FromAstro(std::int64_t year) { return year >= 1 ? year : year - 1; }

constexpr bool IsLeapAstro(std::int64_t year) {
  return FloorMod(year, 4) == 0 && (FloorMod(year, 100) != 0 || FloorMod(year, 400) == 0);
}

constexpr int MonthDays(int month, std::int64_t year) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapAstro(year) ? 29 : kDays[month - 1];
}

// Proleptic Gregorian day arithmetic in 400-year eras (146097 days each); month must be 1..12.
constexpr TDay DayNumber(std::int64_t year, int month, std::int64_t day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + kDaysFrom1899To1970;
}

struct TCivil {
  std::int64_t Year;  // astronomical
  int Month;
  int Day;
};

constexpr TCivil CivilOf(TDay dayNumber) {
  const std::int64_t z = dayNumber - kDaysFrom1899To1970 + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

static_assert(DayNumber(1, 1, 1) == -693593);
static_assert(DayNumber(10000, 1, 1) == 2958466);
static_assert(CivilOf(0).Year == 1899 && CivilOf(0).Month == 12 && CivilOf(0).Day == 30);

// The days of the 32-bit years: beyond them a value is no date.
constexpr TDay kMinDay = DayNumber(ToAstro(std::numeric_limits<std::int32_t>::min()), 1, 1);
constexpr TDay kMaxDay = DayNumber(std::numeric_limits<std::int32_t>::max(), 12, 31);

// trunc(X) as a day number; false for NaN, infinities and values beyond the 32-bit years.
bool DayOf(double X, TDay& day) {
  if (!(X > static_cast<double>(kMinDay) - 1 && X < static_cast<double>(kMaxDay) + 1)) return false;
  day = static_cast<TDay>(X);  // towards zero: the time of day counts forwards for negative values too
  return true;
}

// The day and the time of day in whole milliseconds. A time that rounds to 24:00 belongs to
// the next day, so no text ever shows a thousandth millisecond or a 60th second.
bool DayAndMSecOf(double X, TDay& day, int& msec) {
  msec = 0;
  if (!DayOf(X, day)) return false;
  std::int64_t ms = std::llround(std::fabs(X - std::trunc(X)) * static_cast<double>(kMSecsPerDay));
  if (ms >= kMSecsPerDay) {
    if (day < kMaxDay) {
      ++day;
      ms = 0;
    } else {
      ms = kMSecsPerDay - 1;
    }
  }
  msec = static_cast<int>(ms);
  return true;
}

constexpr int IsoDow(TDay day) { return static_cast<int>(FloorMod(day + 5, 7)) + 1; }  // day 0 was a Saturday

constexpr TDay MondayOfWeek1(std::int64_t astroYear) {
  const TDay jan4 = DayNumber(astroYear, 1, 4);
  return jan4 + 1 - IsoDow(jan4);
}

// Week-based year (astronomical) and week: the week belongs to the year of its Thursday.
struct TIsoWeek {
  std::int64_t Year;
  int Week;
  int DayOfWeek;
};

TIsoWeek IsoWeekOf(TDay day) {
  const int dow = IsoDow(day);
  const TDay thursday = day + 4 - dow;
  const std::int64_t year = CivilOf(thursday).Year;
  return {year, static_cast<int>((thursday - DayNumber(year, 1, 1)) / 7 + 1), dow};
}

// The routines' 32-bit year of an astronomical year; 0 (no year) beyond the range.
std::int32_t Year32(std::int64_t astroYear) {
  const std::int64_t year = FromAstro(astroYear);
  if (year < std::numeric_limits<std::int32_t>::min() || year > std::numeric_limits<std::int32_t>::max()) return 0;
  return static_cast<std::int32_t>(year);
}

int Saturate32(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max()));
}

// Format letters are ASCII in either case; the locale's case mapping would turn the "i" of a
// week-year token into "İ" under Turkish rules.
wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

std::wstring AsciiUpperText(std::wstring text) {
  for (wchar_t& c : text) c = AsciiUpper(c);
  return text;
}

bool StartsWithNoCase(std::wstring_view text, size_t pos, std::wstring_view prefix) {
  if (text.size() - pos < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (AsciiUpper(text[pos + i]) != prefix[i]) return false;
  return true;
}

// A year of at least four digits; years before the era keep their sign in front ("-0005"),
// where IntToStrZeroPad would put the zeros first.
std::wstring YearText(std::int64_t year) {
  return year < 0 ? L'-' + IntToStrZeroPad(-year, 4) : IntToStrZeroPad(year, 4);
}

// The locale's patterns come in the Windows notation; the formatter's differs in the AM/PM
// designator ("tt" would otherwise read as the long time pattern) and knows no eras.
std::wstring FromWindowsPattern(std::wstring_view pattern) {
  std::wstring result;
  for (size_t i = 0; i < pattern.size();) {
    const wchar_t c = pattern[i];
    if (c == L'\'') {
      const size_t close = pattern.find(L'\'', i + 1);
      const size_t end = close == std::wstring_view::npos ? pattern.size() : close + 1;
      result.append(pattern.substr(i, end - i));
      i = end;
    } else if (c == L't' || c == L'g') {
      while (i < pattern.size() && pattern[i] == c) ++i;
      if (c == L't') result += L"AMPM";
    } else {
      result += c;
      ++i;
    }
  }
  return result;
}

// The standard formatter: one object per call, the value decoded once.
class TDateTimeWriter {
public:
  explicit TDateTimeWriter(double value) : FLocale(LocaleSnapshot()) {
    TDay day;
    int msec;
    if (!DayAndMSecOf(value, day, msec)) return;  // no date: every field stays 0
    const TCivil civil = CivilOf(day);
    FYear = FromAstro(civil.Year);
    FMonth = civil.Month;
    FDay = civil.Day;
    FDayName = IsoDow(day) % 7;  // the locale's day names start with Sunday
    FHour = msec / 3600000;
    FMinute = msec / 60000 % 60;
    FSecond = msec / 1000 % 60;
    FMSec = msec % 1000;
  }

  // Nested patterns (ddddd, c, t ...) expand one level deep, so a pattern naming itself stops.
  void Append(std::wstring_view format, int level) {
    if (level >= 2) return;
    wchar_t lastToken = L' ';
    bool use12Hour = false;
    size_t i = 0;
    while (i < format.size()) {
      const wchar_t starter = format[i++];
      wchar_t token = AsciiUpper(starter);
      if (token >= L'A' && token <= L'Z') {
        if (token == L'M' && lastToken == L'H') token = L'N';  // m after h: minutes
        lastToken = token;
      }
      auto runLength = [&] {
        int count = 1;
        while (i < format.size() && format[i] == starter) {
          ++i;
          ++count;
        }
        return count;
      };
      switch (token) {
        case L'Y': {
          const int count = runLength();
          if (count <= 2)
            FOut += IntToStrZeroPad(std::llabs(FYear) % 100, 2);
          else
            FOut += YearText(FYear);
          break;
        }
        case L'M': {
          const int count = runLength();
          if (count <= 2)
            FOut += IntToStrZeroPad(FMonth, count);
          else if (FMonth > 0)
            FOut += (count == 3 ? FLocale.ShortMonthNames : FLocale.LongMonthNames)[FMonth - 1];
          break;
        }
        case L'D': {
          const int count = runLength();
          if (count <= 2)
            FOut += IntToStrZeroPad(FDay, count);
          else if (count <= 4)
            AppendDayName(count == 4);
          else
            Append(FromWindowsPattern(count == 5 ? FLocale.ShortDateFormat : FLocale.LongDateFormat), level + 1);
          break;
        }
        case L'H': {
          const int count = runLength();
          use12Hour = use12Hour || DesignatorFollows(format, i);
          int hour = FHour;
          if (use12Hour) {
            if (hour == 0)
              hour = 12;
            else if (hour > 12)
              hour -= 12;
          }
          FOut += IntToStrZeroPad(hour, std::min(count, 2));
          break;
        }
        case L'N':
          FOut += IntToStrZeroPad(FMinute, std::min(runLength(), 2));
          break;
        case L'S':
          FOut += IntToStrZeroPad(FSecond, std::min(runLength(), 2));
          break;
        case L'Z':
          FOut += IntToStrZeroPad(FMSec, std::min(runLength(), 3));
          break;
        case L'T':
          Append(FromWindowsPattern(runLength() == 1 ? FLocale.ShortTimeFormat : FLocale.LongTimeFormat),
                 level + 1);
          break;
        case L'C':
          runLength();
          Append(FromWindowsPattern(FLocale.ShortDateFormat), level + 1);
          if (FHour != 0 || FMinute != 0 || FSecond != 0 || FMSec != 0) {
            FOut += L' ';
            Append(FromWindowsPattern(FLocale.LongTimeFormat), level + 1);
          }
          break;
        case L'A':
          i = AppendDesignator(format, i - 1, starter, use12Hour);
          break;
        case L'/':
          if (FLocale.DateSeparator != 0) FOut += FLocale.DateSeparator;
          break;
        case L':':
          if (FLocale.TimeSeparator != 0) FOut += FLocale.TimeSeparator;
          break;
        case L'\'':
        case L'"': {
          const size_t close = format.find(starter, i);
          const size_t end = close == std::wstring_view::npos ? format.size() : close;
          FOut.append(format.substr(i, end - i));
          i = end == format.size() ? end : end + 1;
          break;
        }
        default:
          FOut += starter;
      }
    }
  }

  std::wstring Text() && { return std::move(FOut); }

private:
  void AppendDayName(bool longName) {
    if (FMonth > 0) FOut += (longName ? FLocale.LongDayNames : FLocale.ShortDayNames)[FDayName];
  }

  // Whether an AM/PM designator follows an hour before the next hour (outside quotes).
  static bool DesignatorFollows(std::wstring_view format, size_t pos) {
    bool quoted = false;
    for (; pos < format.size(); ++pos) {
      const wchar_t c = AsciiUpper(format[pos]);
      if (c == L'\'' || c == L'"')
        quoted = !quoted;
      else if (!quoted && c == L'A')
        return StartsWithNoCase(format, pos, L"AM/PM") || StartsWithNoCase(format, pos, L"A/P") ||
               StartsWithNoCase(format, pos, L"AMPM");
      else if (!quoted && c == L'H')
        return false;
    }
    return false;
  }

  // The letters at pos that start with "a": a designator, a day name or a plain letter.
  // Returns the position after what was read.
  size_t AppendDesignator(std::wstring_view format, size_t pos, wchar_t starter, bool& use12Hour) {
    const bool afternoon = FHour >= 12;
    if (StartsWithNoCase(format, pos, L"AM/PM")) {
      FOut.append(format.substr(afternoon ? pos + 3 : pos, 2));
      use12Hour = true;
      return pos + 5;
    }
    if (StartsWithNoCase(format, pos, L"A/P")) {
      FOut += format[afternoon ? pos + 2 : pos];
      use12Hour = true;
      return pos + 3;
    }
    if (StartsWithNoCase(format, pos, L"AMPM")) {
      FOut += afternoon ? FLocale.TimePMString : FLocale.TimeAMString;
      use12Hour = true;
      return pos + 4;
    }
    if (StartsWithNoCase(format, pos, L"AAAA")) {
      AppendDayName(true);
      return pos + 4;
    }
    if (StartsWithNoCase(format, pos, L"AAA")) {
      AppendDayName(false);
      return pos + 3;
    }
    FOut += starter;
    return pos + 1;
  }

  const TLocaleSnapshot& FLocale;
  std::int64_t FYear = 0;
  int FMonth = 0;
  int FDay = 0;
  int FDayName = 0;
  int FHour = 0;
  int FMinute = 0;
  int FSecond = 0;
  int FMSec = 0;
  std::wstring FOut;
};

// Text[pos, pos + count) cut to what exists.
std::wstring_view Slice(std::wstring_view text, size_t pos, size_t count) {
  return pos >= text.size() ? std::wstring_view() : text.substr(pos, count);
}

void EraseAt(std::wstring& text, size_t pos, size_t count) {
  if (pos < text.size()) text.erase(pos, count);
}

}  // namespace

// --- Unit start and stop ----------------------------------------------------------------------

void DateTimeStart() {
  std::wstring pattern = KeepChars(AsciiUpperText(LocaleSnapshot().ShortDateFormat), L"DMY.:-/'_+*");
  if (pattern.find(L"YYYY") == std::wstring::npos) {
    const size_t yy = pattern.find(L"YY");
    if (yy != std::wstring::npos) pattern.insert(yy, L"YY");
  }
  DateParsePattern = std::move(pattern);
}

void DateTimeStop() { DateParsePattern.clear(); }

// --- Calendar ---------------------------------------------------------------------------------

double EncodeDateExt(std::int32_t Year, int Month, int Day) {
  if (Year > 0 && Year < 10000) {
    if (Month < 1 || Month > 12 || Day < 1 || Day > MonthDays(Month, Year))
      throw EConvertError(L"Invalid argument to date encode");
    return static_cast<double>(DayNumber(Year, Month, Day));
  }
  // Outside the standard calendar months and days count on from 1 January, in exact days like
  // inside it: a mean-year formula would not decode back to the same date.
  const std::int64_t months = std::int64_t(Month) - 1;
  const std::int64_t year = ToAstro(Year) + FloorDiv(months, 12);
  const int month = static_cast<int>(FloorMod(months, 12)) + 1;
  return static_cast<double>(DayNumber(year, month, 1) + (std::int64_t(Day) - 1));
}

void DecodeDateInt(double D, std::int32_t& Year, std::int32_t& Month, std::int32_t& Day) {
  TDay day;
  if (!DayOf(D, day)) {
    Year = Month = Day = 0;
    return;
  }
  const TCivil civil = CivilOf(day);
  Year = Year32(civil.Year);
  Month = civil.Month;
  Day = civil.Day;
}

void DecodeDateExt(double D, std::int32_t& Year, std::uint16_t& Month, std::uint16_t& Day) {
  std::int32_t month, day;
  DecodeDateInt(D, Year, month, day);
  Month = static_cast<std::uint16_t>(month);
  Day = static_cast<std::uint16_t>(day);
}

int DayOfDate(double D) {
  std::int32_t year, month, day;
  DecodeDateInt(D, year, month, day);
  return day;
}

int MonthOfDate(double D) {
  std::int32_t year, month, day;
  DecodeDateInt(D, year, month, day);
  return month;
}

std::int32_t YearOfDate(double D) {
  std::int32_t year, month, day;
  DecodeDateInt(D, year, month, day);
  return year;
}

bool IsLeapYear(std::int32_t Year) { return IsLeapAstro(ToAstro(Year)); }

int DaysInMonthOf(int Month, std::int32_t Year) {
  return Month < 1 || Month > 12 ? 0 : MonthDays(Month, ToAstro(Year));
}

int DayOfYear(double X, std::int32_t& Year) {
  TDay day;
  if (!DayOf(X, day)) {
    Year = 0;
    return 0;
  }
  const std::int64_t year = CivilOf(day).Year;
  Year = Year32(year);
  return static_cast<int>(day - DayNumber(year, 1, 1) + 1);
}

int DayOfYear(double X) {
  std::int32_t year;
  return DayOfYear(X, year);
}

double DateOfYearDay(std::int32_t Year, int DayNo) { return EncodeDateExt(Year, 1, 1) + DayNo - 1; }

// --- ISO weeks --------------------------------------------------------------------------------

int IsoDayOfWeek(double X) {
  TDay day;
  return DayOf(X, day) ? IsoDow(day) : 0;
}

bool HasWeek53(std::int32_t Year) {
  const std::int64_t year = ToAstro(Year);
  const int jan1 = IsoDow(DayNumber(year, 1, 1));
  return jan1 == 4 || (jan1 == 3 && IsLeapAstro(year));
}

int WeeksInYear(std::int32_t Year) { return HasWeek53(Year) ? 53 : 52; }

int IsoWeekNumber(double X, std::int32_t& Year, int& DayOfWeek) {
  TDay day;
  if (DayOf(X, day)) {
    const TIsoWeek week = IsoWeekOf(day);
    Year = Year32(week.Year);
    DayOfWeek = week.DayOfWeek;
    if (Year != 0) return week.Week;
  }
  Year = 0;
  DayOfWeek = 0;
  return 0;
}

int WeekNumber(double X, std::int32_t& Year) {
  int dayOfWeek;
  return IsoWeekNumber(X, Year, dayOfWeek);
}

double DateOfIsoWeek(std::int32_t Year, int Week, int DayOfWeek) {
  return static_cast<double>(MondayOfWeek1(ToAstro(Year)) + (std::int64_t(Week) - 1) * 7 +
                             (std::int64_t(DayOfWeek) - 1));
}

// --- Periods ------------------------------------------------------------------------------------

double IncPeriod(int Count, TPeriodKind Kind, double X) {
  switch (Kind) {
    case pkDay:
      return X + Count;
    case pkWeek:
      return X + 7.0 * Count;
    case pkMonth:
    case pkQuarter:
    case pkYear: {
      TDay day;
      if (!DayOf(X, day)) return X;
      const TCivil civil = CivilOf(day);
      std::int64_t year = civil.Year;
      std::int64_t months = civil.Month - 1;
      if (Kind == pkYear) {
        year += Count;
      } else {
        months += Kind == pkQuarter ? 3 * std::int64_t(Count) : Count;
        year += FloorDiv(months, 12);
        months = FloorMod(months, 12);
      }
      const int month = static_cast<int>(months) + 1;
      return static_cast<double>(DayNumber(year, month, std::min(civil.Day, MonthDays(month, year))));
    }
  }
  return X;
}

int WeekIndex(int Week, std::int32_t Year) {
  const TDay monday = MondayOfWeek1(ToAstro(Year)) + (std::int64_t(Week) - 1) * 7;
  return Saturate32((monday - kMonday1900) / 7);
}

double DateOfWeekIndex(int Index) { return static_cast<double>(kMonday1900 + 7 * std::int64_t(Index)); }

void WeekOfWeekIndex(int Index, int& Week, std::int32_t& Year) { Week = WeekNumber(DateOfWeekIndex(Index), Year); }

int MonthIndex(int Month, std::int32_t Year) { return Saturate32(ToAstro(Year) * 12 + Month - 22801); }

double DateOfMonthIndex(int Index) { return IncPeriod(Index, pkMonth, static_cast<double>(kMonday1900)); }

void MonthOfMonthIndex(int Index, int& Month, std::int32_t& Year) {
  std::int32_t day;
  DecodeDateInt(DateOfMonthIndex(Index), Year, Month, day);
}

int QuarterIndex(int Quarter, std::int32_t Year) { return Saturate32(ToAstro(Year) * 4 + Quarter - 7601); }

double DateOfQuarterIndex(int Index) { return IncPeriod(Index, pkQuarter, static_cast<double>(kMonday1900)); }

void QuarterMonthOfQuarterIndex(int Index, int& Month, std::int32_t& Year) {
  std::int32_t day;
  DecodeDateInt(DateOfQuarterIndex(Index), Year, Month, day);
}

void QuarterOfQuarterIndex(int Index, int& Quarter, std::int32_t& Year) {
  int month;
  QuarterMonthOfQuarterIndex(Index, month, Year);
  Quarter = (month - 1) / 3 + 1;
}

// --- Time of day and the clock ---------------------------------------------------------------

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, double& Time) {
  if (Hour < 0 || Hour >= 24 || Min < 0 || Min >= 60 || Sec < 0 || Sec >= 60 || MSec < 0 || MSec >= 1000)
    return false;
  Time = static_cast<double>(((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec) / static_cast<double>(kMSecsPerDay);
  return true;
}

double EncodeTime(int Hour, int Min, int Sec, int MSec) {
  double time;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, time)) throw EConvertError(L"Invalid argument to time encode");
  return time;
}

void DecodeTime(double D, int& Hour, int& Min, int& Sec, int& MSec) {
  int msec = 0;
  if (std::isfinite(D))
    msec = static_cast<int>(std::llround(std::fabs(D - std::trunc(D)) * static_cast<double>(kMSecsPerDay)) %
                            kMSecsPerDay);
  Hour = msec / 3600000;
  Min = msec / 60000 % 60;
  Sec = msec / 1000 % 60;
  MSec = msec % 1000;
}

double ComposeDateTime(double Date, double Time) {
  const double time = std::fabs(Time - std::trunc(Time));
  return Date < 0 ? std::trunc(Date) - time : std::trunc(Date) + time;
}

double SystemTimeToDateTime(const SYSTEMTIME& St) {
  if (St.wMonth < 1 || St.wMonth > 12) return 0;
  const double date = static_cast<double>(DayNumber(St.wYear, St.wMonth, St.wDay));
  const double time =
      static_cast<double>(((St.wHour * 60 + St.wMinute) * 60 + St.wSecond) * 1000 + St.wMilliseconds) /
      static_cast<double>(kMSecsPerDay);
  return ComposeDateTime(date, time);
}

bool DateTimeToSystemTime(double D, SYSTEMTIME& St) {
  St = SYSTEMTIME{};
  TDay day;
  int msec;
  if (!DayAndMSecOf(D, day, msec)) return false;
  const TCivil civil = CivilOf(day);
  if (civil.Year < 1601 || civil.Year > 30827) return false;
  St.wYear = static_cast<WORD>(civil.Year);
  St.wMonth = static_cast<WORD>(civil.Month);
  St.wDay = static_cast<WORD>(civil.Day);
  St.wDayOfWeek = static_cast<WORD>(IsoDow(day) % 7);
  St.wHour = static_cast<WORD>(msec / 3600000);
  St.wMinute = static_cast<WORD>(msec / 60000 % 60);
  St.wSecond = static_cast<WORD>(msec / 1000 % 60);
  St.wMilliseconds = static_cast<WORD>(msec % 1000);
  return true;
}

double Now() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return SystemTimeToDateTime(st);
}

double CurrentDate() { return std::trunc(Now()); }

// --- Texts ------------------------------------------------------------------------------------

std::wstring FormatDateTime(std::wstring_view Format, double X) {
  TDateTimeWriter writer(X);
  writer.Append(Format, 0);
  return std::move(writer).Text();
}

std::wstring FormatDateTimeEx(std::wstring_view Format, double X) {
  // The week and the day of the year belong to the same day the standard formatter shows.
  TDay day = 0;
  int msec;
  const bool isDate = DayAndMSecOf(X, day, msec);
  bool haveWeek = false, haveDayOfYear = false;
  TIsoWeek week{};
  std::int64_t dayOfYear = 0;
  auto isoWeek = [&]() -> const TIsoWeek& {
    if (!haveWeek && isDate) week = IsoWeekOf(day);
    haveWeek = true;
    return week;
  };
  auto weekYear = [&] { return isoWeek().Week ? FromAstro(isoWeek().Year) : 0; };
  auto dayNo = [&] {
    if (!haveDayOfYear && isDate) dayOfYear = day - DayNumber(CivilOf(day).Year, 1, 1) + 1;
    haveDayOfYear = true;
    return dayOfYear;
  };

  std::wstring rewritten;
  rewritten.reserve(Format.size() + 16);
  for (size_t i = 0; i < Format.size();) {
    const wchar_t c = Format[i];
    if (c == L'"' || c == L'\'') {
      const size_t close = Format.find(c, i + 1);
      if (close == std::wstring_view::npos) {
        rewritten.append(Format.substr(i));
        break;
      }
      rewritten.append(Format.substr(i, close + 1 - i));
      i = close + 1;
      continue;
    }
    const wchar_t token = AsciiUpper(c);
    const size_t longest = token == L'E' ? 1 : token == L'F' ? 3 : token == L'I' ? 4 : token == L'W' ? 2 : 0;
    if (longest == 0) {
      rewritten += c;
      ++i;
      continue;
    }
    size_t run = 1;
    while (run < longest && i + run < Format.size() && AsciiUpper(Format[i + run]) == token) ++run;
    std::wstring value;
    switch (token) {
      case L'E':
        value = IntToStrZeroPad(isDate ? isoWeek().DayOfWeek : 0, 1);
        break;
      case L'F':
        value = IntToStrZeroPad(dayNo(), static_cast<int>(run));
        break;
      case L'I':
        value = run == 2 ? IntToStrZeroPad(std::llabs(weekYear()) % 100, 2) : IntToStrZeroPad(weekYear(), 1);
        break;
      default:  // W
        value = IntToStrZeroPad(isoWeek().Week, static_cast<int>(run));
    }
    rewritten += L'"';
    rewritten += value;
    rewritten += L'"';
    i += run;
  }
  return FormatDateTime(rewritten, X);
}

double ParseDateTimeFmt(std::wstring_view Format, std::wstring_view Text) {
  if (Text.empty() || Format.empty()) return 0;
  std::wstring format;
  format.reserve(Format.size());
  for (wchar_t c : Format)
    if (c != L'"') format += AsciiUpper(c);
  std::wstring text(Text);

  int msec = 0;
  if (const size_t p = format.find(L".ZZZZ"); p != std::wstring::npos) {
    msec = StrToIntDef(Slice(text, p + 1, 4), 0) / 10;
    format.erase(p, 5);
    EraseAt(text, p, 5);
  } else if (const size_t q = format.find(L".ZZZ"); q != std::wstring::npos) {
    msec = StrToIntDef(Slice(text, q + 1, 3), 0);
    format.erase(q, 4);
    EraseAt(text, q, 4);
  }
  if (text.size() < format.size()) return 0;

  // After the length check every field lies inside the text.
  auto field = [&](std::wstring_view letters) {
    const size_t p = format.find(letters);
    return p == std::wstring::npos ? 0 : StrToIntDef(std::wstring_view(text).substr(p, letters.size()), 0);
  };
  const int day = field(L"DD");
  const int month = field(L"MM");
  int year = field(L"YYYY");
  if (year == 0) {
    year = field(L"YY");
    year += year < 81 ? 2000 : 1900;
  }

  double date = 0;
  if (day != 0 && month != 0 && year != 0) {
    // The extended calendar takes any month and day: check them here for every year.
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonthOf(month, year)) return 0;
    date = EncodeDateExt(year, month, day);
  }
  double time;
  if (!TryEncodeTime(field(L"HH"), field(L"NN"), field(L"SS"), msec, time)) return 0;
  return ComposeDateTime(date, time);
}

// --- Date range ---------------------------------------------------------------------------------

void TDateRange::Init(double fromDt, double toDt, const std::wstring& fromDtStr, const std::wstring& toDtStr) {
  FromDt = fromDt;
  ToDt = toDt;
  FromDtStr = fromDtStr;
  ToDtStr = toDtStr;
}

void TDateRange::Clear() { Init(0, 0, {}, {}); }

std::wstring TDateRange::DisplayString(const std::wstring& Separator) const {
  if (FromDtStr == ToDtStr || ToDtStr.empty()) return FromDtStr;
  if (FromDtStr.empty()) return ToDtStr;
  return FromDtStr + Separator + ToDtStr;
}

bool TDateRange::IsEmpty() const {
  static const double kFirstDay1980 = static_cast<double>(DayNumber(1980, 1, 1));
  return FromDt < kFirstDay1980 && (ToDt == 0 || ToDt > Now());
}
