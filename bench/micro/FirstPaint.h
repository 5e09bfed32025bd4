#pragma once
// Times a modal call from its start to the first paint of a window of one class (the probe
// subclasses every such window the thread creates), then closes that window's top-level window.
#include "base/Win.h"

#include <chrono>
#include <commctrl.h>
#include <functional>
#include <string>
#include <string_view>

class TFirstPaintProbe {
public:
  explicit TFirstPaintProbe(std::wstring className) : FClassName(std::move(className)) {
    Probe() = this;
    FHook = ::SetWindowsHookExW(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
  }
  ~TFirstPaintProbe() {
    ::UnhookWindowsHookEx(FHook);
    Probe() = nullptr;
  }
  TFirstPaintProbe(const TFirstPaintProbe&) = delete;
  TFirstPaintProbe& operator=(const TFirstPaintProbe&) = delete;

  // Seconds from the call of showModal to the first paint (negative when nothing was painted).
  double Run(const std::function<void()>& showModal) {
    FPainted = false;
    FStart = Clock::now();
    showModal();
    return FPainted ? std::chrono::duration<double>(FEnd - FStart).count() : -1;
  }

private:
  using Clock = std::chrono::steady_clock;

  static TFirstPaintProbe*& Probe() {
    static TFirstPaintProbe* probe = nullptr;
    return probe;
  }

  static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    TFirstPaintProbe* probe = Probe();
    if (code == HCBT_CREATEWND && probe) {
      auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
      const wchar_t* cls = create->lpcs->lpszClass;
      if (!IS_INTRESOURCE(cls) && std::wstring_view(cls) == probe->FClassName)
        ::SetWindowSubclass(reinterpret_cast<HWND>(wParam), PaintProc, 1, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static LRESULT CALLBACK PaintProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) noexcept {
    const LRESULT result = ::DefSubclassProc(wnd, msg, wParam, lParam);
    TFirstPaintProbe* probe = Probe();
    if (msg == WM_PAINT && probe && !probe->FPainted) {
      probe->FEnd = Clock::now();
      probe->FPainted = true;
      ::PostMessageW(::GetAncestor(wnd, GA_ROOT), WM_CLOSE, 0, 0);
    }
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(wnd, PaintProc, 1);
    return result;
  }

  std::wstring FClassName;
  HHOOK FHook = nullptr;
  Clock::time_point FStart, FEnd;
  bool FPainted = false;
};
