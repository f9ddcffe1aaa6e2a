// The factories of the generated code, which make objects of the generated
// classes while a document is read:
//   - CreateObject, file-local in each source that needs it: an object of a
//     class by its number, for the infos of class members;
//   - CreateRootObject, once for the namespace: the object of a document
//     element, by its name and namespace, for every schema of the run; and
//     its overload that takes the element, whose xsi:type may name a type
//     derived from the declared one (the declared one may be abstract);
//   - CreateXxxByType, for each substitutable type: the object of the type,
//     or of a type derived from it, that an element's xsi:type names.
#ifndef VXBIND_COMPILER_FACTORYEMITTER_H
#define VXBIND_COMPILER_FACTORYEMITTER_H

#include <memory>
#include <ostream>
#include <set>
#include <vector>

#include "EmitSupport.h"

namespace vxbindc {

// The ClassNumber enum and CreateObject, in an unnamed namespace: the
// classes of `plans` (those in `made` alone, unless it is null), numbered
// as the plan says, then the classes of other headers in `foreign`,
// numbered on after the plans.
void CreateObjectDefinition(std::ostream& out, const EmitContext& c,
                            const std::vector<ClassPlan>& plans,
                            const std::set<const ComplexType*>* made,
                            const std::vector<const ComplexType*>& foreign);
// Both CreateRootObject functions; they know the global elements of all
// `schemas`. Followed by GlobalDeclarationsDefinition.
void CreateRootObjectDefinition(std::ostream& out, const EmitContext& c,
                                const std::vector<std::unique_ptr<Schema>>& schemas);
// The SchemaSetTable kGlobalDeclarations of the namespace: the global
// attribute declarations and global elements of all `schemas`, and
// CreateRootObject, against which lax and strict wildcards check what they
// read.
void GlobalDeclarationsDefinition(std::ostream& out, const EmitContext& c,
                                  const std::vector<std::unique_ptr<Schema>>& schemas);
// Without xsi:type an element is of `type` itself; an abstract type gives
// no object then.
void SubstitutionFactoryDefinition(std::ostream& out, const EmitContext& c,
                                   const ComplexType& type);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_FACTORYEMITTER_H
