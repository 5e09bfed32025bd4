#include "base/Strings.h"

#include "base/Exception.h"
#include "base/Locale.h"
#include "base/StringList.h"
#include "base/Streams.h"
#include "base/Unicode.h"
#include "base/Win.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <iterator>
#include <limits>

namespace {

// Two upper-case hexadecimal digits.
void AppendHexByte(std::wstring& out, unsigned char b) {
  static constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";
  out += kHexDigits[b >> 4];
  out += kHexDigits[b & 15];
}

// Shared by the 32- and 64-bit conversions: magnitude limits are given by the caller.
bool ParseInteger(std::wstring_view s, std::uint64_t decimalPositiveMax, std::uint64_t decimalNegativeMax,
                  std::uint64_t hexMax, bool& negative, std::uint64_t& magnitude, bool& hex) {
  size_t i = 0;
  while (i < s.size() && s[i] == L' ') ++i;
  negative = false;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
  hex = false;
  if (i < s.size() && s[i] == L'$') {
    hex = true;
    ++i;
  } else if (i < s.size() && (s[i] == L'x' || s[i] == L'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  const std::uint64_t limit = hex ? hexMax : (negative ? decimalNegativeMax : decimalPositiveMax);
  const unsigned base = hex ? 16 : 10;
  magnitude = 0;
  for (; i < s.size(); ++i) {
    wchar_t c = s[i];
    unsigned digit;
    if (c >= L'0' && c <= L'9')
      digit = static_cast<unsigned>(c - L'0');
    else if (hex && c >= L'a' && c <= L'f')
      digit = static_cast<unsigned>(c - L'a' + 10);
    else if (hex && c >= L'A' && c <= L'F')
      digit = static_cast<unsigned>(c - L'A' + 10);
    else
      return false;
    if (magnitude > (limit - digit) / base) return false;
    magnitude = magnitude * base + digit;
  }
  return true;
}

}  // namespace

void StringsStart() { std::srand(::GetTickCount()); }

void StringsStop() {}

bool TryStrToInt(std::wstring_view s, std::int32_t& value) {
  bool negative, hex;
  std::uint64_t magnitude;
  if (!ParseInteger(s, 0x7FFFFFFFull, 0x80000000ull, 0xFFFFFFFFull, negative, magnitude, hex)) return false;
  // Hexadecimal digits are a bit pattern: $FFFFFFFF is -1.
  std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  value = static_cast<std::int32_t>(bits);
  return true;
}

bool TryStrToInt64(std::wstring_view s, std::int64_t& value) {
  bool negative, hex;
  std::uint64_t magnitude;
  if (!ParseInteger(s, 0x7FFFFFFFFFFFFFFFull, 0x8000000000000000ull, 0xFFFFFFFFFFFFFFFFull, negative, magnitude,
                    hex))
    return false;
  std::uint64_t bits = negative ? 0ull - magnitude : magnitude;
  value = static_cast<std::int64_t>(bits);
  return true;
}

std::int32_t StrToIntDef(std::wstring_view s, std::int32_t fallback) {
  std::int32_t value;
  return TryStrToInt(s, value) ? value : fallback;
}

std::int64_t StrToInt64Def(std::wstring_view s, std::int64_t fallback) {
  std::int64_t value;
  return TryStrToInt64(s, value) ? value : fallback;
}

void ForEachHexDumpRow(const void* data, int dataLength, int bytesPerLine, std::wstring_view columnGap,
                       const std::function<void(const std::wstring& row)>& Emit) {
  if (!data || bytesPerLine <= 0) return;
  const size_t width = 3 * static_cast<size_t>(bytesPerLine) + 2 * static_cast<size_t>((bytesPerLine - 1) / 8);
  const auto* bytes = static_cast<const unsigned char*>(data);

  std::wstring hexColumn, charColumn, row;
  hexColumn.reserve(width);
  int counter = 0;
  auto emitRow = [&] {
    hexColumn.resize(width, L' ');  // fills with spaces on the right
    row.assign(hexColumn).append(columnGap).append(charColumn);
    Emit(row);
    hexColumn.clear();
    charColumn.clear();
    counter = 0;
  };

  for (int i = 0; i < dataLength; ++i) {
    unsigned char b = bytes[i];
    if (b == 13)
      charColumn += L'\u2190';
    else if (b == 10)
      charColumn += L'\u2193';
    else if (b < 32)
      charColumn += L'.';
    else
      charColumn += static_cast<wchar_t>(b);  // Latin-1 reading, whatever the code page
    AppendHexByte(hexColumn, b);
    hexColumn += L' ';
    if (++counter == bytesPerLine) emitRow();
    // Only rows longer than eight bytes have room for the mark in their width.
    if (counter == 8) hexColumn += L"- ";
  }
  if (counter > 0) emitRow();
}

void AddHexDump(TStrings* lines, const void* data, int dataLength, int bytesPerLine) {
  if (!lines) return;
  TStringsUpdate update(*lines);
  ForEachHexDumpRow(data, dataLength, bytesPerLine, L"  ", [lines](const std::wstring& row) { lines->Add(row); });
}

// ---- Comparison, case and trimming

namespace {

constexpr wchar_t kEmpty[] = L"";

// The locale functions take int lengths and reject null pointers.
bool FitsApi(std::wstring_view s) { return s.size() <= static_cast<size_t>(INT_MAX); }
const wchar_t* ApiPtr(std::wstring_view s) { return s.empty() ? kEmpty : s.data(); }

bool IsBlankChar(wchar_t c) { return c <= L' '; }

std::wstring MapCase(std::wstring_view s, DWORD flags) {
  if (s.empty() || !FitsApi(s)) return std::wstring(s);
  int length = static_cast<int>(s.size());
  int need = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, s.data(), length, nullptr, 0, nullptr, nullptr, 0);
  if (need <= 0) return std::wstring(s);
  std::wstring result(static_cast<size_t>(need), L'\0');
  need = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, s.data(), length, result.data(), need, nullptr, nullptr, 0);
  if (need <= 0) return std::wstring(s);
  result.resize(static_cast<size_t>(need));
  return result;
}

}  // namespace

