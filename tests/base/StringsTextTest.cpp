// Trimming, filtering, padding, joining and the small tests of the string unit.
#include "base/StringList.h"
#include "base/Strings.h"

#include "support/TestSupport.h"

#include "CallCase.h"

#include <cstdint>

namespace {

using TTextCase = TCallCase<std::wstring>;
using TPredicateCase = TCallCase<bool>;

class TextRoutine : public ::testing::TestWithParam<TTextCase> {};

TEST_P(TextRoutine, Gives) { EXPECT_EQ(GetParam().call(), GetParam().expected); }

const TCharset kBlanks{L' ', L'\t'};
const std::wstring kSmiley = L"\U0001F600";  // one character, two code units

INSTANTIATE_TEST_SUITE_P(
    TrimAndFilter, TextRoutine,
    ::testing::Values(
        TTextCase{"TrimCharsBoth", [] { return TrimChars(L" \ta b\t ", kBlanks, true, true); }, L"a b"},
        TTextCase{"TrimCharsLeftOnly", [] { return TrimChars(L" a ", kBlanks, true, false); }, L"a "},
        TTextCase{"TrimCharsRightOnly", [] { return TrimChars(L" a ", kBlanks, false, true); }, L" a"},
        TTextCase{"TrimCharsAllMembersEmpty", [] { return TrimChars(L" \t ", kBlanks, true, true); }, L""},
        TTextCase{"TrimCharsWideCharNeverMember",
                  [] { return TrimChars(L"\u0120a\u0120", TCharset{L' '}, true, true); }, L"\u0120a\u0120"},
        TTextCase{"TrimCharsStr", [] { return TrimCharsStr(L"-=a=-", L"=-", true, true); }, L"a"},
        TTextCase{"TrimCharsStrEmptySetKeeps", [] { return TrimCharsStr(L" a ", L"", true, true); }, L" a "},
        TTextCase{"Trim", [] { return Trim(std::wstring(L"\0 a b\r\n", 7)); }, L"a b"},
        TTextCase{"RemoveChars", [] { return RemoveChars(L"a-b_c", TCharset{L'-', L'_'}); }, L"abc"},
        TTextCase{"RemoveCharsEmptySet", [] { return RemoveChars(L"a-b", TCharset()); }, L"a-b"},
        TTextCase{"KeepChars", [] { return KeepChars(L"0171-23 45€", L"0123456789€"); }, L"01712345€"},
        TTextCase{"KeepCharSetDropsWideChars",
                  [] { return KeepCharSet(L"aé€b", TCharset::Range(0, 255)); }, L"aéb"},
        TTextCase{"CollapseCharsRunsOnly",
                  [] { return CollapseChars(L"a--b-c__-d", TCharset{L'-'}, L'_'); }, L"a_b-c_d"},
        TTextCase{"CollapseWhitespace",
                  [] { return CollapseWhitespace(L" \r\n a \t  b\tc \n"); }, L"a b\tc"},
        TTextCase{"LocaleUpperCase", [] { return LocaleUpperCase(L"äbc"); }, L"ÄBC"},
        TTextCase{"LocaleLowerCase", [] { return LocaleLowerCase(L"ÄBC"); }, L"äbc"}),
    TCaseName());

INSTANTIATE_TEST_SUITE_P(
    PadAndJoin, TextRoutine,
    ::testing::Values(
        TTextCase{"PadRightAppends", [] { return PadRight(L"ab", 4, L'.'); }, L"ab.."},
        TTextCase{"PadRightCutsToFirst", [] { return PadRight(L"abcdef", 3); }, L"abc"},
        TTextCase{"PadLeftPrepends", [] { return PadLeft(L"ab", 4, L'0'); }, L"00ab"},
        TTextCase{"PadLeftCutsToLast", [] { return PadLeft(L"abcdef", 3); }, L"def"},
        TTextCase{"PadRightPairCountsOnce", [] { return PadRight(L"a" + kSmiley, 3, L'.'); }, L"a" + kSmiley + L"."},
        TTextCase{"PadRightNeverSplitsPair", [] { return PadRight(kSmiley + kSmiley, 1); }, kSmiley},
        TTextCase{"PadLeftNeverSplitsPair", [] { return PadLeft(kSmiley + L"ab", 3); }, kSmiley + L"ab"},
        TTextCase{"PadLeftCutBehindPair", [] { return PadLeft(kSmiley + L"ab", 2); }, L"ab"},
        TTextCase{"PadZeroWidth", [] { return PadRight(L"x", 0) + PadLeft(L"x", -1); }, L""},
        TTextCase{"RepeatChar", [] { return RepeatChar(L'x', 3) + RepeatChar(L'y', 0) + RepeatChar(L'z', -2); },
                  L"xxx"},
        TTextCase{"Spaces", [] { return Spaces(2); }, L"  "},
        TTextCase{"ZeroPadBeforeSign", [] { return IntToStrZeroPad(-5, 4); }, L"00-5"},
        TTextCase{"ZeroPad", [] { return IntToStrZeroPad(5, 3); }, L"005"},
        TTextCase{"ZeroPadLongerStays", [] { return IntToStrZeroPad(12345, 3); }, L"12345"},
        TTextCase{"ZeroPadZero", [] { return IntToStrZeroPad(0, 2) + L"|" + IntToStrZeroPad(0, 0); }, L"00|0"},
        TTextCase{"ZeroPadNegativeFits", [] { return IntToStrZeroPad(-12, 3); }, L"-12"},
        TTextCase{"ZeroPadInt64Limits",
                  [] { return IntToStrZeroPad(INT64_MIN, 0) + L"|" + IntToStrZeroPad(INT64_MAX, 1); },
                  L"-9223372036854775808|9223372036854775807"},
        TTextCase{"CountTextZeroEmpty", [] { return CountText(0, L"Bytes", L"Byte", true); }, L""},
        TTextCase{"CountTextZero", [] { return CountText(0, L"Bytes", L"Byte", false); }, L"0 Bytes"},
        TTextCase{"CountTextOne", [] { return CountText(1, L"Bytes", L"Byte", true); }, L"1 Byte"},
        TTextCase{"CountTextMinusOne", [] { return CountText(-1, L"Bytes", L"Byte", true); }, L"-1 Bytes"},
        TTextCase{"JoinBoth", [] { return JoinNonEmpty(L"a", L"b", L", "); }, L"a, b"},
        TTextCase{"JoinOneEmpty", [] { return JoinNonEmpty(L"", L"b", L", ") + JoinNonEmpty(L"a", L"", L", "); },
                  L"ba"},
        TTextCase{"JoinArraySkipsEmpty", [] { return JoinNonEmptyArray({L"", L"a", L"", L"b"}, L"; "); }, L"a; b"},
        TTextCase{"WrapNonEmpty", [] { return WrapNonEmpty(L"x", L"(", L")", L"-"); }, L"(x)"},
        TTextCase{"WrapEmptyGivesDefault", [] { return WrapNonEmpty(L"", L"(", L")", L"-"); }, L"-"},
        TTextCase{"HangingIndent", [] { return HangingIndent(L"Key: ", L"a\nb\r\n\rc \r\n "); },
                  L"Key: a\r\n     b\r\n     \r\n     c"},
        TTextCase{"HangingIndentBlankText", [] { return HangingIndent(L"P", L" \r\n\t"); }, L"P"},
        TTextCase{"QuoteWithSpace", [] { return QuoteIfNeeded(L"a b"); }, L"\"a b\""},
        TTextCase{"QuoteDoublesQuoteChar", [] { return QuoteIfNeeded(L"a'b", L'\''); }, L"'a''b'"},
        TTextCase{"QuoteWithCr", [] { return QuoteIfNeeded(L"a\rb"); }, L"\"a\rb\""},
        TTextCase{"QuoteNotForLf", [] { return QuoteIfNeeded(L"a\nb"); }, L"a\nb"},
        TTextCase{"RightStr", [] { return RightStr(L"abc", 2) + L"|" + RightStr(L"abc", 5) + RightStr(L"abc", -1); },
                  L"bc|abc"},
        TTextCase{"StrFromBuf", [] { return StrFromBuf(L"abcdef", 3) + StrFromBuf(nullptr, 3); }, L"abc"},
        TTextCase{"IfThenStr", [] { return IfThenStr(true, L"a", L"b") + IfThenStr(false, L"a", L"b"); }, L"ab"}),
    TCaseName());

class TextTest : public ::testing::TestWithParam<TPredicateCase> {};

TEST_P(TextTest, Gives) { EXPECT_EQ(GetParam().call(), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Predicates, TextTest,
    ::testing::Values(TPredicateCase{"IntegerDigits", [] { return IsInteger(L"0123"); }, true},
                      TPredicateCase{"IntegerSigned", [] { return IsInteger(L"-1") && IsInteger(L"+0"); }, true},
                      TPredicateCase{"IntegerEmpty", [] { return IsInteger(L""); }, false},
                      TPredicateCase{"IntegerLoneSign", [] { return IsInteger(L"-") || IsInteger(L"+"); }, false},
                      TPredicateCase{"IntegerBlank", [] { return IsInteger(L" 1") || IsInteger(L"1 "); }, false},
                      TPredicateCase{"IntegerFraction", [] { return IsInteger(L"1.0"); }, false},
                      TPredicateCase{"IntegerHex", [] { return IsInteger(L"$1"); }, false},
                      TPredicateCase{"SameIgnoringCase", [] { return SameTextOrStr(L"äbc", L"ÄBC", true); }, true},
                      TPredicateCase{"SameCaseSensitive", [] { return SameTextOrStr(L"abc", L"ABC", false); }, false},
                      TPredicateCase{"SameDifferent", [] { return SameTextOrStr(L"abc", L"abd", true); }, false},
                      TPredicateCase{"SameEmpty", [] { return SameTextOrStr(L"", L"", false); }, true},
                      TPredicateCase{"OrdinalIgnoresCase", [] { return SameTextOrdinal(L"Yes", L"yES"); }, true},
                      TPredicateCase{"OrdinalBeyondAscii", [] { return SameTextOrdinal(L"äbc", L"ÄBC"); }, true},
                      TPredicateCase{"OrdinalDifferent", [] { return SameTextOrdinal(L"Ja", L"Jo"); }, false},
                      TPredicateCase{"OrdinalPrefixOnly", [] { return SameTextOrdinal(L"Ja", L"J"); }, false},
                      TPredicateCase{"OrdinalEmpty", [] { return SameTextOrdinal(L"", L""); }, true},
                      TPredicateCase{"OrdinalCountsPastZero",  // counted, not zero-terminated
                                     [] { return SameTextOrdinal(std::wstring(L"a\0b", 3), std::wstring(L"A\0C", 3)); },
                                     false},
                      TPredicateCase{"OrdinalZeroInside",
                                     [] { return SameTextOrdinal(std::wstring(L"a\0b", 3), std::wstring(L"A\0B", 3)); },
                                     true},
                      TPredicateCase{"OrderIgnoresCase",
                                     [] { return CompareTextOrdinal(L"arial", L"BAHNSCHRIFT") < 0 &&
                                                 CompareTextOrdinal(L"Courier", L"courier") == 0; },
                                     true},
                      TPredicateCase{"OrderBeginningFirst",
                                     [] { return CompareTextOrdinal(L"j", L"Ja") < 0 && CompareTextOrdinal(L"Ja", L"j") > 0; },
                                     true},
                      TPredicateCase{"OrderByCodeNotLocale",  // a locale puts "ä" before "Z"
                                     [] { return CompareTextOrdinal(L"Z", L"ä") < 0; }, true}),
    TCaseName());

TEST(TextLength, SurrogatePairCountsOnceLoneSurrogateToo) {
  EXPECT_EQ(CodePointLength(L""), 0);
  EXPECT_EQ(CodePointLength(L"a" + kSmiley), 2);
  EXPECT_EQ(CodePointLength(std::wstring(L"\xD800" L"a")), 2);
}

TEST(StrPos, FindsFirstOccurrenceOrEnd) {
  const wchar_t* s = L"hello";
  EXPECT_EQ(StrPos(s, L"l"), s + 2);
  EXPECT_EQ(StrPos(s, L""), s + 5);
  EXPECT_EQ(StrPos(s, L"x"), nullptr);
  EXPECT_EQ(StrPos(nullptr, L"x"), nullptr);
}

TEST(RemoveChars, ByteStringVariant) {
  EXPECT_EQ(RemoveChars(std::string("a\0b\xFF", 4), TCharset{0, 255}), "ab");
}

// A list that counts how often an update bracket opens.
class TCountingList : public TStringList {
public:
  using TStringList::TStringList;
  int Opened = 0;

protected:
  void SetUpdateState(bool updating) override { Opened += updating; }
};

struct TTrimStringsCase {
  const char* name;
  std::vector<std::wstring> lines;
  TTrimStringsOptions options;
  TCharset chars;
  std::vector<std::wstring> expected;
};

class TrimStringsCase : public ::testing::TestWithParam<TTrimStringsCase> {};

TEST_P(TrimStringsCase, GivesLinesInOneBracket) {
  const TTrimStringsCase& c = GetParam();
  TCountingList list;
  for (const std::wstring& line : c.lines) list.Add(line);
  TrimStrings(list, c.options, c.chars);
  EXPECT_EQ(list.Lines(), c.expected);
  EXPECT_EQ(list.Opened, 1);
  EXPECT_EQ(list.UpdateCount(), 0);
}

const std::vector<std::wstring> kPadded{L"", L" ", L"a", L"", L"b", L"\t"};

INSTANTIATE_TEST_SUITE_P(
    TrimStrings, TrimStringsCase,
    ::testing::Values(
        TTrimStringsCase{"LeftIndentByLeast", {L"    a", L"  b"}, {toLeftIndent}, kBlanks, {L"  a", L"b"}},
        TTrimStringsCase{"LeftIndentBlankLinesDoNotCount", {L"    a", L"", L" ", L"  b"}, {toLeftIndent}, kBlanks,
                         {L"  a", L"", L"", L"b"}},
        TTrimStringsCase{"LeftIndentAllBlankEmptied", {L"  ", L" \t"}, {toLeftIndent}, kBlanks, {L"", L""}},
        TTrimStringsCase{"LeftIndentNoneWhenOneFlush", {L"  a", L"b"}, {toLeftIndent}, kBlanks, {L"  a", L"b"}},
        TTrimStringsCase{"LeftWinsOverIndent", {L"  a", L" b "}, {toLeft, toLeftIndent}, kBlanks, {L"a", L"b "}},
        TTrimStringsCase{"LeftIndentAndRight", {L"  a  ", L"    b\t"}, {toLeftIndent, toRight}, kBlanks,
                         {L"a", L"  b"}},
        TTrimStringsCase{"Right", {L"a  ", L"b\t"}, {toRight}, kBlanks, {L"a", L"b"}},
        TTrimStringsCase{"Top", kPadded, {toTop}, kBlanks, {L"a", L"", L"b", L"\t"}},
        TTrimStringsCase{"Bottom", kPadded, {toBottom}, kBlanks, {L"", L" ", L"a", L"", L"b"}},
        TTrimStringsCase{"TopAndBottom", kPadded, {toTop, toBottom}, kBlanks, {L"a", L"", L"b"}},
        TTrimStringsCase{"EmptyLinesAll", kPadded, {toEmptyLines, toTop}, kBlanks, {L"a", L"b"}},
        TTrimStringsCase{"LineBreaksAlwaysBlank", {L"\r\n", L"a"}, {toTop}, TCharset(), {L"a"}},
        TTrimStringsCase{"CharsOutsideSetNotBlank", {L" ", L"a"}, {toTop}, TCharset(), {L" ", L"a"}},
        TTrimStringsCase{"NoOptionsNoChange", kPadded, {}, kBlanks, kPadded}),
    TCaseName());

TEST(ControlCharNames, NamesOfAllCodesBelowSpace) {
  EXPECT_STREQ(ControlCharNames[0], L"NUL");
  EXPECT_STREQ(ControlCharNames[9], L"TAB");
  EXPECT_STREQ(ControlCharNames[13], L"CR");
  EXPECT_STREQ(ControlCharNames[25], L"EOM");
  EXPECT_STREQ(ControlCharNames[31], L"US");
}

}  // namespace
