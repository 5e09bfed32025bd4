#pragma once
// The library's general container: an intrusive, doubly linked list. Stored objects derive from
// TListNode and are the nodes themselves; a list is a node too, so lists nest.
//
// Ownership: a list owns the nodes linked into it. Linking takes a std::unique_ptr and returns
// a plain, non-owning pointer to the node; Extract, ScanExtract and TStack::Pop hand the node
// back as a std::unique_ptr. Delete, ScanDelete, DeleteDuplicates, Clear and the destructor
// free nodes.
//
// Iteration keeps a node pointer as the scan position and lets the list advance it, so the
// current node may be extracted or deleted in the middle of a scan:
//   for (TListNode* p = TLinkList::StartScan(); list.Scan(p);)
//     if (Unwanted(p)) list.ScanDelete(p);  // the next Scan delivers the node that followed
#include "base/Exception.h"
#include "base/Strings.h"  // TAlignment of the text node

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TLinkList;

// What Notify is told after a structural change.
enum TListNotification : std::uint8_t {
  lnInserted,      // a node was linked in
  lnListInserted,  // the nodes of another list were moved in; the node passed is the first one
  lnExtracted,     // a node was unlinked and handed back
  lnDeleted        // a node was unlinked and is about to be freed
};

// A list operation used against the list's rules (a list inside itself, a position in another
// list, a change while the list is being sorted).
class EListError : public Exception {
public:
  using Exception::Exception;
};

class TListNode {
public:
  TListNode() noexcept = default;
  TListNode(const TListNode&) = delete;
  TListNode& operator=(const TListNode&) = delete;
  // A node freed while it is still linked takes itself out of its list first (without
  // notification), so no list keeps a link to freed memory.
  virtual ~TListNode();

  TListNode* Next() const noexcept { return FNext; }
  TListNode* Prev() const noexcept { return FPrev; }
  TLinkList* Owner() const noexcept { return FOwner; }

  // The text by which a list's default Compare orders this node; empty here.
  virtual std::wstring SortKey() const;

private:
  friend class TLinkList;
  friend class TListSorter;

  TListNode* FNext = nullptr;
  TListNode* FPrev = nullptr;
  TLinkList* FOwner = nullptr;
};

// Ordering of two nodes: negative when Node1 sorts before Node2, zero when equal, positive after.
using TCompareFunc = std::function<int(const TListNode* node1, const TListNode* node2)>;

template <class T>
concept TListNodeType = std::derived_from<T, TListNode>;

class TLinkList : public TListNode {
public:
  TLinkList() noexcept = default;
  // Frees every node still linked.
  ~TLinkList() override;

  TListNode* First() const noexcept { return FStartNode; }
  TListNode* Last() const noexcept { return FEndNode; }
  std::int32_t Count() const noexcept { return FCount; }
  bool IsEmpty() const noexcept { return FStartNode == nullptr; }
  bool IsFilled() const noexcept { return FStartNode != nullptr; }

  // Walks the chain, stores the number of nodes found as the count and returns it.
  std::int32_t CountNodes();
  // The node at a 0-based position; none outside 0..Count() - 1.
  TListNode* At(std::int32_t index0) const;
  // 0-based position of the node, or -1 when it is not in this list.
  std::int32_t IndexOf(const TListNode* node) const;
  bool HasNode(const TListNode* node) const { return IndexOf(node) >= 0; }

  // Linking takes the node over and returns it (none when Node is empty). A node that is
  // still linked into a list (this one or another) is moved: unlinked there first. A list
  // cannot be linked into itself or into a list it contains, and InsertAfterNode must be a
  // node of this list: both raise EListError.
  template <TListNodeType T>
  T* Add(std::unique_ptr<T> node) {
    return static_cast<T*>(InsertNode(FEndNode, std::move(node)));
  }
  template <TListNodeType T>
  T* InsertFirst(std::unique_ptr<T> node) {
    return static_cast<T*>(InsertNode(nullptr, std::move(node)));
  }
  // Links Node after InsertAfterNode, or at the front when InsertAfterNode is none.
  template <TListNodeType T>
  T* Insert(TListNode* insertAfterNode, std::unique_ptr<T> node) {
    return static_cast<T*>(InsertNode(insertAfterNode, std::move(node)));
  }
  // Sorted insertion after the last node that compares lower or equal (with Compare, or the
  // given function).
  template <TListNodeType T>
  T* Ensort(std::unique_ptr<T> node) {
    return static_cast<T*>(EnsortNode(std::move(node), nullptr));
  }
  template <TListNodeType T>
  T* Ensort(std::unique_ptr<T> node, const TCompareFunc& compareFunc) {
    return static_cast<T*>(EnsortNode(std::move(node), &compareFunc));
  }

