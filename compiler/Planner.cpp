#include "Planner.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "Names.h"

namespace vxbindc {

const char* GroupName(const ComplexType& type) {
  switch (type.group.value_or(GroupKind::Sequence)) {
    case GroupKind::Sequence:
      break;
    case GroupKind::Choice:
      return "choice";
    case GroupKind::All:
      return "all";
  }
  return "sequence";
}

const std::vector<const ComplexType*>& Plan::DerivedFrom(const ComplexType* type) const {
  static const std::vector<const ComplexType*> none;
  auto it = derivedTypes.find(type);
  return it != derivedTypes.end() ? it->second : none;
}

const std::vector<ClassPlan>& Plan::PlansOf(const Schema& unit) const {
  static const std::vector<ClassPlan> none;
  auto it = plans.find(&unit);
  return it != plans.end() ? it->second : none;
}

namespace {

class Planner {
 public:
  explicit Planner(const std::vector<std::unique_ptr<Schema>>& schemas) : m_schemas(schemas) {}

  Plan Run() {
    for (const auto& schema : m_schemas) {
      const Schema* unit = &UnitOf(*schema);
      for (const auto& type : schema->simpleTypes) m_out.unitOfSimple[type.get()] = unit;
      for (const auto& type : schema->complexTypes) m_out.unitOfComplex[type.get()] = unit;
    }
    NameTypes();
    PlanClasses();
    PlanDerivations();
    MarkForeignMembers();
    return std::move(m_out);
  }

 private:
  // The names of classes, enumerations and enumerators, given across the
  // run so that they cannot clash in the one namespace.
  void NameTypes();
  // The members of every class and their names.
  void PlanClasses();
  // Derived classes: the base's members first, and what xsi:type chooses.
  void PlanDerivations();
  // Members whose class or collection another header declares.
  void MarkForeignMembers();

