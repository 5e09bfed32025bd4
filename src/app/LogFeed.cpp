#include "app/LogFeed.h"

#include "base/Strings.h"
#include "base/Unicode.h"
#include "toolkit/LogMemo.h"

#include <algorithm>

namespace {

// A hex dump row of eight bytes with its line break: 24 + 2 + 8 + 2 characters.
constexpr std::size_t kHexRowChars = 36;
// What a line costs beyond its characters, in characters: each line is a string of its own, an
// append and a line break to index. Without this, a switch from long text lines to hex rows
// would make the first appends of rows far too large.
constexpr std::size_t kLineChars = 64;
// The least time an append is planned for: below it the fixed costs of an edit operation
// swamp the work.
constexpr double kMinSliceMsec = 10.0;
// Bounds of the learned cost per character, so that one odd measurement cannot make the next
// append absurdly large or small.
constexpr double kMinMsecPerChar = 0.00002;
constexpr double kMaxMsecPerChar = 0.05;
// Weight of the previous appends against the latest one in the estimate: the view's costs
// change as it grows, so old appends soon stop counting.
constexpr double kKeep = 0.7;

}  // namespace

TStrings& TLogMemoView::Lines() { return FMemo.Lines(); }

void TLogMemoView::Paint() { FMemo.PaintChanges(); }

TLogFeed::TLogFeed(TLogView& View, TClock Clock, std::size_t Limit)
    : FView(View), FClock(std::move(Clock)), FLimit(Limit) {}

std::wstring TLogFeed::DropNotice(std::size_t Count) {
  return L"[Tavrino: " + std::to_wstring(Count) + (Count == 1 ? L" Datagramm" : L" Datagramme") +
         L" verworfen, die Anzeige kam nicht nach]";
}

void TLogFeed::Push(std::string Datagram, bool Hex) {
  ++FCounts.Received;
  const std::size_t cost = Datagram.size() + kEntryCost;
  if (FBytes + cost > FLimit) {
    ++FCounts.Dropped;
    // Full: the datagram is dropped, and the view says so at this place. One notice counts a
    // whole run of drops; it is held even beyond the limit, by one entry per run at most.
    if (!FEntries.empty() && FEntries.back().Dropped > 0) {
      ++FEntries.back().Dropped;
    } else {
      FEntries.push_back(TEntry{std::string(), 1, false, {}});
      FBytes += kEntryCost;
    }
    return;
  }
  FEntries.push_back(TEntry{std::move(Datagram), 0, Hex, {}});
  FBytes += cost;
}

void TLogFeed::AddLines(std::vector<std::wstring> Lines) {
  if (Lines.empty()) return;
  if (FEntries.empty()) {
    TStringsUpdate batch(FView.Lines());
    for (const std::wstring& line : Lines) FView.Lines().Add(line);
    return;
  }
  std::size_t cost = kEntryCost;
  for (const std::wstring& line : Lines) cost += line.size() * sizeof(wchar_t);
  TEntry entry;
  entry.Lines = std::move(Lines);
  FEntries.push_back(std::move(entry));
  FBytes += cost;
}

void TLogFeed::Clear() noexcept {
  FEntries.clear();
  FBytes = 0;
  FFrontOffset = 0;
}

void TLogFeed::PopFront() noexcept {
  FBytes -= CostOf(FEntries.front());
  FEntries.pop_front();
  FFrontOffset = 0;
}

bool TLogFeed::Show(TTime Deadline) {
  if (FEntries.empty()) return true;
  for (bool first = true;; first = false) {
    const double left = Msec(FClock(), Deadline) - FPaintMsec;
    if (!first && left < FFixedMsec + kMinSliceMsec) break;
    // The time for this append: what the tick has left after the append's fixed cost. Where
    // the fixed costs of an append and its repaint take a whole tick (a view of a million
    // lines under Wine), at least half their time goes to new lines as well, so that the view
    // still catches up at a useful rate, and the window answers, if later.
    const double slice = std::max({left - FFixedMsec, (FFixedMsec + FPaintMsec) / 2, kMinSliceMsec});
    const TTime start = FClock();
    const std::size_t chars = Append(slice / FMsecPerChar);
    Learn(static_cast<double>(chars), Msec(start, FClock()));
    if (FEntries.empty()) break;
  }
  const TTime start = FClock();
  FView.Paint();
  FPaintMsec = Msec(start, FClock());
  return FEntries.empty();
}

std::size_t TLogFeed::Append(double Chars) {
  const std::size_t target = static_cast<std::size_t>(std::clamp(Chars, 1.0, 1e9));
  std::size_t chars = 0;
  TStringsUpdate batch(FView.Lines());
  do {
    chars += AppendFront(target - chars);
  } while (!FEntries.empty() && chars < target);
  return chars;
}

std::size_t TLogFeed::AppendFront(std::size_t Room) {
  TEntry& entry = FEntries.front();
  TStrings& lines = FView.Lines();
  if (!entry.Lines.empty()) {
    std::size_t chars = 0;
    for (const std::wstring& line : entry.Lines) {
      lines.Add(line);
      chars += line.size() + 2 + kLineChars;
    }
    PopFront();
    return chars;
  }
  if (entry.Dropped > 0) {
    const std::wstring notice = DropNotice(entry.Dropped);
    lines.Add(notice);
    PopFront();
    return notice.size() + 2 + kLineChars;
  }
  if (!entry.Hex) {
    // (A zero byte is never part of a multi-byte character: it decodes to a zero of its own.)
    std::wstring text = AnsiToText(entry.Data);
    std::replace(text.begin(), text.end(), L'\0', L'\u2400');
    lines.Add(text);
    PopFront();
    ++FCounts.Shown;
    return text.size() + 2 + kLineChars;
  }
  // Rows of eight bytes: a datagram cut at multiples of eight bytes gives the same rows as
  // the whole, so a large one is shown over several appends.
  const std::size_t rest = entry.Data.size() - FFrontOffset;
  const std::size_t bytes = std::min(rest, std::max<std::size_t>(Room / (kHexRowChars + kLineChars), 1) * 8);
  AddHexDump(&lines, entry.Data.data() + FFrontOffset, static_cast<int>(bytes), 8);
  FFrontOffset += bytes;
  if (FFrontOffset >= entry.Data.size()) {
    PopFront();
    ++FCounts.Shown;
  }
  return (bytes + 7) / 8 * (kHexRowChars + kLineChars);
}

void TLogFeed::Learn(double chars, double msec) {
  FSumWeight = FSumWeight * kKeep + 1;
  FSumChars = FSumChars * kKeep + chars;
  FSumMsec = FSumMsec * kKeep + msec;
  FSumChars2 = FSumChars2 * kKeep + chars * chars;
  FSumCharsMsec = FSumCharsMsec * kKeep + chars * msec;
  const double meanChars = FSumChars / FSumWeight;
  const double meanMsec = FSumMsec / FSumWeight;
  const double varChars = FSumChars2 / FSumWeight - meanChars * meanChars;
  // A line through the recent appends: only appends of different sizes tell the cost per
  // character from the fixed cost; while they are alike, the cost per character is kept.
  if (varChars > 1.0 && varChars > 0.001 * meanChars * meanChars) {
    const double perChar = (FSumCharsMsec / FSumWeight - meanChars * meanMsec) / varChars;
    if (perChar > 0) FMsecPerChar = std::clamp(perChar, kMinMsecPerChar, kMaxMsecPerChar);
  }
  FFixedMsec = std::max(0.0, meanMsec - FMsecPerChar * meanChars);
}
