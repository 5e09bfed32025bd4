// Robustness of the string unit's parsers: seeded random and mutated inputs, bounded in number,
// checked against properties that must hold for every input.
#include "base/StringList.h"
#include "base/Streams.h"
#include "base/Strings.h"

#include "support/TestSupport.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

namespace {

constexpr int kRuns = 20000;

// Pieces that parsers trip over: digits, prefixes, signs, separators, placeholder marks,
// blanks, the zero character, lone and paired surrogates and long digit runs.
const std::vector<std::wstring> kPieces = {
    L"0", L"7", L"9", L"a", L"F", L"g", L"x", L"X", L"0x", L"$", L"+", L"-", L".", L",", L"e", L"E", L"=",
    L"{", L"}", L"((", L"))", L"(", L")", L" ", L"\t", L"\r", L"\n", std::wstring(1, L'\0'), L"\xD800",
    L"\xDC00", L"\U0001F600", L"ä", L"€", std::wstring(40, L'9'), std::wstring(25, L'F'), L"inf", L"nan"};

class TFuzz {
public:
  explicit TFuzz(unsigned seed) : FRng(seed) {}

  int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(FRng); }
  bool Chance(int percent) { return Int(1, 100) <= percent; }
  const std::wstring& Piece() { return kPieces[static_cast<size_t>(Int(0, static_cast<int>(kPieces.size()) - 1))]; }

  std::wstring RandomText(int maxPieces) {
    std::wstring text;
    for (int i = Int(0, maxPieces); i > 0; --i) text += Piece();
    return text;
  }

  // One to four insertions, deletions or replacements at random places.
  std::wstring Mutate(std::wstring text) {
    for (int i = Int(1, 4); i > 0; --i) {
      size_t at = static_cast<size_t>(Int(0, static_cast<int>(text.size())));
      switch (Int(0, 2)) {
        case 0: text.insert(at, Piece()); break;
        case 1: text.erase(at, static_cast<size_t>(Int(1, 3))); break;
        default:
          if (at < text.size()) text.replace(at, 1, Piece());
      }
    }
    return text;
  }

  std::string Bytes(int maxLength) {
    std::string bytes(static_cast<size_t>(Int(0, maxLength)), '\0');
    for (char& b : bytes) b = static_cast<char>(Int(0, 255));
    return bytes;
  }

  std::int64_t Int64() { return static_cast<std::int64_t>(std::uniform_int_distribution<std::uint64_t>()(FRng)); }

private:
  std::mt19937 FRng;
};

std::wstring Ascii(std::string_view s) { return std::wstring(s.begin(), s.end()); }

TEST(StringsFuzz, StrToFloatSepReadsWhatIsWrittenAndNothingElse) {
  TFuzz fuzz(1);
  const double kNoNumber = 12345.25;
  for (int run = 0; run < kRuns; ++run) {
    // Any finite double written in its shortest form reads back exactly, with either separator.
    double value;
    do {
      std::int64_t bits = fuzz.Int64();
      std::memcpy(&value, &bits, sizeof value);
    } while (!std::isfinite(value));
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    ASSERT_EQ(ec, std::errc());
    std::wstring text = Ascii(std::string_view(buffer, static_cast<size_t>(end - buffer)));
    ASSERT_EQ(StrToFloatSep(text, L'.', kNoNumber), value) << run;
    std::wstring comma = text;
    std::replace(comma.begin(), comma.end(), L'.', L',');
    ASSERT_EQ(StrToFloatSep(comma, L',', kNoNumber), value) << run;

    // Mutated text gives a finite number or the default, and the number does not depend on it.
    std::wstring mutated = fuzz.Mutate(run % 2 ? text : fuzz.RandomText(6));
    double a = StrToFloatSep(mutated, L',', kNoNumber), b = StrToFloatSep(mutated, L',', -kNoNumber);
    ASSERT_TRUE(std::isfinite(a));
    if (a != kNoNumber || b != -kNoNumber) {
      ASSERT_EQ(a, b) << run;
    }
  }
}

