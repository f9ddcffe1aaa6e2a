// -----------------------------------------------------------------------------
// File: XmlCollectionBase.h
// -----------------------------------------------------------------------------
//
// The bases of every collection: the holders of repeated members (maxOccurs
// above 1). A collection is itself a bindable object: it writes its items as
// a run of sibling elements and reads such a run back.
//
//   CXmlCollectionBase    element name and namespace of the items, minimum
//                         and maximum count (ValidateCount), change listeners
//   +- CXmlCollection     a doubly linked list of counted references to
//   |                     bindable objects: the base of the generated typed
//   |                     collections and of CElementCol / CAttributeCol
//   +- CXmlTypeCollection primitive values of one item type with facets, a
//                         whitespace rule and a format: the base of Ci4Col,
//                         CstringCol, ... (PrimitiveCol.h)
//
// Listeners (a generated object that keeps a choice consistent) are told
// after every change of a CXmlCollection, synchronously. They are not
// counted: a listener removes itself before it dies.
//
// Indexed access is cheap: beside its list a CXmlCollection keeps an index
// of the nodes from the head up to the first change, extended on demand by
// walking on from its end. So `for (i = 0; i < c.GetCount(); ++i) c.Item(i)`
// is linear in either direction, and so are walks that remove or insert at
// the position they have reached. That index is changed by const access
// too: like every object graph, a collection is used by one thread at a
// time.

#ifndef VXBIND_COLLECTIONS_XMLCOLLECTIONBASE_H
#define VXBIND_COLLECTIONS_XMLCOLLECTIONBASE_H

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class CAttributeCol;

class VXBIND_EXPORT CXmlCollectionBase : public CXmlObjectBase {
 public:
  CXmlObjectBase* GetBase() override { return this; }
  // The namespace URI of the item elements.
  String GetNamespace() const override { return m_namespace; }

  int GetMinOccurs() const { return m_minOccurs; }
  // -1 means unbounded.
  int GetMaxOccurs() const { return m_maxOccurs; }

  // Adds a listener, told after every change (once per entry: a listener
  // added twice is told twice). Not counted.
  void AddEventListener(CXmlObjectBase* listener);
  // Removes every entry of `listener`.
  void RemoveEventListener(CXmlObjectBase* listener);

  virtual int GetCount() const = 0;
  virtual void Clear() = 0;
  virtual void Remove(int index) = 0;
  // Unless the context ignores invalid collection counts: throws
  // CVxValidationException "The Maximum number of [%s] elements allowed in
  // this collection is %d" above the maximum, else "The Minimum number of
  // [%s] elements allowed in this collection is %d" below the minimum
  // (element name, bound).
  virtual void ValidateCount(const CXmlSerializationContext& context) const;
  // The same check for `count` items instead of the collection's own (the
  // items of a streamed run, which the collection never holds).
  void ValidateCountOf(int count, const CXmlSerializationContext& context) const;

 protected:
  // Namespace empty, minimum 0, unbounded.
  CXmlCollectionBase();
  CXmlCollectionBase(const unsigned short* elementName, const unsigned short* namespaceUri,
                     int minOccurs, int maxOccurs);
  // Copies element name, namespace and bounds. A copy starts without
  // listeners (they registered with the original, and only the original
  // would be told when they leave); assignment keeps the target's own.
  CXmlCollectionBase(const CXmlCollectionBase& other);
  CXmlCollectionBase& operator=(const CXmlCollectionBase& other);
  ~CXmlCollectionBase() override;

  // A collection is never the root of an output: throws CVxException
  // "CXmlCollectionBase::GetTargetNamespace Should not be used from within a
  // Collection (program logic error)".
  String GetTargetNamespace() const override;
  // Tells each listener, in order, through FireOnCollectionChangeEvent
  // (inline, so that a change nobody listens to costs a test).
  void FireOnCollectionChange() {
    if (!m_listeners.empty()) TellListeners();
  }
  bool HasListeners() const { return !m_listeners.empty(); }
  const String& GetNamespaceRef() const { return m_namespace; }
  void SetNamespaceUri(const String& namespaceUri) { m_namespace = namespaceUri; }

 private:
  void TellListeners();

  String m_namespace;
  std::vector<CXmlObjectBase*> m_listeners;
  int m_minOccurs = 0;
  int m_maxOccurs = -1;
};

class VXBIND_EXPORT CXmlCollection : public CXmlCollectionBase {
 public:
  // One entry of the list; it holds one counted reference to its item.
  class VXBIND_EXPORT CNode {
   public:
    CXmlObjectBase* GetItem() const { return m_item; }
    CNode* GetNext() const { return m_next; }
    CNode* GetPrevious() const { return m_previous; }

   private:
    friend class CXmlCollection;
    explicit CNode(CXmlObjectBase* item) : m_item(item) {}
    CXmlObjectBase* m_item;
    CNode* m_next = nullptr;
    CNode* m_previous = nullptr;
  };

