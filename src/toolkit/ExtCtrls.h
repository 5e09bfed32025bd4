#pragma once
// Timers: OnTimer every Interval milliseconds while enabled, on the thread's message loop.
#include "toolkit/Classes.h"

class TTimer : public TObject {
public:
  TTimer();
  ~TTimer() override;
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  unsigned Interval() const noexcept { return FInterval; }
  void SetInterval(unsigned milliseconds);
  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnTimer;

  // Called by the timer window for each tick.
  void Tick() noexcept;

private:
  void Update();

  unsigned FInterval = 1000;
  bool FEnabled = true;
  bool FInTick = false;
};
