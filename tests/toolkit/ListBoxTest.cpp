#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/MouseAt.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ToolkitTestSupport.h"

#include <stdexcept>

namespace {

// What the list box window itself holds.
std::vector<std::wstring> WindowItems(HWND list) {
  std::vector<std::wstring> items;
  const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring text(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    items.push_back(text);
  }
  return items;
}

// The middle of an entry, in client device pixels.
POINT ItemCenter(HWND list, int index) {
  RECT r;
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class ListBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(300, 200);
    list = Place<TListBox>(form.get(), form.get(), 8, 8, 200, 150);
    list->OnClick = [this](TObject*) { clicks.push_back(list->ItemIndex()); };
  }
  void ShowAndFocus() {
    form->Show();
    ::SetForegroundWindow(form->Handle());
    list->SetFocus();
  }
  std::unique_ptr<TForm> form;
  TListBox* list = nullptr;
  std::vector<int> clicks;
};

TEST_F(ListBoxTest, FilledBeforeTheWindowShowsItsItemsAndSelection) {
  list->SetItems({L"eins", L"zwei", L"drei"});
  list->SetItemIndex(1);
  list->Items().Insert(0, L"null");  // the selection moves with its entry
  list->SetItemData(2, 42);
  ShowAndFocus();
  EXPECT_EQ(WindowItems(list->Handle()), (std::vector<std::wstring>{L"null", L"eins", L"zwei", L"drei"}));
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(list->ItemData(2), 42);
  EXPECT_TRUE(clicks.empty());  // setting the selection is no click
}

TEST_F(ListBoxTest, ItemsEditedInViewStayEqualToTheWindow) {
  ShowAndFocus();
  TStrings& items = list->Items();
  items.SetText(L"a\r\nb\r\nc\r\n");
  list->SetItemIndex(1);
  items.Put(1, L"B");
  EXPECT_EQ(list->ItemIndex(), 1);  // a replaced entry stays selected
  items.Delete(0);
  EXPECT_EQ(list->ItemIndex(), 0);
  items.Add(std::wstring(L"d\0e", 3));  // the window shows a text up to its zero
  EXPECT_EQ(items.ToVector(), (std::vector<std::wstring>{L"B", L"c", L"d"}));
  EXPECT_EQ(WindowItems(list->Handle()), items.ToVector());
  items.Clear();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_TRUE(WindowItems(list->Handle()).empty());
}

TEST_F(ListBoxTest, IndexesOutsideTheListRaise) {
  list->SetItems({L"eins"});
  EXPECT_THROW(list->Items().Get(1), std::out_of_range);
  EXPECT_THROW(list->Items().Insert(2, L"x"), std::out_of_range);
  EXPECT_THROW(list->Items().Delete(-1), std::out_of_range);
  EXPECT_THROW(list->ItemData(5), std::out_of_range);
  list->SetItemIndex(7);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(ListBoxTest, MouseAndKeysSelectAndClick) {
  int doubleClicks = 0;
  list->OnDblClick = [&](TObject*) { ++doubleClicks; };
  list->SetItems({L"eins", L"zwei", L"drei"});
  ShowAndFocus();
  ClickAt(list->Handle(), ItemCenter(list->Handle(), 1));
  ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 1; }));
  EXPECT_EQ(clicks.back(), 1);
  PressKey(VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 2; }));
  EXPECT_EQ(clicks.back(), 2);
  ClickAt(list->Handle(), ItemCenter(list->Handle(), 0), 2);
  ASSERT_TRUE(PumpUntil([&] { return doubleClicks == 1; }));
  EXPECT_EQ(list->ItemIndex(), 0);
}

TEST_F(ListBoxTest, ItemHeightAndRowsAreInDesignPixels) {
  list->SetItems({L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"});
  list->SetItemHeight(15);
  EXPECT_EQ(list->ItemHeight(), 15);
  ShowAndFocus();
  EXPECT_EQ(list->ItemHeight(), 15);
  EXPECT_EQ(::SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0), list->Scale(15));
  list->SetHeight(list->HeightForRows(5));
  RECT client;
  ::GetClientRect(list->Handle(), &client);
  const int rowHeight = list->Scale(15);
  EXPECT_GE(client.bottom, 5 * rowHeight);  // five whole rows, not six
  EXPECT_LT(client.bottom, 6 * rowHeight);
}

TEST_F(ListBoxTest, ItemHeightFollowsTheFontUnlessSet) {
  ShowAndFocus();
  const int small = list->ItemHeight();
  TFontDesc big = list->Font();
  big.Height = 3 * big.Height;
  list->SetFont(big);
  EXPECT_GT(list->ItemHeight(), 2 * small);
  list->SetItemHeight(20);
  list->SetFont(list->Font());
  EXPECT_EQ(list->ItemHeight(), 20);
}

TEST_F(ListBoxTest, WidestItemDecidesTheMaximumWidth) {
  list->SetItems({L"i", L"WWWWWWWWWW", L"ab"});
  const int widest = list->MaxItemWidth();
  list->SetItems({L"WWWWWWWWWW"});
  EXPECT_EQ(list->MaxItemWidth(), widest);
  list->Items().Add(L"WWWWWWWWWWW");
  EXPECT_GT(list->MaxItemWidth(), widest);
  list->SetItems({});
  EXPECT_EQ(list->MaxItemWidth(), 0);
}

}  // namespace