TEST(StringsFuzz, HexToBytesRoundTripsAndRejectsEverythingElse) {
  TFuzz fuzz(2);
  for (int run = 0; run < kRuns; ++run) {
    std::string bytes = fuzz.Bytes(40);
    std::wstring hex = BytesToHex(bytes);
    ASSERT_EQ(HexToBytes(hex), bytes);
    ASSERT_EQ(HexToBytes(LocaleLowerCase(hex)), bytes);

    std::wstring mutated = fuzz.Mutate(hex);
    std::string decoded = HexToBytes(mutated);
    // Either nothing, or exactly the pairs of the text.
    if (!decoded.empty()) {
      ASSERT_EQ(BytesToHex(decoded), LocaleUpperCase(mutated)) << run;
    }
  }
}

TEST(StringsFuzz, Base64RoundTripsAndDecodesAnyLines) {
  TFuzz fuzz(3);
  for (int run = 0; run < kRuns; ++run) {
    std::string bytes = fuzz.Bytes(100);
    TMemoryStream source(bytes);
    TStringList lines;
    Base64EncodeLines(source, lines, fuzz.Int(0, 80));
    TMemoryStream decoded;
    Base64DecodeLines(lines, decoded);
    ASSERT_EQ(decoded.DataString(), bytes) << run;

    // Any lines decode to one to three bytes per complete group of non-blank characters.
    TStringList mutated;
    size_t groups = 0;
    for (int i = 0; i < lines.Count() || i == 0; ++i) {
      std::wstring line = fuzz.Mutate(i < lines.Count() ? lines[i] : std::wstring());
      mutated.Add(line);
      groups += static_cast<size_t>(std::count_if(line.begin(), line.end(), [](wchar_t c) {
        return c != L' ' && c != L'\t' && c != L'\r' && c != L'\n';
      }));
    }
    groups /= 4;
    TMemoryStream out;
    Base64DecodeLines(mutated, out);
    ASSERT_LE(static_cast<size_t>(out.Size()), 3 * groups) << run;
    ASSERT_GE(static_cast<size_t>(out.Size()), groups) << run;
  }
}

TEST(StringsFuzz, FormatPlaceholdersFillsEveryPlaceholderOnceAndEnds) {
  TFuzz fuzz(4);
  for (int run = 0; run < kRuns; ++run) {
    // A template of plain text and numbered placeholders of one notation gives the plain text
    // with the values in place, whatever the values hold.
    std::vector<std::wstring> values;
    for (int i = fuzz.Int(1, 4); i > 0; --i) values.push_back(fuzz.RandomText(3));
    const bool curly = fuzz.Chance(50);
    std::wstring templ, expected;
    for (int i = fuzz.Int(0, 8); i > 0; --i) {
      if (fuzz.Chance(50)) {
        std::wstring plain = fuzz.Chance(50) ? L"ab c" : L"Zeile (1) ";
        templ += plain;
        expected += plain;
      } else {
        int n = fuzz.Int(1, static_cast<int>(values.size()));
        templ += curly ? L"{" + std::to_wstring(n) + L"}" : L"((" + std::to_wstring(n) + L"))";
        expected += values[static_cast<size_t>(n - 1)];
      }
    }
    ASSERT_EQ(FormatPlaceholders(templ, values), expected) << run;

    // Without values nothing changes; with named values any template ends.
    std::wstring mutated = fuzz.Mutate(fuzz.Chance(50) ? templ : fuzz.RandomText(10));
    ASSERT_EQ(FormatPlaceholders(mutated, {}), mutated) << run;
    values.push_back(L" a = {1}((1)) ");
    std::wstring filled = FormatPlaceholders(mutated, values);
    ASSERT_LE(filled.size(), mutated.size() * (1 + 20)) << run;
  }
}

