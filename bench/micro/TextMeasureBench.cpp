// Wrapping long texts as the message box does: nothing may grow faster than the text. The
// paragraph rows at 10,000 and 100,000 characters show whether the wrapping stays linear.
#include "bench/micro/MicroBench.h"
#include "toolkit/Graphics.h"
#include "ui/TextMeasure.h"

namespace {

using TMemoryDc = TUniqueHandle<HDC, ::DeleteDC>;

// A device context with the message box's font, as the box measures with it.
class TBoxFontDc {
public:
  TBoxFontDc()
      : FDc(::CreateCompatibleDC(nullptr)),
        FFont(CreateFontFor(TFontDesc::FromPoints(L"Segoe UI", 9), 96)),
        FSelect(FDc.Get(), FFont.Get()) {}
  HDC Get() const { return FDc.Get(); }

private:
  TMemoryDc FDc;
  TFontHandle FFont;
  TSelectObject FSelect;
};

std::wstring Paragraph(size_t length) {
  std::wstring text;
  text.reserve(length);
  for (size_t i = 0; text.size() < length; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
  return text;
}

std::wstring ShortLines(int count) {
  std::wstring text;
  for (int i = 1; i <= count; ++i) text += L"Zeile " + std::to_wstring(i) + L": kurz\r\n";
  return text;
}

std::int64_t WrapBench(const std::wstring& text) {
  static TBoxFontDc dc;
  KeepResult(WrapText(dc.Get(), text, 400).size());
  return static_cast<std::int64_t>(text.size());
}

}  // namespace

MICRO_BENCH("WrapText, 10,000-character paragraph, 400 px") {
  static const std::wstring text = Paragraph(10000);
  return WrapBench(text);
}

MICRO_BENCH("WrapText, 100,000-character paragraph, 400 px") {
  static const std::wstring text = Paragraph(100000);
  return WrapBench(text);
}

MICRO_BENCH("WrapText, 5,000 short lines, 400 px") {
  static const std::wstring text = ShortLines(5000);
  return WrapBench(text);
}
