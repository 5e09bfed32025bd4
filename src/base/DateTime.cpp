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
bool DayOf(double x, TDay& day) {
  if (!(x > static_cast<double>(kMinDay) - 1 && x < static_cast<double>(kMaxDay) + 1)) return false;
  day = static_cast<TDay>(x);  // towards zero: the time of day counts forwards for negative values too
  return true;
}

// The day and the time of day in whole milliseconds. A time that rounds to 24:00 belongs to
// the next day, so no text ever shows a thousandth millisecond or a 60th second.
bool DayAndMSecOf(double x, TDay& day, int& msec) {
  msec = 0;
  if (!DayOf(x, day)) return false;
  std::int64_t ms = std::llround(std::fabs(x - std::trunc(x)) * static_cast<double>(kMSecsPerDay));
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

double EncodeDateExt(std::int32_t year, int month, int day) {
  if (year > 0 && year < 10000) {
    if (month < 1 || month > 12 || day < 1 || day > MonthDays(month, year))
      throw EConvertError(L"Invalid argument to date encode");
    return static_cast<double>(DayNumber(year, month, day));
  }
  // Outside the standard calendar months and days count on from 1 January, in exact days like
  // inside it: a mean-astroYear formula would not decode back to the same date.
  const std::int64_t months = std::int64_t(month) - 1;
  const std::int64_t astroYear = ToAstro(year) + FloorDiv(months, 12);
  const int monthOfYear = static_cast<int>(FloorMod(months, 12)) + 1;
  return static_cast<double>(DayNumber(astroYear, monthOfYear, 1) + (std::int64_t(day) - 1));
}

void DecodeDateInt(double d, std::int32_t& year, std::int32_t& month, std::int32_t& day) {
  TDay dayNumber;
  if (!DayOf(d, dayNumber)) {
    year = month = day = 0;
    return;
  }
  const TCivil civil = CivilOf(dayNumber);
  year = Year32(civil.Year);
  month = civil.Month;
  day = civil.Day;
}

void DecodeDateExt(double d, std::int32_t& year, std::uint16_t& month, std::uint16_t& day) {
  std::int32_t month32, day32;
  DecodeDateInt(d, year, month32, day32);
  month = static_cast<std::uint16_t>(month32);
  day = static_cast<std::uint16_t>(day32);
}

int DayOfDate(double d) {
  std::int32_t year, month, day;
  DecodeDateInt(d, year, month, day);
  return day;
}

int MonthOfDate(double d) {
  std::int32_t year, month, day;
  DecodeDateInt(d, year, month, day);
  return month;
}

std::int32_t YearOfDate(double d) {
  std::int32_t year, month, day;
  DecodeDateInt(d, year, month, day);
  return year;
}

bool IsLeapYear(std::int32_t year) { return IsLeapAstro(ToAstro(year)); }

int DaysInMonthOf(int month, std::int32_t year) {
  return month < 1 || month > 12 ? 0 : MonthDays(month, ToAstro(year));
}

int DayOfYear(double x, std::int32_t& year) {
  TDay day;
  if (!DayOf(x, day)) {
    year = 0;
    return 0;
  }
  const std::int64_t fullYear = CivilOf(day).Year;
  year = Year32(fullYear);
  return static_cast<int>(day - DayNumber(fullYear, 1, 1) + 1);
}

int DayOfYear(double x) {
  std::int32_t year;
  return DayOfYear(x, year);
}

double DateOfYearDay(std::int32_t year, int dayNo) { return EncodeDateExt(year, 1, 1) + dayNo - 1; }

// --- ISO weeks --------------------------------------------------------------------------------

int IsoDayOfWeek(double x) {
  TDay day;
  return DayOf(x, day) ? IsoDow(day) : 0;
}

bool HasWeek53(std::int32_t year) {
  const std::int64_t astroYear = ToAstro(year);
  const int jan1 = IsoDow(DayNumber(astroYear, 1, 1));
  return jan1 == 4 || (jan1 == 3 && IsLeapAstro(astroYear));
}

int WeeksInYear(std::int32_t year) { return HasWeek53(year) ? 53 : 52; }

int IsoWeekNumber(double x, std::int32_t& year, int& dayOfWeek) {
  TDay day;
  if (DayOf(x, day)) {
    const TIsoWeek week = IsoWeekOf(day);
    year = Year32(week.Year);
    dayOfWeek = week.DayOfWeek;
    if (year != 0) return week.Week;
  }
  year = 0;
  dayOfWeek = 0;
  return 0;
}

int WeekNumber(double x, std::int32_t& year) {
  int dayOfWeek;
  return IsoWeekNumber(x, year, dayOfWeek);
}

double DateOfIsoWeek(std::int32_t year, int week, int dayOfWeek) {
  return static_cast<double>(MondayOfWeek1(ToAstro(year)) + (std::int64_t(week) - 1) * 7 +
                             (std::int64_t(dayOfWeek) - 1));
}

// --- Periods ------------------------------------------------------------------------------------

double IncPeriod(int count, TPeriodKind kind, double x) {
  switch (kind) {
    case pkDay:
      return x + count;
    case pkWeek:
      return x + 7.0 * count;
    case pkMonth:
    case pkQuarter:
    case pkYear: {
      TDay day;
      if (!DayOf(x, day)) return x;
      const TCivil civil = CivilOf(day);
      std::int64_t year = civil.Year;
      std::int64_t months = civil.Month - 1;
      if (kind == pkYear) {
        year += count;
      } else {
        months += kind == pkQuarter ? 3 * std::int64_t(count) : count;
        year += FloorDiv(months, 12);
        months = FloorMod(months, 12);
      }
      const int month = static_cast<int>(months) + 1;
      return static_cast<double>(DayNumber(year, month, std::min(civil.Day, MonthDays(month, year))));
    }
  }
  return x;
}

int WeekIndex(int week, std::int32_t year) {
  const TDay monday = MondayOfWeek1(ToAstro(year)) + (std::int64_t(week) - 1) * 7;
  return Saturate32((monday - kMonday1900) / 7);
}

double DateOfWeekIndex(int index) { return static_cast<double>(kMonday1900 + 7 * std::int64_t(index)); }

void WeekOfWeekIndex(int index, int& week, std::int32_t& year) { week = WeekNumber(DateOfWeekIndex(index), year); }

int MonthIndex(int month, std::int32_t year) { return Saturate32(ToAstro(year) * 12 + month - 22801); }

double DateOfMonthIndex(int index) { return IncPeriod(index, pkMonth, static_cast<double>(kMonday1900)); }

void MonthOfMonthIndex(int index, int& month, std::int32_t& year) {
  std::int32_t day;
  DecodeDateInt(DateOfMonthIndex(index), year, month, day);
}

int QuarterIndex(int quarter, std::int32_t year) { return Saturate32(ToAstro(year) * 4 + quarter - 7601); }

double DateOfQuarterIndex(int index) { return IncPeriod(index, pkQuarter, static_cast<double>(kMonday1900)); }

void QuarterMonthOfQuarterIndex(int index, int& month, std::int32_t& year) {
  std::int32_t day;
  DecodeDateInt(DateOfQuarterIndex(index), year, month, day);
}

void QuarterOfQuarterIndex(int index, int& quarter, std::int32_t& year) {
  int month;
  QuarterMonthOfQuarterIndex(index, month, year);
  quarter = (month - 1) / 3 + 1;
}

// --- Time of day and the clock ---------------------------------------------------------------

bool TryEncodeTime(int hour, int min, int sec, int mSec, double& time) {
  if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || mSec < 0 || mSec >= 1000)
    return false;
  time = static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000 + mSec) / static_cast<double>(kMSecsPerDay);
  return true;
}

