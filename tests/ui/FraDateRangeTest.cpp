// The date range frame on a form: every page against GetValues and CheckControls, the step and
// current-value buttons, the stored choice through real and hostile settings.
#include "base/DateTime.h"
#include "base/Locale.h"
#include "base/Misc.h"
#include "lang/DmLang.h"
#include "settings/IniSettings.h"
#include "support/Pump.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ToolkitTestSupport.h"
#include "ui/CmpStandard.h"
#include "ui/FraDateRange.h"
#include "ui/MemorySettings.h"

#include <cmath>
#include <map>
#include <memory>

namespace {

struct TMessage {
  std::wstring Headline, Text;
  std::uint32_t Flags;
  TForm* Owner;
};
std::vector<TMessage> gMessages;

int RecordMsgBox3(const std::wstring& headline, const std::wstring& message, const std::wstring&, std::uint32_t flags,
                  TForm* owner) {
  gMessages.push_back({headline, message, flags, owner});
  return IDOK;
}

const wchar_t kEntry[] = L"Test\rDateRange\r";

double Date(int year, int month, int day) { return EncodeDateExt(year, month, day); }

std::wstring DateText(double d) { return FormatDateTime(L"yyyy-mm-dd", d); }

class DateRangeFrame : public ::testing::Test {
protected:
  void SetUp() override {
    gMessages.clear();
    SetMsgBoxProcs(nullptr, nullptr, RecordMsgBox3);
    form = NewForm(300, 100);
    frame = NewComponent<TFraDateRange>(form.get(), L"FraDateRange");
    frame->SetBounds(8, 8, 276, 82);
    frame->SetParent(form.get());
    frame->Initialize(&store, kEntry);
    form->Show();
    ::SetForegroundWindow(form->Handle());
    PumpFor(20);
  }
  void TearDown() override {
    if (DmLangQel) DmLangQel->LangDisp->SetActiveLanguage(1);
  }
  TKeepMsgBoxProcs keepHooks;

  // Puts a page in front with its two rows as the user typed them (0 for an empty field).
  void Enter(int page, int from, int fromYear, int to, int toYear) {
    frame->SetActivePage(page);
    auto set = [](TVormIntEdit* edit, int value) {
      if (edit) edit->SetText(value ? std::to_wstring(value) : std::wstring());
    };
    TFraDateRange::TRow* rows = frame->Rows[page];
    if (page == TFraDateRange::dpYear) {
      set(rows[0].EdtYear, from);
      set(rows[1].EdtYear, to);
      return;
    }
    set(rows[0].EdtNumber, from);
    set(rows[0].EdtYear, fromYear);
    set(rows[1].EdtNumber, to);
    set(rows[1].EdtYear, toYear);
  }
  void EnterDates(double from, double to) {
    frame->SetActivePage(TFraDateRange::dpDate);
    frame->Rows[TFraDateRange::dpDate][0].DtpDate->SetDate(from);
    frame->Rows[TFraDateRange::dpDate][1].DtpDate->SetDate(to);
  }
  std::wstring Shown(int page, int row) const {
    const TFraDateRange::TRow& r = frame->Rows[page][row];
    return (r.EdtNumber ? r.EdtNumber->Text() + L"/" : std::wstring()) + r.EdtYear->Text();
  }

