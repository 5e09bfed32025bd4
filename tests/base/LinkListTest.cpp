#include "base/LinkList.h"

#include "base/ListChecks.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <functional>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

int gLiveNodes = 0;  // catches leaks and double frees

class TKeyNode : public TListNode {
public:
  explicit TKeyNode(std::wstring key, int id = 0) : Key(std::move(key)), Id(id) { ++gLiveNodes; }
  ~TKeyNode() override { --gLiveNodes; }
  std::wstring SortKey() const override { return Key; }

  std::wstring Key;
  int Id;
};

const TKeyNode* AsKey(const TListNode* node) { return static_cast<const TKeyNode*>(node); }

// A list that records what Notify is told, as "key:action".
class TRecordingList : public TLinkList {
public:
  std::vector<std::wstring> Log;

protected:
  void Notify(TListNode* node, TListNotification action) override {
    static const wchar_t* const kNames[] = {L"inserted", L"listInserted", L"extracted", L"deleted"};
    Log.push_back(AsKey(node)->Key + L":" + kNames[action]);
  }
};

// The keys in list order, separated by spaces.
std::wstring Keys(const TLinkList& list) {
  std::wstring keys;
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);) keys += (keys.empty() ? L"" : L" ") + AsKey(p)->Key;
  return keys;
}

TListNode* Find(const TLinkList& list, const std::wstring& key) {
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);)
    if (AsKey(p)->Key == key) return p;
  return nullptr;
}

template <class TList>
void Fill(TList& list, std::initializer_list<const wchar_t*> keys) {
  int id = 0;
  for (const wchar_t* key : keys) list.Add(std::make_unique<TKeyNode>(key, id++));
}

class LinkList : public ::testing::Test {
protected:
  void SetUp() override { FLiveAtStart = gLiveNodes; }
  void TearDown() override { EXPECT_EQ(gLiveNodes, FLiveAtStart) << "nodes leaked or freed twice"; }

private:
  int FLiveAtStart = 0;
};

// ---------------------------------------------------------------------------------------------
// One scripted sequence; the invariants and the order are checked after every step.

struct TListStep {
  const char* name;
  std::function<void(TRecordingList& list, TRecordingList& other)> action;
  const wchar_t* order;
  const wchar_t* otherOrder;
};

