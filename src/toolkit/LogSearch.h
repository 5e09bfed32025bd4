#pragma once
// Finding a text in the log view's text, in slices of bounded time, so that a search over a
// gigabyte never keeps the window from answering. The count runs from the start of the text
// and goes on with what is appended meanwhile; a request for the next match runs a scan of its
// own from where it was asked, so that the first match is there long before the count is.
// Matches never span a line break (the pattern is one line of text).
#include "toolkit/LogText.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The pattern and how it compares: exactly, or with case folded (also of umlauts and every
// other letter the system knows a lower case for).
class TLogMatcher {
public:
  using TPos = TLogText::TPos;

  TLogMatcher() = default;
  TLogMatcher(std::wstring_view pattern, bool matchCase);

  bool Empty() const noexcept { return FPattern.empty(); }
  TPos Length() const noexcept { return static_cast<TPos>(FPattern.size()); }
  bool MatchCase() const noexcept { return FMatchCase; }
  // Calls found(offset) for every match that starts in chars[0 ... starts), in order; the
  // characters up to chars[n] may be read for matches that start there. found returns false
  // to stop; returns false when it was stopped.
  template <class F>
  bool FindAll(const wchar_t* chars, std::size_t n, std::size_t starts, F&& found) const;

private:
  wchar_t Fold(wchar_t c) const noexcept { return FMatchCase ? c : FFold[c]; }

  std::wstring FPattern;  // folded unless the case is to match
  bool FMatchCase = false;
  const wchar_t* FFold = nullptr;
};

class TLogSearch {
public:
  using TPos = TLogText::TPos;
  using TTime = std::chrono::steady_clock::time_point;

  explicit TLogSearch(const TLogText& text) : FText(text) {}

  // A new search (an empty pattern: none); counting starts anew.
  void Start(std::wstring_view pattern, bool matchCase);
  const TLogMatcher& Matcher() const noexcept { return FMatcher; }
  bool Active() const noexcept { return !FMatcher.Empty(); }

  // Asks for the match after from (forward, from itself on) or before it, wrapping around the
  // ends; Step finds it, and Found tells it once.
  void Seek(TPos from, bool forward);
  // Works until the deadline (a slice at least); true when nothing is left to do for now.
  bool Step(TTime deadline);
  // The answer to the last Seek, once: the match's position, or -1 when there is none; -2 while
  // it is not known yet.
  TPos TakeFound() noexcept;

  // Matches counted so far, and whether the count has reached the end of the text.
  TPos Count() const noexcept { return static_cast<TPos>(FMatches.size()); }
  bool Counted() const noexcept { return FCountedTo >= Scannable() && FRevision == FText.Revision(); }
  // The number (from 1) of the match at pos among those counted; 0 when it is none of them.
  TPos NumberOf(TPos pos) const;

  // Characters read per slice between two looks at the clock.
  static constexpr TPos kSliceChars = 1 << 16;

private:
  // Where the text ends for the scans: behind the last place a match can start now (a match
  // may start nearer the end once more is appended).
  TPos Scannable() const noexcept { return std::max<TPos>(FText.Length() - FMatcher.Length() + 1, 0); }
  // Scans from pos for at most a slice: adds the matches to out, or stops behind the first
  // when there is none. Returns the position of the first match found, or -1.
  TPos ScanSlice(TPos& pos, std::vector<TPos>* out);
  void Restart();
  void Answer(TPos found) noexcept;
  // Tries to answer the seek from what is counted; true when it did.
  bool AnswerFromCount();

  const TLogText& FText;
  TLogMatcher FMatcher;
  std::uint64_t FRevision = 0;
  std::vector<TPos> FMatches;  // positions, ascending: all that start before FCountedTo
  TPos FCountedTo = 0;
  std::vector<wchar_t> FBuffer;

  bool FSeeking = false, FForward = true;
  TPos FSeekFrom = 0, FSeekAt = 0;  // where it was asked from, where its own scan stands
  TPos FFound = -2;
};

// ---- inline parts ----

template <class F>
bool TLogMatcher::FindAll(const wchar_t* chars, std::size_t n, std::size_t starts, F&& found) const {
  const std::size_t m = FPattern.size();
  if (m == 0 || n < m) return true;
  starts = std::min(starts, n - m + 1);
  const wchar_t first = FPattern[0];
  for (std::size_t i = 0; i < starts; ++i) {
    if (Fold(chars[i]) != first) continue;
    std::size_t k = 1;
    while (k < m && Fold(chars[i + k]) == FPattern[k]) ++k;
    if (k == m && !found(i)) return false;
  }
  return true;
}
