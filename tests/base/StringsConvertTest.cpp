// Conversions of the string unit: number and byte-size forms (under the test run's locale),
// hexadecimal, binary, base64, UTF-8 streams and the text-to-integer conversion.
#include "base/Locale.h"
#include "base/StringList.h"
#include "base/Streams.h"
#include "base/Strings.h"

#include "support/TestSupport.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>

namespace {

// The separators of the locale the run was started under (ctest runs the tests under "en" and
// "de"), so that a locale-dependent test can only pass under the right one.
struct TLocaleSeps {
  wchar_t Decimal, Thousand;
};

TLocaleSeps RunLocaleSeps() {
  const char* locale = std::getenv("TAVRINO_TEST_LOCALE");
  if (locale && std::string(locale) == "de") return {L',', L'.'};
  if (locale && std::string(locale) == "en") return {L'.', L','};
  ADD_FAILURE() << "TAVRINO_TEST_LOCALE is not set to en or de";
  return {L'?', L'?'};
}

// Expected texts are written in the en-US notation ("1,234.5"); under another locale its two
// separators take their places.
std::wstring InRunLocale(std::wstring text) {
  const TLocaleSeps seps = RunLocaleSeps();
  for (wchar_t& c : text) c = c == L'.' ? seps.Decimal : c == L',' ? seps.Thousand : c;
  return text;
}

TEST(LocaleSnapshot, HoldsTheRunLocaleSeparators) {
  const TLocaleSeps seps = RunLocaleSeps();
  EXPECT_EQ(LocaleSnapshot().DecimalSeparator, seps.Decimal);
  EXPECT_EQ(LocaleSnapshot().ThousandSeparator, seps.Thousand);
}

struct TNumberCase {
  const char* name;
  std::function<std::wstring()> call;
  std::wstring expected;
  bool localeSeps;  // expected is in en-US notation and follows the run's locale
};

class NumberText : public ::testing::TestWithParam<TNumberCase> {};

TEST_P(NumberText, Gives) {
  const TNumberCase& c = GetParam();
  EXPECT_EQ(c.call(), c.localeSeps ? InRunLocale(c.expected) : c.expected);
}

constexpr std::int64_t kGB = std::int64_t{1} << 30, kTB = std::int64_t{1} << 40;

INSTANTIATE_TEST_SUITE_P(
    FormatNumber, NumberText,
    ::testing::Values(
        TNumberCase{"Grouped", [] { return FormatNumber(2, L'.', L',', 1234.5); }, L"1,234.50", false},
        TNumberCase{"AboutDialogSize", [] { return FormatNumber(0, L',', L'.', 1234567); }, L"1.234.567", false},
        TNumberCase{"NoGrouping", [] { return FormatNumber(2, L',', 0, 1234.5); }, L"1234,50", false},
        TNumberCase{"NegativeRounded", [] { return FormatNumber(2, L'.', L',', -1234.567); }, L"-1,234.57", false},
        TNumberCase{"CarryIntoNewGroup", [] { return FormatNumber(2, L'.', L',', 999.999); }, L"1,000.00", false},
        TNumberCase{"HalfAwayFromZero", [] { return FormatNumber(0, L'.', 0, 0.5) + FormatNumber(0, L'.', 0, -2.5); },
                    L"1-3", false},
        TNumberCase{"EighteenDigitsFirst", [] { return FormatNumber(2, L'.', 0, 2.675); }, L"2.67", false},
        TNumberCase{"NoNegativeZero", [] { return FormatNumber(2, L'.', 0, -0.001); }, L"0.00", false},
        TNumberCase{"TenDecimals", [] { return FormatNumber(10, L'.', 0, 0.1); }, L"0.1000000000", false},
        TNumberCase{"BeyondEighteenDigitsZeros", [] { return FormatNumber(1, L'.', 0, 1e20); },
                    L"100000000000000000000.0", false},
        TNumberCase{"NotANumber", [] { return FormatNumber(2, L'.', 0, std::nan("")); }, L"NAN", false},
        TNumberCase{"LocaleDecimal", [] { return FormatNumber(1, 0, 0, 1.5); }, L"1.5", true},
        TNumberCase{"LocaleGroupingOneGroup",
                    [] { return FormatNumber(2, 0, LocaleSnapshot().ThousandSeparator, 12345.678); }, L"12,345.68",
                    true}),
    TCaseName());

INSTANTIATE_TEST_SUITE_P(
    FormatFloatTrim, NumberText,
    ::testing::Values(
        TNumberCase{"ZeroEmpty", [] { return FormatFloatTrim(2, L'.', 0, true, 0); }, L"", false},
        TNumberCase{"ZeroShown", [] { return FormatFloatTrim(2, L'.', 0, false, 0); }, L"0", false},
        TNumberCase{"TrailingZeroGoes", [] { return FormatFloatTrim(2, L',', 0, false, 2.50); }, L"2,5", false},
        TNumberCase{"SeparatorGoes", [] { return FormatFloatTrim(2, L'.', 0, false, 3.00); }, L"3", false},
        TNumberCase{"IntegerZerosStay", [] { return FormatFloatTrim(2, L'.', 0, false, 100); }, L"100", false},
        TNumberCase{"NoDecimalsNoTrim", [] { return FormatFloatTrim(0, L'.', L',', false, 1000); }, L"1,000", false},
        TNumberCase{"TenDecimals", [] { return FormatFloatTrim(10, L'.', 0, false, 0.1); }, L"0.1", false},
        TNumberCase{"LocaleSeparator", [] { return FormatFloatTrim(2, 0, 0, false, 2.5); }, L"2.5", true}),
    TCaseName());

INSTANTIATE_TEST_SUITE_P(
    FormatByteSize, NumberText,
    ::testing::Values(
        TNumberCase{"Zero", [] { return FormatByteSize(0, 1, 0, 0); }, L"0 Bytes", false},
        TNumberCase{"One", [] { return FormatByteSize(0, 1, 0, 1); }, L"1 Byte", false},
        TNumberCase{"ExactlyOneKBStaysBytes", [] { return FormatByteSize(0, 1, 0, 1024); }, L"1024 Bytes", false},
        TNumberCase{"Negative", [] { return FormatByteSize(0, 1, 0, -5); }, L"-5 Bytes", false},
        TNumberCase{"OneKBAndAByte", [] { return FormatByteSize(L'.', 3, 0, 1025); }, L"1.001 KB", false},
        TNumberCase{"OneAndAHalfKB", [] { return FormatByteSize(0, 1, 0, 1536); }, L"1.5 KB", true},
        TNumberCase{"MinusOneAndAHalfKB", [] { return FormatByteSize(0, 1, 0, -1536); }, L"-1.5 KB", true},
        TNumberCase{"ExactlyOneMBIsGroupedKB", [] { return FormatByteSize(0, 1, 0, 1 << 20); }, L"1,024 KB", true},
        TNumberCase{"EightGBTrimmed", [] { return FormatByteSize(0, 1, 0, 8 * kGB); }, L"8 GB", false},
        TNumberCase{"TB", [] { return FormatByteSize(L'.', 2, L',', 5 * kTB + kTB / 2); }, L"5.5 TB", false},
        TNumberCase{"Smallest", [] { return FormatByteSize(L'.', 1, L',', std::numeric_limits<std::int64_t>::min()); },
                    L"-8,388,608 TB", false}),
    TCaseName());

struct TFloatCase {
  const char* name;
  std::wstring text;
  wchar_t decSep;
  double expected;  // 7 is the default
};

class FloatParse : public ::testing::TestWithParam<TFloatCase> {};

TEST_P(FloatParse, Gives) {
  const TFloatCase& c = GetParam();
  EXPECT_EQ(StrToFloatSep(c.text, c.decSep, 7), c.expected);
}

INSTANTIATE_TEST_SUITE_P(StrToFloatSep, FloatParse,
                         ::testing::Values(TFloatCase{"Point", L"1.5", L'.', 1.5},
                                           TFloatCase{"Comma", L"1,5", L',', 1.5},
                                           TFloatCase{"PointStillReadWithComma", L"-0.25", L',', -0.25},
                                           TFloatCase{"GroupingUnreadable", L"1.234,5", L',', 7},
                                           TFloatCase{"SecondSeparatorUnreadable", L"1,2,3", L',', 7},
                                           TFloatCase{"ExponentAndBlanks", L" -2.5e3 ", L'.', -2500},
                                           TFloatCase{"PlusAndBareFraction", L"+.5", L'.', 0.5},
                                           TFloatCase{"TrailingPoint", L"5.", L'.', 5},
                                           TFloatCase{"Empty", L"", L'.', 7},
                                           TFloatCase{"LonePoint", L".", L'.', 7},
                                           TFloatCase{"ExponentWithoutDigits", L"1e", L'.', 7},
                                           TFloatCase{"Word", L"abc", L'.', 7},
                                           TFloatCase{"Infinity", L"inf", L'.', 7},
                                           TFloatCase{"NotANumber", L"nan", L'.', 7},
                                           TFloatCase{"HexFloat", L"0x1p3", L'.', 7},
                                           TFloatCase{"Overflow", L"1e999", L'.', 7},
                                           TFloatCase{"InnerBlank", L"1 000", L'.', 7}),
                         TCaseName());

struct THexIntCase {
  const char* name;
  std::wstring text;
  std::int32_t expected;
};

class HexIntParse : public ::testing::TestWithParam<THexIntCase> {};

TEST_P(HexIntParse, Gives) { EXPECT_EQ(HexToInt(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(HexToInt, HexIntParse,
                         ::testing::Values(THexIntCase{"Digits", L"fF", 255},
                                           THexIntCase{"AllBitsMinusOne", L"FFFFFFFF", -1},
                                           THexIntCase{"Largest", L"7FFFFFFF", INT32_MAX},
                                           THexIntCase{"LeadingZeros", L"000000001", 1},
                                           THexIntCase{"TooLarge", L"100000000", 0},
                                           THexIntCase{"Empty", L"", 0},
                                           THexIntCase{"NotHex", L"G1", 0},
                                           THexIntCase{"NoPrefixAllowed", L"$10", 0},
                                           THexIntCase{"NoSignAllowed", L"-1", 0},
                                           THexIntCase{"NoBlankAllowed", L" 1", 0}),
                         TCaseName());

struct THexCase {
  const char* name;
  std::wstring text;
  std::string bytes;
};

class HexBytes : public ::testing::TestWithParam<THexCase> {};

TEST_P(HexBytes, TextToBytes) { EXPECT_EQ(HexToBytes(GetParam().text), GetParam().bytes); }

INSTANTIATE_TEST_SUITE_P(HexToBytes, HexBytes,
                         ::testing::Values(THexCase{"Pairs", L"01fF00", std::string("\x01\xFF\0", 3)},
                                           THexCase{"Empty", L"", ""}, THexCase{"OddLength", L"ABC", ""},
                                           THexCase{"LetterBeyondF", L"0G", ""}, THexCase{"Blank", L"0 ", ""},
                                           THexCase{"FullWidthDigits", L"\uFF10\uFF11", ""}),
                         TCaseName());

TEST(BytesToHex, TwoUpperCaseDigitsPerByte) {
  EXPECT_EQ(BytesToHex(std::string("\x01\xFF", 2)), L"01FF");
  EXPECT_EQ(BytesToHex(std::string("\0a", 2)), L"0061");
  EXPECT_EQ(BytesToHex(""), L"");
}

struct TBinCase {
  const char* name;
  std::int64_t value;
  int digits, groupSize;
  std::wstring expected;
};

class BinText : public ::testing::TestWithParam<TBinCase> {};

TEST_P(BinText, Gives) {
  const TBinCase& c = GetParam();
  EXPECT_EQ(IntToBin(c.value, c.digits, c.groupSize), c.expected);
}

INSTANTIATE_TEST_SUITE_P(IntToBin, BinText,
                         ::testing::Values(TBinCase{"Groups", 5, 8, 4, L"0000 0101"},
                                           TBinCase{"NoGroups", 5, 8, 0, L"00000101"},
                                           TBinCase{"GroupOfOneIsNone", 5, 4, 1, L"0101"},
                                           TBinCase{"SingleLeadingDigitStays", 0x155, 9, 4, L"10101 0101"},
                                           TBinCase{"TwoLeadingDigitsSplit", 6, 6, 4, L"00 0110"},
                                           TBinCase{"PairsOfTwo", 6, 6, 2, L"00 01 10"},
                                           TBinCase{"Bit31", 0x80000000, 32, 0, L"1" + std::wstring(31, L'0')},
                                           TBinCase{"NoDigits", 5, 0, 4, L""}),
                         TCaseName());

struct TBase64Case {
  const char* name;
  std::string bytes;
  int lineLength;
  std::vector<std::wstring> lines;
};

class Base64 : public ::testing::TestWithParam<TBase64Case> {};

TEST_P(Base64, EncodeFromStartAndDecodeBack) {
  const TBase64Case& c = GetParam();
  TMemoryStream source(c.bytes);
  source.Seek(0, soEnd);  // encoding starts at position 0 all the same
  TStringList lines;
  Base64EncodeLines(source, lines, c.lineLength);
  EXPECT_EQ(lines.Lines(), c.lines);
  TMemoryStream decoded;
  Base64DecodeLines(lines, decoded);
  EXPECT_EQ(decoded.DataString(), c.bytes);
}

const std::string kHundredBytes = [] {
  std::string bytes;
  for (int i = 0; i < 100; ++i) bytes += static_cast<char>(i * 7);
  return bytes;
}();

INSTANTIATE_TEST_SUITE_P(
    Base64Lines, Base64,
    ::testing::Values(TBase64Case{"Empty", "", 64, {}}, TBase64Case{"OneByte", "M", 64, {L"TQ=="}},
                      TBase64Case{"TwoBytes", "Ma", 64, {L"TWE="}}, TBase64Case{"ThreeBytes", "Man", 64, {L"TWFu"}},
                      TBase64Case{"AllBitValues", "\xFB\xFF\xBF", 64, {L"+/+/"}},
                      TBase64Case{"ShortLineLengthMeans64", std::string(60, '\0'), 4, {std::wstring(64, L'A'), L"AAAAAAAAAAAAAAAA"}},
                      TBase64Case{"LinesOfEight", "abcdefghijkl", 8, {L"YWJjZGVm", L"Z2hpamts"}},
                      TBase64Case{"LinesOfTen", "abcdefghijkl", 10, {L"YWJjZGVmZ2", L"hpamts"}},
                      TBase64Case{"HundredBytes", kHundredBytes, 64,
                                  {L"AAcOFRwjKjE4P0ZNVFtiaXB3foWMk5qhqK+2vcTL0tng5+71/AMKERgfJi00O0JJ",
                                   L"UFdeZWxzeoGIj5adpKuyucDHztXc4+rx+P8GDRQbIikwNz5FTFNaYWhvdn2Ei5KZ",
                                   L"oKeutQ=="}}),
    TCaseName());

struct TDecodeCase {
  const char* name;
  std::vector<std::wstring> lines;
  std::string bytes;
};

class Base64Decode : public ::testing::TestWithParam<TDecodeCase> {};

TEST_P(Base64Decode, Gives) {
  TStringList lines;
  for (const std::wstring& line : GetParam().lines) lines.Add(line);
  TMemoryStream stream;
  Base64DecodeLines(lines, stream);
  EXPECT_EQ(stream.DataString(), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Base64DecodeLines, Base64Decode,
    ::testing::Values(TDecodeCase{"GroupAcrossLines", {L"TW", L"Fu"}, "Man"},
                      TDecodeCase{"BlanksSkipped", {L" T W\tF u\r\n"}, "Man"},
                      TDecodeCase{"IncompleteGroupIgnored", {L"TWFuTWE"}, "Man"},
                      TDecodeCase{"OutsideAlphabetCountsZero", {L"T!Fu"}, "L\x01n"},
                      TDecodeCase{"WideCharsCountZero", {L"ÄÄÄ€"}, std::string(3, '\0')},
                      TDecodeCase{"EqualsInSecondPlaceIsZero", {L"Q=QQ"}, std::string("@\x04\x10", 3)},
                      TDecodeCase{"EqualsInThirdPlaceOneByte", {L"TQ=A"}, "M"}),
    TCaseName());

TEST(Base64DecodeLines, WritesAtTheStreamPosition) {
  TMemoryStream stream("xyz");
  stream.SetPosition(1);
  Base64DecodeLines(TStringList{L"TWFu"}, stream);
  EXPECT_EQ(stream.DataString(), "xMan");
}

struct TUtf8WriteCase {
  const char* name;
  std::wstring text;
  bool keepAsIs;
  std::string bytes;
};

class Utf8Write : public ::testing::TestWithParam<TUtf8WriteCase> {};

TEST_P(Utf8Write, OneMarkThenText) {
  const TUtf8WriteCase& c = GetParam();
  TMemoryStream stream;
  WriteTextUtf8(stream, c.text, c.keepAsIs);
  EXPECT_EQ(stream.DataString(), c.bytes);
}

const std::string kBom = "\xEF\xBB\xBF";

INSTANTIATE_TEST_SUITE_P(
    WriteTextUtf8, Utf8Write,
    ::testing::Values(TUtf8WriteCase{"Empty", L"", false, kBom},
                      TUtf8WriteCase{"AllLengths", L"Aä€\U0001F600", false,
                                     kBom + "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"},
                      TUtf8WriteCase{"MarkInTextIsTheMark", L"\uFEFFA", false, kBom + "A"},
                      TUtf8WriteCase{"KeepAsIsWritesSecondMark", L"\uFEFFA", true, kBom + kBom + "A"},
                      TUtf8WriteCase{"PairAcrossBufferBoundary", std::wstring(1364, L'a') + L"\U0001F600b", false,
                                     kBom + std::string(1364, 'a') + "\xF0\x9F\x98\x80" "b"}),
    TCaseName());

struct TUtf8ReadCase {
  const char* name;
  std::string bytes;
  std::wstring text;
};

class Utf8Read : public ::testing::TestWithParam<TUtf8ReadCase> {};

TEST_P(Utf8Read, WholeStreamWithoutLeadingMarks) {
  TMemoryStream stream(GetParam().bytes);
  stream.Seek(0, soEnd);  // read from the start all the same
  EXPECT_EQ(ReadTextUtf8(stream), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(ReadTextUtf8, Utf8Read,
                         ::testing::Values(TUtf8ReadCase{"TwoMarks", kBom + kBom + "Hi \xC3\xA4", L"Hi ä"},
                                           TUtf8ReadCase{"NoMark", "Hi", L"Hi"},
                                           TUtf8ReadCase{"OnlyMark", kBom, L""},
                                           TUtf8ReadCase{"MarkInsideStays", "A" + kBom + "B", L"A\uFEFFB"},
                                           TUtf8ReadCase{"InvalidByteReplaced", "A\xFF", L"A\uFFFD"}),
                         TCaseName());

// The program's one text-to-integer conversion, 32- and 64-bit.
struct TIntCase {
  const char* name;
  std::wstring text;
  std::int32_t int32;  // kDefault: not a number for 32 bits
  std::int64_t int64;
};

constexpr std::int32_t kDefault = -7;

class IntParse : public ::testing::TestWithParam<TIntCase> {};

TEST_P(IntParse, Gives) {
  const TIntCase& c = GetParam();
  EXPECT_EQ(StrToIntDef(c.text, kDefault), c.int32);
  EXPECT_EQ(StrToInt64Def(c.text, kDefault), c.int64);
}

INSTANTIATE_TEST_SUITE_P(
    StrToIntDef, IntParse,
    ::testing::Values(TIntCase{"Decimal", L"42", 42, 42}, TIntCase{"LeadingSpaces", L"   42", 42, 42},
                      TIntCase{"Plus", L"+42", 42, 42}, TIntCase{"Minus", L" -42", -42, -42},
                      TIntCase{"Dollar", L"$1F", 31, 31}, TIntCase{"SmallX", L"x1f", 31, 31},
                      TIntCase{"CapitalX", L"X1F", 31, 31}, TIntCase{"ZeroX", L"0x1F", 31, 31},
                      TIntCase{"ZeroCapitalX", L"0X1f", 31, 31}, TIntCase{"SignedHex", L" -$10", -16, -16},
                      TIntCase{"LeadingZeros", L"0000000000000000000000042", 42, 42},
                      TIntCase{"AllBitsHex", L"$FFFFFFFF", -1, 0xFFFFFFFFll},
                      TIntCase{"Int32Max", L"2147483647", INT32_MAX, INT32_MAX},
                      TIntCase{"Int32Min", L"-2147483648", INT32_MIN, INT32_MIN},
                      TIntCase{"AboveInt32", L"2147483648", kDefault, 2147483648ll},
                      TIntCase{"BelowInt32", L"-2147483649", kDefault, -2147483649ll},
                      TIntCase{"HexAboveInt32", L"$100000000", kDefault, 0x100000000ll},
                      TIntCase{"Int64Max", L"9223372036854775807", kDefault, INT64_MAX},
                      TIntCase{"Int64Min", L"-9223372036854775808", kDefault, INT64_MIN},
                      TIntCase{"AboveInt64", L"9223372036854775808", kDefault, kDefault},
                      TIntCase{"AllBitsHex64", L"$FFFFFFFFFFFFFFFF", kDefault, -1},
                      TIntCase{"HexAboveInt64", L"$10000000000000000", kDefault, kDefault},
                      TIntCase{"Empty", L"", kDefault, kDefault}, TIntCase{"OnlySpaces", L"   ", kDefault, kDefault},
                      TIntCase{"Trailing", L"42 ", kDefault, kDefault},
                      TIntCase{"TrailingLetter", L"42a", kDefault, kDefault},
                      TIntCase{"InnerSpace", L"4 2", kDefault, kDefault},
                      TIntCase{"SpaceAfterSign", L"- 4", kDefault, kDefault},
                      TIntCase{"Tab", L"\t42", kDefault, kDefault}, TIntCase{"LoneSign", L"-", kDefault, kDefault},
                      TIntCase{"LonePrefix", L"0x", kDefault, kDefault},
                      TIntCase{"LoneDollar", L"$", kDefault, kDefault},
                      TIntCase{"TwoPrefixes", L"0x0x1", kDefault, kDefault},
                      TIntCase{"HexDigitWithoutPrefix", L"1F", kDefault, kDefault},
                      TIntCase{"FullWidthDigits", L"\uFF11\uFF12", kDefault, kDefault}),
    TCaseName());

}  // namespace
