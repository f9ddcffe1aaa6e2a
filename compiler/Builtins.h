// The built-in simple types of XML Schema, each mapped to the item type that
// holds its values; the derived ones carry the facets that their definition
// implies (positiveInteger: at least 1, and so on).
#ifndef VXBIND_COMPILER_BUILTINS_H
#define VXBIND_COMPILER_BUILTINS_H

#include <string>

#include "Schema.h"

namespace vxbindc {

// The built-in type of this local name in the XML Schema namespace, or null.
// xs:anyType is no simple type and is not found here.
const SimpleType* FindBuiltin(const std::string& localName);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_BUILTINS_H
