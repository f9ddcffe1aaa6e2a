#include "IdentityConstraints.h"

#include <cstring>
#include <map>
#include <set>
#include <utility>

#include "Diagnostics.h"

namespace vxbindc {

namespace {

// -- The XPath subset ----------------------------------------------------------------

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Name characters, XML's non-ASCII ones taken as they come.
bool IsNameStart(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || u >= 0x80;
}
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-'; }

class XPathParser {
 public:
  XPathParser(const std::string& text, bool field, const PrefixLookup& lookup)
      : m_text(text), m_field(field), m_lookup(lookup) {}

  // Throws the reason, as a std::string, on a syntax error.
  XPathExpr Parse() {
    XPathExpr expr;
    expr.text = m_text;
    SkipSpace();
    if (AtEnd()) throw std::string("the XPath is empty");
    expr.paths.push_back(ParsePath());
    for (;;) {
      SkipSpace();
      if (AtEnd()) break;
      if (Peek() != '|') throw "unexpected '" + m_text.substr(m_at, 10) + "'";
      ++m_at;
      expr.paths.push_back(ParsePath());
    }
    return expr;
  }

 private:
  bool AtEnd() const { return m_at >= m_text.size(); }
  char Peek(size_t ahead = 0) const {
    return m_at + ahead < m_text.size() ? m_text[m_at + ahead] : '\0';
  }
  void SkipSpace() {
    while (!AtEnd() && IsSpace(Peek())) ++m_at;
  }
  // `token` next (after white space): taken.
  bool Take(const char* token) {
    SkipSpace();
    if (m_text.compare(m_at, std::strlen(token), token) != 0) return false;
    m_at += std::strlen(token);
    return true;
  }

  XPathPath ParsePath() {
    XPathPath path;
    SkipSpace();
    const size_t start = m_at;
    if (Take(".")) {
      if (Take("//"))
        path.descendant = true;
      else
        m_at = start;  // "." is a step
    }
    for (;;) {
      bool attribute = ParseStep(path);
      SkipSpace();
      if (Peek() != '/') break;
      if (Peek(1) == '/') throw std::string("'//' is allowed only at the start, as './/'");
      if (attribute) throw std::string("an attribute step must be the last");
      ++m_at;
    }
    return path;
  }

  // One step into `path` (none for "."); true for an attribute step.
  bool ParseStep(XPathPath& path) {
    SkipSpace();
    if (AtEnd() || Peek() == '|' || Peek() == '/') throw std::string("a step is missing");
    if (Peek() == '.') {
      if (Peek(1) == '.') throw std::string("'..' is not allowed");
      ++m_at;
      return false;
    }
    bool attribute = false;
    if (Peek() == '@') {
      ++m_at;
      attribute = true;
    } else if (IsNameStart(Peek())) {
      // An axis, or the name test itself.
      const size_t start = m_at;
      std::string name = NCName();
      SkipSpace();
      if (Peek() == ':' && Peek(1) == ':') {
        if (name == "attribute")
          attribute = true;
        else if (name != "child")
          throw "the axis '" + name + "' is not allowed";
        m_at += 2;
      } else {
        m_at = start;
      }
    }
    if (attribute && !m_field) throw std::string("a selector cannot select attributes");
    XPathStep step = NameTest(attribute);
    path.steps.push_back(step);
    return attribute;
  }

  std::string NCName() {
    if (!IsNameStart(Peek())) throw "a name is expected at '" + m_text.substr(m_at, 10) + "'";
    const size_t start = m_at;
    while (!AtEnd() && IsNameChar(Peek())) ++m_at;
    return m_text.substr(start, m_at - start);
  }

  XPathStep NameTest(bool attribute) {
    using Kind = XPathStep::Kind;
    XPathStep step;
    SkipSpace();
    if (Peek() == '*') {
      ++m_at;
      step.kind = attribute ? Kind::AnyAttribute : Kind::AnyChild;
      return step;
    }
    std::string first = NCName();
    if (Peek() == ':' && Peek(1) != ':') {
      ++m_at;
      step.ns = Namespace(first);
      if (Peek() == '*') {
        ++m_at;
        step.kind = attribute ? Kind::AttributeInNamespace : Kind::ChildInNamespace;
        return step;
      }
      step.local = NCName();
    } else {
      step.local = first;  // no prefix: no namespace
    }
    step.kind = attribute ? Kind::Attribute : Kind::Child;
    return step;
  }

  std::string Namespace(const std::string& prefix) {
    std::string ns;
    if (!m_lookup(prefix, ns)) throw "undeclared namespace prefix '" + prefix + "'";
    return ns;
  }

