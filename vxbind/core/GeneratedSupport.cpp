#include "vxbind/core/GeneratedSupport.h"

#include <cstddef>

#include "vxbind/base/Exceptions.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {
namespace Generated {

CUntypedCol* Untyped::NewCollection() const {
  return new CUntypedCol(m_name, m_namespaceUri, m_restriction, m_target, m_minOccurs,
                         m_maxOccurs);
}

CElement* Untyped::NewElement() const {
  return new CElement(m_name != nullptr ? m_name : VX_T("any"), m_namespaceUri, m_restriction,
                      m_target);
}

void Untyped::Check(const CElement* element) const {
  CUntypedCol::Check(element, m_name, m_restriction, m_target);
}

CAttributeCol* Untyped::NewAttributeCollection() const {
  return new CAttributeCol(VX_T(""), m_restriction, m_target);
}

namespace {

const unsigned short* const kXsi = VX_T("http://www.w3.org/2001/XMLSchema-instance");

bool IsXsiNil(const CAttribute& attribute) {
  return attribute.GetName() == VX_T("nil") && attribute.GetNamespace() == kXsi;
}

}  // namespace

bool IsNil(const CElement* element) {
  if (element == nullptr) return false;
  for (const CAttribute& attribute : *element->GetAttributes()) {
    if (!IsXsiNil(attribute)) continue;
    String value = attribute.GetValue();
    const size_t first = value.find_first_not_of(VX_T(" \t\r\n"));
    if (first == String::npos) return false;
    value = value.substr(first, value.find_last_not_of(VX_T(" \t\r\n")) - first + 1);
    return value == VX_T("true") || value == VX_T("1");
  }
  return false;
}

void SetNil(CElement* element, bool nil) {
  CSmartPtr<CAttributeCol> attributes = element->GetAttributes();
  for (int i = attributes->GetCount() - 1; i >= 0; --i)
    if (IsXsiNil(*attributes->Item(i))) attributes->Remove(i);
  if (!nil) return;
  attributes->Add(VX_T("nil"), VX_T("true"), kXsi);
  element->SetText(VX_T(""));
  element->GetChildElements()->Clear();
}

CPrimitiveRestrictions NoFacets() { return CPrimitiveRestrictions(); }

VxVariant ValueOf(const unsigned short* text, ItemType type,
                  CWhitespaceUtils::WhitespaceRule rule) {
  VxVariant value;
  value.FromString(Utf16::Make(text), type, rule);
  return value;
}

void CheckFixed(const unsigned short* name, const String& text, const String& fixed) {
  if (text != fixed)
    throw CVxValidationException(
        FormatString(VX_T("Invalid value [%s] for [%s]: its value is fixed as [%s]"),
                     text.c_str(), name, fixed.c_str()));
}

void CheckFixedValue(const unsigned short* name, const VxVariant& value,
                     const unsigned short* fixed, ItemType type,
                     CWhitespaceUtils::WhitespaceRule rule) {
  CheckFixed(name, value.ToString(nullptr), ValueOf(fixed, type, rule).ToString(nullptr));
}

CEnumCollection::CEnumCollection(const unsigned short* elementName,
                                 const unsigned short* namespaceUri, int minOccurs,
                                 int maxOccurs, CWhitespaceUtils::WhitespaceRule rule)
    : CXmlTypeCollection(ItemType_i4, elementName, namespaceUri, minOccurs, maxOccurs, nullptr,
                         -1, -1, nullptr, nullptr, nullptr, nullptr, -1, rule, nullptr) {}

CEnumCollection::~CEnumCollection() = default;

CUntypedCol::CUntypedCol(const unsigned short* name, const unsigned short* namespaceUri,
                         const unsigned short* restriction, const unsigned short* targetNamespace,
                         int minOccurs, int maxOccurs)
    : CElementCol(namespaceUri, VX_T("##any"), targetNamespace, minOccurs, maxOccurs),
      m_memberName(name),
      m_restriction(Utf16::Make(restriction)),
      m_target(Utf16::Make(targetNamespace)),
      m_min(minOccurs),
      m_max(maxOccurs) {}

CUntypedCol::~CUntypedCol() = default;

void CUntypedCol::Check(const CElement* element, const unsigned short* name,
                        const unsigned short* restriction, const unsigned short* targetNamespace) {
  if (name != nullptr && !Utf16::Equal(element->GetName().c_str(), name))
    throw CVxValidationException(
        FormatString(VX_T("The element [%s] cannot stand for the element [%s]"),
                     element->GetName().c_str(), name));
  TestNamespace(element->GetNamespace().c_str(), restriction, targetNamespace);
}

void CUntypedCol::ValidateCount(const CXmlSerializationContext& context) const {
  if (context.GetIgnoreInvalidCollectionCounts()) return;
  const unsigned short* shown = m_memberName != nullptr ? m_memberName : VX_T("any");
  if (m_max >= 0 && GetCount() > m_max)
    throw CVxValidationException(FormatString(
        VX_T("The Maximum number of [%s] elements allowed in this collection is %d"), shown,
        m_max));
  if (GetCount() < m_min)
    throw CVxValidationException(FormatString(
        VX_T("The Minimum number of [%s] elements allowed in this collection is %d"), shown,
        m_min));
}

CXmlElement* CUntypedCol::FromXmlLockElementName_Int(String, String, CXmlElement* element,
                                                     CXmlElement* current,
                                                     const CXmlSerializationContext& context) {
  return FromXml_Int(element, current, context, false);
}

void CUntypedCol::ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                            const CXmlSerializationContext& context, bool optional) const {
  for (const CNode* node = GetHeadNode(); node != nullptr; node = node->GetNext())
    Check(static_cast<const CElement*>(node->GetItem()), m_memberName, m_restriction.c_str(),
          m_target.c_str());
  CElementCol::ToXml_Int(writer, root, namespaceUri, context, optional);
}

CXmlElement* CUntypedCol::FromXml_Int(CXmlElement* element, CXmlElement* current,
                                      const CXmlSerializationContext& context, bool) {
  while (current != nullptr && (m_max < 0 || GetCount() < m_max) &&
         (m_memberName == nullptr ||
          Utf16::Equal(current->GetLocalName().c_str(), m_memberName)) &&
         IsNamespaceValid(current->GetNamespaceURI().c_str(), m_restriction.c_str(),
                          m_target.c_str())) {
    CSmartPtr<CElement> item =
        new CElement(current->GetLocalName().c_str(), current->GetNamespaceURI().c_str(),
                     m_restriction.c_str(), m_target.c_str());
    current = CXmlObjectBase::FromXml_Int(item, element, current, context);
    Add(item);
  }
  return current;
}

}  // namespace Generated
}  // namespace VxVevAva5
