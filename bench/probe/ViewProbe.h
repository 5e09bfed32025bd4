#pragma once
// What the probes of the log view share: the message pump between steps and the lines they add.
#include "base/Win.h"

#include <cstdio>
#include <string>

// Handles every message waiting for this thread.
inline void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// A numbered line of 100 characters.
inline std::wstring TextLine(long long number) {
  std::wstring line = std::to_wstring(number) + L" ";
  line.resize(100, L'x');
  return line;
}

// Measures base and other (seconds) in two alternating rounds, so that a change of the machine's
// pace meets both alike; prints each round and returns other / base over both.
template <class TBase, class TOther>
double AlternatingRounds(const char* baseName, TBase base, const char* otherName, TOther other) {
  double baseSum = 0, otherSum = 0;
  for (int round = 1; round <= 2; ++round) {
    const double b = base(), o = other();
    std::printf("  round %d: %s %.3f s, %s %.3f s (%.2f x)\n", round, baseName, b, otherName, o, o / b);
    baseSum += b;
    otherSum += o;
  }
  return otherSum / baseSum;
}
