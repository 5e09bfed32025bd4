#include "base/LinkList.h"

#include "base/Win.h"

#include <exception>
#include <utility>

// ---------------------------------------------------------------------------------------------
// TListNode

TListNode::~TListNode() {
  if (!FOwner) return;
  // A sort has the links in pieces: freeing a node from a comparison cannot be repaired.
  if (FOwner->FSorting) std::terminate();
  FOwner->Unlink(this);
}

std::wstring TListNode::SortKey() const { return {}; }

// ---------------------------------------------------------------------------------------------
// Sorting: a top-down merge sort on the FNext links. The first half of each run is sorted
// before the second, and at every merge a node of the second half goes in front of an equal
// node of the first half, so equal nodes end up reversed. While it runs the nodes form
// null-terminated chains; on an exception from the comparison every helper gives its nodes
// back as one chain, so the list can be linked up again.

class TListSorter {
public:
  // Takes Count nodes from the front of the chain at Cursor and returns them sorted.
  static TListNode* SortRun(std::int32_t Count, TListNode*& Cursor, const TCompareFunc& Cmp) {
    if (Count == 1) {
      TListNode* node = Cursor;
      Cursor = node->FNext;
      node->FNext = nullptr;
      return node;
    }
    const std::int32_t half = Count / 2;
    TListNode* first = SortRun(half, Cursor, Cmp);
    TListNode* second;
    try {
      second = SortRun(Count - half, Cursor, Cmp);
    } catch (...) {
      Cursor = Concat(first, Cursor);
      throw;
    }
    return Merge(first, second, Cursor, Cmp);
  }

  // On an exception the merged part and both rests go back in front of Cursor.
  static TListNode* Merge(TListNode* A, TListNode* B, TListNode*& Cursor, const TCompareFunc& Cmp) {
    TListNode* merged = nullptr;
    TListNode** tail = &merged;
    try {
      while (A && B) {
        if (Cmp(A, B) < 0) {
          *tail = A;
          tail = &A->FNext;
          A = A->FNext;
        } else {
          *tail = B;
          tail = &B->FNext;
          B = B->FNext;
        }
      }
    } catch (...) {
      *tail = A;
      Cursor = Concat(merged, Concat(B, Cursor));
      throw;
    }
    *tail = A ? A : B;
    return merged;
  }

  static TListNode* Concat(TListNode* Front, TListNode* Back) noexcept {
    if (!Front) return Back;
    TListNode* last = Front;
    while (last->FNext) last = last->FNext;
    last->FNext = Back;
    return Front;
  }
};

// ---------------------------------------------------------------------------------------------
// TLinkList

TLinkList::~TLinkList() { Clear(); }

void TLinkList::CheckNotSorting() const {
  if (FSorting) throw EListError(L"TLinkList: the list must not change while it is being sorted");
}

std::int32_t TLinkList::CountNodes() {
  std::int32_t n = 0;
  for (TListNode* node = FStartNode; node; node = node->FNext) ++n;
  FCount = n;
  return n;
}

TListNode* TLinkList::At(std::int32_t Index0) const {
  if (Index0 < 0 || Index0 >= FCount) return nullptr;
  TListNode* node = FStartNode;
  while (node && Index0-- > 0) node = node->FNext;
  return node;
}

std::int32_t TLinkList::IndexOf(const TListNode* Node) const {
  if (!Node || Node->FOwner != this) return -1;
  std::int32_t index = 0;
  for (const TListNode* node = FStartNode; node; node = node->FNext, ++index)
    if (node == Node) return index;
  return -1;
}

void TLinkList::Link(TListNode* InsertAfterNode, TListNode* Node) noexcept {
  if (!InsertAfterNode) {
    Node->FNext = FStartNode;
    Node->FPrev = nullptr;
    FStartNode = Node;
  } else {
    Node->FNext = InsertAfterNode->FNext;
    Node->FPrev = InsertAfterNode;
    InsertAfterNode->FNext = Node;
  }
  if (Node->FNext)
    Node->FNext->FPrev = Node;
  else
    FEndNode = Node;
  Node->FOwner = this;
  ++FCount;
}

void TLinkList::Unlink(TListNode* Node) noexcept {
  if (Node == FStartNode)
    FStartNode = Node->FNext;
  else
    Node->FPrev->FNext = Node->FNext;
  if (Node == FEndNode)
    FEndNode = Node->FPrev;
  else
    Node->FNext->FPrev = Node->FPrev;
  Node->FNext = nullptr;
  Node->FPrev = nullptr;
  Node->FOwner = nullptr;
  --FCount;
}

