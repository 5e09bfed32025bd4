#include "app/LogLevels.h"

#include "base/Win.h"

#include <algorithm>
#include <array>

namespace {

// Letters, digits and the underscore make words ("ERRORS", "NoError" and "error_code" are
// other words); so do letters beyond ASCII ("FEHLERHAFT" is one word).
bool IsWordChar(wchar_t c) noexcept {
  if (c < 0x80) return c == L'_' || (c >= L'0' && c <= L'9') || ((c | 0x20) >= L'a' && (c | 0x20) <= L'z');
  return ::IsCharAlphaNumericW(c) != FALSE;
}

struct TLevelWord {
  std::wstring_view Upper;
  TLogLevel Level;
};
constexpr std::array<TLevelWord, 9> kLevelWords{{{L"FATAL", lvError},
                                                  {L"CRITICAL", lvError},
                                                  {L"ERROR", lvError},
                                                  {L"FEHLER", lvError},
                                                  {L"WARN", lvWarning},
                                                  {L"WARNING", lvWarning},
                                                  {L"WARNUNG", lvWarning},
                                                  {L"DEBUG", lvDebug},
                                                  {L"TRACE", lvDebug}}};
constexpr std::size_t kLongestWord = 8;

TLogLevel LevelOfWord(std::wstring_view word) noexcept {
  if (word.size() < 4 || word.size() > kLongestWord) return lvNormal;
  wchar_t upper[kLongestWord];
  for (std::size_t i = 0; i < word.size(); ++i) {
    const wchar_t c = word[i];
    if (c > 0x7F) return lvNormal;  // every level word is ASCII
    upper[i] = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
  }
  const std::wstring_view candidate(upper, word.size());
  for (const TLevelWord& known : kLevelWords)
    if (known.Upper == candidate) return known.Level;
  return lvNormal;
}

// A syslog priority "<N>" at the start (N = facility * 8 + severity, 0 ... 191, written
// without leading zeros); -1 when the line does not start with one.
int SyslogPriority(std::wstring_view line) noexcept {
  if (line.size() < 3 || line[0] != L'<') return -1;
  int value = 0;
  std::size_t i = 1;
  for (; i < line.size() && i <= 4 && line[i] >= L'0' && line[i] <= L'9'; ++i) value = value * 10 + (line[i] - L'0');
  const std::size_t digits = i - 1;
  if (digits == 0 || digits > 3 || i >= line.size() || line[i] != L'>') return -1;
  if (digits > 1 && line[1] == L'0') return -1;
  return value <= 191 ? value : -1;
}

}  // namespace

TLogLevel LevelOf(std::wstring_view line) noexcept {
  if (const int priority = SyslogPriority(line); priority >= 0) {
    const int severity = priority % 8;
    return severity <= 3 ? lvError : severity == 4 ? lvWarning : severity == 7 ? lvDebug : lvNormal;
  }
  const std::wstring_view head = line.substr(0, std::min(line.size(), kLevelSearchChars));
  std::size_t i = 0;
  while (i < head.size()) {
    if (!IsWordChar(head[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < head.size() && IsWordChar(head[i])) ++i;
    // A word cut by the end of the search is not known whole: it does not count.
    if (i == head.size() && head.size() < line.size() && IsWordChar(line[i])) break;
    if (const TLogLevel level = LevelOfWord(head.substr(start, i - start)); level != lvNormal) return level;
  }
  return lvNormal;
}
