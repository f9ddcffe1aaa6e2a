// Small helpers shared by the reader, the resolver, the checker and the
// loader of schema documents; no part of the compiler's interface.
#ifndef VXBIND_COMPILER_READERSUPPORT_H
#define VXBIND_COMPILER_READERSUPPORT_H

#include <vxbind/vxbind.h>

#include <string>

#include "Schema.h"

namespace vxbindc {

inline std::string U8(const VxVevAva5::String& text) { return VxVevAva5::Utf16::ToUtf8(text); }

// Whether `value` is a lexical form of the simple type's item type, by the
// library's own conversion (the one the generated code reads with).
bool IsLexical(const SimpleType& type, const std::string& value);

// The file's absolute path with links and "." and ".." resolved, so that two
// names of one file compare equal; lexically normal where that fails.
std::string CanonicalPath(const std::string& file);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_READERSUPPORT_H
