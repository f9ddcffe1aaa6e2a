// -----------------------------------------------------------------------------
// File: ElementInfo.h
// -----------------------------------------------------------------------------
//
// CElementInfo: the metadata of one element member of a generated class, the
// base of the member kinds of ElementInfoKinds.h. This file holds the base,
// the three group bases (CElementInfoSeq, CElementInfoAll,
// CElementInfoChoice) and their collection intermediates (CElementInfoSeqCol,
// CElementInfoAllCol, CElementInfoChoiceCol), which read and write every
// repeated member of their group.
//
// An info never touches the object's fields: it reaches its member through
// the generated class's AccessProperty, by property index, with the value in
// a VxVariant (a primitive value, a child object, or a collection). The
// driver (XmlGeneratedClass.h) calls four operations on every info:
//
//   ElementToXml               writes the member; true when it wrote
//                              anything (a choice stops at the first true)
//   ElementFromXml             offered the cursor `*current` (the next
//                              unconsumed child of `parent`); advances it
//                              past what the member consumed. True means:
//                              sequence: the member is satisfied (read,
//                              optional and absent, or tolerated);
//                              all group, choice: the member consumed input
//   Validate                   all groups only, once after the passes:
//                              whether a member that was (not) found is
//                              acceptable
//   PseudoChildAttributeToXml  members holding model-group objects put their
//                              attributes on the open start tag
//
// With owner type XmlElementType_Element the reading object owns `parent`,
// and a missing mandatory element is an error (unless tolerated); with
// XmlElementType_PseudoElement it is a model group inside another object's
// element, and a member that does not match returns false and lets the
// enclosing driver decide.
//
// Infos are built once per class by generated code and deleted through this
// base by CXmlGeneratedClass::CleanMetaData. They keep no per-call state and
// nothing changes them after construction, so any number of threads may use
// them at once.

#ifndef VXBIND_MODEL_ELEMENTINFO_H
#define VXBIND_MODEL_ELEMENTINFO_H

#include "vxbind/base/SerializationContext.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/model/IdentityTable.h"
#include "vxbind/model/XmlGeneratedClass.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {
class CXmlCollectionBase;
class CXmlElement;
class CXmlWriter;
}  // namespace VxVevAva5

namespace VxVevAva5Data {

using VxVevAva5::CPrimitiveRestrictions;
using VxVevAva5::CWhitespaceUtils;
using VxVevAva5::CXmlCollectionBase;
using VxVevAva5::CXmlElement;
using VxVevAva5::CXmlGeneratedClass;
using VxVevAva5::CXmlObjectBase;
using VxVevAva5::CXmlSerializationContext;
using VxVevAva5::CXmlWriter;
using VxVevAva5::ItemType;
using VxVevAva5::VxVariant;

class VXBIND_EXPORT CElementInfo {
 public:
  // A member of a class, collection, enumeration or untyped kind. The texts
  // are copied.
  CElementInfo(const unsigned short* elementName, const unsigned short* elementNamespace,
               int propertyIndex);
  // A primitive member: values of `itemType`, written with `format` (not
  // copied: it must outlive the info; a printf format for r4/r8, the number
  // of fraction digits for decimal, else ignored), read with
  // `whitespaceRule`, checked against `restrictions` (copied) when written.
  CElementInfo(const unsigned short* elementName, const unsigned short* elementNamespace,
               int propertyIndex, ItemType itemType, const unsigned short* format,
               CWhitespaceUtils::WhitespaceRule whitespaceRule,
               const CPrimitiveRestrictions& restrictions);
  CElementInfo(const CElementInfo& other);
  CElementInfo& operator=(const CElementInfo& other);
  virtual ~CElementInfo();

  virtual bool ElementToXml(const CXmlSerializationContext& context,
                            const CXmlGeneratedClass* object, CXmlWriter* writer) const = 0;
  virtual bool ElementFromXml(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                              CXmlElement* parent, CXmlElement** current,
                              const unsigned short* ownerNamespace, XmlElementType ownerType) = 0;
  virtual bool Validate(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                        bool found, bool mustReport) const = 0;
  // Does nothing here.
  virtual void PseudoChildAttributeToXml(const CXmlSerializationContext& context,
                                         const CXmlGeneratedClass* object,
                                         CXmlWriter* writer) const;

