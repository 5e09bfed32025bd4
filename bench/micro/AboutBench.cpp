// The About dialog's slow parts: the checksum of the program file (read in blocks of 1 MiB on
// the user-interface thread under the busy cursor), for the real Tavrino.exe and for a file of
// 100 MB. Items are bytes, so items/s is the reading speed. And the dialog from the call of
// TFrmAbout::Execute (what the Info button does) to the dialog's first paint.
#include "base/Files.h"
#include "bench/micro/FirstPaint.h"
#include "bench/micro/MicroBench.h"
#include "toolkit/Forms.h"
#include "ui/FrmAbout.h"

#include <string>

namespace {

std::wstring TavrinoExe() {
  // The benchmark lives in build/bench, the program in build.
  std::wstring bench = FileFolder(ProgramFileName());
  bench.pop_back();
  return FileFolder(bench) + L"Tavrino.exe";
}

// A file of 100 MB, written once and removed when the benchmark program ends.
const std::wstring& LargeFile() {
  static const std::wstring name = [] {
    const std::wstring file = CreateUniqueFile(SystemTempFolder(), L"TavrinoCrcBench", L".bin");
    std::string block(1 << 20, '\0');
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + 7);
    std::string bytes;
    bytes.reserve(100u << 20);
    for (int i = 0; i < 100; ++i) bytes += block;
    WriteFileReplacing(file, bytes);
    return file;
  }();
  static TTempFile remove(name);
  return name;
}

// The Info button's call; the figure of the run is reported.
double AboutToFirstPaint() {
  static const bool initialized = [] {
    Application().Initialize();
    return true;
  }();
  KeepResult(initialized);
  TFirstPaintProbe probe(L"TavrinoForm");
  return probe.Run([] {
    TFrmAbout::Execute(L"Tavrino", L"2.0.6", L"Aktueller UDP-Port: 6702\r\n\r\nKommandozeilen-Parameter:");
  });
}

}  // namespace

MICRO_BENCH("FileCrc32 of Tavrino.exe") {
  const std::wstring exe = TavrinoExe();
  const std::int64_t size = FileSize64(exe);
  if (size < 0) return 0;  // not built
  KeepResult(FileCrc32(exe));
  return size;
}

MICRO_BENCH("FileCrc32 of a 100 MB file") {
  const std::wstring& file = LargeFile();
  KeepResult(FileCrc32(file));
  return FileSize64(file);
}

// The first dialog of the process (fonts, window classes and the system's facts read for the
// first time): every run reports the first figure.
MICRO_BENCH("FrmAbout first Execute to first paint") {
  static const double first = AboutToFirstPaint();
  ReportMicroBenchSeconds(first);
  return 1;
}

MICRO_BENCH("FrmAbout later Execute to first paint") {
  ReportMicroBenchSeconds(AboutToFirstPaint());
  return 1;
}
