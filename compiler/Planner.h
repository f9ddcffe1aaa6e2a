// The plan of the generated code: what the generator writes, decided before
// a line of it is written. From the resolved schemas, which it never changes,
// the planner makes the C++ names of types, enumerations and members (see
// Names.h), the members of each class, which collections and substitution
// factories are needed, and which file each type is generated into. The
// generator (Generator.cpp and the emitters) only writes out what the plan
// says.
#ifndef VXBIND_COMPILER_PLANNER_H
#define VXBIND_COMPILER_PLANNER_H

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Schema.h"

namespace vxbindc {

enum class Kind { Cls, Prim, Enum };
enum class Card { Mnd, Opt, Col };

// One element or attribute member of a generated class.
struct Member {
  std::string xmlName;
  std::string ns;
  bool attribute = false;
  bool text = false;  // the element's text, for a type of simple content
  Kind kind = Kind::Prim;
  Card card = Card::Mnd;
  const ComplexType* cls = nullptr;  // a pseudo type for a nested model group
  const SimpleType* simple = nullptr;
  int minOccurs = 1;
  int maxOccurs = 1;
  const AttributeDecl* decl = nullptr;  // attributes only
  // Untyped content: a CElement, or a CElementCol or CAttributeCol, for a
  // wildcard (anyName: any name, in the namespaces of `restriction`) or for
  // an element without a type (its own name, in its own namespace).
  bool untyped = false;
  bool anyName = false;
  std::string restriction;
  // An attribute wildcard's: the namespace its ##targetNamespace and
  // ##other name, when not the class's own.
  std::optional<std::string> wildcardTarget;
  // A restriction's element that its base admits by a wildcard: a member of
  // the restriction's own class.
  bool fromWildcard = false;
  Process process = Process::Skip;  // a wildcard's processContents
  std::string nameHint;  // names the accessors where xmlName does not
  // An element of simple type with a default or fixed value: its info reads
  // and writes text, and AccessProperty converts it (an empty element
  // stands for the default, a fixed value is checked both ways).
  const ElementDecl* element = nullptr;
  bool converted = false;
  // nillable="true": its element may be nil. A value member keeps that in a
  // flag of its own (nil); a child object keeps it itself (IsXsiNil).
  bool nillable = false;
  // A member of a substitution group whose head blocks it: the head, whose
  // element validation refuses it for.
  const ElementDecl* substitutionBlockedBy = nullptr;
  std::string nil;    // m_nilShipTo
  std::string empty;  // m_emptyShipTo: a converted member with a default read empty
  // The class or collection it holds is declared in the header of another
  // schema (forward-declared here): its accessors are defined in the source.
  bool foreign = false;
  // Derivation: a member of the base's class (declared, initialised and
  // accessed there); a class member whose object xsi:type chooses; a
  // restriction's required attribute over an optional one of the base; a
  // restriction's text type over the base's.
  bool inherited = false;
  bool substitution = false;
  bool restatedRequired = false;
  const SimpleType* restrictedText = nullptr;

  std::string stem;      // ShipTo
  std::string field;     // m_shipTo
  std::string valid;     // m_validShipTo
  std::string property;  // PurchaseOrderType_ShipTo

