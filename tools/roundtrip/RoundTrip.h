// What each round-trip program gets from the generated code compiled into
// it: vxbind_add_roundtrip() (RoundTrip.cmake) writes these definitions for
// one vxbind_generate() target and its C++ namespace.
#ifndef VXBIND_TOOLS_ROUNDTRIP_ROUNDTRIP_H
#define VXBIND_TOOLS_ROUNDTRIP_ROUNDTRIP_H

#include <vxbind/vxbind.h>

namespace vxbind_tools {

// The generated namespace's CreateRootObject: a new object for a document
// element, of the class that its xsi:type names where it has one; null when
// no global element of the schemas has that name or no class suits.
VxVevAva5::CSmartPtr<VxVevAva5::CXmlObjectBase> CreateRootObject(VxVevAva5::CXmlElement* root);

// The C++ namespace and the schemas the classes were generated from, for
// --help.
extern const char kGeneratedFrom[];

}  // namespace vxbind_tools

#endif  // VXBIND_TOOLS_ROUNDTRIP_ROUNDTRIP_H
