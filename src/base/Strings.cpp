#include "base/Strings.h"

#include "base/StringList.h"

#include "base/Win.h"

#include <cstdlib>
#include <limits>

namespace {

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

TLocaleSnapshot gLocale;

std::wstring LocaleText(LCTYPE type) {
  wchar_t buffer[256];
  int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 256);
  return n > 1 ? std::wstring(buffer, static_cast<size_t>(n - 1)) : std::wstring();
}

int LocaleInt(LCTYPE type, int fallback) {
  DWORD value = 0;
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type | LOCALE_RETURN_NUMBER, reinterpret_cast<wchar_t*>(&value),
                        sizeof(value) / sizeof(wchar_t)) > 0)
    return static_cast<int>(value);
  return fallback;
}

wchar_t LocaleChar(LCTYPE type, wchar_t fallback) {
  std::wstring text = LocaleText(type);
  return text.empty() ? fallback : text[0];
}

double NowAsDateTime() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  FILETIME ft;
  ::SystemTimeToFileTime(&st, &ft);
  ULARGE_INTEGER ticks{{ft.dwLowDateTime, ft.dwHighDateTime}};
  // FILETIME counts 100 ns since 1601-01-01; date-time values count days since 1899-12-30.
  constexpr double kTicksPerDay = 864000000000.0;
  constexpr double kDays1601To1899 = 109205.0;
  return static_cast<double>(ticks.QuadPart) / kTicksPerDay - kDays1601To1899;
}

}  // namespace

const TLocaleSnapshot& LocaleSnapshot() { return gLocale; }

void ReloadLocaleSettings() {
  TLocaleSnapshot l;
  l.StartTime = gLocale.StartTime;
  l.AnsiCodePage = ::GetACP();
  l.CurrencyString = LocaleText(LOCALE_SCURRENCY);
  l.CurrencyFormat = LocaleInt(LOCALE_ICURRENCY, 0);
  l.CurrencyDecimals = LocaleInt(LOCALE_ICURRDIGITS, 2);
  l.NegCurrFormat = LocaleInt(LOCALE_INEGCURR, 0);
  l.DateSeparator = LocaleChar(LOCALE_SDATE, L'/');
  l.TimeSeparator = LocaleChar(LOCALE_STIME, L':');
  l.ListSeparator = LocaleChar(LOCALE_SLIST, L',');
  l.ShortDateFormat = LocaleText(LOCALE_SSHORTDATE);
  l.LongDateFormat = LocaleText(LOCALE_SLONGDATE);
  l.TimeAMString = LocaleText(LOCALE_S1159);
  l.TimePMString = LocaleText(LOCALE_S2359);
  l.ShortTimeFormat = LocaleText(LOCALE_SSHORTTIME);
  l.LongTimeFormat = LocaleText(LOCALE_STIMEFORMAT);
  for (int m = 0; m < 12; ++m) {
    l.ShortMonthNames[m] = LocaleText(LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(m));
    l.LongMonthNames[m] = LocaleText(LOCALE_SMONTHNAME1 + static_cast<LCTYPE>(m));
  }
  // Windows numbers the days from Monday (SDAYNAME1); the snapshot starts with Sunday.
  for (int d = 0; d < 7; ++d) {
    LCTYPE offset = static_cast<LCTYPE>((d + 6) % 7);
    l.ShortDayNames[d] = LocaleText(LOCALE_SABBREVDAYNAME1 + offset);
    l.LongDayNames[d] = LocaleText(LOCALE_SDAYNAME1 + offset);
  }
  std::wstring thousand = LocaleText(LOCALE_STHOUSAND);
  l.ThousandSeparator = thousand.empty() ? L'\0' : thousand[0];
  l.DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, L'.');
  l.TwoDigitYearCenturyWindow = 50;
  gLocale = std::move(l);
}

void StringsStart() {
  gLocale.StartTime = NowAsDateTime();
  ReloadLocaleSettings();
  std::srand(::GetTickCount());
}

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

std::int32_t StrToIntDef(std::wstring_view s, std::int32_t Default) {
  std::int32_t value;
  return TryStrToInt(s, value) ? value : Default;
}

std::int64_t StrToInt64Def(std::wstring_view s, std::int64_t Default) {
  std::int64_t value;
  return TryStrToInt64(s, value) ? value : Default;
}

void AddHexDump(TStrings* Lines, const void* Data, int DataLength, int BytesPerLine) {
  if (!Lines || !Data || BytesPerLine <= 0) return;
  static const wchar_t kHexDigits[] = L"0123456789ABCDEF";
  const size_t width = 3 * static_cast<size_t>(BytesPerLine) + 2 * static_cast<size_t>((BytesPerLine - 1) / 8);
  const auto* bytes = static_cast<const unsigned char*>(Data);

  std::wstring hexColumn, charColumn;
  hexColumn.reserve(width);
  int counter = 0;
  auto emitRow = [&] {
    hexColumn.resize(width, L' ');  // fills with spaces on the right
    Lines->Add(hexColumn + L"  " + charColumn);
    hexColumn.clear();
    charColumn.clear();
    counter = 0;
  };

  TStringsUpdate update(*Lines);
  for (int i = 0; i < DataLength; ++i) {
    unsigned char b = bytes[i];
    if (b == 13)
      charColumn += L'\u2190';
    else if (b == 10)
      charColumn += L'\u2193';
    else if (b < 32)
      charColumn += L'.';
    else
      charColumn += static_cast<wchar_t>(b);  // Latin-1 reading, whatever the code page
    hexColumn += kHexDigits[b >> 4];
    hexColumn += kHexDigits[b & 15];
    hexColumn += L' ';
    if (++counter == BytesPerLine) emitRow();
    if (counter == 8) hexColumn += L"- ";
  }
  if (counter > 0) emitRow();
}
