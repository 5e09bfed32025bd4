// The message box from TFrmMsgBox::Execute up to the end of its text area's first paint, for
// one line and for a text that needs the scroll bar.
#include "bench/micro/FirstPaint.h"
#include "bench/micro/MicroBench.h"
#include "toolkit/Forms.h"
#include "ui/FrmMsgBox.h"


namespace {

std::wstring ShortLines(int count) {
  std::wstring text;
  for (int i = 1; i <= count; ++i) text += L"Zeile " + std::to_wstring(i) + L": kurz\r\n";
  return text;
}

std::int64_t FirstPaintBench(const std::wstring& message) {
  static const bool initialized = [] {
    Application().Initialize();
    return true;
  }();
  KeepResult(initialized);
  // The message box paints its text in a paint box: its first paint is the text shown.
  TFirstPaintProbe probe(L"TavrinoPaintBox");
  ReportMicroBenchSeconds(probe.Run([&] { TFrmMsgBox::Execute(L"", message, MB_OK | MB_ICONINFORMATION); }));
  return 1;
}

}  // namespace

MICRO_BENCH("FrmMsgBox Execute to first paint, one line") { return FirstPaintBench(L"Eine Zeile"); }

MICRO_BENCH("FrmMsgBox Execute to first paint, 5,000 lines") {
  static const std::wstring text = ShortLines(5000);
  return FirstPaintBench(text);
}
