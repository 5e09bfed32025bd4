// The log view's text against a plain model (one string, lines split naively): seeded random
// appends, edits, undos, clears and cuts of the oldest lines, every lookup checked after every
// step, with tiny blocks (so that runs and line breaks cross block boundaries all the time) and
// with the real block size and lines of 64 KB.
#include "support/TestSupport.h"
#include "toolkit/LogText.h"

#include <optional>
#include <random>

namespace {

using TPos = TLogText::TPos;

// The text as a plain string, with the edit control's rules for lines, widths and undo.
class TModel {
public:
  std::wstring Text;
  TPos Widest = 0;

  std::vector<TPos> LineStarts() const {
    std::vector<TPos> starts{0};
    for (std::size_t at = Text.find(L"\r\n"); at != std::wstring::npos; at = Text.find(L"\r\n", at + 2))
      starts.push_back(static_cast<TPos>(at + 2));
    return starts;
  }
  static TPos Cells(std::wstring_view line) {
    TPos cells = 0;
    for (wchar_t c : line) cells = c == L'\t' ? (cells / 8 + 1) * 8 : cells + 1;
    return cells;
  }
  // The widest line there has been: every line as it is now counts.
  void Measure() {
    const auto starts = LineStarts();
    for (std::size_t i = 0; i < starts.size(); ++i) {
      const TPos end = i + 1 < starts.size() ? starts[i + 1] - 2 : static_cast<TPos>(Text.size());
      Widest = std::max(Widest, Cells(std::wstring_view(Text).substr(static_cast<std::size_t>(starts[i]),
                                                                     static_cast<std::size_t>(end - starts[i]))));
    }
  }

  void Append(const std::wstring& text) {
    Text += text;
    Measure();
  }
  void Replace(TPos pos, TPos count, const std::wstring& text, bool undoable) {
    pos = std::clamp<TPos>(pos, 0, Size());
    count = std::clamp<TPos>(count, 0, Size() - pos);
    if (count == 0 && text.empty()) return;
    const std::wstring removed = Text.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(count));
    Text.replace(static_cast<std::size_t>(pos), static_cast<std::size_t>(count), text);
    Measure();
    if (!undoable) {
      FUndo = {};
      return;
    }
    if (count > 0) {
      const bool deleting = FUndo.Inserted == 0 && !FUndo.Removed.empty();
      if (deleting && pos == FUndo.Pos) {
        FUndo.Removed += removed;
      } else if (deleting && pos + count == FUndo.Pos) {
        FUndo.Removed.insert(0, removed);
        FUndo.Pos = pos;
      } else {
        FUndo.Removed = removed;
        FUndo.Pos = pos;
      }
      FUndo.Inserted = 0;
    }
    if (!text.empty()) {
      if (pos == FUndo.Pos || (FUndo.Inserted > 0 && pos == FUndo.Pos + FUndo.Inserted)) {
        FUndo.Inserted += static_cast<TPos>(text.size());
      } else {
        FUndo = {pos, static_cast<TPos>(text.size()), L""};
      }
    }
  }
  bool CanUndo() const { return FUndo.Inserted > 0 || !FUndo.Removed.empty(); }
  TLogText::TRange Undo() {
    if (!CanUndo()) return {};
    const TUndo undo = FUndo;
    const std::wstring taken =
        Text.substr(static_cast<std::size_t>(undo.Pos), static_cast<std::size_t>(undo.Inserted));
    Text.replace(static_cast<std::size_t>(undo.Pos), static_cast<std::size_t>(undo.Inserted), undo.Removed);
    Measure();
    FUndo = {undo.Pos, static_cast<TPos>(undo.Removed.size()), taken};
    return {undo.Pos, static_cast<TPos>(undo.Removed.size())};
  }
  void Clear() {
    Text.clear();
    Widest = 0;
    FUndo = {};
  }
  void RemoveFront(TPos pos) {
    if (pos == 0) return;
    Text.erase(0, static_cast<std::size_t>(pos));
    FUndo = {};
  }
  TPos Size() const { return static_cast<TPos>(Text.size()); }

private:
  struct TUndo {
    TPos Pos = 0, Inserted = 0;
    std::wstring Removed;
  } FUndo;
};

