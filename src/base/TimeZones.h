#pragma once
// The time-zone unit: one Windows time zone (names, biases and the two daylight-saving rules),
// loaded from the system's current zone or from its time-zone table in the registry (read
// only), with conversions between local time and UTC by the zone's rules for any year and texts
// that describe it. The table is read with plain registry calls: the settings stores build on
// this layer, not the other way round.
#include "base/Win.h"

#include <cstdint>
#include <string>
#include <vector>

// The registry's binary value "TZI" of a zone (44 bytes).
struct REG_TZI_FORMAT {
  std::int32_t Bias;
  std::int32_t StandardBias;
  std::int32_t DaylightBias;
  SYSTEMTIME StandardDate;  // switch to standard time
  SYSTEMTIME DaylightDate;  // switch to daylight time
};
static_assert(sizeof(REG_TZI_FORMAT) == 44);

// Date-time values are days since 30 December 1899 (base/DateTime.h). A transition rule is a
// system time record with year 0: month (0: no daylight saving time), weekday (0 = Sunday),
// occurrence of that weekday in the month (1..4, 5 = the last) and the local time of the switch.
struct TTimeZoneInfo {
  std::wstring KeyName;      // key of the zone in the system's table; empty for an empty record
  std::wstring DisplayName;  // "(UTC+01:00) Amsterdam, Berlin, ..."
  std::wstring NameStd;
  std::wstring NameDst;
  std::int32_t BiasTz = 0;   // minutes to add to local time to get UTC (negative east of Greenwich)
  std::int32_t BiasStd = 0;  // extra minutes during standard time
  std::int32_t BiasDst = 0;  // extra minutes during daylight time
  SYSTEMTIME DstToStd{};     // rule of the switch from daylight to standard time
  SYSTEMTIME StdToDst{};     // rule of the switch from standard to daylight time

  void Clear();
  // From the system's current dynamic time-zone information; DisplayName stays empty.
  void LoadLocalTimeZone();
  void LoadTimeZone(const std::wstring& keyName, const std::wstring& display, const std::wstring& std,
                    const std::wstring& dlt, const REG_TZI_FORMAT& tzi);
  bool IsEmpty() const { return KeyName.empty(); }
  // True when both rules name a switch (a month other than 0). A rule that cannot be a switch
  // (month above 12, weekday above 6, occurrence outside 1..5, a time beyond 23:59:59.999)
  // counts as none: such a zone keeps standard time.
  bool HasDst() const;
  // Day of week, 0 = Sunday .. 6 = Saturday.
  static int Dow(double d);
  // Local date-time of the switch in Year, to the millisecond; 0 for a rule without a switch.
  static double SwitchTime(const SYSTEMTIME& s, std::int32_t year);

  // Standard time is in force at that local time. In the hour skipped in spring daylight time
  // counts; the hour that occurs twice in autumn is taken as daylight time (its first pass).
  bool LocalTimeIsStd(double localTime) const;
  double LocalTimeToUtc(double localTime) const;
  // The bias in minutes in force at that moment in UTC.
  std::int32_t UtcTimeBias(double utcTime) const;
  double UtcToLocalTime(double utcTime) const;
  // UTC offset in hours at that local time (2.0, 5.5, -3.0 ...).
  double TzOffsetH(double localTime) const;

  // "UTC+0100 | UTC+0200", or "UTC+0100" without daylight saving time.
  std::wstring OffsetDisplayStr() const;
  // The display name without its offset prefix, followed by the offsets in brackets.
  std::wstring Explanation() const;
  // One line of all fields.
  std::wstring Dump() const;
  // A rule in words with the user's day and month names: "letzter Sonntag im Oktober 03:00";
  // "--" for a zone without daylight saving time.
  std::wstring DumpDstSystemTime(const SYSTEMTIME& s) const;

private:
  // Daylight time at T (milliseconds on a time line, Year its year): the switches of the year
  // before, of Year and of the year after are moved onto that line by the offsets, and the last
  // one at or before T decides. The local and the UTC view share it.
  bool DaylightAt(std::int64_t t, std::int32_t year, std::int64_t offsetToDst, std::int64_t offsetToStd) const;
};

// The current zone, loaded with its display name when the unit starts.
extern TTimeZoneInfo LocalTimeZone;

// "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Time Zones" below HKEY_LOCAL_MACHINE.
extern const wchar_t* const TimeZonesKeyPath;

// Fills Info from the zone KeyName of the system's table ("/" and "\" at its ends are dropped);
// an empty record when the zone is missing or its "TZI" value holds fewer than 44 bytes.
void LoadTimeZoneFromRegistry(const std::wstring& keyName, TTimeZoneInfo& info);
// The same from a table below an open key (the system's table or a copy of it).
void LoadTimeZoneFromTable(HKEY table, const std::wstring& keyName, TTimeZoneInfo& info);
// The key names of all zones of the system's table, in the registry's order.
std::vector<std::wstring> TimeZoneKeyNames();

// The UTC offset that belongs to a bias in minutes: -60 gives "+0100", 300 "-0500", 0 "+0000".
std::wstring BiasToOffsetText(std::int32_t bias);

// Unit start and stop (library start-up list, after the date and system units).
void TimeZonesStart();
void TimeZonesStop();
