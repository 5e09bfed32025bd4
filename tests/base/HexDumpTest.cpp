#include "base/StringList.h"
#include "base/Strings.h"

#include "support/TestSupport.h"

namespace {

struct THexDumpCase {
  const char* name;
  std::string bytes;
  int bytesPerLine;
  std::vector<std::wstring> rows;
};

class HexDump : public ::testing::TestWithParam<THexDumpCase> {};

TEST_P(HexDump, Rows) {
  const THexDumpCase& c = GetParam();
  TStringList lines;
  AddHexDump(&lines, c.bytes.data(), static_cast<int>(c.bytes.size()), c.bytesPerLine);
  EXPECT_EQ(lines.Lines(), c.rows);
}

const std::string kHelloWorld = std::string("Hello World\r\n\0\x1B\xE4", 16);

INSTANTIATE_TEST_SUITE_P(
    AddHexDump, HexDump,
    ::testing::Values(
        THexDumpCase{"HelloWorldTwoRows", kHelloWorld, 8,
                     {L"48 65 6C 6C 6F 20 57 6F   Hello Wo",
                      L"72 6C 64 0D 0A 00 1B E4   rld\u2190\u2193..\u00E4"}},
        THexDumpCase{"ShortLastRowIsFilled", "ABC", 8, {L"41 42 43" + std::wstring(18, L' ') + L"ABC"}},
        THexDumpCase{"EightBytesOneRow", "12345678", 8, {L"31 32 33 34 35 36 37 38   12345678"}},
        THexDumpCase{"NineBytesTwoRows", "123456789", 8,
                     {L"31 32 33 34 35 36 37 38   12345678", L"39" + std::wstring(24, L' ') + L"9"}},
        THexDumpCase{"TabIsDotSpaceIsSpace", "\t ", 8, {L"09 20" + std::wstring(21, L' ') + L". "}},
        THexDumpCase{"HighBytesAreLatin1", "\x7F\x80\x9F\xFF", 8,
                     {L"7F 80 9F FF" + std::wstring(15, L' ') + L"\u007F\u0080\u009F\u00FF"}},
        THexDumpCase{"EmptyDataNoRows", "", 8, {}},
        THexDumpCase{"ZeroBytesPerLineNoRows", "ABC", 0, {}},
        THexDumpCase{"GroupMarkAfterEighthByte", "0123456789", 16,
                     {L"30 31 32 33 34 35 36 37 - 38 39" + std::wstring(21, L' ') + L"0123456789"}}),
    TCaseName());

TEST(HexDumpArguments, MissingDataOrListAddsNothing) {
  TStringList lines;
  AddHexDump(&lines, nullptr, 5, 8);
  EXPECT_EQ(lines.Count(), 0);
  AddHexDump(nullptr, "abc", 3, 8);  // must not crash
}

}  // namespace
