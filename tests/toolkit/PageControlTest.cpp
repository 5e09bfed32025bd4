#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/MouseAt.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ToolkitTestSupport.h"

#include <commctrl.h>

namespace {

class PageControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(400, 300);
    pages = Place<TPageControl>(form.get(), form.get(), 8, 8, 300, 200);
    for (const wchar_t* caption : {L"&Eins", L"&Zwei", L"&Drei"}) {
      auto* sheet = new TTabSheet(form.get());
      sheet->SetCaption(caption);
      sheet->SetPageControl(pages);
      edits.push_back(Place<TEdit>(form.get(), sheet, 8, 8, 100, 23));
    }
    button = Place<TButton>(form.get(), form.get(), 8, 250, 75, 25);
    pages->OnChange = [this](TObject*) { changes.push_back(pages->ActivePageIndex()); };
    form->Show();
    ::SetForegroundWindow(form->Handle());
  }
  std::vector<std::wstring> TabTexts() {
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(::SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      wchar_t text[64] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = 64;
      ::SendMessageW(pages->Handle(), TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      texts.push_back(text);
    }
    return texts;
  }
  std::vector<bool> PagesShowing() {
    std::vector<bool> showing;
    for (int i = 0; i < pages->PageCount(); ++i) showing.push_back(::IsWindowVisible(pages->Pages(i)->Handle()) != 0);
    return showing;
  }
  POINT TabCenter(int tab) {
    RECT r;
    ::SendMessageW(pages->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&r));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  std::unique_ptr<TForm> form;
  TPageControl* pages = nullptr;
  std::vector<TEdit*> edits;
  TButton* button = nullptr;
  std::vector<int> changes;
};