// Every lookup of the text against the model: all lines, and every position (or, in a long
// text, the positions around every line start and some at random).
void ExpectSame(const TLogText& text, const TModel& model, std::mt19937& random, const std::string& step) {
  SCOPED_TRACE(step);
  ASSERT_EQ(text.Length(), model.Size());
  ASSERT_TRUE(text.Substr(0, text.Length()) == model.Text);
  const std::vector<TPos> starts = model.LineStarts();
  ASSERT_EQ(text.LineCount(), static_cast<TPos>(starts.size()));
  EXPECT_EQ(text.WidestLine(), model.Widest);
  EXPECT_EQ(text.CanUndo(), model.CanUndo());
  std::vector<TPos> positions;
  for (std::size_t line = 0; line < starts.size(); ++line) {
    const TPos start = starts[line];
    const TPos end = line + 1 < starts.size() ? starts[line + 1] - 2 : model.Size();
    const auto l = static_cast<TPos>(line);
    ASSERT_EQ(text.LineStart(l), start) << "line " << line;
    ASSERT_EQ(text.LineEnd(l), end) << "line " << line;
    ASSERT_EQ(text.LineLength(l), end - start) << "line " << line;
    for (TPos p : {start - 1, start, start + 1, end}) positions.push_back(p);
  }
  if (model.Size() <= 4000) {
    for (TPos p = 0; p <= model.Size(); ++p) positions.push_back(p);
  } else {
    for (int i = 0; i < 2000; ++i) positions.push_back(static_cast<TPos>(random() % (model.Size() + 1)));
  }
  int cellChecks = 0;
  for (TPos p : positions) {
    if (p < 0 || p > model.Size()) continue;
    const TPos line = static_cast<TPos>(std::upper_bound(starts.begin(), starts.end(), p) - starts.begin()) - 1;
    ASSERT_EQ(text.LineOf(p), line) << "position " << p;
    ASSERT_EQ(text.At(p), p < model.Size() ? model.Text[static_cast<std::size_t>(p)] : L'\0') << "position " << p;
    if (++cellChecks > 300) continue;  // a cell is counted from the line's start: long lines are slow
    ASSERT_EQ(text.CellOf(p), TModel::Cells(std::wstring_view(model.Text).substr(
                                  static_cast<std::size_t>(starts[static_cast<std::size_t>(line)]),
                                  static_cast<std::size_t>(p - starts[static_cast<std::size_t>(line)]))))
        << "position " << p;
  }
  // The position nearest to a cell, as a click or a caret moving up or down finds it.
  for (int i = 0; i < 20; ++i) {
    const TPos line = static_cast<TPos>(random() % starts.size());
    const TPos start = starts[static_cast<std::size_t>(line)];
    const TPos end = text.LineEnd(line);
    const TPos cell = static_cast<TPos>(random() % (text.LineCells(line) + 3));
    TPos nearest = end, at = 0;
    for (TPos p = start; p < end; ++p) {
      const TPos next = model.Text[static_cast<std::size_t>(p)] == L'\t' ? (at / 8 + 1) * 8 : at + 1;
      if (cell <= at || cell < next) {
        nearest = cell - at <= next - cell ? p : p + 1;
        break;
      }
      at = next;
    }
    ASSERT_EQ(text.PosAtCell(line, cell), nearest) << "line " << line << " cell " << cell;
  }
}

// Text of random pieces: letters, breaks, lone CR and LF, tabs, Latin-1 and wider characters.
std::wstring RandomText(std::mt19937& random, std::size_t length) {
  static const std::wstring_view pieces[] = {L"a", L"b", L" ", L"\r\n", L"\r\n", L"\r", L"\n", L"\t",
                                             L"\u00E9", L"\u2192", L"\r\r\n", L"\n\r"};
  std::wstring text;
  while (text.size() < length) text += pieces[random() % std::size(pieces)];
  return text;
}

// A line of the largest datagram: letters and now and then a tab, then a break.
std::wstring LongLine(std::mt19937& random) {
  std::wstring line(65507, L'x');
  for (wchar_t& c : line)
    if (random() % 500 == 0) c = L'\t';
  return line + L"\r\n";
}

