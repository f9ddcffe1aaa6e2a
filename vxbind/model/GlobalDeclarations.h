// -----------------------------------------------------------------------------
// File: GlobalDeclarations.h
// -----------------------------------------------------------------------------
//
// The global declarations of the schema sets a program is built with, and
// the checks of wildcard content against them.
//
// Wildcard content (xs:any, xs:anyAttribute) is held as untyped content
// whatever the wildcard's processContents says. With lax or strict, what is
// read is also checked: an attribute that matches a global attribute
// declaration (local name and namespace) must be a valid value of its type
// and facets; an element that matches a global element declaration must
// bind into the class of that element (the object made for the check is
// dropped: the content stays untyped). Under lax, an element that matches
// no declaration is looked into: its attributes and children are checked in
// the same way. Under strict, an element or attribute that matches no
// declaration is refused. Attributes in the XML Schema instance namespace
// (xsi:type, xsi:nil, ...) and in the xml namespace (xml:lang, ...) are
// never checked.
//
// Each generated schema set (the schemas compiled into one C++ namespace)
// describes its global declarations in one SchemaSetTable, constant data,
// and its wildcard rows point to it (MetadataTable.h), so that a wildcard
// is checked against the declarations of its own set only, whatever other
// sets the program holds:
//
//   constexpr GlobalAttribute kAttributes[] = {
//       GlobalPrimitiveAttribute(u"mustUnderstand", u"urn:env", ItemType_boolean, kCollapse,
//                                &kFacets0)};
//   constexpr GlobalElement kElements[] = {{u"Envelope", u"urn:env"}};
//   extern const SchemaSetTable kGlobalDeclarations = {kAttributes, 1, kElements, 1,
//                                                      CreateRootObject};
//
// The tables are only read: any number of threads may check at once.

#ifndef VXBIND_MODEL_GLOBALDECLARATIONS_H
#define VXBIND_MODEL_GLOBALDECLARATIONS_H

#include <cstddef>
#include <cstdint>

#include "vxbind/base/GeneratedCode.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/model/MetadataTable.h"
#include "vxbind/model/XmlGeneratedClass.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {
class CXmlAttribute;
class CXmlElement;
}  // namespace VxVevAva5

