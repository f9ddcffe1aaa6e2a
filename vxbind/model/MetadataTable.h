// -----------------------------------------------------------------------------
// File: MetadataTable.h
// -----------------------------------------------------------------------------
//
// Made for generated code: a generated class describes its metadata as
// constant tables, and the library builds the class info and the element
// and attribute infos from them on first use. What the class's code keeps
// per member is one table row (data, no code); the switch over the member
// kinds is written once, here.
//
//   constexpr FacetTable kCodeFacets = FacetTable().Pattern(u"[A-Z]{2}\\d");
//   constexpr ElementMember kItemElements[] = {
//       PrimitiveElement(MemberOccurs_Mandatory, u"name", u"urn:po", 0,
//                        VxVevAva5::ItemType_string, kPreserve),
//       ClassElement(MemberOccurs_Optional, u"next", u"urn:po", 1, XmlElementType_Element,
//                    CreateObject, 7)};
//   constexpr AttributeMember kItemAttributes[] = {
//       PrimitiveAttribute(u"code", u"", 2, true, VxVevAva5::ItemType_string, kPreserve,
//                          &kCodeFacets)};
//   constexpr ClassTable kItem = {XmlElementGroupType_Sequence, XmlElementType_Element,
//                                 u"item", u"urn:po", -1, true, false,
//                                 kItemElements, 2, kItemAttributes, 1};
//
// The texts are char16_t literals, so that the tables are constant
// expressions, laid out by the compiler as initialised data. The infos copy
// what they keep but a primitive member's format, which they point to: a
// table is static data and outlives them.
//
// BuildMetadata makes the infos of a table, the objects that the element
// and attribute info constructors would make; generated code calls it once
// per class (a function-local static) and frees the result with
// CXmlGeneratedClass::CleanMetaData.
//
// The member access helpers below make AccessProperty one call per member:
//   case 0: return AccessValue<ItemType_string>(m_name, read, value);
//   case 1: return AccessValue<ItemType_i4>(m_count, m_validCount, read, value);
//   case 2: return AccessObject(m_next, read, value);
//   case 3: return AccessCollection(m_prices, read, value);

#ifndef VXBIND_MODEL_METADATATABLE_H
#define VXBIND_MODEL_METADATATABLE_H

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "vxbind/base/GeneratedCode.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/model/IdentityTable.h"
#include "vxbind/model/XmlGeneratedClass.h"
#include "vxbind/platform/Export.h"

namespace VxVevAva5 {
class CXmlCollectionBase;
}  // namespace VxVevAva5

namespace VxVevAva5Data {

using VxVevAva5::CPrimitiveRestrictions;
using VxVevAva5::CWhitespaceUtils;
using VxVevAva5::CXmlObjectBase;
using VxVevAva5::VxVariant;

class CAttributeInfo;
class CElementInfo;
struct SchemaSetTable;
struct SimpleTypeTable;  // SimpleTypeTable.h

// ---- The tables ----------------------------------------------------------------

// The facets of a primitive member, field by field; those not named are not
// in force (null texts, -1 lengths):
//   constexpr FacetTable kFacets = FacetTable().MinLength(1).MaxInclusive(u"100");
struct FacetTable {
  const char16_t* pattern = nullptr;
  int length = -1;
  int minLength = -1;
  int maxLength = -1;
  const char16_t* minInclusive = nullptr;
  const char16_t* maxInclusive = nullptr;
  const char16_t* minExclusive = nullptr;
  const char16_t* maxExclusive = nullptr;
  // A list or union type: what reading checks the text against when the
  // context validates (the other facets are the text's, as a string).
  const SimpleTypeTable* simpleType = nullptr;
  int totalDigits = -1;
  int fractionDigits = -1;

 private:
  // Before its callers: clang does not evaluate a member template defined
  // after them in a constant expression.
  template <class T>
  constexpr FacetTable With(T FacetTable::*field, T v) const {
    FacetTable copy = *this;
    copy.*field = v;
    return copy;
  }

