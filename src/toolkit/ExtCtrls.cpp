#include "toolkit/ExtCtrls.h"

#include "base/Exception.h"
#include "base/Win.h"
#include "toolkit/Forms.h"

#include <set>
#include <stdexcept>

namespace {

// All timers share one hidden message window; the timer id is the object's address, checked
// against the live timers because a WM_TIMER may still be queued for a timer just destroyed.
std::set<TTimer*>& LiveTimers() {
  static std::set<TTimer*> timers;
  return timers;
}

LRESULT CALLBACK TimerWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_TIMER) {
    auto* timer = reinterpret_cast<TTimer*>(wParam);
    if (LiveTimers().count(timer)) timer->Tick();
    return 0;
  }
  return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

HWND TimerWindow() {
  static HWND wnd = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TimerWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TavrinoTimerWindow";
    ::RegisterClassExW(&wc);
    HWND w = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (!w) RaiseLastOSError(L"CreateWindowEx TavrinoTimerWindow");
    return w;
  }();
  return wnd;
}

}  // namespace

TTimer::TTimer() {
  LiveTimers().insert(this);
  Update();
}

TTimer::~TTimer() {
  LiveTimers().erase(this);
  ::KillTimer(TimerWindow(), reinterpret_cast<UINT_PTR>(this));
}

void TTimer::SetInterval(unsigned milliseconds) {
  if (milliseconds == FInterval) return;
  FInterval = milliseconds;
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Update();
}

void TTimer::Update() {
  HWND wnd = TimerWindow();
  auto id = reinterpret_cast<UINT_PTR>(this);
  ::KillTimer(wnd, id);
  if (FEnabled && FInterval > 0) ::SetTimer(wnd, id, FInterval, nullptr);
}

void TTimer::Tick() noexcept {
  // A handler that opens a modal window keeps the message loop running; its own ticks must
  // not run it again before it has returned.
  if (FInTick || !OnTimer) return;
  FInTick = true;
  try {
    OnTimer(this);
  } catch (const std::exception& e) {
    Application().HandleException(e);
  } catch (...) {
    Application().HandleException(std::runtime_error("Unknown exception"));
  }
  // The handler may have destroyed its own timer.
  if (LiveTimers().count(this)) FInTick = false;
}
