// -----------------------------------------------------------------------------
// File: ClassFactory.h
// -----------------------------------------------------------------------------
//
// The base of generated class factories, with its xsi:type helpers. The
// factories' call signatures are in base/GeneratedCode.h.
//
// Generated factories create objects by class number, or pick the concrete
// class of an element from its xsi:type attribute:
//
//   CSmartPtr<CXmlObjectBase> CreateShape(CXmlElement* element) {
//     String type = CClassfactoryBase::GetElementType(element);
//     String ns = CClassfactoryBase::GetElementTypeNamespaceUri(element);
//     if (type == VX_T("Circle") && ns == VX_T("urn:shapes")) return new CCircle();
//     return nullptr;   // no class suits
//   }

#ifndef VXBIND_CORE_CLASSFACTORY_H
#define VXBIND_CORE_CLASSFACTORY_H

#include "vxbind/base/GeneratedCode.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class CXmlElement;

class VXBIND_EXPORT CClassfactoryBase {
 public:
  CClassfactoryBase() = default;
  CClassfactoryBase(const CClassfactoryBase&) = default;
  CClassfactoryBase& operator=(const CClassfactoryBase&) = default;
  virtual ~CClassfactoryBase();

  // The local type name of the element's xsi:type: the part after the first
  // ':' of the value, or the whole value; "" when there is no xsi:type.
  static String GetElementType(CXmlElement* element);
  // The namespace URI of the element's xsi:type: the URI that the value's
  // prefix is bound to where the element stands (its own declarations and
  // its ancestors'). Without a prefix, without xsi:type, or with a prefix not
  // bound there: the element's own namespace URI.
  static String GetElementTypeNamespaceUri(CXmlElement* element);
};

}  // namespace VxVevAva5

#endif  // VXBIND_CORE_CLASSFACTORY_H
