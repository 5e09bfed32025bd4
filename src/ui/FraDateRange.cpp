#include "ui/FraDateRange.h"

#include "base/Misc.h"
#include "base/Strings.h"
#include "lang/DmLang.h"
#include "base/Locale.h"
#include "settings/AppSettings.h"
#include "settings/Settings.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/StdCtrls.h"
#include "ui/CmpStandard.h"
#include "ui/WinHelpers.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace {

const wchar_t* const kKindKeys[TFraDateRange::kPageCount] = {L"WEK", L"MON", L"QRT", L"YER", L"DTI"};
const wchar_t* const kPageNames[TFraDateRange::kPageCount] = {L"Week", L"Month", L"Quarter", L"Year", L"Date"};
const wchar_t* const kRowNames[2] = {L"From", L"To"};

// The "+" and "–" buttons step only inside these years; weeks, months and quarters of other
// years are left as they are.
constexpr std::int32_t kStepMinYear = 1900, kStepMaxYear = 3000;
// The most a number field shows (its eight characters).
constexpr std::int32_t kMaxFieldValue = 99999999;
// The date the date page starts on when nothing (usable) is stored.
constexpr int kFirstUseYear = 2000;
constexpr int kRowTop[2] = {4, 28};
constexpr int kFieldHeight = 21;
// Stored dates and the years a date picker can show.
constexpr const wchar_t* kStoredDatePattern = L"YYYY-MM-DD";
constexpr std::int32_t kPickerMinYear = 1753, kPickerMaxYear = 9999;

const TsiRow kTable[] = {
    {stCaptions, L"TshWeek", L"&KW", L"&Wk"},
    {stCaptions, L"TshMonth", L"&Monat", L"&Month"},
    {stCaptions, L"TshQuarter", L"&Quartal", L"&Quarter"},
    {stCaptions, L"TshYear", L"&Jahr", L"&Year"},
    {stCaptions, L"TshDate", L"&Von/Bis", L"&From/To"},
    {stCaptions, L"LblWeekFrom", L"Von", L"From"},
    {stCaptions, L"LblWeekTo", L"Bis", L"To"},
    {stCaptions, L"LblWeekFromKW", L"KW", L"Wk"},
    {stCaptions, L"LblWeekToKW", L"KW", L"Wk"},
    {stCaptions, L"BtnWeekFromCurrent", L"Aktuelle", L"Current"},
    {stCaptions, L"BtnWeekToCurrent", L"Aktuelle", L"Current"},
    {stCaptions, L"LblMonthFrom", L"Von", L"From"},
    {stCaptions, L"LblMonthTo", L"Bis", L"To"},
    {stCaptions, L"BtnMonthFromCurrent", L"Aktueller", L"Current"},
    {stCaptions, L"BtnMonthToCurrent", L"Aktueller", L"Current"},
    {stCaptions, L"LblQuarterFrom", L"Von", L"From"},
    {stCaptions, L"LblQuarterTo", L"Bis", L"To"},
    {stCaptions, L"BtnQuarterFromCurrent", L"Aktuelles", L"Current"},
    {stCaptions, L"BtnQuarterToCurrent", L"Aktuelles", L"Current"},
    {stCaptions, L"LblYearFrom", L"Von", L"From"},
    {stCaptions, L"LblYearTo", L"Bis", L"To"},
    {stCaptions, L"BtnYearFromCurrent", L"Aktuelles", L"Current"},
    {stCaptions, L"BtnYearToCurrent", L"Aktuelles", L"Current"},
    {stCaptions, L"LblDateFrom", L"Von", L"From"},
    {stCaptions, L"LblDateTo", L"Bis", L"To"},
    {stCaptions, L"BtnDateFromCurrent", L"Heute", L"Today"},
    {stCaptions, L"BtnDateToCurrent", L"Heute", L"Today"},
    {stHints, L"BtnWeekFromCurrent", L"\"Diese Woche\" einsetzen", L"Insert \"this week\""},
    {stHints, L"BtnWeekToCurrent", L"\"Diese Woche\" einsetzen", L"Insert \"this week\""},
    {stHints, L"BtnMonthFromCurrent", L"\"Diesen Monat\" einsetzen", L"Insert \"this month\""},
    {stHints, L"BtnMonthToCurrent", L"\"Diesen Monat\" einsetzen", L"Insert \"this month\""},
    {stHints, L"BtnQuarterFromCurrent", L"\"Dieses Quartal\" einsetzen", L"Insert \"this quarter\""},
    {stHints, L"BtnQuarterToCurrent", L"\"Dieses Quartal\" einsetzen", L"Insert \"this quarter\""},
    {stHints, L"BtnYearFromCurrent", L"\"Dieses Jahr\" einsetzen", L"Insert \"this year\""},
    {stHints, L"BtnYearToCurrent", L"\"Dieses Jahr\" einsetzen", L"Insert \"this year\""},
    {stHints, L"BtnDateFromCurrent", L"Heutiges Datum einsetzen", L"Insert today's date"},
    {stHints, L"BtnDateToCurrent", L"Heutiges Datum einsetzen", L"Insert today's date"},
    {stStrings, L"IDS_0", L"Falsche Angabe", L"Wrong Entry"},
    {stStrings, L"IDS_1", L"Bitte geben Sie das Jahr im Bereich ((1)) bis ((2)) an.",
     L"Please enter the year from the range ((1)) to ((2))."},
    {stStrings, L"IDS_2", L"Bitte geben Sie die Kalenderwoche im Bereich 1-53 an.",
     L"Please enter the week from the range 1 to 53."},
    {stStrings, L"IDS_4", L"Die \"Bis\"-Kalenderwoche liegt vor der \"Von\"-Kalenderwoche.",
     L"The \"To\" week is before the \"From\" week."},
    {stStrings, L"IDS_5", L"Bitte geben Sie den Monat im Bereich 1-12 an.",
     L"Please enter the month from the range 1 to 12."},
    {stStrings, L"IDS_7", L"Der \"Bis\"-Monat liegt vor dem \"Von\"-Monat.",
     L"The \"To\" month is before the \"From\" month."},
    {stStrings, L"IDS_8", L"Bitte geben Sie das Quartal im Bereich 1-4 an.",
     L"Please enter the quarter from the range 1 to 4."},
    {stStrings, L"IDS_10", L"Das \"Bis\"-Quartal liegt vor dem \"Von\"-Quartal.",
     L"The \"To\" quarter is before the \"From\" quarter."},
    {stStrings, L"IDS_11", L"Das \"Bis\"-Jahr liegt vor dem \"Von\"-Jahr.",
     L"The \"To\" year is before the \"From\" year."},
    {stStrings, L"IDS_13", L"Das \"Bis\"-Datum liegt vor dem \"Von\"-Datum.",
     L"The \"To\" date is before the \"From\" date."},
};

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) { return value >= low && value <= high; }

