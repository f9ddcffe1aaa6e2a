// The generated classes: for each class of the plan (Planner.h), its
// declaration with the accessors of its members, for the header, and its
// definition, for the source: the property enum and the metadata as
// constant tables, the constructor, Init, the setters defined out of line
// and AccessProperty, through which the runtime's driver reads and writes
// the members.
#ifndef VXBIND_COMPILER_CLASSEMITTER_H
#define VXBIND_COMPILER_CLASSEMITTER_H

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "EmitSupport.h"

namespace vxbindc {

// What the class definitions of one source use of the file-local helpers,
// so that the source defines none of them in vain (FactoryEmitter.h's
// CreateObjectDefinition).
struct ClassUses {
  bool createObject = false;
  std::vector<const ComplexType*> foreignClasses;  // made by CreateObject, of other headers
  std::set<const ComplexType*> made;               // all classes made by CreateObject
};

// For the constant tables: a text as a char16_t literal, and the facets in
// force as a FacetTable expression.
std::string TableText(const std::string& utf8);
std::string TableFacets(const Facets& facets);

void ClassDeclaration(std::ostream& out, const EmitContext& c, const ClassPlan& plan);
// Adds to `uses` what the definition needs.
void ClassDefinition(std::ostream& out, const EmitContext& c, const ClassPlan& plan,
                     ClassUses& uses);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_CLASSEMITTER_H
