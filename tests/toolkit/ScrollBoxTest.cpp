#include "support/Pump.h"
#include "support/TestSupport.h"
#include "toolkit/Containers.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/MouseAt.h"
#include "toolkit/ToolkitTestSupport.h"

namespace {

int WheelLines() {
  UINT lines = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return static_cast<int>(lines);
}

class ScrollBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(300, 200);
    box = Place<TScrollBox>(form.get(), form.get(), 10, 10, 200, 100);
    below = Place<TPanel>(form.get(), box, 0, 150, 50, 20);
    form->Show();
    ::SetForegroundWindow(form->Handle());
  }
  int ChildTopOnScreen(TControl* child) { return WindowRectIn(child->Handle(), box->Handle()).top; }

  std::unique_ptr<TForm> form;
  TScrollBox* box = nullptr;
  TPanel* below = nullptr;
};

TEST_F(ScrollBoxTest, BarShowsOnlyWhileTheContentIsTallerThanTheBox) {
  EXPECT_FALSE(box->VertScrollBarVisible());
  box->SetVertRange(400);
  EXPECT_TRUE(box->VertScrollBarVisible());
  box->SetVertRange(box->ClientHeight());
  EXPECT_FALSE(box->VertScrollBarVisible());
  box->SetVertRange(400);
  box->SetVertPosition(100);
  box->SetHeight(500);  // taller than the content: nothing left to scroll
  EXPECT_FALSE(box->VertScrollBarVisible());
  EXPECT_EQ(box->VertPosition(), 0);
  EXPECT_EQ(below->Top(), 150);
}

TEST_F(ScrollBoxTest, ChildrenMoveWithThePositionWhichStaysInRange) {
  box->SetVertRange(400);
  box->SetVertPosition(100);
  EXPECT_EQ(box->VertPosition(), 100);
  EXPECT_EQ(below->Top(), 50);  // children report where they are on screen
  EXPECT_EQ(ChildTopOnScreen(below), box->Scale(50));
  box->SetVertPosition(100000);
  EXPECT_EQ(box->VertPosition(), 400 - box->ClientHeight());
  box->SetVertPosition(-5);
  EXPECT_EQ(box->VertPosition(), 0);
  EXPECT_EQ(ChildTopOnScreen(below), box->Scale(150));
}

TEST_F(ScrollBoxTest, ClientAlignedChildTakesTheWholeRangeAndScrolls) {
  auto* paint = Place<TPaintBox>(form.get(), box, 0, 0, 10, 10);
  paint->SetAlign(alClient);
  box->SetVertRange(400);
  EXPECT_EQ(paint->Height(), 400);
  EXPECT_EQ(paint->Width(), box->ClientWidth());  // beside the scroll bar
  box->SetVertPosition(120);
  EXPECT_EQ(paint->Top(), -120);
  box->SetVertRange(50);  // shorter than the box: the child fills the box
  EXPECT_EQ(paint->Top(), 0);
  EXPECT_EQ(paint->Height(), box->ClientHeight());
}

TEST_F(ScrollBoxTest, ScrollBarCommandsMoveByLineAndPage) {
  box->SetVertRange(400);
  const int page = box->ClientHeight(), last = 400 - box->ClientHeight();
  struct TStep {
    WORD code;
    int expected;
  };
  for (TStep step : {TStep{SB_LINEDOWN, 8}, TStep{SB_PAGEDOWN, 8 + page}, TStep{SB_LINEUP, page},
                     TStep{SB_BOTTOM, last}, TStep{SB_PAGEDOWN, last}, TStep{SB_TOP, 0}, TStep{SB_LINEUP, 0}}) {
    ::SendMessageW(box->Handle(), WM_VSCROLL, MAKEWPARAM(step.code, 0), 0);
    EXPECT_EQ(box->VertPosition(), step.expected) << "code " << step.code;
  }
}

TEST_F(ScrollBoxTest, WheelScrollsByTheSystemsWheelLines) {
  if (WheelLines() <= 0 || static_cast<UINT>(WheelLines()) == WHEEL_PAGESCROLL) GTEST_SKIP();
  box->SetVertRange(1000);
  TurnWheel(box->Handle(), -1);
  ASSERT_TRUE(PumpUntil([&] { return box->VertPosition() != 0; }));
  EXPECT_EQ(box->VertPosition(), WheelLines() * box->VertIncrement());
  TurnWheel(box->Handle(), 1);
  ASSERT_TRUE(PumpUntil([&] { return box->VertPosition() == 0; }));
}

TEST_F(ScrollBoxTest, WheelHandlerWinsAndWithoutContentTheParentGetsTheWheel) {
  box->SetVertRange(1000);
  box->OnMouseWheel = [&](TObject*, TShiftState, int delta, int, int, bool& handled) {
    box->SetVertPosition(box->VertPosition() - delta);
    handled = true;
  };
  auto* inView = Place<TPanel>(form.get(), box, 0, 10, 50, 20);
  TurnWheel(inView->Handle(), -2);  // over a child of the box
  ASSERT_TRUE(PumpUntil([&] { return box->VertPosition() != 0; }));
  EXPECT_EQ(box->VertPosition(), 240);

  box->OnMouseWheel = nullptr;
  box->SetVertRange(0);
  int formWheel = 0;
  form->OnMouseWheel = [&](TObject*, TShiftState, int delta, int, int, bool& handled) {
    formWheel += delta;
    handled = true;
  };
  TurnWheel(box->Handle(), -1);
  ASSERT_TRUE(PumpUntil([&] { return formWheel != 0; }));
  EXPECT_EQ(formWheel, -WHEEL_DELTA);
}

TEST_F(ScrollBoxTest, DpiChangeKeepsTheDesignPosition) {
  box->SetVertRange(400);
  box->SetVertPosition(100);
  const int dpi = 2 * form->Dpi();
  RECT suggested;
  ::GetWindowRect(form->Handle(), &suggested);
  ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(box->VertPosition(), 100);
  EXPECT_EQ(below->Top(), 50);
  EXPECT_EQ(ChildTopOnScreen(below), ScaleToDpi(50, dpi));
  box->SetVertPosition(0);
  EXPECT_EQ(ChildTopOnScreen(below), ScaleToDpi(150, dpi));
}

TEST(ScrollBoxBeforeWindow, RangeAndPositionSetEarlyApplyWhenShown) {
  auto form = NewForm(300, 200);
  auto* box = new TScrollBox(form.get());
  box->SetBounds(0, 0, 200, 100);
  box->SetParent(form.get());
  box->SetVertRange(300);
  box->SetVertPosition(60);
  auto* child = new TPanel(form.get());
  child->SetBounds(0, 100, 50, 20);
  child->SetParent(box);
  form->Show();
  EXPECT_TRUE(box->VertScrollBarVisible());
  EXPECT_EQ(box->VertPosition(), 60);
  EXPECT_EQ(child->Top(), 40);
}

}  // namespace
