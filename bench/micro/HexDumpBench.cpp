#include "base/StringList.h"
#include "base/Strings.h"
#include "bench/micro/MicroBench.h"

MICRO_BENCH("AddHexDump 64 KB, 8 bytes a row") {
  std::string data(65536, 'x');
  TStringList lines;
  AddHexDump(&lines, data.data(), static_cast<int>(data.size()), 8);
  KeepResult(lines.Count());
  return static_cast<std::int64_t>(data.size());
}