  // Moves every node of TheList after InsertAfter (front when none); TheList is left empty.
  void InsertList(TListNode* insertAfter, TLinkList* theList);
  // Unlinks a node of this list and hands it over; none (and no change) for a node that is
  // not in this list.
  std::unique_ptr<TListNode> Extract(TListNode* node);
  // Extracts and frees a node of this list; nothing for a node that is not in this list.
  void Delete(TListNode* node);
  // Frees every node, without notifications.
  void Clear() noexcept;
  // Deletes every node that Compare finds equal to an earlier one.
  void DeleteDuplicates();
  // Exchanges the places of two nodes of this list; nothing when either is not in it.
  void Swap(TListNode* node1, TListNode* node2);
  // Merge sort on the links, O(n log n); equal nodes end up in the reverse of their order.
  void Sort();
  void Sort(const TCompareFunc& compareFunc);
  // Reverses the order of the nodes.
  void Revert();

  static void StartScan(TListNode*& scanNode) noexcept { scanNode = nullptr; }
  static TListNode* StartScan() noexcept { return nullptr; }
  // Advances ScanNode to the next node; false at the end, and for a position that is no
  // longer a node of this list.
  bool Scan(TListNode*& scanNode) const;
  // As Scan, and keeps Index0 the 0-based position of ScanNode.
  bool Scan(TListNode*& scanNode, std::int32_t& index0) const;
  // Scan through a list reference that may be missing: raises EListError then.
  static bool Scan(const TLinkList* list, TListNode*& scanNode);
  // Extracts (or deletes) the scan's current node and steps the position back, so the next
  // Scan delivers the node that followed it. Nothing when ScanNode is not a node of this list.
  std::unique_ptr<TListNode> ScanExtract(TListNode*& scanNode);
  void ScanDelete(TListNode*& scanNode);

  // fallback ordering: the nodes' SortKey, case-insensitive with the user's locale rules.
  virtual std::int32_t Compare(const TListNode* node1, const TListNode* node2) const;

protected:
  // Called after each structural change; derived lists may track membership here.
  virtual void Notify(TListNode* node, TListNotification action);

private:
  friend class TListNode;
  friend class TListSorter;

  TListNode* InsertNode(TListNode* insertAfterNode, std::unique_ptr<TListNode> node);
  TListNode* EnsortNode(std::unique_ptr<TListNode> node, const TCompareFunc* compareFunc);
  void PrepareToLink(std::unique_ptr<TListNode>& node, const TListNode* insertAfterNode);
  void Link(TListNode* insertAfterNode, TListNode* node) noexcept;
  void Unlink(TListNode* node) noexcept;
  void SortWith(const TCompareFunc& compareFunc);
  // Sets the backward links and both ends from a chain of FNext links.
  void RelinkFrom(TListNode* chain) noexcept;
  void CheckNotSorting() const;

  TListNode* FStartNode = nullptr;
  TListNode* FEndNode = nullptr;
  std::int32_t FCount = 0;
  bool FSorting = false;  // the links are in pieces until Sort returns
};

// A stack on the list: the list's end is the top.
class TStack : public TLinkList {
public:
  template <TListNodeType T>
  T* Push(std::unique_ptr<T> element) {
    return Add(std::move(element));
  }
  // Extracts and returns the top node; none when the stack is empty.
  std::unique_ptr<TListNode> Pop() { return Extract(Last()); }
};

// A node that carries a text and its alignment.
class TTextNode : public TListNode {
public:
  TTextNode() = default;
  explicit TTextNode(std::wstring text, TAlignment align = taLeftJustify)
      : Text(std::move(text)), Align(align) {}

  std::wstring Text;
  TAlignment Align = taLeftJustify;
};
