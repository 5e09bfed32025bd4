#pragma once
// Work done in order on a thread of its own (saving or copying a large view), so that the
// thread that asked for it, a window's, keeps answering meanwhile. Each piece of work has a
// follow-up that runs back on the asking thread, told of the exception the work raised, if any.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <type_traits>

class TBackgroundWork {
public:
  using TWork = std::function<void()>;
  using TFollowUp = std::function<void(std::exception_ptr error)>;

  // wake runs on the worker thread after each piece of work; it tells the asking thread to call
  // FinishDone (a window posts itself a message).
  explicit TBackgroundWork(std::function<void()> wake);
  // Waits for the work already asked for: what the user asked to save gets saved. The
  // follow-ups of what finishes now do not run.
  ~TBackgroundWork();
  TBackgroundWork(const TBackgroundWork&) = delete;
  TBackgroundWork& operator=(const TBackgroundWork&) = delete;

  void Add(TWork work, TFollowUp followUp);
  // Runs the follow-ups of the work done so far, in order. A follow-up that raises leaves the
  // later ones for the next call.
  void FinishDone();
  // Work asked for whose follow-up has not run yet.
  bool Busy() const;
  // Waits at most the time given until the work asked for so far is done (its follow-ups run
  // at the next FinishDone); true when it is.
  bool Wait(std::chrono::milliseconds limit);

private:
  struct TJob {
    TWork Work;
    TFollowUp FollowUp;
    std::exception_ptr Error;
  };
  void Run();

  std::function<void()> FWake;
  mutable std::mutex FLock;
  std::condition_variable FChanged;
  std::deque<TJob> FWaiting;
  std::deque<TJob> FDone;
  bool FWorking = false;
  bool FStopping = false;
  std::thread FThread;  // started with the first piece of work
};

// Hands work that only gives memory back to one thread kept for that, which ends at the end of
// the program once its work is done.
void DisposeInBackground(TBackgroundWork::TWork destroy);

// Destroys what it is given on that thread: giving a gigabyte of memory back takes a tenth of a
// second that a window's thread should not wait for. When it cannot be handed over, it is
// destroyed here.
template <class T>
void DestroyInBackground(T&& doomed) noexcept {
  static_assert(!std::is_reference_v<T>, "give it what it may take (std::move)");
  try {
    DisposeInBackground([doomed = std::forward<T>(doomed)]() mutable { T().swap(doomed); });
  } catch (...) {
    // What failed to go over is gone already, with the work that held it.
  }
}
