#pragma once
// What waits for the log view: the datagrams received but not shown yet, in arrival order, each
// with the view mode it arrived in. The main window's timer receives into the feed and shows
// from it for a measured time per tick, so that no flood, however large its datagrams or the
// view, keeps the window from answering; what does not fit into a tick waits for the next.
#include "app/LogLevels.h"
#include "base/StringList.h"
#include "base/Unicode.h"

#include <chrono>
#include <cstdint>
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class TLogMemo;

// The view the feed writes into: the lines added between BeginAppend and EndAppend are one
// append (one edit operation of the view); Paint repaints what changed, now.
class TLogView {
public:
  virtual ~TLogView() = default;
  virtual void BeginAppend() {}
  virtual void EndAppend() {}
  // Adds a line at the end (every line of it, when it holds CR LF), drawn in its level's colour;
  // false when the view takes no more lines (its memory is spent).
  virtual bool AddLine(std::wstring_view line, TLogLevel level) = 0;
  virtual void Paint() = 0;
};

// The log view of the main window: the toolkit's log memo.
class TLogMemoView : public TLogView {
public:
  explicit TLogMemoView(TLogMemo& memo) : FMemo(memo) {}
  bool AddLine(std::wstring_view line, TLogLevel level) override;
  void Paint() override;

private:
  TLogMemo& FMemo;
};

// The columns in front of each datagram's first line (its other lines and hex rows are
// indented to match): its local receive time "14:03:07.123" and its sender "192.0.2.7:50123".
struct TArrivalColumns {
  bool Time = false;
  bool Sender = false;
  bool Any() const noexcept { return Time || Sender; }
};

// What is fixed about a datagram when it arrives: how it is shown (hex dump or text, the
// text's character set, the columns, as the window's choices stood then), when and from where
// it came.
struct TArrival {
  bool Hex = false;
  TCharEncoding Charset = chAnsi;
  TArrivalColumns Columns;
  std::uint64_t ReceivedAt = 0;     // system time (UTC), 100 ns since 1601
  std::uint32_t SenderAddress = 0;  // IPv4, network byte order
  std::uint16_t SenderPort = 0;

  // The columns it is shown with, each followed by a space, the sender padded to its widest
  // form (the same width for every datagram).
  std::wstring ColumnsText() const;
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

  explicit TLogFeed(TLogView& view, TClock clock = &std::chrono::steady_clock::now,
                    std::size_t limit = kDefaultLimit);

  // Records a received datagram with what was fixed when it arrived. When the feed is full it
  // is dropped instead, and a notice line takes its place in the view. In text mode every byte
  // is shown; a zero byte as the symbol for it, U+2400, since a zero character would end the
  // text for the clipboard and for every caller that reads it. A text datagram's lines take
  // the level of its first line (a stack trace keeps the colour of its error).
  void Push(std::string datagram, const TArrival& arrival);
  // Lines of the program's own (the separator) after what waits: at once when nothing waits.
  void AddLines(std::vector<std::wstring> lines);
  // Formats waiting datagrams into the view, in arrival order, and repaints it, so that the
  // work ends about at Deadline: each append is sized from what the last ones cost. At least
  // one append is made, so the view keeps moving even when a tick has no time left. True when
  // nothing waits any more.
  bool Show(TTime deadline);
  // Discards what waits (the window closes).
  void Clear() noexcept;

  bool Empty() const noexcept { return FEntries.empty(); }
  // Bytes held, counted as for the limit.
  std::size_t Bytes() const noexcept { return FBytes; }
  std::size_t Limit() const noexcept { return FLimit; }
  // A new limit, for what arrives from now on.
  void SetLimit(std::size_t limit) noexcept { FLimit = limit; }

  // Datagrams since the feed was made: every one received is shown in the view, dropped, or
  // still waiting, so Received = Shown + Dropped + what waits.
  struct TCounts {
    std::uint64_t Received = 0, Shown = 0, Dropped = 0;
  };
  const TCounts& Counts() const noexcept { return FCounts; }

  // The view's own line in place of Count dropped datagrams.
  static std::wstring DropNotice(std::size_t count);

private:
  struct TEntry {
    std::string Data;
    std::size_t Dropped = 0;  // not 0: a notice of that many dropped datagrams
    TArrival Arrival;
    std::vector<std::wstring> Lines;  // not empty: lines of the program's own
  };

  static std::size_t CostOf(const TEntry& entry) noexcept {
    std::size_t cost = entry.Data.size() + kEntryCost;
    for (const std::wstring& line : entry.Lines) cost += line.size() * sizeof(wchar_t);
    return cost;
  }
  // One edit operation of about Chars characters (at least one line); returns the characters.
  // Characters here are weighed as the view's costs are: each line counts some more.
  std::size_t Append(double chars);
  // Formats the first waiting entry, or as many hex rows of it as fit into room characters
  // (at least one); returns the characters added.
  std::size_t AppendFront(std::size_t room);
  void PopFront() noexcept;
  std::size_t AppendText(const TEntry& entry);
  std::size_t AppendHexRows(const TEntry& entry, std::size_t room);
  // Adds a line of the view; a line the view refuses makes the datagram count as dropped.
  void AddLine(std::wstring_view line, TLogLevel level);
  double Msec(TTime from, TTime to) const { return std::chrono::duration<double, std::milli>(to - from).count(); }
  // Learns what an append costs, fixed and per character, from the appends made so far.
  void Learn(double chars, double msec);

  TLogView& FView;
  TClock FClock;
  std::size_t FLimit;
  std::deque<TEntry> FEntries;
  std::size_t FBytes = 0;
  std::size_t FFrontOffset = 0;  // bytes of the first entry (hex) already shown
  bool FRefused = false;          // the view refused a line of the entry being shown
  TCounts FCounts;
  TStringList FRows;  // the hex rows of one append, before they go into the view

  // Cost of one append: FFixedMsec + FMsecPerChar * characters; the repaint after it.
  double FFixedMsec = 20.0;
  double FMsecPerChar = 0.003;  // on the high side: the first appends rather too small than too large
  double FPaintMsec = 0.0;
  // Sums for the estimate, older appends weighing less.
  double FSumWeight = 0, FSumChars = 0, FSumMsec = 0, FSumChars2 = 0, FSumCharsMsec = 0;
};
