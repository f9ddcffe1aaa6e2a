// -----------------------------------------------------------------------------
// File: XmlGeneratedClass.h
// -----------------------------------------------------------------------------
//
// CXmlGeneratedClass: the base of every class that the schema compiler
// generates, and the driver that writes and reads all of them.
//
// A generated class holds no reading or writing code. It describes itself
// with metadata that its generated code builds once and shares among all its
// objects:
//   - one CParentElementInfo: group (sequence, choice, all), whether the
//     class has an element of its own or is a model group whose content sits
//     in its parent's element (a pseudo element), its element name and
//     namespace, the property that holds its text, whether unknown
//     attributes are refused, whether it derives from another schema type,
//     whether its content is mixed (its objects then keep their text runs
//     in place between the child elements: see "Mixed content" below);
//   - a null-terminated array of element infos (ElementInfo.h,
//     ElementInfoKinds.h), one per element member, in document order;
//   - a null-terminated array of attribute infos (AttributeInfo.h);
// and it gives indexed access to its members through AccessProperty, by
// the property indexes stored in that metadata. The driver (ToXml_Int,
// AttributesToXml_Int, FromXml_Int) walks the metadata and does the rest:
//
//   class CItem : public CXmlGeneratedClass {       // as generated
//     ...
//     CParentElementInfo* GetClassInfo() const override {
//       static CParentElementInfo info(XmlElementGroupType_Sequence,
//           XmlElementType_Element, VX_T("item"), VX_T("urn:po"), -1, true, false);
//       return &info;
//     }
//     void AccessProperty(int index, bool read, VxVariant& value) override {
//       switch (index) {
//         case 0: if (read) value.SetString(m_name); else m_name = value.GetString(); break;
//         ...
//   };
//   CSmartPtr<CItem> item = new CItem;
//   item->FromXml(VX_T("<item xmlns='urn:po'><name>Lawnmower</name></item>"));
//
// Errors. Every failure while reading an element is rethrown as
// CVxValidationException "Failed to process the element [%s]" around the
// failure, so the caller gets a chain from the root down (GetFullMessage,
// one line per level) and the input line of the deepest element involved
// (CVxException::GetLineNumber). Writing wraps the same way with "Failed to
// convert the element [%s] to XML". A failed read leaves the members read
// before the failure in place.
//
// Depth. The driver recurses once per element level (into the objects of
// the members). It refuses to go deeper than kMaxNestingDepth levels on one
// thread: deeper input fails with "The element [%s] is nested deeper than %d
// levels; it is not read", a deeper object graph with "... it is not
// written", both arriving wrapped like any failure.
//
// Threads. The metadata is only read, by any number of threads at once; an
// object graph is used by one thread at a time, so two threads that bind
// graphs of their own, of the same classes, need no lock.

#ifndef VXBIND_MODEL_XMLGENERATEDCLASS_H
#define VXBIND_MODEL_XMLGENERATEDCLASS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "vxbind/base/SerializationContext.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/model/AllGroupOrder.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5Data {

using VxVevAva5::String;

// How the element members of a class are grouped. Values are fixed:
// generated code stores them.
enum XmlElementGroupType : int32_t {
  XmlElementGroupType_Sequence = 0,
  XmlElementGroupType_Choice = 1,
  XmlElementGroupType_All = 2,
};

// Whether an object has an element of its own.
enum XmlElementType : int32_t {
  // Written as an element of its own: attributes on its start tag, children
  // inside it.
  XmlElementType_Element = 0,
  // A model group: its child elements go directly inside its parent's
  // element and its attributes on the parent's start tag.
  XmlElementType_PseudoElement = 1,
};

// How the content of a wildcard (xs:any, xs:anyAttribute) is checked when
// read, as its processContents says; it is held as untyped content in
// every case (see GlobalDeclarations.h). Values are fixed: generated code
// stores them.
enum ProcessContents : uint8_t {
  ProcessContents_Skip = 0,    // nothing is checked
  ProcessContents_Lax = 1,     // what a known global declaration matches is checked
  ProcessContents_Strict = 2,  // as lax, and what none matches is refused
};

class CElementInfo;
class CAttributeInfo;
struct SchemaSetTable;
struct SimpleTypeTable;
struct IdentityTable;
struct RootIdentity;

