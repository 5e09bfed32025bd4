// Sorting, sorted insertion and scanning of the intrusive list, and parsing a command line.
// Each sort run first gives the nodes new random keys (the "Rekey" rows measure that part
// alone), so every run sorts a shuffled list of the same nodes.
#include "base/CliParser.h"
#include "base/LinkList.h"
#include "bench/micro/MicroBench.h"

#include <random>
#include <string>

namespace {

class TIntNode : public TListNode {
public:
  std::uint32_t Key = 0;
};

class TTextKeyNode : public TListNode {
public:
  std::wstring Key;
  std::wstring SortKey() const override { return Key; }
};

std::int32_t CompareIntKeys(const TListNode* a, const TListNode* b) {
  const std::uint32_t x = static_cast<const TIntNode*>(a)->Key, y = static_cast<const TIntNode*>(b)->Key;
  return x < y ? -1 : (x > y ? 1 : 0);
}

// A list of Count nodes, made once per node type and size.
template <class TNode, int Count>
TLinkList& NodeList() {
  static TLinkList list;
  if (list.IsEmpty())
    for (int i = 0; i < Count; ++i) list.Add(std::make_unique<TNode>());
  return list;
}

void RekeyInts(TLinkList& list) {
  std::mt19937 random(42);
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);) static_cast<TIntNode*>(p)->Key = random();
}

// Keys of six letters: short enough to stay in the string object itself.
void RekeyTexts(TLinkList& list) {
  std::mt19937 random(42);
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);) {
    std::wstring& key = static_cast<TTextKeyNode*>(p)->Key;
    key.resize(6);
    for (wchar_t& c : key) c = static_cast<wchar_t>((random() & 1 ? L'a' : L'A') + random() % 26);
  }
}

template <int Count>
std::int64_t SortInts() {
  TLinkList& list = NodeList<TIntNode, Count>();
  RekeyInts(list);
  list.Sort(CompareIntKeys);
  KeepResult(list.First());
  return Count;
}

template <int Count>
std::int64_t SortTexts() {
  TLinkList& list = NodeList<TTextKeyNode, Count>();
  RekeyTexts(list);
  list.Sort();
  KeepResult(list.First());
  return Count;
}

}  // namespace

MICRO_BENCH("LinkList Rekey 1,000,000 int nodes (baseline)") {
  RekeyInts(NodeList<TIntNode, 1000000>());
  return 1000000;
}
MICRO_BENCH("LinkList Sort 250,000 int nodes") { return SortInts<250000>(); }
MICRO_BENCH("LinkList Sort 1,000,000 int nodes") { return SortInts<1000000>(); }

MICRO_BENCH("LinkList Rekey 250,000 text nodes (baseline)") {
  RekeyTexts(NodeList<TTextKeyNode, 250000>());
  return 250000;
}
MICRO_BENCH("LinkList Sort 62,500 text nodes, Compare") { return SortTexts<62500>(); }
MICRO_BENCH("LinkList Sort 250,000 text nodes, Compare") { return SortTexts<250000>(); }
MICRO_BENCH("LinkList Sort 1,000,000 text nodes, Compare") { return SortTexts<1000000>(); }

MICRO_BENCH("LinkList Ensort 2,000 random int nodes") {
  TLinkList list;
  std::mt19937 random(7);
  for (int i = 0; i < 2000; ++i) {
    auto node = std::make_unique<TIntNode>();
    node->Key = random();
    list.Ensort(std::move(node), CompareIntKeys);
  }
  return 2000;
}

MICRO_BENCH("LinkList Scan 1,000,000 nodes") {
  TLinkList& list = NodeList<TIntNode, 1000000>();
  std::uint32_t sum = 0;
  for (TListNode* p = TLinkList::StartScan(); list.Scan(p);) sum += static_cast<TIntNode*>(p)->Key;
  KeepResult(sum);
  return list.Count();
}

MICRO_BENCH("CliParser Parse a 10-part command line") {
  TCliParser parser;
  parser.Parse(L"\"C:\\Program Files\\Tavrino\\Tavrino.exe\" /Port:6702 /p:8600 -v --log:\"C:\\x y\\z.txt\" "
               L"+debug a b \"c d\" /Flag:Ja",
               {otSlash, otDash, otDoubleDash, otPlus}, ocUpperCase);
  KeepResult(parser.Count());
  return 1;
}
