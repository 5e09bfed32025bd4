#pragma once
// The string unit: text routines and conversions used throughout the library.
#include "base/Sets.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class TStrings;
class TStream;

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
using TStringArray = std::vector<std::wstring>;

// Horizontal alignment of a text.
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// Tab, LF, CR and space.
inline const TCharset WhitespaceChars{9, 10, 13, 32};

enum TTrimStringsOption : std::uint8_t { toLeftIndent, toLeft, toRight, toTop, toBottom, toEmptyLines };
using TTrimStringsOptions = TSet<TTrimStringsOption, 6>;

// What StrTokenAdd does with a token that is already in the list.
enum TDuplicates : std::uint8_t { dupIgnore, dupAccept, dupError };

// Names of the control characters 0 to 31 (9 is "TAB", 25 is "EOM").
inline constexpr const wchar_t* ControlCharNames[32] = {
    L"NUL", L"SOH", L"STX", L"ETX", L"EOT", L"ENQ", L"ACK", L"BEL", L"BS",  L"TAB", L"LF",
    L"VT",  L"FF",  L"CR",  L"SO",  L"SI",  L"DLE", L"DC1", L"DC2", L"DC3", L"DC4", L"NAK",
    L"SYN", L"ETB", L"CAN", L"EOM", L"SUB", L"ESC", L"FS",  L"GS",  L"RS",  L"US"};

// Unit start and stop (called by the library's start-up list).
void StringsStart();
void StringsStop();

// The standard text-to-integer conversion: leading spaces, an optional sign, decimal digits or
// hexadecimal digits after "$", "x", "X", "0x" or "0X". An empty text, trailing characters, a
// number out of range or any other text give fallback. Hexadecimal values up to FFFFFFFF are
// taken as 32-bit patterns ($FFFFFFFF is -1).
std::int32_t StrToIntDef(std::wstring_view s, std::int32_t fallback);
std::int64_t StrToInt64Def(std::wstring_view s, std::int64_t fallback);
// Like StrToIntDef; false when the text is not a number.
bool TryStrToInt(std::wstring_view s, std::int32_t& value);
bool TryStrToInt64(std::wstring_view s, std::int64_t& value);

// ---- Comparison, case and trimming

// Compares under the user's locale: negative, 0 or positive.
int LocaleCompare(std::wstring_view a, std::wstring_view b, bool ignoreCase);
// True when A and B are equal under the user's locale, ignoring case when IgnoreCase.
bool SameTextOrStr(std::wstring_view a, std::wstring_view b, bool ignoreCase);
// True when A and B are equal code unit by code unit after the system's upper-casing, whatever
// the locale: for keys and fixed words that must read the same on every system.
bool SameTextOrdinal(std::wstring_view a, std::wstring_view b);
// Orders A and B by the same rule (negative, 0 or positive): sorted names then read alike on
// every system.
int CompareTextOrdinal(std::wstring_view a, std::wstring_view b);
// Upper and lower case under the user's locale.
std::wstring LocaleUpperCase(std::wstring_view s);
std::wstring LocaleLowerCase(std::wstring_view s);

// Remove the characters with codes 0 to 32 from both ends, the start or the end.
std::wstring Trim(std::wstring_view s);
std::wstring TrimLeft(std::wstring_view s);
std::wstring TrimRight(std::wstring_view s);

// ---- Token lists: tokens separated by a delimiter text, found by exact search from the left.
// An empty delimiter separates nothing: the whole text is one token.

// 0 for an empty S, otherwise the number of delimiters + 1.
int TokenCount(std::wstring_view s, std::wstring_view delim);
// The Index-th token (from 1); empty when there is none.
std::wstring GetToken(std::wstring_view s, std::wstring_view delim, int index);
// The Index-th token as a decimal integer (IsInteger, 32 bits), fallback when it is not one.
std::int32_t GetTokenInt(std::wstring_view s, std::wstring_view delim, int index, std::int32_t fallback);
// Index (from 1) of the first token equal to Token under the locale, 0 when none. An empty List
// has one empty token.
int TokenIndex(std::wstring_view list, std::wstring_view delim, std::wstring_view token, bool ignoreCase);
bool TokenExists(std::wstring_view list, std::wstring_view delim, std::wstring_view token, bool ignoreCase);
// List + Delim + Token, with the duplicate handling of Duplicates; dupError raises Exception.
std::wstring StrTokenAdd(std::wstring_view list, std::wstring_view delim, std::wstring_view token,
                         TDuplicates duplicates, bool ignoreCase);
