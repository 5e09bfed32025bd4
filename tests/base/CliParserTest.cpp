#include "base/CliParser.h"

#include "base/Handle.h"
#include "base/ListChecks.h"
#include "base/Unicode.h"
#include "base/Win.h"
#include "support/TestSupport.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace {

// Each part as "Text" for a text, "Text|Key|Param|TypeName" for an option.
std::vector<std::wstring> Describe(const TCliParser& parser) {
  std::vector<std::wstring> parts;
  for (TListNode* p = TLinkList::StartScan(); parser.Scan(p);) {
    const auto* part = static_cast<const TPartNode*>(p);
    if (part->PartType == ptText)
      parts.push_back(part->Text);
    else
      parts.push_back(part->Text + L"|" + part->Key + L"|" + part->Param + L"|" +
                      std::wstring(OptionTypeName[part->OptionType]));
  }
  return parts;
}

const TOptionTypes kSlash{otSlash};

struct TParseCase {
  const char* name;
  std::wstring line;
  TOptionTypes allowed;
  TOptionCase keyCase;
  std::vector<std::wstring> parts;
};

class CliParserParse : public ::testing::TestWithParam<TParseCase> {};

TEST_P(CliParserParse, Parts) {
  const TParseCase& c = GetParam();
  TCliParser parser;
  parser.Parse(c.line, c.allowed, c.keyCase);
  EXPECT_EQ(Describe(parser), c.parts);
  EXPECT_TRUE(ListIsConsistent(parser));
}

INSTANTIATE_TEST_SUITE_P(
    CliParser, CliParserParse,
    ::testing::Values(
        TParseCase{"OptionsTextsAndQuotes", L"/p:8600 hello \"a b\" /Port:C:\\x y", kSlash, ocUpperCase,
                   {L"/p:8600|/P|8600|Slash", L"hello", L"a b", L"/Port:C:\\x|/PORT|C:\\x|Slash", L"y"}},
        TParseCase{"SlashInsideAPartStartsAnOption", L"a/b", kSlash, ocUnchanged, {L"a", L"/b|/b||Slash"}},
        TParseCase{"DashInsideAPartStartsAnOption", L"file-name", {otDash}, ocUnchanged,
                   {L"file", L"-name|-name||Dash"}},
        TParseCase{"QuotesKeepOnePart", L"\"file-name\"", {otDash}, ocUnchanged, {L"file-name"}},
        TParseCase{"SpaceBeforeTheParameterSplits", L"/P 6702", kSlash, ocUpperCase, {L"/P|/P||Slash", L"6702"}},
        TParseCase{"EmptyLine", L"", kSlash, ocUpperCase, {}},
        TParseCase{"OnlyWhiteSpace", L" \t\r\n  ", kSlash, ocUpperCase, {}},
        TParseCase{"EmptyQuotesAreDropped", L"a \"\" b", kSlash, ocUnchanged, {L"a", L"b"}},
        TParseCase{"DoubledQuotesStandForOne", L"\"say \"\"hi\"\"\"", kSlash, ocUnchanged, {L"say \"hi\""}},
        TParseCase{"OpenQuoteTakesTheRest", L"x \"open  end", kSlash, ocUnchanged, {L"x", L"open  end"}},
        TParseCase{"QuotesInsideAWord", L"ab\"c d\"ef g", kSlash, ocUnchanged, {L"abc def", L"g"}},
        TParseCase{"DoubleDashWinsOverDash", L"--verbose -q", {otDash, otDoubleDash}, ocUnchanged,
                   {L"--verbose|--verbose||DoubleDash", L"-q|-q||Dash"}},
        TParseCase{"DoubleDashWithOnlyDashAllowed", L"--x", {otDash}, ocUnchanged,
                   {L"-|-||Dash", L"-x|-x||Dash"}},
        TParseCase{"SingleDashWithOnlyDoubleDashAllowed", L"-x --y", {otDoubleDash}, ocUnchanged,
                   {L"-x", L"--y|--y||DoubleDash"}},
        TParseCase{"Plus", L"+debug:on", {otPlus}, ocUpperCase, {L"+debug:on|+DEBUG|on|Plus"}},
        TParseCase{"NoPrefixAllowed", L"/p:1 +x", {}, ocUpperCase, {L"/p:1", L"+x"}},
        TParseCase{"LaterColonsStayInTheParameter", L"/a:b:c", kSlash, ocUnchanged, {L"/a:b:c|/a|b:c|Slash"}},
        TParseCase{"QuotedOptionIsAnOption", L"\"/x:1 2\"", kSlash, ocUnchanged, {L"/x:1 2|/x|1 2|Slash"}},
        TParseCase{"PrefixRightAfterAQuoteJoins", L"\"a\"/b", kSlash, ocUnchanged, {L"a/b"}},
        TParseCase{"QuotedParameter", L"/path:\"C:\\Program Files\\x\"", kSlash, ocUnchanged,
                   {L"/path:C:\\Program Files\\x|/path|C:\\Program Files\\x|Slash"}},
        TParseCase{"QuoteJoinsAcrossAPrefix", L"/a\"/b c\"", kSlash, ocUnchanged, {L"/a/b c|/a/b c||Slash"}},
        TParseCase{"OptionsBackToBack", L"/a/b:c/d", kSlash, ocUnchanged,
                   {L"/a|/a||Slash", L"/b:c|/b|c|Slash", L"/d|/d||Slash"}},
        TParseCase{"LonePrefix", L"/", kSlash, ocUnchanged, {L"/|/||Slash"}},
        TParseCase{"LowerCaseKeys", L"/ABC:DeF", kSlash, ocLowerCase, {L"/ABC:DeF|/abc|DeF|Slash"}},
        TParseCase{"UnchangedKeys", L"/AbC:DeF", kSlash, ocUnchanged, {L"/AbC:DeF|/AbC|DeF|Slash"}},
        TParseCase{"UpperCaseBeyondAscii", L"/\u00f6:\u00e4", kSlash, ocUpperCase,
                   {L"/\u00f6:\u00e4|/\u00d6|\u00e4|Slash"}},
        TParseCase{"ControlCharactersAtTheEndsAreStripped", L"\x01\x02 a\x01" L"b \x1F", kSlash, ocUnchanged,
                   {L"a\x01" L"b"}},
        TParseCase{"TabsAndLineBreaksSeparate", L"a\tb\r\nc\nd", kSlash, ocUnchanged, {L"a", L"b", L"c", L"d"}},
        TParseCase{"SurrogatesAreKept", L"\xD83D\xDE00 /x:\xD800", kSlash, ocUpperCase,
                   {L"\xD83D\xDE00", L"/x:\xD800|/X|\xD800|Slash"}}),
    TCaseName());

