#include "toolkit/LogSearch.h"

#include "base/Win.h"

#include <algorithm>
#include <memory>

namespace {

// Every UTF-16 code unit in lower case as the system folds it; surrogates stay themselves.
const wchar_t* FoldTable() {
  static const std::unique_ptr<wchar_t[]> table = [] {
    auto t = std::make_unique<wchar_t[]>(0x10000);
    for (unsigned c = 0; c < 0x10000; ++c) t[c] = static_cast<wchar_t>(c);
    ::CharLowerBuffW(t.get(), 0xD800);
    ::CharLowerBuffW(t.get() + 0xE000, 0x2000);
    return t;
  }();
  return table.get();
}

}  // namespace

TLogMatcher::TLogMatcher(std::wstring_view pattern, bool matchCase)
    : FPattern(pattern.substr(0, pattern.find_first_of(L"\r\n"))), FMatchCase(matchCase) {
  if (FMatchCase) return;
  FFold = FoldTable();
  for (wchar_t& c : FPattern) c = FFold[c];
}

void TLogSearch::Start(std::wstring_view pattern, bool matchCase) {
  FMatcher = TLogMatcher(pattern, matchCase);
  FSeeking = false;
  FFound = -2;
  Restart();
}

void TLogSearch::Restart() {
  FRevision = FText.Revision();
  FMatches.clear();
  FCountedTo = 0;
  FSeekAt = std::clamp<TPos>(FSeekFrom, 0, FText.Length());
}

void TLogSearch::Seek(TPos from, bool forward) {
  FSeekFrom = std::clamp<TPos>(from, 0, FText.Length());
  FSeekAt = FSeekFrom;
  FForward = forward;
  FSeeking = Active();
  FFound = Active() ? -2 : -1;
}

TLogSearch::TPos TLogSearch::TakeFound() noexcept {
  const TPos found = FFound;
  if (found != -2) FFound = -2;
  return found;
}

void TLogSearch::Answer(TPos found) noexcept {
  FFound = found;
  FSeeking = false;
}

TLogSearch::TPos TLogSearch::NumberOf(TPos pos) const {
  const auto it = std::lower_bound(FMatches.begin(), FMatches.end(), pos);
  return it != FMatches.end() && *it == pos ? static_cast<TPos>(it - FMatches.begin()) + 1 : 0;
}

bool TLogSearch::AnswerFromCount() {
  const bool all = Counted();
  if (FForward) {
    const auto it = std::lower_bound(FMatches.begin(), FMatches.end(), FSeekFrom);
    if (it != FMatches.end()) return Answer(*it), true;
    // None behind it: from the start again, once its own scan has reached the end.
    if (FSeekAt >= Scannable() || all) {
      if (!FMatches.empty()) return Answer(FMatches.front()), true;
      if (all) return Answer(-1), true;
    }
    return false;
  }
  // Backwards only what is counted is known: the last match before it, else the last of all.
  if (FCountedTo < FSeekFrom && !all) return false;
  const auto it = std::lower_bound(FMatches.begin(), FMatches.end(), FSeekFrom);
  if (it != FMatches.begin()) return Answer(*std::prev(it)), true;
  if (!all) return false;
  return Answer(FMatches.empty() ? -1 : FMatches.back()), true;
}

TLogSearch::TPos TLogSearch::ScanSlice(TPos& pos, std::vector<TPos>* out) {
  const TPos n = std::min<TPos>(kSliceChars, Scannable() - pos);
  if (n <= 0) return -1;
  // The slice and what a match starting in it reaches into.
  const TPos read = n + FMatcher.Length() - 1;
  FBuffer.resize(static_cast<std::size_t>(read));
  FText.Read(pos, read, FBuffer.data());
  TPos first = -1;
  const TPos at = pos;
  FMatcher.FindAll(FBuffer.data(), static_cast<std::size_t>(read), static_cast<std::size_t>(n), [&](std::size_t i) {
    if (first < 0) first = at + static_cast<TPos>(i);
    if (!out) return false;
    out->push_back(at + static_cast<TPos>(i));
    return true;
  });
  pos += out || first < 0 ? n : first - at + 1;
  return first;
}

bool TLogSearch::Step(TTime deadline) {
  if (!Active()) return true;
  if (FRevision != FText.Revision()) Restart();
  const TPos end = Scannable();
  bool first = true;
  auto timeLeft = [&] {
    const bool left = first || std::chrono::steady_clock::now() < deadline;
    first = false;
    return left;
  };
  // The seek first: it decides what the user sees next.
  while (FSeeking && timeLeft()) {
    if (AnswerFromCount()) break;
    if (FForward && FSeekAt < end) {
      const TPos found = ScanSlice(FSeekAt, nullptr);
      if (found >= 0) Answer(found);
    } else if (FCountedTo < end) {
      ScanSlice(FCountedTo, &FMatches);
    } else {
      AnswerFromCount();
      break;
    }
  }
  while (FCountedTo < end && timeLeft()) ScanSlice(FCountedTo, &FMatches);
  return !FSeeking && FCountedTo >= end;
}