  bool Fixed() const { return decl && decl->fixedValue; }
  // An optional attribute with a fixed value keeps whether it is present
  // (in `valid`): a new object has it, one read has it when the input did.
  bool KeepsPresence() const { return attribute && Fixed() && card == Card::Opt; }
  bool HasValidFlag() const {
    return card == Card::Opt && kind != Kind::Cls && !untyped && !Fixed();
  }
  // A single value member that may be nil: the class keeps a flag for it.
  bool HasNilFlag() const { return nillable && card != Card::Col && kind != Kind::Cls && !untyped; }
  // A member with a default that remembers reading an empty element, so that
  // it is written empty again while its value is the default.
  bool HasEmptyFlag() const { return converted && element->defaultValue.has_value(); }
};

// What names a member's accessors.
inline const std::string& AccessorName(const Member& m) {
  return m.nameHint.empty() ? m.xmlName : m.nameHint;
}

struct ClassPlan {
  const ComplexType* type;
  const Schema* schema;
  std::string stem;  // cppName without the C
  std::vector<Member> members;
  bool choice = false;
  std::vector<const Member*> choiceCollections;  // listened to
  // A derived class: the base's members come first (inheritedCount of them,
  // with the base's property indexes); `described` are the members its
  // metadata describes, the base's content followed by its own for an
  // extension, the restated content for a restriction.
  bool derived = false;
  size_t inheritedCount = 0;
  bool ownsChoice = true;  // declares m_chosen (not when the base does)
  std::vector<Member> described;
  const std::vector<Member>& Described() const { return derived ? described : members; }
};

struct Plan {
  // Names. A class is "C" + its stem; an enumeration its stem.
  std::map<const ComplexType*, std::string> classNames;  // "CUSAddress"
  std::map<const SimpleType*, std::string> enumNames;    // for the enumOwner
  std::map<const SimpleType*, std::vector<std::string>> enumerators;  // one per value
  std::map<const ComplexType*, std::string> defaultElements;  // element name of a new object
  std::map<const ComplexType*, int> classNumbers;

  std::vector<const SimpleType*> enums;  // that own their values, in order
  std::map<const Schema*, std::vector<ClassPlan>> plans;  // per output unit
  std::set<const ComplexType*> classCollections;          // needed as CxxxCol
  std::set<const SimpleType*> enumCollections;
  // Model groups that may match no element at all (a pseudo member of such
  // a group is read without requiring content).
  std::set<const ComplexType*> emptiable;
  std::map<const SimpleType*, const Schema*> unitOfSimple;
  std::map<const ComplexType*, const Schema*> unitOfComplex;
  // Named types that are abstract or have derived types: members of them
  // take their objects from a substitution factory, by xsi:type.
  std::set<const ComplexType*> substitutable;
  std::map<const ComplexType*, std::vector<const ComplexType*>> derivedTypes;  // direct or not
  std::map<const ComplexType*, const Schema*> schemaOf;
  std::map<const SimpleType*, const Schema*> simpleSchemaOf;  // the built-in ones: none
  // Named types derived from a type that some member or global element takes
  // by xsi:type: their objects may stand under that member's elements, and
  // name their type with xsi:type wherever it is not the declared one.
  std::set<const ComplexType*> polymorphic;
  // For each of them, the global elements declared with it: a document's
  // root of one of these names needs no xsi:type to say the type.
  std::map<const ComplexType*, std::vector<std::string>> globalElementsOf;

  const std::string& NameOf(const ComplexType* type) const { return classNames.at(type); }
  const std::string& NameOf(const ComplexType& type) const { return NameOf(&type); }
  const std::string& NameOf(const SimpleType* type) const { return enumNames.at(type); }
  const std::string& NameOf(const SimpleType& type) const { return NameOf(&type); }
  const std::vector<std::string>& EnumeratorsOf(const SimpleType* type) const {
    return enumerators.at(type);
  }
  const std::vector<std::string>& EnumeratorsOf(const SimpleType& type) const {
    return EnumeratorsOf(&type);
  }
  const std::string& DefaultElementOf(const ComplexType* type) const {
    return defaultElements.at(type);
  }
  const std::string& DefaultElementOf(const ComplexType& type) const {
    return DefaultElementOf(&type);
  }
  int ClassNumberOf(const ComplexType* type) const { return classNumbers.at(type); }
  bool Substitutable(const ComplexType* type) const { return substitutable.count(type) != 0; }
  // The named types derived from `type`, directly or not.
  const std::vector<const ComplexType*>& DerivedFrom(const ComplexType* type) const;
  // The classes of an output unit (none for a schema without types).
  const std::vector<ClassPlan>& PlansOf(const Schema& unit) const;
};

// The command-line schema whose files hold `schema` (itself, or the one that
// reached it by include or import).
inline const Schema& UnitOf(const Schema& schema) {
  return schema.outputUnit ? *schema.outputUnit : schema;
}

// "sequence", "choice" or "all".
const char* GroupName(const ComplexType& type);

// The plan of one run of the compiler: all schemas go into one C++
// namespace, so their names are given together.
Plan MakePlan(const std::vector<std::unique_ptr<Schema>>& schemas);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_PLANNER_H
