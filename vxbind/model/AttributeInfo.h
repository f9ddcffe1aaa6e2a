// -----------------------------------------------------------------------------
// File: AttributeInfo.h
// -----------------------------------------------------------------------------
//
// The attribute infos: the metadata of one attribute member of a generated
// class. Three kinds:
//   CAttributeInfoPrimitive  an attribute of an XSD primitive type, with facets
//   CAttributeInfoEnum       an enumerated attribute, held as an integer
//   CAttributeInfoAny        an xs:anyAttribute wildcard whose member is a
//                            CAttributeCol of untyped attributes
//
//   new CAttributeInfoPrimitive(VX_T("partNum"), VX_T(""), 0, false, ItemType_string,
//                               nullptr, CWhitespaceUtils::WhitespaceRule_Preserve,
//                               CPrimitiveRestrictions(VX_T("\\d{3}-[A-Z]{2}"), -1, -1,
//                                                      nullptr, nullptr, nullptr, nullptr, -1));
//
// The driver asks every info to write its attribute into the open start tag
// of the object's element; reading, it offers every attribute of the element
// to the infos in array order until one takes it, then asks each whether it
// is satisfied. Like element infos they reach their member only through
// the generated class's AccessProperty, and keep no per-call state: any
// number of threads may use them at once.
//
// Attribute infos carry no default or fixed value: an absent optional
// attribute leaves its member as it was (unless the info tells absence,
// see SetTellsAbsence), and writing never adds an attribute that has no
// value. Facets are checked on writing only.

#ifndef VXBIND_MODEL_ATTRIBUTEINFO_H
#define VXBIND_MODEL_ATTRIBUTEINFO_H

#include "vxbind/base/GeneratedCode.h"
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
class CXmlAttribute;
class CXmlElement;
class CXmlWriter;
}  // namespace VxVevAva5

namespace VxVevAva5Data {

using VxVevAva5::CPrimitiveRestrictions;
using VxVevAva5::CWhitespaceUtils;
using VxVevAva5::CXmlAttribute;
using VxVevAva5::CXmlElement;
using VxVevAva5::CXmlGeneratedClass;
using VxVevAva5::CXmlObjectBase;
using VxVevAva5::CXmlSerializationContext;
using VxVevAva5::CXmlWriter;
using VxVevAva5::ItemType;
using VxVevAva5::VxVariant;

class VXBIND_EXPORT CAttributeInfo {
 public:
  CAttributeInfo(const CAttributeInfo& other);
  CAttributeInfo& operator=(const CAttributeInfo& other);
  virtual ~CAttributeInfo();

  // Writes the member's attribute into the open start tag.
  virtual void AttributeToXml(const CXmlSerializationContext& context,
                              const CXmlGeneratedClass* object, CXmlWriter* writer) const = 0;
  // True when this info took `attribute` (its value is then stored).
  virtual bool AttributeFromXml(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                                CXmlAttribute* attribute) = 0;
  // AttributeFromXml for an attribute of `owner`, which a value that needs
  // the namespace declarations in scope (a QName) is read with. The
  // reading of a generated class calls this one.
  virtual bool AttributeFromElement(const CXmlSerializationContext& context,
                                    CXmlGeneratedClass* object, CXmlAttribute* attribute,
                                    const CXmlElement& owner) {
    (void)owner;
    return AttributeFromXml(context, object, attribute);
  }
  // Called once per read, after every attribute was offered; `found` is
  // true when this info took one. A required attribute not found throws
  // CVxValidationException "Failed to find the required Attribute [%s]".
  virtual void Validate(const CXmlSerializationContext& context, bool found) const = 0;