  const std::string& m_text;
  bool m_field;
  const PrefixLookup& m_lookup;
  size_t m_at = 0;
};

// -- Field types ----------------------------------------------------------------------

using Key = std::pair<std::string, std::string>;  // namespace, name

FieldValue ValueOf(const SimpleType* type) {
  if (type == nullptr || type->variety != Variety::Atomic) return FieldValue::Text;
  const std::string& item = type->itemType;
  if (item == "decimal" || item == "integer" || item == "i1" || item == "i2" || item == "i4" ||
      item == "i8" || item == "ui1" || item == "ui2" || item == "ui4" || item == "ui8")
    return FieldValue::Decimal;
  if (item == "r4") return FieldValue::Float;
  if (item == "r8") return FieldValue::Double;
  if (item == "boolean") return FieldValue::Boolean;
  if (item == "string" && type->whitespace == Whitespace::Preserve) return FieldValue::String;
  if (item == "string" && type->whitespace == Whitespace::Replace) return FieldValue::Replaced;
  return FieldValue::Text;
}

// Whether the child step `step` (null: any element) names `decl`.
bool Names(const XPathStep* step, const ElementDecl& decl) {
  if (step == nullptr) return true;
  switch (step->kind) {
    case XPathStep::Kind::Child:
      return decl.name == step->local && decl.ns == step->ns;
    case XPathStep::Kind::ChildInNamespace:
      return decl.ns == step->ns;
    case XPathStep::Kind::AnyChild:
      return true;
    default:
      return false;
  }
}

// The element declarations of `decl`'s content that `step` names (null:
// all of them), model groups looked into; false when it cannot tell
// (untyped content, a wildcard).
bool Children(const ElementDecl& decl, const XPathStep* step, std::set<const ElementDecl*>& out) {
  if (decl.type.untyped) return false;
  if (decl.type.complex == nullptr) return true;  // simple content: no children
  std::vector<const ComplexType*> groups{decl.type.complex};
  std::set<const ComplexType*> seen{decl.type.complex};
  while (!groups.empty()) {
    const ComplexType* group = groups.back();
    groups.pop_back();
    for (const Particle& particle : group->particles) {
      if (particle.any) return false;
      if (particle.group != nullptr) {
        if (seen.insert(particle.group).second) groups.push_back(particle.group);
      } else if (particle.decl != nullptr && Names(step, *particle.decl)) {
        out.insert(particle.decl);
      }
    }
  }
  return true;
}

// The declarations that `path`'s first `steps` steps reach from `from`;
// false when it cannot tell.
bool Follow(const XPathPath& path, size_t steps, std::set<const ElementDecl*> from,
            std::set<const ElementDecl*>& out) {
  if (path.descendant) {
    // ".//": the declarations themselves and all that their content holds,
    // at any depth.
    std::vector<const ElementDecl*> pending(from.begin(), from.end());
    while (!pending.empty()) {
      const ElementDecl* decl = pending.back();
      pending.pop_back();
      std::set<const ElementDecl*> children;
      if (!Children(*decl, nullptr, children)) return false;
      for (const ElementDecl* child : children)
        if (from.insert(child).second) pending.push_back(child);
    }
  }
  for (size_t s = 0; s < steps; ++s) {
    std::set<const ElementDecl*> next;
    for (const ElementDecl* decl : from)
      if (!Children(*decl, &path.steps[s], next)) return false;
    from = std::move(next);
  }
  out.insert(from.begin(), from.end());
  return true;
}

// How the values of `field` compare, for the elements `selected`.
FieldValue FieldValueOf(const XPathExpr& field, const std::set<const ElementDecl*>& selected) {
  std::set<FieldValue> values;
  for (const XPathPath& path : field.paths) {
    const bool attribute =
        !path.steps.empty() && (path.steps.back().kind == XPathStep::Kind::Attribute ||
                                path.steps.back().kind == XPathStep::Kind::AttributeInNamespace ||
                                path.steps.back().kind == XPathStep::Kind::AnyAttribute);
    std::set<const ElementDecl*> reached;
    if (!Follow(path, path.steps.size() - (attribute ? 1 : 0), selected, reached))
      return FieldValue::Text;
    for (const ElementDecl* decl : reached) {
      if (!attribute) {
        const SimpleType* text = decl->type.simple    ? decl->type.simple
                                 : decl->type.complex ? decl->type.complex->text
                                                      : nullptr;
        values.insert(ValueOf(text));
        continue;
      }
      const XPathStep& last = path.steps.back();
      if (last.kind != XPathStep::Kind::Attribute || decl->type.complex == nullptr)
        return FieldValue::Text;
      for (const AttributeDecl& a : decl->type.complex->attributes)
        if (a.name == last.local && a.ns == last.ns && !a.prohibited)
          values.insert(ValueOf(a.type.simple));
    }
  }
  return values.size() == 1 ? *values.begin() : FieldValue::Text;
}

void SettleFieldValues(const ElementDecl& decl, IdentityConstraint& constraint) {
  std::set<const ElementDecl*> selected;
  bool known = true;
  for (const XPathPath& path : constraint.selector.paths)
    known = known && Follow(path, path.steps.size(), {&decl}, selected);
  constraint.fieldValues.clear();
  for (const XPathExpr& field : constraint.fields)
    constraint.fieldValues.push_back(known ? FieldValueOf(field, selected) : FieldValue::Text);
}

}  // namespace

std::string IdKindOf(const SimpleType* type) {
  for (const SimpleType* t = type; t != nullptr; t = t->baseType) {
    if (t->variety == Variety::Union) return "";
    if (t->variety == Variety::List) {
      if (t->memberTypes.empty()) continue;  // a restriction of a list
      const SimpleType* item = t->memberTypes.front().simple;
      if (item == nullptr || item->variety != Variety::Atomic) return "";
      const std::string kind = IdKindOf(item);
      return kind == "Id" ? "Ids" : kind == "IdRef" ? "IdRefs" : "";
    }
    if (t->baseType == nullptr && t->pos.file == "<built-in>") {
      if (t->name == "ID") return "Id";
      if (t->name == "IDREF") return "IdRef";
      if (t->name == "IDREFS") return "IdRefs";
    }
  }
  return "";
}

bool ParseIdentityXPath(const std::string& text, bool field, const PrefixLookup& lookup,
                        XPathExpr& out, std::string& error) {
  try {
    out = XPathParser(text, field, lookup).Parse();
    return true;
  } catch (const std::string& reason) {
    error = reason;
    return false;
  }
}

void ResolveIdentityConstraints(const std::vector<Schema*>& documents) {
  // An element carries at most one ID attribute.
  for (Schema* schema : documents)
    for (const auto& type : schema->complexTypes) {
      const AttributeDecl* id = nullptr;
      for (const AttributeDecl& attribute : type->attributes) {
        if (attribute.prohibited || IdKindOf(attribute.type.simple) != "Id") continue;
        if (id != nullptr)
          throw CompileError(type->pos, "two attributes of type ID, '" + id->name + "' and '" +
                                            attribute.name + "', in one complex type");
        id = &attribute;
      }
    }
  std::map<Key, IdentityConstraint*> byName;
  for (Schema* schema : documents)
    for (const auto& decl : schema->elements)
      for (IdentityConstraint& constraint : decl->identity)
        if (!byName.emplace(Key(constraint.ns, constraint.name), &constraint).second)
          throw CompileError(constraint.pos,
                             "duplicate identity constraint '" + constraint.name + "'");
  for (Schema* schema : documents)
    for (const auto& decl : schema->elements)
      for (IdentityConstraint& constraint : decl->identity) SettleFieldValues(*decl, constraint);
  for (Schema* schema : documents)
    for (const auto& decl : schema->elements) {
      for (IdentityConstraint& constraint : decl->identity) {
        if (constraint.kind != IdentityConstraint::Kind::KeyRef) continue;
        auto found = byName.find(Key(constraint.refer->ns, constraint.refer->local));
        if (found == byName.end() || found->second->kind == IdentityConstraint::Kind::KeyRef)
          throw CompileError(constraint.pos, "the keyref '" + constraint.name + "' refers to '" +
                                                 constraint.refer->text +
                                                 "', which is no key or unique constraint");
        if (found->second->fields.size() != constraint.fields.size())
          throw CompileError(constraint.pos, "the keyref '" + constraint.name + "' has " +
                                                 std::to_string(constraint.fields.size()) +
                                                 " fields where '" + constraint.refer->text +
                                                 "' has " +
                                                 std::to_string(found->second->fields.size()));
        // A keyref's values are looked up among its key's: they compare as
        // the key's do.
        constraint.fieldValues = found->second->fieldValues;
      }
      if (!decl->global || decl->identity.empty()) continue;
      ComplexType* root = decl->type.complex ? decl->type.complex : decl->rootClass;
      if (root != nullptr) root->identityRoots.push_back(decl.get());
    }
}

}  // namespace vxbindc
