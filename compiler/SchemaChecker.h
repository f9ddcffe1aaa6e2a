// Checks of resolved schemas: what the schema language or the generated
// classes cannot allow and what only shows once references are resolved.
// Each check is a function of its own, and walks the model without
// recursion. Most of them look at one document once every document of its
// run is resolved (CheckSchema); the others are made by the loader and the
// resolver where the components they concern are met, so that of several
// faults of a schema the first one met is the one reported.
#ifndef VXBIND_COMPILER_SCHEMACHECKER_H
#define VXBIND_COMPILER_SCHEMACHECKER_H

#include <memory>
#include <vector>

#include "Schema.h"

namespace vxbindc {

// The checks of a resolved document, in this order:
// - a named group contains itself only through an element;
// - a type contains itself only through an optional or repeated element;
// - the default and fixed values of elements are values of their types, on
//   elements that occur once at most;
// - mixed content is not simple content, and no derivation of complex types
//   has attribute wildcards.
// Throws CompileError.
void CheckSchema(const Schema& schema);

// The global components of the documents of a run: one name is not
// declared twice in a namespace by two files. Made before resolving.
void CheckDuplicateComponents(const std::vector<std::unique_ptr<Schema>>& schemas);

// An attribute's default and fixed values are values of its resolved type.
void CheckAttributeValues(const AttributeDecl& attribute);
// `attribute` repeats no attribute listed before it in `attributes`.
void CheckAttributeUnique(const std::vector<AttributeDecl>& attributes,
                          const AttributeDecl& attribute);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_SCHEMACHECKER_H
