#pragma once
// The string unit: text routines and conversions used throughout the library.
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class TStrings;

// A set of byte-range characters (codes 0 to 255); characters above U+00FF are never members.
class TCharset {
public:
  TCharset() = default;
  TCharset(std::initializer_list<unsigned> codes) {
    for (unsigned c : codes) Include(c);
  }
  static TCharset Range(unsigned first, unsigned last) {
    TCharset set;
    for (unsigned c = first; c <= last && c < 256; ++c) set.Include(c);
    return set;
  }

  bool Contains(unsigned code) const noexcept { return code < 256 && FBits.test(code); }
  void Include(unsigned code) noexcept {
    if (code < 256) FBits.set(code);
  }
  void Exclude(unsigned code) noexcept {
    if (code < 256) FBits.reset(code);
  }
  bool Empty() const noexcept { return FBits.none(); }

  TCharset operator+(const TCharset& other) const { return TCharset(FBits | other.FBits); }
  TCharset operator-(const TCharset& other) const { return TCharset(FBits & ~other.FBits); }
  bool operator==(const TCharset& other) const = default;

private:
  explicit TCharset(std::bitset<256> bits) : FBits(bits) {}
  std::bitset<256> FBits;
};

using TIntArray = std::vector<std::int32_t>;

// The user's locale format settings, read once when the unit starts (and again by
// ReloadLocaleSettings). Patterns are kept in the Windows notation ("dd.MM.yyyy", "HH:mm:ss").
struct TLocaleSnapshot {
  double StartTime = 0;     // program start as a date-time value (days since 30.12.1899)
  unsigned AnsiCodePage = 0;
  std::wstring CurrencyString;
  int CurrencyFormat = 0;   // LOCALE_ICURRENCY
  int CurrencyDecimals = 0;
  int NegCurrFormat = 0;    // LOCALE_INEGCURR
  wchar_t DateSeparator = L'/';
  wchar_t TimeSeparator = L':';
  wchar_t ListSeparator = L',';
  std::wstring ShortDateFormat;
  std::wstring LongDateFormat;
  std::wstring TimeAMString;
  std::wstring TimePMString;
  std::wstring ShortTimeFormat;
  std::wstring LongTimeFormat;
  std::wstring ShortMonthNames[12];
  std::wstring LongMonthNames[12];
  std::wstring ShortDayNames[7];  // Sunday first
  std::wstring LongDayNames[7];
  wchar_t ThousandSeparator = L',';  // 0 when the locale groups without a separator
  wchar_t DecimalSeparator = L'.';
  int TwoDigitYearCenturyWindow = 50;
};

const TLocaleSnapshot& LocaleSnapshot();
// Reads the user's locale settings again.
void ReloadLocaleSettings();
// Unit start and stop (called by the library's start-up list).
void StringsStart();
void StringsStop();

// The standard text-to-integer conversion: leading spaces, an optional sign, decimal digits or
// hexadecimal digits after "$", "x", "X", "0x" or "0X". An empty text, trailing characters, a
// number out of range or any other text give Default. Hexadecimal values up to FFFFFFFF are
// taken as 32-bit patterns ($FFFFFFFF is -1).
std::int32_t StrToIntDef(std::wstring_view s, std::int32_t Default);
std::int64_t StrToInt64Def(std::wstring_view s, std::int64_t Default);
// Like StrToIntDef; false when the text is not a number.
bool TryStrToInt(std::wstring_view s, std::int32_t& value);
bool TryStrToInt64(std::wstring_view s, std::int64_t& value);

// Appends the hex dump of DataLength bytes to Lines, BytesPerLine bytes a row: hexadecimal
// groups padded to a fixed width, two spaces, then the bytes as Latin-1 characters (CR and LF
// as arrows, other control characters as dots). All rows go in within one update bracket.
void AddHexDump(TStrings* Lines, const void* Data, int DataLength, int BytesPerLine);