int LocaleCompare(std::wstring_view a, std::wstring_view b, bool ignoreCase) {
  if (FitsApi(a) && FitsApi(b)) {
    int r = ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, ApiPtr(a),
                              static_cast<int>(a.size()), ApiPtr(b), static_cast<int>(b.size()), nullptr, nullptr, 0);
    if (r != 0) return r - CSTR_EQUAL;
  }
  int r = a.compare(b);
  return (r > 0) - (r < 0);
}

bool SameTextOrStr(std::wstring_view a, std::wstring_view b, bool ignoreCase) {
  return a == b || LocaleCompare(a, b, ignoreCase) == 0;
}

int CompareTextOrdinal(std::wstring_view a, std::wstring_view b) {
  // Case is mapped one code unit at a time, so the texts can be compared in slices that fit the
  // API, and a text that is the other's beginning sorts first.
  for (;;) {
    const size_t n = std::min<size_t>({a.size(), b.size(), INT_MAX});
    if (n == 0) break;
    const int r = ::CompareStringOrdinal(a.data(), static_cast<int>(n), b.data(), static_cast<int>(n), TRUE);
    if (r != CSTR_EQUAL) return r - CSTR_EQUAL;
    a.remove_prefix(n);
    b.remove_prefix(n);
  }
  return (a.size() > b.size()) - (a.size() < b.size());
}

bool SameTextOrdinal(std::wstring_view a, std::wstring_view b) {
  // Texts of other lengths never match (case is mapped one code unit at a time).
  return a.size() == b.size() && CompareTextOrdinal(a, b) == 0;
}

std::wstring LocaleUpperCase(std::wstring_view s) { return MapCase(s, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING); }
std::wstring LocaleLowerCase(std::wstring_view s) { return MapCase(s, LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING); }

std::wstring Trim(std::wstring_view s) { return TrimRight(TrimLeft(s)); }

std::wstring TrimLeft(std::wstring_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlankChar(s[b])) ++b;
  return std::wstring(s.substr(b));
}

std::wstring TrimRight(std::wstring_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlankChar(s[e - 1])) --e;
  return std::wstring(s.substr(0, e));
}

// ---- Token lists

namespace {

// A decimal integer that fits 32 bits: what IsInteger accepts, without the standard
// conversion's blanks and hexadecimal forms.
bool TryDecimalToInt(std::wstring_view s, std::int32_t& value) { return IsInteger(s) && TryStrToInt(s, value); }

// Calls visit(token) for each token of S in order until it returns false. An empty S has one
// empty token here; TokenCount and GetToken treat it as having none.
template <class TVisit>
void ForEachToken(std::wstring_view s, std::wstring_view delim, TVisit visit) {
  size_t start = 0;
  for (;;) {
    size_t pos = delim.empty() ? std::wstring_view::npos : s.find(delim, start);
    if (!visit(s.substr(start, pos == std::wstring_view::npos ? std::wstring_view::npos : pos - start))) return;
    if (pos == std::wstring_view::npos) return;
    start = pos + delim.size();
  }
}

}  // namespace

int TokenCount(std::wstring_view s, std::wstring_view delim) {
  if (s.empty()) return 0;
  int count = 0;
  ForEachToken(s, delim, [&](std::wstring_view) { return ++count < INT_MAX; });
  return count;
}

std::wstring GetToken(std::wstring_view s, std::wstring_view delim, int index) {
  if (s.empty() || index < 1) return {};
  std::wstring token;
  int i = 0;
  ForEachToken(s, delim, [&](std::wstring_view t) {
    if (++i < index) return true;
    token.assign(t);
    return false;
  });
  return token;
}

std::int32_t GetTokenInt(std::wstring_view s, std::wstring_view delim, int index, std::int32_t fallback) {
  std::int32_t value;
  return TryDecimalToInt(GetToken(s, delim, index), value) ? value : fallback;
}

