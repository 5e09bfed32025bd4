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
// number out of range or any other text give Default. Hexadecimal values up to FFFFFFFF are
// taken as 32-bit patterns ($FFFFFFFF is -1).
std::int32_t StrToIntDef(std::wstring_view s, std::int32_t Default);
std::int64_t StrToInt64Def(std::wstring_view s, std::int64_t Default);
// Like StrToIntDef; false when the text is not a number.
bool TryStrToInt(std::wstring_view s, std::int32_t& value);
bool TryStrToInt64(std::wstring_view s, std::int64_t& value);

// ---- Comparison, case and trimming

// Compares under the user's locale: negative, 0 or positive.
int LocaleCompare(std::wstring_view A, std::wstring_view B, bool IgnoreCase);
// True when A and B are equal under the user's locale, ignoring case when IgnoreCase.
bool SameTextOrStr(std::wstring_view A, std::wstring_view B, bool IgnoreCase);
// True when A and B are equal code unit by code unit after the system's upper-casing, whatever
// the locale: for keys and fixed words that must read the same on every system.
bool SameTextOrdinal(std::wstring_view A, std::wstring_view B);
// Orders A and B by the same rule (negative, 0 or positive): sorted names then read alike on
// every system.
int CompareTextOrdinal(std::wstring_view A, std::wstring_view B);
// Upper and lower case under the user's locale.
std::wstring LocaleUpperCase(std::wstring_view S);
std::wstring LocaleLowerCase(std::wstring_view S);

// Remove the characters with codes 0 to 32 from both ends, the start or the end.
std::wstring Trim(std::wstring_view S);
std::wstring TrimLeft(std::wstring_view S);
std::wstring TrimRight(std::wstring_view S);

// ---- Token lists: tokens separated by a delimiter text, found by exact search from the left.
// An empty delimiter separates nothing: the whole text is one token.

// 0 for an empty S, otherwise the number of delimiters + 1.
int TokenCount(std::wstring_view S, std::wstring_view Delim);
// The Index-th token (from 1); empty when there is none.
std::wstring GetToken(std::wstring_view S, std::wstring_view Delim, int Index);
// The Index-th token as a decimal integer (IsInteger, 32 bits), Default when it is not one.
std::int32_t GetTokenInt(std::wstring_view S, std::wstring_view Delim, int Index, std::int32_t Default);
// Index (from 1) of the first token equal to Token under the locale, 0 when none. An empty List
// has one empty token.
int TokenIndex(std::wstring_view List, std::wstring_view Delim, std::wstring_view Token, bool IgnoreCase);
bool TokenExists(std::wstring_view List, std::wstring_view Delim, std::wstring_view Token, bool IgnoreCase);
// List + Delim + Token, with the duplicate handling of Duplicates; dupError raises Exception.
std::wstring StrTokenAdd(std::wstring_view List, std::wstring_view Delim, std::wstring_view Token,
                         TDuplicates Duplicates, bool IgnoreCase);
// Walks a token list: Cursor is the rest of the text. Takes the text up to the next delimiter
// (or the rest) into Token and moves Cursor past that delimiter. False, with Token empty, when
// Delim is empty or Cursor is at the end.
bool NextToken(std::wstring_view& Cursor, std::wstring_view Delim, std::wstring& Token, bool DoTrim);
// Part <= 1: the text before the first delimiter (all of S without one); Part >= 2: the text
// after it (empty without one).
std::wstring SplitPart(std::wstring_view S, std::wstring_view Delim, int Part);
void SplitAt(std::wstring_view S, std::wstring_view Delim, std::wstring& Left, bool DoTrim, std::wstring& Right);
// One element per trimmed token; empty when S is empty or any token is not an integer that fits.
TIntArray StrToIntArray(std::wstring_view S, std::wstring_view Delim);
std::wstring IntArrayToStr(const TIntArray& Values, std::wstring_view Delim);
bool IntInArray(std::int32_t Value, const TIntArray& Values);

// ---- Placeholders: "{name}" and "((name))", where a name is a decimal value number (from 1) or
// the key of a value written "key=text" (both trimmed; a value without "=" is a key with an
// empty text). Curly placeholders are filled first; inserted text is never searched again; a
// placeholder without a value stays as it is and the search goes on after it.
std::wstring FormatPlaceholders(std::wstring_view Template, const TStringArray& Values);
std::wstring FormatPlaceholder(std::wstring_view Template, const std::wstring& Value);

// ---- Trimming and filtering by character sets

std::wstring TrimChars(std::wstring_view S, const TCharset& Chars, bool Left, bool Right);
std::wstring TrimCharsStr(std::wstring_view S, std::wstring_view Chars, bool Left, bool Right);
// Trims the lines of List (see TTrimStringsOption) within one update bracket. A line is blank
// when it holds nothing but Chars, LF and CR.
void TrimStrings(TStrings& List, TTrimStringsOptions Options, TCharset Chars);
std::wstring RemoveChars(std::wstring_view S, const TCharset& Chars);
std::string RemoveChars(std::string_view S, const TCharset& Chars);
// S without every character that does not occur in Allowed.
std::wstring KeepChars(std::wstring_view S, std::wstring_view Allowed);
// S without every character outside Chars.
std::wstring KeepCharSet(std::wstring_view S, const TCharset& Chars);
// Every run of two or more characters of Chars + [Ch] becomes one Ch.
std::wstring CollapseChars(std::wstring_view S, const TCharset& Chars, wchar_t Ch);
// Trims tab, LF, CR and space at both ends and collapses runs of them into one space.
std::wstring CollapseWhitespace(std::wstring_view S);

// ---- Padding, joining and small tests

