// Time zones: loading the system's whole table, and converting every hour of a year between UTC
// and a zone with daylight saving time, against the system's own conversion of the same hours.
#include "base/DateTime.h"
#include "base/TimeZones.h"
#include "bench/micro/MicroBench.h"

#include <vector>

namespace {

constexpr int kHoursOfAYear = 365 * 24;

const TTimeZoneInfo& CentralEurope() {
  static TTimeZoneInfo zone = [] {
    TTimeZoneInfo z;
    LoadTimeZoneFromRegistry(L"W. Europe Standard Time", z);
    return z;
  }();
  return zone;
}

double HourOf2024(int hour) { return EncodeDateExt(2024, 1, 1) + hour / 24.0; }

}  // namespace

MICRO_BENCH("Time zones: load the whole table (zones)") {
  std::vector<std::wstring> keys = TimeZoneKeyNames();
  std::int64_t loaded = 0;
  for (const std::wstring& key : keys) {
    TTimeZoneInfo zone;
    LoadTimeZoneFromRegistry(key, zone);
    loaded += zone.IsEmpty() ? 0 : 1;
  }
  return loaded;
}

MICRO_BENCH("Time zones: UtcToLocalTime, every hour of 2024") {
  const TTimeZoneInfo& zone = CentralEurope();
  double sum = 0;
  for (int h = 0; h < kHoursOfAYear; ++h) sum += zone.UtcToLocalTime(HourOf2024(h));
  KeepResult(sum);
  return kHoursOfAYear;
}

MICRO_BENCH("Time zones: LocalTimeToUtc, every hour of 2024") {
  const TTimeZoneInfo& zone = CentralEurope();
  double sum = 0;
  for (int h = 0; h < kHoursOfAYear; ++h) sum += zone.LocalTimeToUtc(HourOf2024(h));
  KeepResult(sum);
  return kHoursOfAYear;
}

MICRO_BENCH("Time zones: system UTC to local, every hour (baseline)") {
  const TTimeZoneInfo& zone = CentralEurope();
  TIME_ZONE_INFORMATION info{};
  info.Bias = zone.BiasTz;
  info.StandardBias = zone.BiasStd;
  info.DaylightBias = zone.BiasDst;
  info.StandardDate = zone.DstToStd;
  info.DaylightDate = zone.StdToDst;
  double sum = 0;
  for (int h = 0; h < kHoursOfAYear; ++h) {
    SYSTEMTIME utc, local;
    DateTimeToSystemTime(HourOf2024(h), utc);
    ::SystemTimeToTzSpecificLocalTime(&info, &utc, &local);
    sum += SystemTimeToDateTime(local);
  }
  KeepResult(sum);
  return kHoursOfAYear;
}
