#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/CheckLst.h"
#include "toolkit/MouseAt.h"
#include "toolkit/ToolkitTestSupport.h"

namespace {

class CheckListBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(300, 200);
    list = Place<TCheckListBox>(form.get(), form.get(), 8, 8, 200, 150);
    list->SetItems({L"eins", L"zwei", L"drei", L"Kopf"});
    list->SetHeader(3, true);
    list->OnClickCheck = [this](TObject*) { ++checkClicks; };
    form->Show();
    ::SetForegroundWindow(form->Handle());
    list->SetFocus();
  }
  RECT ItemRect(int index) {
    RECT r;
    ::SendMessageW(list->Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
  }
  // The middle of an entry's box, and a point on its text.
  POINT OnBox(int index) { return {list->Scale(2 + 6), (ItemRect(index).top + ItemRect(index).bottom) / 2}; }
  POINT OnText(int index) { return {list->Scale(100), (ItemRect(index).top + ItemRect(index).bottom) / 2}; }

  std::unique_ptr<TForm> form;
  TCheckListBox* list = nullptr;
  int checkClicks = 0;
};

TEST_F(CheckListBoxTest, EntriesAreSeventeenDesignPixelsHigh) {
  EXPECT_EQ(list->ItemHeight(), 17);
  EXPECT_EQ(::SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0), list->Scale(17));
}

TEST_F(CheckListBoxTest, ClickOnTheBoxTogglesClickOnTheTextOnlySelects) {
  ClickAt(list->Handle(), OnText(0));
  ASSERT_TRUE(PumpUntil([&] { return list->ItemIndex() == 0; }));
  PumpFor(50);
  EXPECT_FALSE(list->Checked(0));
  ClickAt(list->Handle(), OnBox(1));
  ASSERT_TRUE(PumpUntil([&] { return checkClicks == 1; }));
  EXPECT_TRUE(list->Checked(1));
  EXPECT_EQ(list->ItemIndex(), 1);
  PumpFor(600);  // no double click with the next one
  ClickAt(list->Handle(), OnBox(1));
  ASSERT_TRUE(PumpUntil([&] { return checkClicks == 2; }));
  EXPECT_FALSE(list->Checked(1));
}

TEST_F(CheckListBoxTest, SpaceTogglesTheSelectedEntry) {
  list->SetItemIndex(2);
  PressKey(VK_SPACE);
  ASSERT_TRUE(PumpUntil([&] { return checkClicks == 1; }));
  EXPECT_TRUE(list->Checked(2));
  EXPECT_EQ(list->ItemIndex(), 2);  // no search for an entry starting with a blank
  EXPECT_EQ(list->CheckedCount(), 1);
}

TEST_F(CheckListBoxTest, DoubleClickOnTheTextTogglesOnceAndOnTheBoxTwice) {
  int doubleClicks = 0;
  list->OnDblClick = [&](TObject*) {
    ++doubleClicks;
    EXPECT_TRUE(list->Checked(0));  // the toggle comes first
  };
  ClickAt(list->Handle(), OnText(0), 2);
  ASSERT_TRUE(PumpUntil([&] { return doubleClicks == 1; }));
  EXPECT_EQ(checkClicks, 1);
  PumpFor(600);
  list->OnDblClick = [&](TObject*) { ++doubleClicks; };
  ClickAt(list->Handle(), OnBox(1), 2);
  ASSERT_TRUE(PumpUntil([&] { return doubleClicks == 2; }));
  EXPECT_EQ(checkClicks, 3);
  EXPECT_FALSE(list->Checked(1));
}

TEST_F(CheckListBoxTest, DisabledAndHeaderEntriesAreNotToggledByTheUser) {
  list->SetItemEnabled(0, false);
  for (int index : {0, 3}) {
    list->SetItemIndex(index);
    PressKey(VK_SPACE);
    ClickAt(list->Handle(), OnBox(index));
    PumpFor(600);
    EXPECT_FALSE(list->Checked(index)) << index;
  }
  EXPECT_EQ(checkClicks, 0);
  list->SetChecked(0, true);  // the program still may
  EXPECT_TRUE(list->Checked(0));
}

TEST_F(CheckListBoxTest, GrayedStateTakesPartInTheCycleWhenAllowed) {
  list->SetAllowGrayed(true);
  list->SetItemIndex(1);
  std::vector<TCheckBoxState> states;
  for (int i = 0; i < 3; ++i) {
    PressKey(VK_SPACE);
    ASSERT_TRUE(PumpUntil([&] { return checkClicks == i + 1; }));
    states.push_back(list->State(1));
  }
  EXPECT_EQ(states, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
}

TEST_F(CheckListBoxTest, CheckAllLeavesGrayedAndDisabledEntriesAloneWhenAsked) {
  list->SetState(0, cbGrayed);
  list->SetItemEnabled(1, false);
  list->CheckAll(cbChecked, false, false);
  EXPECT_EQ(list->State(0), cbGrayed);
  EXPECT_EQ(list->State(1), cbUnchecked);
  EXPECT_EQ(list->State(2), cbChecked);
  list->CheckAll(cbUnchecked);
  EXPECT_EQ(list->CheckedCount(), 0);
  EXPECT_EQ(list->State(0), cbUnchecked);
  EXPECT_EQ(checkClicks, 0);
}

TEST_F(CheckListBoxTest, BoxIsDrawnForEntriesAndNotForHeaders) {
  list->SetItemIndex(-1);
  list->SetChecked(1, true);
  list->Items().Put(3, L"");  // no text where a box would be
  list->Update();
  // The pixels of each entry's box area: a drawn box differs from the entry's background.
  auto boxPixels = [&](int index) {
    std::vector<COLORREF> pixels;
    TWindowDc dc(list->Handle());
    const RECT r = ItemRect(index);
    for (int x = list->Scale(2); x < list->Scale(15); ++x) pixels.push_back(::GetPixel(dc.Get(), x, (r.top + r.bottom) / 2));
    return pixels;
  };
  const auto unchecked = boxPixels(0), checked = boxPixels(1), header = boxPixels(3);
  EXPECT_NE(unchecked, checked);
  const COLORREF headerBack = header.front();
  EXPECT_TRUE(std::all_of(header.begin(), header.end(), [&](COLORREF c) { return c == headerBack; }));
  EXPECT_FALSE(std::all_of(unchecked.begin(), unchecked.end(), [&](COLORREF c) { return c == unchecked.front(); }));
}

TEST_F(CheckListBoxTest, WidestEntryIncludesTheBox) {
  TListBox plain(nullptr);
  plain.SetFont(list->Font());
  plain.SetItems({L"eins", L"zwei", L"drei"});
  list->SetHeader(3, false);
  EXPECT_GT(list->MaxItemWidth(), plain.MaxItemWidth() + 13);
}

}  // namespace
