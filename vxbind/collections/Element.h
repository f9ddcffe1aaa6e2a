// -----------------------------------------------------------------------------
// File: Element.h
// -----------------------------------------------------------------------------
//
// Untyped content: what matches a schema wildcard (xs:any, xs:anyAttribute)
// is held as CElement (a name, a namespace, text, attributes and child
// elements) and CAttribute (a name, a namespace and a value), in their
// collections CElementCol and CAttributeCol.
//
//   CSmartPtr<CElement> note = new CElement(VX_T("note"), VX_T("urn:notes"));
//   note->GetAttributes()->Add(VX_T("lang"), VX_T("en"));
//   note->GetChildElements()->Add(VX_T("line"))->SetText(VX_T("Hello"));
//   String xml = note->ToXml(false, false);
//   // <AA:note xmlns:AA="urn:notes" lang="en"><AA:line>Hello</AA:line></AA:note>
//
// Namespace restrictions. Every untyped item comes with the wildcard's
// namespace constraint, a space-separated list of URIs and the keywords
// "##any", "##other", "##local" and "##targetNamespace", and the target
// namespace of its schema (see CXmlObjectBase::IsNamespaceValid). An element
// is tested when it is made and when a collection adds it; an attribute
// collection tests what it adds and what it reads; SetNamespaceRestrictions
// tests a whole subtree. Setters never test. Failures are
// CVxInvalidNamespaceException "Invalid namespace [%s]. The namespace must be
// one of [%s] where the target namespace is [%s]" unless a member says
// otherwise.
//
// Depth. Writing, reading, copying and destroying an element take constant
// stack space, however deep its subtree: a wildcard may hold a document
// nested a million levels deep.
//
// Cost. Reading makes objects only for the elements read at the top; their
// attributes and children are kept in a compact copy of the input until they
// are asked for (GetAttributes, GetChildElements, or anything that changes
// or shares them), and are written straight from it. Content that is read
// and written back untouched costs little more than the document itself.
//
// Mixed content. An element read from a document keeps its text where it
// was among its child elements: each child remembers its position in its
// parent's text, and writing puts the text back around the children. Text
// set with SetText, and elements made in code, write the text after the
// children.
//
// Namespace declarations. An element read from a document keeps the
// namespace declarations made on its start tag, and the element read at the
// top of untyped content also the bindings it inherits whose prefix a value
// inside names (its ancestors stay behind): a QName in a value (xsi:type="xs:string", <code>p:Fault</code>)
// means what it meant only where its prefix is bound as it was. Writing
// declares each prefix on the element again where the output does not bind
// it so already, and the names inside use those prefixes (see
// CXmlWriter::SetNextDeclarations; the default namespace stays the writer's
// choice). Elements made in code have none.
//
// Ownership. An element owns its two collections through counted references
// and the collections own their items; GetAttributes() and
// GetChildElements() hand out references to the same collections, and a
// copy of an element shares them. The collections are made when first used,
// so const access may change an element: like every object graph, untyped
// content is used by one thread at a time.

#ifndef VXBIND_COLLECTIONS_ELEMENT_H
#define VXBIND_COLLECTIONS_ELEMENT_H

#include <cstdint>
#include <memory>
#include <vector>

#include "vxbind/base/InstanceMonitor.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/collections/XmlCollectionBase.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class CElement;
class CElementCol;
class CAttributeCol;

namespace detail {
class ElementSnapshot;
struct SnapshotNode;
}  // namespace detail

// One untyped attribute. Made by CAttributeCol::Add.
class VXBIND_EXPORT CAttribute : public CXmlObjectBase, public CInstanceMonitor {
 public:
  CAttribute(const CAttribute& other);
  CAttribute& operator=(const CAttribute& other);

  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return m_namespace; }
  String GetName() const { return m_name; }
  String GetValue() const { return m_value; }
  // The setters store the text (null as ""); no namespace test.
  void SetName(const unsigned short* name);
  void SetNamespace(const unsigned short* namespaceUri);
  void SetValue(const unsigned short* value);

 protected:
  CAttribute(const unsigned short* name, const unsigned short* value,
             const unsigned short* namespaceUri);
  ~CAttribute() override;

  // Called by SetName and SetNamespace with the new value before it is
  // stored; nothing here.
  virtual void FireOnChangeName(const unsigned short* name);
  virtual void FireOnChangeNamespace(const unsigned short* namespaceUri);

  String GetTargetNamespace() const override { return m_namespace; }
  // writer->WriteAttribute(name, namespace, value).
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  // Attributes are read by their collection: throws CVxException "This
  // should be done by the collection".
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool optional) override;

 private:
  friend class CAttributeCol;
  friend class CElement;

  CAttribute(String name, String value, String namespaceUri);

  String m_name;
  String m_value;
  String m_namespace;
};

