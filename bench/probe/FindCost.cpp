// What finding in the log view costs at 10 million lines of 100 characters (a gigabyte of
// text), against one plain pass over the same text in the same run: the search runs in steps
// of 40 ms, the share of a tick the main window gives it while the view is busy, and the
// figures are the time to the first match after the request and to the full count, and the
// longest a step ran beyond its deadline (what the window's answer waits for the search).
//   FindCost [lines]
#include "toolkit/LogSearch.h"
#include "toolkit/LogText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

using TClock = std::chrono::steady_clock;
using TPos = TLogText::TPos;

double MsecSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

struct TFigures {
  double FirstMsec = 0, CountMsec = 0, LongestOverrunMsec = 0;
  TPos Count = 0, Found = -1;
};

// A request as the find bar makes it: seek from a place, then steps until found and counted.
TFigures Measure(const TLogText& text, const std::wstring& pattern, bool matchCase, TPos from) {
  TLogSearch search(text);
  TFigures figures;
  const auto start = TClock::now();
  search.Start(pattern, matchCase);
  search.Seek(from, true);
  for (bool done = false; !done;) {
    const auto deadline = TClock::now() + std::chrono::milliseconds(40);
    done = search.Step(deadline);
    figures.LongestOverrunMsec =
        std::max(figures.LongestOverrunMsec, std::chrono::duration<double, std::milli>(TClock::now() - deadline).count());
    if (figures.Found < 0) {
      const TPos found = search.TakeFound();
      if (found != -2) {
        figures.Found = found;
        figures.FirstMsec = MsecSince(start);
      }
    }
  }
  figures.CountMsec = MsecSince(start);
  figures.Count = search.Count();
  return figures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const long long lines = argc > 1 ? std::wcstoll(argv[1], nullptr, 10) : 10000000;
  std::printf("Finding in %lld lines of 100 characters\n", lines);
  TLogText text;
  auto start = TClock::now();
  // "Fehler" in every 10,000th line; "Ende-Marke" once, in the line at 99 % of the text.
  std::wstring line(100, L'x');
  for (long long i = 0; i < lines; ++i) {
    std::wstring number = std::to_wstring(i);
    std::copy(number.begin(), number.end(), line.begin());
    const bool error = i % 10000 == 9999, marker = i == lines * 99 / 100;
    if (error) std::copy_n(L" Fehler im Modul", 16, line.begin() + 20);
    if (marker) std::copy_n(L" Ende-Marke", 11, line.begin() + 40);
    text.Append({line, L"\r\n"});
    if (error) std::fill_n(line.begin() + 20, 16, L'x');
    if (marker) std::fill_n(line.begin() + 40, 11, L'x');
  }
  std::printf("  filled in %.0f ms, %.0f MB held\n", MsecSince(start), static_cast<double>(text.BytesHeld()) / 1048576);

  // The yardstick: one pass over the text as the search reads it (64 K slices copied out of
  // the blocks), looking at every character.
  start = TClock::now();
  std::wstring slice(1 << 16, L'\0');
  std::size_t marks = 0;
  for (TPos at = 0; at < text.Length(); at += 1 << 16) {
    const auto n = static_cast<std::size_t>(text.Read(at, 1 << 16, slice.data()));
    marks += static_cast<std::size_t>(std::count(slice.begin(), slice.begin() + static_cast<std::ptrdiff_t>(n), L'F'));
  }
  const double passMsec = MsecSince(start);
  std::printf("  baseline: one pass over the text: %.0f ms (%zu F)\n\n", passMsec, marks);

  struct TCase {
    const char* Name;
    const wchar_t* Pattern;
    bool MatchCase;
    TPos From;
  };
  const TCase cases[] = {
      {"\"fehler\", any case, from the end (wraps to the first)", L"fehler", false, text.Length()},
      {"\"Fehler\", exact case, from the end", L"Fehler", true, text.Length()},
      {"\"ende-marke\", any case, from the start (99 % in)", L"ende-marke", false, 0},
  };
  std::printf("  %-56s %10s %12s %12s %10s %10s\n", "request", "matches", "first ms", "count ms", "count/base",
              "overrun ms");
  for (const TCase& c : cases) {
    const TFigures f = Measure(text, c.Pattern, c.MatchCase, c.From);
    std::printf("  %-56s %10lld %12.0f %12.0f %9.2fx %10.1f\n", c.Name, static_cast<long long>(f.Count), f.FirstMsec,
                f.CountMsec, f.CountMsec / passMsec, f.LongestOverrunMsec);
  }
  std::printf("\n  targets: first match within 1,000 ms, full count within 5,000 ms, steps near their deadline\n");
  return 0;
}
