// What validation on read needs of the generated metadata
// (vxbind/model/IdentityTable.h): the identity constraints of the element
// declarations as constant tables, in the metadata namespace of the class
// whose rows point to them, and the marks of members whose values are IDs
// or references to them.
#ifndef VXBIND_COMPILER_IDENTITYEMITTER_H
#define VXBIND_COMPILER_IDENTITYEMITTER_H

#include <map>
#include <ostream>
#include <string>

#include "Planner.h"

namespace vxbindc {

struct IdentityTableNames {
  // The table of each element declaration of the class's members that has
  // constraints.
  std::map<const ElementDecl*, std::string> tables;
  // The root identities of the class's type (ComplexType::identityRoots):
  // the name of their array and its size; empty when there are none.
  std::string roots;
  size_t rootCount = 0;
};

// Writes the tables that the rows of `plan`'s class and its ClassTable
// point to.
IdentityTableNames IdentityTables(std::ostream& out, const ClassPlan& plan);

// What an element or attribute row adds for validation on read: ".Id(...)"
// when the member's value (or, for a class of simple content, its text) is
// an ID, an IDREF or a list of either; ".Identity(&table)" for the
// constraints of its declaration.
std::string IdentityRowSuffix(const Member& m, const IdentityTableNames& names);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_IDENTITYEMITTER_H
