// Finding in the log view's text: matches over block and slice boundaries, case folding, the
// count going on over appended text, and the next and previous match wrapping around.
#include "support/TestSupport.h"
#include "toolkit/LogSearch.h"

namespace {

using TPos = TLogSearch::TPos;

// Everything the search finds for the pattern, counted in slices until done.
std::vector<TPos> AllMatches(const TLogText& text, const std::wstring& pattern, bool matchCase) {
  TLogSearch search(text);
  search.Start(pattern, matchCase);
  // A deadline already passed: one slice per step, as in a busy tick.
  while (!search.Step(TLogSearch::TTime{})) {
  }
  std::vector<TPos> found;
  for (TPos pos = 0; pos < text.Length(); ++pos)
    if (search.NumberOf(pos) > 0) found.push_back(pos);
  EXPECT_EQ(static_cast<TPos>(found.size()), search.Count());
  EXPECT_TRUE(search.Counted());
  return found;
}

TEST(LogSearch, FindsOverBlockBoundaries) {
  TLogText text(8);  // blocks of eight characters
  text.Append(L"abcdefgh\r\nxyz Fehler\r\nFEHLER fehler\r\n");
  EXPECT_EQ(AllMatches(text, L"fehler", false), (std::vector<TPos>{14, 22, 29}));
  EXPECT_EQ(AllMatches(text, L"fehler", true), (std::vector<TPos>{29}));
  EXPECT_EQ(AllMatches(text, L"gh", true), (std::vector<TPos>{6}));
}

TEST(LogSearch, FindsOverSliceBoundaries) {
  // A match that starts in one slice and ends in the next, and one on each side of it.
  TLogText text;
  std::wstring line(TLogSearch::kSliceChars - 2, L'.');
  text.Append(L"needle" + line.substr(6) + L"needle" + line + L"needle");
  const TPos slice = TLogSearch::kSliceChars;
  EXPECT_EQ(AllMatches(text, L"needle", true), (std::vector<TPos>{0, slice - 2, 2 * slice + 2}));
}

TEST(LogSearch, FoldsTheCaseOfUmlautsToo) {
  TLogText text;
  text.Append(L"ÄRGER\r\närger\r\nÜbel ÖL\r\nübel öl\r\nStraße\r\n");
  EXPECT_EQ(AllMatches(text, L"ärger", false), (std::vector<TPos>{0, 7}));
  EXPECT_EQ(AllMatches(text, L"ÄRGER", true), (std::vector<TPos>{0}));
  EXPECT_EQ(AllMatches(text, L"ÜBEL öL", false), (std::vector<TPos>{14, 23}));
  EXPECT_EQ(AllMatches(text, L"STRASSE", false), (std::vector<TPos>{}));  // no expansion of ß
  EXPECT_EQ(AllMatches(text, L"straße", false), (std::vector<TPos>{32}));
}

TEST(LogSearch, MatchesNeverSpanALineBreak) {
  TLogText text;
  text.Append(L"ab\r\ncd\r\nb\r\nc");
  EXPECT_EQ(AllMatches(text, L"bc", true), (std::vector<TPos>{}));
  // A pattern is one line: what follows a break in it is not searched for.
  EXPECT_EQ(AllMatches(text, L"b\r\nc", true), (std::vector<TPos>{1, 8}));
}

TEST(LogSearch, CountGoesOnOverAppendedTextAndStartsAnewAfterAnEdit) {
  TLogText text;
  text.Append(L"ein Fehler\r\nein Feh");
  TLogSearch search(text);
  search.Start(L"fehler", false);
  EXPECT_TRUE(search.Step(TLogSearch::TTime::max()));
  EXPECT_EQ(search.Count(), 1);
  text.Append(L"ler\r\n");  // completes a match begun before
  EXPECT_FALSE(search.Counted());
  EXPECT_TRUE(search.Step(TLogSearch::TTime::max()));
  EXPECT_EQ(search.Count(), 2);
  EXPECT_EQ(search.NumberOf(16), 2);
  text.Replace(0, 3, L"kein Fehler,", true);
  EXPECT_FALSE(search.Counted());
  EXPECT_TRUE(search.Step(TLogSearch::TTime::max()));
  EXPECT_EQ(search.Count(), 3);
  text.Clear();
  EXPECT_TRUE(search.Step(TLogSearch::TTime::max()));
  EXPECT_EQ(search.Count(), 0);
}

struct TSeekCase {
  const char* name;
  TPos from;
  bool forward;
  TPos expected;  // -1: none
};

class LogSearchSeek : public ::testing::TestWithParam<TSeekCase> {};

// "x" at 0, 5 and 10 in "x....x....x...."
TEST_P(LogSearchSeek, FindsTheNextOrPreviousMatchAndWraps) {
  const TSeekCase& row = GetParam();
  TLogText text;
  text.Append(L"x....x....x....");
  TLogSearch search(text);
  search.Start(L"x", true);
  search.Seek(row.from, row.forward);
  EXPECT_EQ(search.TakeFound(), -2);  // not known before a step
  while (!search.Step(TLogSearch::TTime{})) {
  }
  EXPECT_EQ(search.TakeFound(), row.expected);
  EXPECT_EQ(search.TakeFound(), -2);  // told once
}

INSTANTIATE_TEST_SUITE_P(Cases, LogSearchSeek,
                         ::testing::Values(TSeekCase{"ForwardFromAMatchFindsIt", 5, true, 5},
                                           TSeekCase{"ForwardBetween", 6, true, 10},
                                           TSeekCase{"ForwardWrapsToTheFirst", 11, true, 0},
                                           TSeekCase{"BackwardFindsTheOneBefore", 10, false, 5},
                                           TSeekCase{"BackwardWrapsToTheLast", 0, false, 10}),
                         TCaseName());

TEST(LogSearch, NoMatchAnswersNoneAndAnEmptyPatternSearchesNothing) {
  TLogText text;
  text.Append(L"abc\r\n");
  TLogSearch search(text);
  search.Start(L"zz", false);
  search.Seek(0, true);
  EXPECT_TRUE(search.Step(TLogSearch::TTime::max()));
  EXPECT_EQ(search.TakeFound(), -1);
  search.Start(L"", false);
  EXPECT_FALSE(search.Active());
  search.Seek(0, true);
  EXPECT_EQ(search.TakeFound(), -1);
}

}  // namespace