// What a generated class says about itself as a whole. Fixed at
// construction.
class VXBIND_EXPORT CParentElementInfo {
 public:
  // `elementTextPropertyIndex` is the property that holds the element's
  // own text, -1 for none. `fromXmlFailIfAttributeUnknown` refuses
  // attributes that no attribute info takes (unless the context ignores
  // unknown attributes). `hasBaseClasses`: the class derives from another
  // schema type and may stand where that type is expected (it is then
  // written with xsi:type). The texts are copied.
  // `mixed`: the type has mixed content, whose text runs the objects keep
  // in place between their child elements (see CXmlGeneratedClass).
  CParentElementInfo(XmlElementGroupType groupType, XmlElementType elementType,
                     const unsigned short* elementName, const unsigned short* elementNamespace,
                     int elementTextPropertyIndex, bool fromXmlFailIfAttributeUnknown,
                     bool hasBaseClasses, bool mixed = false);
  CParentElementInfo(const CParentElementInfo&) = default;
  CParentElementInfo& operator=(const CParentElementInfo&) = default;
  ~CParentElementInfo() = default;

  XmlElementGroupType GetElementGroupType() const { return m_groupType; }
  XmlElementType GetElementType() const { return m_elementType; }
  const String& GetElementName() const { return m_elementName; }
  const String& GetElementNamespace() const { return m_elementNamespace; }
  int GetElementTextPropertyIndex() const { return m_textPropertyIndex; }
  bool GetFromXmlFailIfAttributeUnknown() const { return m_failIfAttributeUnknown; }
  bool GetHasBaseClasses() const { return m_hasBaseClasses; }
  // Element-only content (not mixed, no simple content): text other than
  // whitespace directly inside the element is refused when read. Off
  // unless set, once, before the info is shared.
  bool GetElementOnly() const { return m_elementOnly; }
  void SetElementOnly(bool elementOnly) { m_elementOnly = elementOnly; }

  // The global elements declared with the class's own type, for a class
  // that has base classes: an object that is a document's root (or is
  // written by a member that does not say its declared type) names its type
  // with xsi:type unless its element is one of these. Added by the
  // metadata builder, before the info is shared.
  void AddGlobalElement(const unsigned short* localName);
  bool IsGlobalElement(const String& localName) const;

  bool GetMixed() const { return m_mixed; }

  // Simple content of a list or union type: the type's table, against
  // which reading checks the text when the context validates (null: none).
  // Set by the metadata builder, before the info is shared.
  const SimpleTypeTable* GetTextType() const { return m_textType; }
  void SetTextType(const SimpleTypeTable* type) { m_textType = type; }
  // The global elements of the class's type that have identity constraints
  // (IdentityTable.h; a table, not copied), set by the metadata builder;
  // the constraints of the one named `localName` in `ns`, or null.
  void SetRootIdentities(const RootIdentity* roots, std::size_t count) {
    m_rootIdentities = roots;
    m_rootIdentityCount = count;
  }
  const IdentityTable* FindRootIdentity(const String& localName, const String& ns) const;
  // Simple content: the type, whitespace rule and facets of the element's
  // text, which generated code converts itself; checked when reading
  // validates (CheckText). None unless set, once, before the info is shared.
  void SetTextCheck(VxVevAva5::ItemType itemType, VxVevAva5::CWhitespaceUtils::WhitespaceRule rule,
                    const VxVevAva5::CPrimitiveRestrictions& restrictions);
  bool HasTextCheck() const { return m_textItemType != VxVevAva5::ItemType_Invalid; }
  // The text as a value of the text's type, checked against its facets
  // (CheckFacetsOnRead, `name` in messages); throws the conversion's or the
  // facet's exception.
  void CheckText(const unsigned short* name, const String& text) const;
  // The schema set of the class, whose global elements and types the checks
  // of a document's root look up when validating. Null unless set, once,
  // before the info is shared.
  const SchemaSetTable* GetDeclarations() const { return m_declarations; }
  void SetDeclarations(const SchemaSetTable* declarations) { m_declarations = declarations; }

 private:
  XmlElementGroupType m_groupType;
  XmlElementType m_elementType;
  String m_elementName;
  String m_elementNamespace;
  int m_textPropertyIndex;
  bool m_failIfAttributeUnknown;
  bool m_hasBaseClasses;
  std::vector<String> m_globalElements;
  bool m_elementOnly = false;
  bool m_mixed;
  const SimpleTypeTable* m_textType = nullptr;
  const RootIdentity* m_rootIdentities = nullptr;
  std::size_t m_rootIdentityCount = 0;
  VxVevAva5::ItemType m_textItemType = VxVevAva5::ItemType_Invalid;
  VxVevAva5::CWhitespaceUtils::WhitespaceRule m_textRule =
      VxVevAva5::CWhitespaceUtils::WhitespaceRule_Preserve;
  VxVevAva5::CPrimitiveRestrictions m_textRestrictions;
  const SchemaSetTable* m_declarations = nullptr;
};

}  // namespace VxVevAva5Data