  TMemorySettings store;
  std::unique_ptr<TForm> form;
  TFraDateRange* frame = nullptr;
};

// ---- GetValues ----

struct TRangeCase {
  const char* name;
  int page;
  int from, fromYear, to, toYear;
  double fromDt, toDt;
  std::wstring fromText, toText;
  int fromMonthName = 0, toMonthName = 0;  // the locale's long name of that month goes in front
};

std::wstring MonthName(int month) { return LocaleSnapshot().LongMonthNames[month - 1]; }

class DateRangeValues : public DateRangeFrame, public ::testing::WithParamInterface<TRangeCase> {};

TEST_P(DateRangeValues, GiveTheHalfOpenRangeAndItsTexts) {
  const TRangeCase& c = GetParam();
  Enter(c.page, c.from, c.fromYear, c.to, c.toYear);
  const TDateRange range = frame->GetValues(false);
  EXPECT_EQ(DateText(range.FromDt), DateText(c.fromDt));
  EXPECT_EQ(DateText(range.ToDt), DateText(c.toDt));
  EXPECT_EQ(range.FromDtStr, (c.fromMonthName ? MonthName(c.fromMonthName) : L"") + c.fromText);
  EXPECT_EQ(range.ToDtStr, (c.toMonthName ? MonthName(c.toMonthName) : L"") + c.toText);
  EXPECT_TRUE(store.Values.empty());  // nothing stored without SaveSettings
}

const TRangeCase kRangeCases[] = {
    {"WeeksFromThe2000sToFeb2025", TFraDateRange::dpWeek, 1, 2000, 7, 2025, Date(2000, 1, 3), Date(2025, 2, 17),
     L"KW 1/2000", L"KW 7/2025"},
    {"Week53Of2020", TFraDateRange::dpWeek, 53, 2020, 53, 2020, Date(2020, 12, 28), Date(2021, 1, 4), L"KW 53/2020",
     L"KW 53/2020"},
    {"WeeksOverTheYearEnd", TFraDateRange::dpWeek, 52, 2024, 1, 2025, Date(2024, 12, 23), Date(2025, 1, 6),
     L"KW 52/2024", L"KW 1/2025"},
    {"Week1StartsInTheOldYear", TFraDateRange::dpWeek, 1, 2026, 1, 2026, Date(2025, 12, 29), Date(2026, 1, 5),
     L"KW 1/2026", L"KW 1/2026"},
    {"Week53OfA52WeekYearIsWeek1OfTheNext", TFraDateRange::dpWeek, 53, 2021, 53, 2021, Date(2022, 1, 3),
     Date(2022, 1, 10), L"KW 1/2022", L"KW 1/2022"},
    {"JanuaryToFebruary2025", TFraDateRange::dpMonth, 1, 2025, 2, 2025, Date(2025, 1, 1), Date(2025, 3, 1),
     L" 2025", L" 2025", 1, 2},
    {"DecemberEndsAtTheNewYear", TFraDateRange::dpMonth, 12, 2024, 12, 2024, Date(2024, 12, 1), Date(2025, 1, 1),
     L" 2024", L" 2024", 12, 12},
    {"LeapFebruary", TFraDateRange::dpMonth, 2, 2024, 2, 2024, Date(2024, 2, 1), Date(2024, 3, 1),
     L" 2024", L" 2024", 2, 2},
    {"Month13CountsOnIntoTheNextYear", TFraDateRange::dpMonth, 13, 2024, 0, 2025, Date(2025, 1, 1),
     Date(2025, 1, 1), L" 2025", L" 2024", 1, 12},
    {"Q4ToQ1", TFraDateRange::dpQuarter, 4, 2024, 1, 2025, Date(2024, 10, 1), Date(2025, 4, 1), L"Q4/2024",
     L"Q1/2025"},
    {"Quarter5CountsOn", TFraDateRange::dpQuarter, 5, 2024, 5, 2024, Date(2025, 1, 1), Date(2025, 4, 1), L"Q1/2025",
     L"Q1/2025"},
    {"Years", TFraDateRange::dpYear, 2024, 0, 2025, 0, Date(2024, 1, 1), Date(2026, 1, 1), L"2024", L"2025"},
    {"YearsBeyondTheStandardCalendar", TFraDateRange::dpYear, 10000, 0, 99999999, 0, Date(10000, 1, 1),
     Date(100000000, 1, 1), L"10000", L"99999999"},
};
INSTANTIATE_TEST_SUITE_P(Pages, DateRangeValues, ::testing::ValuesIn(kRangeCases), TCaseName());

TEST_F(DateRangeFrame, DatePageGivesWholeDaysInTheLocalePattern) {
  EnterDates(Date(2024, 12, 31) + 0.75, Date(2025, 1, 1) + 0.25);
  const TDateRange range = frame->GetValues(false);
  EXPECT_EQ(range.FromDt, Date(2024, 12, 31));
  EXPECT_EQ(range.ToDt, Date(2025, 1, 2));
  EXPECT_EQ(frame->DateFormat, LocaleSnapshot().ShortDateFormat);
  EXPECT_EQ(range.FromDtStr, FormatDateTime(L"ddddd", Date(2024, 12, 31)));
  EXPECT_EQ(range.ToDtStr, FormatDateTime(L"ddddd", Date(2025, 1, 1)));
}

TEST_F(DateRangeFrame, EmptyFieldsGiveADateAndNoFailure) {
  for (int page = TFraDateRange::dpWeek; page <= TFraDateRange::dpYear; ++page) {
    Enter(page, 0, 0, 0, 0);
    const TDateRange range = frame->GetValues(false);
    EXPECT_TRUE(std::isfinite(range.FromDt)) << page;
    EXPECT_TRUE(std::isfinite(range.ToDt)) << page;
    EXPECT_FALSE(range.FromDtStr.empty()) << page;
  }
}

// ---- CheckControls ----

struct TCheckCase {
  const char* name;
  int page;
  int from, fromYear, to, toYear;
  const wchar_t* message;  // null: the page is valid
  const wchar_t* focused;  // the field that gets the focus
};

class DateRangeChecks : public DateRangeFrame, public ::testing::WithParamInterface<TCheckCase> {};

TEST_P(DateRangeChecks, ReportTheFirstProblemAndFocusItsField) {
  const TCheckCase& c = GetParam();
  Enter(c.page, c.from, c.fromYear, c.to, c.toYear);
  form->SetFocus();
  const bool ok = frame->CheckControls();
  EXPECT_EQ(ok, c.message == nullptr);
  if (!c.message) {
    EXPECT_TRUE(gMessages.empty());
    return;
  }
  ASSERT_EQ(gMessages.size(), 1u);
  EXPECT_EQ(gMessages[0].Headline, L"Falsche Angabe");
  EXPECT_EQ(gMessages[0].Text, c.message);
  EXPECT_EQ(gMessages[0].Flags, 48u);
  EXPECT_EQ(gMessages[0].Owner, form.get());
  auto* focused = dynamic_cast<TControl*>(frame->FindComponent(c.focused));
  ASSERT_NE(focused, nullptr) << "no control named " << testing::PrintToString(std::wstring(c.focused));
  EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == focused->Handle(); }, 2000))
      << "focus not on " << testing::PrintToString(std::wstring(c.focused));
}