  // The local name of the member's element ("AnyElement": any name, for
  // untyped members) and its namespace URI.
  const String& GetElementName() const { return m_elementName; }
  const String& GetElementNamespace() const { return m_elementNamespace; }
  int GetPropertyIndex() const { return m_propertyIndex; }
  // Whether the member's element is declared nillable: it then reads and
  // writes xsi:nil (a value member's nil state through the object's
  // AccessNil, a child object's as its own IsXsiNil); otherwise xsi:nil on
  // its element is refused. Set once, when the metadata is built.
  bool IsNillable() const { return m_nillable; }
  void SetNillable(bool nillable) { m_nillable = nillable; }

  // A primitive member read as text whose value generated code converts
  // (an element with a default or fixed value): when reading validates, a
  // non-empty text is converted to `itemType` with `rule` and checked
  // against `restrictions` first. Set once, before the info is shared.
  void SetTextCheck(ItemType itemType, CWhitespaceUtils::WhitespaceRule rule,
                    const CPrimitiveRestrictions& restrictions);

  // The schema type declared for the member's element, for a member that
  // holds objects: its name ("" for an anonymous type) and namespace. An
  // object written by the member names its own type with xsi:type only when
  // it is another (a type derived from the declared one). Set by the
  // metadata builder, before the info is shared; without it the member
  // does not say, and its objects decide as a document's root does.
  void SetDeclaredType(const unsigned short* typeName, const unsigned short* typeNamespace);
  bool HasDeclaredType() const { return m_declaredTypeKnown; }
  const String& GetDeclaredTypeName() const { return m_declaredTypeName; }
  const String& GetDeclaredTypeNamespace() const { return m_declaredTypeNamespace; }
  // What validation on read checks of the xsi:type of the member's element
  // (CheckElementType, GlobalDeclarations.h): the type declared for it
  // ("" anonymous), the declaration's block (TypeBlock flags) and the schema
  // set whose types xsi:type may name. Set once by the metadata builder;
  // without it (untyped members, model groups) xsi:type is not checked.
  void SetCheckedType(const unsigned short* typeName, const unsigned short* typeNamespace,
                      unsigned block, const SchemaSetTable* types);
  // A member of a substitution group whose head (`head`, its local name)
  // blocks it: validation refuses its element.
  void SetBlockedFor(const unsigned short* head);
  // With validation on, the check of the xsi:type of `element`, the
  // member's (and of a blocked substitution); nothing otherwise.
  void CheckXsiType(const CXmlSerializationContext& context, const CXmlElement& element) const {
    if (context.GetValidateOnRead() && m_readCheck) CheckXsiTypeOf(element);
  }
  // What the untyped member of a wildcard checks of what it reads, against
  // the declarations of its schema set (GlobalDeclarations.h): skip unless
  // set, once, before the info is shared; other kinds ignore it.
  ProcessContents GetProcessContents() const { return m_processContents; }
  const SchemaSetTable* GetDeclarations() const { return m_declarations; }
  void SetProcessContents(ProcessContents process, const SchemaSetTable* declarations) {
    m_processContents = process;
    m_declarations = declarations;
  }
  // A primitive member of a list or union type: the type's table, against
  // which reading checks the element's text when the context validates
  // (null: none). Set by the metadata builder, before the info is shared.
  const SimpleTypeTable* GetSimpleType() const { return m_simpleType; }
  void SetSimpleType(const SimpleTypeTable* type) { m_simpleType = type; }

  // Validation on read: whether the content of the member's element is an
  // ID, an IDREF or a list of them, and the identity constraints of its
  // declaration (IdentityTable.h). None unless set, once, when the metadata
  // is built.
  IdKind GetIdKind() const { return m_idKind; }
  const IdentityTable* GetIdentity() const { return m_identity; }
  // Whether reading looks at the elements a member read again, after them.
  bool NotesReads() const { return m_idKind != IdKind_None || m_identity != nullptr; }
  void SetIdentity(IdKind kind, const IdentityTable* identity) {
    m_idKind = kind;
    m_identity = identity;
  }