double WholeDay(double d) { return std::floor(d); }

int CurrentYear() { return YearOfDate(CurrentDate()); }
int CurrentMonth() { return MonthOfDate(CurrentDate()); }

}  // namespace

const wchar_t* TFraDateRange::KindKey(int page) {
  return page >= 0 && page < kPageCount ? kKindKeys[page] : kKindKeys[0];
}

TFraDateRange::TFraDateRange(TComponent* owner) : TFrame(owner) {
  SetName(L"FraDateRange");
  SetBounds(0, 0, 276, 82);
  SetFont(TFontDesc::FromPoints(L"Segoe UI", 9));

  PgcRange = NewComponent<TPageControl>(this, L"PgcRange");
  PgcRange->SetStyle(tsButtons);
  PgcRange->SetAlign(alClient);
  PgcRange->SetParent(this);
  for (int page = 0; page < kPageCount; ++page) BuildPage(page);
  PgcRange->SetActivePageIndex(dpWeek);

  // The table after the controls: it translates them by name.
  siLang = NewComponent<TsiLang>(this, L"siLang");
  siLang->SetLangTags({L"de-DE", L"en-US", L"ru-RU"});
  siLang->SetTable(std::span<const TsiRow>(kTable));
}

TFraDateRange::~TFraDateRange() { DestroyComponents(); }

TButton* TFraDateRange::NewButton(TTabSheet* sheet, const std::wstring& name, int left, int top, int width,
                                  const std::wstring& caption) {
  auto* button = NewComponent<TButton>(this, name);
  button->SetBounds(left, top, width, kFieldHeight);
  button->SetCaption(caption);
  button->SetParent(sheet);
  return button;
}