const wchar_t kWeekRange[] = L"Bitte geben Sie die Kalenderwoche im Bereich 1-53 an.";
const wchar_t kYearRange[] = L"Bitte geben Sie das Jahr im Bereich 1980 bis 2099 an.";

const TCheckCase kCheckCases[] = {
    {"Week53To1", TFraDateRange::dpWeek, 53, 2020, 1, 2021, nullptr, nullptr},
    {"WeekZero", TFraDateRange::dpWeek, 0, 2024, 5, 2024, kWeekRange, L"EdtWeekFrom"},
    {"Week54", TFraDateRange::dpWeek, 1, 2024, 54, 2024, kWeekRange, L"EdtWeekTo"},
    {"WeekYear1979", TFraDateRange::dpWeek, 1, 1979, 5, 2024, kYearRange, L"EdtWeekFromYear"},
    {"WeekYear2100", TFraDateRange::dpWeek, 1, 2024, 5, 2100, kYearRange, L"EdtWeekToYear"},
    {"WeekToBeforeFrom", TFraDateRange::dpWeek, 10, 2025, 9, 2025,
     L"Die \"Bis\"-Kalenderwoche liegt vor der \"Von\"-Kalenderwoche.", L"EdtWeekFrom"},
    {"DecemberToJanuary", TFraDateRange::dpMonth, 12, 2024, 1, 2025, nullptr, nullptr},
    {"Month13", TFraDateRange::dpMonth, 13, 2024, 1, 2025, L"Bitte geben Sie den Monat im Bereich 1-12 an.",
     L"EdtMonthFrom"},
    {"MonthYearEmpty", TFraDateRange::dpMonth, 1, 0, 1, 2025, kYearRange, L"EdtMonthFromYear"},
    {"MonthToBeforeFrom", TFraDateRange::dpMonth, 1, 2025, 12, 2024, L"Der \"Bis\"-Monat liegt vor dem \"Von\"-Monat.",
     L"EdtMonthFrom"},
    {"Q4ToQ1", TFraDateRange::dpQuarter, 4, 2024, 1, 2025, nullptr, nullptr},
    {"Quarter5", TFraDateRange::dpQuarter, 1, 2024, 5, 2024, L"Bitte geben Sie das Quartal im Bereich 1-4 an.",
     L"EdtQuarterTo"},
    {"QuarterToBeforeFrom", TFraDateRange::dpQuarter, 2, 2025, 1, 2025,
     L"Das \"Bis\"-Quartal liegt vor dem \"Von\"-Quartal.", L"EdtQuarterFrom"},
    {"Years1980To2099", TFraDateRange::dpYear, 1980, 0, 2099, 0, nullptr, nullptr},
    {"Year1979", TFraDateRange::dpYear, 1979, 0, 2000, 0, kYearRange, L"EdtYearFrom"},
    {"YearFarBeyond", TFraDateRange::dpYear, 2000, 0, 99999999, 0, kYearRange, L"EdtYearTo"},
    {"YearToBeforeFrom", TFraDateRange::dpYear, 2025, 0, 2024, 0, L"Das \"Bis\"-Jahr liegt vor dem \"Von\"-Jahr.",
     L"EdtYearFrom"},
};
INSTANTIATE_TEST_SUITE_P(Pages, DateRangeChecks, ::testing::ValuesIn(kCheckCases), TCaseName());