int TokenIndex(std::wstring_view list, std::wstring_view delim, std::wstring_view Token, bool ignoreCase) {
  int i = 0, found = 0;
  ForEachToken(list, delim, [&](std::wstring_view t) {
    ++i;
    if (SameTextOrStr(t, Token, ignoreCase)) found = i;
    return found == 0 && i < INT_MAX;
  });
  return found;
}

bool TokenExists(std::wstring_view list, std::wstring_view delim, std::wstring_view token, bool ignoreCase) {
  return TokenIndex(list, delim, token, ignoreCase) > 0;
}

std::wstring StrTokenAdd(std::wstring_view list, std::wstring_view delim, std::wstring_view token,
                         TDuplicates duplicates, bool ignoreCase) {
  if (list.empty()) return std::wstring(token);
  if (duplicates == dupIgnore || duplicates == dupError) {
    if (TokenExists(list, delim, token, ignoreCase)) {
      if (duplicates == dupIgnore) return std::wstring(list);
      throw Exception(L"StrTokenAdd: Cannot add duplicate \"" + std::wstring(token) + L"\" to \"" +
                      std::wstring(list) + L"\".");
    }
  }
  std::wstring result(list);
  result += delim;
  result += token;
  return result;
}

bool NextToken(std::wstring_view& cursor, std::wstring_view delim, std::wstring& token, bool doTrim) {
  token.clear();
  if (delim.empty() || cursor.empty()) return false;
  size_t pos = cursor.find(delim);
  if (pos == std::wstring_view::npos) {
    token.assign(cursor);
    cursor.remove_prefix(cursor.size());
  } else {
    token.assign(cursor.substr(0, pos));
    cursor.remove_prefix(pos + delim.size());
  }
  if (doTrim) token = Trim(token);
  return true;
}

std::wstring SplitPart(std::wstring_view s, std::wstring_view delim, int part) {
  size_t pos = delim.empty() ? std::wstring_view::npos : s.find(delim);
  if (part <= 1) return std::wstring(s.substr(0, pos));
  return pos == std::wstring_view::npos ? std::wstring() : std::wstring(s.substr(pos + delim.size()));
}

void SplitAt(std::wstring_view s, std::wstring_view delim, std::wstring& left, bool doTrim, std::wstring& right) {
  left = SplitPart(s, delim, 1);
  right = SplitPart(s, delim, 2);
  if (doTrim) {
    left = Trim(left);
    right = Trim(right);
  }
}

TIntArray StrToIntArray(std::wstring_view s, std::wstring_view delim) {
  TIntArray result;
  if (s.empty()) return result;
  bool valid = true;
  ForEachToken(s, delim, [&](std::wstring_view t) {
    std::wstring token = Trim(t);
    std::int32_t value;
    valid = TryDecimalToInt(token, value);
    if (valid) result.push_back(value);
    return valid;
  });
  if (!valid) result.clear();
  return result;
}

std::wstring IntArrayToStr(const TIntArray& values, std::wstring_view delim) {
  std::wstring result;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) result += delim;
    result += std::to_wstring(values[i]);
  }
  return result;
}

bool IntInArray(std::int32_t value, const TIntArray& values) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

// ---- Placeholders

namespace {

// Looks placeholder names up among the values: a value number, or the key of a value split at
// its first "=" into key and text (a value without "=" is a key with an empty text).
class TPlaceholderValues {
public:
  explicit TPlaceholderValues(const TStringArray& values) : FValues(values) {}

  const std::wstring* Find(std::wstring_view name) {
    std::int32_t n;
    if (TryDecimalToInt(name, n) && n >= 1 && static_cast<size_t>(n) <= FValues.size())
      return &FValues[static_cast<size_t>(n - 1)];
    if (!FNamedReady) SplitNamed();
    for (const TNamed& v : FNamed)
      if (SameTextOrStr(v.Key, name, true)) return &v.Text;
    return nullptr;
  }

private:
  struct TNamed {
    std::wstring Key, Text;
  };

  void SplitNamed() {
    FNamedReady = true;
    for (const std::wstring& v : FValues) {
      TNamed named;
      SplitAt(v, L"=", named.Key, true, named.Text);
      FNamed.push_back(std::move(named));
    }
  }

  const TStringArray& FValues;
  std::vector<TNamed> FNamed;
  bool FNamedReady = false;
};

constexpr size_t npos = std::wstring_view::npos;

}  // namespace