double EncodeTime(int hour, int min, int sec, int mSec) {
  double time;
  if (!TryEncodeTime(hour, min, sec, mSec, time)) throw EConvertError(L"Invalid argument to time encode");
  return time;
}

void DecodeTime(double d, int& hour, int& min, int& sec, int& mSec) {
  int msec = 0;
  if (std::isfinite(d))
    msec = static_cast<int>(std::llround(std::fabs(d - std::trunc(d)) * static_cast<double>(kMSecsPerDay)) %
                            kMSecsPerDay);
  hour = msec / 3600000;
  min = msec / 60000 % 60;
  sec = msec / 1000 % 60;
  mSec = msec % 1000;
}

double ComposeDateTime(double date, double time) {
  const double timeOfDay = std::fabs(time - std::trunc(time));
  return date < 0 ? std::trunc(date) - timeOfDay : std::trunc(date) + timeOfDay;
}

double SystemTimeToDateTime(const SYSTEMTIME& st) {
  if (st.wMonth < 1 || st.wMonth > 12) return 0;
  const double date = static_cast<double>(DayNumber(st.wYear, st.wMonth, st.wDay));
  const double time =
      static_cast<double>(((st.wHour * 60 + st.wMinute) * 60 + st.wSecond) * 1000 + st.wMilliseconds) /
      static_cast<double>(kMSecsPerDay);
  return ComposeDateTime(date, time);
}

