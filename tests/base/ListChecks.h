#pragma once
// Checks the structural invariants of a TLinkList: the forward chain from First ends at Last,
// the backward chain mirrors it, Count is the number of nodes and every node names the list as
// its Owner.
#include "base/LinkList.h"

#include <gtest/gtest.h>

inline ::testing::AssertionResult ListIsConsistent(const TLinkList& list) {
  const std::int64_t limit = std::int64_t(list.Count()) + 1;  // stops a cyclic chain
  std::int64_t n = 0;
  const TListNode* prev = nullptr;
  for (const TListNode* node = list.First(); node; prev = node, node = node->Next()) {
    if (++n > limit) return ::testing::AssertionFailure() << "forward chain longer than Count " << list.Count();
    if (node->Prev() != prev) return ::testing::AssertionFailure() << "Prev of node " << n - 1 << " is wrong";
    if (node->Owner() != &list) return ::testing::AssertionFailure() << "Owner of node " << n - 1 << " is wrong";
  }
  if (prev != list.Last()) return ::testing::AssertionFailure() << "forward chain does not end at Last";
  if (n != list.Count()) return ::testing::AssertionFailure() << "Count " << list.Count() << " but " << n << " nodes";
  if (list.IsEmpty() != (list.First() == nullptr) || list.IsFilled() == list.IsEmpty())
    return ::testing::AssertionFailure() << "IsEmpty/IsFilled disagree with First";
  if ((list.First() == nullptr) != (list.Last() == nullptr))
    return ::testing::AssertionFailure() << "only one of First and Last is set";
  std::int64_t back = 0;
  for (const TListNode* node = list.Last(); node; node = node->Prev())
    if (++back > limit) return ::testing::AssertionFailure() << "backward chain longer than Count";
  if (back != n) return ::testing::AssertionFailure() << "backward chain has " << back << " nodes, forward " << n;
  return ::testing::AssertionSuccess();
}
