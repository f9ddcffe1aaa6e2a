// Resolving the schemas of a run: what the reader (SchemaReader.h) left as
// names becomes the components they name, and what a component takes from
// others is worked out.
//
// References are found by namespace and local name, among the built-in
// types and the documents of the run (or the one document read alone).
// Simple types take the facets of their bases, lists and unions their
// member types; attributes take their types and attribute groups' members,
// complex types their text types, model groups and referenced elements and
// attributes. A complex type derived from another gets its base, then (for
// extensions of choices) contents wrapped in model groups of their own, and
// then joins its content to its base's, each after its base. Last, a
// reference to the head of a substitution group becomes a choice of the
// elements that may stand for it.
//
// Each of these phases is done for every document of a run before the next,
// since a later phase of one document may look into another. Chains of
// derivation are followed with work lists, not recursion.
#ifndef VXBIND_COMPILER_RESOLVER_H
#define VXBIND_COMPILER_RESOLVER_H

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Schema.h"

namespace vxbindc {

// The documents of a run, by target namespace.
using RunDocuments = std::multimap<std::string, Schema*>;

class Resolver {
 public:
  // `run` null: the schema was read alone, and its references name only its
  // own components and the built-in types.
  Resolver(Schema& schema, const RunDocuments* run) : m_schema(schema), m_run(run) {}

  // The phases, in this order. What other documents' references need comes
  // first: the simple types, with the member types of lists and unions, and
  // the types of the global attributes (which a document read alone leaves
  // to ResolveDeclarations).
  void ResolveSimpleTypes();
  void ResolveGlobalAttributes();
  // The rest of the declarations: global attributes' values, the types of
  // elements, the classes of global elements of simple or no type, and of
  // every complex type its attribute groups, text type, model group and
  // element and attribute references.
  void ResolveDeclarations();
  // Derivation of complex types, in three steps: bases found, contents that
  // need a model group of their own wrapped, then each type settled after
  // its base.
  void ResolveDerivationBases();
  void WrapDerivedContents();
  void SettleDerivations();
  // Substitution groups, over all documents.
  void ResolveSubstitutionGroups();
  // After the checks (SchemaChecker.h): the text of mixed content.
  void ResolveMixedText();

 private:
  // The global component `name` of the symbol space `space`, in any
  // document of the run; null when there is none. Throws when no document
  // of the name's namespace was read at all.
  template <class T>
  T* Find(std::map<std::string, T*> Schema::*space, const QName& name, const SourcePos& pos) const;
  // The documents whose components a resolution may meet: the run's, or
  // this one alone.
  std::vector<Schema*> Documents() const;
  Schema& DocumentOf(const ComplexType& type) const;

  void ResolveMemberTypes();
  void ResolveSimpleType(SimpleType* type);
  void ApplyWhitespaceFacet(SimpleType& type, const SimpleType& base);
  void FinishFacets(SimpleType& type, const SimpleType& base);
  static void CheckFacetsAgree(const SimpleType& type);
  void ResolveTypeUse(TypeUse& use, const SourcePos& pos, bool attribute);
  void AddRootClasses();
  void ResolveText(ComplexType& type);
  void ResolveParticles(ComplexType& type);
  void ResolveAttributes(ComplexType& type);
  void ExpandAttributeGroups(ComplexType& type);
  // The types of global elements that have none of their own but join a
  // substitution group: their head's.
  void InheritHeadTypes();
  std::vector<ComplexType*> DerivedTypes() const;
  void ResolveBase(ComplexType& type);
  void WrapContent(ComplexType& type);
  void SettleDerivation(ComplexType& type);
  void ExpandHeadsInAll(ComplexType& type,
                        const std::map<const ElementDecl*, std::vector<ElementDecl*>>& direct);
  ComplexType* SubstitutionChoice(
      ElementDecl* head, const std::map<const ElementDecl*, std::vector<ElementDecl*>>& direct);

  Schema& m_schema;
  const RunDocuments* m_run;
};

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_RESOLVER_H