// The result is built front to back: out holds everything before the search position p, and
// the template from p on is still to be searched. Every placeholder, filled or not, moves p past
// its closing mark, so no character is searched twice and the time is linear in the template's
// length.
std::wstring FormatPlaceholders(std::wstring_view pattern, const TStringArray& values) {
  const std::wstring_view t = pattern;
  const size_t n = t.size();
  TPlaceholderValues placeholders(values);
  std::wstring out;
  out.reserve(n);
  size_t p = 0;
  bool bracesLeft = true;
  while (n - p >= 3) {
    size_t open, close, nameStart, end;
    size_t brace = bracesLeft ? t.find(L'{', p) : npos;
    if (brace != npos) {
      close = t.find(L'}', brace + 1);
      if (close == npos) break;
      open = brace;
      while (t[open + 1] == L'{') ++open;  // of a run of "{" the last one opens
      nameStart = open + 1;
      end = close + 1;
    } else {
      bracesLeft = false;
      open = t.find(L"((", p);
      if (open == npos) break;
      while (open + 2 < n && t[open + 2] == L'(') ++open;
      close = t.find(L"))", open + 2);
      if (close == npos) break;
      nameStart = open + 2;
      end = close + 2;
    }
    if (const std::wstring* value = placeholders.Find(t.substr(nameStart, close - nameStart))) {
      out.append(t, p, open - p);
      out += *value;
    } else {
      // No value: the placeholder stays whole and the search goes on after it, so a name that
      // itself looks like a placeholder is never filled.
      out.append(t, p, end - p);
    }
    p = end;
  }
  out.append(t, p);
  return out;
}

std::wstring FormatPlaceholder(std::wstring_view pattern, const std::wstring& value) {
  return FormatPlaceholders(pattern, TStringArray{value});
}

// ---- Trimming and filtering

namespace {

template <class TIsMember>
std::wstring TrimIf(std::wstring_view s, bool left, bool right, TIsMember isMember) {
  size_t b = 0, e = s.size();
  if (left)
    while (b < e && isMember(s[b])) ++b;
  if (right)
    while (e > b && isMember(s[e - 1])) --e;
  return std::wstring(s.substr(b, e - b));
}

template <class TChar, class TKeep>
std::basic_string<TChar> Filter(std::basic_string_view<TChar> s, TKeep keep) {
  std::basic_string<TChar> result;
  result.reserve(s.size());
  for (TChar c : s)
    if (keep(c)) result += c;
  return result;
}

}  // namespace

std::wstring TrimChars(std::wstring_view s, const TCharset& chars, bool left, bool right) {
  return TrimIf(s, left, right, [&](wchar_t c) { return chars.Contains(c); });
}

std::wstring TrimCharsStr(std::wstring_view s, std::wstring_view chars, bool left, bool right) {
  return TrimIf(s, left, right, [&](wchar_t c) { return chars.find(c) != npos; });
}

void TrimStrings(TStrings& list, TTrimStringsOptions options, TCharset chars) {
  TStringsUpdate update(list);
  if (options.Contains(toLeft)) options.Exclude(toLeftIndent);
  if (options.Contains(toEmptyLines)) options.Exclude(toTop).Exclude(toBottom);
  chars.Include(10);
  chars.Include(13);
  auto isBlank = [&](const std::wstring& line) {
    return std::all_of(line.begin(), line.end(), [&](wchar_t c) { return chars.Contains(c); });
  };

  if (options.Contains(toTop)) {
    int blank = 0;
    while (blank < list.Count() && isBlank(list.Get(blank))) ++blank;
    while (blank-- > 0) list.Delete(blank);
  }
  if (options.Contains(toBottom))
    while (list.Count() > 0 && isBlank(list.Get(list.Count() - 1))) list.Delete(list.Count() - 1);
  if (options.Contains(toEmptyLines))
    for (int i = list.Count() - 1; i >= 0; --i)
      if (isBlank(list.Get(i))) list.Delete(i);

  if (options.Contains(toLeftIndent)) {
    size_t indent = 10000;
    for (int i = 0, count = list.Count(); i < count && indent > 0; ++i) {
      std::wstring line = list.Get(i);
      if (options.Contains(toRight)) {
        std::wstring trimmed = TrimChars(line, chars, false, true);
        if (trimmed.size() != line.size()) list.Put(i, trimmed);
        line = std::move(trimmed);
      }
      size_t lead = 0;
      while (lead < line.size() && chars.Contains(line[lead])) ++lead;
      if (lead < line.size()) indent = std::min(indent, lead);  // blank lines do not count
    }
    if (indent > 0)
      for (int i = 0, count = list.Count(); i < count; ++i) {
        std::wstring line = list.Get(i);
        list.Put(i, line.size() > indent ? line.substr(indent) : std::wstring());
      }
  }

  if (options.Contains(toLeft) || options.Contains(toRight))
    for (int i = 0, count = list.Count(); i < count; ++i) {
      std::wstring line = list.Get(i);
      std::wstring trimmed = TrimChars(line, chars, options.Contains(toLeft), options.Contains(toRight));
      if (trimmed.size() != line.size()) list.Put(i, trimmed);
    }
}

std::wstring RemoveChars(std::wstring_view s, const TCharset& chars) {
  if (chars.Empty()) return std::wstring(s);
  return Filter(s, [&](wchar_t c) { return !chars.Contains(c); });
}