void TFraDateRange::BuildPage(int page) {
  auto* sheet = NewComponent<TTabSheet>(this, std::wstring(L"Tsh") + kPageNames[page]);
  sheet->SetPageControl(PgcRange);
  Tsh[page] = sheet;
  static const wchar_t* const kCaptions[kPageCount] = {L"&KW", L"&Monat", L"&Quartal", L"&Jahr", L"&Von/Bis"};
  static const wchar_t* const kCurrent[kPageCount] = {L"Aktuelle", L"Aktueller", L"Aktuelles", L"Aktuelles",
                                                      L"Heute"};
  sheet->SetCaption(kCaptions[page]);

  // Positions of a row's parts: number field, "/", year field, "+", current button (its width).
  struct TLayout {
    int Number, NumberWidth, Slash, Year, Plus, Current, CurrentWidth;
  };
  static const TLayout kLayout[kPageCount] = {
      {60, 25, 88, 96, 144, 184, 57},  // week, after the label "KW" at 38
      {42, 25, 72, 84, 128, 172, 65},  // month
      {58, 20, 84, 96, 140, 184, 57},  // quarter, after the label "Q" at 42
      {0, 0, 0, 42, 84, 128, 65},      // year
      {0, 0, 0, 0, 136, 176, 65},      // dates: the picker at 40, 93 wide
  };
  const TLayout& at = kLayout[page];
  for (int r = 0; r < 2; ++r) {
    const int top = kRowTop[r];
    const std::wstring base = std::wstring(kPageNames[page]) + kRowNames[r];
    TRow& row = Rows[page][r];
    auto label = [&](const std::wstring& name, int left, const std::wstring& caption) {
      auto* lbl = NewComponent<TLabel>(this, name);
      lbl->SetBounds(left, top + 3, 0, 15);
      lbl->SetCaption(caption);
      lbl->SetParent(sheet);
      return lbl;
    };
    auto field = [&](const std::wstring& name, int left, int width) {
      auto* edit = NewComponent<TVormIntEdit>(this, name);
      edit->SetBounds(left, top, width, kFieldHeight);
      edit->SetParent(sheet);
      return edit;
    };
    row.LblRow = label(L"Lbl" + base, 4, r == 0 ? L"Von" : L"Bis");
    if (page == dpWeek) label(L"Lbl" + base + L"KW", 38, L"KW");
    if (page == dpQuarter) label(L"Lbl" + base + L"Q", 42, L"Q");
    if (at.Number > 0) {
      row.EdtNumber = field(L"Edt" + base, at.Number, at.NumberWidth);
      label(L"Lbl" + base + L"Slash", at.Slash, L"/");
    }
    if (at.Year > 0) row.EdtYear = field(page == dpYear ? L"Edt" + base : L"Edt" + base + L"Year", at.Year, 37);
    if (page == dpDate) {
      row.DtpDate = NewComponent<TDateTimePicker>(this, L"Dtp" + base);
      row.DtpDate->SetBounds(40, top, 93, kFieldHeight);
      row.DtpDate->SetParent(sheet);
    }
    row.BtnInc = NewButton(sheet, L"Btn" + base + L"Inc", at.Plus, top, 17, L"+");
    row.BtnDec = NewButton(sheet, L"Btn" + base + L"Dec", at.Plus + 20, top, 17, L"\u2013");
    row.BtnCurrent = NewButton(sheet, L"Btn" + base + L"Current", at.Current, top, at.CurrentWidth, kCurrent[page]);
    row.BtnInc->OnClick = [this, page, r](TObject*) { StepClick(page, r, 1); };
    row.BtnDec->OnClick = [this, page, r](TObject*) { StepClick(page, r, -1); };
    row.BtnCurrent->OnClick = [this, page, r](TObject*) { CurrentClick(page, r); };
  }
  static const wchar_t* const kHints[kPageCount] = {L"\"Diese Woche\" einsetzen", L"\"Diesen Monat\" einsetzen",
                                                    L"\"Dieses Quartal\" einsetzen", L"\"Dieses Jahr\" einsetzen",
                                                    L"Heutiges Datum einsetzen"};
  for (TRow& row : Rows[page]) row.BtnCurrent->SetHint(kHints[page]);
}

// ---- pages ----

int TFraDateRange::ActivePage() const { return std::clamp(PgcRange->ActivePageIndex(), 0, kPageCount - 1); }