TEST_F(LinkList, InvariantsHoldAfterEveryStepOfAScript) {
  auto add = [](const wchar_t* key) {
    return [key](TRecordingList& l, TRecordingList&) { l.Add(std::make_unique<TKeyNode>(key)); };
  };
  std::unique_ptr<TListNode> held;
  const TListStep steps[] = {
      {"AddA", add(L"a"), L"a", L""},
      {"AddB", add(L"b"), L"a b", L""},
      {"InsertFirstC", [](auto& l, auto&) { l.InsertFirst(std::make_unique<TKeyNode>(L"c")); }, L"c a b", L""},
      {"InsertDAfterA", [](auto& l, auto&) { l.Insert(Find(l, L"a"), std::make_unique<TKeyNode>(L"d")); },
       L"c a d b", L""},
      {"InsertEAfterLast", [](auto& l, auto&) { l.Insert(l.Last(), std::make_unique<TKeyNode>(L"e")); },
       L"c a d b e", L""},
      {"ExtractMiddle", [&](auto& l, auto&) { held = l.Extract(Find(l, L"d")); }, L"c a b e", L""},
      {"ExtractedNodeIsFree",
       [&](auto&, auto&) {
         ASSERT_TRUE(held);
         EXPECT_EQ(held->Owner(), nullptr);
         EXPECT_EQ(held->Next(), nullptr);
         EXPECT_EQ(held->Prev(), nullptr);
       },
       L"c a b e", L""},
      {"ReinsertExtractedFirst", [&](auto& l, auto&) { l.InsertFirst(std::move(held)); }, L"d c a b e", L""},
      {"ExtractFirst", [&](auto& l, auto&) { held = l.Extract(l.First()); }, L"c a b e", L""},
      {"ExtractLast", [&](auto& l, auto&) { l.Extract(l.Last()); }, L"c a b", L""},
      {"AddHeldBack", [&](auto& l, auto&) { l.Add(std::move(held)); }, L"c a b d", L""},
      {"SwapFirstAndLast", [](auto& l, auto&) { l.Swap(l.First(), l.Last()); }, L"d a b c", L""},
      {"SwapAdjacent", [](auto& l, auto&) { l.Swap(Find(l, L"a"), Find(l, L"b")); }, L"d b a c", L""},
      {"SwapAdjacentReversedArguments", [](auto& l, auto&) { l.Swap(Find(l, L"a"), Find(l, L"b")); },
       L"d a b c", L""},
      {"SwapLastWithFirstNonAdjacent", [](auto& l, auto&) { l.Swap(l.Last(), l.First()); }, L"c a b d", L""},
      {"SwapWithItself", [](auto& l, auto&) { l.Swap(l.First(), l.First()); }, L"c a b d", L""},
      {"Sort", [](auto& l, auto&) { l.Sort(); }, L"a b c d", L""},
      {"Revert", [](auto& l, auto&) { l.Revert(); }, L"d c b a", L""},
      {"EnsortMiddle", [](auto& l, auto&) { l.Sort(); l.Ensort(std::make_unique<TKeyNode>(L"bb")); },
       L"a b bb c d", L""},
      {"EnsortFront", [](auto& l, auto&) { l.Ensort(std::make_unique<TKeyNode>(L"0")); }, L"0 a b bb c d", L""},
      {"EnsortEnd", [](auto& l, auto&) { l.Ensort(std::make_unique<TKeyNode>(L"z")); }, L"0 a b bb c d z", L""},
      {"ScanDeleteEveryOther",
       [](auto& l, auto&) {
         int i = 0;
         for (TListNode* p = TLinkList::StartScan(); l.Scan(p);)
           if (i++ % 2 == 0) l.ScanDelete(p);
       },
       L"a bb d", L""},
      {"FillOther", [](auto&, auto& o) { Fill(o, {L"x", L"y"}); }, L"a bb d", L"x y"},
      {"InsertListAfterMiddle", [](auto& l, auto& o) { l.InsertList(Find(l, L"bb"), &o); }, L"a bb x y d", L""},
      {"MoveNodeToOtherList", [](auto& l, auto& o) { o.Add(l.Extract(Find(l, L"x"))); }, L"a bb y d", L"x"},
      {"InsertListAtFront", [](auto& l, auto& o) { l.InsertList(nullptr, &o); }, L"x a bb y d", L""},
      {"DeleteFirst", [](auto& l, auto&) { l.Delete(l.First()); }, L"a bb y d", L""},
      {"DeleteLast", [](auto& l, auto&) { l.Delete(l.Last()); }, L"a bb y", L""},
      {"ScanExtractAll",
       [](auto& l, auto& o) {
         for (TListNode* p = TLinkList::StartScan(); l.Scan(p);) o.Add(l.ScanExtract(p));
       },
       L"", L"a bb y"},
      {"InsertListIntoEmpty", [](auto& l, auto& o) { l.InsertList(nullptr, &o); }, L"a bb y", L""},
      {"CountNodes", [](auto& l, auto&) { EXPECT_EQ(l.CountNodes(), 3); }, L"a bb y", L""},
      {"Clear", [](auto& l, auto&) { l.Clear(); }, L"", L""},
  };
  TRecordingList list, other;
  for (const TListStep& step : steps) {
    SCOPED_TRACE(step.name);
    step.action(list, other);
    ASSERT_TRUE(ListIsConsistent(list));
    ASSERT_TRUE(ListIsConsistent(other));
    EXPECT_EQ(Keys(list), step.order);
    EXPECT_EQ(Keys(other), step.otherOrder);
  }
}

// ---------------------------------------------------------------------------------------------
// Queries

