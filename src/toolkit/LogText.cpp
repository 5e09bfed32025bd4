#include "toolkit/LogText.h"

#include "base/BackgroundWork.h"

#include <chrono>
#include <cstring>
#include <new>
#include <iterator>
#include <thread>

namespace {

using TPos = TLogText::TPos;

// The first block of a text starts small and doubles while it fills, so that a short view
// holds little memory.
constexpr std::uint32_t kFirstBlockChars = 1u << 14;
// Clearing gives this much back at once; more goes on a thread of its own.
constexpr std::size_t kBlocksFreedAtOnce = 16;
constexpr std::size_t kEntriesFreedAtOnce = std::size_t{1} << 16;

TPos NextCell(TPos cell, wchar_t c) noexcept {
  return c == L'\t' ? (cell / TLogText::kTabCells + 1) * TLogText::kTabCells : cell + 1;
}

const char* FindTab(const char* p, std::size_t n) noexcept {
  return static_cast<const char*>(std::memchr(p, '\t', n));
}
const wchar_t* FindTab(const wchar_t* p, std::size_t n) noexcept { return std::wmemchr(p, L'\t', n); }

// The cell behind n characters that begin at cell: a stretch without tabs at once.
template <class TChar>
TPos AdvanceCells(TPos cell, const TChar* p, std::size_t n) noexcept {
  const TChar* end = p + n;
  while (p < end) {
    const TChar* tab = FindTab(p, static_cast<std::size_t>(end - p));
    if (!tab) return cell + (end - p);
    cell = NextCell(cell + (tab - p), L'\t');
    p = tab + 1;
  }
  return cell;
}

}  // namespace

TLogText::TLogText(std::uint32_t blockChars) : FBlockChars(std::max(blockChars, 2u)) {}
TLogText::~TLogText() = default;

wchar_t TLogText::CharIn(const TBlock& block, std::uint32_t at) noexcept {
  return block.Wide ? block.WideChars()[at] : static_cast<wchar_t>(static_cast<unsigned char>(block.Narrow()[at]));
}

TPos TLogText::RunBreaks(const TRun& run) noexcept {
  // Breaks that lie wholly in the run: the CR at least two characters before the position.
  const auto& breaks = run.Block->Breaks;
  const auto from = std::lower_bound(breaks.begin(), breaks.end(), run.Start + 2);
  const auto to = std::upper_bound(from, breaks.end(), run.Start + run.Length);
  return (to - from) + (run.Seam ? 1 : 0);
}

std::size_t TLogText::RunAt(TPos pos) const noexcept {
  const auto it = std::ranges::upper_bound(FRuns, pos, {}, &TRun::Pos);
  return static_cast<std::size_t>(std::distance(FRuns.begin(), it)) - 1;
}

TPos TLogText::LineStart(TPos line) const {
  const TPos k = std::clamp<TPos>(line, 0, FBreakCount);
  if (k == 0) return 0;
  // The run that holds the k-th break: the last one with fewer breaks before it.
  const auto it = std::ranges::upper_bound(FRuns, k - 1, {}, &TRun::BreaksBefore);
  const TRun& run = *std::prev(it);
  TPos nth = k - run.BreaksBefore;  // 1 for the run's first break
  if (run.Seam) {
    if (nth == 1) return run.Pos + 1;
    --nth;
  }
  const auto& breaks = run.Block->Breaks;
  const auto first = std::lower_bound(breaks.begin(), breaks.end(), run.Start + 2);
  return run.Pos + (*(first + (nth - 1)) - run.Start);
}

TPos TLogText::LineEnd(TPos line) const {
  if (line >= FBreakCount) return FLength;
  return LineStart(line + 1) - 2;
}