struct TRandomRun {
  const char* name;
  unsigned seed;
  std::uint32_t blockChars;
  int steps;
  std::size_t longest;      // the longest piece of random text
  bool longLines;           // a third of the appends are lines of 64 KB
  unsigned clearPerMille;   // how often the text is emptied
  unsigned frontPerMille;   // how often the oldest lines are removed
};

class LogTextRandom : public ::testing::TestWithParam<TRandomRun> {};

TEST_P(LogTextRandom, MatchesThePlainModelAfterEveryStep) {
  const TRandomRun& run = GetParam();
  std::mt19937 random(run.seed);
  TLogText text(run.blockChars);
  TModel model;
  TPos peak = 0;
  std::optional<std::pair<TLogTextSnapshot, std::wstring>> held;
  std::mt19937 snapshotRandom(run.seed);  // apart, so that the steps stay those of the seed
  for (int step = 0; step < run.steps; ++step) {
    const unsigned kind = random() % 1000;
    const TPos size = model.Size();
    const TPos pos = static_cast<TPos>(random() % (size + 1));
    const TPos count = static_cast<TPos>(random() % 8 == 0 ? random() % (size / 16 + 1) : random() % 4);
    const std::size_t length = random() % 4 == 0 ? random() % (run.longest + 1) : random() % 12;
    std::string what;
    if (kind < 400) {
      const std::wstring piece = run.longLines && random() % 3 == 0 ? LongLine(random) : RandomText(random, length);
      text.Append(piece);
      model.Append(piece);
      what = "append " + std::to_string(piece.size());
    } else if (kind < 850) {
      // Typing, deleting and replacing, most of them undoable; near the last edit at times,
      // so that the undo joins them.
      const std::wstring piece = random() % 3 == 0 ? L"" : RandomText(random, length);
      const bool undoable = random() % 5 != 0;
      text.Replace(pos, count, piece, undoable);
      model.Replace(pos, count, piece, undoable);
      what = "replace " + std::to_string(pos) + "+" + std::to_string(count) + " by " + std::to_string(piece.size());
    } else if (kind < 850 + run.frontPerMille) {
      // The oldest lines removed: the cut is a line start, at or behind the lines asked for.
      const std::vector<TPos> starts = model.LineStarts();
      const TPos lines = static_cast<TPos>(random() % starts.size());
      const TPos cut = text.FrontCut(lines);
      ASSERT_TRUE(std::ranges::binary_search(starts, cut)) << "cut " << cut << " at step " << step;
      ASSERT_GE(cut, lines < static_cast<TPos>(starts.size()) ? starts[static_cast<std::size_t>(lines)] : 0);
      text.RemoveFront(cut);
      model.RemoveFront(cut);
      what = "remove front " + std::to_string(cut);
    } else if (kind < 1000 - run.clearPerMille) {
      const TLogText::TRange got = text.Undo();
      const TLogText::TRange expected = model.Undo();
      ASSERT_EQ(got.Pos, expected.Pos) << "undo at step " << step;
      ASSERT_EQ(got.Length, expected.Length) << "undo at step " << step;
      what = "undo";
    } else {
      text.Clear();
      model.Clear();
      what = "clear";
    }
    ExpectSame(text, model, random, "step " + std::to_string(step) + ": " + what);
    if (HasFatalFailure()) return;
    // A snapshot keeps reading the text as it was, whatever came after it (edits, appends that
    // grow and widen the last block, clears).
    if (step % 37 == 0) {
      if (held) {
        const auto& [snapshot, then] = *held;
        std::wstring read(then.size(), L'\0');
        ASSERT_EQ(snapshot.Read(0, snapshot.Length(), read.data()), static_cast<TPos>(then.size())) << "step " << step;
        ASSERT_EQ(read, then) << "snapshot taken 37 steps before step " << step;
        const TPos from = static_cast<TPos>(snapshotRandom() % (then.size() + 1));
        const TPos partLength = static_cast<TPos>(snapshotRandom() % (then.size() - static_cast<std::size_t>(from) + 1));
        std::wstring part(static_cast<std::size_t>(partLength), L'\0');
        snapshot.Read(from, partLength, part.data());
        ASSERT_EQ(part, then.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(partLength))) << "step " << step;
      }
      held.emplace(text.Snapshot(), model.Text);
    }
    peak = std::max(peak, model.Size());
  }
  EXPECT_GT(peak, 2 * TPos{run.blockChars}) << "the text never filled two blocks";
}

