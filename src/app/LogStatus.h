#pragma once
// The status line along the bottom of the main window: datagrams received, lines in the view,
// datagrams dropped (in red when any), datagrams per second over the last second, what waits
// for the view and the view's memory (in red when full). It is read from the counters by a timer
// of its own, a few times a second, so that receiving pays nothing for it.
#include "toolkit/ExtCtrls.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

// What the status line shows.
struct TLogStatusFacts {
  std::uint64_t Received = 0, Dropped = 0;
  std::int64_t Lines = 0;
  std::int64_t LineLimit = 0;     // the lines the view keeps at most (0: no limit)
  std::int64_t RemovedLines = 0;  // old lines the limit took away
  double PerSecond = 0;
  std::uint64_t WaitingBytes = 0, MemoryBytes = 0;
  bool MemoryFull = false;  // the view stopped growing: memory ran out
};

// The texts of the status line, in their order (German number format).
std::vector<std::wstring> LogStatusTexts(const TLogStatusFacts& facts);

// Events per second over the last second, from a running count sampled now and then.
class TRateMeter {
public:
  using TTime = std::chrono::steady_clock::time_point;
  // Records the count at a time and returns the rate since the sample about a second before
  // (since the first sample while there is none that old).
  double Sample(TTime now, std::uint64_t count);

private:
  std::deque<std::pair<TTime, std::uint64_t>> FSamples;
};

class TLogStatusLine {
public:
  // How often it is brought up to date: at most 4 times a second.
  static constexpr unsigned kIntervalMsec = 250;

  // Makes the line (aligned to the bottom of parent), owned by owner.
  TLogStatusLine(TComponent* owner, TControl* parent);

  TStatusLine* Control() const noexcept { return FLine; }
  void Show(const TLogStatusFacts& facts);

private:
  TStatusLine* FLine;
};