namespace VxVevAva5 {

// One item of an object's mixed content, in document order
// (CXmlGeneratedClass::GetMixedContent): a text run, or a child element.
struct CMixedContentItem {
  bool isText = false;
  // The run; for a child element of simple type, its value as written.
  String text;
  // A child element's name.
  String localName;
  String namespaceUri;
  // The object that wrote the child element: a generated class, or untyped
  // content (CElement); null for an element of simple type.
  CSmartPtr<CXmlObjectBase> object;
};

class VXBIND_EXPORT CXmlGeneratedClass : public CXmlObjectBase {
 public:
  // Nesting depth (elements, pseudo elements included) beyond which one
  // thread's reading or writing stops with a CVxException instead of
  // running out of stack. One level costs about 0.5 KiB of stack in a
  // release build and 1.4 KiB in a debug build with AddressSanitizer, so
  // the deepest allowed document takes about 1.3 MiB and 3.4 MiB: well
  // within a default 8 MiB thread stack either way.
  static constexpr int kMaxNestingDepth = 2500;

  CXmlGeneratedClass() = default;
  // Copies the mixed-content runs too.
  CXmlGeneratedClass(const CXmlGeneratedClass& other);
  CXmlGeneratedClass& operator=(const CXmlGeneratedClass& other);

  // ---- Mixed content ----
  // An object of a class with mixed content (GetClassInfo()->GetMixed())
  // keeps the text around its child elements as runs: run k is the text
  // before its k-th child element (counted from 0, whichever member or
  // model group holds that child), the last run the text after the last
  // child. Reading fills them; writing puts each run back before its child
  // and what is left over before the end tag, so the text stays in place.
  // The class's text member (GetText() of the generated class) holds all
  // runs joined. Runs are written only while they still add up to that
  // text: an object whose text was set since (SetText) writes it after its
  // children, as an object without runs does.
  bool IsMixed() const;
  // The runs; empty when the object has none (made in code, or read from
  // an element without child elements: the text member holds it all).
  const std::vector<String>& GetMixedRuns() const;
  // These set the runs and the text member to the runs joined (for objects
  // built in code: run k goes before child element k).
  void SetMixedRuns(std::vector<String> runs);
  // Run `index`, the runs before it made empty where there were none.
  void SetMixedRun(size_t index, const String& text);
  void AppendMixedRun(const String& text);
  void ClearMixedRuns();
  // The content in document order, as writing would give it: text runs
  // (empty ones left out) and child elements with their objects. Written
  // with the default context; what would fail to be written throws as
  // ToXml would.
  std::vector<CMixedContentItem> GetMixedContent() const;

  // Reads (read true: the member's value into `value`; an absent optional
  // member as an invalid variant; a child object or collection as a counted
  // reference) or writes (read false: `value` into the member; a child
  // object is taken over) the member numbered `propertyIndex`. Implemented
  // by every generated class; the infos call it.
  virtual void AccessProperty(int propertyIndex, bool read, VxVariant& value) = 0;
  // Whether the nillable member of simple type numbered `propertyIndex` is
  // nil: `nil` null reads it, otherwise sets it (a nil member's value is
  // absent). Generated classes with such members override it; here no
  // member is nil. (A nil child object says so itself: IsXsiNil.)
  virtual bool AccessNil(int propertyIndex, const bool* nil);
  // The class's metadata: the same objects on every call, built once by
  // the generated code. Both arrays are null-terminated; the element infos
  // are in document order.
  virtual VxVevAva5Data::CParentElementInfo* GetClassInfo() const = 0;
  virtual VxVevAva5Data::CElementInfo** GetClassElementInfo() const = 0;
  virtual VxVevAva5Data::CAttributeInfo** GetClassAttributeInfo() const = 0;

  // Deletes the class info, every element info and the array, every
  // attribute info and the array, and sets the three references to null;
  // a null reference is skipped. For generated code that discards its
  // metadata.
  static void CleanMetaData(VxVevAva5Data::CParentElementInfo*& classInfo,
                            VxVevAva5Data::CElementInfo**& elementInfos,
                            VxVevAva5Data::CAttributeInfo**& attributeInfos);

 protected:
  ~CXmlGeneratedClass() override;

