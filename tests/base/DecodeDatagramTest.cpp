// Datagram bytes to text in each character encoding, and the count of characters that the ANSI
// code page cannot write.
#include "base/Unicode.h"
#include "base/Win.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <random>

namespace {

constexpr wchar_t kBad = 0xFFFD;

// The ANSI forms are those of code page 1252, the one of both test locales.
struct TDecodeCase {
  const char* name;
  std::string bytes;
  std::wstring utf8;
  std::wstring ansi;
  bool autoIsUtf8;
};

class DecodeDatagramOf : public ::testing::TestWithParam<TDecodeCase> {
protected:
  void SetUp() override {
    if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI forms are those of code page 1252";
  }
};

TEST_P(DecodeDatagramOf, EachEncoding) {
  const TDecodeCase& c = GetParam();
  EXPECT_EQ(DecodeDatagram(c.bytes, chUtf8), c.utf8);
  EXPECT_EQ(DecodeDatagram(c.bytes, chAnsi), c.ansi);
  EXPECT_EQ(DecodeDatagram(c.bytes, chAuto), c.autoIsUtf8 ? c.utf8 : c.ansi);
}

std::wstring Bad(int count) { return std::wstring(static_cast<std::size_t>(count), kBad); }

INSTANTIATE_TEST_SUITE_P(
    Decode, DecodeDatagramOf,
    ::testing::Values(
        TDecodeCase{"Empty", "", L"", L"", false},
        TDecodeCase{"Ascii", "INFO 12:03 service started, 42 items", L"INFO 12:03 service started, 42 items",
                    L"INFO 12:03 service started, 42 items", false},
        // A zero byte is a character like any other and ends nothing.
        TDecodeCase{"ZeroBytes", std::string("a\0b\0\0 and more text", 19), std::wstring(L"a\0b\0\0 and more text", 19),
                    std::wstring(L"a\0b\0\0 and more text", 19), false},
        TDecodeCase{"TwoAndThreeBytes", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93", L"Grüße \u2713",
                    L"Gr\u00C3\u00BC\u00C3\u0178e \u00E2\u0153\u201C", true},
        TDecodeCase{"FourBytes", "\xF0\x9F\x98\x80", L"\U0001F600", L"\u00F0\u0178\u02DC\u20AC", true},
        TDecodeCase{"LongestAndShortestOfEachLength",
                    "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
                    L"\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF",
                    L"\u00C2\u20AC\u00DF\u00BF\u00E0\u00A0\u20AC\u00EF\u00BF\u00BF\u00F0\u0090\u20AC\u20AC\u00F4\u008F"
                    L"\u00BF\u00BF",
                    true},
        TDecodeCase{"UmlautsInAnsi", "Gr\xFC\xDF" "e", L"Gr" + Bad(2) + L"e", L"Grüße", false},
        // Valid UTF-8 before a bad byte does not make the whole datagram UTF-8.
        TDecodeCase{"ValidThenInvalid", "\xC3\xA4 \xE4", L"ä " + Bad(1), L"\u00C3\u00A4 ä", false},
        TDecodeCase{"OverlongTwoBytes", "a\xC0\xAF" "b", L"a" + Bad(2) + L"b", L"a\u00C0\u00AFb", false},
        TDecodeCase{"OverlongThreeBytes", "\xE0\x80\xAF", Bad(3), L"\u00E0\u20AC\u00AF", false},
        TDecodeCase{"OverlongFourBytes", "\xF0\x8F\xBF\xBF", Bad(4), L"\u00F0\u008F\u00BF\u00BF", false},
        TDecodeCase{"Surrogate", "\xED\xA0\x80", Bad(3), L"\u00ED\u00A0\u20AC", false},
        TDecodeCase{"LastBeforeSurrogates", "\xED\x9F\xBF", L"\uD7FF", L"\u00ED\u0178\u00BF", true},
        TDecodeCase{"AboveTheLastCodePoint", "\xF4\x90\x80\x80", Bad(4), L"\u00F4\u0090\u20AC\u20AC", false},
        // A cut sequence is one replacement for all its bytes, wherever it is cut.
        TDecodeCase{"CutAtTheEnd", "ab\xE2\x9C", L"ab" + Bad(1), L"ab\u00E2\u0153", false},
        TDecodeCase{"CutFourBytesAtTheEnd", "ab\xF0\x9F\x98", L"ab" + Bad(1), L"ab\u00F0\u0178\u02DC", false},
        TDecodeCase{"CutInTheMiddle", "a\xE2\x9C" "b", L"a" + Bad(1) + L"b", L"a\u00E2\u0153b", false},
        TDecodeCase{"CutBeforeAnotherLead", "\xF0\x9F\x98\xC3\xA4", Bad(1) + L"ä", L"\u00F0\u0178\u02DC\u00C3\u00A4",
                    false},
        TDecodeCase{"LoneContinuationBytes", "\x80\x8A\x9F\xBF", Bad(4), L"\u20AC\u0160\u0178\u00BF", false},
        TDecodeCase{"NeverLeadBytes", "\xC0\xC1\xF5\xF8\xFE\xFF", Bad(6), L"\u00C0\u00C1\u00F5\u00F8\u00FE\u00FF",
                    false}),
    TCaseName());

// The eight-byte steps over ASCII meet a multi-byte sequence or a fault at every offset.
TEST(DecodeDatagram, SequencesAtEveryOffsetOfTheAsciiSteps) {
  for (std::size_t before = 0; before < 20; ++before)
    for (std::size_t after : {0u, 1u, 7u, 8u, 9u}) {
      const std::string head(before, 'x'), tail(after, 'y');
      const std::wstring wideHead(before, L'x'), wideTail(after, L'y');
      EXPECT_EQ(DecodeDatagram(head + "\xE2\x9C\x93" + tail, chAuto), wideHead + L"\u2713" + wideTail) << before;
      EXPECT_EQ(DecodeDatagram(head + "\xF0\x9F\x98\x80" + tail, chUtf8), wideHead + L"\U0001F600" + wideTail)
          << before;
      EXPECT_EQ(DecodeDatagram(head + "\xFF" + tail, chUtf8), wideHead + L"\uFFFD" + wideTail) << before;
      EXPECT_EQ(DecodeDatagram(head + "\xE2\x9C" + tail, chUtf8), wideHead + L"\uFFFD" + wideTail) << before;
    }
}

// Every byte that cannot start a sequence is one replacement on its own, and in ANSI the code
// page's character (0x80 is the euro sign in 1252).
TEST(DecodeDatagram, EachByteAloneThatStartsNothing) {
  for (int b = 0x80; b <= 0xFF; ++b) {
    const std::string bytes(1, static_cast<char>(b));
    EXPECT_EQ(DecodeDatagram(bytes, chUtf8), L"\uFFFD") << std::hex << b;
    EXPECT_EQ(DecodeDatagram(bytes, chAuto), AnsiToText(bytes)) << std::hex << b;
  }
  if (::GetACP() == 1252) {
    EXPECT_EQ(DecodeDatagram("\x80", chAnsi), L"\u20AC");
  }
}

// Any text of valid characters comes back whole from its UTF-8 bytes.
TEST(DecodeDatagram, ValidUtf8OfRandomTextComesBackWhole) {
  std::mt19937 random(20);
  std::uniform_int_distribution<int> kind(0, 4);
  for (int round = 0; round < 200; ++round) {
    std::wstring text;
    const int length = std::uniform_int_distribution<int>(0, 80)(random);
    for (int i = 0; i < length; ++i) {
      char32_t code = 0;
      switch (kind(random)) {
        case 0: code = std::uniform_int_distribution<char32_t>(0, 0x7F)(random); break;
        case 1: code = std::uniform_int_distribution<char32_t>(0x80, 0x7FF)(random); break;
        case 2: code = std::uniform_int_distribution<char32_t>(0x800, 0xD7FF)(random); break;
        case 3: code = std::uniform_int_distribution<char32_t>(0xE000, 0xFFFF)(random); break;
        default: code = std::uniform_int_distribution<char32_t>(0x10000, 0x10FFFF)(random); break;
      }
      if (code < 0x10000) {
        text += static_cast<wchar_t>(code);
      } else {
        text += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
        text += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
      }
    }
    const std::string bytes = TextToUtf8(text);
    ASSERT_EQ(DecodeDatagram(bytes, chUtf8), text) << round;
    ASSERT_EQ(DecodeDatagram(bytes, chAuto), text) << round;
  }
}

// Random bytes never lose one: each byte is either part of a character or of a replacement, so
// taking out the replaced bytes leaves exactly the UTF-8 of what was decoded without them.
TEST(DecodeDatagram, RandomBytesAreNeverDroppedSilently) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(std::uniform_int_distribution<std::size_t>(0, 24)(random), '\0');
    for (char& b : bytes) b = static_cast<char>(std::uniform_int_distribution<int>(0x70, 0xFF)(random));
    const std::wstring text = DecodeDatagram(bytes, chUtf8);
    ASSERT_LE(text.size(), bytes.size());
    std::wstring kept;
    for (wchar_t c : text)
      if (c != kBad) kept += c;
    const std::size_t keptBytes = TextToUtf8(kept).size();
    const auto replaced = static_cast<std::size_t>(std::count(text.begin(), text.end(), kBad));
    // At least one byte per replacement, at most three (the longest maximal subpart).
    EXPECT_GE(bytes.size(), keptBytes + replaced) << round;
    EXPECT_LE(bytes.size(), keptBytes + 3 * replaced) << round;
  }
}

