// The time-of-day field and the date picker whose 0 means "no date": texts read as times,
// typed keys, leaving the field, arrow-key spinning, and the empty value of the picker.
#include "ui/CmpStandard.h"

#include "CmpStandardFixture.h"
#include "base/DateTime.h"
#include "base/Locale.h"
#include "toolkit/MouseAt.h"

#include <algorithm>
#include <cmath>
#include <commctrl.h>
#include <vector>

namespace {

double T(int hour, int minute, int second = 0, int msec = 0) { return EncodeTime(hour, minute, second, msec); }

// Expected texts write ":" for the locale's time separator.
std::wstring Localized(std::wstring text) {
  for (wchar_t& c : text)
    if (c == L':') c = LocaleSnapshot().TimeSeparator;
  return text;
}

// ---- reading a text ----

struct TCrackCase {
  const char* name;
  const wchar_t* value;
  double minTime, maxTime;
  bool isEmpty, isCorrect;
  double time;
};

class CrackTimeStr : public ::testing::TestWithParam<TCrackCase> {};

TEST_P(CrackTimeStr, ReadsTheText) {
  const TCrackCase& c = GetParam();
  bool isEmpty = !c.isEmpty, isCorrect = !c.isCorrect;
  double time = -1;
  TVormTimeEdit::CrackTimeStr(c.value, c.minTime, c.maxTime, isEmpty, isCorrect, time);
  EXPECT_EQ(isEmpty, c.isEmpty);
  EXPECT_EQ(isCorrect, c.isCorrect);
  EXPECT_DOUBLE_EQ(time, c.time);
}

const std::wstring kThousandsOfDigits = std::wstring(3000, L'1') + L":00";

INSTANTIATE_TEST_SUITE_P(
    Time, CrackTimeStr,
    ::testing::Values(TCrackCase{"Empty", L"", 0, 0, true, true, 0},
                      TCrackCase{"UnfilledMask", L"__:__", 0, 0, true, true, 0},
                      TCrackCase{"UnfilledMaskSaved", L"  :  :  ", 0, 0, true, true, 0},
                      TCrackCase{"Full", L"12:30", 0, 0, false, true, T(12, 30)},
                      TCrackCase{"MinuteHalfTyped", L"12:3_", 0, 0, false, true, T(12, 3)},
                      TCrackCase{"HourHalfTyped", L"1_:__", 0, 0, false, true, T(1, 0)},
                      TCrackCase{"Seconds", L"23:59:59", 0, 0, false, true, T(23, 59, 59)},
                      TCrackCase{"Milliseconds", L"12:30:15:250", 0, 0, false, true, T(12, 30, 15, 250)},
                      TCrackCase{"DotsAsSeparators", L"12.30", 0, 0, false, true, T(12, 30)},
                      TCrackCase{"Midnight", L"00:00", 0, 0, false, true, 0},
                      TCrackCase{"Hour24", L"24:00", 0, 0, false, false, 0},
                      TCrackCase{"Minute60", L"12:60", 0, 0, false, false, 0},
                      TCrackCase{"Second60", L"12:00:60", 0, 0, false, false, 0},
                      TCrackCase{"ThousandMilliseconds", L"12:00:00:1000", 0, 0, false, false, 0},
                      TCrackCase{"UnreadableMilliseconds", L"12:00:00:x", 0, 0, false, true, T(12, 0)},
                      TCrackCase{"NoSeparator", L"1230", 0, 0, false, false, 0},
                      TCrackCase{"FiveParts", L"1:2:3:4:5", 0, 0, false, false, 0},
                      TCrackCase{"Letters", L"ab:cd", 0, 0, false, false, 0},
                      TCrackCase{"SignedHour", L"-1:00", 0, 0, false, false, 0},
                      TCrackCase{"ThousandsOfDigits", kThousandsOfDigits.c_str(), 0, 0, false, false, 0},
                      TCrackCase{"BeforeTheSpan", L"07:59", T(8, 0), T(17, 0), false, false, T(7, 59)},
                      TCrackCase{"StartOfTheSpan", L"08:00", T(8, 0), T(17, 0), false, true, T(8, 0)},
                      TCrackCase{"EndOfTheSpan", L"17:00", T(8, 0), T(17, 0), false, true, T(17, 0)},
                      TCrackCase{"AfterTheSpan", L"17:01", T(8, 0), T(17, 0), false, false, T(17, 1)},
                      TCrackCase{"SpanBoundAsFraction", L"17:00", 0, 17.0 / 24, false, true, T(17, 0)},
                      TCrackCase{"NoTimeBeforeAPositiveStart", L"99:99", T(8, 0), 0, false, false, 0}),
    TCaseName());

// ---- the field on a form ----

class TimeEditTest : public ::testing::Test {
protected:
  void SetUp() override {
    edit = Place<TVormTimeEdit>(&window.Form(), &window.Form(), 8, 8, 60, 23);
    other = Place<TEdit>(&window.Form(), &window.Form(), 8, 40, 60, 23);
    window.Focus(*edit);
  }
  void Prepare(TTimeFormat format, const std::wstring& text, int selStart = 0, int selLength = 0) {
    edit->SetTimeFormat(format);
    edit->SetText(Localized(text));
    edit->SetSelection(selStart, selLength);
  }
  std::wstring Shown() const { return edit->EditText(); }
  TInputForm window;
  TVormTimeEdit* edit = nullptr;
  TEdit* other = nullptr;
};

TEST_F(TimeEditTest, NewFieldIsEmptyAndCorrect) {
  EXPECT_EQ(Shown(), Localized(L"__:__"));
  EXPECT_EQ(edit->EditMask(), L"99:99;1;_");
  EXPECT_TRUE(edit->IsEmpty());
  EXPECT_TRUE(edit->IsCorrect());
  EXPECT_FALSE(edit->IsFilled());
  EXPECT_EQ(ShownColors(edit->Handle()), ValidColors());
}

TEST(TimeEditCreation, NewFieldIsNarrow) {
  auto form = NewForm(200, 60);
  auto* edit = NewComponent<TVormTimeEdit>(form.get(), L"EdtTime");
  edit->SetParent(form.get());
  form->Show();
  EXPECT_EQ(edit->Width(), 37);
}

struct TTimeTypeCase {
  const char* name;
  TTimeFormat format;
  const wchar_t* typed;
  double minTime, maxTime;
  const wchar_t* shown;  // while typing
  bool correct;
  double time;
  const wchar_t* afterExit;  // once the focus has left
};

class TimeEditTyping : public TimeEditTest, public ::testing::WithParamInterface<TTimeTypeCase> {};

TEST_P(TimeEditTyping, ShowsColoursAndReformatsOnExit) {
  const TTimeTypeCase& c = GetParam();
  Prepare(c.format, L"");
  edit->SetMinTime(c.minTime);
  edit->SetMaxTime(c.maxTime);
  window.Type(c.typed);
  EXPECT_EQ(Shown(), Localized(c.shown));
  EXPECT_EQ(ShownColors(edit->Handle()), c.correct ? ValidColors() : InvalidColors());
  EXPECT_DOUBLE_EQ(edit->Time(), c.time);
  window.Press(VK_TAB);
  ASSERT_EQ(::GetFocus(), other->Handle());
  EXPECT_EQ(Shown(), Localized(c.afterExit));
  EXPECT_EQ(ShownColors(edit->Handle()), c.correct ? ValidColors() : InvalidColors());
}

INSTANTIATE_TEST_SUITE_P(
    Typed, TimeEditTyping,
    ::testing::Values(
        TTimeTypeCase{"Full", tfHHNN, L"1230", 0, 0, L"12:30", true, T(12, 30), L"12:30"},
        TTimeTypeCase{"SeparatorTypedAhead", tfHHNN, L"9:5", 0, 0, L"9_:5_", true, T(9, 5), L"09:05"},
        TTimeTypeCase{"DotTypesTheSeparator", tfHHNN, L"9.30", 0, 0, L"9_:30", true, T(9, 30), L"09:30"},
        TTimeTypeCase{"LettersRefused", tfHHNN, L"1a2b3", 0, 0, L"12:3_", true, T(12, 3), L"12:03"},
        TTimeTypeCase{"HourTooBig", tfHHNN, L"2500", 0, 0, L"25:00", false, 0, L"25:00"},
        TTimeTypeCase{"NoTimeStaysAsTyped", tfHHNN, L"9999", 0, 0, L"99:99", false, 0, L"99:99"},
        TTimeTypeCase{"MidnightEmptiesOnExit", tfHHNN, L"0000", 0, 0, L"00:00", true, 0, L"__:__"},
        TTimeTypeCase{"WithSeconds", tfHHNNSS, L"7:8:9", 0, 0, L"7_:8_:9_", true, T(7, 8, 9), L"07:08:09"},
        TTimeTypeCase{"BeforeTheSpan", tfHHNN, L"0759", T(8, 0), T(17, 0), L"07:59", false, T(7, 59), L"07:59"},
        TTimeTypeCase{"InsideTheSpan", tfHHNN, L"0800", T(8, 0), T(17, 0), L"08:00", true, T(8, 0), L"08:00"},
        TTimeTypeCase{"AfterTheSpan", tfHHNN, L"1701", T(8, 0), T(17, 0), L"17:01", false, T(17, 1), L"17:01"}),
    TCaseName());

struct TTimePasteCase {
  const char* name;
  TTimeFormat format;
  const wchar_t* initial;
  int selStart, selLength;
  const wchar_t* pasted;
  const wchar_t* shown;
  bool correct, empty;
  double time;
};

class TimeEditPaste : public TimeEditTest, public ::testing::WithParamInterface<TTimePasteCase> {};

TEST_P(TimeEditPaste, PastedTextGoesThroughTheMask) {
  const TTimePasteCase& c = GetParam();
  Prepare(c.format, c.initial, c.selStart, c.selLength);
  window.Paste(c.pasted);
  EXPECT_EQ(Shown(), Localized(c.shown));
  EXPECT_EQ(edit->IsCorrect(), c.correct);
  EXPECT_EQ(edit->IsEmpty(), c.empty);
  EXPECT_DOUBLE_EQ(edit->Time(), c.time);
  EXPECT_EQ(ShownColors(edit->Handle()), c.correct ? ValidColors() : InvalidColors());
}

INSTANTIATE_TEST_SUITE_P(
    Pasted, TimeEditPaste,
    ::testing::Values(
        TTimePasteCase{"Whole", tfHHNN, L"", 0, 0, L"12:30", L"12:30", true, false, T(12, 30)},
        TTimePasteCase{"SecondsDroppedWithoutThem", tfHHNN, L"", 0, 0, L"12:30:45", L"12:30", true, false, T(12, 30)},
        TTimePasteCase{"WithSeconds", tfHHNNSS, L"", 0, 0, L"12:30:45", L"12:30:45", true, false, T(12, 30, 45)},
        TTimePasteCase{"ShortHour", tfHHNN, L"", 0, 0, L"7:05", L"7_:05", true, false, T(7, 5)},
        TTimePasteCase{"DotAsSeparator", tfHHNN, L"", 0, 0, L"9.30", L"9_:30", true, false, T(9, 30)},
        TTimePasteCase{"NoDigits", tfHHNN, L"", 0, 0, L"abc", L"__:__", true, true, 0},
        TTimePasteCase{"NoTime", tfHHNN, L"", 0, 0, L"99:99", L"99:99", false, false, 0},
        TTimePasteCase{"Midnight", tfHHNN, L"", 0, 0, L"00:00", L"00:00", true, true, 0},
        TTimePasteCase{"IntoTheSelectedMinutes", tfHHNN, L"10:20", 3, 2, L"45", L"10:45", true, false, T(10, 45)}),
    TCaseName());

TEST_F(TimeEditTest, CorrectingTheHourRestoresTheColours) {
  Prepare(tfHHNN, L"");
  window.Type(L"2500");
  EXPECT_EQ(ShownColors(edit->Handle()), InvalidColors());
  edit->SetSelection(1, 0);
  window.Type(L"3");
  EXPECT_EQ(Shown(), Localized(L"23:00"));
  EXPECT_EQ(ShownColors(edit->Handle()), ValidColors());
}

TEST_F(TimeEditTest, OwnInvalidColours) {
  Prepare(tfHHNN, L"");
  edit->SetWrongBgndColor(clYellow);
  edit->SetWrongTextColor(clBlack);
  edit->SetText(L"99:99");
  EXPECT_EQ(ShownColors(edit->Handle()), (TShownColors{RGB(255, 255, 0), RGB(0, 0, 0)}));
  edit->SetWrongBgndColor(clDefault);
  EXPECT_EQ(ShownColors(edit->Handle()).Background, RGB(255, 230, 230));
}

TEST_F(TimeEditTest, NewSpanRecoloursTheShownTime) {
  Prepare(tfHHNN, L"07:59");
  EXPECT_EQ(ShownColors(edit->Handle()), ValidColors());
  edit->SetMinTime(T(8, 0));
  EXPECT_EQ(ShownColors(edit->Handle()), InvalidColors());
  EXPECT_FALSE(edit->IsCorrect());
  edit->SetMinTime(0);
  edit->SetMaxTime(T(7, 0));
  EXPECT_EQ(ShownColors(edit->Handle()), InvalidColors());
  edit->SetMaxTime(0);
  EXPECT_EQ(ShownColors(edit->Handle()), ValidColors());
  EXPECT_TRUE(edit->IsCorrect());
}

TEST_F(TimeEditTest, UsersEventsSeeTheFieldAsHandled) {
  std::wstring onExit;
  std::vector<WORD> keysDown;
  edit->OnExit = [&](TObject*) { onExit = Shown(); };
  edit->OnKeyDown = [&](TObject*, unsigned short& key, TShiftState) { keysDown.push_back(key); };
  Prepare(tfHHNN, L"");
  window.Type(L"9:5");
  window.Press(VK_HOME);
  window.Press(VK_UP);
  EXPECT_EQ(Shown(), Localized(L"10:5_"));
  window.Press(VK_TAB);
  EXPECT_EQ(onExit, Localized(L"10:05"));  // reformatted before the event
  EXPECT_NE(std::find(keysDown.begin(), keysDown.end(), VK_UP), keysDown.end());  // spinning keeps the event
}

TEST_F(TimeEditTest, ZeroAsEmpty) {
  Prepare(tfHHNN, L"12:30");
  edit->SetTime(0);
  EXPECT_EQ(Shown(), Localized(L"__:__"));
  edit->SetText(Localized(L"00:00"));
  EXPECT_TRUE(edit->IsEmpty());
  EXPECT_FALSE(edit->IsFilled());
  edit->SetZeroAsEmpty(false);
  EXPECT_EQ(Shown(), Localized(L"00:00"));
  EXPECT_FALSE(edit->IsEmpty());
  EXPECT_FALSE(edit->IsFilled());
  edit->SetTime(0);
  EXPECT_EQ(Shown(), Localized(L"00:00"));
  edit->SetZeroAsEmpty(true);
  EXPECT_EQ(Shown(), Localized(L"__:__"));
  edit->SetTime(45000.0 + T(8, 15, 30));  // the date part is ignored
  EXPECT_EQ(Shown(), Localized(L"08:15"));
  EXPECT_TRUE(edit->IsFilled());
  EXPECT_DOUBLE_EQ(edit->DateTimeZ(), T(8, 15));
}

TEST_F(TimeEditTest, SwitchingTheFormatKeepsTheTime) {
  Prepare(tfHHNN, L"12:30");
  edit->SetTimeFormat(tfHHNNSS);
  EXPECT_EQ(edit->EditMask(), L"99:99:99;1;_");
  EXPECT_EQ(Shown(), Localized(L"12:30:00"));
  edit->SetText(Localized(L"12:30:45"));
  edit->SetTimeFormat(tfHHNN);
  EXPECT_EQ(Shown(), Localized(L"12:30"));
  edit->SetText(Localized(L"99:99"));
  edit->SetTimeFormat(tfHHNNSS);
  EXPECT_EQ(Shown(), Localized(L"99:99:__"));  // no time: kept as it was
}

struct TSpinCase {
  const char* name;
  TTimeFormat format;
  const wchar_t* initial;
  int selStart, selLength;
  WORD key;
  WORD modifier;  // 0: none
  std::vector<std::wstring> shown;  // after each press
};

class TimeEditSpin : public TimeEditTest, public ::testing::WithParamInterface<TSpinCase> {};

TEST_P(TimeEditSpin, ArrowKeysSpinThePartUnderTheCaret) {
  const TSpinCase& c = GetParam();
  Prepare(c.format, c.initial, c.selStart, c.selLength);
  for (const std::wstring& expected : c.shown) {
    if (c.modifier)
      window.Press(c.key, {c.modifier});
    else
      window.Press(c.key);
    EXPECT_EQ(Shown(), Localized(expected));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, TimeEditSpin,
    ::testing::Values(
        TSpinCase{"HoursWrapUp", tfHHNN, L"23:15", 0, 0, VK_UP, 0, {L"00:15", L"01:15"}},
        TSpinCase{"HoursDownKeepSpinning", tfHHNN, L"05:00", 0, 0, VK_DOWN, 0, {L"04:00", L"03:00", L"02:00"}},
        TSpinCase{"MinutesWrapDown", tfHHNN, L"10:00", 3, 0, VK_DOWN, 0, {L"10:59", L"10:58"}},
        TSpinCase{"SecondsDown", tfHHNNSS, L"10:00:01", 6, 0, VK_DOWN, 0, {L"10:00:00", L"10:00:59"}},
        TSpinCase{"SecondsUp", tfHHNNSS, L"10:00:58", 7, 0, VK_UP, 0, {L"10:00:59", L"10:00:00"}},
        TSpinCase{"CtrlUpHours", tfHHNN, L"05:00", 1, 0, VK_UP, VK_CONTROL, {L"12:00", L"00:00"}},
        TSpinCase{"ShiftUpHours", tfHHNN, L"05:00", 0, 0, VK_UP, VK_SHIFT, {L"06:00", L"08:00"}},
        TSpinCase{"ShiftUpMinutes", tfHHNN, L"10:07", 4, 0, VK_UP, VK_SHIFT, {L"10:10", L"10:15"}},
        TSpinCase{"CtrlDownMinutes", tfHHNN, L"10:00", 3, 0, VK_DOWN, VK_CONTROL, {L"10:45", L"10:30"}},
        TSpinCase{"HoursBeyondTheDayUp", tfHHNN, L"99:00", 0, 0, VK_UP, 0, {L"00:00"}},
        TSpinCase{"HoursBeyondTheDayDown", tfHHNN, L"99:00", 0, 0, VK_DOWN, 0, {L"22:00"}},
        TSpinCase{"EmptyField", tfHHNN, L"", 3, 0, VK_UP, 0, {L"__:01"}},
        TSpinCase{"SelectionReachingIntoSecondsSpinsHours", tfHHNNSS, L"10:20:30", 4, 3, VK_UP, 0, {L"11:20:30"}},
        TSpinCase{"CaretOnTheSeparator", tfHHNN, L"10:20", 2, 0, VK_UP, 0, {L"10:20"}},
        TSpinCase{"CaretBehindTheText", tfHHNNSS, L"10:20:30", 8, 0, VK_DOWN, 0, {L"10:20:29"}}),
    TCaseName());

TEST_F(TimeEditTest, SpinSelectsThePart) {
  Prepare(tfHHNNSS, L"10:20:30", 4);
  window.Press(VK_UP);
  EXPECT_EQ(edit->SelStart(), 3);
  EXPECT_EQ(edit->SelLength(), 2);
}

TEST_F(TimeEditTest, ReadOnlyFieldDoesNotSpin) {
  Prepare(tfHHNN, L"10:20", 0);
  edit->SetReadOnly(true);
  window.Press(VK_UP);
  EXPECT_EQ(Shown(), Localized(L"10:20"));
}

// ---- the date picker ----

class DatePickerTest : public ::testing::Test {
protected:
  void SetUp() override {
    picker = Place<TVormDateTimePicker>(&window.Form(), &window.Form(), 8, 8, 101, 23);
    window.Form().Show();
  }
  // The value as the control itself holds it; 0 when it holds none.
  double Held() const {
    SYSTEMTIME st{};
    if (::SendMessageW(picker->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) return 0;
    return SystemTimeToDateTime(st);
  }
  TInputForm window;
  TVormDateTimePicker* picker = nullptr;
};

const double kDay = EncodeDateExt(2026, 3, 14);

TEST_F(DatePickerTest, CheckBoxMakesItEmpty) {
  picker->SetShowCheckbox(true);
  picker->SetChecked(false);
  EXPECT_EQ(picker->DateTimeZ(), 0);
  EXPECT_TRUE(picker->IsEmpty());
  picker->SetDateTimeZ(kDay + 0.75);
  EXPECT_TRUE(picker->Checked());
  EXPECT_EQ(std::trunc(Held()), kDay);
  EXPECT_EQ(picker->DateTimeZ(), kDay);  // a date picker's value has no time
  EXPECT_TRUE(picker->IsFilled());
  picker->SetDateTimeZ(0);
  EXPECT_FALSE(picker->Checked());
  EXPECT_EQ(Held(), 0);
  EXPECT_EQ(picker->DateTimeZ(), 0);
  EXPECT_EQ(std::trunc(picker->DateTime()), CurrentDate());  // the drop-down opens on today
}

TEST_F(DatePickerTest, ValuesAreKeptInsideTheBounds) {
  picker->SetShowCheckbox(true);
  picker->SetMinDate(kDay);
  picker->SetMaxDate(kDay + 10);
  picker->SetDateTimeZ(kDay - 100);
  EXPECT_EQ(picker->DateTimeZ(), kDay);
  picker->SetDateTimeZ(kDay + 100);
  EXPECT_EQ(picker->DateTimeZ(), kDay + 10);
}

struct TZeroWriteCase {
  const char* name;
  TDateTimeKind kind;
  bool checkbox;
  double written;
  bool checked;  // afterwards
  double value;  // DateTimeZ afterwards, added to today's date when onToday
  bool onToday;
};

class DatePickerZeroWrite : public DatePickerTest, public ::testing::WithParamInterface<TZeroWriteCase> {};

TEST_P(DatePickerZeroWrite, ZeroIsNoValue) {
  const TZeroWriteCase& c = GetParam();
  picker->SetKind(c.kind);
  picker->SetShowCheckbox(c.checkbox);
  picker->SetDateTimeZ(c.written);
  const double expected = c.onToday ? CurrentDate() + c.value : c.value;
  EXPECT_EQ(picker->Checked(), c.checked);
  EXPECT_DOUBLE_EQ(picker->DateTimeZ(), expected);
  EXPECT_EQ(picker->IsEmpty(), expected == 0);
  EXPECT_EQ(picker->IsFilled(), expected != 0);
  if (!c.checked)
    EXPECT_EQ(Held(), 0);  // the control shows no value
  else if (c.kind == dtkDate)
    EXPECT_EQ(std::trunc(Held()), expected);
  else if (c.kind == dtkTime)
    EXPECT_NEAR(Held() - std::trunc(Held()), expected, 1e-9);
  else
    EXPECT_NEAR(Held(), expected, 1e-9);
}

const double kBefore1900 = EncodeDateExt(1850, 6, 1);  // negative, and a date all the same

INSTANTIATE_TEST_SUITE_P(
    Kinds, DatePickerZeroWrite,
    ::testing::Values(TZeroWriteCase{"DateBoxZero", dtkDate, true, 0, false, 0, false},
                      TZeroWriteCase{"DateBoxDateAndTime", dtkDate, true, kDay + 0.75, true, kDay, false},
                      TZeroWriteCase{"DateBoxTimeAlone", dtkDate, true, 0.75, false, 0, false},
                      TZeroWriteCase{"DateZeroShowsToday", dtkDate, false, 0, true, 0, true},
                      TZeroWriteCase{"DateDate", dtkDate, false, kDay, true, kDay, false},
                      TZeroWriteCase{"DateBefore1900", dtkDate, false, kBefore1900, true, kBefore1900, false},
                      TZeroWriteCase{"TimeBoxTime", dtkTime, true, kDay + T(9, 30), true, T(9, 30), false},
                      TZeroWriteCase{"TimeBoxMidnight", dtkTime, true, kDay, false, 0, false},
                      TZeroWriteCase{"TimeKeepsTheTime", dtkTime, false, kDay + T(9, 30), true, T(9, 30), false},
                      TZeroWriteCase{"DateTimeBox", dtkDateTime, true, kDay + T(9, 30), true, kDay + T(9, 30), false},
                      TZeroWriteCase{"DateTimeBoxMidnight", dtkDateTime, true, kDay, true, kDay, false},
                      TZeroWriteCase{"DateTimeBoxZero", dtkDateTime, true, 0, false, 0, false},
                      TZeroWriteCase{"DateTime", dtkDateTime, false, kDay + T(9, 30), true, kDay + T(9, 30), false}),
    TCaseName());

TEST_F(DatePickerTest, UserUntickingTheBoxEmptiesTheValue) {
  picker->SetShowCheckbox(true);
  picker->SetDateTimeZ(kDay);
  int changes = 0;
  picker->OnChange = [&](TObject*) { ++changes; };
  ::SetForegroundWindow(window.Form().Handle());
  RECT client;
  ::GetClientRect(picker->Handle(), &client);
  ClickAt(picker->Handle(), {picker->Scale(9), client.bottom / 2});
  ASSERT_TRUE(PumpUntil([&] { return changes == 1; }));
  EXPECT_TRUE(picker->IsEmpty());
  EXPECT_EQ(picker->DateTimeZ(), 0);
}

TEST_F(DatePickerTest, DateAndTimeOfThePickerAndATimeField) {
  auto* time = Place<TVormTimeEdit>(&window.Form(), &window.Form(), 120, 8, 53, 23);
  time->SetTimeFormat(tfHHNNSS);
  time->SetTime(T(13, 45, 10));
  picker->SetShowCheckbox(true);
  picker->SetDateTimeZ(kDay);
  EXPECT_DOUBLE_EQ(time->DateAndTime(*picker), kDay + T(13, 45, 10));
  picker->SetChecked(false);
  EXPECT_EQ(time->DateAndTime(*picker), 0);
}

}  // namespace
