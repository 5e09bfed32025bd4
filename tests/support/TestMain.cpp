// Main routine of every test program: the library's units start before the first test and
// stop after the last, as they do in the program.
#include "app/Library.h"

#include <gtest/gtest.h>

namespace {

class TLibraryEnvironment : public ::testing::Environment {
public:
  void SetUp() override { LibraryStart(); }
  void TearDown() override { LibraryStop(); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new TLibraryEnvironment);
  return RUN_ALL_TESTS();
}