TEST_F(LinkList, AtIndexOfAndHasNode) {
  TLinkList list;
  EXPECT_EQ(list.At(0), nullptr);
  Fill(list, {L"a", L"b", L"c"});
  EXPECT_EQ(list.At(-1), nullptr);
  EXPECT_EQ(list.At(3), nullptr);
  EXPECT_EQ(AsKey(list.At(0))->Key, L"a");
  EXPECT_EQ(AsKey(list.At(2))->Key, L"c");
  EXPECT_EQ(list.IndexOf(Find(list, L"b")), 1);
  EXPECT_TRUE(list.HasNode(list.Last()));
  TKeyNode stranger(L"s");
  EXPECT_EQ(list.IndexOf(&stranger), -1);
  EXPECT_FALSE(list.HasNode(&stranger));
  EXPECT_EQ(list.IndexOf(nullptr), -1);
}

TEST_F(LinkList, ScanWithIndexCountsFromZero) {
  TLinkList list;
  Fill(list, {L"a", L"b", L"c"});
  std::vector<int> indexes;
  int index0 = -7;
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p, index0);) indexes.push_back(index0);
  EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2}));
}

TEST_F(LinkList, ScanOfAnEmptyListEndsAtOnce) {
  TLinkList list;
  TListNode* p = nullptr;
  EXPECT_FALSE(list.Scan(p));
  EXPECT_EQ(p, nullptr);
}

TEST_F(LinkList, ScanThroughAMissingListRaises) {
  TListNode* p = nullptr;
  try {
    TLinkList::Scan(nullptr, p);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), L"TLinkList.Scan: Self is nil");
  }
  TLinkList list;
  Fill(list, {L"a"});
  EXPECT_TRUE(TLinkList::Scan(&list, p));
}

// ---------------------------------------------------------------------------------------------
// Edge cases of the operations

TEST_F(LinkList, EnsortPlacesEqualNodesAfterTheExistingOnes) {
  TLinkList list;
  list.Ensort(std::make_unique<TKeyNode>(L"m", 1));
  EXPECT_EQ(list.Count(), 1);
  list.Ensort(std::make_unique<TKeyNode>(L"M", 2));
  list.Ensort(std::make_unique<TKeyNode>(L"a", 3));
  list.Ensort(std::make_unique<TKeyNode>(L"m", 4));
  std::vector<int> ids;
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);) ids.push_back(AsKey(p)->Id);
  EXPECT_EQ(ids, (std::vector<int>{3, 1, 2, 4}));
  EXPECT_TRUE(ListIsConsistent(list));
}

TEST_F(LinkList, EnsortWithAFunction) {
  TLinkList list;
  const TCompareFunc byId = [](const TListNode* a, const TListNode* b) { return AsKey(a)->Id - AsKey(b)->Id; };
  for (int id : {5, 1, 3, 3, 9}) list.Ensort(std::make_unique<TKeyNode>(std::to_wstring(id), id), byId);
  EXPECT_EQ(Keys(list), L"1 3 3 5 9");
}

TEST_F(LinkList, DeleteDuplicatesKeepsTheFirstOfEachGroup) {
  TRecordingList list;
  Fill(list, {L"x", L"X", L"y", L"x"});
  TListNode* firstX = list.First();
  list.Log.clear();
  list.DeleteDuplicates();
  EXPECT_EQ(Keys(list), L"x y");
  EXPECT_EQ(list.First(), firstX);
  EXPECT_EQ(list.Log, (std::vector<std::wstring>{L"X:extracted", L"X:deleted", L"x:extracted", L"x:deleted"}));
  EXPECT_TRUE(ListIsConsistent(list));
}

TEST_F(LinkList, ScanDeleteOfEveryNodeVisitsEachOnce) {
  TLinkList list;
  Fill(list, {L"a", L"b", L"c", L"d"});
  std::wstring visited;
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);) {
    visited += AsKey(p)->Key;
    list.ScanDelete(p);
  }
  EXPECT_EQ(visited, L"abcd");
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_TRUE(ListIsConsistent(list));
}

