#pragma once
// What waits for the log view: the datagrams received but not shown yet, in arrival order, each
// with the view mode it arrived in. The main window's timer receives into the feed and shows
// from it for a measured time per tick, so that no flood, however large its datagrams or the
// view, keeps the window from answering; what does not fit into a tick waits for the next.
#include "base/StringList.h"

#include <chrono>
#include <cstdint>
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class TLogMemo;

// The view the feed writes into. Lines added inside an update bracket of Lines() go into the
// view in one edit operation when the bracket closes; Paint repaints what changed, now.
class TLogView {
public:
  virtual ~TLogView() = default;
  virtual TStrings& Lines() = 0;
  virtual void Paint() = 0;
};

// The log view of the main window: the toolkit's log memo.
class TLogMemoView : public TLogView {
public:
  explicit TLogMemoView(TLogMemo& Memo) : FMemo(Memo) {}
  TStrings& Lines() override;
  void Paint() override;

private:
  TLogMemo& FMemo;
};

class TLogFeed {
public:
  using TTime = std::chrono::steady_clock::time_point;
  using TClock = std::function<TTime()>;

  // Bytes the feed holds before it drops datagrams: a flood that outruns the view for minutes
  // must not take all memory (256 MiB of hex dump are about 1.2 billion characters of view).
  static constexpr std::size_t kDefaultLimit = std::size_t{256} << 20;
  // What one waiting datagram costs beyond its bytes (its entry and allocation); counted against
  // the limit, so that a flood of empty datagrams is bounded too.
  static constexpr std::size_t kEntryCost = 64;

  explicit TLogFeed(TLogView& View, TClock Clock = &std::chrono::steady_clock::now,
                    std::size_t Limit = kDefaultLimit);

  // Records a received datagram with the view mode it arrived in (hex dump or text). When the
  // feed is full it is dropped instead, and a notice line takes its place in the view. In text
  // mode every byte is shown; a zero byte as the symbol for it, U+2400, since a zero character
  // would end the text for the clipboard and for every caller that reads it.
  void Push(std::string Datagram, bool Hex);
  // Lines of the program's own (the separator) after what waits: at once when nothing waits.
  void AddLines(std::vector<std::wstring> Lines);
  // Formats waiting datagrams into the view, in arrival order, and repaints it, so that the
  // work ends about at Deadline: each append is sized from what the last ones cost. At least
  // one append is made, so the view keeps moving even when a tick has no time left. True when
  // nothing waits any more.
  bool Show(TTime Deadline);
  // Discards what waits (the window closes).
  void Clear() noexcept;

  bool Empty() const noexcept { return FEntries.empty(); }
  // Bytes held, counted as for the limit.
  std::size_t Bytes() const noexcept { return FBytes; }
  std::size_t Limit() const noexcept { return FLimit; }
  // A new limit, for what arrives from now on.
  void SetLimit(std::size_t Limit) noexcept { FLimit = Limit; }

  // Datagrams since the feed was made: every one received is shown in the view, dropped, or
  // still waiting, so Received = Shown + Dropped + what waits.
  struct TCounts {
    std::uint64_t Received = 0, Shown = 0, Dropped = 0;
  };
  const TCounts& Counts() const noexcept { return FCounts; }

  // The view's own line in place of Count dropped datagrams.
  static std::wstring DropNotice(std::size_t Count);

private:
  struct TEntry {
    std::string Data;
    std::size_t Dropped = 0;  // not 0: a notice of that many dropped datagrams
    bool Hex = false;
    std::vector<std::wstring> Lines;  // not empty: lines of the program's own
  };

  static std::size_t CostOf(const TEntry& entry) noexcept {
    std::size_t cost = entry.Data.size() + kEntryCost;
    for (const std::wstring& line : entry.Lines) cost += line.size() * sizeof(wchar_t);
    return cost;
  }
  // One edit operation of about Chars characters (at least one line); returns the characters.
  // Characters here are weighed as the view's costs are: each line counts some more.
  std::size_t Append(double Chars);
  // Formats the first waiting entry, or as many hex rows of it as fit into Room characters
  // (at least one); returns the characters added.
  std::size_t AppendFront(std::size_t Room);
  void PopFront() noexcept;
  double Msec(TTime from, TTime to) const { return std::chrono::duration<double, std::milli>(to - from).count(); }
  // Learns what an append costs, fixed and per character, from the appends made so far.
  void Learn(double chars, double msec);

  TLogView& FView;
  TClock FClock;
  std::size_t FLimit;
  std::deque<TEntry> FEntries;
  std::size_t FBytes = 0;
  std::size_t FFrontOffset = 0;  // bytes of the first entry (hex) already shown
  TCounts FCounts;

  // Cost of one append: FFixedMsec + FMsecPerChar * characters; the repaint after it.
  double FFixedMsec = 20.0;
  double FMsecPerChar = 0.003;  // on the high side: the first appends rather too small than too large
  double FPaintMsec = 0.0;
  // Sums for the estimate, older appends weighing less.
  double FSumWeight = 0, FSumChars = 0, FSumMsec = 0, FSumChars2 = 0, FSumCharsMsec = 0;
};
