#include "app/LogFeed.h"

#include "base/Strings.h"
#include "base/Win.h"
#include "toolkit/LogMemo.h"

#include <algorithm>
#include <new>

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

// The widest sender, "255.255.255.255:65535".
constexpr std::size_t kSenderChars = 21;
constexpr std::uint64_t kTicksPerMsec = 10'000;
constexpr std::uint64_t kTicksPerMinute = 60'000 * kTicksPerMsec;

// System time (UTC) to local time, both in 100 ns since 1601. The offset is looked up once per
// minute: a flood pays one addition per datagram, and offsets only change at whole minutes.
std::uint64_t LocalTicks(std::uint64_t utc) {
  static std::uint64_t cachedMinute = ~std::uint64_t{0};
  static std::int64_t offset = 0;
  const std::uint64_t minute = utc / kTicksPerMinute;
  if (minute != cachedMinute) {
    const std::uint64_t start = minute * kTicksPerMinute;
    const FILETIME utcTime{static_cast<DWORD>(start), static_cast<DWORD>(start >> 32)};
    SYSTEMTIME utcParts, localParts;
    FILETIME localTime;
    if (::FileTimeToSystemTime(&utcTime, &utcParts) &&
        ::SystemTimeToTzSpecificLocalTime(nullptr, &utcParts, &localParts) &&
        ::SystemTimeToFileTime(&localParts, &localTime)) {
      const std::uint64_t local = (std::uint64_t{localTime.dwHighDateTime} << 32) | localTime.dwLowDateTime;
      offset = static_cast<std::int64_t>(local - start);
    } else {
      offset = 0;
    }
    cachedMinute = minute;
  }
  return utc + static_cast<std::uint64_t>(offset);
}

void PutDigits(std::wstring& to, std::uint64_t value, int digits) {
  wchar_t text[8];
  for (int i = digits - 1; i >= 0; --i, value /= 10) text[i] = static_cast<wchar_t>(L'0' + value % 10);
  to.append(text, static_cast<std::size_t>(digits));
}

}  // namespace