void TLinkList::PrepareToLink(std::unique_ptr<TListNode>& Node, const TListNode* InsertAfterNode) {
  CheckNotSorting();
  for (const TLinkList* list = this; list; list = list->FOwner)
    if (list == Node.get()) {
      Node.release();  // owned by whoever holds this list or its parents
      throw EListError(L"TLinkList.Insert: a list cannot contain itself");
    }
  // A node still linked elsewhere is moved; when it cannot be, it stays its list's to free.
  TLinkList* oldOwner = Node->FOwner;
  if (InsertAfterNode && InsertAfterNode->FOwner != this) {
    if (oldOwner) Node.release();
    throw EListError(L"TLinkList.Insert: the node to insert after is not in this list");
  }
  if (oldOwner) {
    if (oldOwner->FSorting) {
      Node.release();
      oldOwner->CheckNotSorting();  // raises
    }
    oldOwner->Extract(Node.get()).release();  // the caller's pointer is now the only owner
  }
}

TListNode* TLinkList::InsertNode(TListNode* InsertAfterNode, std::unique_ptr<TListNode> Node) {
  if (!Node) return nullptr;
  if (Node.get() == InsertAfterNode && Node->FOwner == this) {
    CheckNotSorting();
    return Node.release();  // after itself: it stays where it is
  }
  PrepareToLink(Node, InsertAfterNode);
  TListNode* node = Node.release();
  Link(InsertAfterNode, node);
  Notify(node, lnInserted);
  return node;
}

TListNode* TLinkList::EnsortNode(std::unique_ptr<TListNode> Node, const TCompareFunc* CompareFunc) {
  if (!Node) return nullptr;
  PrepareToLink(Node, nullptr);
  TListNode* after = FEndNode;
  while (after && (CompareFunc ? (*CompareFunc)(after, Node.get()) : Compare(after, Node.get())) > 0)
    after = after->FPrev;
  TListNode* node = Node.release();
  Link(after, node);
  Notify(node, lnInserted);
  return node;
}

void TLinkList::InsertList(TListNode* InsertAfter, TLinkList* TheList) {
  if (!TheList || TheList == this || TheList->IsEmpty()) return;
  CheckNotSorting();
  TheList->CheckNotSorting();
  if (InsertAfter && InsertAfter->FOwner != this)
    throw EListError(L"TLinkList.InsertList: the node to insert after is not in this list");
  for (const TLinkList* list = this; list; list = list->FOwner)
    if (list->FOwner == TheList) throw EListError(L"TLinkList.InsertList: a list cannot contain itself");

  TListNode* first = std::exchange(TheList->FStartNode, nullptr);
  TListNode* last = std::exchange(TheList->FEndNode, nullptr);
  const std::int32_t count = std::exchange(TheList->FCount, 0);
  for (TListNode* node = first; node; node = node->FNext) node->FOwner = this;

  if (IsEmpty()) {
    FStartNode = first;
    FEndNode = last;
  } else if (InsertAfter) {
    if (InsertAfter == FEndNode)
      FEndNode = last;
    else
      InsertAfter->FNext->FPrev = last;
    last->FNext = InsertAfter->FNext;
    first->FPrev = InsertAfter;
    InsertAfter->FNext = first;
  } else {
    first->FPrev = nullptr;
    last->FNext = FStartNode;
    FStartNode->FPrev = last;
    FStartNode = first;
  }
  FCount += count;
  // Also when this list was empty, so a list that tracks its members sees every way in.
  Notify(first, lnListInserted);
}

std::unique_ptr<TListNode> TLinkList::Extract(TListNode* Node) {
  if (!Node || Node->FOwner != this) return nullptr;
  CheckNotSorting();
  Unlink(Node);
  std::unique_ptr<TListNode> extracted(Node);
  Notify(Node, lnExtracted);
  return extracted;
}

void TLinkList::Delete(TListNode* Node) {
  std::unique_ptr<TListNode> node = Extract(Node);
  if (node) Notify(node.get(), lnDeleted);
}

void TLinkList::Clear() noexcept {
  // Detach the whole chain first: a node's destructor that looks at this list sees it empty.
  TListNode* node = std::exchange(FStartNode, nullptr);
  FEndNode = nullptr;
  FCount = 0;
  while (node) {
    TListNode* next = node->FNext;
    node->FOwner = nullptr;
    node->FNext = nullptr;
    node->FPrev = nullptr;
    delete node;
    node = next;
  }
}

void TLinkList::DeleteDuplicates() {
  for (TListNode* a = FStartNode; a; a = a->FNext) {
    TListNode* prev = a;
    for (TListNode* b = a->FNext; b;) {
      if (Compare(a, b) == 0) {
        Delete(b);
        b = prev->FNext;
      } else {
        prev = b;
        b = b->FNext;
      }
    }
  }
}