std::string RemoveChars(std::string_view s, const TCharset& chars) {
  if (chars.Empty()) return std::string(s);
  return Filter(s, [&](char c) { return !chars.Contains(static_cast<unsigned char>(c)); });
}

std::wstring KeepChars(std::wstring_view s, std::wstring_view allowed) {
  return Filter(s, [&](wchar_t c) { return allowed.find(c) != npos; });
}

std::wstring KeepCharSet(std::wstring_view s, const TCharset& chars) {
  return Filter(s, [&](wchar_t c) { return chars.Contains(c); });
}

std::wstring CollapseChars(std::wstring_view s, const TCharset& chars, wchar_t Ch) {
  auto isMember = [&](wchar_t c) { return c == Ch || chars.Contains(c); };
  std::wstring result;
  result.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    if (!isMember(s[i])) {
      result += s[i++];
      continue;
    }
    size_t run = i;
    while (run < s.size() && isMember(s[run])) ++run;
    result += run - i >= 2 ? Ch : s[i];
    i = run;
  }
  return result;
}

std::wstring CollapseWhitespace(std::wstring_view s) {
  return CollapseChars(TrimChars(s, WhitespaceChars, true, true), WhitespaceChars, L' ');
}

// ---- Padding, joining and small tests

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Code units of the character at i: 2 for a surrogate pair, otherwise 1.
size_t UnitsAt(std::wstring_view s, size_t i) {
  return IsHighSurrogate(s[i]) && i + 1 < s.size() && IsLowSurrogate(s[i + 1]) ? 2 : 1;
}

// Code units taken by the first count characters of s (all of s when it has fewer).
size_t FirstCharsUnits(std::wstring_view s, size_t count) {
  size_t i = 0;
  for (; count > 0 && i < s.size(); --count) i += UnitsAt(s, i);
  return i;
}

// Code units taken by the last count characters of s.
size_t LastCharsUnits(std::wstring_view s, size_t count) {
  size_t i = s.size();
  for (; count > 0 && i > 0; --count)
    i -= (IsLowSurrogate(s[i - 1]) && i >= 2 && IsHighSurrogate(s[i - 2])) ? 2 : 1;
  return s.size() - i;
}

}  // namespace

int CodePointLength(std::wstring_view s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); ++n) i += UnitsAt(s, i);
  return static_cast<int>(std::min<size_t>(n, INT_MAX));
}

// Both count and cut whole characters: a cut through a surrogate pair would leave half a
// character, which shows as a replacement box and is not valid UTF-16 for the text conversions.
std::wstring PadRight(std::wstring_view s, int width, wchar_t padChar) {
  if (width <= 0) return {};
  int length = CodePointLength(s);
  if (length < width) return std::wstring(s) + RepeatChar(padChar, width - length);
  return std::wstring(s.substr(0, FirstCharsUnits(s, static_cast<size_t>(width))));
}

std::wstring PadLeft(std::wstring_view s, int width, wchar_t padChar) {
  if (width <= 0) return {};
  int length = CodePointLength(s);
  if (length < width) return RepeatChar(padChar, width - length) + std::wstring(s);
  return std::wstring(s.substr(s.size() - LastCharsUnits(s, static_cast<size_t>(width))));
}

std::wstring RepeatChar(wchar_t ch, int count) {
  return count > 0 ? std::wstring(static_cast<size_t>(count), ch) : std::wstring();
}

std::wstring Spaces(int count) { return RepeatChar(L' ', count); }

std::wstring IntToStrZeroPad(std::int64_t value, int width) {
  // Written by hand: the date formatter calls this for every field, and std::to_wstring goes
  // through the C library's printf.
  wchar_t buffer[24];
  wchar_t* const end = buffer + std::size(buffer);
  wchar_t* p = end;
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    *--p = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude > 0);
  if (value < 0) *--p = L'-';
  const size_t length = static_cast<size_t>(end - p);
  std::wstring text;
  if (width > 0 && length < static_cast<size_t>(width)) text.assign(static_cast<size_t>(width) - length, L'0');
  text.append(p, length);
  return text;
}

std::wstring CountText(std::int64_t count, std::wstring_view plural, std::wstring_view singular, bool emptyIfZero) {
  if (emptyIfZero && count == 0) return {};
  return std::to_wstring(count) + L' ' + std::wstring(count == 1 ? singular : plural);
}

std::wstring JoinNonEmpty(std::wstring_view a, std::wstring_view b, std::wstring_view sep) {
  std::wstring result(a);
  if (!a.empty() && !b.empty()) result += sep;
  result += b;
  return result;
}

std::wstring JoinNonEmptyArray(const TStringArray& values, std::wstring_view sep) {
  std::wstring result;
  for (const std::wstring& v : values) {
    if (!result.empty() && !v.empty()) result += sep;
    result += v;
  }
  return result;
}

