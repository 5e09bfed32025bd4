#pragma once
// A row of a table-driven test: a routine call and the result it must give.
#include <functional>

template <class T>
struct TCallCase {
  const char* name;
  std::function<T()> call;
  T expected;
};
