// The attribute infos: primitive, enumerated and wildcard attributes.
#include "vxbind/model/AttributeInfo.h"

#include <cstddef>

#include "vxbind/base/Exceptions.h"
#include "vxbind/collections/Element.h"
#include "vxbind/collections/XmlCollectionBase.h"
#include "vxbind/collections/detail/QNameValues.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/model/GlobalDeclarations.h"
#include "vxbind/model/SimpleTypeTable.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/writers/XmlWriter.h"

namespace VxVevAva5Data {

using VxVevAva5::CAttributeCol;
using VxVevAva5::CSmartPtr;
using VxVevAva5::CVxException;
using VxVevAva5::FormatString;
using VxVevAva5::Utf16::Make;

namespace {

// The attribute's value as a String, without the copy that the tree would
// keep for it.
String ValueOf(const CXmlAttribute* attribute) {
  size_t length;
  const unsigned short* value = attribute->GetValueData(length);
  return length != 0 ? String(value, length) : String();
}

}  // namespace

CAttributeInfo::CAttributeInfo(const unsigned short* attributeName,
                               const unsigned short* attributeNamespace, int propertyIndex,
                               bool optional)
    : m_attributeName(Make(attributeName)),
      m_attributeNamespace(Make(attributeNamespace)),
      m_propertyIndex(propertyIndex),
      m_optional(optional) {}

CAttributeInfo::CAttributeInfo(const CAttributeInfo& other) = default;
CAttributeInfo& CAttributeInfo::operator=(const CAttributeInfo& other) = default;
CAttributeInfo::~CAttributeInfo() = default;

bool CAttributeInfo::IsThisAttribute(const CXmlSerializationContext& context,
                                     const CXmlAttribute* attribute) const {
  if (attribute == nullptr || attribute->GetLocalName() != m_attributeName) return false;
  return context.GetIgnoreNamespaces() || attribute->GetNamespaceURI() == m_attributeNamespace;
}

String CAttributeInfo::GetTargetNamespace(const CXmlObjectBase* object) {
  return CXmlObjectBase::GetTargetNamespace(object);
}

void CAttributeInfo::ToXml_Int(const CXmlObjectBase* object, CXmlWriter* writer, bool root,
                               const unsigned short* namespaceUri,
                               const CXmlSerializationContext& context) {
  CXmlObjectBase::ToXml_Int(object, writer, root, namespaceUri, context, false);
}

void CAttributeInfo::TestNamespace(const String& namespaceUri, const String& namespaceSpec,
                                   const String& targetNamespace) {
  CXmlGeneratedClass::TestNamespace(namespaceUri.c_str(), namespaceSpec.c_str(),
                                    targetNamespace.c_str());
}

void CAttributeInfo::AccessProperty(CXmlGeneratedClass* object, bool read, VxVariant& value) const {
  object->AccessProperty(m_propertyIndex, read, value);
}

void CAttributeInfo::TellAbsent(CXmlGeneratedClass* object) const {
  VxVariant absent;
  object->AccessProperty(m_propertyIndex, false, absent);
}

void CAttributeInfo::ReadProperty(const CXmlGeneratedClass* object, VxVariant& value) const {
  object->ReadProperty(m_propertyIndex, value);
}

void CAttributeInfo::ValidateRequired(bool found) const {
  if (!m_optional && !found)
    throw VxVevAva5::CVxValidationException(
        FormatString(VX_T("Failed to find the required Attribute [%s]"), m_attributeName.c_str()));
}

// -- CAttributeInfoPrimitive ------------------------------------------------------

CAttributeInfoPrimitive::CAttributeInfoPrimitive(const unsigned short* attributeName,
                                                 const unsigned short* attributeNamespace,
                                                 int propertyIndex, bool optional,
                                                 ItemType itemType, const unsigned short* format,
                                                 CWhitespaceUtils::WhitespaceRule whitespaceRule,
                                                 const CPrimitiveRestrictions& restrictions)
    : CAttributeInfo(attributeName, attributeNamespace, propertyIndex, optional),
      m_restrictions(restrictions),
      m_itemType(itemType),
      m_format(format),
      m_whitespaceRule(whitespaceRule) {}

CAttributeInfoPrimitive::~CAttributeInfoPrimitive() = default;

void CAttributeInfoPrimitive::AttributeToXml(const CXmlSerializationContext&,
                                             const CXmlGeneratedClass* object,
                                             CXmlWriter* writer) const {
  VxVariant value;
  ReadProperty(object, value);
  if (!value.IsValid()) {
    if (GetOptional()) return;
    // A required attribute without value cannot be written: the
    // conversion says why, without a facet check on nothing.
    value.ToString(m_format);
  }
  CheckRestriction(value);
  if (VxVevAva5::detail::IsQNameKind(m_itemType)) {
    // The value's prefixes are declared before the attribute that uses them.
    String text = VxVevAva5::detail::QNameText(value, *writer);
    writer->WriteAttribute(GetAttributeName(), GetAttributeNamespace(), text);
    return;
  }
  writer->WriteAttribute(GetAttributeName(), GetAttributeNamespace(), value.ToString(m_format));
}

void CAttributeInfoPrimitive::Convert(const CXmlSerializationContext& context,
                                      const CXmlAttribute* attribute, VxVariant& value) const {
  if (context.GetValidateOnRead()) {
    // The text is kept for the pattern, which constrains it as written.
    const String text = ValueOf(attribute);
    value.FromString(text, m_itemType, m_whitespaceRule);
    VxVevAva5::CheckFacetsOnRead(GetAttributeName().c_str(), text, m_whitespaceRule, value,
                                 m_itemType, m_restrictions);
  } else {
    size_t length;
    const unsigned short* text = attribute->GetValueData(length);
    value.FromText(text, length, m_itemType, m_whitespaceRule);
  }
}

bool CAttributeInfoPrimitive::AttributeFromXml(const CXmlSerializationContext& context,
                                               CXmlGeneratedClass* object,
                                               CXmlAttribute* attribute) {
  if (attribute->GetLocalName() != GetAttributeName() ||
      attribute->GetNamespaceURI() != GetAttributeNamespace())
    return false;
  if (m_simpleType != nullptr) CheckSimpleTypeOf(context, attribute);
  VxVariant value;
  Convert(context, attribute, value);
  value.SetDisposable();
  AccessProperty(object, false, value);
  return true;
}

bool CAttributeInfoPrimitive::AttributeFromElement(const CXmlSerializationContext& context,
                                                   CXmlGeneratedClass* object,
                                                   CXmlAttribute* attribute,
                                                   const CXmlElement& owner) {
  if (!VxVevAva5::detail::IsQNameKind(m_itemType))
    return AttributeFromXml(context, object, attribute);
  if (attribute->GetLocalName() != GetAttributeName() ||
      attribute->GetNamespaceURI() != GetAttributeNamespace())
    return false;
  if (m_simpleType != nullptr) CheckSimpleTypeOf(context, attribute);
  VxVariant value;
  Convert(context, attribute, value);
  VxVevAva5::detail::ResolveQName(value, owner);
  AccessProperty(object, false, value);
  return true;
}

void CAttributeInfoPrimitive::Validate(const CXmlSerializationContext&, bool found) const {
  ValidateRequired(found);
}

void CAttributeInfoPrimitive::CheckSimpleTypeOf(const CXmlSerializationContext& context,
                                                const CXmlAttribute* attribute) const {
  if (context.GetValidateOnRead())
    CheckSimpleType(m_simpleType, GetAttributeName().c_str(), ValueOf(attribute));
}

void CAttributeInfoPrimitive::CheckRestriction(VxVariant value) const {
  VxVevAva5::CheckFacets(GetAttributeName().c_str(), value, m_itemType, m_restrictions);
}

// -- CAttributeInfoEnum -----------------------------------------------------------------

CAttributeInfoEnum::CAttributeInfoEnum(const unsigned short* attributeName,
                                       const unsigned short* attributeNamespace, int propertyIndex,
                                       bool optional, VxVevAva5::EnumToStringFunction toText,
                                       VxVevAva5::EnumFromStringFunction fromText)
    : CAttributeInfo(attributeName, attributeNamespace, propertyIndex, optional),
      m_toText(toText),
      m_fromText(fromText) {}

CAttributeInfoEnum::~CAttributeInfoEnum() = default;

void CAttributeInfoEnum::AttributeToXml(const CXmlSerializationContext&,
                                        const CXmlGeneratedClass* object,
                                        CXmlWriter* writer) const {
  VxVariant value;
  ReadProperty(object, value);
  if (!value.IsValid()) {
    if (GetOptional()) return;
    throw CVxException(
        FormatString(VX_T("The required Attribute [%s] has no value"), GetAttributeName().c_str()));
  }
  writer->WriteAttribute(GetAttributeName(), GetAttributeNamespace(),
                         Make(m_toText(value.GetI4())));
}

bool CAttributeInfoEnum::AttributeFromXml(const CXmlSerializationContext& context,
                                          CXmlGeneratedClass* object, CXmlAttribute* attribute) {
  if (!IsThisAttribute(context, attribute)) return false;
  VxVariant value;
  value.SetI4(m_fromText(ValueOf(attribute).c_str()));
  AccessProperty(object, false, value);
  return true;
}

void CAttributeInfoEnum::Validate(const CXmlSerializationContext&, bool found) const {
  ValidateRequired(found);
}

// -- CAttributeInfoAny -------------------------------------------------------------------

CAttributeInfoAny::CAttributeInfoAny(const unsigned short* attributeName,
                                     const unsigned short* attributeNamespace, int propertyIndex,
                                     bool optional, const unsigned short* namespaceSpec,
                                     const unsigned short* targetNamespace)
    : CAttributeInfo(attributeName, attributeNamespace, propertyIndex, optional),
      m_namespaceSpec(Make(namespaceSpec)),
      m_targetNamespace(Make(targetNamespace)) {}

CAttributeInfoAny::~CAttributeInfoAny() = default;

void CAttributeInfoAny::AttributeToXml(const CXmlSerializationContext& context,
                                       const CXmlGeneratedClass* object, CXmlWriter* writer) const {
  VxVariant value;
  ReadProperty(object, value);
  if (value.GetItemType() != VxVevAva5::ItemType_XmlCollection) return;
  CSmartPtr<VxVevAva5::CXmlCollectionBase> collection = value.GetXmlCollection();
  if (collection == nullptr) return;
  const String targetNamespace = GetTargetNamespace(object);
  ToXml_Int(collection, writer, false, targetNamespace.c_str(), context);
}

bool CAttributeInfoAny::AttributeFromXml(const CXmlSerializationContext& context,
                                         CXmlGeneratedClass* object, CXmlAttribute* attribute) {
  if (context.GetValidateOnRead()) {
    // XML Schema's reading of the constraint, stricter than the library's.
    if (!WildcardAdmits(attribute->GetNamespaceURI(), m_namespaceSpec.c_str(),
                        m_targetNamespace.c_str()))
      throw VxVevAva5::CVxValidationException(VxVevAva5::FormatString(
          VX_T("The attribute [%s] in the namespace [%s] is not allowed by the wildcard [%s]"),
          attribute->GetLocalName().c_str(), attribute->GetNamespaceURI().c_str(),
          m_namespaceSpec.c_str()));
  }
  TestNamespace(attribute->GetNamespaceURI(), m_namespaceSpec, m_targetNamespace);
  if (m_processContents != ProcessContents_Skip)
    CheckWildcardAttribute(*attribute, m_processContents, m_declarations);
  VxVariant value;
  ReadProperty(object, value);
  CSmartPtr<VxVevAva5::CXmlCollectionBase> collection;
  if (value.GetItemType() == VxVevAva5::ItemType_XmlCollection)
    collection = value.GetXmlCollection();
  auto* attributes = dynamic_cast<CAttributeCol*>(collection.get());
  if (attributes == nullptr)
    throw CVxException(String(
        VX_T("Serialization Data Error : The collection should be a CAttributeCol, it was not!")));
  attributes->Add(attribute->GetLocalName().c_str(), ValueOf(attribute).c_str(),
                  attribute->GetNamespaceURI().c_str());
  return true;
}

void CAttributeInfoAny::Validate(const CXmlSerializationContext&, bool) const {}

}  // namespace VxVevAva5Data