TEST_F(DateRangeFrame, DatesInTheWrongOrderAreReportedAndTheFromPickerFocused) {
  EnterDates(Date(2025, 3, 2), Date(2025, 3, 1));
  EXPECT_FALSE(frame->CheckControls());
  ASSERT_EQ(gMessages.size(), 1u);
  EXPECT_EQ(gMessages[0].Text, L"Das \"Bis\"-Datum liegt vor dem \"Von\"-Datum.");
  HWND from = frame->Rows[TFraDateRange::dpDate][0].DtpDate->Handle();
  EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == from || ::IsChild(from, ::GetFocus()); }, 2000));
  gMessages.clear();
  EnterDates(Date(2025, 3, 1), Date(2025, 3, 1));
  EXPECT_TRUE(frame->CheckControls());
  EXPECT_TRUE(gMessages.empty());
}

TEST_F(DateRangeFrame, MessagesFollowTheLanguage) {
  ASSERT_NE(DmLangQel, nullptr);
  DmLangQel->LangDisp->SetActiveLanguage(2);
  Enter(TFraDateRange::dpYear, 1979, 0, 2000, 0);
  EXPECT_FALSE(frame->CheckControls());
  ASSERT_EQ(gMessages.size(), 1u);
  EXPECT_EQ(gMessages[0].Headline, L"Wrong Entry");
  EXPECT_EQ(gMessages[0].Text, L"Please enter the year from the range 1980 to 2099.");
  EXPECT_EQ(frame->Tsh[TFraDateRange::dpDate]->Caption(), L"&From/To");
  EXPECT_EQ(frame->Rows[TFraDateRange::dpWeek][0].BtnCurrent->Hint(), L"Insert \"this week\"");
  Enter(TFraDateRange::dpWeek, 1, 2000, 7, 2025);
  EXPECT_EQ(frame->GetValues(false).FromDtStr, L"Week 1/2000");
  DmLangQel->LangDisp->SetActiveLanguage(1);
  EXPECT_EQ(frame->Tsh[TFraDateRange::dpDate]->Caption(), L"&Von/Bis");
  EXPECT_EQ(frame->GetValues(false).FromDtStr, L"KW 1/2000");
}

// ---- buttons ----

struct TStepCase {
  const char* name;
  int page;
  int value, year;
  int delta;
  std::wstring shown;  // number "/" year as the fields show them afterwards
};

class DateRangeSteps : public DateRangeFrame, public ::testing::WithParamInterface<TStepCase> {};