  const std::vector<std::unique_ptr<Schema>>& m_schemas;
  NameSet m_names{ReservedTypeNames()};
  std::set<const ComplexType*> m_settled;
  Plan m_out;
};

// -- naming -------------------------------------------------------------------

void Planner::NameTypes() {
  for (const auto& schema : m_schemas)
    for (const auto& type : schema->complexTypes) {
      if (type->name.empty()) continue;
      std::string stem = m_names.Claim(PascalCase(type->name), [](const std::string& s) {
        return std::vector<std::string>{s, "C" + s, "C" + s + "Col", s + "Metadata",
                                        s + "Property"};
      });
      m_out.classNames[type.get()] = "C" + stem;
    }
  for (const auto& schema : m_schemas) {
    for (const auto& type : schema->simpleTypes) {
      if (type->enumOwner != type.get()) continue;
      std::string base = PascalCase(type->name.empty() ? type->hint : type->name);
      std::string stem = m_names.Claim(base, [](const std::string& s) {
        return std::vector<std::string>{s, s + "FromString", s + "ToString", "C" + s,
                                        "C" + s + "Col"};
      });
      m_out.enumNames[type.get()] = stem;
      NameSet enumerators;
      for (const std::string& value : type->enumeration)
        m_out.enumerators[type.get()].push_back(enumerators.Claim(stem + "_" + IdentifierPart(value)));
      m_out.enums.push_back(type.get());
    }
  }
  for (const auto& schema : m_schemas)
    for (const auto& type : schema->complexTypes) {
      if (!type->name.empty()) continue;
      // A model group is named after the type that holds it: COrderChoice.
      std::string base = type->pseudo
                             ? m_out.NameOf(type->enclosing).substr(1) + PascalCase(GroupName(*type))
                             : PascalCase(type->owner->name);
      // A second anonymous type for an element of the same name is told
      // apart by the name of the type (or, for an anonymous one, of the
      // element) that holds it: CItemsItem; a third clash gets a number.
      auto derive = [](const std::string& s) {
        return std::vector<std::string>{s, "C" + s, "C" + s + "Col", s + "Metadata",
                                        s + "Property"};
      };
      if (!type->pseudo && m_names.Taken("C" + base) && type->enclosing) {
        const ComplexType& outer = *type->enclosing;
        base = PascalCase(!outer.name.empty() ? outer.name
                          : outer.owner       ? outer.owner->name
                                              : GroupName(outer)) +
               base;
      }
      std::string stem = m_names.Claim(base, derive);
      m_out.classNames[type.get()] = "C" + stem;
    }

  // The element name of a new object: an anonymous type's element; a named
  // type's only global element, or else the type's own name.
  for (const auto& schema : m_schemas)
    for (const auto& type : schema->complexTypes) {
      const ComplexType& t = *type;
      if (t.pseudo) {
        m_out.defaultElements[&t] = t.name.empty() ? GroupName(t) : t.name;
        continue;
      }
      if (t.owner) {
        m_out.defaultElements[&t] = t.owner->name;
        continue;
      }
      std::vector<const ElementDecl*> uses;
      for (const ElementDecl* decl : schema->globalElementOrder)
        if (decl->type.complex == &t) uses.push_back(decl);
      m_out.defaultElements[&t] = uses.size() == 1 ? uses[0]->name : t.name;
    }
}

void Planner::PlanClasses() {
  // Which groups may match nothing: settled for every group before the
  // groups that hold it, depth first with an explicit stack (named groups
  // may be used before they are declared). The reader has refused groups
  // that contain themselves without an element between.
  for (const auto& schema : m_schemas)
    for (const auto& start : schema->complexTypes) {
      if (!start->pseudo || m_settled.count(start.get())) continue;
      std::vector<std::pair<const ComplexType*, size_t>> stack{{start.get(), 0}};
      while (!stack.empty()) {
        auto& [type, next] = stack.back();
        if (next < type->particles.size()) {
          const ComplexType* child = type->particles[next++].group;
          if (child && !m_settled.count(child)) stack.emplace_back(child, 0);
          continue;
        }
        bool choice = type->group == GroupKind::Choice;
        bool emptiable = !choice;
        for (const Particle& p : type->particles) {
          bool optional = p.minOccurs == 0 || (p.group && m_out.emptiable.count(p.group));
          emptiable = choice ? emptiable || optional : emptiable && optional;
        }
        if (emptiable) m_out.emptiable.insert(type);
        m_settled.insert(type);
        stack.pop_back();
      }
    }
  for (const auto& schema : m_schemas) {
    std::vector<ClassPlan>& plans = m_out.plans[&UnitOf(*schema)];
    int number = static_cast<int>(plans.size());  // the documents of one unit count on
    for (const auto& type : schema->complexTypes) {
      m_out.classNumbers[type.get()] = ++number;
      ClassPlan plan;
      plan.type = type.get();
      plan.schema = schema.get();
      plan.stem = m_out.NameOf(type.get()).substr(1);
      plan.choice = type->group == GroupKind::Choice;
      NameSet names(ReservedMemberNames());
      auto claim = [&](Member& m) {
        m.stem = names.Claim(PascalCase(AccessorName(m)), [&](const std::string& s) {
          return std::vector<std::string>{"Get" + s,          "Set" + s,
                                          "IsValid" + s,      "Remove" + s,
                                          "IsNil" + s,        "SetNil" + s,
                                          "m_" + CamelCase(s), "m_valid" + s,
                                          "m_nil" + s,        "m_empty" + s,
                                          plan.stem + "_" + s};
        });
        m.field = "m_" + CamelCase(m.stem);
        m.valid = "m_valid" + m.stem;
        m.nil = "m_nil" + m.stem;
        m.empty = "m_empty" + m.stem;
        m.property = plan.stem + "_" + m.stem;
      };
      for (size_t i = 0; i < type->particles.size(); ++i) {
        const Particle& particle = type->particles[i];
        Member m;
        m.fromWildcard = type->fromWildcard.count(i) != 0;
        if (particle.group) {
          m.xmlName = m_out.DefaultElementOf(particle.group);
          m.ns = schema->targetNamespace;
          m.cls = particle.group;
        } else if (particle.any) {
          m.xmlName = "AnyElement";  // the library's name for elements of any name
          m.nameHint = "any";
          m.ns = particle.any->namespaces;  // names the wildcard in messages
          m.untyped = m.anyName = true;
          m.restriction = particle.any->namespaces;
          m.process = particle.any->process;
        } else {
          m.xmlName = particle.decl->name;
          m.ns = particle.decl->ns;
          m.cls = particle.decl->type.complex;
          m.simple = particle.decl->type.simple;
          m.element = particle.decl;
          m.untyped = particle.decl->type.untyped;
          m.restriction = m.ns.empty() ? "##local" : "##targetNamespace";
          m.converted = m.simple && (m.element->defaultValue || m.element->fixedValue);
          m.nillable = particle.decl->nillable;
          m.substitutionBlockedBy = particle.substitutionBlockedBy;
        }
        m.kind = m.cls ? Kind::Cls : !m.untyped && m.simple->IsEnum() ? Kind::Enum : Kind::Prim;
        m.minOccurs = particle.minOccurs;
        m.maxOccurs = particle.maxOccurs;
        m.card = particle.maxOccurs != 1                  ? Card::Col
                 : particle.minOccurs == 0 || plan.choice ? Card::Opt
                                                          : Card::Mnd;
        if (m.card == Card::Col && m.kind == Kind::Cls) m_out.classCollections.insert(m.cls);
        if (m.card == Card::Col && m.kind == Kind::Enum)
          m_out.enumCollections.insert(m.simple->enumOwner);
        claim(m);
        plan.members.push_back(m);
      }
      if (type->text) {
        Member m;
        m.xmlName = type->mixed ? "text" : "value";
        m.text = true;
        m.simple = type->text;
        m.kind = m.simple->IsEnum() ? Kind::Enum : Kind::Prim;
        claim(m);
        plan.members.push_back(m);
      }
      for (const AttributeDecl& attribute : type->attributes) {
        Member m;
        m.xmlName = attribute.name;
        m.ns = attribute.ns;
        m.attribute = true;
        m.decl = &attribute;
        m.simple = attribute.type.simple;
        m.kind = m.simple->IsEnum() ? Kind::Enum : Kind::Prim;
        m.card = attribute.required ? Card::Mnd : Card::Opt;
        claim(m);
        plan.members.push_back(m);
      }
      if (type->anyAttribute) {
        // Last: the wildcard's info takes every attribute offered to it.
        Member m;
        m.xmlName = "AnyAttribute";
        m.nameHint = "anyAttribute";
        m.attribute = m.untyped = m.anyName = true;
        m.restriction = type->anyAttribute->namespaces;
        if (type->anyAttribute->target != schema->targetNamespace)
          m.wildcardTarget = type->anyAttribute->target;
        m.process = type->anyAttribute->process;
        m.card = Card::Col;
        m.minOccurs = 0;
        m.maxOccurs = -1;
        claim(m);
        plan.members.push_back(m);
      }
      plans.push_back(std::move(plan));
    }
  }
  for (auto& entry : m_out.plans)
    for (ClassPlan& plan : entry.second)
      for (const Member& m : plan.members)
        if (plan.choice && !m.attribute && m.card == Card::Col)
          plan.choiceCollections.push_back(&m);
}

void Planner::MarkForeignMembers() {
  for (auto& entry : m_out.plans)
    for (ClassPlan& plan : entry.second)
      for (Member& m : plan.members) {
        const Schema* home = nullptr;
        if (m.kind == Kind::Cls)
          home = m_out.unitOfComplex.at(m.cls);
        else if (m.kind == Kind::Enum && m.card == Card::Col)
          home = m_out.unitOfSimple.at(m.simple->enumOwner);
        // An inherited member is declared and accessed in its base class.
        m.foreign = home != nullptr && home != entry.first && !m.inherited;
      }
}


void Planner::PlanDerivations() {
  std::map<const ComplexType*, ClassPlan*> planOf;
  std::vector<ClassPlan*> derived;
  for (auto& entry : m_out.plans)
    for (ClassPlan& plan : entry.second) {
      planOf[plan.type] = &plan;
      if (plan.type->base) derived.push_back(&plan);
    }
  auto depth = [](const ClassPlan* plan) {
    size_t n = 0;
    for (const ComplexType* t = plan->type->base; t; t = t->base) ++n;
    return n;
  };
  std::stable_sort(derived.begin(), derived.end(),
                   [&](const ClassPlan* a, const ClassPlan* b) { return depth(a) < depth(b); });

  for (ClassPlan* plan : derived) {
    const ComplexType& type = *plan->type;
    const ClassPlan& base = *planOf.at(type.base);
    bool extension = type.derivation == ComplexType::Derivation::Extension;
    auto rename = [&](Member m) {
      m.inherited = true;
      m.property = plan->stem + "_" + m.stem;
      return m;
    };
    auto sameName = [](const Member& a, const Member& b) {
      return a.attribute == b.attribute && !a.text && !b.text && a.xmlName == b.xmlName &&
             a.ns == b.ns;
    };

    std::vector<Member> members;
    NameSet names(ReservedMemberNames());
    auto derive = [&](const std::string& s) {
      return std::vector<std::string>{"Get" + s,          "Set" + s,
                                      "IsValid" + s,      "Remove" + s,
                                      "IsNil" + s,        "SetNil" + s,
                                      "m_" + CamelCase(s), "m_valid" + s,
                                      "m_nil" + s,        "m_empty" + s,
                                      plan->stem + "_" + s};
    };
    for (const Member& m : base.members) {
      members.push_back(rename(m));
      names.Claim(m.stem, derive);
    }
    auto own = [&](Member m) {
      m.stem = names.Claim(PascalCase(AccessorName(m)), derive);
      m.field = "m_" + CamelCase(m.stem);
      m.valid = "m_valid" + m.stem;
      m.nil = "m_nil" + m.stem;
      m.empty = "m_empty" + m.stem;
      m.property = plan->stem + "_" + m.stem;
      members.push_back(m);
      return m;
    };
    auto isAnyAttribute = [](const Member& m) { return m.attribute && m.anyName; };
    // The attribute wildcard of the type, as the base's member that holds it
    // (last: it takes every attribute offered to it).
    std::optional<Member> wildcard;
    for (const Member& m : base.members)
      if (isAnyAttribute(m) && type.anyAttribute) {
        wildcard = rename(m);
        wildcard->restriction = type.anyAttribute->namespaces;
        wildcard->wildcardTarget.reset();
        if (type.anyAttribute->target != plan->schema->targetNamespace)
          wildcard->wildcardTarget = type.anyAttribute->target;
      }
    std::vector<Member> described;
    if (extension) {
      for (const Member& m : base.Described())
        if (!isAnyAttribute(m)) described.push_back(rename(m));
      // This type's own members follow the base's particles and attributes.
      size_t elements = 0, attributes = 0;
      for (const Member& m : plan->members) {
        if (m.text) continue;                         // the base's text
        if (isAnyAttribute(m) && wildcard) continue;  // the base's, widened
        size_t& seen = m.attribute ? attributes : elements;
        if (seen++ < (m.attribute ? type.inheritedAttributes : type.inheritedParticles)) continue;
        described.push_back(own(m));
      }
    } else {
      // Each restated element takes the first member of its name not yet
      // taken (a sequence may repeat a name).
      std::set<size_t> taken;
      for (const Member& restated : plan->members) {
        if (restated.attribute || restated.text) continue;
        if (restated.fromWildcard) {
          described.push_back(own(restated));
          continue;
        }
        if (restated.anyName) {
          // A narrower xs:any: the base's wildcard member, with its namespaces.
          for (const Member& m : base.members)
            if (m.anyName && !m.attribute) {
              Member info = rename(m);
              info.restriction = restated.restriction;
              info.minOccurs = restated.minOccurs;
              info.maxOccurs = restated.maxOccurs;
              described.push_back(info);
              break;
            }
          continue;
        }
        for (size_t i = 0; i < base.members.size(); ++i) {
          if (taken.count(i) || !sameName(base.members[i], restated)) continue;
          taken.insert(i);
          Member info = rename(base.members[i]);
          if (info.card != Card::Col)
            info.card = restated.minOccurs == 0 || plan->choice ? Card::Opt : Card::Mnd;
          described.push_back(info);
          break;
        }
      }
      for (const Member& m : base.members) {
        if (!m.attribute || isAnyAttribute(m) || type.withheld.count({m.ns, m.xmlName})) continue;
        Member info = rename(m);
        for (const Member& restated : plan->members)
          if (sameName(m, restated)) info.restatedRequired = restated.decl->required;
        described.push_back(info);
      }
      for (Member& m : members)
        if (m.text && type.text != type.base->text) m.restrictedText = type.text;
    }
    if (wildcard) described.push_back(*wildcard);
    plan->members = std::move(members);
    plan->described = std::move(described);
    plan->derived = true;
    plan->inheritedCount = base.members.size();
    plan->ownsChoice = !base.choice;
  }

  // Choices listen to their own collections only: the base's constructor
  // listens to its own.
  for (auto& entry : m_out.plans)
    for (ClassPlan& plan : entry.second) {
      if (!plan.derived) continue;
      plan.choiceCollections.clear();
      for (const Member& m : plan.members)
        if (plan.choice && !m.inherited && !m.attribute && m.card == Card::Col)
          plan.choiceCollections.push_back(&m);
    }

  // Substitution: every named type derived from a base, directly or not.
  for (const auto& schema : m_schemas) {
    for (const auto& type : schema->complexTypes) m_out.schemaOf[type.get()] = schema.get();
    for (const auto& type : schema->simpleTypes) m_out.simpleSchemaOf[type.get()] = schema.get();
  }
  // In the order of the command line (the factories test them in this
  // order), not in that of the plans' map.
  for (const auto& unit : m_schemas)
    for (const ClassPlan& plan : m_out.PlansOf(*unit)) {
      if (plan.type->name.empty() || plan.type->pseudo) continue;
      for (const ComplexType* b = plan.type->base; b; b = b->base)
        m_out.derivedTypes[b].push_back(plan.type);
    }
  for (const auto& entry : m_out.plans)
    for (const ClassPlan& plan : entry.second)
      if (!plan.type->pseudo && !plan.type->name.empty() &&
          (plan.type->abstract || m_out.derivedTypes.count(plan.type)))
        m_out.substitutable.insert(plan.type);
  // A member of an abstract or extended type takes the class that xsi:type
  // names, in every group.
  for (auto& entry : m_out.plans)
    for (ClassPlan& plan : entry.second)
      for (std::vector<Member>* list : {&plan.members, &plan.described})
        for (Member& m : *list)
          m.substitution = m.kind == Kind::Cls && m_out.Substitutable(m.cls);
  std::set<const ComplexType*> substituted;  // the declared types of such members
  for (const auto& entry : m_out.plans)
    for (const ClassPlan& plan : entry.second)
      for (const Member& m : plan.Described())
        if (m.substitution) substituted.insert(m.cls);
  // And those of global elements: a document's root takes the class that
  // its xsi:type names too.
  for (const auto& schema : m_schemas)
    for (const ElementDecl* decl : schema->globalElementOrder)
      if (decl->type.complex && m_out.Substitutable(decl->type.complex))
        substituted.insert(decl->type.complex);
  for (const auto& entry : m_out.derivedTypes)
    if (substituted.count(entry.first))
      m_out.polymorphic.insert(entry.second.begin(), entry.second.end());
  for (const auto& schema : m_schemas)
    for (const ElementDecl* decl : schema->globalElementOrder)
      if (decl->type.complex && m_out.polymorphic.count(decl->type.complex))
        m_out.globalElementsOf[decl->type.complex].push_back(decl->name);
}


}  // namespace

Plan MakePlan(const std::vector<std::unique_ptr<Schema>>& schemas) {
  return Planner(schemas).Run();
}

}  // namespace vxbindc