TEST_F(LinkList, DeletingTheFirstNodeDuringAScanContinuesWithTheNewFirst) {
  TLinkList list;
  Fill(list, {L"a", L"b", L"c"});
  std::wstring visited;
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);) {
    visited += AsKey(p)->Key;
    if (AsKey(p)->Key == L"a") list.ScanDelete(p);
  }
  EXPECT_EQ(visited, L"abc");
  EXPECT_EQ(Keys(list), L"b c");
}

TEST_F(LinkList, InsertListAfterTheLastNode) {
  TRecordingList list;
  TLinkList source;
  Fill(list, {L"a", L"b"});
  Fill(source, {L"c", L"d"});
  TListNode* d = source.Last();
  list.Log.clear();
  list.InsertList(list.Last(), &source);
  EXPECT_EQ(list.Last(), d);
  EXPECT_EQ(Keys(list), L"a b c d");
  EXPECT_TRUE(source.IsEmpty());
  EXPECT_EQ(source.Count(), 0);
  EXPECT_EQ(d->Owner(), &list);
  EXPECT_EQ(list.Log, (std::vector<std::wstring>{L"c:listInserted"}));
  EXPECT_TRUE(ListIsConsistent(list));
  EXPECT_TRUE(ListIsConsistent(source));
}

TEST_F(LinkList, SwapOfATwoNodeListExchangesFirstAndLast) {
  TLinkList list;
  Fill(list, {L"a", L"b"});
  TListNode* a = list.First();
  TListNode* b = list.Last();
  list.Swap(a, b);
  EXPECT_EQ(list.First(), b);
  EXPECT_EQ(list.Last(), a);
  EXPECT_TRUE(ListIsConsistent(list));
}

TEST_F(LinkList, RevertTwiceRestoresTheOrder) {
  TLinkList list;
  Fill(list, {L"a", L"b", L"c"});
  list.Revert();
  EXPECT_EQ(Keys(list), L"c b a");
  list.Revert();
  EXPECT_EQ(Keys(list), L"a b c");
  EXPECT_TRUE(ListIsConsistent(list));
}

TEST_F(LinkList, NotifyCalls) {
  TRecordingList list, other;
  list.Add(std::make_unique<TKeyNode>(L"a"));
  list.InsertFirst(std::make_unique<TKeyNode>(L"b"));
  list.Ensort(std::make_unique<TKeyNode>(L"c"));
  list.Delete(Find(list, L"a"));
  std::unique_ptr<TListNode> b = list.Extract(Find(list, L"b"));
  list.Swap(list.First(), list.Last());
  list.Revert();
  EXPECT_EQ(list.Log, (std::vector<std::wstring>{L"a:inserted", L"b:inserted", L"c:inserted", L"a:extracted",
                                                 L"a:deleted", L"b:extracted"}));
  list.Clear();  // frees without notifications
  Fill(other, {L"x"});
  list.InsertList(nullptr, &other);  // also told when the list was empty
  EXPECT_EQ(list.Log.size(), 7u);
  EXPECT_EQ(list.Log.back(), L"x:listInserted");
}

TEST_F(LinkList, DestroyingAListFreesItsNodesAndNestedLists) {
  {
    TLinkList outer;
    Fill(outer, {L"a", L"b"});
    auto inner = std::make_unique<TLinkList>();
    Fill(*inner, {L"c", L"d", L"e"});
    TLinkList* innerList = outer.Add(std::move(inner));
    EXPECT_EQ(innerList->Owner(), &outer);
    EXPECT_EQ(gLiveNodes, 5);
  }
  // TearDown checks that all five are gone
}

// ---------------------------------------------------------------------------------------------
// Sort