TPos TLogText::LineOf(TPos pos) const {
  pos = std::clamp<TPos>(pos, 0, FLength);
  if (pos == 0) return 0;
  // The run that holds the character before pos: breaks up to pos count.
  const auto it = std::ranges::lower_bound(FRuns, pos, {}, &TRun::Pos);
  const TRun& run = *std::prev(it);
  const TPos local = pos - run.Pos;  // 1 ... run.Length
  const auto& breaks = run.Block->Breaks;
  const auto from = std::lower_bound(breaks.begin(), breaks.end(), run.Start + 2);
  const auto to = std::upper_bound(breaks.begin(), breaks.end(), run.Start + static_cast<std::uint32_t>(local));
  return run.BreaksBefore + (run.Seam ? 1 : 0) + std::max<TPos>(to - from, 0);
}

wchar_t TLogText::At(TPos pos) const {
  if (pos < 0 || pos >= FLength) return 0;
  const TRun& run = FRuns[RunAt(pos)];
  return CharIn(*run.Block, run.Start + static_cast<std::uint32_t>(pos - run.Pos));
}

TPos TLogText::Read(TPos pos, TPos count, wchar_t* out) const {
  TPos copied = 0;
  ForEachSlice(pos, count, [&](const char* narrow, const wchar_t* wide, std::size_t n) {
    if (wide) {
      std::wmemcpy(out + copied, wide, n);
    } else {
      wchar_t* to = out + copied;
      for (std::size_t i = 0; i < n; ++i) to[i] = static_cast<unsigned char>(narrow[i]);
    }
    copied += static_cast<TPos>(n);
    return true;
  });
  return copied;
}

TLogTextSnapshot TLogText::Snapshot() const {
  TLogTextSnapshot snapshot;
  snapshot.FLength = FLength;
  if (FBlocks.empty()) return snapshot;
  const TBlock* last = FBlocks.back().get();
  snapshot.FShared.assign(FBlocks.begin(), FBlocks.end() - 1);
  std::size_t copied = 0;
  for (const TRun& run : FRuns)
    if (run.Block == last) copied += run.Length;
  snapshot.FCopied.resize(copied);
  snapshot.FPieces.reserve(FRuns.size());
  copied = 0;
  for (const TRun& run : FRuns) {
    TLogTextSnapshot::TPiece piece{run.Pos, nullptr, nullptr, run.Length};
    if (run.Block == last) {
      // The last block may still grow into new memory: its characters are copied.
      wchar_t* to = snapshot.FCopied.data() + copied;
      for (std::uint32_t i = 0; i < run.Length; ++i) to[i] = CharIn(*last, run.Start + i);
      piece.Wide = to;
      copied += run.Length;
    } else if (run.Block->Wide) {
      piece.Wide = run.Block->WideChars() + run.Start;
    } else {
      piece.Narrow = run.Block->Narrow() + run.Start;
    }
    snapshot.FPieces.push_back(piece);
  }
  return snapshot;
}

TLogTextSnapshot::TPos TLogTextSnapshot::Read(TPos pos, TPos count, wchar_t* out) const {
  pos = std::clamp<TPos>(pos, 0, FLength);
  count = std::clamp<TPos>(count, 0, FLength - pos);
  if (count == 0) return 0;
  auto piece = std::upper_bound(FPieces.begin(), FPieces.end(), pos,
                                [](TPos at, const TPiece& p) { return at < p.Pos; });
  TPos copied = 0;
  for (--piece; copied < count; ++piece) {
    const auto skip = static_cast<std::size_t>(pos + copied - piece->Pos);
    const auto n = std::min(piece->Length - skip, static_cast<std::size_t>(count - copied));
    wchar_t* to = out + copied;
    if (piece->Wide) {
      std::wmemcpy(to, piece->Wide + skip, n);
    } else {
      for (std::size_t i = 0; i < n; ++i) to[i] = static_cast<unsigned char>(piece->Narrow[skip + i]);
    }
    copied += static_cast<TPos>(n);
  }
  return copied;
}

std::wstring TLogText::Substr(TPos pos, TPos count) const {
  pos = std::clamp<TPos>(pos, 0, FLength);
  count = std::clamp<TPos>(count, 0, FLength - pos);
  std::wstring text(static_cast<std::size_t>(count), L'\0');
  Read(pos, count, text.data());
  return text;
}