// Walks a token list: Cursor is the rest of the text. Takes the text up to the next delimiter
// (or the rest) into Token and moves Cursor past that delimiter. False, with Token empty, when
// Delim is empty or Cursor is at the end.
bool NextToken(std::wstring_view& cursor, std::wstring_view delim, std::wstring& token, bool doTrim);
// Part <= 1: the text before the first delimiter (all of S without one); Part >= 2: the text
// after it (empty without one).
std::wstring SplitPart(std::wstring_view s, std::wstring_view delim, int part);
void SplitAt(std::wstring_view s, std::wstring_view delim, std::wstring& left, bool doTrim, std::wstring& right);
// One element per trimmed token; empty when S is empty or any token is not an integer that fits.
TIntArray StrToIntArray(std::wstring_view s, std::wstring_view delim);
std::wstring IntArrayToStr(const TIntArray& values, std::wstring_view delim);
bool IntInArray(std::int32_t value, const TIntArray& values);

// ---- Placeholders: "{name}" and "((name))", where a name is a decimal value number (from 1) or
// the key of a value written "key=text" (both trimmed; a value without "=" is a key with an
// empty text). Curly placeholders are filled first; inserted text is never searched again; a
// placeholder without a value stays as it is and the search goes on after it.
std::wstring FormatPlaceholders(std::wstring_view pattern, const TStringArray& values);
std::wstring FormatPlaceholder(std::wstring_view pattern, const std::wstring& value);

// ---- Trimming and filtering by character sets

std::wstring TrimChars(std::wstring_view s, const TCharset& chars, bool left, bool right);
std::wstring TrimCharsStr(std::wstring_view s, std::wstring_view chars, bool left, bool right);
// Trims the lines of List (see TTrimStringsOption) within one update bracket. A line is blank
// when it holds nothing but Chars, LF and CR.
void TrimStrings(TStrings& list, TTrimStringsOptions options, TCharset chars);
std::wstring RemoveChars(std::wstring_view s, const TCharset& chars);
std::string RemoveChars(std::string_view s, const TCharset& chars);
// S without every character that does not occur in Allowed.
std::wstring KeepChars(std::wstring_view s, std::wstring_view allowed);
// S without every character outside Chars.
std::wstring KeepCharSet(std::wstring_view s, const TCharset& chars);
// Every run of two or more characters of Chars + [Ch] becomes one Ch.
std::wstring CollapseChars(std::wstring_view s, const TCharset& chars, wchar_t ch);
// Trims tab, LF, CR and space at both ends and collapses runs of them into one space.
std::wstring CollapseWhitespace(std::wstring_view s);

// ---- Padding, joining and small tests

// Number of characters; a surrogate pair counts as one.
int CodePointLength(std::wstring_view s);
// Fills S with PadChar up to Width characters, or cuts it to its first (PadRight) or last
// (PadLeft) Width characters. Surrogate pairs are never split.
std::wstring PadRight(std::wstring_view s, int width, wchar_t padChar = L' ');
std::wstring PadLeft(std::wstring_view s, int width, wchar_t padChar = L' ');
std::wstring RepeatChar(wchar_t ch, int count);
std::wstring Spaces(int count);
// "0" in front up to Width characters; for a negative number the zeros come before the sign.
std::wstring IntToStrZeroPad(std::int64_t value, int width);
// "1 " + Singular, otherwise the number, a space and Plural; empty for 0 when EmptyIfZero.
std::wstring CountText(std::int64_t count, std::wstring_view plural, std::wstring_view singular, bool emptyIfZero);
// A + Sep + B when both are not empty, otherwise A + B.
std::wstring JoinNonEmpty(std::wstring_view a, std::wstring_view b, std::wstring_view sep);
std::wstring JoinNonEmptyArray(const TStringArray& values, std::wstring_view sep);
// Prefix + S + Suffix, or fallback when S is empty.
std::wstring WrapNonEmpty(std::wstring_view s, std::wstring_view prefix, std::wstring_view suffix,
                          std::wstring_view fallback);