// Number of characters; a surrogate pair counts as one.
int CodePointLength(std::wstring_view S);
// Fills S with PadChar up to Width characters, or cuts it to its first (PadRight) or last
// (PadLeft) Width characters. Surrogate pairs are never split.
std::wstring PadRight(std::wstring_view S, int Width, wchar_t PadChar = L' ');
std::wstring PadLeft(std::wstring_view S, int Width, wchar_t PadChar = L' ');
std::wstring RepeatChar(wchar_t Ch, int Count);
std::wstring Spaces(int Count);
// "0" in front up to Width characters; for a negative number the zeros come before the sign.
std::wstring IntToStrZeroPad(std::int64_t Value, int Width);
// "1 " + Singular, otherwise the number, a space and Plural; empty for 0 when EmptyIfZero.
std::wstring CountText(std::int64_t Count, std::wstring_view Plural, std::wstring_view Singular, bool EmptyIfZero);
// A + Sep + B when both are not empty, otherwise A + B.
std::wstring JoinNonEmpty(std::wstring_view A, std::wstring_view B, std::wstring_view Sep);
std::wstring JoinNonEmptyArray(const TStringArray& Values, std::wstring_view Sep);
// Prefix + S + Suffix, or Default when S is empty.
std::wstring WrapNonEmpty(std::wstring_view S, std::wstring_view Prefix, std::wstring_view Suffix,
                          std::wstring_view Default);
// Prefix + the lines of S joined by CR LF, the lines after the first indented to align under
// the first line's text.
std::wstring HangingIndent(std::wstring_view Prefix, std::wstring_view S);
// S in QuoteChar (inner QuoteChar doubled) when it holds a space, QuoteChar or CR.
std::wstring QuoteIfNeeded(std::wstring_view S, wchar_t QuoteChar = L'"');
// An optional sign and at least one digit 0-9, nothing else.
bool IsInteger(std::wstring_view S);
inline std::wstring IfThenStr(bool Flag, const std::wstring& A, const std::wstring& B = {}) { return Flag ? A : B; }
inline std::int32_t IfThenInt(bool Flag, std::int32_t A, std::int32_t B = 0) { return Flag ? A : B; }
// The last Count code units.
std::wstring RightStr(std::wstring_view S, int Count);
std::wstring StrFromBuf(const wchar_t* Buf, int Count);
// First occurrence of the zero-terminated Sub in the zero-terminated S, nullptr when absent; an
// empty Sub finds the end of S.
const wchar_t* StrPos(const wchar_t* S, const wchar_t* Sub);

// ---- Conversions

// A byte count in the largest unit it exceeds (" KB", " MB", " GB", " TB"), or "N Bytes".
// DecSep and ThouSep 0 stand for the locale's separators.
std::wstring FormatByteSize(wchar_t DecSep, int Decimals, wchar_t ThouSep, std::int64_t Size);
// Value with Decimals decimals (18 significant digits), grouped by ThouSep unless it is 0.
// DecSep 0 stands for the locale's decimal separator.
std::wstring FormatNumber(int Decimals, wchar_t DecSep, wchar_t ThouSep, double Value);
// FormatNumber without trailing zeros and separator; empty for 0 when EmptyIfZero.
std::wstring FormatFloatTrim(int Decimals, wchar_t DecSep, wchar_t ThouSep, bool EmptyIfZero, double Value);
// S as a number whose decimal separator is DecSep, without grouping; Default when it is not one.
double StrToFloatSep(std::wstring_view S, wchar_t DecSep, double Default);
// S as hexadecimal digits (up to FFFFFFFF, a 32-bit pattern); 0 when it is not that.
std::int32_t HexToInt(std::wstring_view S);
// Two upper-case hexadecimal digits per byte, and back (empty for anything but digit pairs).
std::wstring BytesToHex(std::string_view Bytes);
std::string HexToBytes(std::wstring_view S);
// Bits Digits-1 .. 0 of Value as "0" and "1", in groups of GroupSize from the right.
std::wstring IntToBin(std::int64_t Value, int Digits, int GroupSize);
// Base64 of the whole stream into lines of LineLength characters (64 below 8).
void Base64EncodeLines(TStream& Stream, TStrings& Lines, int LineLength = 64);
// Decodes base64 lines (blanks skipped) and writes the bytes at the stream's position.
void Base64DecodeLines(const TStrings& Lines, TStream& Stream);
// Writes one UTF-8 byte-order mark and Text as UTF-8. Without KeepAsIs, a U+FEFF at the start of
// Text is taken as that mark.
void WriteTextUtf8(TStream& Stream, std::wstring_view Text, bool KeepAsIs = false);
// The whole stream decoded as UTF-8, without the U+FEFF characters at its start.
std::wstring ReadTextUtf8(TStream& Stream);

// The rows of a hex dump of DataLength bytes, BytesPerLine bytes a row, handed to Emit one by one:
// two upper-case hexadecimal digits and a space per byte ("- " after the eighth byte of rows
// longer than eight), the column filled with spaces to 3 * BytesPerLine + 2 * ((BytesPerLine - 1)
// div 8) characters, ColumnGap, then the bytes as Latin-1 characters (CR and LF as arrows, other
// control characters as dots).
void ForEachHexDumpRow(const void* Data, int DataLength, int BytesPerLine, std::wstring_view ColumnGap,
                       const std::function<void(const std::wstring& Row)>& Emit);
// Appends the hex dump of DataLength bytes to Lines, BytesPerLine bytes a row: hexadecimal
// groups padded to a fixed width, two spaces, then the bytes as Latin-1 characters (CR and LF
// as arrows, other control characters as dots). All rows go in within one update bracket.
void AddHexDump(TStrings* Lines, const void* Data, int DataLength, int BytesPerLine);