 public:
  constexpr FacetTable Pattern(const char16_t* v) const { return With(&FacetTable::pattern, v); }
  constexpr FacetTable Length(int v) const { return With(&FacetTable::length, v); }
  constexpr FacetTable MinLength(int v) const { return With(&FacetTable::minLength, v); }
  constexpr FacetTable MaxLength(int v) const { return With(&FacetTable::maxLength, v); }
  constexpr FacetTable MinInclusive(const char16_t* v) const {
    return With(&FacetTable::minInclusive, v);
  }
  constexpr FacetTable MaxInclusive(const char16_t* v) const {
    return With(&FacetTable::maxInclusive, v);
  }
  constexpr FacetTable MinExclusive(const char16_t* v) const {
    return With(&FacetTable::minExclusive, v);
  }
  constexpr FacetTable MaxExclusive(const char16_t* v) const {
    return With(&FacetTable::maxExclusive, v);
  }
  constexpr FacetTable SimpleType(const SimpleTypeTable* v) const {
    return With(&FacetTable::simpleType, v);
  }
  constexpr FacetTable TotalDigits(int v) const { return With(&FacetTable::totalDigits, v); }
  constexpr FacetTable FractionDigits(int v) const { return With(&FacetTable::fractionDigits, v); }

};

// The CPrimitiveRestrictions of `facets` (null: none in force).
VXBIND_EXPORT CPrimitiveRestrictions MakeRestrictions(const FacetTable* facets);

// A value that generated code converts from text itself, checked against
// its type and facets when reading validates: the text of simple content
// (ClassTable::text), and the text of an element with a default or fixed
// value (ElementMember::CheckedAs), unless it is empty.
struct TextCheck {
  VxVevAva5::ItemType itemType = VxVevAva5::ItemType_Invalid;
  CWhitespaceUtils::WhitespaceRule whitespace = CWhitespaceUtils::WhitespaceRule_Preserve;
  const FacetTable* facets = nullptr;
};

// How often a member's element may occur.
enum MemberOccurs : uint8_t {
  MemberOccurs_Mandatory = 0,
  MemberOccurs_Optional = 1,
  MemberOccurs_Repeated = 2,  // a collection member (maxOccurs above 1)
};

// The value kinds of an element member (see ElementInfoKinds.h).
enum ElementMemberKind : uint8_t {
  ElementMemberKind_Class = 0,         // a child object of a known class
  ElementMemberKind_Substitution = 1,  // a child object chosen by xsi:type
  ElementMemberKind_Primitive = 2,
  ElementMemberKind_Enum = 3,
  ElementMemberKind_Untyped = 4,  // the content of a wildcard
};

// One element member. The builders below fill what each kind needs and
// leave the rest empty; repeated members need no more than their name, as
// their collection does the reading and writing (class members say whether
// the items are model groups).
struct ElementMember {
  ElementMemberKind kind = ElementMemberKind_Primitive;
  MemberOccurs occurs = MemberOccurs_Mandatory;
  bool requiredContent = false;  // class, mandatory: a model group must consume something
  bool nillable = false;         // declared nillable: reads and writes xsi:nil (Nillable())
  CWhitespaceUtils::WhitespaceRule whitespace = CWhitespaceUtils::WhitespaceRule_Preserve;
  XmlElementType memberType = XmlElementType_Element;  // class, substitution
  int propertyIndex = 0;
  VxVevAva5::ItemType itemType = VxVevAva5::ItemType_Invalid;  // primitive
  int classNumber = 0;                                       // class
  const char16_t* name = nullptr;
  const char16_t* elementNamespace = nullptr;
  VxVevAva5::ClassFactoryFunction classFactory = nullptr;
  VxVevAva5::SubstitutionFactoryFunction substitutionFactory = nullptr;
  VxVevAva5::EnumToStringFunction toText = nullptr;
  VxVevAva5::EnumFromStringFunction fromText = nullptr;
  const char16_t* format = nullptr;    // primitive: r4/r8 printf format, decimal digits
  const FacetTable* facets = nullptr;  // primitive: null for none
  const char16_t* namespaceSpec = nullptr;    // untyped: the wildcard's constraint
  const char16_t* targetNamespace = nullptr;  // untyped
  ProcessContents processContents = ProcessContents_Skip;  // untyped
  const SchemaSetTable* declarations = nullptr;  // untyped: what lax and strict check against
  const TextCheck* textCheck = nullptr;          // primitive read as text: see CheckedAs