// ---- characters the ANSI code page cannot write ----

struct TMisfitCase {
  const char* name;
  std::wstring text;
  unsigned codePage;
  std::int64_t count;
};

class CodePageMisfitsOf : public ::testing::TestWithParam<TMisfitCase> {};

TEST_P(CodePageMisfitsOf, TextWholeAndInPieces) {
  const TMisfitCase& c = GetParam();
  for (std::size_t piece : {c.text.size() + 1, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5}}) {
    TCodePageMisfits misfits(c.codePage);
    for (std::size_t at = 0; at < c.text.size(); at += piece) misfits.Add(std::wstring_view(c.text).substr(at, piece));
    EXPECT_EQ(misfits.Count(), c.count) << "pieces of " << piece;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Unicode, CodePageMisfitsOf,
    ::testing::Values(TMisfitCase{"Empty", L"", 1252, 0}, TMisfitCase{"Ascii", L"INFO line\r\n\t", 1252, 0},
                      TMisfitCase{"Umlauts", L"Grüße € ÿ", 1252, 0},
                      TMisfitCase{"Check", L"ok \u2713 ok \u2713", 1252, 2},
                      // A look-alike is no byte form of its own.
                      TMisfitCase{"BestFitOnly", L"\u0101", 1252, 1},
                      TMisfitCase{"PairIsOne", L"a\U0001F600b\U0001F600", 1252, 2},
                      TMisfitCase{"LoneHighAtTheEnd", std::wstring(L"ab\xD83D"), 1252, 1},
                      TMisfitCase{"LoneHighInTheMiddle", std::wstring(L"a\xD83D" L"bc"), 1252, 1},
                      TMisfitCase{"LoneLow", std::wstring(L"a\xDE00"), 1252, 1},
                      TMisfitCase{"NotInCyrillic", L"Grüße", 1251, 2},
                      TMisfitCase{"Cyrillic", L"Привет", 1251, 0},
                      TMisfitCase{"Japanese", L"日本", 932, 0},
                      TMisfitCase{"Utf8HoldsPairs", L"\u2713\U0001F600", CP_UTF8, 0},
                      TMisfitCase{"Utf8NotLoneHalves", std::wstring(L"\xD83D\U0001F600\xDE00"), CP_UTF8, 2}),
    TCaseName());

TEST(CodePageMisfits, AnsiCodePageByDefault) {
  if (::GetACP() != 1252) GTEST_SKIP() << "written for code page 1252, the one of the test locales";
  TCodePageMisfits misfits;
  misfits.Add(std::wstring(1234, L'\u2713') + L"Grüße");
  EXPECT_EQ(misfits.Count(), 1234);
}

}  // namespace