  // Whether the member reads an element of its own name (false for a model
  // group read in place and for a wildcard): the name that messages show as
  // the element expected.
  virtual bool HasElementOfItsName() const { return true; }

  // True when `element` is this member's: the same local name (exactly),
  // and the same namespace URI unless the context ignores namespaces. False
  // for no element.
  bool IsThisElement(const CXmlSerializationContext& context, const CXmlElement* element) const;

  // The facet check of a primitive member (CheckFacets with the element
  // name, the item type and the restrictions); throws the facet's
  // exception. An info of another kind throws CVxException "Cannot
  // CheckRestriction for type: " followed by the value's type name.
  void CheckRestriction(const VxVariant& value) const;

  // The namespace of a new untyped element made for a wildcard whose
  // namespace constraint is `namespaceSpec`: "##any" the owner namespace;
  // "##other" "DefaultNamespace" when the owner namespace is empty, else "";
  // "##local" ""; "##targetNamespace" the target namespace; a blank-separated
  // list starting with "##" the answer for its first entry; anything else "".
  static String GetAnyDefaultNamespace(const unsigned short* namespaceSpec,
                                       const unsigned short* ownerNamespace,
                                       const unsigned short* targetNamespace);

 protected:
  ItemType GetItemType() const { return m_itemType; }
  const unsigned short* GetFormat() const { return m_format; }
  CWhitespaceUtils::WhitespaceRule GetWhitespaceRule() const { return m_whitespaceRule; }
  bool IsPrimitive() const { return m_primitive; }

  // The generated class's AccessProperty with this info's property index.
  void AccessProperty(CXmlGeneratedClass* object, bool read, VxVariant& value) const;
  void ReadProperty(const CXmlGeneratedClass* object, VxVariant& value) const;
  // The object's own FromXml_Int(element, firstChild, context, optional).
  static CXmlElement* FromXml_Int(CXmlObjectBase* object, CXmlElement* element,
                                  CXmlElement* firstChild, const CXmlSerializationContext& context,
                                  bool optional);
  // The object's own AttributesToXml_Int.
  static void AttributesToXml_Int(const CXmlObjectBase* object, CXmlWriter* writer,
                                  const CXmlSerializationContext& context);

  // The writing operations of the kinds; each reads the member first and
  // returns true when it wrote something.
  // A primitive value: nothing for an invalid variant; otherwise the facet
  // check, then <name>value</name> with the format.
  bool ElementToXmlPrim(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                        CXmlWriter* writer) const;
  bool ElementToXmlPrimOpt(const CXmlSerializationContext& context,
                           const CXmlGeneratedClass* object, CXmlWriter* writer) const {
    return ElementToXmlPrim(context, object, writer);
  }
  // An enumeration value: nothing for an invalid variant; otherwise
  // <name>toText(value)</name>.
  bool ElementToXmlEnum(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                        CXmlWriter* writer, const unsigned short* (*toText)(int)) const;
  bool ElementToXmlEnumOpt(const CXmlSerializationContext& context,
                           const CXmlGeneratedClass* object, CXmlWriter* writer,
                           const unsigned short* (*toText)(int)) const {
    return ElementToXmlEnum(context, object, writer, toText);
  }
  // A collection: nothing when it is empty; otherwise it writes its items
  // in the member's namespace.
  bool ElementToXmlCol(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                       CXmlWriter* writer) const;
  // A child object: nothing when there is none; otherwise the child writes
  // itself in the member's namespace (`optional` handed to it).
  bool ElementToXmlCls(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                       CXmlWriter* writer, bool optional) const;

