#include "vxbind/base/SerializationContext.h"

#include "vxbind/base/Exceptions.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {
namespace {

// Constructed when the library is loaded, destroyed when it is unloaded.
CXmlSerializationContext g_defaultContext;

}  // namespace

// Out of line: the counted member needs the complete object base.
CXmlSerializationContext::CXmlSerializationContext() = default;
CXmlSerializationContext::CXmlSerializationContext(const CXmlSerializationContext&) = default;
CXmlSerializationContext& CXmlSerializationContext::operator=(const CXmlSerializationContext&) =
    default;
CXmlSerializationContext::~CXmlSerializationContext() = default;

CXmlSerializationContext& CXmlSerializationContext::GetDefaultContext() {
  return g_defaultContext;
}

void CXmlSerializationContext::SetIgnoreUnknownElements(bool value) {
  if (value && m_ignoreMissingMandatoryElements)
    throw CVxInvalidStateException(String(VX_T(
        "The parser can only ignore additional elements, or ignore the fact that some required "
        "ones are missing, you can not ignore both\nSet IgnoreMissingMandatoryElements to false "
        "before setting IgnoreUnknownElements to true")));
  m_ignoreUnknownElements = value;
}

void CXmlSerializationContext::SetIgnoreMissingMandatoryElements(bool value) {
  if (value && m_ignoreUnknownElements)
    throw CVxInvalidStateException(String(VX_T(
        "The parser can only ignore additional elements, or ignore the fact that some required "
        "ones are missing, you can not ignore both\nSet IgnoreUnknownElements to false before "
        "setting IgnoreMissingMandatoryElements to true")));
  m_ignoreMissingMandatoryElements = value;
}

void CXmlSerializationContext::SetDefaultNamespaceURI(const unsigned short* uri) {
  m_defaultNamespaceUri = Utf16::Make(uri);
}

void CXmlSerializationContext::SetInLineSchema(const unsigned short* schema) {
  m_inLineSchema = Utf16::Make(schema);
}

}  // namespace VxVevAva5
