#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/Containers.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ToolkitTestSupport.h"

namespace {

// A frame as the library's frames are made: controls created in the constructor, owned by
// the frame and sitting in it.
class TFraSample : public TFrame {
public:
  explicit TFraSample(TComponent* owner) : TFrame(owner) {
    SetBounds(0, 0, 276, 82);
    EdtFrom = NewComponent<TEdit>(this, L"EdtFrom");
    EdtFrom->SetBounds(8, 4, 60, 23);
    EdtFrom->SetParent(this);
    BtnStep = NewComponent<TButton>(this, L"BtnStep");
    BtnStep->SetBounds(80, 4, 23, 23);
    BtnStep->SetCaption(L"+");
    BtnStep->SetParent(this);
    BtnStep->OnClick = [this](TObject*) { ++Steps; };
  }
  TEdit* EdtFrom = nullptr;
  TButton* BtnStep = nullptr;
  int Steps = 0;
};

class FrameTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(300, 150);
    before = NewComponent<TEdit>(form.get(), L"EdtBefore");
    before->SetBounds(8, 8, 100, 23);
    before->SetParent(form.get());
    frame = NewComponent<TFraSample>(form.get(), L"FraSample");
    frame->SetBounds(8, 40, 276, 82);
    frame->SetParent(form.get());
    form->Show();
    ::SetForegroundWindow(form->Handle());
  }
  std::unique_ptr<TForm> form;
  TEdit* before = nullptr;
  TFraSample* frame = nullptr;
};

TEST_F(FrameTest, ControlsBelongToTheFrameAndSitInItsWindow) {
  EXPECT_EQ(frame->FindComponent(L"edtfrom"), frame->EdtFrom);
  EXPECT_EQ(form->FindComponent(L"EdtFrom"), nullptr);
  EXPECT_EQ(::GetParent(frame->EdtFrom->Handle()), frame->Handle());
  RECT r = WindowRectIn(frame->BtnStep->Handle(), form->Handle());
  EXPECT_EQ(r.left, form->Scale(8 + 80));
  EXPECT_EQ(r.top, form->Scale(40 + 4));
}

TEST_F(FrameTest, TabWalksIntoTheFrameAndSpacePressesItsButton) {
  before->SetFocus();
  PressKey(VK_TAB);
  ASSERT_TRUE(PumpUntil([&] { return frame->EdtFrom->Focused(); }));
  PressKey(VK_TAB);
  ASSERT_TRUE(PumpUntil([&] { return frame->BtnStep->Focused(); }));
  PressKey(VK_SPACE);
  ASSERT_TRUE(PumpUntil([&] { return frame->Steps == 1; }));
}

TEST_F(FrameTest, FrameFreedBeforeItsFormTakesItsControlsAlong) {
  HWND edit = frame->EdtFrom->Handle();
  delete frame;
  EXPECT_FALSE(::IsWindow(edit));
  EXPECT_EQ(form->FindComponent(L"FraSample"), nullptr);
  EXPECT_EQ(form->Children().size(), 1u);
  before->SetFocus();
  EXPECT_TRUE(before->Focused());
}

}  // namespace