  const String& GetAttributeName() const { return m_attributeName; }
  // Empty for an unqualified attribute.
  const String& GetAttributeNamespace() const { return m_attributeNamespace; }
  int GetPropertyIndex() const { return m_propertyIndex; }
  bool GetOptional() const { return m_optional; }
  // Whether the driver calls TellAbsent when a document read lacks the
  // attribute (false unless set, once, before the info is shared).
  bool GetTellsAbsence() const { return m_tellsAbsence; }
  void SetTellsAbsence(bool tells) { m_tellsAbsence = tells; }
  // Writes an invalid variant to the member: the attribute is absent.
  void TellAbsent(CXmlGeneratedClass* object) const;
  // Whether the attribute's value is an ID, an IDREF or a list of them
  // (IdentityTable.h), for validation on read; IdKind_None unless set,
  // once, before the info is shared.
  IdKind GetIdKind() const { return m_idKind; }
  void SetIdKind(IdKind kind) { m_idKind = kind; }

  // True when `attribute` has this info's local name and, unless the
  // context ignores namespaces, its namespace URI. False for none.
  bool IsThisAttribute(const CXmlSerializationContext& context,
                       const CXmlAttribute* attribute) const;

  // The object's own GetTargetNamespace().
  static String GetTargetNamespace(const CXmlObjectBase* object);
  // The object's own ToXml_Int (`optional` false).
  static void ToXml_Int(const CXmlObjectBase* object, CXmlWriter* writer, bool root,
                        const unsigned short* namespaceUri,
                        const CXmlSerializationContext& context);
  // Throws CVxInvalidNamespaceException "Invalid namespace [%s]. The
  // namespace must be one of [%s] where the target namespace is [%s]" when
  // the wildcard constraint `namespaceSpec` does not admit `namespaceUri`.
  static void TestNamespace(const String& namespaceUri, const String& namespaceSpec,
                            const String& targetNamespace);

 protected:
  // The texts are copied.
  CAttributeInfo(const unsigned short* attributeName, const unsigned short* attributeNamespace,
                 int propertyIndex, bool optional);

  // The generated class's AccessProperty with this info's property index.
  void AccessProperty(CXmlGeneratedClass* object, bool read, VxVariant& value) const;
  void ReadProperty(const CXmlGeneratedClass* object, VxVariant& value) const;
  // "Failed to find the required Attribute [%s]" unless optional or found.
  void ValidateRequired(bool found) const;

 private:
  String m_attributeName;
  String m_attributeNamespace;
  int m_propertyIndex;
  bool m_optional;
  bool m_tellsAbsence = false;
  IdKind m_idKind = IdKind_None;
};

// An attribute of a primitive type. Reading takes only an attribute of
// exactly this name and namespace (the context's ignore-namespaces setting
// does not apply), converted with the whitespace rule, and checked against
// the facets when the context validates (CheckFacetsOnRead); writing checks
// the facets first. An optional attribute without value is not written; a
// required one is always written, and one without value fails in the
// conversion ("Invalid Type 0 to convert to string").
class VXBIND_EXPORT CAttributeInfoPrimitive : public CAttributeInfo {
 public:
  // `format` is not copied: it must outlive the info.
  CAttributeInfoPrimitive(const unsigned short* attributeName,
                          const unsigned short* attributeNamespace, int propertyIndex,
                          bool optional, ItemType itemType, const unsigned short* format,
                          CWhitespaceUtils::WhitespaceRule whitespaceRule,
                          const CPrimitiveRestrictions& restrictions);
  CAttributeInfoPrimitive(const CAttributeInfoPrimitive&) = default;
  CAttributeInfoPrimitive& operator=(const CAttributeInfoPrimitive&) = default;
  ~CAttributeInfoPrimitive() override;

  void AttributeToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                      CXmlWriter* writer) const override;
  // A QName read here keeps the prefix it was written with and no
  // namespace; AttributeFromElement resolves it.
  bool AttributeFromXml(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                        CXmlAttribute* attribute) override;
  bool AttributeFromElement(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                            CXmlAttribute* attribute, const CXmlElement& owner) override;
  void Validate(const CXmlSerializationContext& context, bool found) const override;

  // The facet check (CheckFacets with the attribute name, the item type and
  // the restrictions); throws the facet's exception.
  void CheckRestriction(VxVariant value) const;