// The untyped attributes of an element, or of an xs:anyAttribute member.
// Adding by name tests the namespace against the restriction; adding does
// not tell the listeners (AddAfter and AddBefore do).
class VXBIND_EXPORT CAttributeCol : public CXmlCollection, public CInstanceMonitor {
 public:
  // `namespaceUri` is the namespace of attributes added without one. When
  // it is empty and the restriction's first token is a namespace URI (two
  // characters or more, neither of the first two a '#'), that URI is taken.
  // Nothing is tested here.
  CAttributeCol(const unsigned short* namespaceUri, const unsigned short* restriction,
                const unsigned short* targetNamespace);
  CAttributeCol(const CAttributeCol& other);
  CAttributeCol& operator=(const CAttributeCol& other);
  ~CAttributeCol() override;
  // The namespaces admitted from now on, and the collection's namespace as
  // the constructor takes it: a derived type's wildcard over its base's.
  void SetRestriction(const unsigned short* restriction, const unsigned short* targetNamespace);

  // A new attribute (value "" / `value`) in the collection's namespace.
  CSmartPtr<CAttribute> Add(const unsigned short* name);
  CSmartPtr<CAttribute> Add(const unsigned short* name, const unsigned short* value);
  // A new attribute in `namespaceUri`, after the namespace test.
  CSmartPtr<CAttribute> Add(const unsigned short* name, const unsigned short* value,
                            const unsigned short* namespaceUri);
  // Appends `attribute` as it is (no test).
  CSmartPtr<CAttribute> Add(CAttribute* attribute);
  // Index errors as CXmlCollection's.
  CSmartPtr<CAttribute> Item(int index) const;
  // The collection base's insertion (no test).
  void AddAfter(const CAttribute* existing, CAttribute* attribute);
  void AddBefore(const CAttribute* existing, CAttribute* attribute);
  CVxIterator<CAttribute> begin() const { return CVxIterator<CAttribute>(GetHeadNode()); }
  CVxIterator<CAttribute> end() const { return CVxIterator<CAttribute>(); }

  // Writes the context's additional root attributes (if it has any) into
  // the start tag that `writer` has just opened for a root element. For
  // every writer of a root element; it only reads the context, so a context
  // shared between threads may be written with at the same time.
  static void WriteAdditionalRootAttributes(CXmlWriter* writer,
                                            const CXmlSerializationContext& context);

 protected:
  // The collection's namespace.
  String GetTargetNamespace() const override { return GetNamespace(); }
  // Every attribute's ToXml_Int, in order.
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  // Adds every attribute of `element` (not `current`) in document order;
  // an attribute whose namespace the restriction refuses throws
  // CVxInvalidNamespaceException "Invalid Attribute [%s]. The attributes
  // namespace is Inappropriate." (its local name), the ones before it kept.
  // Returns `current`.
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool optional) override;

 private:
  friend class CElement;

  String m_restriction;
  String m_targetNamespace;
};

// The untyped child elements of an element, or the content of a repeated
// xs:any member. Its own restriction is always "##any": it takes elements of
// any namespace. Its count bounds are 0 and unbounded, whatever is passed.
class VXBIND_EXPORT CElementCol : public CXmlCollection, public CInstanceMonitor {
 public:
  // Tests `namespaceUri` against `restriction` (throws on failure).
  // `namespaceUri` is the namespace of elements that Add(name) creates; an
  // empty one leaves Add(name) refused.
  CElementCol(const unsigned short* namespaceUri, const unsigned short* restriction,
              const unsigned short* targetNamespace, int minOccurs, int maxOccurs);
  CElementCol(const CElementCol& other);
  CElementCol& operator=(const CElementCol& other);
  ~CElementCol() override;

  // The target namespace.
  String GetNamespace() const override { return m_targetNamespace; }

