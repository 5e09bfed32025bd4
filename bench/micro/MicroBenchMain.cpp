// Runs every registered micro-benchmark (or those whose name contains the first argument)
// and prints one row each: runs, milliseconds per run, items per second.
#include "app/Library.h"
#include "base/Unicode.h"
#include "bench/micro/MicroBench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<TMicroBench>& Registry() {
  static std::vector<TMicroBench> benches;
  return benches;
}

double gReportedSeconds = -1;  // a run's own figure, when its body reported one
std::string gReportedNote;     // a run's remark, when its body made one

}  // namespace

int RegisterMicroBench(const std::string& name, std::function<std::int64_t()> body) {
  Registry().push_back({name, std::move(body)});
  return 0;
}

void ReportMicroBenchSeconds(double seconds) { gReportedSeconds = seconds; }
void ReportMicroBenchNote(const std::string& note) { gReportedNote = note; }

int wmain(int argc, wchar_t** argv) {
  std::string filter = argc > 1 ? TextToUtf8(argv[1]) : "";
  LibraryStart();
  std::sort(Registry().begin(), Registry().end(), [](auto& a, auto& b) { return a.Name < b.Name; });
  std::printf("%-48s %8s %14s %16s\n", "benchmark", "runs", "ms/run (best)", "items/s");
  for (const TMicroBench& bench : Registry()) {
    if (!filter.empty() && bench.Name.find(filter) == std::string::npos) continue;
    using Clock = std::chrono::steady_clock;
    double best = 1e300;
    std::int64_t items = 0;
    int runs = 0;
    std::string note;
    auto start = Clock::now();
    // At least three runs, then until half a second has passed.
    while (runs < 3 || Clock::now() - start < std::chrono::milliseconds(500)) {
      gReportedSeconds = -1;
      gReportedNote.clear();
      auto t0 = Clock::now();
      items = bench.Body();
      double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
      if (gReportedSeconds >= 0) seconds = gReportedSeconds;
      if (seconds < best) note = gReportedNote;
      best = std::min(best, seconds);
      ++runs;
    }
    std::printf("%-48s %8d %14.3f %16.0f%s%s\n", bench.Name.c_str(), runs, best * 1000.0,
                best > 0 ? static_cast<double>(items) / best : 0.0, note.empty() ? "" : "   ", note.c_str());
    std::fflush(stdout);
  }
  LibraryStop();
  return 0;
}
