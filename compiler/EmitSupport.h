// What the emitters of generated code share: the plan and the namespace they
// write for (EmitContext), the text that both kinds of collection have, the
// C++ literal of a text, and the names of the runtime's whitespace rules.
// Each emitter (EnumerationEmitter.h, CollectionEmitter.h, FactoryEmitter.h,
// ClassEmitter.h) writes one kind of generated entity from what the plan
// says.
#ifndef VXBIND_COMPILER_EMITSUPPORT_H
#define VXBIND_COMPILER_EMITSUPPORT_H

#include <string>

#include "Planner.h"
#include "Schema.h"

namespace vxbindc {

// What an emitter writes from: the plan of the run and the C++ namespace
// (identifiers joined by "::") that all of its code goes in.
struct EmitContext {
  const Plan& plan;
  const std::string& cxxNamespace;

  // A name of this namespace as code in a class's scope names it: qualified,
  // so that no member of a base class (the runtime's or another generated
  // one) can hide it.
  std::string Q(const std::string& name) const { return "::" + cxxNamespace + "::" + name; }
  // The substitution factory of `type` (FactoryEmitter.h), unqualified.
  std::string FactoryName(const ComplexType& type) const {
    return "Create" + plan.NameOf(type).substr(1) + "ByType";
  }
  // The unqualified name of the generated collection that `m` holds, of a
  // class or an enumeration.
  std::string OwnCollection(const Member& m) const {
    if (m.kind == Kind::Cls) return plan.NameOf(m.cls) + "Col";
    return "C" + plan.NameOf(m.simple->enumOwner) + "Col";
  }
};

// The declaration of the writing override (ToXml_Int) of a generated
// collection, of classes (CollectionEmitter.h) or of enumeration values
// (EnumerationEmitter.h), for the protected part of its class.
extern const char kCollectionToXmlDeclaration[];
// The head of its definition in the collection class `col`, down to the
// check of the item count.
std::string CollectionToXmlHead(const std::string& col);

// The C++ literal VX_T("...") of a UTF-8 text.
std::string Literal(const std::string& utf8);

// The generated code's name of a whitespace rule (kPreserve ...), qualified.
const char* RuleName(Whitespace whitespace);

// The name of the schema set's table of global declarations, which the rows
// of lax and strict wildcards point to (FactoryEmitter.h).
extern const char kGlobalDeclarations[];

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_EMITSUPPORT_H
