#include "base/DateTime.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/MouseAt.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ToolkitTestSupport.h"

#include <commctrl.h>

namespace {

// What the picker window itself holds: GDT_VALID or GDT_NONE, and the value.
std::pair<LRESULT, double> WindowValue(HWND picker) {
  SYSTEMTIME st{};
  const LRESULT state = ::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  return {state, state == GDT_VALID ? SystemTimeToDateTime(st) : 0};
}

class DateTimePickerTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(300, 120);
    before = Place<TEdit>(form.get(), form.get(), 8, 8, 100, 23);
    picker = Place<TDateTimePicker>(form.get(), form.get(), 8, 40, 150, 23);
    after = Place<TEdit>(form.get(), form.get(), 8, 72, 100, 23);
    picker->OnChange = [this](TObject*) { ++changes; };
  }
  void Show() {
    form->Show();
    ::SetForegroundWindow(form->Handle());
  }
  const double christmas = EncodeDateExt(2024, 12, 24) + EncodeTime(18, 30, 0, 0);
  std::unique_ptr<TForm> form;
  TEdit *before = nullptr, *after = nullptr;
  TDateTimePicker* picker = nullptr;
  int changes = 0;
};

TEST_F(DateTimePickerTest, ValueSetBeforeTheWindowIsShownAndPartsSetApart) {
  picker->SetDateTime(christmas);
  Show();
  EXPECT_EQ(WindowValue(picker->Handle()), std::make_pair(LRESULT{GDT_VALID}, christmas));
  EXPECT_TRUE(picker->Checked());  // without a check box there is always a value
  picker->SetDate(EncodeDateExt(2025, 1, 6) + 0.99);
  EXPECT_EQ(picker->DateTime(), EncodeDateExt(2025, 1, 6) + EncodeTime(18, 30, 0, 0));
  picker->SetTime(EncodeTime(7, 15, 0, 0));
  EXPECT_EQ(picker->Date(), EncodeDateExt(2025, 1, 6));
  EXPECT_EQ(picker->Time(), EncodeTime(7, 15, 0, 0));
  EXPECT_EQ(changes, 0);  // changes in code run no OnChange
}

TEST_F(DateTimePickerTest, CheckBoxTellsWhetherThereIsAValueAndSettingKeepsIt) {
  picker->SetShowCheckbox(true);
  picker->SetChecked(false);
  picker->SetDateTime(christmas);
  Show();
  EXPECT_FALSE(picker->Checked());
  EXPECT_EQ(WindowValue(picker->Handle()).first, GDT_NONE);
  EXPECT_EQ(picker->DateTime(), christmas);  // the value shown grayed
  picker->SetChecked(true);
  EXPECT_EQ(WindowValue(picker->Handle()), std::make_pair(LRESULT{GDT_VALID}, christmas));
  picker->SetDateTime(christmas + 1);
  EXPECT_TRUE(picker->Checked());
  picker->SetChecked(false);
  EXPECT_EQ(WindowValue(picker->Handle()).first, GDT_NONE);
  EXPECT_EQ(changes, 0);
}

TEST_F(DateTimePickerTest, CheckBoxAddedToAShownPickerKeepsValueAndTabOrder) {
  picker->SetDateTime(christmas);
  Show();
  HWND old = picker->Handle();
  picker->SetShowCheckbox(true);
  EXPECT_NE(picker->Handle(), old);
  EXPECT_TRUE(::GetWindowLongPtrW(picker->Handle(), GWL_STYLE) & DTS_SHOWNONE);
  EXPECT_EQ(WindowValue(picker->Handle()), std::make_pair(LRESULT{GDT_VALID}, christmas));
  before->SetFocus();
  EXPECT_EQ(::GetNextDlgTabItem(form->Handle(), before->Handle(), FALSE), picker->Handle());
  EXPECT_EQ(::GetNextDlgTabItem(form->Handle(), picker->Handle(), FALSE), after->Handle());
}

TEST_F(DateTimePickerTest, ValuesOutsideTheBoundsGoToTheNearerBound) {
  const double first = EncodeDateExt(2024, 1, 1), last = EncodeDateExt(2024, 12, 31);
  Show();
  picker->SetDateTime(EncodeDateExt(2025, 3, 1));
  picker->SetMinDate(first);
  picker->SetMaxDate(last);
  EXPECT_EQ(picker->DateTime(), last);  // the bound moved the value in
  picker->SetDateTime(EncodeDateExt(2023, 5, 5));
  EXPECT_EQ(picker->DateTime(), first);
  picker->SetDateTime(christmas);
  EXPECT_EQ(picker->DateTime(), christmas);
}

TEST_F(DateTimePickerTest, KeysOfTheUserChangeTheValueAndRunOnChangeOnce) {
  picker->SetDateTime(christmas);
  Show();
  ClickAt(picker->Handle(), {picker->Scale(12), picker->Scale(11)});  // on the first field
  PressKey(VK_UP);
  ASSERT_TRUE(PumpUntil([&] { return changes >= 1; }));
  PumpFor(100);
  EXPECT_EQ(changes, 1);
  EXPECT_NE(picker->DateTime(), christmas);  // the field under the mouse stepped (and may wrap round)
  EXPECT_EQ(WindowValue(picker->Handle()).second, picker->DateTime());
}

TEST_F(DateTimePickerTest, ClickOnTheCheckBoxEmptiesThePickerAndRunsOnChange) {
  picker->SetShowCheckbox(true);
  picker->SetDateTime(christmas);
  Show();
  RECT client;
  ::GetClientRect(picker->Handle(), &client);
  ClickAt(picker->Handle(), {picker->Scale(9), client.bottom / 2});
  ASSERT_TRUE(PumpUntil([&] { return changes == 1; }));
  EXPECT_FALSE(picker->Checked());
  EXPECT_EQ(picker->DateTime(), christmas);
  PumpFor(600);  // no double click
  ClickAt(picker->Handle(), {picker->Scale(9), client.bottom / 2});
  ASSERT_TRUE(PumpUntil([&] { return changes == 2; }));
  EXPECT_TRUE(picker->Checked());
}

TEST_F(DateTimePickerTest, TimeKindShowsAndTakesTheTimeOfDay) {
  picker->SetKind(dtkTime);
  picker->SetDateTime(christmas);
  Show();
  EXPECT_TRUE(::GetWindowLongPtrW(picker->Handle(), GWL_STYLE) & DTS_TIMEFORMAT);
  EXPECT_EQ(picker->Time(), EncodeTime(18, 30, 0, 0));
  picker->SetFormat(L"HH':'mm");
  picker->SetKind(dtkDate);  // made anew as a date picker, with its value
  EXPECT_FALSE(::GetWindowLongPtrW(picker->Handle(), GWL_STYLE) & DTS_TIMEFORMAT);
  EXPECT_EQ(picker->DateTime(), christmas);
}

}  // namespace