TEST_P(DateRangeSteps, CrossYearEndsAndLeaveOutOfRangeValuesAlone) {
  const TStepCase& c = GetParam();
  for (int row = 0; row < 2; ++row) {
    Enter(c.page, c.value, c.year, c.value, c.year);
    const std::wstring other = Shown(c.page, 1 - row);
    TFraDateRange::TRow& r = frame->Rows[c.page][row];
    (c.delta > 0 ? r.BtnInc : r.BtnDec)->Click();
    EXPECT_EQ(Shown(c.page, row), c.shown) << "row " << row;
    EXPECT_EQ(Shown(c.page, 1 - row), other) << "the other row changed";
  }
}

const TStepCase kStepCases[] = {
    {"Week52To53In2020", TFraDateRange::dpWeek, 52, 2020, 1, L"53/2020"},
    {"Week53To1", TFraDateRange::dpWeek, 53, 2020, 1, L"1/2021"},
    {"Week1BackTo53", TFraDateRange::dpWeek, 1, 2021, -1, L"53/2020"},
    {"Week52To1In2021", TFraDateRange::dpWeek, 52, 2021, 1, L"1/2022"},
    {"Week54Ignored", TFraDateRange::dpWeek, 54, 2020, 1, L"54/2020"},
    {"WeekOf1899Ignored", TFraDateRange::dpWeek, 5, 1899, 1, L"5/1899"},
    {"DecemberToJanuary", TFraDateRange::dpMonth, 12, 2024, 1, L"1/2025"},
    {"JanuaryBackToDecember", TFraDateRange::dpMonth, 1, 2025, -1, L"12/2024"},
    {"EmptyMonthIgnored", TFraDateRange::dpMonth, 0, 2025, 1, L"/2025"},
    {"Q4ToQ1", TFraDateRange::dpQuarter, 4, 2024, 1, L"1/2025"},
    {"Q1BackToQ4", TFraDateRange::dpQuarter, 1, 2025, -1, L"4/2024"},
    {"QuarterOf3001Ignored", TFraDateRange::dpQuarter, 2, 3001, -1, L"2/3001"},
    {"YearUp", TFraDateRange::dpYear, 2024, 0, 1, L"2025"},
    {"YearDown", TFraDateRange::dpYear, 1980, 0, -1, L"1979"},
    {"YearStopsAtTheFieldsCapacity", TFraDateRange::dpYear, 99999999, 0, 1, L"99999999"},
};
INSTANTIATE_TEST_SUITE_P(Buttons, DateRangeSteps, ::testing::ValuesIn(kStepCases), TCaseName());

TEST_F(DateRangeFrame, DateButtonsStepOneDayOverTheYearEnd) {
  EnterDates(Date(2024, 12, 31), Date(2025, 1, 1));
  frame->Rows[TFraDateRange::dpDate][0].BtnInc->Click();
  frame->Rows[TFraDateRange::dpDate][1].BtnDec->Click();
  EXPECT_EQ(frame->Rows[TFraDateRange::dpDate][0].DtpDate->Date(), Date(2025, 1, 1));
  EXPECT_EQ(frame->Rows[TFraDateRange::dpDate][1].DtpDate->Date(), Date(2024, 12, 31));
}

TEST_F(DateRangeFrame, CurrentButtonsInsertTheCurrentPeriod) {
  const double today = CurrentDate();
  std::int32_t weekYear = 0;
  const int week = WeekNumber(today, weekYear);
  const int month = MonthOfDate(today), year = YearOfDate(today);
  const std::wstring expected[] = {std::to_wstring(week) + L"/" + std::to_wstring(weekYear),
                                   std::to_wstring(month) + L"/" + std::to_wstring(year),
                                   std::to_wstring((month - 1) / 3 + 1) + L"/" + std::to_wstring(year),
                                   std::to_wstring(year)};
  for (int page = TFraDateRange::dpWeek; page <= TFraDateRange::dpYear; ++page) {
    Enter(page, 1, 1990, 1, 1990);
    if (page == TFraDateRange::dpYear) Enter(page, 1990, 0, 1990, 0);
    frame->Rows[page][1].BtnCurrent->Click();
    EXPECT_EQ(Shown(page, 1), expected[page]) << page;
    EXPECT_NE(Shown(page, 0), expected[page]) << page;
  }
  EnterDates(Date(2000, 1, 1), Date(2000, 1, 1));
  frame->Rows[TFraDateRange::dpDate][0].BtnCurrent->Click();
  EXPECT_EQ(frame->Rows[TFraDateRange::dpDate][0].DtpDate->Date(), today);
}