TEST_F(LinkList, SortPutsEqualKeysInReverseOrder) {
  TRecordingList list;
  Fill(list, {L"b", L"A", L"a", L"c"});  // ids 0..3
  list.Log.clear();
  list.Sort();
  std::vector<int> ids;
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);) ids.push_back(AsKey(p)->Id);
  EXPECT_EQ(Keys(list), L"a A b c");
  EXPECT_EQ(ids, (std::vector<int>{2, 1, 0, 3}));
  EXPECT_EQ(list.Count(), 4);
  EXPECT_TRUE(ListIsConsistent(list));
  // Every node the merges moved into the list (all but the former first, "b") was announced once.
  std::vector<std::wstring> log = list.Log;
  std::sort(log.begin(), log.end());
  EXPECT_EQ(log, (std::vector<std::wstring>{L"A:inserted", L"a:inserted", L"c:inserted"}));
}

TEST_F(LinkList, SortOfNoneOrOneNodeChangesNothing) {
  TRecordingList list;
  list.Sort();
  EXPECT_TRUE(list.IsEmpty());
  Fill(list, {L"a"});
  list.Log.clear();
  list.Sort();
  EXPECT_EQ(Keys(list), L"a");
  EXPECT_TRUE(list.Log.empty());
  EXPECT_TRUE(ListIsConsistent(list));
}

TEST_F(LinkList, SortOfRandomKeysRelinksTheNodesInLogLinearComparisons) {
  constexpr int kNodes = 5000;
  std::mt19937 random(4711);
  TLinkList list;
  std::vector<const TListNode*> before;
  std::vector<std::pair<int, int>> expected;  // (key, id)
  for (int i = 0; i < kNodes; ++i) {
    const int key = static_cast<int>(random() % 100);  // many equal keys
    before.push_back(list.Add(std::make_unique<TKeyNode>(L"", key * kNodes + i)));
    expected.emplace_back(key, i);
  }
  // Expected: ascending keys, equal keys in reverse of their order before the sort.
  std::stable_sort(expected.begin(), expected.end(), [](auto& x, auto& y) {
    return x.first < y.first || (x.first == y.first && x.second > y.second);
  });
  long comparisons = 0;
  list.Sort([&](const TListNode* a, const TListNode* b) {
    ++comparisons;
    return AsKey(a)->Id / kNodes - AsKey(b)->Id / kNodes;
  });
  ASSERT_TRUE(ListIsConsistent(list));
  std::vector<std::pair<int, int>> actual;
  std::vector<const TListNode*> after;
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);) {
    actual.emplace_back(AsKey(p)->Id / kNodes, AsKey(p)->Id % kNodes);
    after.push_back(p);
  }
  EXPECT_EQ(actual, expected);
  // The same node objects, relinked rather than copied.
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, before);
  // A merge sort needs at most n * ceil(log2 n) comparisons (13 for 5000 nodes).
  EXPECT_LE(comparisons, long(kNodes) * 13);
}

TEST_F(LinkList, AComparisonThatRaisesLeavesTheListWhole) {
  TLinkList list;
  for (int i = 0; i < 100; ++i) list.Add(std::make_unique<TKeyNode>(std::to_wstring(i % 7), i));
  for (int failAt : {1, 50, 300}) {
    SCOPED_TRACE(failAt);
    int calls = 0;
    EXPECT_THROW(list.Sort([&](const TListNode* a, const TListNode* b) {
      if (++calls == failAt) throw std::runtime_error("compare failed");
      return AsKey(a)->Id - AsKey(b)->Id;
    }),
                 std::runtime_error);
    ASSERT_TRUE(ListIsConsistent(list));
    EXPECT_EQ(list.Count(), 100);
  }
  list.Sort();  // the list still works
  EXPECT_TRUE(ListIsConsistent(list));
}

TEST_F(LinkList, ChangingTheListFromAComparisonIsRefused) {
  TLinkList list;
  Fill(list, {L"c", L"b", L"a"});
  EXPECT_THROW(list.Sort([&](const TListNode*, const TListNode*) {
    list.Add(std::make_unique<TKeyNode>(L"new"));
    return 0;
  }),
               EListError);
  EXPECT_TRUE(ListIsConsistent(list));
  EXPECT_EQ(list.Count(), 3);
}