std::size_t TLogText::BytesHeld() const noexcept {
  std::size_t bytes = FRuns.capacity() * sizeof(TRun) + FBlocks.capacity() * sizeof(FBlocks[0]);
  for (const auto& block : FBlocks)
    bytes += sizeof(TBlock) + std::size_t{block->Capacity} * (block->Wide ? 2 : 1) +
             block->Breaks.capacity() * sizeof(block->Breaks[0]);
  return bytes;
}

// ---- widths ----

TPos TLogText::CellsBetween(TPos from, TPos to) const {
  TPos cell = 0;
  ForEachSlice(from, to - from, [&](const char* narrow, const wchar_t* wide, std::size_t n) {
    cell = wide ? AdvanceCells(cell, wide, n) : AdvanceCells(cell, narrow, n);
    return true;
  });
  return cell;
}

TPos TLogText::CellOf(TPos pos) const {
  pos = std::clamp<TPos>(pos, 0, FLength);
  return CellsBetween(LineStart(LineOf(pos)), pos);
}

TPos TLogText::PosAtCell(TPos line, TPos cell) const {
  const TPos start = LineStart(line), end = LineEnd(line);
  cell = std::max<TPos>(cell, 0);
  TPos pos = start, at = 0;  // a position and the cell where it begins
  bool found = false;
  auto scan = [&](const auto* chars, std::size_t n) {
    for (std::size_t i = 0; i < n;) {
      // A stretch without tabs is one cell per character.
      const auto* tab = FindTab(chars + i, n - i);
      const auto plain = static_cast<TPos>(tab ? tab - (chars + i) : n - i);
      if (cell <= at + plain) {
        pos += cell - at;
        return found = true;
      }
      pos += plain;
      at += plain;
      i += static_cast<std::size_t>(plain);
      if (!tab) break;
      const TPos next = NextCell(at, L'\t');  // a tab: the nearer of its two edges
      if (cell < next) {
        pos += cell - at <= next - cell ? 0 : 1;
        return found = true;
      }
      ++pos;
      at = next;
      ++i;
    }
    return false;
  };
  ForEachSlice(start, end - start, [&](const char* narrow, const wchar_t* wide, std::size_t n) {
    return !(wide ? scan(wide, n) : scan(narrow, n));
  });
  return found ? pos : end;
}

void TLogText::MeasureChange(TPos pos, TPos length) {
  // A CR just before the change and an LF just behind it may make a break there or part one.
  const TPos last = LineCount() - 1;
  const TPos lastLine = LineOf(pos + length + 1);
  for (TPos line = LineOf(pos - 1); line <= lastLine; ++line) {
    const TPos cells = LineCells(line);
    FWidest = std::max(FWidest, cells);
    if (line == last) FLastLineCells = cells;
  }
}

// ---- blocks and runs ----

std::unique_ptr<std::uint8_t[]> TLogText::NewBlockBytes(std::size_t bytes) const {
  if (FMemoryCap > 0 && BytesHeld() + bytes > FMemoryCap) throw std::bad_alloc();
  return std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
}

TLogText::TBlock& TLogText::WritableBlock(bool wide) {
  if (FBlocks.empty() || FBlocks.back()->Length == FBlockChars) {
    auto block = std::make_shared<TBlock>();
    // After a full block the text is evidently large: the next one is made full size at once.
    block->Capacity = FBlocks.empty() ? std::min(kFirstBlockChars, FBlockChars) : FBlockChars;
    block->Wide = wide;
    block->Bytes = NewBlockBytes(block->Capacity * (wide ? 2u : 1u));
    FBlocks.push_back(std::move(block));
  }
  TBlock& block = *FBlocks.back();
  const bool grow = block.Length == block.Capacity;
  if (grow || (wide && !block.Wide)) {
    // Not full yet: the block may still move.
    const std::uint32_t capacity = grow ? std::min(block.Capacity * 2, FBlockChars) : block.Capacity;
    auto bytes = NewBlockBytes(capacity * (block.Wide || wide ? 2u : 1u));
    if (block.Wide || !wide) {
      std::memcpy(bytes.get(), block.Bytes.get(), block.Length * (block.Wide ? 2u : 1u));
    } else {
      auto* to = reinterpret_cast<wchar_t*>(bytes.get());
      for (std::uint32_t i = 0; i < block.Length; ++i) to[i] = static_cast<unsigned char>(block.Narrow()[i]);
      block.Wide = true;
    }
    block.Bytes = std::move(bytes);
    block.Capacity = capacity;
  }
  return block;
}

