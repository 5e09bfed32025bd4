#pragma once
// Message pumping for window tests: handle messages until a condition holds or a generous
// time limit passes (the limit only guards against hangs; no test measures time).
#include <functional>

// Pumps messages until done() is true; false when the limit passed first.
bool PumpUntil(const std::function<bool()>& done, unsigned limitMsec = 10000);
// Pumps whatever is waiting, for about the given time.
void PumpFor(unsigned msec);
