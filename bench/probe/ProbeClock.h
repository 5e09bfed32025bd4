#pragma once
// The realtime clock as Unix milliseconds, so the benchmark's orchestrator on Linux can set
// what the probes print against its own clock.
#include "base/Win.h"

inline long long UnixTimeMs() {
  FILETIME ft;
  ::GetSystemTimePreciseAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  constexpr unsigned long long EpochDiff = 116444736000000000ULL;  // 1601 to 1970 in 100 ns
  return static_cast<long long>((t.QuadPart - EpochDiff) / 10000ULL);
}
