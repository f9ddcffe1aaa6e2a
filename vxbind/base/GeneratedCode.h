// -----------------------------------------------------------------------------
// File: GeneratedCode.h
// -----------------------------------------------------------------------------
//
// What generated code provides to the library, as call signatures: the class
// factories, the substitution factories that pick a class by xsi:type, and
// the converters of enumerated types. The element and attribute infos call
// them; core/ClassFactory.h has the helpers that generated factories use.

#ifndef VXBIND_BASE_GENERATEDCODE_H
#define VXBIND_BASE_GENERATEDCODE_H

#include "vxbind/base/SmartPtr.h"

namespace VxVevAva5 {

class CXmlObjectBase;
class CXmlElement;

// A new, empty object of the class numbered `classNumber`, whose element is
// `elementName`.
typedef CSmartPtr<CXmlObjectBase> (*ClassFactoryFunction)(int classNumber,
                                                          const unsigned short* elementName);
// A new object of the class that `element` calls for (usually by its
// xsi:type), or null when no class suits.
typedef CSmartPtr<CXmlObjectBase> (*SubstitutionFactoryFunction)(CXmlElement* element);
// Enumeration converters of an enumerated type: text to value, value to text.
typedef int (*EnumFromStringFunction)(const unsigned short* text);
typedef const unsigned short* (*EnumToStringFunction)(int value);

}  // namespace VxVevAva5

#endif  // VXBIND_BASE_GENERATEDCODE_H