TEST_F(DateRangeFrame, PlusClickedWithTheMouseStepsTheWeek) {
  Enter(TFraDateRange::dpWeek, 52, 2020, 1, 2021);
  ClickWithMouse(frame->Rows[TFraDateRange::dpWeek][0].BtnInc->Handle());
  EXPECT_TRUE(PumpUntil([&] { return Shown(TFraDateRange::dpWeek, 0) == L"53/2020"; }));
}

// ---- the stored choice ----

TEST_F(DateRangeFrame, FirstUseShowsTheWeeksFrom2000ToNow) {
  const double today = CurrentDate();
  std::int32_t weekYear = 0;
  const int week = WeekNumber(today, weekYear);
  EXPECT_EQ(frame->ActivePage(), TFraDateRange::dpWeek);
  EXPECT_EQ(Shown(TFraDateRange::dpWeek, 0), L"1/2000");
  EXPECT_EQ(Shown(TFraDateRange::dpWeek, 1), std::to_wstring(week) + L"/" + std::to_wstring(weekYear));
  const TDateRange range = frame->GetValues(false);
  EXPECT_EQ(range.FromDt, Date(2000, 1, 3));
  EXPECT_EQ(range.ToDt, DateOfIsoWeek(weekYear, week, 1) + 7);
  EXPECT_GT(range.ToDt, today);
  EXPECT_LE(range.ToDt, today + 7);
  EXPECT_EQ(frame->Rows[TFraDateRange::dpDate][0].DtpDate->Date(), Date(2000, 1, 1));
  EXPECT_EQ(frame->Rows[TFraDateRange::dpDate][1].DtpDate->Date(), today);
}

TEST(DateRangeStore, EveryPageSurvivesARoundTripThroughAnIniFile) {
  TKeepMsgBoxProcs keepHooks;
  SetMsgBoxProcs(nullptr, nullptr, RecordMsgBox3);
  TTempFolder folder;
  TIniSettings ini(folder.Path() + L"Range.ini", false);
  const wchar_t entry[] = L"Abfrage\rZeitraum\r";
  for (int page = 0; page < TFraDateRange::kPageCount; ++page) {
    std::wstring stored;
    {
      auto form = NewForm(300, 100);
      auto* frame = NewComponent<TFraDateRange>(form.get(), L"FraDateRange");
      frame->SetParent(form.get());
      frame->Initialize(&ini, entry);
      // Every page gets values of its own; only the chosen page decides the kind.
      auto set = [&](int p, int r, int number, int year) {
        if (frame->Rows[p][r].EdtNumber) frame->Rows[p][r].EdtNumber->SetAsInteger(number);
        frame->Rows[p][r].EdtYear->SetAsInteger(year);
      };
      set(TFraDateRange::dpWeek, 0, 52, 2020);
      set(TFraDateRange::dpWeek, 1, 3, 2021);
      set(TFraDateRange::dpMonth, 0, 11, 2019);
      set(TFraDateRange::dpMonth, 1, 2, 2020);
      set(TFraDateRange::dpQuarter, 0, 3, 2018);
      set(TFraDateRange::dpQuarter, 1, 4, 2018);
      set(TFraDateRange::dpYear, 0, 0, 2001);
      set(TFraDateRange::dpYear, 1, 0, 2002);
      frame->Rows[TFraDateRange::dpDate][0].DtpDate->SetDate(Date(2023, 7, 9));
      frame->Rows[TFraDateRange::dpDate][1].DtpDate->SetDate(Date(2023, 8, 1));
      frame->SetActivePage(page);
      frame->GetValues(true);
      stored = ini.RdString(entry);
    }
    const std::wstring kinds[] = {L"WEK", L"MON", L"QRT", L"YER", L"DTI"};
    EXPECT_EQ(stored, kinds[page] + L"|52|2020|3|2021|11|2019|2|2020|3|2018|4|2018|2023-07-09|2001|2002");

    auto form = NewForm(300, 100);
    auto* frame = NewComponent<TFraDateRange>(form.get(), L"FraDateRange");
    frame->SetParent(form.get());
    frame->Initialize(&ini, entry);
    EXPECT_EQ(frame->ActivePage(), page);
    EXPECT_EQ(frame->SettingsText(), stored);
    EXPECT_EQ(frame->Rows[TFraDateRange::dpDate][1].DtpDate->Date(), CurrentDate());  // "to" is not stored
  }
}

