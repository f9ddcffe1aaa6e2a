// -----------------------------------------------------------------------------
// File: GeneratedSupport.h
// -----------------------------------------------------------------------------
//
// The runtime's part of the code that vxbindc generates: what every generated
// source would otherwise repeat (the default and fixed value helpers, the
// collection of untyped elements) and the named-field builders with which it
// describes facets and collections. The metadata itself is constant tables,
// built by the runtime (vxbind/model/MetadataTable.h).
//
// Generated code includes this header itself; programs do not, and should not
// use what it declares. Its contents follow the generator and may change
// between any two versions of vxbind, which is why every generated header
// checks the VXBIND_VERSION_* macros and refuses to compile against another
// version: compile the schema again with the vxbindc of the vxbind you build
// with.

#ifndef VXBIND_CORE_GENERATEDSUPPORT_H
#define VXBIND_CORE_GENERATEDSUPPORT_H

#include "vxbind/base/Enums.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/collections/Element.h"
#include "vxbind/collections/XmlCollectionBase.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/model/AttributeInfo.h"
#include "vxbind/model/MetadataTable.h"
#include "vxbind/model/SimpleTypeTable.h"
#include "vxbind/model/XmlGeneratedClass.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {
namespace Generated {

// The whitespace rules, short.
constexpr CWhitespaceUtils::WhitespaceRule kPreserve = CWhitespaceUtils::WhitespaceRule_Preserve;
constexpr CWhitespaceUtils::WhitespaceRule kReplace = CWhitespaceUtils::WhitespaceRule_Replace;
constexpr CWhitespaceUtils::WhitespaceRule kCollapse = CWhitespaceUtils::WhitespaceRule_Collapse;

// The facets of a member, field by field; those not named are not in force:
//   Facets().Pattern(VX_T("\\d{3}")).MinInclusive(VX_T("1")).MaxExclusive(VX_T("100"))
// The texts are not copied until the builder becomes a CPrimitiveRestrictions
// (generated code passes literals).
class Facets {
 public:
  Facets& Pattern(const unsigned short* value) { m_pattern = value; return *this; }
  Facets& Length(int value) { m_length = value; return *this; }
  Facets& MinLength(int value) { m_minLength = value; return *this; }
  Facets& MaxLength(int value) { m_maxLength = value; return *this; }
  Facets& MinInclusive(const unsigned short* value) { m_minInclusive = value; return *this; }
  Facets& MaxInclusive(const unsigned short* value) { m_maxInclusive = value; return *this; }
  Facets& MinExclusive(const unsigned short* value) { m_minExclusive = value; return *this; }
  Facets& MaxExclusive(const unsigned short* value) { m_maxExclusive = value; return *this; }
  // The items' list or union type, checked when read with validation.
  Facets& SimpleType(const VxVevAva5Data::SimpleTypeTable* value) {
    m_simpleType = value;
    return *this;
  }
  Facets& TotalDigits(int value) { m_totalDigits = value; return *this; }
  Facets& FractionDigits(int value) { m_fractionDigits = value; return *this; }

  operator CPrimitiveRestrictions() const {  // NOLINT: the builder's purpose
    CPrimitiveRestrictions restrictions(m_pattern, m_minLength, m_maxLength, m_minInclusive,
                                        m_maxInclusive, m_minExclusive, m_maxExclusive, m_length);
    restrictions.SetDigits(m_totalDigits, m_fractionDigits);
    return restrictions;
  }

  // A primitive collection (Ci4Col, CstringCol, ...) with these facets.
  template <class Collection>
  Collection* NewCollection(const unsigned short* elementName, const unsigned short* namespaceUri,
                            int minOccurs, int maxOccurs,
                            CWhitespaceUtils::WhitespaceRule rule) const {
    Collection* collection = new Collection(
        elementName, namespaceUri, minOccurs, maxOccurs, m_pattern, m_minLength, m_maxLength,
        m_minInclusive, m_maxInclusive, m_minExclusive, m_maxExclusive, m_length, rule, nullptr);
    if (m_totalDigits > -1 || m_fractionDigits > -1)
      collection->SetDigits(m_totalDigits, m_fractionDigits);
    if (m_simpleType != nullptr)
      collection->SetTextCheck(&VxVevAva5Data::CheckSimpleTypeText, m_simpleType);
    return collection;
  }

 private:
  const unsigned short* m_pattern = nullptr;
  int m_length = -1;
  int m_minLength = -1;
  int m_maxLength = -1;
  const unsigned short* m_minInclusive = nullptr;
  const unsigned short* m_maxInclusive = nullptr;
  const unsigned short* m_minExclusive = nullptr;
  const unsigned short* m_maxExclusive = nullptr;
  const VxVevAva5Data::SimpleTypeTable* m_simpleType = nullptr;
  int m_totalDigits = -1;
  int m_fractionDigits = -1;
};

class CUntypedCol;

// The untyped content of a member, field by field: a wildcard's (no Name:
// elements of any name) or an element's without a type. The texts are
// literals, not copied until an object is made.
//   Untyped().Restriction(VX_T("##other")).TargetNamespace(VX_T("urn:t")).Occurs(0, -1)
class Untyped {
 public:
  // The member's element name.
  Untyped& Name(const unsigned short* value) { m_name = value; return *this; }
  // The namespace of the elements that NewCollection and NewElement make.
  Untyped& NamespaceUri(const unsigned short* value) { m_namespaceUri = value; return *this; }
  // The namespace constraint ("##any", "##other", URIs, ...) and the target
  // namespace it is read against.
  Untyped& Restriction(const unsigned short* value) { m_restriction = value; return *this; }
  Untyped& TargetNamespace(const unsigned short* value) { m_target = value; return *this; }
  Untyped& Occurs(int minOccurs, int maxOccurs) {
    m_minOccurs = minOccurs;
    m_maxOccurs = maxOccurs;
    return *this;
  }

