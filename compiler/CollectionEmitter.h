// The collections of generated classes: CxxxCol for each class that a
// member repeats, holding its objects in document order. The items of a
// collection of elements each have an element of the collection's name;
// those of a model group (a pseudo type) are read and written in place, in
// the element that holds them. The declaration goes in the class's header,
// the definition in the source that defines the class.
#ifndef VXBIND_COMPILER_COLLECTIONEMITTER_H
#define VXBIND_COMPILER_COLLECTIONEMITTER_H

#include <ostream>

#include "EmitSupport.h"

namespace vxbindc {

void ClassCollectionDeclaration(std::ostream& out, const EmitContext& c, const ComplexType& type);
// Reading takes the items' objects from the type's substitution factory
// where the type is substitutable, so that xsi:type chooses their class.
void ClassCollectionDefinition(std::ostream& out, const EmitContext& c, const ComplexType& type);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_COLLECTIONEMITTER_H