  // Class and substitution members: the schema type declared for the
  // element, by name ("" for an anonymous type) and namespace; null: not
  // said (CElementInfo::SetDeclaredType).
  // Primitive and enumeration members say it too, for the check of xsi:type
  // when validating (CElementInfo::CheckXsiType).
  const char16_t* typeName = nullptr;
  const char16_t* typeNamespace = nullptr;
  // The element declaration's block (or its schema's blockDefault), as
  // TypeBlock flags (GlobalDeclarations.h): the derivations xsi:type may not
  // name, checked when validating.
  uint8_t block = 0;
  // A member of a substitution group whose head blocks it: the head's local
  // name; validation refuses the member's element (BlockedFor()).
  const char16_t* blockedFor = nullptr;

  // The same row with the declared type:
  //   ClassElement(...).DeclaredType(u"Shape", u"urn:shapes")
  constexpr ElementMember DeclaredType(const char16_t* declaredName,
                                       const char16_t* declaredNamespace) const {
    ElementMember m = *this;
    m.typeName = declaredName;
    m.typeNamespace = declaredNamespace;
    return m;
  }

  // The row of a primitive member read as text (ItemType_string, kept as
  // it stands) whose value is converted by generated code: its non-empty
  // text is checked as `check` says when reading validates.
  constexpr ElementMember CheckedAs(const TextCheck* check) const {
    ElementMember m = *this;
    m.textCheck = check;
    return m;
  }

  // The row of an element declared nillable="true", whose element may
  // carry xsi:nil (see CElementInfo::IsNillable); without it, xsi:nil is
  // refused:
  //   PrimitiveElement(MemberOccurs_Optional, u"note", u"", 3, ItemType_string).Nillable()
  constexpr ElementMember Nillable() const {
    ElementMember m = *this;
    m.nillable = true;
    return m;
  }

