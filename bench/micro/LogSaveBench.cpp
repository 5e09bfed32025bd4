// The parts of saving the log: the view's text out of a 100,000-line edit control, its ANSI
// form, and the file written beside the target and swapped in; against one bare WriteFile.
#include "base/Files.h"
#include "base/Handle.h"
#include "base/Unicode.h"
#include "bench/micro/MicroBench.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <memory>

namespace {

constexpr int kLines = 100000;

struct TFullView {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TMemo* Memo;
  TFullView() {
    Form->SetClientSize(500, 400);
    Memo = new TMemo(Form.get());
    Memo->SetScrollBars(ssBoth);
    Memo->SetWordWrap(false);
    Memo->SetAlign(alClient);
    Memo->SetParent(Form.get());
    Form->Show();
    std::wstring text;
    text.reserve(static_cast<size_t>(kLines) * 102);
    for (int i = 0; i < kLines; ++i) text += std::wstring(100, L'x') + L"\r\n";
    Memo->SetText(text);
  }
};

TFullView& View() {
  static TFullView view;
  return view;
}

std::wstring BenchFile() {
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"TavrinoLogSaveBench.txt";
}

}  // namespace

MICRO_BENCH("Log save: view text of 100,000 lines") {
  KeepResult(View().Memo->Lines().Text().size());
  return kLines;
}

MICRO_BENCH("Log save: ANSI form of 10 MB") {
  static const std::wstring text = View().Memo->Lines().Text();
  KeepResult(TextToAnsi(text).size());
  return kLines;
}

MICRO_BENCH("Log save: WriteFileReplacing 10 MB") {
  static const std::string bytes(static_cast<size_t>(kLines) * 102, 'x');
  WriteFileReplacing(BenchFile(), bytes);
  return kLines;
}

MICRO_BENCH("Log save: one WriteFile 10 MB (yardstick)") {
  static const std::string bytes(static_cast<size_t>(kLines) * 102, 'x');
  TFileHandle file(::CreateFileW(BenchFile().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::FlushFileBuffers(file.Get());
  return kLines;
}