std::wstring TArrival::ColumnsText() const {
  std::wstring columns;
  if (Columns.Time) {
    const std::uint64_t msec = LocalTicks(ReceivedAt) / kTicksPerMsec;
    PutDigits(columns, msec / 3'600'000 % 24, 2);
    columns += L':';
    PutDigits(columns, msec / 60'000 % 60, 2);
    columns += L':';
    PutDigits(columns, msec / 1'000 % 60, 2);
    columns += L'.';
    PutDigits(columns, msec % 1'000, 3);
    columns += L' ';
  }
  if (Columns.Sender) {
    const std::size_t start = columns.size();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&SenderAddress);
    for (int i = 0; i < 4; ++i) {
      if (i > 0) columns += L'.';
      columns += std::to_wstring(bytes[i]);
    }
    columns += L':';
    columns += std::to_wstring(SenderPort);
    columns.append(kSenderChars + 1 - (columns.size() - start), L' ');
  }
  return columns;
}

bool TLogMemoView::AddLine(std::wstring_view line, TLogLevel level) {
  static constexpr TLineColour kColours[] = {lcNormal, lcError, lcWarning, lcDebug};
  return FMemo.AppendLine(line, kColours[level]);
}

void TLogMemoView::Paint() { FMemo.PaintChanges(); }

TLogFeed::TLogFeed(TLogView& view, TClock clock, std::size_t limit)
    : FView(view), FClock(std::move(clock)), FLimit(limit) {}

std::wstring TLogFeed::DropNotice(std::size_t count) {
  return L"[Tavrino: " + std::to_wstring(count) + (count == 1 ? L" Datagramm" : L" Datagramme") +
         L" verworfen, die Anzeige kam nicht nach]";
}

void TLogFeed::Push(std::string datagram, const TArrival& arrival) {
  ++FCounts.Received;
  const std::size_t cost = datagram.size() + kEntryCost;
  if (FBytes + cost > FLimit) {
    ++FCounts.Dropped;
    // Full: the datagram is dropped, and the view says so at this place. One notice counts a
    // whole run of drops; it is held even beyond the limit, by one entry per run at most.
    if (!FEntries.empty() && FEntries.back().Dropped > 0) {
      ++FEntries.back().Dropped;
    } else {
      FEntries.push_back(TEntry{std::string(), 1, {}, {}});
      FBytes += kEntryCost;
    }
    return;
  }
  try {
    FEntries.push_back(TEntry{std::move(datagram), 0, arrival, {}});
  } catch (const std::bad_alloc&) {
    // No memory for its entry: dropped and counted, as beyond the limit (a notice would need
    // memory too).
    ++FCounts.Dropped;
    return;
  }
  FBytes += cost;
}

void TLogFeed::AddLines(std::vector<std::wstring> lines) {
  if (lines.empty()) return;
  if (FEntries.empty()) {
    FView.BeginAppend();
    for (const std::wstring& line : lines) AddLine(line, lvNormal);
    FView.EndAppend();
    FRefused = false;
    return;
  }
  std::size_t cost = kEntryCost;
  for (const std::wstring& line : lines) cost += line.size() * sizeof(wchar_t);
  TEntry entry;
  entry.Lines = std::move(lines);
  FEntries.push_back(std::move(entry));
  FBytes += cost;
}

void TLogFeed::Clear() noexcept {
  FEntries.clear();
  FBytes = 0;
  FFrontOffset = 0;
  FRefused = false;
}

void TLogFeed::PopFront() noexcept {
  FBytes -= CostOf(FEntries.front());
  FEntries.pop_front();
  FFrontOffset = 0;
  FRefused = false;
}

bool TLogFeed::Show(TTime deadline) {
  if (FEntries.empty()) return true;
  for (bool first = true;; first = false) {
    const double left = Msec(FClock(), deadline) - FPaintMsec;
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

std::size_t TLogFeed::Append(double chars) {
  const std::size_t target = static_cast<std::size_t>(std::clamp(chars, 1.0, 1e9));
  std::size_t added = 0;
  FView.BeginAppend();
  try {
    do {
      added += AppendFront(target - added);
    } while (!FEntries.empty() && added < target);
  } catch (...) {
    FView.EndAppend();
    throw;
  }
  FView.EndAppend();
  return added;
}

void TLogFeed::AddLine(std::wstring_view line, TLogLevel level) {
  if (!FRefused && !FView.AddLine(line, level)) FRefused = true;
}

std::size_t TLogFeed::AppendFront(std::size_t room) {
  TEntry& entry = FEntries.front();
  if (!entry.Lines.empty()) {
    std::size_t chars = 0;
    for (const std::wstring& line : entry.Lines) {
      AddLine(line, lvNormal);
      chars += line.size() + 2 + kLineChars;
    }
    PopFront();
    return chars;
  }
  if (entry.Dropped > 0) {
    const std::wstring notice = DropNotice(entry.Dropped);
    AddLine(notice, lvNormal);
    PopFront();
    return notice.size() + 2 + kLineChars;
  }
  const std::size_t chars = entry.Arrival.Hex ? AppendHexRows(entry, room) : AppendText(entry);
  if (FFrontOffset >= entry.Data.size()) {
    ++(FRefused ? FCounts.Dropped : FCounts.Shown);
    PopFront();
  }
  return chars;
}

std::size_t TLogFeed::AppendText(const TEntry& entry) {
  // (A zero byte is never part of a multi-byte character: it decodes to a zero of its own.)
  std::wstring text = DecodeDatagram(entry.Data, entry.Arrival.Charset);
  std::replace(text.begin(), text.end(), L'\0', L'\u2400');
  const std::wstring_view whole(text);
  std::size_t end = whole.find(L"\r\n");
  // Every line of the datagram takes the level of its first line (the view colours them all).
  const TLogLevel level = LevelOf(whole.substr(0, end));
  FFrontOffset = entry.Data.size();
  if (!entry.Arrival.Columns.Any()) {
    AddLine(whole, level);
    return whole.size() + 2 + kLineChars;
  }
  // The columns before the first line, and the indent of the same width before the others.
  const std::wstring columns = entry.Arrival.ColumnsText();
  const std::wstring indent(columns.size(), L' ');
  std::wstring line;
  std::size_t chars = 0;
  for (std::size_t start = 0;; start = end + 2, end = whole.find(L"\r\n", start)) {
    const std::wstring_view piece = whole.substr(start, end == std::wstring_view::npos ? whole.npos : end - start);
    line.assign(start == 0 ? columns : indent).append(piece);
    AddLine(line, level);
    chars += line.size() + 2 + kLineChars;
    if (end == std::wstring_view::npos) break;
  }
  return chars;
}

std::size_t TLogFeed::AppendHexRows(const TEntry& entry, std::size_t room) {
  // Rows of eight bytes: a datagram cut at multiples of eight bytes gives the same rows as
  // the whole, so a large one is shown over several appends.
  const bool withColumns = entry.Arrival.Columns.Any();
  const std::wstring columns = withColumns ? entry.Arrival.ColumnsText() : std::wstring();
  const std::size_t rest = entry.Data.size() - FFrontOffset;
  const std::size_t rowChars = kHexRowChars + columns.size() + kLineChars;
  const std::size_t bytes = std::min(rest, std::max<std::size_t>(room / rowChars, 1) * 8);
  FRows.Clear();
  AddHexDump(&FRows, entry.Data.data() + FFrontOffset, static_cast<int>(bytes), 8);
  if (withColumns) {
    // The columns before the datagram's first row, the indent of the same width before the others.
    const std::wstring indent(columns.size(), L' ');
    std::wstring row;
    bool first = FFrontOffset == 0;
    for (const std::wstring& rowText : FRows.Lines()) {
      row.assign(first ? columns : indent).append(rowText);
      AddLine(row, lvNormal);
      first = false;
    }
  } else {
    for (const std::wstring& row : FRows.Lines()) AddLine(row, lvNormal);
  }
  FFrontOffset += bytes;
  return (bytes + 7) / 8 * rowChars;
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