TEST_F(LinkList, CompareIsCaseInsensitiveAndFollowsTheLocale) {
  TLinkList list;
  TKeyNode lowerA(L"a"), upperB(L"B"), upperAbc(L"ABC"), lowerAbc(L"abc"), apfel(L"\u00C4pfel"), birne(L"Birne");
  EXPECT_LT(list.Compare(&lowerA, &upperB), 0);  // an ordinal comparison would put "B" first
  EXPECT_GT(list.Compare(&upperB, &lowerA), 0);
  EXPECT_EQ(list.Compare(&upperAbc, &lowerAbc), 0);
  EXPECT_LT(list.Compare(&apfel, &birne), 0);  // "Ä" sorts with "A", not after "z"
  TTextNode t1(L"x"), t2(L"y");                // TTextNode has no sort key
  EXPECT_EQ(list.Compare(&t1, &t2), 0);
}

// ---------------------------------------------------------------------------------------------
// Stack and text node

TEST_F(LinkList, StackPopsInReverseOrderOfPushing) {
  TStack stack;
  EXPECT_EQ(stack.Pop(), nullptr);
  TTextNode* pushed = stack.Push(std::make_unique<TTextNode>(L"one"));
  stack.Push(std::make_unique<TTextNode>(L"two", taCenter));
  stack.Push(std::make_unique<TTextNode>(L"three", taRightJustify));
  EXPECT_EQ(pushed->Owner(), &stack);
  EXPECT_TRUE(ListIsConsistent(stack));
  std::vector<std::wstring> texts;
  std::vector<TAlignment> aligns;
  while (std::unique_ptr<TListNode> top = stack.Pop()) {
    EXPECT_EQ(top->Owner(), nullptr);
    auto* text = static_cast<TTextNode*>(top.get());
    texts.push_back(text->Text);
    aligns.push_back(text->Align);
    EXPECT_TRUE(ListIsConsistent(stack));
  }
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"three", L"two", L"one"}));
  EXPECT_EQ(aligns, (std::vector<TAlignment>{taRightJustify, taCenter, taLeftJustify}));
  EXPECT_TRUE(stack.IsEmpty());
}

TEST_F(LinkList, TextNodeDefaults) {
  TTextNode node;
  EXPECT_EQ(node.Text, L"");
  EXPECT_EQ(node.Align, taLeftJustify);
  EXPECT_EQ(node.SortKey(), L"");
}

// ---------------------------------------------------------------------------------------------
// Misuse that must neither corrupt a list nor leak or free a node twice

TEST_F(LinkList, InsertingANodeOfAnotherListMovesIt) {
  TRecordingList list, other;
  Fill(list, {L"a"});
  Fill(other, {L"x", L"y"});
  TListNode* x = other.First();
  other.Log.clear();
  list.Add(std::unique_ptr<TListNode>(x));  // a second owner for a linked node
  EXPECT_EQ(Keys(list), L"a x");
  EXPECT_EQ(Keys(other), L"y");
  EXPECT_EQ(x->Owner(), &list);
  EXPECT_EQ(other.Log, (std::vector<std::wstring>{L"x:extracted"}));
  EXPECT_TRUE(ListIsConsistent(list));
  EXPECT_TRUE(ListIsConsistent(other));
}

TEST_F(LinkList, InsertingANodeAgainIntoItsOwnListMovesIt) {
  TLinkList list;
  Fill(list, {L"a", L"b", L"c"});
  list.Add(std::unique_ptr<TListNode>(list.First()));
  EXPECT_EQ(Keys(list), L"b c a");
  list.Insert(Find(list, L"b"), std::unique_ptr<TListNode>(Find(list, L"b")));  // after itself
  EXPECT_EQ(Keys(list), L"b c a");
  list.Ensort(std::unique_ptr<TListNode>(Find(list, L"a")));
  EXPECT_EQ(Keys(list), L"a b c");
  EXPECT_TRUE(ListIsConsistent(list));
}

