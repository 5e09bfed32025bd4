#include "base/TimeZones.h"

#include "base/DateTime.h"
#include "base/Handle.h"
#include "base/Locale.h"
#include "base/Strings.h"

#include <cmath>
#include <cstring>
#include <cwchar>
#include <limits>

TTimeZoneInfo LocalTimeZone;
const wchar_t* const TimeZonesKeyPath = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";

namespace {

constexpr std::int64_t kMSecsPerDay = 86400000;
constexpr std::int64_t kMSecsPerMinute = 60000;
// Beyond this many days from 1899 milliseconds no longer fit 64 bits; such values (and NaN)
// keep standard time and are converted in plain floating point.
constexpr double kMaxDays = 1e11;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// A date-time value as milliseconds on a straight line. Comparing switches in floating-point
// days misplaces instants that lie exactly on them; whole milliseconds do not.
bool ToMSec(double x, std::int64_t& mSec) {
  if (!(std::fabs(x) < kMaxDays)) return false;
  const double day = std::trunc(x);  // the fraction counts forwards from midnight, also before 1899
  mSec = static_cast<std::int64_t>(day) * kMSecsPerDay +
         std::llround(std::fabs(x - day) * static_cast<double>(kMSecsPerDay));
  return true;
}

double FromMSec(std::int64_t mSec) {
  const std::int64_t day = FloorDiv(mSec, kMSecsPerDay);
  return ComposeDateTime(static_cast<double>(day),
                         static_cast<double>(mSec - day * kMSecsPerDay) / static_cast<double>(kMSecsPerDay));
}

bool IsSwitchRule(const SYSTEMTIME& s) {
  return s.wMonth >= 1 && s.wMonth <= 12 && s.wDayOfWeek <= 6 && s.wDay >= 1 && s.wDay <= 5 && s.wHour <= 23 &&
         s.wMinute <= 59 && s.wSecond <= 59 && s.wMilliseconds <= 999;
}

// Day of the month of the switch in Year (the rule is a switch rule).
int SwitchDay(const SYSTEMTIME& s, std::int32_t year) {
  const int wanted = s.wDayOfWeek;
  if (s.wDay == 5) {  // the last such weekday on or before the end of the month
    const int last = DaysInMonthOf(s.wMonth, year);
    const int lastDow = TTimeZoneInfo::Dow(EncodeDateExt(year, s.wMonth, last));
    return last - (lastDow - wanted + 7) % 7;
  }
  const int firstDow = TTimeZoneInfo::Dow(EncodeDateExt(year, s.wMonth, 1));
  const int first = 1 + (wanted - firstDow + 7) % 7;
  return first + 7 * (s.wDay - 1);
}

// The switch in Year as milliseconds of local time, seconds and milliseconds of the rule
// included (a rule at 23:59:59.999 switches then, not a minute early).
std::int64_t SwitchMSec(const SYSTEMTIME& s, std::int32_t year) {
  const auto day = static_cast<std::int64_t>(EncodeDateExt(year, s.wMonth, SwitchDay(s, year)));
  return day * kMSecsPerDay + ((s.wHour * 60 + s.wMinute) * 60 + s.wSecond) * 1000 + s.wMilliseconds;
}

// The years around Year; there is no year 0.
std::int32_t PrevYear(std::int32_t year) { return year == 1 ? -1 : year - 1; }
std::int32_t NextYear(std::int32_t year) { return year == -1 ? 1 : year + 1; }

std::wstring BoundedText(const wchar_t* text, size_t maxLength) { return std::wstring(text, wcsnlen(text, maxLength)); }

// A value of the open key: its type and bytes; false when it is missing or cannot be read.
bool QueryValue(HKEY key, const wchar_t* name, DWORD& type, std::string& data) {
  DWORD size = 0;
  if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  for (int attempt = 0; attempt < 3; ++attempt) {  // the value may grow between the two calls
    data.resize(size);
    DWORD got = size;
    LSTATUS status =
        ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (status == ERROR_SUCCESS) {
      data.resize(got);
      return true;
    }
    if (status != ERROR_MORE_DATA) return false;
    size = got;
  }
  return false;
}

std::wstring ReadString(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  std::string data;
  if (!QueryValue(key, name, type, data) || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  return text.substr(0, text.find(L'\0'));  // without the terminator, and what a stray one hides
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TTimeZoneInfo

void TTimeZoneInfo::Clear() { *this = TTimeZoneInfo(); }

void TTimeZoneInfo::LoadLocalTimeZone() {
  Clear();
  DYNAMIC_TIME_ZONE_INFORMATION info{};
  if (::GetDynamicTimeZoneInformation(&info) == TIME_ZONE_ID_INVALID) return;
  KeyName = BoundedText(info.TimeZoneKeyName, std::size(info.TimeZoneKeyName));
  NameStd = BoundedText(info.StandardName, std::size(info.StandardName));
  NameDst = BoundedText(info.DaylightName, std::size(info.DaylightName));
  BiasTz = info.Bias;
  BiasStd = info.StandardBias;
  BiasDst = info.DaylightBias;
  DstToStd = info.StandardDate;
  StdToDst = info.DaylightDate;
}

void TTimeZoneInfo::LoadTimeZone(const std::wstring& keyName, const std::wstring& display, const std::wstring& std,
                                 const std::wstring& dlt, const REG_TZI_FORMAT& tzi) {
  Clear();
  KeyName = keyName;
  DisplayName = display;
  NameStd = std;
  NameDst = dlt;
  BiasTz = tzi.Bias;
  BiasStd = tzi.StandardBias;
  BiasDst = tzi.DaylightBias;
  DstToStd = tzi.StandardDate;
  StdToDst = tzi.DaylightDate;
}

bool TTimeZoneInfo::HasDst() const { return IsSwitchRule(DstToStd) && IsSwitchRule(StdToDst); }

int TTimeZoneInfo::Dow(double d) { return IsoDayOfWeek(d) % 7; }

double TTimeZoneInfo::SwitchTime(const SYSTEMTIME& s, std::int32_t year) {
  if (!IsSwitchRule(s)) return 0;
  return FromMSec(SwitchMSec(s, year));
}

bool TTimeZoneInfo::DaylightAt(std::int64_t t, std::int32_t year, std::int64_t offsetToDst,
                               std::int64_t offsetToStd) const {
  // Three years, so that a switch near the candidate's end counts in the candidate it falls into, and no
  // guess from the months of the rules: both may lie in one month.
  std::int64_t latest = std::numeric_limits<std::int64_t>::min();
  bool daylight = false;
  for (std::int32_t candidate : {PrevYear(year), year, NextYear(year)}) {
    const std::int64_t toDst = SwitchMSec(StdToDst, candidate) + offsetToDst;
    if (toDst <= t && toDst > latest) {
      latest = toDst;
      daylight = true;
    }
    const std::int64_t toStd = SwitchMSec(DstToStd, candidate) + offsetToStd;
    if (toStd <= t && toStd >= latest) {  // two switches at one instant leave standard time
      latest = toStd;
      daylight = false;
    }
  }
  return daylight;
}

bool TTimeZoneInfo::LocalTimeIsStd(double localTime) const {
  std::int64_t t;
  if (!HasDst() || !ToMSec(localTime, t)) return true;
  // Both switches are given in the local time in force before them.
  return !DaylightAt(t, YearOfDate(localTime), 0, 0);
}

double TTimeZoneInfo::LocalTimeToUtc(double localTime) const {
  const std::int32_t bias = BiasTz + (LocalTimeIsStd(localTime) ? BiasStd : BiasDst);
  std::int64_t t;
  if (!ToMSec(localTime, t)) return localTime + bias / 1440.0;
  return FromMSec(t + bias * kMSecsPerMinute);
}

std::int32_t TTimeZoneInfo::UtcTimeBias(double utcTime) const {
  std::int64_t t;
  if (!HasDst() || !ToMSec(utcTime, t)) return BiasTz + BiasStd;
  // The switch to daylight time happens on standard time, the one back on daylight time.
  const bool daylight = DaylightAt(t, YearOfDate(utcTime), (BiasTz + BiasStd) * kMSecsPerMinute,
                                   (BiasTz + BiasDst) * kMSecsPerMinute);
  return BiasTz + (daylight ? BiasDst : BiasStd);
}

double TTimeZoneInfo::UtcToLocalTime(double utcTime) const {
  const std::int32_t bias = UtcTimeBias(utcTime);
  std::int64_t t;
  if (!ToMSec(utcTime, t)) return utcTime - bias / 1440.0;
  return FromMSec(t - bias * kMSecsPerMinute);
}

double TTimeZoneInfo::TzOffsetH(double localTime) const {
  return -(BiasTz + (LocalTimeIsStd(localTime) ? BiasStd : BiasDst)) / 60.0;
}

std::wstring TTimeZoneInfo::OffsetDisplayStr() const {
  if (!HasDst()) return L"UTC" + BiasToOffsetText(BiasTz);
  return L"UTC" + BiasToOffsetText(BiasTz + BiasStd) + L" | UTC" + BiasToOffsetText(BiasTz + BiasDst);
}

std::wstring TTimeZoneInfo::Explanation() const {
  std::wstring name = DisplayName;
  // "(UTC+01:00) Amsterdam": the prefix ends at the eleventh character at the latest.
  const size_t close = name.find(L')');
  if (close == std::wstring::npos)
    name = Trim(name);
  else if (close < 11)
    name = Trim(std::wstring_view(name).substr(close + 1));
  return name + L" (" + OffsetDisplayStr() + L")";
}

std::wstring TTimeZoneInfo::DumpDstSystemTime(const SYSTEMTIME& s) const {
  if (!HasDst() || !IsSwitchRule(s)) return L"--";
  const TLocaleSnapshot& locale = LocaleSnapshot();
  std::wstring text = s.wDay == 5 ? std::wstring(L"letzter") : std::to_wstring(s.wDay) + L".";
  text += L" " + locale.LongDayNames[s.wDayOfWeek] + L" im " + locale.LongMonthNames[s.wMonth - 1];
  if (s.wYear != 0) text += L" " + std::to_wstring(s.wYear);
  text += L" " + IntToStrZeroPad(s.wHour, 2) + L":" + IntToStrZeroPad(s.wMinute, 2);
  return text;
}

std::wstring TTimeZoneInfo::Dump() const {
  return KeyName + L" | " + DisplayName + L" | " + NameStd + L" | " + NameDst + L" | CurBias " +
         BiasToOffsetText(BiasTz) + L"  StdBias " + BiasToOffsetText(BiasTz + BiasStd) +
         (BiasStd != 0 ? L"\u25A0\u25A0\u25A0\u25A0" : L"") + L"  DstBias " + BiasToOffsetText(BiasTz + BiasDst) +
         L" | Dst->Std " + DumpDstSystemTime(DstToStd) + L" | Std->Dst " + DumpDstSystemTime(StdToDst);
}

// ---------------------------------------------------------------------------------------------
// The system's table

void LoadTimeZoneFromTable(HKEY table, const std::wstring& keyName, TTimeZoneInfo& info) {
  info.Clear();
  const std::wstring name = TrimCharsStr(keyName, L"/\\", true, true);
  if (!table || name.empty()) return;
  // Read only: the system's table is never written, not even with defaults.
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(table, name.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return;
  TRegKey key(opened);
  DWORD type = 0;
  std::string data;
  if (!QueryValue(key.Get(), L"TZI", type, data) || type != REG_BINARY || data.size() < sizeof(REG_TZI_FORMAT))
    return;
  REG_TZI_FORMAT tzi;
  std::memcpy(&tzi, data.data(), sizeof tzi);  // a longer value keeps its first 44 bytes
  info.LoadTimeZone(name, ReadString(key.Get(), L"Display"), ReadString(key.Get(), L"Std"),
                    ReadString(key.Get(), L"Dlt"), tzi);
}

namespace {

// The system's table in the 64-bit view, opened for reading.
TRegKey OpenTimeZoneTable() {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, TimeZonesKeyPath, 0, KEY_READ | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS)
    return TRegKey();
  return TRegKey(opened);
}

}  // namespace

void LoadTimeZoneFromRegistry(const std::wstring& keyName, TTimeZoneInfo& info) {
  TRegKey table = OpenTimeZoneTable();
  LoadTimeZoneFromTable(table.Get(), keyName, info);
}

std::vector<std::wstring> TimeZoneKeyNames() {
  std::vector<std::wstring> names;
  TRegKey table = OpenTimeZoneTable();
  if (!table) return names;
  wchar_t name[256];  // the longest key name the registry allows, and its terminator
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(std::size(name));
    LSTATUS status = ::RegEnumKeyExW(table.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) names.emplace_back(name, length);
  }
  return names;
}

std::wstring BiasToOffsetText(std::int32_t bias) {
  const std::int64_t v = -static_cast<std::int64_t>(bias);
  if (v == 0) return L"+0000";
  const std::int64_t magnitude = v < 0 ? -v : v;
  return (v > 0 ? L"+" : L"-") + IntToStrZeroPad(magnitude / 60, 2) + IntToStrZeroPad(magnitude % 60, 2);
}

void TimeZonesStart() {
  LocalTimeZone.Clear();
  LocalTimeZone.LoadLocalTimeZone();
  TTimeZoneInfo fromTable;
  LoadTimeZoneFromRegistry(LocalTimeZone.KeyName, fromTable);
  LocalTimeZone.DisplayName = fromTable.DisplayName;
}

void TimeZonesStop() { LocalTimeZone.Clear(); }