  // An attribute of a list or union type: the type's table, against which
  // reading checks the value when the context validates (null: none). Set
  // by the metadata builder, before the info is shared.
  const SimpleTypeTable* GetSimpleType() const { return m_simpleType; }
  void SetSimpleType(const SimpleTypeTable* type) { m_simpleType = type; }

 private:
  void CheckSimpleTypeOf(const CXmlSerializationContext& context,
                         const CXmlAttribute* attribute) const;

  const SimpleTypeTable* m_simpleType = nullptr;
  // The attribute's value converted into `value`, and checked when the
  // context validates.
  void Convert(const CXmlSerializationContext& context, const CXmlAttribute* attribute,
               VxVariant& value) const;

  CPrimitiveRestrictions m_restrictions;
  ItemType m_itemType;
  const unsigned short* m_format;
  CWhitespaceUtils::WhitespaceRule m_whitespaceRule;
};

// An enumerated attribute, converted by the generated code's functions (the
// text as it stands). Reading matches the name and, unless the context
// ignores namespaces, the namespace.
class VXBIND_EXPORT CAttributeInfoEnum : public CAttributeInfo {
 public:
  CAttributeInfoEnum(const unsigned short* attributeName, const unsigned short* attributeNamespace,
                     int propertyIndex, bool optional, VxVevAva5::EnumToStringFunction toText,
                     VxVevAva5::EnumFromStringFunction fromText);
  CAttributeInfoEnum(const CAttributeInfoEnum&) = default;
  CAttributeInfoEnum& operator=(const CAttributeInfoEnum&) = default;
  ~CAttributeInfoEnum() override;

  void AttributeToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                      CXmlWriter* writer) const override;
  bool AttributeFromXml(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                        CXmlAttribute* attribute) override;
  void Validate(const CXmlSerializationContext& context, bool found) const override;

 private:
  VxVevAva5::EnumToStringFunction m_toText;
  VxVevAva5::EnumFromStringFunction m_fromText;
};

// An xs:anyAttribute wildcard. It takes every attribute offered to it (so
// generated code lists it last), after testing its namespace against
// `namespaceSpec` (CVxInvalidNamespaceException when refused), into the
// member's CAttributeCol; a member that is no CAttributeCol throws
// CVxException "Serialization Data Error : The collection should be a
// CAttributeCol, it was not!". Writing writes the whole collection. With
// processContents lax or strict, an attribute is checked against the global
// declaration it matches before it is taken.
class VXBIND_EXPORT CAttributeInfoAny : public CAttributeInfo {
 public:
  // Both texts are copied.
  CAttributeInfoAny(const unsigned short* attributeName, const unsigned short* attributeNamespace,
                    int propertyIndex, bool optional, const unsigned short* namespaceSpec,
                    const unsigned short* targetNamespace);
  CAttributeInfoAny(const CAttributeInfoAny&) = default;
  CAttributeInfoAny& operator=(const CAttributeInfoAny&) = default;
  ~CAttributeInfoAny() override;

  void AttributeToXml(const CXmlSerializationContext& context, const CXmlGeneratedClass* object,
                      CXmlWriter* writer) const override;
  bool AttributeFromXml(const CXmlSerializationContext& context, CXmlGeneratedClass* object,
                        CXmlAttribute* attribute) override;
  // Does nothing.
  void Validate(const CXmlSerializationContext& context, bool found) const override;

  // What is checked of the attributes taken (skip unless set, once, before
  // the info is shared): see CheckWildcardAttribute.
  ProcessContents GetProcessContents() const { return m_processContents; }
  void SetProcessContents(ProcessContents process, const SchemaSetTable* declarations) {
    m_processContents = process;
    m_declarations = declarations;
  }

 private:
  String m_namespaceSpec;
  String m_targetNamespace;
  ProcessContents m_processContents = ProcessContents_Skip;
  const SchemaSetTable* m_declarations = nullptr;
};

}  // namespace VxVevAva5Data

#endif  // VXBIND_MODEL_ATTRIBUTEINFO_H
