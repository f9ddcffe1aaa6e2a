// Identity constraints (xs:unique, xs:key, xs:keyref): their XPaths parsed
// as the reader meets them, and their references and field types settled
// once every document of the run is resolved. The library checks them when
// documents are read with validation on (vxbind/model/IdentityTable.h).
#ifndef VXBIND_COMPILER_IDENTITYCONSTRAINTS_H
#define VXBIND_COMPILER_IDENTITYCONSTRAINTS_H

#include <functional>
#include <string>
#include <vector>

#include "Schema.h"

namespace vxbindc {

// Gives the namespace a prefix is bound to where the XPath stands; false
// when none is.
using PrefixLookup = std::function<bool(const std::string& prefix, std::string& ns)>;

// Parses `text`, the XPath of an xs:selector (`field` false) or an
// xs:field, as XML Schema restricts them:
//   Path ('|' Path)*, Path ::= ('.//')? Step ('/' Step)*
// a Step being "." or a name test (QName, "*", "prefix:*") on the child
// axis (written or not as "child::"); a field's last step may be an
// attribute ("@" or "attribute::" and a name test). Unprefixed names have
// no namespace. On a syntax error returns false with the reason in
// `error`.
bool ParseIdentityXPath(const std::string& text, bool field, const PrefixLookup& lookup,
                        XPathExpr& out, std::string& error);

// "Id", "IdRef", "IdRefs" or "Ids" for a simple type that is xs:ID,
// xs:IDREF or xs:IDREFS, derived from one, or a list of IDs or IDREFs; ""
// for any other.
std::string IdKindOf(const SimpleType* type);

// Across the documents of a run: refuses a complex type with two attributes
// of type ID, two identity constraints of one name, and a keyref whose
// refer names no key or unique or one with another number of fields;
// works out how each field's values compare from the declarations it
// selects; notes the global elements with constraints in the types read as
// their roots (ComplexType::identityRoots). Throws CompileError.
void ResolveIdentityConstraints(const std::vector<Schema*>& documents);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_IDENTITYCONSTRAINTS_H