  // Validation on read (IdentityTable.h): the element's content is an ID,
  // an IDREF or a list of them; the identity constraints of the element's
  // declaration.
  IdKind idKind = IdKind_None;
  const IdentityTable* identity = nullptr;
  constexpr ElementMember Id(IdKind idValues) const {
    ElementMember m = *this;
    m.idKind = idValues;
    return m;
  }
  constexpr ElementMember Identity(const IdentityTable* table) const {
    ElementMember m = *this;
    m.identity = table;
    return m;
  }
  // The row of an element declared with block (TypeBlock flags):
  //   ClassElement(...).DeclaredType(u"Shape", u"urn:shapes").Block(TypeBlock_Extension)
  constexpr ElementMember Block(uint8_t flags) const {
    ElementMember m = *this;
    m.block = flags;
    return m;
  }
  //   ClassElement(...).BlockedFor(u"shape")
  constexpr ElementMember BlockedFor(const char16_t* head) const {
    ElementMember m = *this;
    m.blockedFor = head;
    return m;
  }
};

// What every element row starts with; the builders below fill in the rest.
constexpr ElementMember ElementRow(ElementMemberKind kind, MemberOccurs occurs,
                                   const char16_t* name, const char16_t* ns, int propertyIndex) {
  ElementMember m;
  m.kind = kind;
  m.occurs = occurs;
  m.name = name;
  m.elementNamespace = ns;
  m.propertyIndex = propertyIndex;
  return m;
}

// The element member builders. Repeated members take the name, the namespace
// and the property index only (and the member type, for class members).
constexpr ElementMember ClassElement(MemberOccurs occurs, const char16_t* name,
                                     const char16_t* ns, int propertyIndex,
                                     XmlElementType memberType,
                                     VxVevAva5::ClassFactoryFunction factory = nullptr,
                                     int classNumber = 0, bool requiredContent = true) {
  ElementMember m = ElementRow(ElementMemberKind_Class, occurs, name, ns, propertyIndex);
  m.memberType = memberType;
  m.classFactory = factory;
  m.classNumber = classNumber;
  m.requiredContent = requiredContent;
  return m;
}

constexpr ElementMember SubstitutionElement(
    MemberOccurs occurs, const char16_t* name, const char16_t* ns, int propertyIndex,
    XmlElementType memberType, VxVevAva5::SubstitutionFactoryFunction factory = nullptr) {
  ElementMember m = ElementRow(ElementMemberKind_Substitution, occurs, name, ns, propertyIndex);
  m.memberType = memberType;
  m.substitutionFactory = factory;
  return m;
}

constexpr ElementMember PrimitiveElement(
    MemberOccurs occurs, const char16_t* name, const char16_t* ns, int propertyIndex,
    VxVevAva5::ItemType itemType = VxVevAva5::ItemType_Invalid,
    CWhitespaceUtils::WhitespaceRule whitespace = CWhitespaceUtils::WhitespaceRule_Preserve,
    const FacetTable* facets = nullptr, const char16_t* format = nullptr) {
  ElementMember m = ElementRow(ElementMemberKind_Primitive, occurs, name, ns, propertyIndex);
  m.itemType = itemType;
  m.whitespace = whitespace;
  m.facets = facets;
  m.format = format;
  return m;
}

constexpr ElementMember EnumElement(MemberOccurs occurs, const char16_t* name,
                                    const char16_t* ns, int propertyIndex,
                                    VxVevAva5::EnumToStringFunction toText = nullptr,
                                    VxVevAva5::EnumFromStringFunction fromText = nullptr) {
  ElementMember m = ElementRow(ElementMemberKind_Enum, occurs, name, ns, propertyIndex);
  m.toText = toText;
  m.fromText = fromText;
  return m;
}

constexpr ElementMember UntypedElement(MemberOccurs occurs, const char16_t* name,
                                       const char16_t* ns, int propertyIndex,
                                       const char16_t* namespaceSpec = nullptr,
                                       const char16_t* targetNamespace = nullptr,
                                       ProcessContents processContents = ProcessContents_Skip,
                                       const SchemaSetTable* declarations = nullptr) {
  ElementMember m = ElementRow(ElementMemberKind_Untyped, occurs, name, ns, propertyIndex);
  m.namespaceSpec = namespaceSpec;
  m.targetNamespace = targetNamespace;
  m.processContents = processContents;
  m.declarations = declarations;
  return m;
}

// The kinds of an attribute member (see AttributeInfo.h).
enum AttributeMemberKind : uint8_t {
  AttributeMemberKind_Primitive = 0,
  AttributeMemberKind_Enum = 1,
  AttributeMemberKind_Any = 2,  // xs:anyAttribute, into a CAttributeCol
};

struct AttributeMember {
  AttributeMemberKind kind = AttributeMemberKind_Primitive;
  bool optional = true;
  CWhitespaceUtils::WhitespaceRule whitespace = CWhitespaceUtils::WhitespaceRule_Preserve;
  int propertyIndex = 0;
  VxVevAva5::ItemType itemType = VxVevAva5::ItemType_Invalid;
  const char16_t* name = nullptr;
  const char16_t* attributeNamespace = nullptr;  // "" or null: unqualified
  VxVevAva5::EnumToStringFunction toText = nullptr;
  VxVevAva5::EnumFromStringFunction fromText = nullptr;
  const char16_t* format = nullptr;
  const FacetTable* facets = nullptr;
  const char16_t* namespaceSpec = nullptr;  // any: the wildcard's constraint
  const char16_t* targetNamespace = nullptr;
  ProcessContents processContents = ProcessContents_Skip;  // any
  const SchemaSetTable* declarations = nullptr;            // any
  bool tellsAbsence = false;  // see TellsAbsence
  IdKind idKind = IdKind_None;  // validation on read: the value is an ID, IDREF, ...

