// Main routine of every test program: the library's units start before the first test and
// stop after the last, as they do in the program.
#include "app/Library.h"
#include "base/Win.h"

#include <gtest/gtest.h>

namespace {

class TLibraryEnvironment : public ::testing::Environment {
public:
  void SetUp() override { LibraryStart(); }
  void TearDown() override { LibraryStop(); }
};

// Keys and clicks one case sent that its windows did not take (the Alt and F4 releases after Alt+F4
// closed a dialog) must not reach the next case's windows: a lone Alt release there opens the
// window menu, and the next Enter picks its default item, Close.
class TInputDrain : public ::testing::EmptyTestEventListener {
public:
  void OnTestStart(const ::testing::TestInfo&) override { Drain(); }
  void OnTestEnd(const ::testing::TestInfo&) override { Drain(); }

private:
  static void Drain() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (::PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
  }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new TLibraryEnvironment);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TInputDrain);
  return RUN_ALL_TESTS();
}
