#include "base/Unicode.h"
#include "base/Win.h"

#include "support/TestSupport.h"

namespace {

struct TFitCase {
  const char* name;
  std::wstring text;
  unsigned codePage;
  bool fits;
};

class TextFitsCodePageOf : public ::testing::TestWithParam<TFitCase> {};

TEST_P(TextFitsCodePageOf, Text) {
  EXPECT_EQ(TextFitsCodePage(GetParam().text, GetParam().codePage), GetParam().fits);
}

INSTANTIATE_TEST_SUITE_P(
    Unicode, TextFitsCodePageOf,
    ::testing::Values(TFitCase{"Empty", L"", 1252, true},
                      TFitCase{"Ascii", L"Font Size=8", 1252, true},
                      TFitCase{"Umlauts", L"Grüße €", 1252, true},
                      TFitCase{"Chinese", L"a\u4E2D", 1252, false},
                      // "ā" would be written as its look-alike "a".
                      TFitCase{"BestFitOnly", L"\u0101", 1252, false},
                      TFitCase{"NotInCyrillic", L"ü", 1251, false},
                      TFitCase{"Cyrillic", L"Привет", 1251, true},
                      TFitCase{"Japanese", L"日本", 932, true},
                      // UTF-8 as the ANSI code page holds everything but a broken surrogate pair.
                      TFitCase{"Utf8Everything", L"Grüße \u4E2D \U0001F600", CP_UTF8, true},
                      TFitCase{"Utf8LoneSurrogate", std::wstring(L"a\xD800"), CP_UTF8, false},
                      TFitCase{"Utf7CannotTell", L"a", CP_UTF7, false}),
    TCaseName());

TEST(TextFitsCodePage, AnsiCodePageByDefault) {
  if (::GetACP() != 1252) GTEST_SKIP() << "written for code page 1252, the one of the test locales";
  EXPECT_TRUE(TextFitsCodePage(L"Grüße"));
  EXPECT_FALSE(TextFitsCodePage(L"\u4E2D"));
}

}  // namespace

namespace {

// Text converted in pieces, cut anywhere (through a surrogate pair too), gives the bytes of the
// whole text converted at once.
TEST(AnsiEncoder, PiecesCutAnywhereGiveTheBytesOfTheWhole) {
  const std::wstring text = L"Grüße \u2190 plain ASCII \U0001F600 und \u4E2D.";
  for (unsigned codePage : {0u, 1252u, static_cast<unsigned>(CP_UTF8)}) {
    const std::string whole = TextToAnsi(text, codePage);
    for (std::size_t piece : {1u, 2u, 3u, 7u, 100u}) {
      TAnsiEncoder encoder(codePage);
      std::string bytes;
      for (std::size_t at = 0; at < text.size(); at += piece)
        bytes += encoder.Encode(std::wstring_view(text).substr(at, piece));
      bytes += encoder.Finish();
      EXPECT_EQ(bytes, whole) << "code page " << codePage << ", pieces of " << piece;
    }
  }
}

TEST(AnsiEncoder, HalfASurrogatePairAtTheEndIsConvertedAsTheSystemDoes) {
  TAnsiEncoder encoder(CP_UTF8);
  EXPECT_EQ(encoder.Encode(L"a\xD83D"), "a");
  EXPECT_EQ(encoder.Finish(), TextToAnsi(L"\xD83D", CP_UTF8));
  EXPECT_EQ(encoder.Finish(), "");
}

}  // namespace
