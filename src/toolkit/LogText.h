#pragma once
// The text of the log view, built to cost the same per appended line at any size.
//
// Characters live in large blocks that only grow at their end and never move once full: one
// byte per character while every character of a block is below U+0100 (ANSI text, hex rows),
// two bytes otherwise. The text is a sequence of runs, each a slice of one block, so that an
// edit anywhere splits a run and puts the new characters in the current block, and the undo
// keeps the removed runs instead of a copy. Each block keeps the positions of its line breaks
// (CR LF) in an array; each run knows its position and the breaks before it, so line to
// position and position to line are two binary searches. An append copies its characters
// once and touches only the last run; an edit costs the runs behind it (about one per
// megabyte of text, and a few per edit), never the lines or the characters of the text.
//
// Lines are as an edit control counts them: separated by CR LF, so there is always one line
// more than breaks, and a lone CR or LF is a character of its line. Widths are counted in
// cells of a fixed-pitch view: one per character, a tab up to the next multiple of kTabCells.
#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <deque>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TLogTextSnapshot;

// How a line of the log is drawn: decided once, when it is added.
enum TLineColour : std::uint8_t { lcNormal, lcError, lcWarning, lcDebug };

class TLogText {
public:
  using TPos = std::int64_t;
  static constexpr TPos kTabCells = 8;

  // Characters a block takes before the next one starts: large enough that a text of a
  // gigabyte has a thousand, small enough that a wide block (two bytes each) stays cheap.
  static constexpr std::uint32_t kBlockChars = 1u << 20;

  // blockChars: the block size (tests make it small, so that blocks fill soon).
  explicit TLogText(std::uint32_t blockChars = kBlockChars);
  ~TLogText();
  TLogText(const TLogText&) = delete;
  TLogText& operator=(const TLogText&) = delete;

  TPos Length() const noexcept { return FLength; }
  TPos LineCount() const noexcept { return FBreakCount + 1; }
  // Position of a line's first character (line clamped to the lines there are).
  TPos LineStart(TPos line) const;
  // Position behind a line's last character: its break, or the end of the text.
  TPos LineEnd(TPos line) const;
  TPos LineLength(TPos line) const { return LineEnd(line) - LineStart(line); }
  // The line a position belongs to (position clamped to 0 ... Length); a position just behind a
  // break is the start of the next line.
  TPos LineOf(TPos pos) const;

  wchar_t At(TPos pos) const;
  // Copies count characters from pos (both clamped to the text); returns how many.
  TPos Read(TPos pos, TPos count, wchar_t* out) const;
  std::wstring Substr(TPos pos, TPos count) const;
  std::wstring Line(TPos line) const { return Substr(LineStart(line), LineLength(line)); }

  // Calls f(const char* narrow, const wchar_t* wide, size_t n) for the slices that hold the
  // characters pos ... pos + count, in order; one of narrow and wide is null (narrow characters
  // are their code as an unsigned byte). f returns false to stop.
  template <class F>
  void ForEachSlice(TPos pos, TPos count, F&& f) const;

  // The text as it stands now, to be read on another thread while this one goes on changing.
  TLogTextSnapshot Snapshot() const;

  // Counts the changes other than appends (edits, undo, clear): what was read of the text
  // before a change of the revision may have moved; appends leave it as it stands.
  std::uint64_t Revision() const noexcept { return FRevision; }

  std::size_t BlockCount() const noexcept { return FBlocks.size(); }
  // Memory the text holds: blocks, their line breaks and the runs.
  std::size_t BytesHeld() const noexcept;
  // A ceiling on BytesHeld (0: none): a block that would pass it fails to allocate
  // (std::bad_alloc), as when memory runs out.
  void SetMemoryCap(std::size_t bytes) noexcept { FMemoryCap = bytes; }
  std::size_t MemoryCap() const noexcept { return FMemoryCap; }

  // ---- widths in cells ----
  // The widest line there has been since the text was last emptied (edits never shrink it).
  TPos WidestLine() const noexcept { return FWidest; }
  TPos LineCells(TPos line) const { return CellsBetween(LineStart(line), LineEnd(line)); }
  // The cell where the character at pos begins, counted from the start of its line.
  TPos CellOf(TPos pos) const;
  // The position in a line whose cell boundary lies nearest to the cell (end of the line beyond it).
  TPos PosAtCell(TPos line, TPos cell) const;