void TFraDateRange::SetActivePage(int page) { PgcRange->SetActivePageIndex(std::clamp(page, 0, kPageCount - 1)); }

void TFraDateRange::FocusFirstControl() { ::FocusFirstControl(Tsh[ActivePage()]); }

double TFraDateRange::PickerDate(int row) const { return WholeDay(Rows[dpDate][row].DtpDate->Date()); }

void TFraDateRange::SetPickerDate(int row, double date) {
  // A date the picker cannot show (none, or beyond its calendar) gives the first-use date.
  if (date == 0 || !InRange(YearOfDate(date), kPickerMinYear, kPickerMaxYear)) date = EncodeDateExt(kFirstUseYear, 1, 1);
  Rows[dpDate][row].DtpDate->SetDate(WholeDay(date));
}

// ---- the stored choice ----

void TFraDateRange::Initialize(TSettings* settings, const std::wstring& entry) {
  if (DmLangQel) siLang->SetLangDispatcher(DmLangQel->LangDisp);
  FSettings = settings ? settings : AppSettings();
  FEntry = entry.empty() ? ControlSettingsPath(FSettings, this, L"", L"") : entry;
  const std::wstring stored = FSettings && !FEntry.empty() ? FSettings->RdString(FEntry) : std::wstring();
  if (stored.empty())
    ApplyDefaults();
  else
    ApplySettingsText(stored);
  DateFormat = LocaleSnapshot().ShortDateFormat;
  FMinYear = 1980;
  FMaxYear = 2099;
}

void TFraDateRange::ApplyDefaults() {
  SetActivePage(dpWeek);
  const double today = CurrentDate();
  std::int32_t weekYear = 0;
  const int week = WeekNumber(today, weekYear);
  const std::int32_t year = CurrentYear();
  const int firstOf[4] = {1, 1, 1, 0};
  const int current[4] = {week, CurrentMonth(), (CurrentMonth() - 1) / 3 + 1, 0};
  const std::int32_t currentYear[4] = {weekYear, year, year, year};
  for (int page = dpWeek; page <= dpYear; ++page) {
    if (TVormIntEdit* number = Rows[page][0].EdtNumber) number->SetAsInteger(firstOf[page]);
    if (TVormIntEdit* number = Rows[page][1].EdtNumber) number->SetAsInteger(current[page]);
    Rows[page][0].EdtYear->SetAsInteger(kFirstUseYear);
    Rows[page][1].EdtYear->SetAsInteger(currentYear[page]);
  }
  SetPickerDate(0, EncodeDateExt(kFirstUseYear, 1, 1));
  SetPickerDate(1, today);
}

void TFraDateRange::ApplySettingsText(const std::wstring& value) {
  // Sixteen fields; missing ones are empty, and whatever is not a number reads as 0.
  std::wstring fields[16];
  std::wstring_view cursor = value;
  std::wstring token;
  for (std::wstring& field : fields) {
    if (!NextToken(cursor, L"|", token, true)) break;
    field = token;
  }
  int page = dpWeek;
  for (int p = 0; p < kPageCount; ++p)
    if (SameTextOrdinal(fields[0], kKindKeys[p])) page = p;
  SetActivePage(page);
  auto number = [&](int index) { return StrToIntDef(fields[index], 0); };
  for (int p = dpWeek; p <= dpQuarter; ++p)
    for (int r = 0; r < 2; ++r) {
      const int index = 1 + p * 4 + r * 2;
      Rows[p][r].EdtNumber->SetAsInteger(number(index));
      Rows[p][r].EdtYear->SetAsInteger(number(index + 1));
    }
  SetPickerDate(0, ParseDateTimeFmt(kStoredDatePattern, fields[13]));
  SetPickerDate(1, CurrentDate());
  Rows[dpYear][0].EdtYear->SetAsInteger(number(14));
  Rows[dpYear][1].EdtYear->SetAsInteger(number(15));
}