// ---------------------------------------------------------------------------------------------
// Queries

TEST(CliParser, StartsEmptyAndEachParseReplacesTheResult) {
  TCliParser parser;
  EXPECT_TRUE(parser.AllowedOptions().Empty());
  EXPECT_EQ(parser.OptionKeyCase(), ocUnchanged);
  parser.Parse(L"a b /c", kSlash, ocUpperCase);
  EXPECT_EQ(parser.Count(), 3);
  parser.Parse(L"-x", {otDash, otPlus}, ocLowerCase);
  EXPECT_EQ(Describe(parser), (std::vector<std::wstring>{L"-x|-x||Dash"}));
  EXPECT_EQ(parser.AllowedOptions(), (TOptionTypes{otDash, otPlus}));
  EXPECT_EQ(parser.OptionKeyCase(), ocLowerCase);
}

TEST(CliParser, KeysAskedForAreConvertedLikeTheParsedOnes) {
  TCliParser parser;
  parser.Parse(L"/PoRt:1", kSlash, ocUpperCase);
  EXPECT_TRUE(parser.HasOption(L"/port"));
  EXPECT_TRUE(parser.HasOption(L"/PORT"));
  EXPECT_FALSE(parser.HasOption(L"port"));  // the prefix belongs to the key
  EXPECT_FALSE(parser.HasOption(L"/P"));
  parser.Parse(L"/PoRt:1", kSlash, ocLowerCase);
  EXPECT_TRUE(parser.HasOption(L"/PORT"));
  parser.Parse(L"/PoRt:1", kSlash, ocUnchanged);
  EXPECT_FALSE(parser.HasOption(L"/port"));
  EXPECT_TRUE(parser.HasOption(L"/PoRt"));
}