  constexpr AttributeMember Id(IdKind idValues) const {
    AttributeMember m = *this;
    m.idKind = idValues;
    return m;
  }
};

// What every attribute row starts with; the builders below fill in the rest.
constexpr AttributeMember AttributeRow(AttributeMemberKind kind, const char16_t* name,
                                       const char16_t* ns, int propertyIndex, bool optional) {
  AttributeMember m;
  m.kind = kind;
  m.name = name;
  m.attributeNamespace = ns;
  m.propertyIndex = propertyIndex;
  m.optional = optional;
  return m;
}

// The attribute member builders.
constexpr AttributeMember PrimitiveAttribute(
    const char16_t* name, const char16_t* ns, int propertyIndex, bool optional,
    VxVevAva5::ItemType itemType,
    CWhitespaceUtils::WhitespaceRule whitespace = CWhitespaceUtils::WhitespaceRule_Preserve,
    const FacetTable* facets = nullptr, const char16_t* format = nullptr) {
  AttributeMember m = AttributeRow(AttributeMemberKind_Primitive, name, ns, propertyIndex, optional);
  m.itemType = itemType;
  m.whitespace = whitespace;
  m.facets = facets;
  m.format = format;
  return m;
}

constexpr AttributeMember EnumAttribute(const char16_t* name, const char16_t* ns,
                                        int propertyIndex, bool optional,
                                        VxVevAva5::EnumToStringFunction toText,
                                        VxVevAva5::EnumFromStringFunction fromText) {
  AttributeMember m = AttributeRow(AttributeMemberKind_Enum, name, ns, propertyIndex, optional);
  m.toText = toText;
  m.fromText = fromText;
  return m;
}

// A row whose member is told, when a document read lacks the attribute,
// with an invalid variant written to it (an attribute whose fixed value is
// written back only when the input had it).
constexpr AttributeMember TellsAbsence(AttributeMember m) {
  m.tellsAbsence = true;
  return m;
}

// The wildcard's member takes every attribute offered to it: list it last.
constexpr AttributeMember AnyAttribute(int propertyIndex, const char16_t* namespaceSpec,
                                       const char16_t* targetNamespace,
                                       ProcessContents processContents = ProcessContents_Skip,
                                       const SchemaSetTable* declarations = nullptr) {
  AttributeMember m = AttributeRow(AttributeMemberKind_Any, u"AnyAttribute", u"", propertyIndex, true);
  m.namespaceSpec = namespaceSpec;
  m.targetNamespace = targetNamespace;
  m.processContents = processContents;
  m.declarations = declarations;
  return m;
}

// A class as a whole: what CParentElementInfo takes, and its members (the
// element members in document order).
struct ClassTable {
  XmlElementGroupType group;
  XmlElementType elementType;
  const char16_t* elementName;
  const char16_t* elementNamespace;
  int textPropertyIndex;  // -1: none
  bool failIfAttributeUnknown;
  bool hasBaseClasses;
  const ElementMember* elements;  // null when elementCount is 0
  std::size_t elementCount;
  const AttributeMember* attributes;  // null when attributeCount is 0
  std::size_t attributeCount;
  // Element-only content: text between the children is refused when read
  // (CParentElementInfo::SetElementOnly).
  bool elementOnly = false;
  bool mixed = false;  // mixed content with its text runs kept in place
  // A class with base classes: the local names of the global elements
  // declared with its type (CParentElementInfo::AddGlobalElement).
  const char16_t* const* globalElements = nullptr;
  std::size_t globalElementCount = 0;
  // The schema set of the class (its namespace's kGlobalDeclarations), whose
  // types the members' xsi:type checks look up when validating; null: none
  // known (xsi:type names only built-in types then).
  const SchemaSetTable* declarations = nullptr;
  // Simple content of a list or union type: what reading checks the text
  // against when the context validates (CParentElementInfo::SetTextType).
  const SimpleTypeTable* textType = nullptr;
  // The global elements of the class's type that have identity
  // constraints, checked when one is read as a document's root with
  // validation on.
  const RootIdentity* rootIdentities = nullptr;
  std::size_t rootIdentityCount = 0;
  // Simple content with facets: its text's check (null: none).
  const TextCheck* text = nullptr;
};

// The class info of `table` and its null-ended element and attribute info
// arrays, new, for CXmlGeneratedClass::CleanMetaData to free. A row that
// names no kind this library has, or a kind its group does not have (a
// mandatory member of a choice), throws CVxException "The metadata table of
// [%s] has a member [%s] of an unknown kind" naming the class and the
// member; nothing is left allocated then.
VXBIND_EXPORT void BuildMetadata(const ClassTable& table, CParentElementInfo*& classInfo,
                                 CElementInfo**& elementInfos, CAttributeInfo**& attributeInfos);

// The metadata of one generated class, built from its table on first use by
// whichever thread gets there first, then shared by all objects of the class
// and all threads; freed (CleanMetaData) when the program ends. It holds
// only the table's address and an atomic pointer, so a namespace-scope
// object is constant-initialised and needs no guard, no code at start-up
// and no destructor of its own:
//   CTableMetadata kItemMetadata(kItem);
//   CParentElementInfo* CItem::GetClassInfo() const { return kItemMetadata.ClassInfo(); }
// Building throws what BuildMetadata throws; the next call tries again.
// Only for objects of static storage duration, as above: the library
// empties the object again when it frees the metadata at exit.
class VXBIND_EXPORT CTableMetadata {
 public:
  constexpr explicit CTableMetadata(const ClassTable& table) : m_table(&table) {}
  CTableMetadata(const CTableMetadata&) = delete;
  CTableMetadata& operator=(const CTableMetadata&) = delete;

