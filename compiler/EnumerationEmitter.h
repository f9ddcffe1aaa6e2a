// The enumerations of the generated code: a C++ enum for each simple type
// that owns enumeration values, with its conversions from and to text, and
// where a member repeats one, the collection of its values (CxxxCol). The
// declarations go in the header of the schema that owns the type, the
// definitions in its first source.
#ifndef VXBIND_COMPILER_ENUMERATIONEMITTER_H
#define VXBIND_COMPILER_ENUMERATIONEMITTER_H

#include <ostream>

#include "EmitSupport.h"

namespace vxbindc {

// The enum, and the declarations of its xxxFromString and xxxToString.
void EnumDeclaration(std::ostream& out, const EmitContext& c, const SimpleType& type);
// xxxFromString (the text under the type's whitespace rule) and xxxToString,
// both refusing what is no value of the type.
void EnumDefinition(std::ostream& out, const EmitContext& c, const SimpleType& type);

// The class of a repeated member of the enumeration, and its definition.
void EnumCollectionDeclaration(std::ostream& out, const EmitContext& c, const SimpleType& type);
void EnumCollectionDefinition(std::ostream& out, const EmitContext& c, const SimpleType& type);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_ENUMERATIONEMITTER_H