void TLogText::Write(std::wstring_view text, std::vector<TRun>& runs) {
  for (std::size_t i = 0; i < text.size();) {
    TBlock* block = &WritableBlock(false);
    const std::uint32_t start = block->Length;
    const std::size_t n = std::min<std::size_t>(text.size() - i, block->Capacity - start);
    const wchar_t* from = text.data() + i;
    std::size_t k = 0;
    if (!block->Wide) {
      std::uint8_t* to = block->Bytes.get() + start;
      for (; k < n && from[k] <= 0xFF; ++k) to[k] = static_cast<std::uint8_t>(from[k]);
      if (k < n) {
        // A character beyond U+00FF: the block takes two bytes per character from now on.
        block->Length = start + static_cast<std::uint32_t>(k);
        block = &WritableBlock(true);
      }
    }
    if (k < n) std::wmemcpy(reinterpret_cast<wchar_t*>(block->Bytes.get()) + start + k, from + k, n - k);
    // The line breaks written, and the one a CR already in the block makes with a leading LF.
    for (const wchar_t* lf = std::wmemchr(from, L'\n', n); lf; lf = std::wmemchr(lf + 1, L'\n', from + n - lf - 1)) {
      const std::size_t at = static_cast<std::size_t>(lf - from);
      const wchar_t before = at > 0 ? from[at - 1] : start > 0 ? CharIn(*block, start - 1) : L'\0';
      if (before == L'\r') block->Breaks.push_back(start + static_cast<std::uint32_t>(at) + 1);
    }
    block->Length = start + static_cast<std::uint32_t>(n);
    if (block->Length == FBlockChars) block->Breaks.shrink_to_fit();  // full: it takes no more
    if (!runs.empty() && runs.back().Block == block && runs.back().Start + runs.back().Length == start)
      runs.back().Length += static_cast<std::uint32_t>(n);
    else
      runs.push_back(TRun{block, start, static_cast<std::uint32_t>(n), false, 0, 0});
    i += n;
  }
}

void TLogText::FixSeam(std::size_t index) noexcept {
  TRun& run = FRuns[index];
  if (index == 0) {
    run.Seam = false;
    return;
  }
  const TRun& before = FRuns[index - 1];
  run.Seam = CharIn(*before.Block, before.Start + before.Length - 1) == L'\r' && CharIn(*run.Block, run.Start) == L'\n';
}

void TLogText::Renumber(std::size_t from) noexcept {
  for (std::size_t i = from; i < FRuns.size(); ++i) {
    TRun& run = FRuns[i];
    if (i == 0) {
      run.Pos = 0;
      run.BreaksBefore = 0;
    } else {
      const TRun& before = FRuns[i - 1];
      run.Pos = before.Pos + before.Length;
      run.BreaksBefore = before.BreaksBefore + RunBreaks(before);
    }
  }
  if (FRuns.empty()) {
    FLength = FBreakCount = 0;
    return;
  }
  const TRun& last = FRuns.back();
  FLength = last.Pos + last.Length;
  FBreakCount = last.BreaksBefore + RunBreaks(last);
}

std::size_t TLogText::SplitAt(TPos pos) {
  if (pos >= FLength) return FRuns.size();
  const std::size_t i = RunAt(pos);
  if (FRuns[i].Pos == pos) return i;
  TRun right = FRuns[i];
  const auto offset = static_cast<std::uint32_t>(pos - right.Pos);
  FRuns[i].Length = offset;
  right.Start += offset;
  right.Length -= offset;
  right.Pos = pos;
  FRuns.insert(FRuns.begin() + static_cast<std::ptrdiff_t>(i) + 1, right);
  // A cut between CR and LF keeps the break as a seam; the break counts stay as they were.
  FixSeam(i + 1);
  FRuns[i + 1].BreaksBefore = FRuns[i].BreaksBefore + RunBreaks(FRuns[i]);
  return i + 1;
}