std::wstring TFraDateRange::SettingsText() const {
  std::wstring text = kKindKeys[ActivePage()];
  auto add = [&](std::int64_t value) { text += L"|" + std::to_wstring(value); };
  for (int p = dpWeek; p <= dpQuarter; ++p)
    for (const TRow& row : Rows[p]) {
      add(row.EdtNumber->AsInt64());
      add(row.EdtYear->AsInt64());
    }
  std::int32_t year, month, day;
  DecodeDateInt(PickerDate(0), year, month, day);
  text += L"|" + IntToStrZeroPad(year, 4) + L"-" + IntToStrZeroPad(month, 2) + L"-" + IntToStrZeroPad(day, 2);
  add(Rows[dpYear][0].EdtYear->AsInt64());
  add(Rows[dpYear][1].EdtYear->AsInt64());
  return text;
}

// ---- values ----

void TFraDateRange::GetValues(double& fromDt, double& toDt, std::wstring& fromDtStr, std::wstring& toDtStr,
                              bool saveSettings) {
  const int page = ActivePage();
  auto number = [&](int r) { return Rows[page][r].EdtNumber->AsInteger(); };
  auto year = [&](int r) { return Rows[page][r].EdtYear->AsInteger(); };
  // Period indexes count on across year ends, so values out of their ranges still give a date.
  switch (page) {
    case dpWeek: {
      fromDt = DateOfIsoWeek(year(0), number(0), 1);
      toDt = DateOfIsoWeek(year(1), number(1), 1) + 7;
      auto text = [](double monday) {
        std::int32_t weekYear = 0;
        const int week = WeekNumber(monday, weekYear);
        return StrKW + L" " + std::to_wstring(week) + L"/" + std::to_wstring(weekYear);
      };
      fromDtStr = text(fromDt);
      toDtStr = text(toDt - 7);
      break;
    }
    case dpMonth: {
      fromDt = DateOfMonthIndex(MonthIndex(number(0), year(0)));
      toDt = DateOfMonthIndex(MonthIndex(number(1), year(1)) + 1);
      auto text = [](double day) {
        std::int32_t y, m, d;
        DecodeDateInt(day, y, m, d);
        return FormatDateTime(L"mmmm", day) + L" " + std::to_wstring(y);
      };
      fromDtStr = text(fromDt);
      toDtStr = text(toDt - 1);
      break;
    }
    case dpQuarter: {
      const int fromIndex = QuarterIndex(number(0), year(0)), toIndex = QuarterIndex(number(1), year(1));
      fromDt = DateOfQuarterIndex(fromIndex);
      toDt = DateOfQuarterIndex(toIndex + 1);
      auto text = [](int index) {
        int quarter;
        std::int32_t y;
        QuarterOfQuarterIndex(index, quarter, y);
        return L"Q" + std::to_wstring(quarter) + L"/" + std::to_wstring(y);
      };
      fromDtStr = text(fromIndex);
      toDtStr = text(toIndex);
      break;
    }
    case dpYear:
      fromDt = EncodeDateExt(year(0), 1, 1);
      toDt = EncodeDateExt(year(1), 12, 31) + 1;
      fromDtStr = std::to_wstring(YearOfDate(fromDt));
      toDtStr = std::to_wstring(YearOfDate(toDt - 1));
      break;
    default:
      fromDt = PickerDate(0);
      toDt = PickerDate(1) + 1;
      fromDtStr = FormatDateTimeEx(DateFormat, fromDt);
      toDtStr = FormatDateTimeEx(DateFormat, toDt - 1);
      break;
  }
  if (saveSettings && FSettings && !FEntry.empty()) FSettings->WrString(FEntry, SettingsText());
}

TDateRange TFraDateRange::GetValues(bool saveSettings) {
  TDateRange range;
  GetValues(range.FromDt, range.ToDt, range.FromDtStr, range.ToDtStr, saveSettings);
  return range;
}

// ---- checks ----

std::wstring TFraDateRange::Text(const wchar_t* id) const { return siLang->GetTextOrDefault(id); }

bool TFraDateRange::Fail(const std::wstring& message, TVormIntEdit* field) {
  MsgBox3(Text(L"IDS_0"), message, L"", MB_ICONEXCLAMATION, ParentForm(this));
  if (field && field->CanFocus()) field->SetFocus();
  return false;
}

bool TFraDateRange::CheckYears(int page) {
  for (const TRow& row : Rows[page])
    if (!InRange(row.EdtYear->AsInteger(), FMinYear, FMaxYear))
      return Fail(FormatPlaceholders(Text(L"IDS_1"), {std::to_wstring(FMinYear), std::to_wstring(FMaxYear)}),
                  row.EdtYear);
  return true;
}

