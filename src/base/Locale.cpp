#include "base/Locale.h"

#include "base/Win.h"

#include <utility>

namespace {

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

// The date unit's Now() gives the same value, but that unit builds on this one; the program's
// start is taken here so that the locale unit needs nothing above it.
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

void LocaleStart() {
  gLocale.StartTime = NowAsDateTime();
  ReloadLocaleSettings();
}

void LocaleStop() {}