void TLinkList::Swap(TListNode* Node1, TListNode* Node2) {
  if (!Node1 || !Node2 || Node1 == Node2 || Node1->FOwner != this || Node2->FOwner != this) return;
  CheckNotSorting();
  if (Node2->FNext == Node1) std::swap(Node1, Node2);  // adjacent: let Node1 be the front one
  TListNode* prev1 = Node1->FPrev;
  TListNode* next2 = Node2->FNext;
  if (Node1->FNext == Node2) {
    Node2->FPrev = prev1;
    Node2->FNext = Node1;
    Node1->FPrev = Node2;
    Node1->FNext = next2;
  } else {
    TListNode* next1 = Node1->FNext;
    TListNode* prev2 = Node2->FPrev;
    Node1->FPrev = prev2;
    Node1->FNext = next2;
    Node2->FPrev = prev1;
    Node2->FNext = next1;
  }
  // The neighbours (and the ends) follow the nodes' new links.
  for (TListNode* node : {Node1, Node2}) {
    if (node->FPrev)
      node->FPrev->FNext = node;
    else
      FStartNode = node;
    if (node->FNext)
      node->FNext->FPrev = node;
    else
      FEndNode = node;
  }
}

void TLinkList::Sort() {
  SortWith([this](const TListNode* Node1, const TListNode* Node2) { return Compare(Node1, Node2); });
}

void TLinkList::Sort(const TCompareFunc& CompareFunc) { SortWith(CompareFunc); }

void TLinkList::SortWith(const TCompareFunc& CompareFunc) {
  CheckNotSorting();
  if (FCount < 2 || !CompareFunc) return;
  TListNode* const oldFirst = FStartNode;
  TListNode* rest = FStartNode;
  TListNode* chain;
  FSorting = true;
  try {
    chain = TListSorter::SortRun(FCount, rest, CompareFunc);
  } catch (...) {
    // Every node is back in the one chain "rest": link the list up again, in that order.
    FSorting = false;
    RelinkFrom(rest);
    throw;
  }
  FSorting = false;
  RelinkFrom(chain);
  // Every node but the one that was first has been moved into this list by a merge.
  for (TListNode* node = FStartNode; node; node = node->FNext)
    if (node != oldFirst) Notify(node, lnInserted);
}

void TLinkList::RelinkFrom(TListNode* Chain) noexcept {
  TListNode* prev = nullptr;
  for (TListNode* node = Chain; node; node = node->FNext) {
    node->FPrev = prev;
    prev = node;
  }
  FStartNode = Chain;
  FEndNode = prev;
}

void TLinkList::Revert() {
  CheckNotSorting();
  for (TListNode* node = FStartNode; node; node = node->FPrev) std::swap(node->FNext, node->FPrev);
  std::swap(FStartNode, FEndNode);
}

bool TLinkList::Scan(TListNode*& ScanNode) const {
  if (!ScanNode) {
    ScanNode = FStartNode;
    return ScanNode != nullptr;
  }
  if (ScanNode->FOwner != this || ScanNode == FEndNode) return false;
  ScanNode = ScanNode->FNext;
  return true;
}

bool TLinkList::Scan(TListNode*& ScanNode, std::int32_t& Index0) const {
  const bool fromStart = ScanNode == nullptr;
  if (!Scan(ScanNode)) return false;
  Index0 = fromStart ? 0 : Index0 + 1;
  return true;
}

bool TLinkList::Scan(const TLinkList* List, TListNode*& ScanNode) {
  if (!List) throw EListError(L"TLinkList.Scan: Self is nil");
  return List->Scan(ScanNode);
}

std::unique_ptr<TListNode> TLinkList::ScanExtract(TListNode*& ScanNode) {
  if (!ScanNode || ScanNode->FOwner != this) return nullptr;
  CheckNotSorting();
  TListNode* node = std::exchange(ScanNode, ScanNode->FPrev);
  return Extract(node);
}

void TLinkList::ScanDelete(TListNode*& ScanNode) {
  std::unique_ptr<TListNode> node = ScanExtract(ScanNode);
  if (node) Notify(node.get(), lnDeleted);
}

std::int32_t TLinkList::Compare(const TListNode* Node1, const TListNode* Node2) const {
  const std::wstring key1 = Node1 ? Node1->SortKey() : std::wstring();
  const std::wstring key2 = Node2 ? Node2->SortKey() : std::wstring();
  const int result = ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, key1.data(),
                                       static_cast<int>(key1.size()), key2.data(),
                                       static_cast<int>(key2.size()), nullptr, nullptr, 0);
  if (result == 0) return key1.compare(key2) < 0 ? -1 : (key1 == key2 ? 0 : 1);  // invalid input
  return result - CSTR_EQUAL;
}

void TLinkList::Notify(TListNode* /*Node*/, TListNotification /*Action*/) {}