TPos TLogText::TotalOf(const std::vector<TRun>& runs) const noexcept {
  TPos total = 0;
  for (const TRun& run : runs) total += run.Length;
  return total;
}

std::vector<TLogText::TRun> TLogText::Splice(TPos pos, TPos count, const std::vector<TRun>& runs) {
  // Room for two splits and the new runs first: when memory runs out, nothing has changed yet.
  FRuns.reserve(FRuns.size() + runs.size() + 2);
  ++FRevision;
  std::size_t first = SplitAt(pos);
  const std::size_t last = SplitAt(pos + count);
  std::vector<TRun> removed(FRuns.begin() + static_cast<std::ptrdiff_t>(first),
                            FRuns.begin() + static_cast<std::ptrdiff_t>(last));
  FRuns.erase(FRuns.begin() + static_cast<std::ptrdiff_t>(first), FRuns.begin() + static_cast<std::ptrdiff_t>(last));
  FRuns.insert(FRuns.begin() + static_cast<std::ptrdiff_t>(first), runs.begin(), runs.end());
  std::size_t behind = first + runs.size();  // the first run after the new ones
  for (std::size_t i = first; i <= behind && i < FRuns.size(); ++i) FixSeam(i);
  // Slices that meet again in their block become one run (typing, undo), the far end first.
  auto mergeable = [this](std::size_t i) {
    return i > 0 && i < FRuns.size() && FRuns[i - 1].Block == FRuns[i].Block &&
           FRuns[i - 1].Start + FRuns[i - 1].Length == FRuns[i].Start;
  };
  if (behind > first && mergeable(behind)) {
    FRuns[behind - 1].Length += FRuns[behind].Length;
    FRuns.erase(FRuns.begin() + static_cast<std::ptrdiff_t>(behind));
  }
  if (mergeable(first)) {
    FRuns[first - 1].Length += FRuns[first].Length;
    FRuns.erase(FRuns.begin() + static_cast<std::ptrdiff_t>(first));
  }
  Renumber(first > 0 ? first - 1 : 0);
  return removed;
}

// ---- changes ----

void TLogText::Append(std::initializer_list<std::wstring_view> pieces) {
  // Widths: the text goes on in the last line; a CR is a character of its own until an LF
  // makes it a break. They count once the characters are in.
  TPos widest = FWidest;
  TPos cell = FLastLineCells;
  wchar_t before = FLength > 0 ? At(FLength - 1) : L'\0';
  for (const std::wstring_view piece : pieces) {
    for (const wchar_t c : piece) {
      if (c == L'\n' && before == L'\r') {
        widest = std::max(widest, cell - 1);
        cell = 0;
      } else {
        cell = NextCell(cell, c);
      }
      before = c;
    }
  }

  // The last run may go on; the runs behind it are new. What memory running out leaves half
  // written is taken back: the new blocks, the characters and breaks added to the last one.
  const std::size_t last = FRuns.empty() ? 0 : FRuns.size() - 1;
  const std::size_t count = FRuns.size();
  const std::uint32_t lastRunLength = FRuns.empty() ? 0 : FRuns.back().Length;
  const std::size_t blocks = FBlocks.size();
  TBlock* lastBlock = FBlocks.empty() ? nullptr : FBlocks.back().get();
  const std::uint32_t lastBlockLength = lastBlock ? lastBlock->Length : 0;
  const std::size_t lastBlockBreaks = lastBlock ? lastBlock->Breaks.size() : 0;
  try {
    for (const std::wstring_view piece : pieces) Write(piece, FRuns);
  } catch (...) {
    FRuns.erase(FRuns.begin() + static_cast<std::ptrdiff_t>(count), FRuns.end());
    if (!FRuns.empty()) FRuns.back().Length = lastRunLength;
    FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(blocks), FBlocks.end());
    if (lastBlock) {
      lastBlock->Length = lastBlockLength;
      lastBlock->Breaks.resize(lastBlockBreaks);
    }
    throw;
  }
  for (std::size_t i = count; i < FRuns.size(); ++i) FixSeam(i);
  Renumber(last);
  FWidest = std::max(widest, cell);
  FLastLineCells = cell;
}

