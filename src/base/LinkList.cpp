#include "base/LinkList.h"

#include "base/Strings.h"

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
  static TListNode* SortRun(std::int32_t count, TListNode*& cursor, const TCompareFunc& cmp) {
    if (count == 1) {
      TListNode* node = cursor;
      cursor = node->FNext;
      node->FNext = nullptr;
      return node;
    }
    const std::int32_t half = count / 2;
    TListNode* first = SortRun(half, cursor, cmp);
    TListNode* second;
    try {
      second = SortRun(count - half, cursor, cmp);
    } catch (...) {
      cursor = Concat(first, cursor);
      throw;
    }
    return Merge(first, second, cursor, cmp);
  }

  // On an exception the merged part and both rests go back in front of Cursor.
  static TListNode* Merge(TListNode* a, TListNode* b, TListNode*& cursor, const TCompareFunc& cmp) {
    TListNode* merged = nullptr;
    TListNode** tail = &merged;
    try {
      while (a && b) {
        if (cmp(a, b) < 0) {
          *tail = a;
          tail = &a->FNext;
          a = a->FNext;
        } else {
          *tail = b;
          tail = &b->FNext;
          b = b->FNext;
        }
      }
    } catch (...) {
      *tail = a;
      cursor = Concat(merged, Concat(b, cursor));
      throw;
    }
    *tail = a ? a : b;
    return merged;
  }

  static TListNode* Concat(TListNode* front, TListNode* back) noexcept {
    if (!front) return back;
    TListNode* last = front;
    while (last->FNext) last = last->FNext;
    last->FNext = back;
    return front;
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

TListNode* TLinkList::At(std::int32_t index0) const {
  if (index0 < 0 || index0 >= FCount) return nullptr;
  TListNode* node = FStartNode;
  while (node && index0-- > 0) node = node->FNext;
  return node;
}

std::int32_t TLinkList::IndexOf(const TListNode* node) const {
  if (!node || node->FOwner != this) return -1;
  std::int32_t index = 0;
  for (const TListNode* at = FStartNode; at; at = at->FNext, ++index)
    if (at == node) return index;
  return -1;
}

void TLinkList::Link(TListNode* insertAfterNode, TListNode* node) noexcept {
  if (!insertAfterNode) {
    node->FNext = FStartNode;
    node->FPrev = nullptr;
    FStartNode = node;
  } else {
    node->FNext = insertAfterNode->FNext;
    node->FPrev = insertAfterNode;
    insertAfterNode->FNext = node;
  }
  if (node->FNext)
    node->FNext->FPrev = node;
  else
    FEndNode = node;
  node->FOwner = this;
  ++FCount;
}

void TLinkList::Unlink(TListNode* node) noexcept {
  if (node == FStartNode)
    FStartNode = node->FNext;
  else
    node->FPrev->FNext = node->FNext;
  if (node == FEndNode)
    FEndNode = node->FPrev;
  else
    node->FNext->FPrev = node->FPrev;
  node->FNext = nullptr;
  node->FPrev = nullptr;
  node->FOwner = nullptr;
  --FCount;
}

void TLinkList::PrepareToLink(std::unique_ptr<TListNode>& node, const TListNode* insertAfterNode) {
  CheckNotSorting();
  for (const TLinkList* list = this; list; list = list->FOwner)
    if (list == node.get()) {
      node.release();  // owned by whoever holds this list or its parents
      throw EListError(L"TLinkList.Insert: a list cannot contain itself");
    }
  // A node still linked elsewhere is moved; when it cannot be, it stays its list's to free.
  TLinkList* oldOwner = node->FOwner;
  if (insertAfterNode && insertAfterNode->FOwner != this) {
    if (oldOwner) node.release();
    throw EListError(L"TLinkList.Insert: the node to insert after is not in this list");
  }
  if (oldOwner) {
    if (oldOwner->FSorting) {
      node.release();
      oldOwner->CheckNotSorting();  // raises
    }
    oldOwner->Extract(node.get()).release();  // the caller's pointer is now the only owner
  }
}

TListNode* TLinkList::InsertNode(TListNode* insertAfterNode, std::unique_ptr<TListNode> node) {
  if (!node) return nullptr;
  if (node.get() == insertAfterNode && node->FOwner == this) {
    CheckNotSorting();
    return node.release();  // after itself: it stays where it is
  }
  PrepareToLink(node, insertAfterNode);
  TListNode* inserted = node.release();
  Link(insertAfterNode, inserted);
  Notify(inserted, lnInserted);
  return inserted;
}

TListNode* TLinkList::EnsortNode(std::unique_ptr<TListNode> node, const TCompareFunc* compareFunc) {
  if (!node) return nullptr;
  PrepareToLink(node, nullptr);
  TListNode* after = FEndNode;
  while (after && (compareFunc ? (*compareFunc)(after, node.get()) : Compare(after, node.get())) > 0)
    after = after->FPrev;
  TListNode* inserted = node.release();
  Link(after, inserted);
  Notify(inserted, lnInserted);
  return inserted;
}

void TLinkList::InsertList(TListNode* insertAfter, TLinkList* theList) {
  if (!theList || theList == this || theList->IsEmpty()) return;
  CheckNotSorting();
  theList->CheckNotSorting();
  if (insertAfter && insertAfter->FOwner != this)
    throw EListError(L"TLinkList.InsertList: the node to insert after is not in this list");
  for (const TLinkList* list = this; list; list = list->FOwner)
    if (list->FOwner == theList) throw EListError(L"TLinkList.InsertList: a list cannot contain itself");

  TListNode* first = std::exchange(theList->FStartNode, nullptr);
  TListNode* last = std::exchange(theList->FEndNode, nullptr);
  const std::int32_t count = std::exchange(theList->FCount, 0);
  for (TListNode* node = first; node; node = node->FNext) node->FOwner = this;

  if (IsEmpty()) {
    FStartNode = first;
    FEndNode = last;
  } else if (insertAfter) {
    if (insertAfter == FEndNode)
      FEndNode = last;
    else
      insertAfter->FNext->FPrev = last;
    last->FNext = insertAfter->FNext;
    first->FPrev = insertAfter;
    insertAfter->FNext = first;
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

std::unique_ptr<TListNode> TLinkList::Extract(TListNode* node) {
  if (!node || node->FOwner != this) return nullptr;
  CheckNotSorting();
  Unlink(node);
  std::unique_ptr<TListNode> extracted(node);
  Notify(node, lnExtracted);
  return extracted;
}

void TLinkList::Delete(TListNode* node) {
  std::unique_ptr<TListNode> extracted = Extract(node);
  if (extracted) Notify(extracted.get(), lnDeleted);
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

void TLinkList::Swap(TListNode* node1, TListNode* node2) {
  if (!node1 || !node2 || node1 == node2 || node1->FOwner != this || node2->FOwner != this) return;
  CheckNotSorting();
  if (node2->FNext == node1) std::swap(node1, node2);  // adjacent: let Node1 be the front one
  TListNode* prev1 = node1->FPrev;
  TListNode* next2 = node2->FNext;
  if (node1->FNext == node2) {
    node2->FPrev = prev1;
    node2->FNext = node1;
    node1->FPrev = node2;
    node1->FNext = next2;
  } else {
    TListNode* next1 = node1->FNext;
    TListNode* prev2 = node2->FPrev;
    node1->FPrev = prev2;
    node1->FNext = next2;
    node2->FPrev = prev1;
    node2->FNext = next1;
  }
  // The neighbours (and the ends) follow the nodes' new links.
  for (TListNode* node : {node1, node2}) {
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
  SortWith([this](const TListNode* node1, const TListNode* node2) { return Compare(node1, node2); });
}

void TLinkList::Sort(const TCompareFunc& compareFunc) { SortWith(compareFunc); }

void TLinkList::SortWith(const TCompareFunc& compareFunc) {
  CheckNotSorting();
  if (FCount < 2 || !compareFunc) return;
  TListNode* const oldFirst = FStartNode;
  TListNode* rest = FStartNode;
  TListNode* chain;
  FSorting = true;
  try {
    chain = TListSorter::SortRun(FCount, rest, compareFunc);
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

void TLinkList::RelinkFrom(TListNode* chain) noexcept {
  TListNode* prev = nullptr;
  for (TListNode* node = chain; node; node = node->FNext) {
    node->FPrev = prev;
    prev = node;
  }
  FStartNode = chain;
  FEndNode = prev;
}

void TLinkList::Revert() {
  CheckNotSorting();
  for (TListNode* node = FStartNode; node; node = node->FPrev) std::swap(node->FNext, node->FPrev);
  std::swap(FStartNode, FEndNode);
}

bool TLinkList::Scan(TListNode*& scanNode) const {
  if (!scanNode) {
    scanNode = FStartNode;
    return scanNode != nullptr;
  }
  if (scanNode->FOwner != this || scanNode == FEndNode) return false;
  scanNode = scanNode->FNext;
  return true;
}

bool TLinkList::Scan(TListNode*& scanNode, std::int32_t& index0) const {
  const bool fromStart = scanNode == nullptr;
  if (!Scan(scanNode)) return false;
  index0 = fromStart ? 0 : index0 + 1;
  return true;
}

bool TLinkList::Scan(const TLinkList* list, TListNode*& scanNode) {
  if (!list) throw EListError(L"TLinkList.Scan: Self is nil");
  return list->Scan(scanNode);
}

std::unique_ptr<TListNode> TLinkList::ScanExtract(TListNode*& scanNode) {
  if (!scanNode || scanNode->FOwner != this) return nullptr;
  CheckNotSorting();
  TListNode* node = std::exchange(scanNode, scanNode->FPrev);
  return Extract(node);
}

void TLinkList::ScanDelete(TListNode*& scanNode) {
  std::unique_ptr<TListNode> node = ScanExtract(scanNode);
  if (node) Notify(node.get(), lnDeleted);
}

std::int32_t TLinkList::Compare(const TListNode* node1, const TListNode* node2) const {
  const std::wstring key1 = node1 ? node1->SortKey() : std::wstring();
  const std::wstring key2 = node2 ? node2->SortKey() : std::wstring();
  return LocaleCompare(key1, key2, true);
}

void TLinkList::Notify(TListNode* /*Node*/, TListNotification /*Action*/) {}