bool DateTimeToSystemTime(double d, SYSTEMTIME& st) {
  st = SYSTEMTIME{};
  TDay day;
  int msec;
  if (!DayAndMSecOf(d, day, msec)) return false;
  const TCivil civil = CivilOf(day);
  if (civil.Year < 1601 || civil.Year > 30827) return false;
  st.wYear = static_cast<WORD>(civil.Year);
  st.wMonth = static_cast<WORD>(civil.Month);
  st.wDay = static_cast<WORD>(civil.Day);
  st.wDayOfWeek = static_cast<WORD>(IsoDow(day) % 7);
  st.wHour = static_cast<WORD>(msec / 3600000);
  st.wMinute = static_cast<WORD>(msec / 60000 % 60);
  st.wSecond = static_cast<WORD>(msec / 1000 % 60);
  st.wMilliseconds = static_cast<WORD>(msec % 1000);
  return true;
}

double Now() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return SystemTimeToDateTime(st);
}

double CurrentDate() { return std::trunc(Now()); }

// --- Texts ------------------------------------------------------------------------------------

std::wstring FormatDateTime(std::wstring_view format, double x) {
  TDateTimeWriter writer(x);
  writer.Append(format, 0);
  return std::move(writer).Text();
}

std::wstring FormatDateTimeEx(std::wstring_view format, double x) {
  // The week and the day of the year belong to the same day the standard formatter shows.
  TDay day = 0;
  int msec;
  const bool isDate = DayAndMSecOf(x, day, msec);
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
  rewritten.reserve(format.size() + 16);
  for (size_t i = 0; i < format.size();) {
    const wchar_t c = format[i];
    if (c == L'"' || c == L'\'') {
      const size_t close = format.find(c, i + 1);
      if (close == std::wstring_view::npos) {
        rewritten.append(format.substr(i));
        break;
      }
      rewritten.append(format.substr(i, close + 1 - i));
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
    while (run < longest && i + run < format.size() && AsciiUpper(format[i + run]) == token) ++run;
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
  return FormatDateTime(rewritten, x);
}

double ParseDateTimeFmt(std::wstring_view format, std::wstring_view text) {
  if (text.empty() || format.empty()) return 0;
  std::wstring pattern;
  pattern.reserve(format.size());
  for (wchar_t c : format)
    if (c != L'"') pattern += AsciiUpper(c);
  std::wstring value(text);

  int msec = 0;
  if (const size_t p = pattern.find(L".ZZZZ"); p != std::wstring::npos) {
    msec = StrToIntDef(Slice(value, p + 1, 4), 0) / 10;
    pattern.erase(p, 5);
    EraseAt(value, p, 5);
  } else if (const size_t q = pattern.find(L".ZZZ"); q != std::wstring::npos) {
    msec = StrToIntDef(Slice(value, q + 1, 3), 0);
    pattern.erase(q, 4);
    EraseAt(value, q, 4);
  }
  if (value.size() < pattern.size()) return 0;

  // After the length check every field lies inside the value.
  auto field = [&](std::wstring_view letters) {
    const size_t p = pattern.find(letters);
    return p == std::wstring::npos ? 0 : StrToIntDef(std::wstring_view(value).substr(p, letters.size()), 0);
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

std::wstring TDateRange::DisplayString(const std::wstring& separator) const {
  if (FromDtStr == ToDtStr || ToDtStr.empty()) return FromDtStr;
  if (FromDtStr.empty()) return ToDtStr;
  return FromDtStr + separator + ToDtStr;
}

bool TDateRange::IsEmpty() const {
  static const double kFirstDay1980 = static_cast<double>(DayNumber(1980, 1, 1));
  return FromDt < kFirstDay1980 && (ToDt == 0 || ToDt > Now());
}