  // Shared reading steps of the kinds.
  // How a mandatory sequence member looks for its element.
  enum SearchResult {
    kSearchFound,      // *current is the member's element
    kSearchTolerated,  // missing, and the context accepts that: nothing to read
    kSearchMissing,    // not here (model group owner): the member returns false
  };
  // With owner type Element: skips unknown elements when the context
  // ignores them, tolerates the absence when the context ignores missing
  // mandatory elements, else throws "Failed to find a required element
  // [%s]" (validating, with an element in its place: "Found the element
  // [%s] where [%s] is expected"). With a pseudo owner: skips unknown
  // elements only when `skipInModelGroup` (and the context ignores them),
  // else kSearchMissing.
  SearchResult SearchMandatory(const CXmlSerializationContext& context, CXmlElement** current,
                               XmlElementType ownerType, bool skipInModelGroup) const;
  // The xsi:nil of a value member's element: true when it is nil (the
  // member is then marked nil and its value left alone), false otherwise
  // (a nillable member is then marked not nil). xsi:nil on the element of
  // a member that is not nillable, a value that is no boolean, and a nil
  // element with content throw CVxValidationException.
  bool ReadNil(CXmlGeneratedClass* object, const CXmlElement* element) const;
  // When the (nillable) value member is nil: writes its element with
  // xsi:nil="true" and returns true.
  bool WriteNil(const CXmlGeneratedClass* object, CXmlWriter* writer) const;
  // *current's text as the member's primitive value (the whitespace rule
  // applied; the simple type's check when the context validates, for a
  // list or union), stored, or the member marked nil; the cursor advances.
  // The value's facets are checked only when the context validates
  // (CheckFacetsOnRead: the pattern on the text as read).
  void ReadPrimitive(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                     CXmlElement** current) const;
  // *current's text (as it stands) through `fromText`, stored as an i4, or
  // the member marked nil; the cursor advances.
  void ReadEnum(CXmlGeneratedClass* object, CXmlElement** current,
                int (*fromText)(const unsigned short*)) const;
  // The member's current object; a member that holds none (generated code
  // makes mandatory children before reading) throws CVxException "The
  // member [%s] holds no object to read into".
  VxVevAva5::CSmartPtr<CXmlObjectBase> FetchObject(const CXmlGeneratedClass* object) const;
  // The member's collection; none throws CVxException "The member [%s]
  // holds no collection".
  VxVevAva5::CSmartPtr<CXmlCollectionBase> FetchCollection(const CXmlGeneratedClass* object) const;
  // Stores `child` (null: an invalid variant) into the member.
  void StoreObject(CXmlGeneratedClass* object, CXmlObjectBase* child) const;
  // Reads `child` from *current (its own element) and advances; the child
  // may be nil when the member is nillable.
  void ReadFromElement(CXmlObjectBase* child, CXmlElement** current,
                       const CXmlSerializationContext& context) const;
  // Reads `child` in place (its content at the cursor, inside `parent`);
  // true when it consumed something, the cursor then moved past it.
  static bool ReadInPlace(CXmlObjectBase* child, CXmlElement* parent, CXmlElement** current,
                          const CXmlSerializationContext& context);
  // The member read the sibling elements from `first` up to `end` (null:
  // to the last): with validation on, their IDs, references and identity
  // constraints go to the document's checks. Nothing for a member without
  // any.
  void NoteRead(const CXmlElement* first, const CXmlElement* end) const {
    if (m_idKind != IdKind_None || m_identity != nullptr) NoteIdentities(first, end);
  }
  // "Failed to find the mandatory element [%s]".
  [[noreturn]] void ThrowMissingMandatory() const;
  // "Not implemented, should never be called".
  [[noreturn]] static void ThrowNotImplemented();

 private:
  String m_elementName;
  String m_elementNamespace;
  int m_propertyIndex;
  CPrimitiveRestrictions m_restrictions;
  ItemType m_itemType = VxVevAva5::ItemType_Invalid;
  const unsigned short* m_format = nullptr;
  CWhitespaceUtils::WhitespaceRule m_whitespaceRule = CWhitespaceUtils::WhitespaceRule_Preserve;
  bool m_primitive = false;
  bool m_declaredTypeKnown = false;
  String m_declaredTypeName;
  String m_declaredTypeNamespace;
  bool m_nillable = false;
  ProcessContents m_processContents = ProcessContents_Skip;
  const SchemaSetTable* m_declarations = nullptr;
  const SimpleTypeTable* m_simpleType = nullptr;
  IdKind m_idKind = IdKind_None;
  const IdentityTable* m_identity = nullptr;