std::wstring WrapNonEmpty(std::wstring_view s, std::wstring_view prefix, std::wstring_view suffix,
                          std::wstring_view fallback) {
  if (s.empty()) return std::wstring(fallback);
  std::wstring result(prefix);
  result += s;
  result += suffix;
  return result;
}

std::wstring HangingIndent(std::wstring_view prefix, std::wstring_view s) {
  // A single line (the usual case of the traffic logger's lines) needs no splitting.
  if (s.find_first_of(L"\r\n") == std::wstring_view::npos) return std::wstring(prefix) + TrimRight(s);
  std::vector<std::wstring> lines = SplitLines(TrimRight(s));
  if (lines.empty()) return std::wstring(prefix);
  std::wstring result(prefix);
  const std::wstring indent = Spaces(static_cast<int>(std::min<size_t>(prefix.size(), INT_MAX)));
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) result += L"\r\n" + indent;
    result += lines[i];
  }
  return result;
}

std::wstring QuoteIfNeeded(std::wstring_view s, wchar_t quoteChar) {
  if (s.find_first_of(std::wstring{L' ', L'\r', quoteChar}) == npos) return std::wstring(s);
  std::wstring result(1, quoteChar);
  for (wchar_t c : s) {
    result += c;
    if (c == quoteChar) result += c;
  }
  result += quoteChar;
  return result;
}

bool IsInteger(std::wstring_view s) {
  size_t i = !s.empty() && (s[0] == L'+' || s[0] == L'-') ? 1 : 0;
  if (i >= s.size()) return false;
  return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(i), s.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::wstring RightStr(std::wstring_view s, int count) {
  if (count <= 0) return {};
  return std::wstring(s.substr(s.size() - std::min(s.size(), static_cast<size_t>(count))));
}

std::wstring StrFromBuf(const wchar_t* buf, int count) {
  return buf && count > 0 ? std::wstring(buf, static_cast<size_t>(count)) : std::wstring();
}

const wchar_t* StrPos(const wchar_t* s, const wchar_t* sub) {
  if (!s || !sub) return nullptr;
  if (!*sub) return s + std::wcslen(s);
  return std::wcsstr(s, sub);
}

// ---- Conversions

namespace {

// More decimals than any double has significant digits after its point.
constexpr int kMaxDecimals = 340;

// |value| rounded to 18 significant digits and then, half away from zero, to decimals digits
// after the point, as plain digits: "1234.50". Negative tells whether a minus sign belongs in
// front (never for a result that rounds to zero).
std::string FixedDigits(double value, int decimals, bool& negative) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 17);
  std::string_view sci(buffer, ec == std::errc() ? static_cast<size_t>(end - buffer) : 0);
  size_t e = sci.find('e');
  std::string mantissa;  // the 18 digits without the point
  int exponent = 0;
  if (e != std::string_view::npos) {
    for (char c : sci.substr(0, e))
      if (c != '.') mantissa += c;
    std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+'), sci.data() + sci.size(), exponent);
  } else {
    mantissa = "0";
  }
  // The point stands after the first `point` digits of the mantissa (may lie outside it).
  int point = exponent + 1;
  std::string intPart, fraction;
  if (point <= 0) {
    intPart = "0";
    fraction = std::string(static_cast<size_t>(-point), '0') + mantissa;
  } else if (static_cast<size_t>(point) >= mantissa.size()) {
    intPart = mantissa + std::string(static_cast<size_t>(point) - mantissa.size(), '0');
  } else {
    intPart = mantissa.substr(0, static_cast<size_t>(point));
    fraction = mantissa.substr(static_cast<size_t>(point));
  }
  const size_t keep = static_cast<size_t>(decimals);
  bool roundUp = fraction.size() > keep && fraction[keep] >= '5';
  fraction.resize(keep, '0');
  std::string digits = intPart + fraction;
  if (roundUp) {
    size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0)
      digits.insert(digits.begin(), '1');
    else
      ++digits[i - 1];
  }
  size_t intLength = digits.size() - keep;
  size_t firstNonZero = digits.find_first_not_of('0');
  // Leading zeros go, but one digit stays in front of the point.
  size_t cut = std::min(firstNonZero == std::string::npos ? intLength : firstNonZero, intLength - 1);
  negative = std::signbit(value) && firstNonZero != std::string::npos;
  std::string result = digits.substr(cut, intLength - cut);
  if (keep > 0) result += '.' + digits.substr(intLength);
  return result;
}

}  // namespace

