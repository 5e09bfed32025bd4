#pragma once
// The locale unit: the user's locale format settings (month and day names, date and time
// patterns, separators, currency) and the program's start time, read once when the unit starts
// and again on request.
#include <string>

// Patterns are kept in the Windows notation ("dd.MM.yyyy", "HH:mm:ss").
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
// Reads the user's locale settings again (the start time stays).
void ReloadLocaleSettings();

// Unit start and stop (the first units of the library's start-up list): the start time and
// the locale settings are taken at start.
void LocaleStart();
void LocaleStop();