  void NoteIdentities(const CXmlElement* first, const CXmlElement* end) const;
  ItemType m_textType = VxVevAva5::ItemType_Invalid;  // see SetTextCheck
  CWhitespaceUtils::WhitespaceRule m_textRule = CWhitespaceUtils::WhitespaceRule_Preserve;
  CPrimitiveRestrictions m_textRestrictions;
  bool m_readCheck = false;
  unsigned m_block = 0;
  String m_checkedTypeName;
  String m_checkedTypeNamespace;
  const SchemaSetTable* m_types = nullptr;
  String m_blockedFor;
  bool m_hasCheckedType = false;  // SetCheckedType was called
  bool m_declaredAbstract = false;

  void CheckXsiTypeOf(const CXmlElement& element) const;
};

// The group bases. Each says which group it is, for the member kinds that
// are written once for all groups.

// A member of an xs:sequence. Validate throws CVxException "Not
// implemented, should never be called" (the driver never calls it).
class VXBIND_EXPORT CElementInfoSeq : public CElementInfo {
 public:
  static constexpr XmlElementGroupType kGroup = XmlElementGroupType_Sequence;
  using CElementInfo::CElementInfo;
  bool Validate(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                bool found, bool mustReport) const override;
};

// A member of an xs:all.
class VXBIND_EXPORT CElementInfoAll : public CElementInfo {
 public:
  static constexpr XmlElementGroupType kGroup = XmlElementGroupType_All;
  using CElementInfo::CElementInfo;
};

// A member of an xs:choice. Validate throws as the sequence's.
class VXBIND_EXPORT CElementInfoChoice : public CElementInfo {
 public:
  static constexpr XmlElementGroupType kGroup = XmlElementGroupType_Choice;
  using CElementInfo::CElementInfo;
  bool Validate(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                bool found, bool mustReport) const override;
};

// The collection intermediates: a member whose value is a collection
// (maxOccurs above 1) is written by the collection (nothing when it is
// empty) and read by it, as a run of consecutive elements at the cursor.
// Its count is checked after reading unless the context ignores invalid
// collection counts.

// Sequence: reads the run (possibly empty), checks the count, returns true.
class VXBIND_EXPORT CElementInfoSeqCol : public CElementInfoSeq {
 public:
  CElementInfoSeqCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                     int propertyIndex);
  bool ElementToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                    CXmlWriter* writer) const override;
  bool ElementFromXml(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                      CXmlElement* parent, CXmlElement** current,
                      const unsigned short* ownerNamespace, XmlElementType ownerType) override;
};

// All group: reads on every pass and returns false, so that it is offered
// the input again; the count is checked once, by Validate, after the passes.
class VXBIND_EXPORT CElementInfoAllCol : public CElementInfoAll {
 public:
  CElementInfoAllCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                     int propertyIndex);
  bool ElementToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                    CXmlWriter* writer) const override;
  bool ElementFromXml(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                      CXmlElement* parent, CXmlElement** current,
                      const unsigned short* ownerNamespace, XmlElementType ownerType) override;
  bool Validate(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                bool found, bool mustReport) const override;
};

// Choice: false when the run is empty; otherwise checks the count, true.
class VXBIND_EXPORT CElementInfoChoiceCol : public CElementInfoChoice {
 public:
  CElementInfoChoiceCol(const unsigned short* elementName, const unsigned short* elementNamespace,
                        int propertyIndex);
  bool ElementToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                    CXmlWriter* writer) const override;
  bool ElementFromXml(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                      CXmlElement* parent, CXmlElement** current,
                      const unsigned short* ownerNamespace, XmlElementType ownerType) override;
};

}  // namespace VxVevAva5Data

#endif  // VXBIND_MODEL_ELEMENTINFO_H