std::wstring FormatNumber(int decimals, wchar_t decSep, wchar_t thouSep, double value) {
  if (std::isnan(value)) return L"NAN";
  if (std::isinf(value)) return value < 0 ? L"-INF" : L"INF";
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  const wchar_t decimalSep[2] = {decSep ? decSep : LocaleSnapshot().DecimalSeparator, 0};
  const wchar_t thousandSep[2] = {thouSep, 0};
  bool negative;
  // The digits are rounded here, so the system routine only groups them and puts the separators
  // in (Wine's own rounding loses the grouping of a carried digit: 999.999 gives "1000.00").
  std::string digits = FixedDigits(value, decimals, negative);
  std::wstring input = (negative ? L"-" : L"") + std::wstring(digits.begin(), digits.end());
  NUMBERFMTW format{};
  format.NumDigits = static_cast<UINT>(decimals);
  format.LeadingZero = 1;
  format.Grouping = thouSep ? 3 : 0;
  format.lpDecimalSep = const_cast<wchar_t*>(decimalSep);
  format.lpThousandSep = const_cast<wchar_t*>(thousandSep);
  format.NegativeOrder = 1;  // "-1.1"
  int need = ::GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, input.c_str(), &format, nullptr, 0);
  if (need > 0) {
    std::wstring result(static_cast<size_t>(need), L'\0');
    need = ::GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, input.c_str(), &format, result.data(), need);
    if (need > 0) {
      result.resize(static_cast<size_t>(need - 1));
      return result;
    }
  }
  // Not expected with these arguments; the digits without grouping are still right.
  std::replace(input.begin(), input.end(), L'.', decimalSep[0]);
  return input;
}

std::wstring FormatFloatTrim(int decimals, wchar_t decSep, wchar_t thouSep, bool emptyIfZero, double value) {
  if (emptyIfZero && value == 0) return {};
  std::wstring result = FormatNumber(decimals, decSep, thouSep, value);
  if (decimals > 0 && std::isfinite(value)) {
    const wchar_t decimalSep = decSep ? decSep : LocaleSnapshot().DecimalSeparator;
    while (!result.empty() && result.back() == L'0') result.pop_back();
    if (!result.empty() && result.back() == decimalSep) result.pop_back();
  }
  return result;
}

std::wstring FormatByteSize(wchar_t decSep, int decimals, wchar_t thouSep, std::int64_t size) {
  if (!decSep) decSep = LocaleSnapshot().DecimalSeparator;
  if (!thouSep) thouSep = LocaleSnapshot().ThousandSeparator;
  struct TUnit {
    double Factor;
    const wchar_t* Text;
  };
  static const TUnit kUnits[] = {
      {1099511627776.0, L" TB"}, {1073741824.0, L" GB"}, {1048576.0, L" MB"}, {1024.0, L" KB"}};
  const double magnitude = std::fabs(static_cast<double>(size));
  const double sign = size < 0 ? -1.0 : 1.0;
  for (const TUnit& unit : kUnits)
    if (magnitude / unit.Factor > 1)
      return FormatFloatTrim(decimals, decSep, thouSep, true, sign * (magnitude / unit.Factor)) + unit.Text;
  return CountText(size, L"Bytes", L"Byte", false);
}

double StrToFloatSep(std::wstring_view s, wchar_t decSep, double fallback) {
  std::wstring text(s);
  if (decSep != L'.') {
    size_t sep = text.find(decSep);
    if (sep != npos) text[sep] = L'.';
  }
  std::wstring_view t = text;
  while (!t.empty() && t.front() == L' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == L' ') t.remove_suffix(1);
  // The form is checked here rather than left to from_chars, which also reads "inf", "nan" and
  // hexadecimal floats: [sign] digits [. digits] [e [sign] digits], with at least one digit.
  std::string ascii;
  ascii.reserve(t.size());
  size_t i = 0;
  auto digits = [&] {
    size_t first = i;
    for (; i < t.size() && t[i] >= L'0' && t[i] <= L'9'; ++i) ascii += static_cast<char>(t[i]);
    return i > first;
  };
  if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) {
    if (t[i] == L'-') ascii += '-';
    ++i;
  }
  bool anyDigit = digits();
  if (i < t.size() && t[i] == L'.') {
    ascii += '.';
    ++i;
    anyDigit = digits() || anyDigit;
  }
  if (!anyDigit) return fallback;
  if (i < t.size() && (t[i] == L'e' || t[i] == L'E')) {
    ascii += 'e';
    ++i;
    if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) ascii += static_cast<char>(t[i++]);
    if (!digits()) return fallback;
  }
  if (i != t.size()) return fallback;
  double value = 0;
  auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (ec != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value)) return fallback;
  return value;
}

namespace {

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

}  // namespace

std::int32_t HexToInt(std::wstring_view s) {
  if (s.empty() || !std::all_of(s.begin(), s.end(), [](wchar_t c) { return HexValue(c) >= 0; })) return 0;
  std::int32_t value;
  return TryStrToInt(L"$" + std::wstring(s), value) ? value : 0;
}

std::wstring BytesToHex(std::string_view bytes) {
  std::wstring result;
  result.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) AppendHexByte(result, b);
  return result;
}

std::string HexToBytes(std::wstring_view s) {
  if (s.size() % 2 != 0) return {};
  std::string result(s.size() / 2, '\0');
  for (size_t i = 0; i < result.size(); ++i) {
    int high = HexValue(s[2 * i]), low = HexValue(s[2 * i + 1]);
    if (high < 0 || low < 0) return {};
    result[i] = static_cast<char>(high * 16 + low);
  }
  return result;
}

