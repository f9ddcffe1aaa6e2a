#include "SchemaChecker.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "ReaderSupport.h"

namespace vxbindc {

namespace {

// Follows the particles of the types of `schema` depth first, with an
// explicit stack, from every type that `starts` admits and that no walk
// met before. `next` gives the type a particle leads to, null where the
// walk does not follow it; a particle that leads back to a type on the
// current path is given to `cycle`, which throws.
template <class Starts, class Next, class Cycle>
void FindCycles(const Schema& schema, Starts starts, Next next, Cycle cycle) {
  enum State { kNew, kOpen, kDone };
  std::map<const ComplexType*, State> state;
  struct Frame {
    const ComplexType* type;
    size_t next;
  };
  for (auto& start : schema.complexTypes) {
    if (!starts(*start) || state[start.get()] != kNew) continue;
    std::vector<Frame> stack{{start.get(), 0}};
    state[start.get()] = kOpen;
    while (!stack.empty()) {
      Frame& frame = stack.back();
      if (frame.next == frame.type->particles.size()) {
        state[frame.type] = kDone;
        stack.pop_back();
        continue;
      }
      const Particle& particle = frame.type->particles[frame.next++];
      const ComplexType* child = next(*frame.type, particle);
      if (!child) continue;
      if (state[child] == kOpen) cycle(particle);
      if (state[child] == kNew) {
        state[child] = kOpen;
        stack.push_back(Frame{child, 0});
      }
    }
  }
}

// A named group may not contain itself but through an element: such a
// group would have no end even where it is optional.
void CheckGroupCycles(const Schema& schema) {
  FindCycles(
      schema, [](const ComplexType& type) { return type.pseudo; },
      [](const ComplexType&, const Particle& particle) -> const ComplexType* {
        return particle.group;
      },
      [](const Particle& particle) {
        throw CompileError(particle.pos, "the group '" + particle.group->name +
                                             "' contains itself without an element between");
      });
}

// A mandatory child object is made with its parent (the reading fills it in
// place), so a type that contains itself through mandatory elements only
// could never be made.
void CheckContainment(const Schema& schema) {
  FindCycles(
      schema, [](const ComplexType&) { return true; },
      [](const ComplexType& type, const Particle& particle) -> const ComplexType* {
        const ComplexType* child = particle.group  ? particle.group
                                   : particle.decl ? particle.decl->type.complex
                                                   : nullptr;  // a wildcard
        bool mandatory =
            particle.minOccurs == 1 && particle.maxOccurs == 1 && *type.group != GroupKind::Choice;
        return mandatory ? child : nullptr;
      },
      [](const Particle& particle) {
        throw CompileError(particle.pos,
                           (particle.decl ? "the element '" + particle.decl->name + "'"
                                          : std::string("the model group")) +
                               " is mandatory and contains itself: no document could end; make "
                               "it optional");
      });
}

// A default or fixed value (`what`) of `owner` ("the attribute 'lang'"):
// lexically right for its type, and one of its enumeration's values.
void CheckValue(const SimpleType& type, const std::optional<std::string>& value, const char* what,
                const SourcePos& pos, const std::string& owner) {
  if (!value) return;
  bool ok = IsLexical(type, *value);
  if (ok && type.IsEnum()) {
    ok = false;
    for (const std::string& e : type.enumeration) ok = ok || e == *value;
  }
  if (!ok)
    throw CompileError(pos,
                       std::string("invalid ") + what + " value '" + *value + "' for " + owner);
}

// Default and fixed values of elements: of a simple type, lexically right
// for it (and one of its enumeration's values), on an element that occurs
// once at most.
void CheckElementValues(const Schema& schema) {
  for (auto& decl : schema.elements) {
    for (const std::optional<std::string>* value : {&decl->defaultValue, &decl->fixedValue}) {
      if (!*value) continue;
      const char* what = value == &decl->defaultValue ? "default" : "fixed";
      if (decl->type.simple == nullptr)
        throw CompileError(decl->pos, std::string("unsupported ") + what +
                                          " value on an element of complex or untyped content");
      CheckValue(*decl->type.simple, *value, what, decl->pos, "the element '" + decl->name + "'");
    }
  }
  for (auto& type : schema.complexTypes)
    for (const Particle& particle : type->particles)
      if (particle.decl && particle.maxOccurs != 1 &&
          (particle.decl->defaultValue || particle.decl->fixedValue))
        throw CompileError(particle.pos,
                           "unsupported default or fixed value on a repeated element");
  // Collections of values keep no state per item: a nil item would be lost.
  for (auto& type : schema.complexTypes)
    for (const Particle& particle : type->particles)
      if (particle.decl && particle.maxOccurs != 1 && particle.decl->nillable &&
          particle.decl->type.simple != nullptr)
        throw CompileError(particle.pos,
                           "unsupported nillable on a repeated element of simple type");
}

// Mixed content keeps its text runs in place between the child elements
// (the objects hold them, the writer puts them back), in derivations too.
// Only mixed simple content is a contradiction.
void CheckMixedContent(const Schema& schema) {
  for (auto& type : schema.complexTypes) {
    if (type->mixed && type->textBase)
      throw CompileError(type->pos, "mixed content cannot have xs:simpleContent");
  }
}

// Global components of one name in two documents of a namespace, in the
// symbol space `space`. One file given twice on the command line is left
// to the generator, which refuses the second pair of output files.
using Seen = std::map<std::pair<std::string, std::string>, std::pair<SourcePos, const Schema*>>;
template <class T>
void CheckDuplicates(const std::vector<std::unique_ptr<Schema>>& schemas,
                     std::map<std::string, T*> Schema::*space, const char* what, Seen& seen) {
  for (const auto& schema : schemas)
    for (const auto& [name, component] : (*schema).*space) {
      auto [it, fresh] = seen.emplace(std::make_pair(schema->targetNamespace, name),
                                      std::make_pair(component->pos, schema.get()));
      if (fresh || CanonicalPath(it->second.second->file) == CanonicalPath(schema->file)) continue;
      const SourcePos& first = it->second.first;
      throw CompileError(component->pos, std::string("duplicate ") + what + " '" + name +
                                             "' (also in " + first.file + ":" +
                                             std::to_string(first.line) + ")");
    }
}

}  // namespace

void CheckSchema(const Schema& schema) {
  CheckGroupCycles(schema);
  CheckContainment(schema);
  CheckElementValues(schema);
  CheckMixedContent(schema);
}

void CheckDuplicateComponents(const std::vector<std::unique_ptr<Schema>>& schemas) {
  Seen types, elements, attributes, groups, attributeGroups;
  CheckDuplicates(schemas, &Schema::namedSimpleTypes, "type", types);
  CheckDuplicates(schemas, &Schema::namedComplexTypes, "type", types);
  CheckDuplicates(schemas, &Schema::globalElements, "element", elements);
  CheckDuplicates(schemas, &Schema::globalAttributes, "attribute", attributes);
  CheckDuplicates(schemas, &Schema::namedGroups, "group", groups);
  CheckDuplicates(schemas, &Schema::namedAttributeGroups, "attribute group", attributeGroups);
}

void CheckAttributeValues(const AttributeDecl& attribute) {
  if (!attribute.defaultValue && !attribute.fixedValue) return;
  const std::string owner = "the attribute '" + attribute.name + "'";
  CheckValue(*attribute.type.simple, attribute.defaultValue, "default", attribute.pos, owner);
  CheckValue(*attribute.type.simple, attribute.fixedValue, "fixed", attribute.pos, owner);
}

void CheckAttributeUnique(const std::vector<AttributeDecl>& attributes,
                          const AttributeDecl& attribute) {
  for (const AttributeDecl& other : attributes) {
    if (&other == &attribute) break;
    if (other.name == attribute.name && other.ns == attribute.ns)
      throw CompileError(attribute.pos, "duplicate attribute '" + attribute.name + "'");
  }
}

}  // namespace vxbindc
