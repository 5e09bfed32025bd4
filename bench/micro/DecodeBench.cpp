// Datagrams to text: the automatic choice between UTF-8 and ANSI against the plain ANSI
// decoding of the same datagrams, measured in alternating rounds of one run (the ratio is what
// counts; the machines are noisy). Two sets like real logs: ASCII lines of 60-200 bytes, and
// the same with German words in ANSI bytes.
#include "base/Unicode.h"
#include "bench/micro/MicroBench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kDatagrams = 10000;

std::vector<std::string> LogLines(bool umlauts) {
  static const char* const kWords[] = {"request", "handled", "in", "ms", "user=admin", "path=/api/v2/orders",
                                       "status=200", "cache", "miss", "retry", "connection", "pool", "worker"};
  static const char* const kGerman[] = {"Gr\xF6\xDF" "e", "Pr\xFC" "fung", "f\xFC" "r", "\xC4" "nderung",
                                        "Schl\xFC" "ssel", "gel\xF6" "scht"};
  std::mt19937 random(umlauts ? 2 : 1);
  std::vector<std::string> lines;
  for (int i = 0; i < kDatagrams; ++i) {
    const std::size_t length = std::uniform_int_distribution<std::size_t>(60, 200)(random);
    std::string line = "2026-12-11 07:44:05.123 INFO  [worker-" + std::to_string(i % 8) + "]";
    while (line.size() < length) {
      line += ' ';
      line += umlauts && random() % 4 == 0 ? kGerman[random() % std::size(kGerman)] : kWords[random() % std::size(kWords)];
    }
    lines.push_back(line);
  }
  return lines;
}

double DecodeSeconds(const std::vector<std::string>& lines, TCharEncoding encoding) {
  const auto start = std::chrono::steady_clock::now();
  std::size_t units = 0;
  for (const std::string& line : lines) units += DecodeDatagram(line, encoding).size();
  KeepResult(units);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Five alternating rounds of each; the run's figure is the best automatic round, the remark the
// ratio of the best rounds.
std::int64_t CompareAutoWithAnsi(const std::vector<std::string>& lines) {
  double ansi = 1e300, automatic = 1e300;
  for (int round = 0; round < 5; ++round) {
    ansi = std::min(ansi, DecodeSeconds(lines, chAnsi));
    automatic = std::min(automatic, DecodeSeconds(lines, chAuto));
  }
  char note[96];
  std::snprintf(note, sizeof note, "auto %.3f ms / ANSI %.3f ms = %.2f x", automatic * 1e3, ansi * 1e3,
                automatic / ansi);
  ReportMicroBenchNote(note);
  ReportMicroBenchSeconds(automatic);
  return kDatagrams;
}

}  // namespace

MICRO_BENCH("Decode auto vs ANSI: 10,000 ASCII log lines") {
  static const std::vector<std::string> lines = LogLines(false);
  return CompareAutoWithAnsi(lines);
}

MICRO_BENCH("Decode auto vs ANSI: 10,000 lines, ANSI umlauts") {
  static const std::vector<std::string> lines = LogLines(true);
  return CompareAutoWithAnsi(lines);
}

MICRO_BENCH("Decode UTF-8: 10,000 ASCII log lines") {
  static const std::vector<std::string> lines = LogLines(false);
  std::size_t units = 0;
  for (const std::string& line : lines) units += DecodeDatagram(line, chUtf8).size();
  KeepResult(units);
  return kDatagrams;
}