  // Final: the count is the list's, and a loop that asks for it on every
  // step then reads it inline.
  int GetCount() const final { return m_count; }
  // Removes the items one by one (Remove(0)): one change event per item.
  void Clear() override;
  // Throws CVxInvalidParamException "Index %d is out of range, use 0 - %d"
  // (the index and the count) outside 0..count-1; otherwise removes the
  // item and tells the listeners.
  void Remove(int index) override;

  // First and last node (null when empty), for walking the list.
  CNode* GetHeadNode() const { return m_head; }
  CNode* GetTailNode() const { return m_tail; }

 protected:
  CXmlCollection();
  CXmlCollection(const unsigned short* elementName, const unsigned short* namespaceUri,
                 int minOccurs, int maxOccurs);
  // The copy has a list of its own whose nodes hold new references to the
  // same items.
  CXmlCollection(const CXmlCollection& other);
  // Replaces the items by the other's (shared the same way) and tells the
  // listeners once.
  CXmlCollection& operator=(const CXmlCollection& other);
  // Clear, then the base's.
  ~CXmlCollection() override;

  // Every item writes its attributes (items that are pseudo elements put
  // theirs on the parent's start tag).
  void AttributesToXml_Int(CXmlWriter* writer,
                           const CXmlSerializationContext& context) const override;

  // The node at `index`: CVxInvalidParamException "Index %d is out of range,
  // use 0 - %d" (the index and the count) outside 0..count-1.
  CNode* GetNodeAtIndex(int index) const;
  // The item of that node, with the same error; the cheapest way to walk.
  CXmlObjectBase* GetItemAtIndex(int index) const {
    if (static_cast<unsigned>(index) < static_cast<unsigned>(m_indexed))
      return m_indexItems[static_cast<size_t>(index)];
    return ExtendIndex(index).item;
  }
  // The first node whose item is `item` (compared by GetBase()); none, or a
  // null item: CVxInvalidParamException "The object was not found in the
  // collection".
  CNode* GetNodeForItem(const CXmlObjectBase* item) const;
  // The operations that add take a reference to `item`, which must not be
  // null (CVxInvalidParamException "A collection cannot hold a NULL item"),
  // and tell the listeners once at the end. On failure nothing changes.
  void AppendItem(CXmlObjectBase* item);
  void PrependItem(CXmlObjectBase* item);
  // After (before) `existing`'s node; a null `existing` prepends (appends).
  // An `existing` not in the collection: "The object was not found in the
  // collection".
  void AddAfterItem(const CXmlObjectBase* existing, CXmlObjectBase* item);
  void AddBeforeItem(const CXmlObjectBase* existing, CXmlObjectBase* item);
  // So that the item ends at `index`; index == count appends. Outside
  // 0..count: CVxInvalidParamException "Index out of range".
  void AddItemAt(int index, CXmlObjectBase* item);
  // Unlinks and frees the node, releasing its item; tells nobody (its
  // callers do). A node that is not in this collection: "The object was not
  // found in the collection" (it is looked for from the head).
  void RemoveNode(CNode* node);
  // Throws CVxInvalidParamException "A collection cannot hold a NULL item"
  // for a null item.
  static void CheckItem(const CXmlObjectBase* item);

  // Reads one item of the collection's run: binds `item`, a new object,
  // from `element` (its own element), then appends it; when the run is
  // streamed (the context's CXmlStreamHook names this collection), hands it
  // to the stream instead, which releases it before the next one is read.
  // A stream that asks to stop ends the read with CXmlStreamStop.
  // Generated collections read each item through here.
  void ReadItem(CXmlObjectBase* item, CXmlElement* element,
                const CXmlSerializationContext& context);
  // Writes the items, each with ToXml_Int at `namespaceUri`: ValidateCount
  // first, then the items in order; when the run is streamed, the items
  // that the stream gives, each named after the collection's elements, and
  // their number checked at the end (none: nothing to check, as for an empty
  // collection).
  void WriteItems(CXmlWriter* writer, const unsigned short* namespaceUri,
                  const CXmlSerializationContext& context) const;

 private:
  friend class CAttributeCol;
  friend class CElement;

  // Links a new node for `item` (reference taken here) before `next` (null:
  // at the end); `index` is where it lands. No event.
  void InsertBefore(CNode* next, CXmlObjectBase* item, int index);
  // Unlinks and frees `node`, whose index is `index` (-1 when unknown).
  void Unlink(CNode* node, int index);
  // The node of `item` and its index, or null.
  CNode* FindNode(const CXmlObjectBase* item, int& index) const;
  // Gives up every node without releasing the items: their references are
  // appended to `items` instead. Returns false (and gives up nothing) when
  // listeners would have to be told, or when `items` cannot grow.
  bool TakeItems(std::vector<CXmlObjectBase*>& items);
  void CopyFrom(const CXmlCollection& other);
  void FreeAll() noexcept;
  // The entry at `index` (checked here), indexing the nodes up to it first.
  struct IndexEntry {
    CNode* node;
    CXmlObjectBase* item;
  };
  IndexEntry ExtendIndex(int index) const;
  // A change at `index` makes the entries from there on stale.
  void Invalidate(int index) const {
    if (index < m_indexed) m_indexed = index < 0 ? 0 : index;
  }

