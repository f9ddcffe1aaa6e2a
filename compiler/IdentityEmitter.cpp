#include "IdentityEmitter.h"

#include <vector>

#include "ClassEmitter.h"
#include "IdentityConstraints.h"

namespace vxbindc {

namespace {

const char* StepKind(XPathStep::Kind kind) {
  switch (kind) {
    case XPathStep::Kind::Child:
      return "::VxVevAva5Data::IdentityStep_Child";
    case XPathStep::Kind::ChildInNamespace:
      return "::VxVevAva5Data::IdentityStep_ChildInNamespace";
    case XPathStep::Kind::AnyChild:
      return "::VxVevAva5Data::IdentityStep_AnyChild";
    case XPathStep::Kind::Attribute:
      return "::VxVevAva5Data::IdentityStep_Attribute";
    case XPathStep::Kind::AttributeInNamespace:
      return "::VxVevAva5Data::IdentityStep_AttributeInNamespace";
    case XPathStep::Kind::AnyAttribute:
      return "::VxVevAva5Data::IdentityStep_AnyAttribute";
  }
  return "";
}

const char* ValueKind(FieldValue value) {
  switch (value) {
    case FieldValue::Text:
      return "::VxVevAva5Data::IdentityValue_Text";
    case FieldValue::String:
      return "::VxVevAva5Data::IdentityValue_String";
    case FieldValue::Replaced:
      return "::VxVevAva5Data::IdentityValue_Replaced";
    case FieldValue::Decimal:
      return "::VxVevAva5Data::IdentityValue_Decimal";
    case FieldValue::Float:
      return "::VxVevAva5Data::IdentityValue_Float";
    case FieldValue::Double:
      return "::VxVevAva5Data::IdentityValue_Double";
    case FieldValue::Boolean:
      return "::VxVevAva5Data::IdentityValue_Boolean";
  }
  return "";
}

const char* ConstraintKind(IdentityConstraint::Kind kind) {
  switch (kind) {
    case IdentityConstraint::Kind::Unique:
      return "::VxVevAva5Data::IdentityKind_Unique";
    case IdentityConstraint::Kind::Key:
      return "::VxVevAva5Data::IdentityKind_Key";
    case IdentityConstraint::Kind::KeyRef:
      return "::VxVevAva5Data::IdentityKind_KeyRef";
  }
  return "";
}

// One declaration's table, `name`, with its steps, paths and fields in
// arrays of its own.
class TableWriter {
 public:
  TableWriter(std::ostream& out, const std::string& name) : m_out(out), m_name(name) {}

  void Write(const ElementDecl& decl) {
    std::vector<std::string> fields, constraints;
    for (const IdentityConstraint& c : decl.identity) {
      const size_t firstField = fields.size();
      for (size_t f = 0; f < c.fields.size(); ++f)
        fields.push_back("{" + XPath(c.fields[f]) + ", " +
                         ValueKind(f < c.fieldValues.size() ? c.fieldValues[f] : FieldValue::Text) +
                         "}");
      const bool keyref = c.kind == IdentityConstraint::Kind::KeyRef;
      constraints.push_back("{" + std::string(ConstraintKind(c.kind)) + ", " + TableText(c.name) +
                            ", " + TableText(c.ns) + ",\n     " + XPath(c.selector) + ",\n     " +
                            m_name + "Fields + " + std::to_string(firstField) + ", " +
                            std::to_string(c.fields.size()) + ", " +
                            (keyref ? TableText(c.refer->local) : "nullptr") + ", " +
                            (keyref ? TableText(c.refer->ns) : "nullptr") + "}");
    }
    if (!m_steps.empty()) Array("IdentityStep", m_name + "Steps", m_steps);
    Array("IdentityPath", m_name + "Paths", m_paths);
    Array("IdentityField", m_name + "Fields", fields);
    Array("IdentityConstraint", m_name + "Constraints", constraints);
    m_out << "constexpr ::VxVevAva5Data::IdentityTable " << m_name << " = {" << m_name
          << "Constraints, " << constraints.size() << "};\n";
  }

 private:
  // The XPath's IdentityXPath, its paths and steps added to the arrays.
  std::string XPath(const XPathExpr& xpath) {
    const size_t firstPath = m_paths.size();
    for (const XPathPath& path : xpath.paths) {
      const size_t firstStep = m_steps.size();
      for (const XPathStep& step : path.steps)
        m_steps.push_back("{" + std::string(StepKind(step.kind)) + ", " + TableText(step.ns) +
                          ", " + TableText(step.local) + "}");
      m_paths.push_back(
          "{" + std::string(path.descendant ? "true" : "false") + ", " +
          (path.steps.empty() ? "nullptr" : m_name + "Steps + " + std::to_string(firstStep)) +
          ", " + std::to_string(path.steps.size()) + "}");
    }
    return "{" + TableText(xpath.text) + ", " + m_name + "Paths + " + std::to_string(firstPath) +
           ", " + std::to_string(xpath.paths.size()) + "}";
  }

  void Array(const char* type, const std::string& name, const std::vector<std::string>& rows) {
    m_out << "constexpr ::VxVevAva5Data::" << type << " " << name << "[] = {";
    for (size_t i = 0; i < rows.size(); ++i) m_out << (i ? ",\n    " : "\n    ") << rows[i];
    m_out << "};\n";
  }

  std::ostream& m_out;
  const std::string& m_name;
  std::vector<std::string> m_steps;
  std::vector<std::string> m_paths;
};

}  // namespace

IdentityTableNames IdentityTables(std::ostream& out, const ClassPlan& plan) {
  IdentityTableNames names;
  auto table = [&](const ElementDecl* decl) {
    auto found = names.tables.find(decl);
    if (found != names.tables.end()) return found->second;
    const std::string name = "kIdentity" + std::to_string(names.tables.size());
    TableWriter(out, name).Write(*decl);
    names.tables.emplace(decl, name);
    return name;
  };
  for (const Member& m : plan.Described())
    if (!m.attribute && !m.text && m.element != nullptr && !m.element->identity.empty())
      table(m.element);
  std::vector<std::string> roots;
  for (const ElementDecl* decl : plan.type->identityRoots)
    roots.push_back("{" + TableText(decl->name) + ", " + TableText(decl->ns) + ", &" + table(decl) +
                    "}");
  if (!roots.empty()) {
    out << "constexpr ::VxVevAva5Data::RootIdentity kRootIdentities[] = {";
    for (size_t i = 0; i < roots.size(); ++i) out << (i ? ",\n    " : "\n    ") << roots[i];
    out << "};\n";
    names.roots = "kRootIdentities";
    names.rootCount = roots.size();
  }
  return names;
}

std::string IdentityRowSuffix(const Member& m, const IdentityTableNames& names) {
  if (m.untyped) return "";
  const SimpleType* value = m.simple;
  if (m.kind == Kind::Cls) value = m.cls != nullptr && !m.cls->pseudo ? m.cls->text : nullptr;
  std::string suffix;
  const std::string kind = IdKindOf(value);
  if (!kind.empty()) suffix += ".Id(::VxVevAva5Data::IdKind_" + kind + ")";
  if (!m.attribute && m.element != nullptr) {
    auto found = names.tables.find(m.element);
    if (found != names.tables.end()) suffix += ".Identity(&" + found->second + ")";
  }
  return suffix;
}

}  // namespace vxbindc
