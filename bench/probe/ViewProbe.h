#pragma once
// What the probes of the log view share: the message pump between steps and the lines they add.
#include "base/Win.h"

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