struct THostileCase {
  const char* name;
  std::wstring stored;
  int page;
  std::wstring week0, week1, year0;
  double fromDate;
};

class DateRangeHostileStore : public DateRangeFrame, public ::testing::WithParamInterface<THostileCase> {};

TEST_P(DateRangeHostileStore, AnyStoredTextGivesAUsableFrame) {
  const THostileCase& c = GetParam();
  store.Values[kEntry] = c.stored;
  auto other = NewForm(300, 100);
  auto* fresh = NewComponent<TFraDateRange>(other.get(), L"FraDateRange");
  fresh->SetParent(other.get());
  fresh->Initialize(&store, kEntry);
  other->Show();
  EXPECT_EQ(fresh->ActivePage(), c.page);
  auto shown = [&](int row) {
    const TFraDateRange::TRow& r = fresh->Rows[TFraDateRange::dpWeek][row];
    return r.EdtNumber->Text() + L"/" + r.EdtYear->Text();
  };
  EXPECT_EQ(shown(0), c.week0);
  EXPECT_EQ(shown(1), c.week1);
  EXPECT_EQ(fresh->Rows[TFraDateRange::dpYear][0].EdtYear->Text(), c.year0);
  EXPECT_EQ(fresh->Rows[TFraDateRange::dpDate][0].DtpDate->Date(), c.fromDate);
  // Whatever is shown gives a range, and the check says what is wrong without failing.
  const TDateRange range = fresh->GetValues(false);
  EXPECT_TRUE(std::isfinite(range.FromDt));
  fresh->CheckControls();
}

const THostileCase kHostileCases[] = {
    {"OnlySeparators", L"||||||||||||||||||||||||||||", 0, L"/", L"/", L"", Date(2000, 1, 1)},
    {"UnknownKind", L"XYZ|5|2020", 0, L"5/2020", L"/", L"", Date(2000, 1, 1)},
    {"KindInLowerCaseWithBlanks", L" qrt |1|2020|2|2020", 2, L"1/2020", L"2/2020", L"", Date(2000, 1, 1)},
    {"LettersAndNegatives", L"MON|a|-5|1x|2020.5", 1, L"/", L"/", L"", Date(2000, 1, 1)},
    {"NumbersTooLargeForTheFields", L"WEK|99999999999999|2020|1|2147483647", 0, L"/2020", L"1/2147483647", L"",
     Date(2000, 1, 1)},
    {"ImpossibleDate", L"DTI|1|2020|1|2020|1|2020|1|2020|1|2020|1|2020|2021-02-30|2000|2001", 4, L"1/2020",
     L"1/2020", L"2000", Date(2000, 1, 1)},
    {"DateBeforeThePickersCalendar", L"DTI" + std::wstring(13, L'|') + L"1200-05-05|1|2", 4, L"/", L"/", L"1", Date(2000, 1, 1)},
    {"GoodDate", L"DTI" + std::wstring(13, L'|') + L"2021-03-04|1990|1991", 4, L"/", L"/", L"1990", Date(2021, 3, 4)},
    {"MoreFieldsThanSixteen", L"YER|1|2|3|4|5|6|7|8|9|10|11|12|2020-01-01|2010|2011|x|y|z", 3, L"1/2", L"3/4",
     L"2010", Date(2020, 1, 1)},
    {"ControlCharactersAndPipesOnly", std::wstring(L"\x01\x02|\t|\r\n|") + std::wstring(5000, L'|'), 0, L"/",
     L"/", L"", Date(2000, 1, 1)},
};
INSTANTIATE_TEST_SUITE_P(Stored, DateRangeHostileStore, ::testing::ValuesIn(kHostileCases), TCaseName());

}  // namespace