  CParentElementInfo* ClassInfo() const { return Infos().classInfo; }
  CElementInfo** ElementInfos() const { return Infos().elementInfos; }
  CAttributeInfo** AttributeInfos() const { return Infos().attributeInfos; }

  // What BuildMetadata made of the table.
  struct Built {
    CParentElementInfo* classInfo;
    CElementInfo** elementInfos;
    CAttributeInfo** attributeInfos;
  };

 private:
  const Built& Infos() const {
    const Built* built = m_built.load(std::memory_order_acquire);
    return built != nullptr ? *built : Build();
  }
  const Built& Build() const;

  const ClassTable* m_table;
  mutable std::atomic<const Built*> m_built{nullptr};
};

// ---- Member access ---------------------------------------------------------------
// One call per case of a generated AccessProperty. `read` true: the member
// into `value` (nothing when an optional member has no value, or an object
// member holds none); false: `value` into the member (an invalid variant
// clears an optional member's flag and leaves its value; an object member
// takes over the variant's object, none when invalid).

// The member of the C++ type of kType (ItemTypeTraits<kType>::ValueType),
// through the variant's Set/Get of that kind. Defined in the library for
// every item type of 1..26 but char.
template <VxVevAva5::ItemType kType>
VXBIND_EXPORT void AccessValue(typename VxVevAva5::ItemTypeTraits<kType>::ValueType& member,
                               bool read, VxVariant& value);
// The same for an optional member and its flag.
template <VxVevAva5::ItemType kType>
VXBIND_EXPORT void AccessValue(typename VxVevAva5::ItemTypeTraits<kType>::ValueType& member,
                               bool& valid, bool read, VxVariant& value);

// An enumeration member, carried as an i4.
template <class Enum>
inline void AccessEnum(Enum& member, bool read, VxVariant& value) {
  if (read)
    value.SetI4(static_cast<int32_t>(member));
  else
    member = static_cast<Enum>(value.GetI4());
}
template <class Enum>
inline void AccessEnum(Enum& member, bool& valid, bool read, VxVariant& value) {
  if (read) {
    if (valid) value.SetI4(static_cast<int32_t>(member));
  } else {
    valid = value.IsValid();
    if (valid) member = static_cast<Enum>(value.GetI4());
  }
}

// A child object member: the variant's object (null when it is invalid),
// and the object into a variant (nothing for null).
VXBIND_EXPORT CXmlObjectBase* ObjectFromVariant(const VxVariant& value);
VXBIND_EXPORT void ObjectToVariant(CXmlObjectBase* object, VxVariant& value);
template <class Class>
inline void AccessObject(VxVevAva5::CSmartPtr<Class>& member, bool read, VxVariant& value) {
  if (read)
    ObjectToVariant(member.get(), value);
  else
    member = static_cast<Class*>(ObjectFromVariant(value));
}

// A collection member: read only (the class owns its collections and never
// replaces them); writing does nothing.
VXBIND_EXPORT void AccessCollection(VxVevAva5::CXmlCollectionBase* member, bool read,
                                    VxVariant& value);

// A text member set from `text` ("" for null), out of line: for Init and
// the setters of text members.
VXBIND_EXPORT void AssignText(String& member, const unsigned short* text);

}  // namespace VxVevAva5Data

#endif  // VXBIND_MODEL_METADATATABLE_H
