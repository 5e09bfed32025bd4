#pragma once
// A small harness for micro-benchmarks of library routines: each benchmark registers a body
// that runs its work once and returns how many items that work handled; the harness repeats
// it until enough time has passed and prints time per run and items per second.
#include <cstdint>
#include <functional>
#include <string>

struct TMicroBench {
  std::string Name;
  std::function<std::int64_t()> Body;  // one run; returns the number of items handled
};

// Registers a benchmark at start-up; used through MICRO_BENCH.
int RegisterMicroBench(const std::string& name, std::function<std::int64_t()> body);

// A body whose run does more than what it measures (opening and closing a window around the
// part of interest) reports the seconds of that part; the harness takes them instead.
void ReportMicroBenchSeconds(double seconds);

// A remark that the harness prints after the row (a ratio to a baseline measured in the same
// run); the remark of the fastest run is kept.
void ReportMicroBenchNote(const std::string& note);

// Keeps the compiler from dropping a result that is never used.
template <class T>
inline void KeepResult(const T& value) {
  asm volatile("" : : "r,m"(value) : "memory");
}

#define MICRO_BENCH_CONCAT2(a, b) a##b
#define MICRO_BENCH_CONCAT(a, b) MICRO_BENCH_CONCAT2(a, b)
#define MICRO_BENCH(name)                                                                       \
  static std::int64_t MICRO_BENCH_CONCAT(MicroBenchBody, __LINE__)();                           \
  static const int MICRO_BENCH_CONCAT(gMicroBench, __LINE__) =                                   \
      RegisterMicroBench(name, MICRO_BENCH_CONCAT(MicroBenchBody, __LINE__));                   \
  static std::int64_t MICRO_BENCH_CONCAT(MicroBenchBody, __LINE__)()