INSTANTIATE_TEST_SUITE_P(Seeded, LogTextRandom,
                         ::testing::Values(TRandomRun{"TinyBlocks", 1, 7, 1500, 40, false, 20, 30},
                                           TRandomRun{"SmallBlocks", 2, 64, 1500, 300, false, 20, 30},
                                           TRandomRun{"SmallBlocksLongPieces", 3, 256, 600, 3000, false, 10, 30},
                                           TRandomRun{"RealBlocks64KLines", 4, TLogText::kBlockChars, 200, 300, true, 0, 0}),
                         TCaseName());

// Lines as an edit control counts them: only CR LF breaks; a CR or LF alone is a character.
struct TLinesCase {
  const char* name;
  std::wstring_view text;
  std::vector<std::wstring> lines;
};

class LogTextLines : public ::testing::TestWithParam<TLinesCase> {};

TEST_P(LogTextLines, AreSplitAtCrLfOnly) {
  for (std::uint32_t blockChars : {2u, 3u, TLogText::kBlockChars}) {
    TLogText text(blockChars);
    text.Append(GetParam().text);
    ASSERT_EQ(text.LineCount(), static_cast<TPos>(GetParam().lines.size())) << blockChars;
    for (std::size_t i = 0; i < GetParam().lines.size(); ++i)
      EXPECT_EQ(text.Line(static_cast<TPos>(i)), GetParam().lines[i]) << blockChars << " line " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogTextLines,
    ::testing::Values(TLinesCase{"Empty", L"", {L""}}, TLinesCase{"OneLine", L"abc", {L"abc"}},
                      TLinesCase{"EndsWithBreak", L"abc\r\n", {L"abc", L""}},
                      TLinesCase{"LoneCr", L"a\rb", {L"a\rb"}}, TLinesCase{"LoneLf", L"a\nb", {L"a\nb"}},
                      TLinesCase{"CrBeforeBreak", L"a\r\r\nb", {L"a\r", L"b"}},
                      TLinesCase{"LfCr", L"a\n\rb", {L"a\n\rb"}},
                      TLinesCase{"EmptyLines", L"\r\n\r\n", {L"", L"", L""}},
                      TLinesCase{"Wide", L"\u2190\r\n\u00E4", {L"\u2190", L"\u00E4"}}),
    TCaseName());

TEST(LogText, BreaksMadeAcrossAppendsAndEditsCount) {
  TLogText text(4);
  text.Append(L"ab\r");
  EXPECT_EQ(text.LineCount(), 1);
  text.Append(L"\ncd");  // the CR of the first append and this LF make a break
  EXPECT_EQ(text.LineCount(), 2);
  EXPECT_EQ(text.Line(1), L"cd");
  text.Replace(3, 0, L"x", true);  // between CR and LF: no break any more
  EXPECT_EQ(text.LineCount(), 1);
  text.Replace(3, 1, L"", true);  // and back
  EXPECT_EQ(text.LineCount(), 2);
  EXPECT_EQ(text.LineStart(1), 4);
}

// The edit control's one level of undo: typing, Backspace and Delete at one place join.
TEST(LogText, UndoJoinsTypingBackspaceAndDeleteAsAnEditControlDoes) {
  TLogText text;
  text.Append(L"0123456789");
  for (wchar_t c : std::wstring_view(L"abc")) text.Replace(10 + (c - L'a'), 0, std::wstring(1, c), true);
  EXPECT_EQ(text.Substr(0, 13), L"0123456789abc");
  EXPECT_EQ(text.Undo().Length, 0);  // the typed text goes
  EXPECT_EQ(text.Substr(0, 13), L"0123456789");
  const TLogText::TRange redo = text.Undo();  // and comes back
  EXPECT_EQ(text.Substr(0, 13), L"0123456789abc");
  EXPECT_EQ(redo.Pos, 10);
  EXPECT_EQ(redo.Length, 3);

  text.Replace(0, 13, L"0123456789", false);  // not undoable: the undo is gone
  EXPECT_FALSE(text.CanUndo());
  for (TPos at : {5, 4, 3}) text.Replace(at, 1, L"", true);  // Backspace three times
  for (int i = 0; i < 2; ++i) text.Replace(3, 1, L"", true);  // then Delete twice
  EXPECT_EQ(text.Substr(0, 10), L"01289");
  text.Undo();
  EXPECT_EQ(text.Substr(0, 10), L"0123456789");

  text.Append(L"\r\nappended");  // appends keep the undo: it lies before them
  EXPECT_TRUE(text.CanUndo());
  text.Undo();
  EXPECT_EQ(text.Substr(0, 100), L"01289\r\nappended");
}

TEST(LogText, NarrowBlocksTakeOneBytePerCharacterAndClearFreesThem) {
  TLogText text;
  const std::wstring line = std::wstring(98, L'x') + L"\r\n";
  std::wstring lines;
  for (int i = 0; i < 10000; ++i) lines += line;  // 1,000,000 characters of lines of 100
  text.Append(lines);
  EXPECT_EQ(text.LineCount(), 10001);
  EXPECT_LT(text.BytesHeld(), 1200000u);  // one byte each, four per line break
  text.Append(L"\u2190");                 // a wide character: this block takes two bytes each
  EXPECT_GT(text.BytesHeld(), 2000000u);
  text.Clear();
  EXPECT_EQ(text.BytesHeld(), 0u);
  EXPECT_EQ(text.Length(), 0);
  EXPECT_EQ(text.LineCount(), 1);
  EXPECT_EQ(text.WidestLine(), 0);
}

// Many blocks are given back behind the caller: the text is empty at once and takes new text,
// and a snapshot taken before still reads what it held.
TEST(LogText, ClearOfManyBlocksLeavesItEmptyAtOnceAndEarlierSnapshotsWhole) {
  TLogText text(8);
  std::wstring lines;
  for (int i = 0; i < 200; ++i) lines += L"Zeile " + std::to_wstring(i) + L"\r\n";
  text.Append(lines);
  ASSERT_GT(text.BlockCount(), 100u);
  const TLogTextSnapshot before = text.Snapshot();
  text.Clear();
  EXPECT_EQ(text.BlockCount(), 0u);
  EXPECT_EQ(text.Length(), 0);
  EXPECT_EQ(text.LineCount(), 1);
  text.Append(L"neu\r\n");
  EXPECT_EQ(text.Substr(0, text.Length()), L"neu\r\n");
  std::wstring read(static_cast<std::size_t>(before.Length()), L'\0');
  before.Read(0, before.Length(), read.data());
  EXPECT_EQ(read, lines);
}

// The oldest lines go in whole blocks: blocks of 8 here, so that lines cross them.
struct TFrontCutCase {
  const char* name;
  std::wstring_view text;
  TPos minLines;
  TPos cut;
  std::wstring_view rest;
  std::size_t blocksFreed;
};

class LogTextFrontCut : public ::testing::TestWithParam<TFrontCutCase> {};

TEST_P(LogTextFrontCut, RemovesWholeLinesUpToABlockEnd) {
  const TFrontCutCase& c = GetParam();
  TLogText text(8);
  text.Append(c.text);
  const TLogTextSnapshot before = text.Snapshot();
  const std::uint64_t revision = text.Revision();
  text.Replace(0, 0, L"", true);
  text.Replace(text.Length(), 0, L"!", true);
  text.Replace(text.Length() - 1, 1, L"", true);  // an undo there is
  const std::size_t blocksBefore = text.BlockCount();

  ASSERT_EQ(text.FrontCut(c.minLines), c.cut);
  text.RemoveFront(c.cut);
  EXPECT_EQ(text.Substr(0, text.Length()), c.rest);
  TModel model;
  model.Append(std::wstring(c.rest));
  const std::vector<TPos> starts = model.LineStarts();
  ASSERT_EQ(text.LineCount(), static_cast<TPos>(starts.size()));
  for (std::size_t line = 0; line < starts.size(); ++line) EXPECT_EQ(text.LineStart(static_cast<TPos>(line)), starts[line]);
  EXPECT_EQ(blocksBefore - text.BlockCount(), c.blocksFreed);
  if (c.cut > 0) {
    EXPECT_NE(text.Revision(), revision);
    EXPECT_FALSE(text.CanUndo());
  }
  // What a snapshot holds stays, and the text goes on growing after the cut.
  std::wstring read(c.text.size(), L'\0');
  EXPECT_EQ(before.Read(0, before.Length(), read.data()), static_cast<TPos>(c.text.size()));
  EXPECT_EQ(read, c.text);
  text.Append(L"xyz\r\nuvw");
  EXPECT_EQ(text.Substr(0, text.Length()), std::wstring(c.rest) + L"xyz\r\nuvw");
  EXPECT_EQ(text.Line(text.LineCount() - 1), L"uvw");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogTextFrontCut,
    ::testing::Values(
        // The line the block ends in goes whole, and the next block with it.
        TFrontCutCase{"LineCrossesTheBlockEnd", L"aaaa\r\nbbbbbbbb\r\ncc\r\n", 1, 16, L"cc\r\n", 2},
        TFrontCutCase{"BlockEndsAtALineStart", L"abcdef\r\nghijkl\r\nmn\r\n", 1, 8, L"ghijkl\r\nmn\r\n", 1},
        TFrontCutCase{"CrLfSplitAcrossBlocks", L"abcdefg\r\nhijklm\r\nop\r\n", 1, 17, L"op\r\n", 2},
        TFrontCutCase{"SeveralLinesAsked", L"a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n", 2, 9, L"d\r\ne\r\nf\r\n", 1},
        // The last line may be longer than a block: it stays whole.
        TFrontCutCase{"LastLineLongerThanABlock", L"ab\r\ncdefghijklmnop", 1, 4, L"cdefghijklmnop", 0},
        // In the block still written no block can be freed: the lines asked for go, no more.
        TFrontCutCase{"WithinTheLastBlock", L"ab\r\ncd\r\n", 1, 4, L"cd\r\n", 0},
        TFrontCutCase{"AllOneLine", L"abcdefghijklmnopqrst", 1, 0, L"abcdefghijklmnopqrst", 0},
        TFrontCutCase{"NothingAsked", L"ab\r\ncdefghij\r\n", 0, 0, L"ab\r\ncdefghij\r\n", 0}),
    TCaseName());

// Memory running out in the middle of an append (a cap stands for it) leaves the text as it
// was, whether it fails at a new block, at the growth of the first one or where a block turns
// wide; appends go on as before once there is memory again.
struct TNoMemoryCase {
  const char* name;
  std::uint32_t blockChars;
  std::wstring_view piece;   // appended until the cap is reached
};

class LogTextNoMemory : public ::testing::TestWithParam<TNoMemoryCase> {};

TEST_P(LogTextNoMemory, AppendThatFailsLeavesTheTextAsItWas) {
  const TNoMemoryCase& c = GetParam();
  TLogText text(c.blockChars);
  TModel model;
  text.SetMemoryCap(40000);
  bool failed = false;
  for (int i = 0; i < 100000 && !failed; ++i) {
    try {
      text.Append(c.piece);
      model.Append(std::wstring(c.piece));
    } catch (const std::bad_alloc&) {
      failed = true;
    }
  }
  ASSERT_TRUE(failed);
  EXPECT_LE(text.BytesHeld(), 40000u + 4096u);
  std::mt19937 random(5);
  ExpectSame(text, model, random, "after the failed append");
  text.SetMemoryCap(0);
  text.Append(c.piece);
  model.Append(std::wstring(c.piece));
  ExpectSame(text, model, random, "after the next append");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogTextNoMemory,
    ::testing::Values(TNoMemoryCase{"NewBlocks", 1000, L"line of a log\r\nand its second half that crosses\r\n"},
                      TNoMemoryCase{"FirstBlockGrowing", TLogText::kBlockChars, L"0123456789\r\n"},
                      TNoMemoryCase{"WideningBlock", 5000, L"abc\r\n\u2192\u00E9\tdef\r\nghi"}),
    TCaseName());

// The colours of lines through edits: the line the edit leaves in place keeps its colour.
struct TColoursCase {
  const char* name;
  TPos first, last;
  bool fromLineStart;
  TPos insertedBreaks;
  std::vector<std::pair<TPos, TLineColour>> after;
};

class LogLineColoursEdits : public ::testing::TestWithParam<TColoursCase> {};

TEST_P(LogLineColoursEdits, MoveWithTheirLines) {
  const TColoursCase& c = GetParam();
  TLogLineColours colours;
  colours.Set(1, lcError);
  colours.Set(3, lcWarning);
  colours.Set(5, lcDebug);
  colours.Set(7, lcError);
  colours.Replaced(c.first, c.last, c.fromLineStart, c.insertedBreaks);
  std::vector<std::pair<TPos, TLineColour>> got;
  for (TPos line = 0; line < 12; ++line)
    if (colours.At(line) != lcNormal) got.emplace_back(line, colours.At(line));
  EXPECT_EQ(got, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogLineColoursEdits,
    ::testing::Values(
        TColoursCase{"EnterAtALinesEnd", 3, 3, false, 1, {{1, lcError}, {3, lcWarning}, {6, lcDebug}, {8, lcError}}},
        TColoursCase{"EnterAtALinesStart", 3, 3, true, 1, {{1, lcError}, {4, lcWarning}, {6, lcDebug}, {8, lcError}}},
        TColoursCase{"TypingInALine", 3, 3, false, 0, {{1, lcError}, {3, lcWarning}, {5, lcDebug}, {7, lcError}}},
        TColoursCase{"WholeLinesDeleted", 3, 5, true, 0, {{1, lcError}, {3, lcDebug}, {5, lcError}}},
        TColoursCase{"DeletedFromMidLineToMidLine", 3, 5, false, 0, {{1, lcError}, {3, lcWarning}, {5, lcError}}},
        TColoursCase{"BackspaceJoinsALine", 4, 5, false, 0, {{1, lcError}, {3, lcWarning}, {6, lcError}}},
        TColoursCase{"LinesPastedNearTheEnd", 6, 6, false, 3, {{1, lcError}, {3, lcWarning}, {5, lcDebug}, {10, lcError}}},
        TColoursCase{"LinesPastedAtTheTop", 0, 0, true, 2, {{3, lcError}, {5, lcWarning}, {7, lcDebug}, {9, lcError}}}),
    TCaseName());

TEST(LogLineColours, ClearOfMillionsOfLinesLeavesNoneAndTakesNewOnes) {
  TLogLineColours colours;
  for (TPos line = 0; line < 200000; ++line) colours.Set(line, lcError);
  colours.Clear();
  EXPECT_EQ(colours.Count(), 0u);
  EXPECT_EQ(colours.At(5), lcNormal);
  colours.Set(3, lcWarning);
  EXPECT_EQ(colours.At(3), lcWarning);
  EXPECT_EQ(colours.Count(), 1u);
}

TEST(LogLineColours, OldestLinesGoAndTheRestMoveUp) {
  TLogLineColours colours;
  for (TPos line = 0; line < 10; ++line) colours.Set(line, line % 2 ? lcWarning : lcNormal);
  EXPECT_EQ(colours.Count(), 5u);
  colours.RemovedFront(4, 1);  // lines 0-3 go, a notice line comes before the rest
  EXPECT_EQ(colours.Count(), 3u);
  EXPECT_EQ(colours.At(0), lcNormal);
  for (TPos line = 1; line < 7; ++line) EXPECT_EQ(colours.At(line), line % 2 ? lcNormal : lcWarning) << line;
  colours.Set(6, lcNormal);
  EXPECT_EQ(colours.Count(), 2u);
  colours.Clear();
  EXPECT_EQ(colours.At(2), lcNormal);
}

}  // namespace