TEST_F(LinkList, AListCannotBeInsertedIntoItselfOrItsChildren) {
  TLinkList outer;
  TLinkList* inner = outer.Add(std::make_unique<TLinkList>());
  Fill(*inner, {L"a"});
  EXPECT_THROW(outer.Add(std::unique_ptr<TListNode>(&outer)), EListError);
  EXPECT_THROW(inner->Add(std::unique_ptr<TListNode>(&outer)), EListError);
  EXPECT_THROW(inner->Ensort(std::unique_ptr<TListNode>(inner)), EListError);
  EXPECT_EQ(outer.Count(), 1);
  EXPECT_EQ(inner->Owner(), &outer);
  EXPECT_TRUE(ListIsConsistent(outer));
  EXPECT_TRUE(ListIsConsistent(*inner));
  // Nor can a list take in the nodes of a list it belongs to.
  EXPECT_THROW(inner->InsertList(nullptr, &outer), EListError);
  EXPECT_EQ(outer.Count(), 1);
  outer.InsertList(nullptr, &outer);  // into itself: nothing to move
  EXPECT_EQ(outer.Count(), 1);
  EXPECT_TRUE(ListIsConsistent(outer));
}

TEST_F(LinkList, InsertingAfterANodeOfAnotherListIsRefused) {
  TLinkList list, other;
  Fill(list, {L"a"});
  Fill(other, {L"x"});
  EXPECT_THROW(list.Insert(other.First(), std::make_unique<TKeyNode>(L"new")), EListError);  // freed
  EXPECT_THROW(list.InsertList(other.First(), &other), EListError);
  EXPECT_EQ(Keys(list), L"a");
  EXPECT_EQ(Keys(other), L"x");
  EXPECT_TRUE(ListIsConsistent(list));
  EXPECT_TRUE(ListIsConsistent(other));
}

TEST_F(LinkList, ExtractDeleteAndSwapIgnoreNodesOfAnotherList) {
  TLinkList list, other;
  Fill(list, {L"a", L"b"});
  Fill(other, {L"x", L"y"});
  EXPECT_EQ(list.Extract(other.First()), nullptr);
  list.Delete(other.First());
  list.Swap(list.First(), other.First());
  TListNode* p = other.First();
  EXPECT_EQ(list.ScanExtract(p), nullptr);
  list.ScanDelete(p);
  EXPECT_EQ(p, other.First());
  EXPECT_EQ(list.Extract(nullptr), nullptr);
  list.Delete(nullptr);
  list.Swap(nullptr, list.First());
  EXPECT_EQ(Keys(list), L"a b");
  EXPECT_EQ(Keys(other), L"x y");
  EXPECT_TRUE(ListIsConsistent(list));
  EXPECT_TRUE(ListIsConsistent(other));
}

TEST_F(LinkList, ScanDeleteBeforeTheFirstScanDoesNothing) {
  TLinkList list;
  Fill(list, {L"a"});
  TListNode* p = TLinkList::StartScan();
  list.ScanDelete(p);
  EXPECT_EQ(list.ScanExtract(p), nullptr);
  EXPECT_EQ(list.Count(), 1);
}

TEST_F(LinkList, AScanWhosePositionWasExtractedEnds) {
  TLinkList list;
  Fill(list, {L"a", L"b", L"c"});
  int steps = 0;
  std::unique_ptr<TListNode> taken;
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p) && steps < 10; ++steps)
    if (!taken) taken = list.Extract(p);  // not ScanExtract: the position leaves the list
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(Keys(list), L"b c");
}

TEST_F(LinkList, FreeingALinkedNodeUnlinksIt) {
  TRecordingList list;
  Fill(list, {L"a", L"b", L"c"});
  list.Log.clear();
  delete Find(list, L"b");
  EXPECT_EQ(Keys(list), L"a c");
  EXPECT_TRUE(list.Log.empty());
  EXPECT_TRUE(ListIsConsistent(list));
}

}  // namespace