namespace VxVevAva5Data {

using VxVevAva5::CXmlSerializationContext;

// One global attribute declaration: a value of `itemType` with `facets`
// (null: none), or of an enumeration when `fromText` is set.
struct GlobalAttribute {
  const char16_t* name = nullptr;
  const char16_t* attributeNamespace = nullptr;  // "" or null: none
  VxVevAva5::ItemType itemType = VxVevAva5::ItemType_string;
  CWhitespaceUtils::WhitespaceRule whitespace = CWhitespaceUtils::WhitespaceRule_Preserve;
  const FacetTable* facets = nullptr;
  VxVevAva5::EnumFromStringFunction fromText = nullptr;
};

constexpr GlobalAttribute GlobalPrimitiveAttribute(const char16_t* name, const char16_t* ns,
                                                   VxVevAva5::ItemType itemType,
                                                   CWhitespaceUtils::WhitespaceRule whitespace,
                                                   const FacetTable* facets = nullptr) {
  GlobalAttribute a;
  a.name = name;
  a.attributeNamespace = ns;
  a.itemType = itemType;
  a.whitespace = whitespace;
  a.facets = facets;
  return a;
}

constexpr GlobalAttribute GlobalEnumAttribute(const char16_t* name, const char16_t* ns,
                                              VxVevAva5::EnumFromStringFunction fromText) {
  GlobalAttribute a;
  a.name = name;
  a.attributeNamespace = ns;
  a.fromText = fromText;
  return a;
}

// One global element declaration; its class comes from the set's root
// factory (none for an abstract element or one of an abstract type: such an
// element is declared, and not bound).
struct GlobalElement {
  const char16_t* name;
  const char16_t* elementNamespace;  // "" or null: none
  // Its type ("" anonymous; null: untyped or not said) and block (TypeBlock
  // flags), for the check of xsi:type when validating.
  const char16_t* typeName = nullptr;
  const char16_t* typeNamespace = nullptr;
  uint8_t block = 0;
};

// The generated CreateRootObject.
typedef VxVevAva5::CSmartPtr<CXmlObjectBase> (*RootFactoryFunction)(
    const unsigned short* localName, const unsigned short* namespaceUri);

typedef VxVevAva5::CSmartPtr<CXmlObjectBase> (*RootElementFactoryFunction)(
    VxVevAva5::CXmlElement* element);

// One named type of the set, simple or complex, with the step of its
// derivation: its base (a null name: xs:anyType) and whether it extends or
// restricts it; the derivations its `block` (or blockDefault) forbids
// (TypeBlock flags); whether it is abstract, and whether it is a union (xsi:type
// may then name any defined type). The built-in types are known to
// the library and not listed.
enum TypeBlock : uint8_t {
  TypeBlock_Extension = 1,
  TypeBlock_Restriction = 2,
  TypeBlock_Substitution = 4,  // element declarations only
};

struct GlobalType {
  const char16_t* name;
  const char16_t* typeNamespace;  // "" or null: none
  const char16_t* baseName;       // null: xs:anyType
  const char16_t* baseNamespace;
  bool extension;
  uint8_t block;
  bool abstractType;
  bool unionType;
};

struct SchemaSetTable {
  const GlobalAttribute* attributes;  // null when attributeCount is 0
  std::size_t attributeCount;
  const GlobalElement* elements;  // null when elementCount is 0
  std::size_t elementCount;
  RootFactoryFunction createRoot;
  const GlobalType* types = nullptr;  // null when typeCount is 0
  std::size_t typeCount = 0;
  // The generated CreateRootObject(element), which follows xsi:type: what
  // wildcard content is read with when validating.
  RootElementFactoryFunction createTypedRoot = nullptr;
};

// The set's declaration of an attribute or element of this local name and
// namespace: null or false when it has none (or `set` is null).
VXBIND_EXPORT const GlobalAttribute* FindGlobalAttribute(const SchemaSetTable* set,
                                                         const String& localName,
                                                         const String& namespaceUri);
VXBIND_EXPORT bool FindGlobalElement(const SchemaSetTable* set, const String& localName,
                                     const String& namespaceUri);

// The check of one attribute taken by a wildcard. A value its declaration
// refuses throws CVxValidationException "The attribute [%s] does not match
// its global declaration" around the conversion's or facet's exception;
// under strict, an attribute without declaration throws
// CVxValidationException "No global declaration of the attribute [%s] is
// known (processContents strict)". The name is given as {namespace}name
// when it has a namespace.
VXBIND_EXPORT void CheckWildcardAttribute(const VxVevAva5::CXmlAttribute& attribute,
                                          ProcessContents process, const SchemaSetTable* set);

// The check of the sibling elements [first, end) taken by a wildcard, and,
// under lax, of what undeclared ones hold (without recursion, however deep).
// An element that does not bind throws what binding throws; under strict,
// one without declaration throws CVxValidationException "No global
// declaration of the element [%s] is known (processContents strict)". The
// line of the element at fault is recorded on the exception.
VXBIND_EXPORT void CheckWildcardElements(VxVevAva5::CXmlElement* first,
                                         const VxVevAva5::CXmlElement* end, ProcessContents process,
                                         const SchemaSetTable* set,
                                         const CXmlSerializationContext& context);

// -- Validation on read (CXmlSerializationContext::SetValidateOnRead) --------

// The check of the xsi:type of `element`, whose declaration (named
// `elementName`) gives it the type `declaredName` in `declaredNamespace`
// ("" for an anonymous type) and blocks the derivations of `block`
// (TypeBlock flags). The type xsi:type names must be known to the set or
// built in, not abstract, the declared type or derived from it by steps
// that neither `block` nor the declared type's own block forbids; without
// xsi:type, the declared type must not be abstract. Each failure throws
// CVxValidationException:
//   "The type [%s] named by xsi:type is not defined"
//   "The type [%s] named by xsi:type on the element [%s] is abstract"
//   "The type [%s] named by xsi:type is not derived from the declared type [%s] of the element [%s]"
//   "The type [%s] named by xsi:type is not derived from the anonymous type of the element [%s]"
//   "The type [%s] named by xsi:type cannot replace the declared type [%s] of the element [%s]:
//    derivation by [%s] is blocked"
//   "The element [%s] is of the abstract type [%s]: xsi:type must name a type derived from it"
// The type named is shown as written.
VXBIND_EXPORT void CheckElementType(const VxVevAva5::CXmlElement& element,
                                    const String& elementName, const String& declaredName,
                                    const String& declaredNamespace, unsigned block,
                                    const SchemaSetTable* set);

// The value of the xsi:type attribute of `element`, or null.
VXBIND_EXPORT const String* FindXsiType(const VxVevAva5::CXmlElement& element);
// Whether the set (or the built-ins) knows the type (name, namespace) as
// abstract.
VXBIND_EXPORT bool IsAbstractType(const SchemaSetTable* set, const String& name,
                                  const String& namespaceUri);

// The check of CheckElementType for `element` as a document's root (or an
// element of wildcard content): against the set's global declaration of its
// name, when the set has one that says its type; nothing otherwise.
VXBIND_EXPORT void CheckGlobalElementType(const VxVevAva5::CXmlElement& element,
                                          const SchemaSetTable* set);

// XML Schema's namespace constraint of a wildcard (`constraint` as the
// tables write it: ##any, ##other, ##local, ##targetNamespace and URIs): a
// URI list admits only those URIs (no namespace only with ##local), and
// ##other neither the target namespace nor no namespace. The library's
// own rule (CXmlObjectBase::IsNamespaceValid) also lets a list and ##other
// take unqualified names; validation on read applies this one.
VXBIND_EXPORT bool WildcardAdmits(const String& namespaceUri, const unsigned short* constraint,
                                  const unsigned short* targetNamespace);
// The sibling elements [first, end) against WildcardAdmits; the first that
// fails throws CVxValidationException "The element [%s] in the namespace
// [%s] is not allowed by the wildcard [%s]", with its line and column,
// wrapped in "Failed to process the element [%s]".
VXBIND_EXPORT void CheckWildcardNamespaces(const VxVevAva5::CXmlElement* first,
                                           const VxVevAva5::CXmlElement* end,
                                           const unsigned short* constraint,
                                           const unsigned short* targetNamespace);

}  // namespace VxVevAva5Data

#endif  // VXBIND_MODEL_GLOBALDECLARATIONS_H