  // ---- changes ----
  // Appends text at the end; the undo stays as it was (it refers to places before the end).
  // When memory runs out (std::bad_alloc), the text is as it was before.
  void Append(std::wstring_view text) { Append({text}); }
  // Appends the pieces one after the other, as one text (a line and its break: no string made).
  void Append(std::initializer_list<std::wstring_view> pieces);
  // Where to cut the oldest text so that at least minLines lines go and the memory of the
  // blocks before the cut can be freed: the first line start behind the end of the run that
  // holds the minLines-th line's break (a line that crosses into the next block goes whole).
  // Within the run still being written no block can be freed: there the cut is that line start
  // itself. Never inside a line: in a text of one line, nothing can go (0).
  TPos FrontCut(TPos minLines) const;
  // Removes the characters before pos, and frees the blocks nothing refers to any more (a
  // snapshot taken before keeps its own). Costs the runs and blocks, never the characters or
  // the lines. An edit: the undo is emptied.
  void RemoveFront(TPos pos);
  // Replaces count characters at pos by text. An undoable edit is remembered for Undo, joined
  // with the one before as an edit control joins typing, deleting and backspacing; any other
  // edit forgets the undo.
  void Replace(TPos pos, TPos count, std::wstring_view text, bool undoable);
  bool CanUndo() const noexcept { return FUndo.Inserted > 0 || !FUndo.Removed.empty(); }
  struct TRange {
    TPos Pos = 0, Length = 0;
  };
  // The characters the next Undo replaces.
  TRange UndoRange() const noexcept { return {FUndo.Pos, FUndo.Inserted}; }
  // Puts back what the last undoable edits replaced; that is an undoable edit itself, so a
  // second Undo redoes them. Returns where the text put back now stands.
  TRange Undo();
  void EmptyUndo() noexcept;
  // Empties the text and frees its blocks.
  void Clear() noexcept;

private:
  struct TBlock;
  struct TRun {
    TBlock* Block;
    std::uint32_t Start;   // in the block
    std::uint32_t Length;
    bool Seam;             // starts with the LF of a CR LF whose CR ends the run before
    TPos Pos;              // in the text
    TPos BreaksBefore;     // line breaks in the text before the run
  };
  struct TUndo {
    TPos Pos = 0;
    TPos Inserted = 0;            // characters the edits put at Pos
    std::vector<TRun> Removed;    // what they took away from Pos
  };

  static wchar_t CharIn(const TBlock& block, std::uint32_t at) noexcept;
  static TPos RunBreaks(const TRun& run) noexcept;
  // The run holding pos (0 <= pos < Length).
  std::size_t RunAt(TPos pos) const noexcept;
  // Splits runs so that one starts at pos; returns its index (the run count at the end).
  std::size_t SplitAt(TPos pos);
  // Writes text into blocks, as runs in text order behind runs (a slice that goes on where
  // the last of them ends in its block lengthens it; positions are not set).
  void Write(std::wstring_view text, std::vector<TRun>& runs);
  TBlock& WritableBlock(bool wide);
  std::unique_ptr<std::uint8_t[]> NewBlockBytes(std::size_t bytes) const;
  // Keeps what an undoable edit replaced, joined with the edits before as an edit control does.
  void RememberForUndo(TPos pos, TPos count, TPos inserted, std::vector<TRun> removed);
  // Puts runs in place of count characters at pos; returns the runs taken out.
  std::vector<TRun> Splice(TPos pos, TPos count, const std::vector<TRun>& runs);
  // The seam flag of a run, from the run before it.
  void FixSeam(std::size_t index) noexcept;
  // Positions and break counts of the runs from one on, and the totals.
  void Renumber(std::size_t from) noexcept;
  TPos TotalOf(const std::vector<TRun>& runs) const noexcept;
  // Widths of the lines a change of length characters at pos touched, for the widest line.
  void MeasureChange(TPos pos, TPos length);
  TPos CellsBetween(TPos from, TPos to) const;

  std::uint32_t FBlockChars;
  std::vector<std::shared_ptr<TBlock>> FBlocks;  // shared with snapshots
  std::vector<TRun> FRuns;
  TPos FLength = 0;
  TPos FBreakCount = 0;
  TPos FWidest = 0;
  TPos FLastLineCells = 0;  // cells of the last line: where an append goes on
  std::uint64_t FRevision = 0;
  std::size_t FMemoryCap = 0;
  TUndo FUndo;
};

// The colours of a text's lines. Only lines with a colour are recorded, sorted by line, so a
// lookup is a binary search; the lines of all records move at once by one number (the oldest
// lines removed), those behind an edit by a walk over the smaller side.
class TLogLineColours {
public:
  using TPos = TLogText::TPos;

