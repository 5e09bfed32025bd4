#include "base/StringList.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "bench/micro/MicroBench.h"

namespace {

constexpr int kTokens = 10000;

const std::wstring& TokenList() {
  static const std::wstring list = [] {
    std::wstring s;
    for (int i = 0; i < kTokens; ++i) s += (i ? L";" : L"") + std::to_wstring(i * 7919);
    return s;
  }();
  return list;
}

constexpr size_t kBase64Bytes = 10u << 20;

TMemoryStream& Base64Source() {
  static TMemoryStream stream = [] {
    std::string bytes(kBase64Bytes, '\0');
    std::uint32_t x = 2463534242u;
    for (char& b : bytes) {
      x ^= x << 13, x ^= x >> 17, x ^= x << 5;
      b = static_cast<char>(x);
    }
    return TMemoryStream(bytes);
  }();
  return stream;
}

const TStringList& Base64Lines() {
  static const TStringList lines = [] {
    TStringList l;
    Base64EncodeLines(Base64Source(), l, 64);
    return l;
  }();
  return lines;
}

}  // namespace

MICRO_BENCH("TokenCount, 10,000 tokens") {
  KeepResult(TokenCount(TokenList(), L";"));
  return kTokens;
}

// Each GetToken walks from the first token, so visiting every index is quadratic by contract.
MICRO_BENCH("GetToken of every index, 10,000 tokens") {
  std::int64_t sum = 0;
  for (int i = 1; i <= kTokens; ++i) sum += static_cast<std::int64_t>(GetToken(TokenList(), L";", i).size());
  KeepResult(sum);
  return kTokens;
}

MICRO_BENCH("NextToken walk, 10,000 tokens") {
  std::wstring_view cursor = TokenList();
  std::wstring token;
  std::int64_t sum = 0;
  while (NextToken(cursor, L";", token, false)) sum += static_cast<std::int64_t>(token.size());
  KeepResult(sum);
  return kTokens;
}

MICRO_BENCH("FormatPlaceholders, 100,000 placeholders") {
  static const std::wstring templ = [] {
    std::wstring t;
    for (int i = 0; i < 25000; ++i) t += L"Zeile ((1)) von ((2)): ((Name)), ((9)) bleibt ";
    return t;
  }();
  static const std::vector<std::wstring> values{L"17", L"4711", L"Name = Max"};
  KeepResult(FormatPlaceholders(templ, values).size());
  return 100000;  // three filled and one unknown placeholder per line
}

MICRO_BENCH("Base64EncodeLines, 10 MB (bytes)") {
  TStringList lines;
  Base64EncodeLines(Base64Source(), lines, 64);
  KeepResult(lines.Count());
  return static_cast<std::int64_t>(kBase64Bytes);
}

MICRO_BENCH("Base64DecodeLines, 10 MB (bytes)") {
  TMemoryStream out;
  Base64DecodeLines(Base64Lines(), out);
  KeepResult(out.Size());
  return static_cast<std::int64_t>(kBase64Bytes);
}