TPos TLogText::FrontCut(TPos minLines) const {
  minLines = std::clamp<TPos>(minLines, 0, FBreakCount);
  if (minLines == 0) return 0;
  const TPos exact = LineStart(minLines);
  const std::size_t run = RunAt(exact - 1);
  if (run + 1 == FRuns.size()) return exact;
  const TPos end = FRuns[run].Pos + FRuns[run].Length;
  const TPos line = LineOf(end);
  const TPos start = LineStart(line);
  // The line the run's end lies in goes whole, unless it is the last one.
  return start == end || line == FBreakCount ? start : LineStart(line + 1);
}

void TLogText::RemoveFront(TPos pos) {
  pos = std::clamp<TPos>(pos, 0, FLength);
  if (pos == 0) return;
  // What may fail to allocate comes first, so that running out of memory changes nothing.
  FRuns.reserve(FRuns.size() + 1);
  const std::size_t firstKept = pos < FLength ? RunAt(pos) : FRuns.size();
  std::vector<const TBlock*> kept;
  kept.reserve(FRuns.size() - firstKept);
  for (std::size_t i = firstKept; i < FRuns.size(); ++i) kept.push_back(FRuns[i].Block);
  std::ranges::sort(kept);

  EmptyUndo();
  ++FRevision;
  const std::size_t first = SplitAt(pos);
  FRuns.erase(FRuns.begin(), FRuns.begin() + static_cast<std::ptrdiff_t>(first));
  if (!FRuns.empty()) FixSeam(0);
  Renumber(0);
  FLastLineCells = LineCells(FBreakCount);
  // The last block is the one written next, even when nothing refers to it.
  const TBlock* writable = FBlocks.empty() ? nullptr : FBlocks.back().get();
  std::erase_if(FBlocks, [&](const std::shared_ptr<TBlock>& block) {
    return block.get() != writable && !std::ranges::binary_search(kept, block.get());
  });
}

void TLogText::Replace(TPos pos, TPos count, std::wstring_view text, bool undoable) {
  pos = std::clamp<TPos>(pos, 0, FLength);
  count = std::clamp<TPos>(count, 0, FLength - pos);
  if (count == 0 && text.empty()) return;
  std::vector<TRun> written;
  Write(text, written);
  std::vector<TRun> removed = Splice(pos, count, written);
  const auto inserted = static_cast<TPos>(text.size());
  MeasureChange(pos, inserted);
  if (!undoable) {
    EmptyUndo();
    return;
  }
  try {
    RememberForUndo(pos, count, inserted, std::move(removed));
  } catch (const std::bad_alloc&) {
    EmptyUndo();  // the edit stands; only its undo is lost
  }
}

void TLogText::RememberForUndo(TPos pos, TPos count, TPos inserted, std::vector<TRun> removed) {
  // As an edit control keeps its undo: deleting on at the same place (Delete) or just before it
  // (Backspace) adds to what is kept; typing on behind what was typed adds to it.
  if (count > 0) {
    const bool deleting = FUndo.Inserted == 0 && !FUndo.Removed.empty();
    if (deleting && pos == FUndo.Pos) {
      FUndo.Removed.insert(FUndo.Removed.end(), removed.begin(), removed.end());
    } else if (deleting && pos + count == FUndo.Pos) {
      FUndo.Removed.insert(FUndo.Removed.begin(), removed.begin(), removed.end());
      FUndo.Pos = pos;
    } else {
      FUndo.Removed = std::move(removed);
      FUndo.Pos = pos;
    }
    FUndo.Inserted = 0;
  }
  if (inserted > 0) {
    if (pos == FUndo.Pos || (FUndo.Inserted > 0 && pos == FUndo.Pos + FUndo.Inserted)) {
      FUndo.Inserted += inserted;
    } else {
      FUndo.Pos = pos;
      FUndo.Inserted = inserted;
      FUndo.Removed.clear();
    }
  }
}

