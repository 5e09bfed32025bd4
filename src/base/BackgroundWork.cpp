#include "base/BackgroundWork.h"

#include <utility>

TBackgroundWork::TBackgroundWork(std::function<void()> wake) : FWake(std::move(wake)) {}

TBackgroundWork::~TBackgroundWork() {
  {
    std::lock_guard lock(FLock);
    FStopping = true;
  }
  FChanged.notify_all();
  if (FThread.joinable()) FThread.join();
}

void TBackgroundWork::Add(TWork work, TFollowUp followUp) {
  {
    std::lock_guard lock(FLock);
    FWaiting.push_back(TJob{std::move(work), std::move(followUp), nullptr});
    if (!FThread.joinable()) FThread = std::thread(&TBackgroundWork::Run, this);
  }
  FChanged.notify_all();
}

void TBackgroundWork::Run() {
  std::unique_lock lock(FLock);
  for (;;) {
    FChanged.wait(lock, [this] { return FStopping || !FWaiting.empty(); });
    if (FWaiting.empty()) return;  // stopping, and nothing is left to do
    TJob job = std::move(FWaiting.front());
    FWaiting.pop_front();
    FWorking = true;
    lock.unlock();
    try {
      job.Work();
    } catch (...) {
      job.Error = std::current_exception();
    }
    job.Work = nullptr;  // what the work held (a snapshot of a large text) goes now
    lock.lock();
    FWorking = false;
    FDone.push_back(std::move(job));
    if (FWake) FWake();
    FChanged.notify_all();  // for Wait
  }
}

void TBackgroundWork::FinishDone() {
  for (;;) {
    TJob job;
    {
      std::lock_guard lock(FLock);
      if (FDone.empty()) return;
      job = std::move(FDone.front());
      FDone.pop_front();
    }
    if (job.FollowUp) job.FollowUp(job.Error);
  }
}

bool TBackgroundWork::Busy() const {
  std::lock_guard lock(FLock);
  return FWorking || !FWaiting.empty() || !FDone.empty();
}

bool TBackgroundWork::Wait(std::chrono::milliseconds limit) {
  std::unique_lock lock(FLock);
  return FChanged.wait_for(lock, limit, [this] { return !FWorking && FWaiting.empty(); });
}

void DisposeInBackground(TBackgroundWork::TWork destroy) {
  // Its destructor, at the program's end, waits for what is still to go: no thread is left to
  // be cut off inside the heap while the process ends.
  static TBackgroundWork disposer(nullptr);
  disposer.FinishDone();  // the empty follow-ups of what went so far
  disposer.Add(std::move(destroy), nullptr);
}