  // A new element in the collection's element namespace; without one,
  // CVxInvalidStateException "A Namespace has not been set for this
  // Collection".
  CSmartPtr<CElement> Add(const unsigned short* name);
  // A new element in `namespaceUri` (tested first).
  CSmartPtr<CElement> Add(const unsigned short* name, const unsigned short* namespaceUri);
  // Appends `element` after testing its namespace.
  CSmartPtr<CElement> Add(CElement* element);
  CSmartPtr<CElement> Item(int index) const;
  // The namespace constraint of what the collection reads, and the target
  // namespace that its ##targetNamespace and ##other name.
  virtual const String& GetNamespaceConstraint() const { return m_restriction; }
  virtual const String& GetConstraintTarget() const { return m_targetNamespace; }
  // The collection base's insertion (no test).
  void AddAfter(const CElement* existing, CElement* element);
  void AddBefore(const CElement* existing, CElement* element);
  CVxIterator<CElement> begin() const { return CVxIterator<CElement>(GetHeadNode()); }
  CVxIterator<CElement> end() const { return CVxIterator<CElement>(); }

  // Reads the run of elements from `current` on whose local name is `name`
  // and whose namespace is `namespaceUri` exactly, one new element each;
  // returns the first element not taken.
  virtual CXmlElement* FromXmlLockElementName_Int(String name, String namespaceUri,
                                                  CXmlElement* element, CXmlElement* current,
                                                  const CXmlSerializationContext& context);

 protected:
  String GetTargetNamespace() const override { return m_targetNamespace; }
  // ValidateCount, then every element in order.
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  // Reads elements from `current` on, one new element each, until the input
  // ends (returns null) or an element is refused (returns it).
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool optional) override;

 private:
  friend class CElement;

  String m_restriction;
  String m_elementNamespace;
  String m_targetNamespace;
};

