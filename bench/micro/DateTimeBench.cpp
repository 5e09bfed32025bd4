#include "base/DateTime.h"
#include "bench/micro/MicroBench.h"

namespace {

constexpr int kDaysIn400Years = 146097;
constexpr int kCalls = 10000;

}  // namespace

MICRO_BENCH("IsoWeekNumber, every day of 400 years") {
  const double first = EncodeDateExt(2000, 1, 1);
  std::int64_t sum = 0;
  for (int i = 0; i < kDaysIn400Years; ++i) {
    std::int32_t year;
    int dayOfWeek;
    sum += IsoWeekNumber(first + i, year, dayOfWeek) + year + dayOfWeek;
  }
  KeepResult(sum);
  return kDaysIn400Years;
}

MICRO_BENCH("FormatDateTimeEx yyyy-mm-dd hh:nn:ss 'W'WW-E, 10k") {
  const double first = EncodeDateExt(2024, 1, 1) + 0.5;
  size_t length = 0;
  for (int i = 0; i < kCalls; ++i) length += FormatDateTimeEx(L"yyyy-mm-dd hh:nn:ss 'W'WW-E", first + i).size();
  KeepResult(length);
  return kCalls;
}

MICRO_BENCH("FormatDateTimeEx dddd, d. mmmm yyyy, 10k") {
  const double first = EncodeDateExt(2024, 1, 1);
  size_t length = 0;
  for (int i = 0; i < kCalls; ++i) length += FormatDateTimeEx(L"dddd, d. mmmm yyyy", first + i).size();
  KeepResult(length);
  return kCalls;
}

MICRO_BENCH("ParseDateTimeFmt YYYY-MM-DD HH:NN:SS.ZZZ, 10k") {
  double sum = 0;
  for (int i = 0; i < kCalls; ++i)
    sum += ParseDateTimeFmt(L"YYYY-MM-DD HH:NN:SS.ZZZ", i % 2 ? L"2024-03-05 14:07:09.045" : L"1999-12-31 23:59:59.999");
  KeepResult(sum);
  return kCalls;
}
