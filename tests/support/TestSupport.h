#pragma once
// Helpers shared by the test programs.
#include <gtest/gtest.h>

#include <string>

// Names the cases of a table-driven test after the `name` member of their row.
struct TCaseName {
  template <class T>
  std::string operator()(const ::testing::TestParamInfo<T>& row) const {
    return std::string(row.param.name);
  }
};