std::wstring IntToBin(std::int64_t value, int digits, int groupSize) {
  if (digits <= 0) return {};
  const auto bits = static_cast<std::uint64_t>(value);
  std::wstring text;
  text.reserve(static_cast<size_t>(digits));
  for (int n = digits - 1; n >= 0; --n) text += n < 64 && (bits >> n) & 1 ? L'1' : L'0';
  if (groupSize <= 1 || text.size() <= static_cast<size_t>(groupSize) + 1) return text;
  // A space before every group from the right, as long as more than one digit is left of it.
  const size_t group = static_cast<size_t>(groupSize);
  size_t head = text.size() % group;
  if (head <= 1) head += group;
  std::wstring result(text, 0, head);
  for (size_t i = head; i < text.size(); i += group) {
    result += L' ';
    result.append(text, i, group);
  }
  return result;
}

namespace {

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of a base64 character; every other character (and "=") counts as 0.
unsigned Base64Value(wchar_t c) {
  static const auto kTable = [] {
    std::array<std::uint8_t, 128> table{};
    for (unsigned i = 0; i < 64; ++i) table[static_cast<unsigned char>(kBase64Alphabet[i])] = static_cast<std::uint8_t>(i);
    return table;
  }();
  return c < 128 ? kTable[c] : 0;
}

}  // namespace

void Base64EncodeLines(TStream& stream, TStrings& lines, int lineLength) {
  const size_t width = static_cast<size_t>(lineLength < 8 ? 64 : lineLength);
  TStringsUpdate update(lines);
  stream.SetPosition(0);
  std::wstring line;
  line.reserve(std::min<size_t>(width, 1u << 16));
  auto put = [&](char c) {
    line += static_cast<wchar_t>(c);
    if (line.size() >= width) {
      lines.Add(line);
      line.clear();
    }
  };
  std::vector<std::uint8_t> buffer(3 * 21846);
  for (;;) {
    size_t n = stream.Read(buffer.data(), buffer.size());
    for (size_t i = 0; i < n; i += 3) {
      size_t left = n - i;
      unsigned b0 = buffer[i], b1 = left > 1 ? buffer[i + 1] : 0, b2 = left > 2 ? buffer[i + 2] : 0;
      put(kBase64Alphabet[b0 >> 2]);
      put(kBase64Alphabet[((b0 & 3) << 4) | (b1 >> 4)]);
      put(left > 1 ? kBase64Alphabet[((b1 & 15) << 2) | (b2 >> 6)] : '=');
      put(left > 2 ? kBase64Alphabet[b2 & 63] : '=');
    }
    if (n < buffer.size()) break;  // the stream's end, after a short or empty last block
  }
  if (!line.empty()) lines.Add(line);
}

void Base64DecodeLines(const TStrings& lines, TStream& stream) {
  std::string bytes;
  bytes.reserve(1u << 16);
  wchar_t group[4];
  int filled = 0;
  for (int l = 0, count = lines.Count(); l < count; ++l) {
    for (wchar_t c : lines.Get(l)) {
      if (c == L'\t' || c == L'\n' || c == L'\r' || c == L' ') continue;
      group[filled++] = c;
      if (filled < 4) continue;
      filled = 0;
      unsigned bits = Base64Value(group[0]) << 18 | Base64Value(group[1]) << 12 | Base64Value(group[2]) << 6 |
                      Base64Value(group[3]);
      bytes += static_cast<char>(bits >> 16);
      if (group[2] != L'=') bytes += static_cast<char>(bits >> 8);
      if (group[2] != L'=' && group[3] != L'=') bytes += static_cast<char>(bits);
      if (bytes.size() >= (1u << 16) - 3) {
        stream.Write(bytes.data(), bytes.size());
        bytes.clear();
      }
    }
  }
  if (!bytes.empty()) stream.Write(bytes.data(), bytes.size());
}

void WriteTextUtf8(TStream& stream, std::wstring_view text, bool keepAsIs) {
  static const char kBom[] = "\xEF\xBB\xBF";
  stream.Write(kBom, 3);
  if (!keepAsIs && !text.empty() && text[0] == L'\uFEFF') text.remove_prefix(1);
  // Slices of at most 1365 code units fill at most 4095 bytes; pairs are never cut.
  constexpr size_t kSlice = 4096 / 3;
  while (!text.empty()) {
    size_t n = std::min(kSlice, text.size());
    if (n < text.size() && IsHighSurrogate(text[n - 1])) --n;
    std::string bytes = TextToUtf8(text.substr(0, n));
    stream.Write(bytes.data(), bytes.size());
    text.remove_prefix(n);
  }
}

std::wstring ReadTextUtf8(TStream& stream) {
  std::wstring text = Utf8ToText(ReadStreamBytes(stream));
  size_t marks = text.find_first_not_of(L'\uFEFF');
  text.erase(0, marks == std::wstring::npos ? text.size() : marks);
  return text;
}
