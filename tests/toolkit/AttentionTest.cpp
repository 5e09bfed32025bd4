#include "support/Pump.h"
#include "support/TestSupport.h"
#include "toolkit/Attention.h"
#include "toolkit/ToolkitTestSupport.h"

namespace {

TEST(Attention, FlashingAWindowLeavesTheActivationWhereItWas) {
  auto active = NewForm(200, 100);
  auto flashed = NewForm(200, 100);
  flashed->Show();
  active->Show();
  ::SetActiveWindow(active->Handle());
  ASSERT_EQ(::GetActiveWindow(), active->Handle());
  EXPECT_TRUE(FlashWindowOnce(flashed->Handle()));
  PumpFor(50);
  EXPECT_EQ(::GetActiveWindow(), active->Handle());
}

TEST(Attention, FlashingNoWindowIsRefused) {
  EXPECT_FALSE(FlashWindowOnce(nullptr));
  auto form = NewForm(100, 100);
  HWND gone = form->Handle();
  form.reset();
  EXPECT_FALSE(FlashWindowOnce(gone));
}

}  // namespace