TEST(StringsFuzz, FormatPlaceholdersLongTemplates) {
  // Many placeholders without a value, and many with one: each stays or is filled once.
  std::wstring unknown, nested, known, expected;
  for (int i = 0; i < 50000; ++i) {
    unknown += L"{x{((y ";
    nested += L"{a{1}}((b((1)))) ";
    known += L"((1))";
    expected += L"v";
  }
  EXPECT_EQ(FormatPlaceholders(unknown + L"}))", {L"v"}), unknown + L"}))");
  EXPECT_EQ(FormatPlaceholders(nested, {L"v"}), nested);
  EXPECT_EQ(FormatPlaceholders(known, {L"v"}), expected);
}

TEST(StringsFuzz, TrimStringsKeepsItsPromises) {
  TFuzz fuzz(5);
  const TCharset blanks{L' ', L'\t', 0};
  for (int run = 0; run < kRuns; ++run) {
    TStringList list;
    for (int i = fuzz.Int(0, 6); i > 0; --i) list.Add(fuzz.RandomText(4));
    const int before = list.Count();
    const auto options = TTrimStringsOptions::FromMask(static_cast<std::uint64_t>(fuzz.Int(0, 63)));
    TrimStrings(list, options, blanks);

    ASSERT_EQ(list.UpdateCount(), 0);
    ASSERT_LE(list.Count(), before);
    const TCharset chars = blanks + TCharset{10, 13};
    auto isBlank = [&](const std::wstring& line) { return TrimChars(line, chars, true, true).empty(); };
    for (int i = 0; i < list.Count(); ++i) {
      const std::wstring line = list[i];
      if (options.Contains(toEmptyLines)) {
        ASSERT_FALSE(isBlank(line)) << run;
      }
      if (options.Contains(toLeft) && !line.empty()) {
        ASSERT_FALSE(chars.Contains(line.front())) << run;
      }
      if (options.Contains(toRight) && !line.empty()) {
        ASSERT_FALSE(chars.Contains(line.back())) << run;
      }
    }
    if (list.Count() > 0 && !options.Contains(toEmptyLines)) {
      if (options.Contains(toTop)) {
        ASSERT_FALSE(isBlank(list[0])) << run;
      }
      if (options.Contains(toBottom)) {
        ASSERT_FALSE(isBlank(list[list.Count() - 1])) << run;
      }
    }
  }
}

TEST(StringsFuzz, TextToIntegerRoundTripsAndNeverGuesses) {
  TFuzz fuzz(6);
  for (int run = 0; run < kRuns; ++run) {
    const std::int64_t value64 = fuzz.Int64() >> fuzz.Int(0, 63);
    const auto value32 = static_cast<std::int32_t>(value64);
    ASSERT_EQ(StrToInt64Def(std::to_wstring(value64), 0), value64);
    ASSERT_EQ(StrToIntDef(Spaces(fuzz.Int(0, 3)) + std::to_wstring(value32), 0), value32);
    ASSERT_EQ(StrToIntDef(L"$" + BytesToHex(std::string{char(value32 >> 24), char(value32 >> 16),
                                                         char(value32 >> 8), char(value32)}),
                          0),
              value32);

    // Mutated text: the result never depends on the default unless it is the default, and an
    // accepted text written back reads the same.
    std::wstring text = fuzz.Mutate(fuzz.Chance(50) ? std::to_wstring(value64) : fuzz.RandomText(5));
    std::int32_t a = StrToIntDef(text, 1), b = StrToIntDef(text, 2);
    if (a != 1 || b != 2) {
      ASSERT_EQ(a, b) << run;
      ASSERT_EQ(StrToIntDef(std::to_wstring(a), 1), a);
    }
    std::int64_t a64 = StrToInt64Def(text, 1), b64 = StrToInt64Def(text, 2);
    if (a64 != 1 || b64 != 2) {
      ASSERT_EQ(a64, b64) << run;
      // A text that fits 32 bits as a decimal number reads the same in both widths.
      if (a != 1 || b != 2) {
        ASSERT_TRUE(a64 == a || static_cast<std::int32_t>(a64) == a) << run;
      }
    }
    ASSERT_EQ(StrToInt64Def(text + L"z", 1), 1);
  }
}

}  // namespace