TEST_F(PageControlTest, OnlyTheActivePageShowsAndFillsThePageArea) {
  EXPECT_EQ(pages->ActivePageIndex(), 0);
  EXPECT_EQ(PagesShowing(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(TabTexts(), (std::vector<std::wstring>{L"&Eins", L"&Zwei", L"&Drei"}));
  RECT area;
  ::GetClientRect(pages->Handle(), &area);
  ::SendMessageW(pages->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  RECT page = WindowRectIn(pages->Pages(0)->Handle(), pages->Handle());
  EXPECT_TRUE(::EqualRect(&page, &area));
  EXPECT_GT(area.top, 0);  // below the tabs

  pages->SetActivePageIndex(2);
  EXPECT_EQ(PagesShowing(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(::SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 2);
  pages->Pages(1)->SetVisible(true);  // showing a page activates it
  EXPECT_EQ(pages->ActivePage(), pages->Pages(1));
  EXPECT_TRUE(changes.empty());  // changes in code are no user changes
}

TEST_F(PageControlTest, ClickOnATabChangesThePageUnlessOnChangingRefuses) {
  bool allow = false;
  int asked = 0;
  pages->OnChanging = [&](TObject*, bool& allowChange) {
    ++asked;
    allowChange = allow;
  };
  ClickAt(pages->Handle(), TabCenter(2));
  ASSERT_TRUE(PumpUntil([&] { return asked == 1; }));
  PumpFor(50);
  EXPECT_EQ(pages->ActivePageIndex(), 0);
  EXPECT_EQ(::SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 0);
  allow = true;
  ClickAt(pages->Handle(), TabCenter(1));
  ASSERT_TRUE(PumpUntil([&] { return changes.size() == 1; }));
  EXPECT_EQ(changes.back(), 1);
  EXPECT_EQ(PagesShowing(), (std::vector<bool>{false, true, false}));
}

TEST_F(PageControlTest, CtrlTabCyclesThePagesAndTheFocusMovesAlong) {
  edits[0]->SetFocus();
  PressKey(VK_TAB, {VK_CONTROL});
  ASSERT_TRUE(PumpUntil([&] { return changes.size() == 1; }));
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  EXPECT_TRUE(edits[1]->Focused());
  PressKey(VK_TAB, {VK_CONTROL, VK_SHIFT});
  PressKey(VK_TAB, {VK_CONTROL, VK_SHIFT});  // round the start
  ASSERT_TRUE(PumpUntil([&] { return changes.size() == 3; }));
  EXPECT_EQ(changes, (std::vector<int>{1, 0, 2}));
  EXPECT_TRUE(edits[2]->Focused());
  pages->Pages(0)->SetTabVisible(false);  // pages without a tab are passed over
  PressKey(VK_NEXT, {VK_CONTROL});
  ASSERT_TRUE(PumpUntil([&] { return changes.size() == 4; }));
  EXPECT_EQ(changes.back(), 1);
}

TEST_F(PageControlTest, CtrlTabOutsideThePageControlIsLeftToTheDialog) {
  button->SetFocus();
  PressKey(VK_TAB, {VK_CONTROL});
  PumpFor(100);
  EXPECT_EQ(pages->ActivePageIndex(), 0);
  EXPECT_TRUE(changes.empty());
}

TEST_F(PageControlTest, AltWithTheAccessKeyOfATabSelectsIt) {
  button->SetFocus();
  PressKey('D', {VK_MENU});
  ASSERT_TRUE(PumpUntil([&] { return changes.size() == 1; }));
  EXPECT_EQ(pages->ActivePageIndex(), 2);
  EXPECT_TRUE(pages->Focused());
}

TEST_F(PageControlTest, TabGoesFromTheTabsIntoThePageAndShiftTabBack) {
  pages->SetFocus();
  PressKey(VK_TAB);
  ASSERT_TRUE(PumpUntil([&] { return edits[0]->Focused(); }));
  PressKey(VK_TAB, {VK_SHIFT});
  ASSERT_TRUE(PumpUntil([&] { return pages->Focused(); }));
  PressKey(VK_RIGHT);  // the arrow keys move along the tabs
  ASSERT_TRUE(PumpUntil([&] { return changes.size() == 1; }));
  EXPECT_EQ(pages->ActivePageIndex(), 1);
}

TEST_F(PageControlTest, TheTabsAreAStopOfTheTabKeyInTheFormsRound) {
  button->SetFocus();
  // Forwards: the tabs, the page, the button; and back the same way.
  const std::pair<TControl*, const char*> forwards[] = {
      {pages, "the tabs"}, {edits[0], "the page"}, {button, "the button"}, {pages, "the tabs"}};
  for (const auto& [next, name] : forwards) {
    PressKey(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return next->Focused(); })) << "Tab did not reach " << name;
  }
  const std::pair<TControl*, const char*> backwards[] = {
      {button, "the button"}, {edits[0], "the page"}, {pages, "the tabs"}, {button, "the button"}};
  for (const auto& [previous, name] : backwards) {
    PressKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(PumpUntil([&] { return previous->Focused(); })) << "Shift+Tab did not reach " << name;
  }
}

TEST_F(PageControlTest, HiddenTabsAndCaptionsFollowThePages) {
  pages->Pages(0)->SetTabVisible(false);
  EXPECT_EQ(pages->ActivePageIndex(), 1);  // the active page lost its tab: the next one shows
  EXPECT_EQ(TabTexts(), (std::vector<std::wstring>{L"&Zwei", L"&Drei"}));
  pages->Pages(2)->SetCaption(L"&Vier");
  EXPECT_EQ(TabTexts(), (std::vector<std::wstring>{L"&Zwei", L"&Vier"}));
  pages->SetActivePage(pages->Pages(0));  // no tab: cannot be shown
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  EXPECT_EQ(::SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(PageControlTest, FreedPagesLeaveTheirTabs) {
  delete pages->Pages(0);
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(pages->ActivePage(), pages->Pages(0));
  EXPECT_TRUE(::IsWindowVisible(pages->Pages(0)->Handle()));
  EXPECT_EQ(TabTexts(), (std::vector<std::wstring>{L"&Zwei", L"&Drei"}));
}

TEST(PageControlOwnership, PagesOutliveTheirPageControl) {
  auto form = NewForm(300, 200);
  TComponent pageOwner(nullptr);  // frees the pages after the form freed the page control
  auto* pages = Place<TPageControl>(form.get(), form.get(), 0, 0, 200, 100);
  auto* sheet = new TTabSheet(&pageOwner);
  sheet->SetPageControl(pages);
  form->Show();
  delete pages;
  EXPECT_EQ(sheet->PageControl(), nullptr);
  EXPECT_EQ(sheet->PageIndex(), -1);
}

}  // namespace