TEST(CliParser, OptionParamAndOptions) {
  TCliParser parser;
  parser.Parse(L"/a:1 x /b /a:2 /a", kSlash, ocUpperCase);
  EXPECT_EQ(parser.OptionParam(L"/a"), L"1");  // the first one
  EXPECT_EQ(parser.OptionParam(L"/b"), L"");
  EXPECT_EQ(parser.OptionParam(L"/c"), L"");
  EXPECT_EQ(parser.Options(L"/A"), (TStringArray{L"1", L"2", L""}));
  EXPECT_EQ(parser.Options(L"/c"), TStringArray{});
}

struct TIntCase {
  const char* name;
  std::wstring line;
  std::int32_t expected;
};

class CliParserInt : public ::testing::TestWithParam<TIntCase> {};

TEST_P(CliParserInt, OptionParamAsInt) {
  TCliParser parser;
  parser.Parse(GetParam().line, kSlash, ocUpperCase);
  EXPECT_EQ(parser.OptionParamAsInt(L"/P", -99), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(CliParser, CliParserInt,
                         ::testing::Values(TIntCase{"Decimal", L"/P:8600", 8600},
                                           TIntCase{"Negative", L"/p:-5", -5},
                                           TIntCase{"Hexadecimal", L"/P:$1F", 31},
                                           TIntCase{"LeadingSpacesInQuotes", L"\"/P:  12\"", 12},
                                           TIntCase{"NoParameter", L"/P", -99},
                                           TIntCase{"ParameterAfterASpace", L"/P 6702", -99},
                                           TIntCase{"NotANumber", L"/P:abc", -99},
                                           TIntCase{"TrailingCharacters", L"/P:12x", -99},
                                           TIntCase{"Absent", L"/Q:1", -99}),
                         TCaseName());

struct TBoolCase {
  const char* name;
  std::wstring line;
  bool expected;
};

class CliParserBool : public ::testing::TestWithParam<TBoolCase> {};

TEST_P(CliParserBool, OptionParamAsBoolean) {
  TCliParser parser;
  parser.Parse(GetParam().line, kSlash, ocUpperCase);
  EXPECT_EQ(parser.OptionParamAsBoolean(L"/V"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CliParser, CliParserBool,
    ::testing::Values(TBoolCase{"NoParameter", L"/V", false}, TBoolCase{"Absent", L"/W:1", false},
                      TBoolCase{"Ja", L"/V:ja", true}, TBoolCase{"J", L"/V:J", true},
                      TBoolCase{"TRUE", L"/V:TRUE", true}, TBoolCase{"T", L"/v:t", true},
                      TBoolCase{"Yes", L"/V:yEs", true}, TBoolCase{"Y", L"/V:y", true},
                      TBoolCase{"Two", L"/V:2", true}, TBoolCase{"Hex", L"/V:$10", true},
                      TBoolCase{"Zero", L"/V:0", false}, TBoolCase{"No", L"/V:no", false},
                      TBoolCase{"Yess", L"/V:yess", false}, TBoolCase{"False", L"/V:false", false}),
    TCaseName());

TEST(CliParser, OptionsAndTextsByPosition) {
  TCliParser parser;
  parser.Parse(L"a /x:1 b /y c", kSlash, ocUnchanged);
  EXPECT_EQ(parser.OptionCount(), 2);
  ASSERT_NE(parser.Option(0), nullptr);
  EXPECT_EQ(parser.Option(0)->Key, L"/x");
  EXPECT_EQ(parser.Option(1)->Key, L"/y");
  EXPECT_EQ(parser.Option(2), nullptr);
  // A negative position counts as the first.
  ASSERT_NE(parser.Option(-1), nullptr);
  EXPECT_EQ(parser.Option(-1)->Key, L"/x");
  ASSERT_NE(parser.Option(INT32_MIN), nullptr);
  EXPECT_EQ(parser.Option(INT32_MIN)->Key, L"/x");
  EXPECT_EQ(parser.TextCount(), 3);
  EXPECT_EQ(parser.Text(0), L"a");
  EXPECT_EQ(parser.Text(2), L"c");
  EXPECT_EQ(parser.Text(3), L"");
  EXPECT_EQ(parser.Text(-1), L"a");
  EXPECT_EQ(parser.Text(INT32_MIN), L"a");
}

enum TListQuery { lqUnknownWithParams, lqUnknown, lqMissing };

struct TListedCase {
  const char* name;
  TListQuery query;
  std::wstring line;
  std::wstring options;
  std::wstring expected;
};

class CliParserListed : public ::testing::TestWithParam<TListedCase> {};

TEST_P(CliParserListed, UnknownOrMissingOptions) {
  const TListedCase& c = GetParam();
  TCliParser parser;
  parser.Parse(c.line, kSlash, ocUpperCase);
  EXPECT_EQ(c.query == lqMissing ? parser.MissingOptions(c.options)
                                 : parser.UnknownOptions(c.options, c.query == lqUnknownWithParams),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    CliParser, CliParserListed,
    ::testing::Values(
        TListedCase{"UnknownWithParams", lqUnknownWithParams, L"/P:1 /X:2 /Y", L"/P /Port", L"/X:2\r\n/Y:"},
        TListedCase{"UnknownWithoutParams", lqUnknown, L"/P:1 /X:2 /Y", L"/P /Port", L"/X\r\n/Y"},
        TListedCase{"UnknownAllKnownInAnyCase", lqUnknownWithParams, L"/P:1 /x a", L"/p,\t/X ,/port", L""},
        TListedCase{"UnknownWithoutOptions", lqUnknownWithParams, L"a b", L"/P", L""},
        TListedCase{"UnknownNothingKnown", lqUnknown, L"/A", L"", L"/A"},
        TListedCase{"MissingOne", lqMissing, L"/A", L"/A,/B", L"/B\r\n"},
        TListedCase{"MissingAll", lqMissing, L"x", L"/A /B /C", L"/A\r\n/B\r\n/C\r\n"},
        TListedCase{"MissingCaseConverted", lqMissing, L"/A:1", L"/a,/b", L"/B\r\n"},
        TListedCase{"MissingEmptyEntriesSkipped", lqMissing, L"/A", L",/A,, /B,", L"/B\r\n"},
        TListedCase{"MissingNothing", lqMissing, L"/A /B", L"/A /B", L""}),
    TCaseName());

TEST(CliParser, PartDump) {
  TCliParser parser;
  parser.Parse(L"x /k:v --d", {otSlash, otDoubleDash}, ocUnchanged);
  EXPECT_EQ(parser.PartDump(),
            L"===x===\r\n"
            L"   Type      : Text\r\n"
            L"\r\n"
            L"===/k:v===\r\n"
            L"   Type      : Option\r\n"
            L"   Key       : /k\r\n"
            L"   Param     : v\r\n"
            L"   OptionType: Slash\r\n"
            L"\r\n"
            L"===--d===\r\n"
            L"   Type      : Option\r\n"
            L"   Key       : --d\r\n"
            L"   Param     : \r\n"
            L"   OptionType: DoubleDash\r\n"
            L"\r\n");
  parser.Parse(L"", kSlash, ocUnchanged);
  EXPECT_EQ(parser.PartDump(), L"");
}

// ---------------------------------------------------------------------------------------------
// Random and mutated command lines: no crash or hang, and the parts stay consistent.

std::string Escaped(const std::wstring& s) {
  std::string out;
  char buffer[8];
  for (wchar_t c : s) {
    if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out;
}

::testing::AssertionResult PartsAreConsistent(const TCliParser& parser, const std::wstring& line) {
  if (auto lists = ListIsConsistent(parser); !lists) return lists;
  const TOptionTypes allowed = parser.AllowedOptions();
  auto startsWithAllowedPrefix = [&](const std::wstring& s) {
    for (TOptionType t : {otSlash, otDash, otDoubleDash, otPlus})
      if (allowed.Contains(t) && s.starts_with(OptionTypePrefix[t])) return true;
    return false;
  };
  size_t characters = 0;
  for (TListNode* p = TLinkList::StartScan(); parser.Scan(p);) {
    const auto* part = dynamic_cast<const TPartNode*>(p);
    if (!part) return ::testing::AssertionFailure() << "a node is not a part";
    if (part->Text.empty()) return ::testing::AssertionFailure() << "empty part";
    characters += part->Text.size();
    if (part->PartType == ptText) {
      if (!part->Key.empty() || !part->Param.empty()) return ::testing::AssertionFailure() << "text with a key";
      if (startsWithAllowedPrefix(part->Text)) return ::testing::AssertionFailure() << "text with a prefix";
      continue;
    }
    const std::wstring_view prefix = OptionTypePrefix[part->OptionType];
    if (!allowed.Contains(part->OptionType)) return ::testing::AssertionFailure() << "option type not allowed";
    if (!part->Key.starts_with(prefix) || !part->Text.starts_with(prefix))
      return ::testing::AssertionFailure() << "option without its prefix: " << Escaped(part->Key);
    if (part->Key.find(L':') != std::wstring::npos) return ::testing::AssertionFailure() << "colon in the key";
    const bool hasColon = part->Text.find(L':') != std::wstring::npos;
    if (parser.OptionKeyCase() == ocUnchanged &&
        part->Text != (hasColon ? part->Key + L":" + part->Param : part->Key))
      return ::testing::AssertionFailure() << "text is not key and parameter: " << Escaped(part->Text);
    if (!parser.HasOption(part->Key)) return ::testing::AssertionFailure() << "HasOption misses its own key";
  }
  if (characters > line.size()) return ::testing::AssertionFailure() << "parts longer than the line";
  if (parser.OptionCount() + parser.TextCount() != parser.Count())
    return ::testing::AssertionFailure() << "options and texts do not add up";
  return ::testing::AssertionSuccess();
}

TEST(CliParserRobustness, RandomAndMutatedCommandLines) {
  static const std::wstring_view kPieces[] = {
      L"/",    L"-",      L"--",    L"+",     L":",        L"\"",       L"\"\"",     L" ",  L"  ",
      L"\t",   L"\r\n",   L"\n",    L"a",     L"Port",     L"p",        L"8600",     L"$1F", L"C:\\x y",
      L"\x01", L"\x1F",   L"\x7F",  L"\xD800", L"\xDC00",  L"\xD83D\xDE00", L"\u00e4", L"\u00df", L"\u0130",
      L"x:y",  L"=",      L"\\",    L"",      L"/p:8600",  L"\"a b\"",  L"--name=v"};
  static const std::wstring kSeeds[] = {L"/p:8600 hello \"a b\" /Port:C:\\x y",
                                        L"\"C:\\Program Files\\Tavrino.exe\" -x --y:\"1 2\" +z", L"a/b-c--d+e:f"};
  std::mt19937 random(20260611);
  auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
  TCliParser parser;
  for (int i = 0; i < 20000; ++i) {
    std::wstring line;
    if (i % 2 == 0) {
      for (size_t n = below(25); n > 0; --n) line += kPieces[below(std::size(kPieces))];
    } else {
      line = kSeeds[below(std::size(kSeeds))];
      for (size_t n = 1 + below(4); n > 0; --n) {
        const size_t at = line.empty() ? 0 : below(line.size() + 1);
        switch (below(3)) {
          case 0:
            line.insert(at, 1, static_cast<wchar_t>(random() & 0xFFFF));
            break;
          case 1:
            if (at < line.size()) line.erase(at, 1);
            break;
          default:
            line.insert(at, kPieces[below(std::size(kPieces))]);
            break;
        }
      }
    }
    TOptionTypes allowed;
    for (TOptionType t : {otSlash, otDash, otDoubleDash, otPlus})
      if (random() & 1) allowed.Include(t);
    const auto keyCase = static_cast<TOptionCase>(below(3));

    parser.Parse(line, allowed, keyCase);
    ASSERT_TRUE(PartsAreConsistent(parser, line)) << "line " << i << ": " << Escaped(line);
    // The queries cope with whatever was parsed.
    const std::wstring someKey = parser.OptionCount() > 0 ? parser.Option(0)->Key : L"/p";
    parser.OptionParamAsInt(someKey, 0);
    parser.OptionParamAsBoolean(someKey);
    ASSERT_EQ(parser.Options(someKey).empty(), parser.OptionCount() == 0) << Escaped(line);
    parser.UnknownOptions(L"/p -x, --y", true);
    parser.MissingOptions(L"/p,,+q");
    ASSERT_EQ(parser.PartDump().empty(), parser.IsEmpty()) << Escaped(line);
  }
}

// ---------------------------------------------------------------------------------------------
// ParseCmdLine reads the real command line: a copy of this test program, started with known
// arguments, writes what it parsed.

const wchar_t* const kChildOutVariable = L"TAVRINO_CLI_CHILD_OUT";

TEST(CliParserChild, DISABLED_WritesTheParsedCommandLine) {
  wchar_t out[MAX_PATH];
  const DWORD n = ::GetEnvironmentVariableW(kChildOutVariable, out, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) GTEST_SKIP() << "runs only as the child of CliParser.ParseCmdLine";
  TCliParser withoutCommand, withCommand;
  withoutCommand.ParseCmdLine({otSlash, otDash}, ocUpperCase, false);
  withCommand.ParseCmdLine({otSlash, otDash}, ocUpperCase, true);
  std::ofstream file(std::filesystem::path(out), std::ios::binary);
  file << TextToUtf8(withoutCommand.PartDump() + L"#\r\n" + withCommand.PartDump());
}

std::wstring Option(const std::wstring& text, const std::wstring& key, const std::wstring& param,
                    const std::wstring& type) {
  return L"===" + text + L"===\r\n   Type      : Option\r\n   Key       : " + key + L"\r\n   Param     : " + param +
         L"\r\n   OptionType: " + type + L"\r\n\r\n";
}

std::wstring Text(const std::wstring& text) { return L"===" + text + L"===\r\n   Type      : Text\r\n\r\n"; }

TEST(CliParser, ParseCmdLineReadsTheProcessCommandLine) {
  wchar_t exe[MAX_PATH];
  ASSERT_GT(::GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
  wchar_t temp[MAX_PATH];
  ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
  // A folder with dashes in its name: an unquoted program path must stay one part.
  const std::wstring dir = std::wstring(temp) + L"tavrino-cli-" + std::to_wstring(::GetCurrentProcessId());
  ::CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring child = dir + L"\\cli-child.exe";
  const std::wstring out = dir + L"\\parts.txt";
  ASSERT_TRUE(::CopyFileW(exe, child.c_str(), FALSE));
  const bool quote = child.find(L' ') != std::wstring::npos;
  std::wstring commandLine = (quote ? L"\"" + child + L"\"" : child) + L" /p:8600 \"a b\"  -x:1 tail";

  ::SetEnvironmentVariableW(kChildOutVariable, out.c_str());
  ::SetEnvironmentVariableW(L"GTEST_FILTER", L"CliParserChild.*");
  ::SetEnvironmentVariableW(L"GTEST_ALSO_RUN_DISABLED_TESTS", L"1");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const BOOL started = ::CreateProcessW(child.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &info);
  for (const wchar_t* name : {kChildOutVariable, L"GTEST_FILTER", L"GTEST_ALSO_RUN_DISABLED_TESTS"})
    ::SetEnvironmentVariableW(name, nullptr);
  ASSERT_TRUE(started);
  THandleOwner process(info.hProcess), thread(info.hThread);
  ASSERT_EQ(::WaitForSingleObject(process.Get(), 120000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  ::GetExitCodeProcess(process.Get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);

  std::ifstream file(std::filesystem::path(out), std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  file.close();
  ::DeleteFileW(out.c_str());
  ::DeleteFileW(child.c_str());
  ::RemoveDirectoryW(dir.c_str());

  const std::wstring arguments =
      Option(L"/p:8600", L"/P", L"8600", L"Slash") + Text(L"a b") + Option(L"-x:1", L"-X", L"1", L"Dash") + Text(L"tail");
  EXPECT_EQ(Utf8ToText(bytes.str()), arguments + L"#\r\n" + Text(child) + arguments);
}

}  // namespace
