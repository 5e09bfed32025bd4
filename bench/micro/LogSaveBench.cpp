// The parts of saving the log: the ANSI form of a 100,000-line view read in slices from its
// blocks, the count of characters the ANSI code page cannot write (the pass before an ANSI
// save), and the file written beside the target and swapped in; against one bare WriteFile.
#include "base/Files.h"
#include "base/Handle.h"
#include "app/LogSave.h"
#include "base/Unicode.h"
#include "bench/micro/MicroBench.h"
#include "toolkit/LogText.h"

#include <chrono>
#include <cstdio>

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

// The same lines with German words and a check mark in each.
const TLogText& GermanText() {
  static TLogText text;
  if (text.Length() == 0) {
    std::wstring line = L"Größenänderung geprüft \u2713 ";
    line += std::wstring(100 - line.size(), L'x') + L"\r\n";
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

MICRO_BENCH("Log save: ANSI misfits counted in 10 MB of ASCII") {
  // The first count builds the code page's table: its time is the remark.
  static double tableMs = [] {
    const auto start = std::chrono::steady_clock::now();
    TCodePageMisfits misfits;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }();
  char note[64];
  std::snprintf(note, sizeof note, "table built once in %.1f ms", tableMs);
  ReportMicroBenchNote(note);
  const TLogTextSnapshot snapshot = FullText().Snapshot();
  KeepResult(CountAnsiMisfits(snapshot));
  return kLines;
}

MICRO_BENCH("Log save: ANSI misfits counted in 10 MB of German") {
  const TLogTextSnapshot snapshot = GermanText().Snapshot();
  KeepResult(CountAnsiMisfits(snapshot));
  return kLines;
}

MICRO_BENCH("Log save: ANSI form of 10 MB of German") {
  const TLogTextSnapshot snapshot = GermanText().Snapshot();
  std::wstring slice(1 << 16, L'\0');
  TAnsiEncoder encoder;
  std::size_t bytes = 0;
  for (TLogText::TPos at = 0; at < snapshot.Length(); at += 1 << 16)
    bytes += encoder.Encode(std::wstring_view(slice.data(), static_cast<std::size_t>(snapshot.Read(at, 1 << 16, slice.data())))).size();
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
