#pragma once
// Helpers shared by the test programs.
#include "base/Misc.h"

#include <gtest/gtest.h>

#include <string>

// Names the cases of a table-driven test after the `name` member of their row.
struct TCaseName {
  template <class T>
  std::string operator()(const ::testing::TestParamInfo<T>& row) const {
    return std::string(row.param.name);
  }
};

// Puts the message-box hooks back as they were when it was made: a test that installs hooks
// of its own leaves the library's in place for the tests after it.
class TKeepMsgBoxProcs {
public:
  TKeepMsgBoxProcs() : FSaved(CurrentMsgBoxProcs()) {}
  ~TKeepMsgBoxProcs() { SetMsgBoxProcs(FSaved.P1, FSaved.P2, FSaved.P3); }
  TKeepMsgBoxProcs(const TKeepMsgBoxProcs&) = delete;
  TKeepMsgBoxProcs& operator=(const TKeepMsgBoxProcs&) = delete;

private:
  TMsgBoxProcs FSaved;
};