// Prefix + the lines of S joined by CR LF, the lines after the first indented to align under
// the first line's text.
std::wstring HangingIndent(std::wstring_view prefix, std::wstring_view s);
// S in QuoteChar (inner QuoteChar doubled) when it holds a space, QuoteChar or CR.
std::wstring QuoteIfNeeded(std::wstring_view s, wchar_t quoteChar = L'"');
// An optional sign and at least one digit 0-9, nothing else.
bool IsInteger(std::wstring_view s);
inline std::wstring IfThenStr(bool flag, const std::wstring& a, const std::wstring& b = {}) { return flag ? a : b; }
inline std::int32_t IfThenInt(bool flag, std::int32_t a, std::int32_t b = 0) { return flag ? a : b; }
// The last Count code units.
std::wstring RightStr(std::wstring_view s, int count);
std::wstring StrFromBuf(const wchar_t* buf, int count);
// First occurrence of the zero-terminated Sub in the zero-terminated S, nullptr when absent; an
// empty Sub finds the end of S.
const wchar_t* StrPos(const wchar_t* s, const wchar_t* sub);

// ---- Conversions

// A byte count in the largest unit it exceeds (" KB", " MB", " GB", " TB"), or "N Bytes".
// DecSep and ThouSep 0 stand for the locale's separators.
std::wstring FormatByteSize(wchar_t decSep, int decimals, wchar_t thouSep, std::int64_t size);
// Value with Decimals decimals (18 significant digits), grouped by ThouSep unless it is 0.
// DecSep 0 stands for the locale's decimal separator.
std::wstring FormatNumber(int decimals, wchar_t decSep, wchar_t thouSep, double value);
// A count as the program's German texts show it: rounded to whole, points between groups of
// three ("1.234.567").
inline std::wstring FormatCount(double value) { return FormatNumber(0, L',', L'.', value); }
// FormatNumber without trailing zeros and separator; empty for 0 when EmptyIfZero.
std::wstring FormatFloatTrim(int decimals, wchar_t decSep, wchar_t thouSep, bool emptyIfZero, double value);
// S as a number whose decimal separator is DecSep, without grouping; fallback when it is not one.
double StrToFloatSep(std::wstring_view s, wchar_t decSep, double fallback);
// S as hexadecimal digits (up to FFFFFFFF, a 32-bit pattern); 0 when it is not that.
std::int32_t HexToInt(std::wstring_view s);
// Two upper-case hexadecimal digits per byte, and back (empty for anything but digit pairs).
std::wstring BytesToHex(std::string_view bytes);
std::string HexToBytes(std::wstring_view s);
// Bits Digits-1 .. 0 of Value as "0" and "1", in groups of GroupSize from the right.
std::wstring IntToBin(std::int64_t value, int digits, int groupSize);
// Base64 of the whole stream into lines of LineLength characters (64 below 8).
void Base64EncodeLines(TStream& stream, TStrings& lines, int lineLength = 64);
// Decodes base64 lines (blanks skipped) and writes the bytes at the stream's position.
void Base64DecodeLines(const TStrings& lines, TStream& stream);
// Writes one UTF-8 byte-order mark and Text as UTF-8. Without KeepAsIs, a U+FEFF at the start of
// Text is taken as that mark.
void WriteTextUtf8(TStream& stream, std::wstring_view text, bool keepAsIs = false);
// The whole stream decoded as UTF-8, without the U+FEFF characters at its start.
std::wstring ReadTextUtf8(TStream& stream);

// The rows of a hex dump of DataLength bytes, BytesPerLine bytes a row, handed to Emit one by one:
// two upper-case hexadecimal digits and a space per byte ("- " after the eighth byte of rows
// longer than eight), the column filled with spaces to 3 * BytesPerLine + 2 * ((BytesPerLine - 1)
// div 8) characters, ColumnGap, then the bytes as Latin-1 characters (CR and LF as arrows, other
// control characters as dots).
void ForEachHexDumpRow(const void* data, int dataLength, int bytesPerLine, std::wstring_view columnGap,
                       const std::function<void(const std::wstring& row)>& emit);
// Appends the hex dump of DataLength bytes to Lines, BytesPerLine bytes a row: hexadecimal
// groups padded to a fixed width, two spaces, then the bytes as Latin-1 characters (CR and LF
// as arrows, other control characters as dots). All rows go in within one update bracket.
void AddHexDump(TStrings* lines, const void* data, int dataLength, int bytesPerLine);
