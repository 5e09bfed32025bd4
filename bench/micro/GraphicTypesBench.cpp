// The graphic type registry: FindByExtension of every registered extension (in the cases a user
// types them) and the leading-bytes lookup of a sample of every type, over the standard types.
#include "bench/micro/MicroBench.h"
#include "ui/GraphicTypes.h"

#include <string>
#include <vector>

namespace {

constexpr int kRounds = 1000;

const std::vector<std::wstring> kExtensions{L".jpg", L"JPEG", L".png", L"bmp", L".GIF", L".ico",
                                            L".emf", L".wmf", L".tif", L".pg"};

std::string EmfHeader() {
  std::string bytes(88, '\0');
  bytes[0] = '\x01';
  bytes.replace(40, 4, " EMF");
  return bytes;
}

const std::vector<std::string> kSamples{
    "BM\x36\x10", "\x89PNG\r\n\x1A\n", "\xFF\xD8\xFF\xE1" "Exif", EmfHeader(), "GIF89a",
    std::string("\0\0\1\0\1\0", 6), std::string("\xD7\xCD\xC6\x9A\0\0", 6), std::string("II*\0", 4),
    "Hello, world"};

}  // namespace

MICRO_BENCH("GraphicTypes: FindByExtension x 10 over all types") {
  const TGraphicTypeList& types = *GraphicTypes();
  std::int64_t found = 0;
  for (int round = 0; round < kRounds; ++round)
    for (const std::wstring& extension : kExtensions) found += types.FindByExtension(extension) ? 1 : 0;
  KeepResult(found);
  return static_cast<std::int64_t>(kRounds) * static_cast<std::int64_t>(kExtensions.size());
}

MICRO_BENCH("GraphicTypes: GuessType x 9 samples") {
  const TGraphicTypeList& types = *GraphicTypes();
  std::int64_t found = 0;
  for (int round = 0; round < kRounds; ++round)
    for (const std::string& sample : kSamples) found += types.GuessType(sample.data(), sample.size()) ? 1 : 0;
  KeepResult(found);
  return static_cast<std::int64_t>(kRounds) * static_cast<std::int64_t>(kSamples.size());
}