  TLineColour At(TPos line) const noexcept;
  // Records a line's colour (lcNormal: none).
  void Set(TPos line, TLineColour colour);
  // Forgets the colours of the lines first ... last.
  void Remove(TPos first, TPos last) noexcept;
  // The lines first ... last were replaced by insertedBreaks + 1 lines. The line the edit
  // leaves in place keeps its colour (the one the edit begins in, or, when the edit begins at a
  // line's start, the one its end lies in: text pushed down by a line break takes its colour
  // along); the other lines of the range lose theirs, the lines behind move.
  void Replaced(TPos first, TPos last, bool fromLineStart, TPos insertedBreaks) noexcept;
  // The first removedLines lines were removed and addedLines put in front of the rest.
  void RemovedFront(TPos removedLines, TPos addedLines) noexcept;
  void Clear() noexcept;
  std::size_t Count() const noexcept { return FLines.size(); }
  std::size_t BytesHeld() const noexcept { return FLines.size() * sizeof(TEntry); }

private:
  struct TEntry {
    TPos Line;  // plus FShift: the line it colours
    TLineColour Colour;
  };
  std::deque<TEntry>::iterator Find(TPos line) noexcept;
  // Lines from line on move by delta.
  void Shift(TPos line, TPos delta) noexcept;

  std::deque<TEntry> FLines;
  TPos FShift = 0;
};

// The text as it stood when it was taken, readable on any thread while the text goes on changing
// (saving or copying a large view while it keeps receiving). The blocks before the last are full
// and never change again, so they are shared; what the last block holds is copied (a block at
// most).
class TLogTextSnapshot {
public:
  using TPos = TLogText::TPos;
  TPos Length() const noexcept { return FLength; }
  // Copies count characters from pos (both clamped to the text); returns how many.
  TPos Read(TPos pos, TPos count, wchar_t* out) const;

private:
  friend class TLogText;
  struct TPiece {
    TPos Pos;               // in the text
    const char* Narrow;     // one of Narrow and Wide points at the characters
    const wchar_t* Wide;
    std::size_t Length;
  };
  std::vector<std::shared_ptr<const void>> FShared;  // keeps the shared blocks alive
  std::vector<wchar_t> FCopied;                      // its buffer stays put when the snapshot moves
  std::vector<TPiece> FPieces;
  TPos FLength = 0;
};

// Calls f with the characters pos ... pos + count of a text or a snapshot, as wide text in
// slices of 64 K: a text of a gigabyte is saved or copied without a whole copy of it.
template <class TText, class F>
void ReadInSlices(const TText& text, TLogText::TPos pos, TLogText::TPos count, F&& f) {
  constexpr TLogText::TPos kSlice = 1 << 16;
  std::wstring slice(static_cast<std::size_t>(std::clamp<TLogText::TPos>(count, 0, kSlice)), L'\0');
  for (TLogText::TPos at = pos; at < pos + count; at += kSlice) {
    const TLogText::TPos read = text.Read(at, std::min(kSlice, pos + count - at), slice.data());
    f(std::wstring_view(slice.data(), static_cast<std::size_t>(read)));
  }
}

// ---- inline parts ----

struct TLogText::TBlock {
  std::unique_ptr<std::uint8_t[]> Bytes;  // Capacity characters, one or two bytes each
  std::uint32_t Capacity = 0;
  std::uint32_t Length = 0;
  bool Wide = false;
  std::vector<std::uint32_t> Breaks;  // positions behind each CR LF pair of the block
  const char* Narrow() const noexcept { return reinterpret_cast<const char*>(Bytes.get()); }
  const wchar_t* WideChars() const noexcept { return reinterpret_cast<const wchar_t*>(Bytes.get()); }
};

template <class F>
void TLogText::ForEachSlice(TPos pos, TPos count, F&& f) const {
  pos = std::clamp<TPos>(pos, 0, FLength);
  count = std::clamp<TPos>(count, 0, FLength - pos);
  if (count == 0) return;
  for (std::size_t i = RunAt(pos); count > 0 && i < FRuns.size(); ++i) {
    const TRun& run = FRuns[i];
    const TPos skip = pos - run.Pos;
    const auto n = static_cast<std::size_t>(std::min<TPos>(run.Length - skip, count));
    const std::size_t at = run.Start + static_cast<std::size_t>(skip);
    const bool more = run.Block->Wide ? f(static_cast<const char*>(nullptr), run.Block->WideChars() + at, n)
                                      : f(run.Block->Narrow() + at, static_cast<const wchar_t*>(nullptr), n);
    if (!more) return;
    pos += static_cast<TPos>(n);
    count -= static_cast<TPos>(n);
  }
}