  CNode* m_head = nullptr;
  CNode* m_tail = nullptr;
  int m_count = 0;
  // The first m_indexed nodes in order, and their items apart, so that a
  // walk over the items reads nothing else (see the file comment); entries
  // beyond m_indexed are stale.
  mutable std::vector<CNode*> m_indexNodes;
  mutable std::vector<CXmlObjectBase*> m_indexItems;
  mutable int m_indexed = 0;
};

class VXBIND_EXPORT CXmlTypeCollection : public CXmlCollectionBase {
 public:
  ItemType GetItemType() const { return m_itemType; }
  const CPrimitiveRestrictions& GetRestrictions() const { return m_restrictions; }
  CWhitespaceUtils::WhitespaceRule GetWhitespaceRule() const { return m_whitespaceRule; }
  // Handed to the writing conversions; not copied, so it must outlive the
  // collection (generated code passes literals).
  const unsigned short* GetFormat() const { return m_format; }
  // The digit facets (CPrimitiveRestrictions::SetDigits) of the items; set
  // once, before the first item is added.
  virtual void SetDigits(int totalDigits, int fractionDigits);

  // A check of each item's text, as it stands in the document, made when
  // the context validates (CXmlSerializationContext::GetValidateOnRead)
  // before the item is read: `check(data, elementName, text)` throws what
  // the text breaks. Generated code sets it for items of a list or union
  // type. A failure passes on wrapped in CVxValidationException "Failed to
  // process the element [%s]", the item's element's line and column on the
  // inner one.
  using TextCheck = void (*)(const void* data, const unsigned short* elementName,
                             const String& text);
  void SetTextCheck(TextCheck check, const void* data) {
    m_textCheck = check;
    m_textCheckData = data;
  }

 protected:
  // The facet arguments are those of CPrimitiveRestrictions, in its order.
  CXmlTypeCollection(ItemType itemType, const unsigned short* elementName,
                     const unsigned short* namespaceUri, int minOccurs, int maxOccurs,
                     const unsigned short* pattern, int minLength, int maxLength,
                     const unsigned short* minInclusive, const unsigned short* maxInclusive,
                     const unsigned short* minExclusive, const unsigned short* maxExclusive,
                     int length, CWhitespaceUtils::WhitespaceRule whitespaceRule,
                     const unsigned short* format);
  CXmlTypeCollection(const CXmlTypeCollection& other) = default;
  CXmlTypeCollection& operator=(const CXmlTypeCollection& other) = default;
  ~CXmlTypeCollection() override;

  // Takes the run of sibling elements from `current` on that carry the
  // collection's element name and namespace (DoesElementNameMatch), adding
  // each one with AddFromElement; returns the first element not taken
  // (null at the end). A conversion or facet error passes on, with the items
  // before it kept and the position of the item's element. When the context
  // validates, a pattern is also tested against each item's text as read
  // (CheckTextPattern), before the item is added.
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool optional) override;
  // Reads one item from its element's text (the whitespace rule applied)
  // and adds it.
  virtual void AddFromString(String text) = 0;
  // Reads one item from its element: AddFromString of its text, unless the
  // item's reading needs the element itself (QName: its prefix means what
  // the declarations in scope there say).
  virtual void AddFromElement(const CXmlElement& element);

 private:
  CPrimitiveRestrictions m_restrictions;
  ItemType m_itemType;
  const unsigned short* m_format;
  CWhitespaceUtils::WhitespaceRule m_whitespaceRule;
  TextCheck m_textCheck = nullptr;
  const void* m_textCheckData = nullptr;
};

// Walks the items of a CXmlCollection whose items are all T, in collection
// order. Invalidated when its node is removed.
template <class T>
class CVxIterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = T;
  using difference_type = std::ptrdiff_t;
  using pointer = T*;
  using reference = T&;

  CVxIterator() = default;
  explicit CVxIterator(const CXmlCollection::CNode* node) : m_node(node) {}

  T& operator*() const { return *static_cast<T*>(m_node->GetItem()); }
  T* operator->() const { return static_cast<T*>(m_node->GetItem()); }
  CVxIterator& operator++() {
    m_node = m_node->GetNext();
    return *this;
  }
  CVxIterator operator++(int) {
    CVxIterator before = *this;
    m_node = m_node->GetNext();
    return before;
  }
  bool operator==(const CVxIterator& other) const { return m_node == other.m_node; }
  bool operator!=(const CVxIterator& other) const { return m_node != other.m_node; }

 private:
  const CXmlCollection::CNode* m_node = nullptr;
};

}  // namespace VxVevAva5

#endif  // VXBIND_COLLECTIONS_XMLCOLLECTIONBASE_H
