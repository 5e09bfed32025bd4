// Token lists and placeholders of the string unit.
#include "base/Exception.h"
#include "base/Strings.h"

#include "support/TestSupport.h"

#include "CallCase.h"

#include <cstdint>

namespace {

using TTextCase = TCallCase<std::wstring>;
using TCountCase = TCallCase<int>;

class TokenText : public ::testing::TestWithParam<TTextCase> {};

TEST_P(TokenText, Gives) { EXPECT_EQ(GetParam().call(), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Tokens, TokenText,
    ::testing::Values(
        TTextCase{"GetTokenSecondOfNeighbourDelimitersIsEmpty", [] { return GetToken(L"a;;b", L";", 2); }, L""},
        TTextCase{"GetTokenLast", [] { return GetToken(L"a;;b", L";", 3); }, L"b"},
        TTextCase{"GetTokenIndexZero", [] { return GetToken(L"a;;b", L";", 0); }, L""},
        TTextCase{"GetTokenIndexBeyondLast", [] { return GetToken(L"a;;b", L";", 4); }, L""},
        TTextCase{"GetTokenLongDelimiter", [] { return GetToken(L"x<>y<>z", L"<>", 2); }, L"y"},
        TTextCase{"GetTokenEmptyDelimiterWholeText", [] { return GetToken(L"a;b", L"", 1); }, L"a;b"},
        TTextCase{"AddToEmptyList", [] { return StrTokenAdd(L"", L";", L"a", dupError, false); }, L"a"},
        TTextCase{"AddIgnoreKeepsList", [] { return StrTokenAdd(L"a;b", L";", L"b", dupIgnore, false); }, L"a;b"},
        TTextCase{"AddIgnoreCaseInsensitive", [] { return StrTokenAdd(L"a;b", L";", L"B", dupIgnore, true); }, L"a;b"},
        TTextCase{"AddIgnoreCaseSensitiveAppends", [] { return StrTokenAdd(L"a;b", L";", L"B", dupIgnore, false); },
                  L"a;b;B"},
        TTextCase{"AddAcceptAppendsDuplicate", [] { return StrTokenAdd(L"a;b", L";", L"b", dupAccept, false); },
                  L"a;b;b"},
        TTextCase{"AddErrorNewToken", [] { return StrTokenAdd(L"a", L", ", L"c", dupError, false); }, L"a, c"},
        TTextCase{"SplitPartBefore", [] { return SplitPart(L"key = a=b", L"=", 1); }, L"key "},
        TTextCase{"SplitPartAfterFirst", [] { return SplitPart(L"key = a=b", L"=", 2); }, L" a=b"},
        TTextCase{"SplitPartZeroIsBefore", [] { return SplitPart(L"k=v", L"=", 0); }, L"k"},
        TTextCase{"SplitPartFiveIsAfter", [] { return SplitPart(L"k=v", L"=", 5); }, L"v"},
        TTextCase{"SplitPartNoDelimiterBefore", [] { return SplitPart(L"abc", L"=", 1); }, L"abc"},
        TTextCase{"SplitPartNoDelimiterAfter", [] { return SplitPart(L"abc", L"=", 2); }, L""},
        TTextCase{"IntArrayToStrKeepsDuplicates", [] { return IntArrayToStr({1, -2, 1}, L", "); }, L"1, -2, 1"},
        TTextCase{"IntArrayToStrEmpty", [] { return IntArrayToStr({}, L","); }, L""}),
    TCaseName());

class TokenNumber : public ::testing::TestWithParam<TCountCase> {};

TEST_P(TokenNumber, Gives) { EXPECT_EQ(GetParam().call(), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Tokens, TokenNumber,
    ::testing::Values(
        TCountCase{"CountEmpty", [] { return TokenCount(L"", L";"); }, 0},
        TCountCase{"CountNoDelimiter", [] { return TokenCount(L"abc", L";"); }, 1},
        TCountCase{"CountNeighbourDelimiters", [] { return TokenCount(L"a;;b", L";"); }, 3},
        TCountCase{"CountTrailingDelimiter", [] { return TokenCount(L"a;b;", L";"); }, 3},
        TCountCase{"CountDelimitersDoNotOverlap", [] { return TokenCount(L"aaa", L"aa"); }, 2},
        TCountCase{"CountEmptyDelimiterOneToken", [] { return TokenCount(L"a;b", L""); }, 1},
        TCountCase{"IntToken", [] { return GetTokenInt(L"1;x;$10", L";", 1, -1); }, 1},
        TCountCase{"IntTokenNotANumber", [] { return GetTokenInt(L"1;x;$10", L";", 2, -1); }, -1},
        TCountCase{"IntTokenHexadecimalIsNoNumber", [] { return GetTokenInt(L"1;x;$10", L";", 3, -1); }, -1},
        TCountCase{"IntTokenMinus", [] { return GetTokenInt(L"-7;+3", L";", 1, -1); }, -7},
        TCountCase{"IntTokenPlus", [] { return GetTokenInt(L"-7;+3", L";", 2, -1); }, 3},
        TCountCase{"IntTokenLeadingBlank", [] { return GetTokenInt(L"1; 5", L";", 2, -1); }, -1},
        TCountCase{"IntTokenHexPrefixX", [] { return GetTokenInt(L"x10", L";", 1, -1); }, -1},
        TCountCase{"IntTokenBeyond32Bits", [] { return GetTokenInt(L"2147483648", L";", 1, -1); }, -1},
        TCountCase{"IntTokenLowest32Bits", [] { return GetTokenInt(L"-2147483648", L";", 1, -1); }, INT32_MIN},
        TCountCase{"IntTokenMissing", [] { return GetTokenInt(L"1;x;$10", L";", 4, -1); }, -1},
        TCountCase{"IndexEmptyListEmptyToken", [] { return TokenIndex(L"", L";", L"", false); }, 1},
        TCountCase{"IndexIgnoringCase", [] { return TokenIndex(L"Abc;def", L";", L"abc", true); }, 1},
        TCountCase{"IndexCaseSensitive", [] { return TokenIndex(L"Abc;def", L";", L"abc", false); }, 0},
        TCountCase{"IndexUmlautIgnoringCase", [] { return TokenIndex(L"x;Äpfel", L";", L"äpfel", true); }, 2},
        TCountCase{"IndexFirstOfDuplicates", [] { return TokenIndex(L"a;b;b", L";", L"b", false); }, 2},
        TCountCase{"IndexEmptyTokenInList", [] { return TokenIndex(L"a;;b", L";", L"", false); }, 2},
        TCountCase{"IndexWholeTokenOnly", [] { return TokenIndex(L"ab;c", L";", L"a", false); }, 0},
        TCountCase{"ExistsIsIndexAboveZero", [] { return int(TokenExists(L"a;b", L";", L"b", false)); }, 1}),
    TCaseName());

TEST(StrTokenAdd, DuplicateInErrorModeNamesTokenAndList) {
  try {
    StrTokenAdd(L"a;b", L";", L"b", dupError, false);
    FAIL() << "no error raised";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), L"StrTokenAdd: Cannot add duplicate \"b\" to \"a;b\".");
  }
}

struct TNextTokenCase {
  const char* name;
  std::wstring text, delim;
  bool doTrim;
  std::vector<std::wstring> tokens;
};

class NextTokenWalk : public ::testing::TestWithParam<TNextTokenCase> {};

TEST_P(NextTokenWalk, GivesTokensThenFalse) {
  const TNextTokenCase& c = GetParam();
  std::wstring_view cursor = c.text;
  std::wstring token = L"stale";
  std::vector<std::wstring> tokens;
  while (NextToken(cursor, c.delim, token, c.doTrim)) tokens.push_back(token);
  EXPECT_EQ(tokens, c.tokens);
  EXPECT_EQ(token, L"");
}

INSTANTIATE_TEST_SUITE_P(
    NextToken, NextTokenWalk,
    ::testing::Values(TNextTokenCase{"Trimmed", L"a; b ;;c;", L";", true, {L"a", L"b", L"", L"c"}},
                      TNextTokenCase{"Untrimmed", L"a; b ;;c", L";", false, {L"a", L" b ", L"", L"c"}},
                      TNextTokenCase{"LongDelimiter", L"x<>y", L"<>", false, {L"x", L"y"}},
                      TNextTokenCase{"LeadingDelimiterEmptyFirst", L";a", L";", false, {L"", L"a"}},
                      TNextTokenCase{"EmptyText", L"", L";", false, {}},
                      TNextTokenCase{"EmptyDelimiter", L"a;b", L"", false, {}}),
    TCaseName());

TEST(SplitAt, TrimsBothSidesWhenAsked) {
  std::wstring left, right;
  SplitAt(L" key = value ", L"=", left, true, right);
  EXPECT_EQ(left, L"key");
  EXPECT_EQ(right, L"value");
  SplitAt(L" key = value ", L"=", left, false, right);
  EXPECT_EQ(left, L" key ");
  EXPECT_EQ(right, L" value ");
}

struct TIntArrayCase {
  const char* name;
  std::wstring text;
  TIntArray expected;
};

class IntArrayParse : public ::testing::TestWithParam<TIntArrayCase> {};

TEST_P(IntArrayParse, Gives) { EXPECT_EQ(StrToIntArray(GetParam().text, L","), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(StrToIntArray, IntArrayParse,
                         ::testing::Values(TIntArrayCase{"TrimmedTokens", L"1, 2 ,-3,+4", {1, 2, -3, 4}},
                                           TIntArrayCase{"Empty", L"", {}},
                                           TIntArrayCase{"EmptyTokenEmptiesAll", L"1,,2", {}},
                                           TIntArrayCase{"WordEmptiesAll", L"1,x", {}},
                                           TIntArrayCase{"HexIsNoInteger", L"1,$5", {}},
                                           TIntArrayCase{"BeyondThirtyTwoBitsEmptiesAll", L"1,99999999999", {}},
                                           TIntArrayCase{"Extremes", L"-2147483648,2147483647",
                                                         {INT32_MIN, INT32_MAX}}),
                         TCaseName());

TEST(IntInArray, FindsMembersOnly) {
  EXPECT_TRUE(IntInArray(3, {1, 3}));
  EXPECT_FALSE(IntInArray(2, {1, 3}));
  EXPECT_FALSE(IntInArray(0, {}));
}

struct TPlaceholderCase {
  const char* name;
  std::wstring templ;
  std::vector<std::wstring> values;
  std::wstring expected;
};

class Placeholders : public ::testing::TestWithParam<TPlaceholderCase> {};

TEST_P(Placeholders, Fill) {
  const TPlaceholderCase& c = GetParam();
  EXPECT_EQ(FormatPlaceholders(c.templ, c.values), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    FormatPlaceholders, Placeholders,
    ::testing::Values(
        TPlaceholderCase{"Numbered", L"((1)) von ((2))", {L"3", L"7"}, L"3 von 7"},
        TPlaceholderCase{"SecondValue", L"Wert ((2))!", {L"a", L"b"}, L"Wert b!"},
        TPlaceholderCase{"CurlyNumbered", L"<{2}{1}>", {L"a", L"b"}, L"<ba>"},
        TPlaceholderCase{"NamedTrimmedKeyAndText", L"Hallo {name}", {L"x=1", L" Name = Max "}, L"Hallo Max"},
        TPlaceholderCase{"NamedInParentheses", L"((Pfad))", {L"pfad=C:\\"}, L"C:\\"},
        TPlaceholderCase{"DoubledBracesKeepOnePair", L"{{1}}", {L"v"}, L"{v}"},
        TPlaceholderCase{"TripleParenthesesKeepOnePair", L"Passwort enthält unerlaubte Zeichen (((1)))", {L"§"},
                         L"Passwort enthält unerlaubte Zeichen (§)"},
        TPlaceholderCase{"FolderPathInQuotes", L"Der Ordner \"((1))\" existiert nicht.", {L"C:\\Temp"},
                         L"Der Ordner \"C:\\Temp\" existiert nicht."},
        TPlaceholderCase{"UnknownNumberStaysAndSearchGoesOn", L"((3)) ((1))", {L"a"}, L"((3)) a"},
        TPlaceholderCase{"UnknownNameStaysAndSearchGoesOn", L"{x} {1}", {L"a"}, L"{x} a"},
        TPlaceholderCase{"ZeroIsNoValueNumber", L"{0}", {L"a"}, L"{0}"},
        TPlaceholderCase{"ValueWithoutEqualsIsKeyWithEmptyText", L"<{A}>", {L" a "}, L"<>"},
        TPlaceholderCase{"ValueWithoutEqualsStillNumbered", L"{1}{v}", {L"v"}, L"v"},
        TPlaceholderCase{"NestedInUnknownStays", L"{a{1}}", {L"v"}, L"{a{1}}"},
        TPlaceholderCase{"SearchGoesOnAfterUnknown", L"{a{1}}{1}", {L"v"}, L"{a{1}}v"},
        TPlaceholderCase{"NestedInUnknownParenthesesStays", L"((a((1)))) ((1))", {L"v"}, L"((a((1)))) v"},
        TPlaceholderCase{"DollarIsNoValueNumber", L"{$1}", {L"v"}, L"{$1}"},
        TPlaceholderCase{"BlankBeforeNumberIsNoValueNumber", L"{ 1}", {L"v"}, L"{ 1}"},
        TPlaceholderCase{"HexPrefixIsNoValueNumber", L"((x1)) {0x1}", {L"v"}, L"((x1)) {0x1}"},
        TPlaceholderCase{"SignedDecimalIsValueNumber", L"{+1}{01}", {L"v"}, L"vv"},
        TPlaceholderCase{"NumberBeyond32BitsStays", L"{4294967297}", {L"v"}, L"{4294967297}"},
        TPlaceholderCase{"InsertedTextNotSearchedAgain", L"{1}{2}", {L"{2}", L"b"}, L"{2}b"},
        TPlaceholderCase{"ValueHoldingItsOwnPlaceholder", L"((1))((1))", {L"((1))"}, L"((1))((1))"},
        TPlaceholderCase{"ParenthesesAfterCurlyAreFilled", L"{1} ((1))", {L"a"}, L"a a"},
        TPlaceholderCase{"ParenthesesBeforeCurlyStay", L"((1)) {1}", {L"a"}, L"((1)) a"},
        TPlaceholderCase{"UnclosedBraceStopsAll", L"((1)) {1", {L"a"}, L"((1)) {1"},
        TPlaceholderCase{"UnclosedParenthesesStay", L"((1) x", {L"a"}, L"((1) x"},
        TPlaceholderCase{"NoValuesNothingChanges", L"{1} ((2))", {}, L"{1} ((2))"}),
    TCaseName());

TEST(FormatPlaceholder, FillsTheOneValue) { EXPECT_EQ(FormatPlaceholder(L"x ((1)) {1}", L"y"), L"x ((1)) y"); }

}  // namespace