bool TFraDateRange::CheckControls() {
  const int page = ActivePage();
  const TRow* rows = Rows[page];
  auto numbers = [&](int high, const wchar_t* id) {
    for (int r = 0; r < 2; ++r)
      if (!InRange(rows[r].EdtNumber->AsInteger(), 1, high)) return Fail(Text(id), rows[r].EdtNumber);
    return true;
  };
  auto number = [&](int r) { return rows[r].EdtNumber->AsInteger(); };
  auto year = [&](int r) { return rows[r].EdtYear->AsInteger(); };
  switch (page) {
    case dpWeek:
      if (!numbers(53, L"IDS_2") || !CheckYears(page)) return false;
      if (WeekIndex(number(1), year(1)) < WeekIndex(number(0), year(0))) return Fail(Text(L"IDS_4"), rows[0].EdtNumber);
      return true;
    case dpMonth:
      if (!numbers(12, L"IDS_5") || !CheckYears(page)) return false;
      if (MonthIndex(number(1), year(1)) < MonthIndex(number(0), year(0))) return Fail(Text(L"IDS_7"), rows[0].EdtNumber);
      return true;
    case dpQuarter:
      if (!numbers(4, L"IDS_8") || !CheckYears(page)) return false;
      if (MonthIndex(3 * number(1) - 2, year(1)) < MonthIndex(3 * number(0) - 2, year(0)))
        return Fail(Text(L"IDS_10"), rows[0].EdtNumber);
      return true;
    case dpYear:
      if (!CheckYears(page)) return false;
      if (year(1) < year(0)) return Fail(Text(L"IDS_11"), rows[0].EdtYear);
      return true;
    default:
      if (PickerDate(0) > PickerDate(1)) {
        Fail(Text(L"IDS_13"), nullptr);
        if (Rows[dpDate][0].DtpDate->CanFocus()) Rows[dpDate][0].DtpDate->SetFocus();
        return false;
      }
      return true;
  }
}

// ---- buttons ----

void TFraDateRange::StepClick(int page, int row, int delta) {
  TRow& line = Rows[page][row];
  if (page == dpDate) {
    SetPickerDate(row, PickerDate(row) + delta);
    return;
  }
  const std::int32_t year = line.EdtYear->AsInteger();
  if (page == dpYear) {
    // Any year the field can show; one step beyond it is not taken.
    const std::int64_t next = std::int64_t(year) + delta;
    if (next >= 0 && next <= kMaxFieldValue) line.EdtYear->SetAsInteger(static_cast<std::int32_t>(next));
    return;
  }
  const int value = line.EdtNumber->AsInteger();
  const int high = page == dpWeek ? 53 : page == dpMonth ? 12 : 4;
  if (!InRange(value, 1, high) || !InRange(year, kStepMinYear, kStepMaxYear)) return;
  int newValue = 0;
  std::int32_t newYear = 0;
  if (page == dpWeek)
    WeekOfWeekIndex(WeekIndex(value, year) + delta, newValue, newYear);
  else if (page == dpMonth)
    MonthOfMonthIndex(MonthIndex(value, year) + delta, newValue, newYear);
  else
    QuarterOfQuarterIndex(QuarterIndex(value, year) + delta, newValue, newYear);
  line.EdtNumber->SetAsInteger(newValue);
  line.EdtYear->SetAsInteger(newYear);
}

void TFraDateRange::CurrentClick(int page, int row) {
  TRow& line = Rows[page][row];
  const double today = CurrentDate();
  switch (page) {
    case dpWeek: {
      std::int32_t weekYear = 0;
      line.EdtNumber->SetAsInteger(WeekNumber(today, weekYear));
      line.EdtYear->SetAsInteger(weekYear);
      break;
    }
    case dpMonth:
      line.EdtNumber->SetAsInteger(CurrentMonth());
      line.EdtYear->SetAsInteger(CurrentYear());
      break;
    case dpQuarter:
      line.EdtNumber->SetAsInteger((CurrentMonth() - 1) / 3 + 1);
      line.EdtYear->SetAsInteger(CurrentYear());
      break;
    case dpYear:
      line.EdtYear->SetAsInteger(CurrentYear());
      break;
    default:
      SetPickerDate(row, today);
      break;
  }
}