TLogText::TRange TLogText::Undo() {
  if (!CanUndo()) return {};
  TUndo undo = std::move(FUndo);
  const TPos length = TotalOf(undo.Removed);
  std::vector<TRun> removed = Splice(undo.Pos, undo.Inserted, undo.Removed);
  MeasureChange(undo.Pos, length);
  FUndo = TUndo{undo.Pos, length, std::move(removed)};
  return {undo.Pos, length};
}

void TLogText::EmptyUndo() noexcept { FUndo = TUndo{}; }

void TLogText::Clear() noexcept {
  ++FRevision;
  FUndo = TUndo{};
  std::vector<TRun>().swap(FRuns);
  // A few blocks go at once; a view of many blocks is given back behind the window, a few at a
  // time: each block's memory goes back to the system, which holds off the window's thread
  // while it does.
  if (FBlocks.size() > kBlocksFreedAtOnce) {
    try {
      DisposeInBackground([blocks = std::move(FBlocks)]() mutable {
        while (!blocks.empty()) {
          blocks.pop_back();
          if (blocks.size() % kBlocksFreedAtOnce == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      });
    } catch (...) {
      // Given back here, with the work that held them.
    }
  }
  std::vector<std::shared_ptr<TBlock>>().swap(FBlocks);
  FLength = FBreakCount = FWidest = FLastLineCells = 0;
}

// ---- line colours ----

std::deque<TLogLineColours::TEntry>::iterator TLogLineColours::Find(TPos line) noexcept {
  return std::ranges::lower_bound(FLines, line - FShift, {}, &TEntry::Line);
}

TLineColour TLogLineColours::At(TPos line) const noexcept {
  const auto it = std::ranges::lower_bound(FLines, line - FShift, {}, &TEntry::Line);
  return it != FLines.end() && it->Line == line - FShift ? it->Colour : lcNormal;
}

void TLogLineColours::Set(TPos line, TLineColour colour) {
  const auto it = Find(line);
  const bool recorded = it != FLines.end() && it->Line == line - FShift;
  if (colour == lcNormal) {
    if (recorded) FLines.erase(it);
  } else if (recorded) {
    it->Colour = colour;
  } else {
    FLines.insert(it, TEntry{line - FShift, colour});
  }
}

void TLogLineColours::Remove(TPos first, TPos last) noexcept {
  if (first > last) return;
  FLines.erase(Find(first), Find(last + 1));
}

void TLogLineColours::Shift(TPos line, TPos delta) noexcept {
  if (delta == 0) return;
  const auto from = Find(line);
  if (from - FLines.begin() > FLines.end() - from) {
    for (auto it = from; it != FLines.end(); ++it) it->Line += delta;
  } else {
    // Fewer before: all move, and those before are put back.
    for (auto it = FLines.begin(); it != from; ++it) it->Line -= delta;
    FShift += delta;
  }
}

void TLogLineColours::Replaced(TPos first, TPos last, bool fromLineStart, TPos insertedBreaks) noexcept {
  const TPos delta = insertedBreaks - (last - first);
  if (fromLineStart) {
    Remove(first, last - 1);
    Shift(first, delta);
  } else {
    Remove(first + 1, last);
    Shift(first + 1, delta);
  }
}

void TLogLineColours::RemovedFront(TPos removedLines, TPos addedLines) noexcept {
  FLines.erase(FLines.begin(), Find(removedLines));
  FShift += addedLines - removedLines;
}

void TLogLineColours::Clear() noexcept {
  // Millions of coloured lines take as long to give back as the view's blocks.
  if (FLines.size() > kEntriesFreedAtOnce) DestroyInBackground(std::move(FLines));
  std::deque<TEntry>().swap(FLines);
  FShift = 0;
}
