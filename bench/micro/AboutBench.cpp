// The About dialog's slow parts: the checksum of the program file (read in blocks of 1 MiB on
// the user-interface thread under the busy cursor), for the real Tavrino.exe and for a file of
// 100 MB. Items are bytes, so items/s is the reading speed.
#include "base/Files.h"
#include "bench/micro/MicroBench.h"

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