// One untyped element with its attributes and child elements.
class VXBIND_EXPORT CElement : public CXmlObjectBase, public CInstanceMonitor {
 public:
  // No namespace, restriction "##any".
  explicit CElement(const unsigned short* name);
  // A concrete namespace, which is also the restriction. A keyword
  // ("##any", "##other", "##local", "##targetNamespace") throws
  // CVxInvalidNamespaceException "Invalid Namespace [%s]".
  CElement(const unsigned short* name, const unsigned short* namespaceUri);
  // Everything given (see Init).
  CElement(const unsigned short* name, const unsigned short* namespaceUri,
           const unsigned short* restriction, const unsigned short* targetNamespace);
  // An untyped copy of any bindable object: the object is written as XML
  // (default options) and read back into this element. A null object throws
  // CVxInvalidParamException "The object to copy is NULL".
  explicit CElement(CXmlObjectBase* object);
  // Shares the other's attribute and child collections (making them first
  // if they were not made yet, see below).
  CElement(const CElement& other);
  CElement& operator=(const CElement& other);

  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return m_namespace; }
  String GetName() const { return m_name; }
  // All the text directly inside the element, joined.
  String GetText() const { return m_text; }
  // Where the element stood in its parent's text when it was read (the
  // number of units of the parent's GetText() before it), or
  // kNoTextPosition for an element made in code.
  static constexpr uint32_t kNoTextPosition = 0xFFFFFFFFu;
  uint32_t GetTextPosition() const { return m_textPosition; }
  // The setters store the text (null as ""); no namespace test.
  void SetName(const unsigned short* name);
  void SetNamespace(const unsigned short* namespaceUri);
  void SetText(const unsigned short* text);
  CSmartPtr<CAttributeCol> GetAttributes() const { return Attributes(); }
  CSmartPtr<CElementCol> GetChildElements() const { return Children(); }

  // Tests, without storing anything, this element's namespace, then its
  // attributes', then every descendant's (depth first, in document order)
  // against `restriction` and `targetNamespace`. An element's failure is
  // thrown as CVxInvalidNamespaceException "The namespace %s in the class %s
  // is invalid against restriction %s" (namespace, name, restriction) around
  // the test's exception; an attribute's failure as it is.
  void SetNamespaceRestrictions(const unsigned short* restriction,
                                const unsigned short* targetNamespace);

  // Reads XML text into this element: the document's root element becomes
  // this element (its attributes and children are added to the ones held).
  // Parse errors pass on; a root in a namespace the restriction refuses
  // throws the namespace test's exception. Hides the object base's FromXml,
  // which binds from the root's children instead.
  void FromXml(const unsigned short* xmlText);

 protected:
  ~CElement() override;

  // Throws CVxInvalidNamespaceException "Element Name must have a value",
  // "Namespace Restriction must have a value" or "Target Namespace must have
  // a value" for a null argument (in that order), then tests the namespace,
  // then stores the four texts and makes new, empty collections.
  void Init(const unsigned short* name, const unsigned short* namespaceUri,
            const unsigned short* restriction, const unsigned short* targetNamespace);
  // Copies name, namespace, text, attributes and child elements (as new
  // elements) from a document element, after emptying both collections.
  void CopyXmlElement(CXmlElement* element);

  // Called by the setters with the new value before it is stored; nothing
  // here.
  virtual void FireOnChangeName(const unsigned short* name);
  virtual void FireOnChangeNamespace(const unsigned short* namespaceUri);
  virtual void FireOnChangeText(const unsigned short* text);

  String GetTargetNamespace() const override { return m_namespace; }
  // <name> in the element's own namespace, the attributes (as root, the
  // context's additional root attributes first), the children, the text,
  // </name>.
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  // Reads `current` itself: returns it untouched when the restriction
  // refuses its namespace; otherwise adds its attributes and children,
  // takes its text, local name and namespace, and returns its next sibling.
  // A child the child collection refuses throws CVxValidationException
  // "Invalid Element [%s] found in element [%s]".
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool optional) override;

 private:
  friend class CElementCol;

  // An element read from a snapshot node: name, namespace and text taken,
  // attributes and children left in the snapshot until they are asked for.
  CElement(const detail::SnapshotNode* node, detail::ElementSnapshot* snapshot,
           const String& restriction, const String& targetNamespace);

  // Starts reading `source` into `target`: its attributes.
  static void ReadAttributes(CElement* target, CXmlElement* source,
                             const CXmlSerializationContext& context);
  // The collections, made on first use: most elements of a document have no
  // attributes, and leaves have no children, so making both for every
  // element would cost three objects where one does. They are made as Init
  // would have made them (with the namespace given to Init: an element
  // makes them before its namespace changes), and filled with what is still
  // in the snapshot.
  CAttributeCol* Attributes() const;
  CElementCol* Children() const;
  // Makes both before the namespace becomes `namespaceUri`.
  void KeepCollectionNamespace(const String& namespaceUri);
  // Lets go of the snapshot once nothing of it is still needed.
  void ReleaseSnapshotIfDone() const;
  // Forgets what is still in the snapshot (the content is being replaced).
  void DropPending();
  // Hands the child elements this element alone holds to the destructor
  // that runs the release loop, instead of releasing them in a recursion.
  void ReleaseChildren() noexcept;

  String m_name;
  String m_text;
  String m_namespace;
  String m_restriction;
  String m_targetNamespace;
  mutable CSmartPtr<CAttributeCol> m_attributes;  // null until made
  mutable CSmartPtr<CElementCol> m_children;      // null until made
  // Where the attributes and children not made yet are: a node of a
  // snapshot that this element keeps alive.
  mutable CSmartPtr<detail::ElementSnapshot> m_snapshot;
  mutable const detail::SnapshotNode* m_pending = nullptr;
  mutable bool m_attributesPending = false;
  mutable bool m_childrenPending = false;
  // True when the children's text positions place m_text (it was read, not
  // set since).
  bool m_textPlaced = false;
  uint32_t m_textPosition = kNoTextPosition;
  // The declarations read with the element, as prefix, URI pairs; null
  // when there are none. Shared by copies: never changed once made.
  std::shared_ptr<const std::vector<String>> m_declarations;
};

// Inline: walking a collection by index is a loop over Item.
inline CSmartPtr<CAttribute> CAttributeCol::Item(int index) const {
  return static_cast<CAttribute*>(GetItemAtIndex(index));
}

inline CSmartPtr<CElement> CElementCol::Item(int index) const {
  return static_cast<CElement*>(GetItemAtIndex(index));
}

}  // namespace VxVevAva5

#endif  // VXBIND_COLLECTIONS_ELEMENT_H