  // The generated class's own hook, called first by every FromXml_Int on
  // the object (reading again starts from the initial state).
  virtual void Init() = 0;
  // Where a class of an xs:all group keeps the order in which its members
  // came in the document read (written back in that order); null here: the
  // schema's order.
  virtual CAllGroupOrder* GetAllGroupOrder() { return nullptr; }

  // The driver. Writes the element (for the root: the context's processing
  // instructions, namespace aliases, default namespace, additional root
  // attributes and in-line schema), the attributes, the element group and
  // the text; a pseudo element writes only its group and text. Failures
  // are rethrown as CVxValidationException "Failed to convert the element
  // [%s] to XML" around them.
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  // xsi:type when the object's type is not the one that the schema declares
  // for its element (the writer's declared type; for a root, the type of
  // the global element of its name), then the attribute infos, then the
  // attributes of pseudo-element members. Failures: CVxException "Failed
  // to convert attributes to XML" around them.
  void AttributesToXml_Int(CXmlWriter* writer,
                           const CXmlSerializationContext& context) const override;
  // Binds the object from `element` (the children from `current` on) by
  // the content model and the context's tolerances (none while the context
  // validates: see docs/validation.md); returns the first child not
  // consumed. Failures: CVxValidationException "Failed to process the
  // element [%s]" around them, with the input line recorded.
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool optional) override;

  // AccessProperty(propertyIndex, true, value).
  void ReadProperty(int propertyIndex, VxVariant& value) const;
  // True when some element info takes `element`.
  bool IsElementInList(const CXmlSerializationContext& context, CXmlElement* element) const;
  // True when the choice holds a collection member whose minimum count is
  // 0, so that the choice may legally stay empty.
  bool DoesElementContainOptionalElementCollections() const;
  // Offers every attribute of `element` (namespace declarations and xsi:
  // attributes excepted) to the attribute infos, then lets each check that
  // it was satisfied. xsi:nil sets the object's nil state (IsXsiNil); on an
  // element that is not nillable (IsXsiNillable) it throws
  // CVxValidationException. An attribute nobody takes throws
  // CVxValidationException "Unexpected Attribute [%s] found." when
  // `failIfUnknown` and the context does not ignore unknown attributes.
  void ProcessAttributesFromXml(const CXmlSerializationContext& context, CXmlElement* element,
                                bool failIfUnknown);

 private:
  friend class VxVevAva5Data::CElementInfo;
  friend class VxVevAva5Data::CAttributeInfo;

  void ProcessElementSeqToXml(const CXmlSerializationContext& context,
                              VxVevAva5Data::CElementInfo** infos, CXmlWriter* writer) const;
  void ProcessElementAllToXml(const CXmlSerializationContext& context,
                              VxVevAva5Data::CElementInfo** infos, CXmlWriter* writer) const;
  void ProcessElementChoiceToXml(const CXmlSerializationContext& context,
                                 VxVevAva5Data::CElementInfo** infos, CXmlWriter* writer,
                                 bool optional) const;
  // The readers of the three groups. `offered` follows the child element
  // that the members are looking at, for the line of an error.
  CXmlElement* ProcessElementSeqFromXml(const CXmlSerializationContext& context,
                                        CXmlElement* element, CXmlElement* current,
                                        VxVevAva5Data::XmlElementType ownerType,
                                        CXmlElement*& offered);
  CXmlElement* ProcessElementAllFromXml(const CXmlSerializationContext& context,
                                        CXmlElement* element, CXmlElement* current,
                                        VxVevAva5Data::XmlElementType ownerType,
                                        CXmlElement*& offered);
  CXmlElement* ProcessElementChoiceFromXml(const CXmlSerializationContext& context,
                                           CXmlElement* element, CXmlElement* current,
                                           VxVevAva5Data::XmlElementType ownerType, bool optional,
                                           CXmlElement*& offered);
  void WriteObject(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                   const CXmlSerializationContext& context, bool optional) const;
  CXmlElement* ReadObject(CXmlElement* element, CXmlElement* current,
                          const CXmlSerializationContext& context, bool optional,
                          CXmlElement*& offered);
  int GetClassElementInfoCount() const;
  // Sets the text member to the runs joined.
  void SyncMixedText();
  // The runs of `element`'s text around its child elements.
  void ReadMixedRuns(const CXmlElement* element);
  // The runs to write, or null when there are none or the text member
  // no longer matches them.
  const std::vector<String>* RunsToWrite(int textIndex) const;

  std::unique_ptr<std::vector<String>> m_mixedRuns;  // null: none
};

}  // namespace VxVevAva5

#endif  // VXBIND_MODEL_XMLGENERATEDCLASS_H