  // The collection of a repeated member.
  VXBIND_EXPORT CUntypedCol* NewCollection() const;
  // A new element of a single member, named after it ("any" for a wildcard).
  VXBIND_EXPORT CElement* NewElement() const;
  // Refuses an element that the member cannot hold (CUntypedCol::Check).
  VXBIND_EXPORT void Check(const CElement* element) const;

  // The collection of xs:anyAttribute.
  VXBIND_EXPORT CAttributeCol* NewAttributeCollection() const;

 private:
  const unsigned short* m_name = nullptr;
  const unsigned short* m_namespaceUri = nullptr;
  const unsigned short* m_restriction = nullptr;
  const unsigned short* m_target = nullptr;
  int m_minOccurs = 0;
  int m_maxOccurs = -1;
};

// Nil untyped content: xsi:nil is one of the element's attributes. IsNil:
// whether `element` (null: none) carries xsi:nil="true" (or "1"). SetNil
// true: xsi:nil="true" replaces any xsi:nil, and the text and child
// elements go; false: xsi:nil goes.
VXBIND_EXPORT bool IsNil(const CElement* element);
VXBIND_EXPORT void SetNil(CElement* element, bool nil);

// No facet in force.
VXBIND_EXPORT CPrimitiveRestrictions NoFacets();

// The value of a default or fixed text (checked when the schema was compiled).
VXBIND_EXPORT VxVariant ValueOf(const unsigned short* text, ItemType type,
                                CWhitespaceUtils::WhitespaceRule rule);

// Refuses a value other than the fixed one: CVxValidationException "Invalid
// value [%s] for [%s]: its value is fixed as [%s]".
VXBIND_EXPORT void CheckFixed(const unsigned short* name, const String& text,
                              const String& fixed);

// CheckFixed for the value a member with a fixed value is given: `value`
// against `fixed`, read as `type` with `rule`, both in canonical form.
VXBIND_EXPORT void CheckFixedValue(const unsigned short* name, const VxVariant& value,
                                   const unsigned short* fixed, ItemType type,
                                   CWhitespaceUtils::WhitespaceRule rule);

// One case of AccessProperty for a member with a fixed value: read as any
// member (MetadataTable.h); written only with the fixed value.
template <ItemType kType>
inline void AccessFixed(typename ItemTypeTraits<kType>::ValueType& member,
                        const unsigned short* name, const unsigned short* fixed,
                        CWhitespaceUtils::WhitespaceRule rule, bool read, VxVariant& value) {
  if (!read) CheckFixedValue(name, value, fixed, kType, rule);
  VxVevAva5Data::AccessValue<kType>(member, read, value);
}

// The same for an optional attribute with a fixed value and its presence:
// read, nothing when it is absent; written, an invalid variant makes it
// absent (the member keeps the fixed value).
template <ItemType kType>
inline void AccessFixed(typename ItemTypeTraits<kType>::ValueType& member, bool& present,
                        const unsigned short* name, const unsigned short* fixed,
                        CWhitespaceUtils::WhitespaceRule rule, bool read, VxVariant& value) {
  if (read) {
    if (present) VxVevAva5Data::AccessValue<kType>(member, read, value);
    return;
  }
  present = value.IsValid();
  if (present) AccessFixed<kType>(member, name, fixed, rule, read, value);
}

// The base of a generated collection of enumeration values: the values are
// kept by the generated class, read through AddFromString.
class VXBIND_EXPORT CEnumCollection : public CXmlTypeCollection {
 protected:
  CEnumCollection(const unsigned short* elementName, const unsigned short* namespaceUri,
                  int minOccurs, int maxOccurs, CWhitespaceUtils::WhitespaceRule rule);
  CEnumCollection(const CEnumCollection& other) = default;
  CEnumCollection& operator=(const CEnumCollection& other) = default;
  ~CEnumCollection() override;
};

// The elements of a repeated wildcard (no member name), or of a repeated
// element without a type: reads only the elements its member may hold, no
// more than it may hold, and writes only such elements.
class VXBIND_EXPORT CUntypedCol : public CElementCol {
 public:
  // The member's element name (null for a wildcard), the namespace of new
  // elements, the wildcard's namespace constraint and the schema's target
  // namespace, and the bounds of the count.
  CUntypedCol(const unsigned short* name, const unsigned short* namespaceUri,
              const unsigned short* restriction, const unsigned short* targetNamespace,
              int minOccurs, int maxOccurs);
  CUntypedCol(const CUntypedCol& other) = default;
  CUntypedCol& operator=(const CUntypedCol& other) = default;
  ~CUntypedCol() override;

  // Refuses an element of another name than `name` (unless null), or of a
  // namespace that `restriction` does not admit.
  static void Check(const CElement* element, const unsigned short* name,
                    const unsigned short* restriction, const unsigned short* targetNamespace);

  void ValidateCount(const CXmlSerializationContext& context) const override;
  const String& GetNamespaceConstraint() const override { return m_restriction; }
  const String& GetConstraintTarget() const override { return m_target; }
  CXmlElement* FromXmlLockElementName_Int(String name, String namespaceUri, CXmlElement* element,
                                          CXmlElement* current,
                                          const CXmlSerializationContext& context) override;

 protected:
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool optional) override;

 private:
  const unsigned short* m_memberName;  // a literal, or null
  String m_restriction;
  String m_target;
  int m_min;
  int m_max;
};

}  // namespace Generated
}  // namespace VxVevAva5

#endif  // VXBIND_CORE_GENERATEDSUPPORT_H
