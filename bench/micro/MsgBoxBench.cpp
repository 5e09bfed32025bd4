// The message box from TFrmMsgBox::Execute up to the end of its text area's first paint, for
// one line and for a text that needs the scroll bar.
#include "bench/micro/MicroBench.h"
#include "toolkit/Forms.h"
#include "ui/FrmMsgBox.h"

#include <chrono>
#include <commctrl.h>
#include <string_view>

namespace {

std::wstring ShortLines(int count) {
  std::wstring text;
  for (int i = 1; i <= count; ++i) text += L"Zeile " + std::to_wstring(i) + L": kurz\r\n";
  return text;
}

// Times TFrmMsgBox::Execute up to the end of the text area's first paint, then closes the box.
class TFirstPaintProbe {
public:
  TFirstPaintProbe() {
    Probe() = this;
    FHook = ::SetWindowsHookExW(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
  }
  ~TFirstPaintProbe() {
    ::UnhookWindowsHookEx(FHook);
    Probe() = nullptr;
  }
  TFirstPaintProbe(const TFirstPaintProbe&) = delete;
  TFirstPaintProbe& operator=(const TFirstPaintProbe&) = delete;

  double Run(const std::wstring& message) {
    FStart = Clock::now();
    FPainted = false;
    TFrmMsgBox::Execute(L"", message, MB_OK | MB_ICONINFORMATION);
    return std::chrono::duration<double>(FEnd - FStart).count();
  }

private:
  using Clock = std::chrono::steady_clock;

  static TFirstPaintProbe*& Probe() {
    static TFirstPaintProbe* probe = nullptr;
    return probe;
  }

  // Every new text area gets a subclass that sees its paint before the toolkit does.
  static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HCBT_CREATEWND) {
      auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
      const wchar_t* cls = create->lpcs->lpszClass;
      if (!IS_INTRESOURCE(cls) && std::wstring_view(cls) == L"TavrinoPaintBox")
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

  HHOOK FHook = nullptr;
  Clock::time_point FStart, FEnd;
  bool FPainted = false;
};

std::int64_t FirstPaintBench(const std::wstring& message) {
  static const bool initialized = [] {
    Application().Initialize();
    return true;
  }();
  KeepResult(initialized);
  TFirstPaintProbe probe;
  ReportMicroBenchSeconds(probe.Run(message));
  return 1;
}

}  // namespace

MICRO_BENCH("FrmMsgBox Execute to first paint, one line") { return FirstPaintBench(L"Eine Zeile"); }

MICRO_BENCH("FrmMsgBox Execute to first paint, 5,000 lines") {
  static const std::wstring text = ShortLines(5000);
  return FirstPaintBench(text);
}
