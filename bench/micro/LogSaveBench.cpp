// The parts of saving the log: the ANSI form of a 100,000-line view read in slices from its
// blocks, and the file written beside the target and swapped in; against one bare WriteFile.
#include "base/Files.h"
#include "base/Handle.h"
#include "base/Unicode.h"
#include "bench/micro/MicroBench.h"
#include "toolkit/LogText.h"

namespace {

constexpr int kLines = 100000;

const TLogText& FullText() {
  static TLogText text;
  if (text.Length() == 0) {
    const std::wstring line = std::wstring(100, L'x') + L"\r\n";
    for (int i = 0; i < kLines; ++i) text.Append(line);
  }
  return text;
}

std::wstring BenchFile() {
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"TavrinoLogSaveBench.txt";
}

}  // namespace

MICRO_BENCH("Log save: ANSI form of 10 MB, read and converted in slices of 64 K") {
  const TLogText& text = FullText();
  std::wstring slice(1 << 16, L'\0');
  TAnsiEncoder encoder;
  std::size_t bytes = 0;
  for (TLogText::TPos at = 0; at < text.Length(); at += 1 << 16)
    bytes += encoder.Encode(std::wstring_view(slice.data(), static_cast<std::size_t>(text.Read(at, 1 << 16, slice.data())))).size();
  KeepResult(bytes);
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
