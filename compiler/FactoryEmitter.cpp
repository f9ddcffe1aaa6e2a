#include "FactoryEmitter.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <utility>

#include "ClassEmitter.h"
#include "Printer.h"

namespace vxbindc {

void CreateObjectDefinition(std::ostream& out, const EmitContext& c,
                            const std::vector<ClassPlan>& plans,
                            const std::set<const ComplexType*>* made,
                            const std::vector<const ComplexType*>& foreign) {
  // The classes made here, each with its number.
  std::vector<std::pair<const ComplexType*, size_t>> numbered;
  for (const ClassPlan& plan : plans)
    if (made == nullptr || made->count(plan.type) != 0)
      numbered.emplace_back(plan.type, static_cast<size_t>(c.plan.ClassNumberOf(plan.type)));
  for (size_t i = 0; i < foreign.size(); ++i)
    numbered.emplace_back(foreign[i], plans.size() + i + 1);

  std::ostringstream numbers;
  std::ostringstream cases;
  Printer n(numbers);
  Printer k(cases);
  for (const auto& [type, number] : numbered) {
    const std::string stem = c.plan.NameOf(type).substr(1);
    n.Print("$comma$\n  ClassNumber_$stem$ = $number$", "comma", numbers.tellp() > 0 ? "," : "",
            "stem", stem, "number", number);
    if (!type->abstract)
      k.Print("    case ClassNumber_$stem$:\n      return new $class$(elementName);\n", "stem",
              stem, "class", c.plan.NameOf(type));
  }
  Printer(out).Print(
      "\n"
      "namespace {\n"
      "\n"
      "enum ClassNumber {$numbers$\n"
      "};\n"
      "\n"
      "::VxVevAva5::CSmartPtr<::VxVevAva5::CXmlObjectBase> CreateObject(\n"
      "    int classNumber, const unsigned short* elementName) {\n"
      "  switch (classNumber) {\n"
      "$cases$"
      "  }\n"
      "  return nullptr;\n"
      "}\n"
      "\n"
      "}  // namespace\n",
      "numbers", numbers.str(), "cases", cases.str());
}

void CreateRootObjectDefinition(std::ostream& out, const EmitContext& c,
                                const std::vector<std::unique_ptr<Schema>>& schemas) {
  // One test of the namespace for each schema, then one of the name for
  // each of its global elements that makes an object.
  // The second function, which sees the element, lets its xsi:type choose
  // among the types derived from the declared one, and takes elements of
  // an abstract type.
  std::ostringstream tests, typedTests;
  Printer t(tests);
  Printer typed(typedTests);
  for (const auto& s : schemas) {
    bool any = false, anyTyped = false;
    for (const ElementDecl* decl : s->globalElementOrder) {
      // A class-typed element, or the class of a simple-typed or untyped
      // one.
      const ComplexType* type = decl->type.complex ? decl->type.complex : decl->rootClass;
      if (!type || decl->abstract) continue;
      Printer::Variables v{{"ns", Literal(s->targetNamespace)},
                           {"name", Literal(decl->name)},
                           {"class", c.plan.NameOf(type)}};
      if (!anyTyped) typed.Print(v, "  if (::VxVevAva5::Utf16::Equal(ns, $ns$)) {\n");
      anyTyped = true;
      v["make"] = c.plan.Substitutable(type) ? c.FactoryName(*type) + "(element)"
                                              : "new " + c.plan.NameOf(type) + "(localName)";
      if (decl->nillable)
        // The root may be nil: the object is told so before it reads.
        typed.Print(v,
                    "    if (::VxVevAva5::Utf16::Equal(localName, $name$)) {\n"
                    "      ::VxVevAva5::CSmartPtr<::VxVevAva5::CXmlObjectBase> root = $make$;\n"
                    "      if (root != nullptr) root->SetXsiNillable(true);\n"
                    "      return root;\n"
                    "    }\n");
      else
        typed.Print(v,
                    "    if (::VxVevAva5::Utf16::Equal(localName, $name$))\n"
                    "      return $make$;\n");
      if (type->abstract) continue;
      if (!any) t.Print(v, "  if (::VxVevAva5::Utf16::Equal(ns, $ns$)) {\n");
      any = true;
      if (decl->nillable)
        // The root may be nil: the object is told so before it reads.
        t.Print(v,
                "    if (::VxVevAva5::Utf16::Equal(localName, $name$)) {\n"
                "      ::VxVevAva5::CSmartPtr<::VxVevAva5::CXmlObjectBase> root =\n"
                "          new $class$(localName);\n"
                "      root->SetXsiNillable(true);\n"
                "      return root;\n"
                "    }\n");
      else
        t.Print(v,
                "    if (::VxVevAva5::Utf16::Equal(localName, $name$))\n"
                "      return new $class$(localName);\n");
    }
    if (any) t.Print("  }\n");
    if (anyTyped) typed.Print("  }\n");
  }
  Printer p(out);
  p.Print(
      "\n"
      "::VxVevAva5::CSmartPtr<::VxVevAva5::CXmlObjectBase> CreateRootObject(\n"
      "    const unsigned short* localName, const unsigned short* namespaceUri) {\n");
  if (tests.str().empty())
    p.Print("  static_cast<void>(localName);\n  static_cast<void>(namespaceUri);\n");
  else
    p.Print(
        "  if (localName == nullptr) return nullptr;\n"
        "  const unsigned short* ns = namespaceUri != nullptr ? namespaceUri : VX_T(\"\");\n"
        "$tests$",
        "tests", tests.str());
  p.Print("  return nullptr;\n}\n");
  p.Print(
      "\n"
      "::VxVevAva5::CSmartPtr<::VxVevAva5::CXmlObjectBase> CreateRootObject(\n"
      "    ::VxVevAva5::CXmlElement* element) {\n");
  if (typedTests.str().empty())
    p.Print("  static_cast<void>(element);\n");
  else
    p.Print(
        "  if (element == nullptr) return nullptr;\n"
        "  const unsigned short* localName = element->GetLocalName().c_str();\n"
        "  const unsigned short* ns = element->GetNamespaceURI().c_str();\n"
        "$tests$",
        "tests", typedTests.str());
  p.Print("  return nullptr;\n}\n");
  GlobalDeclarationsDefinition(out, c, schemas);
}

void GlobalDeclarationsDefinition(std::ostream& out, const EmitContext& c,
                                  const std::vector<std::unique_ptr<Schema>>& schemas) {
  std::ostringstream facets, attributes, elements;
  Printer f(facets);
  size_t facetCount = 0, attributeCount = 0, elementCount = 0;
  for (const auto& s : schemas) {
    for (const auto& decl : s->attributes) {
      const SimpleType* type = decl->type.simple;
      std::string row;
      if (type != nullptr && type->IsEnum()) {
        row = "::VxVevAva5Data::GlobalEnumAttribute(" + TableText(decl->name) + ", " +
              TableText(s->targetNamespace) + ", " + c.Q(c.plan.NameOf(type->enumOwner)) +
              "FromString)";
      } else {
        std::string facetsName;
        if (type != nullptr && !type->facets.Empty()) {
          facetsName = "kGlobalFacets" + std::to_string(facetCount++);
          f.Print("constexpr ::VxVevAva5Data::FacetTable $name$ =\n    $table$;\n", "name",
                  facetsName, "table", TableFacets(type->facets));
        }
        row = "::VxVevAva5Data::GlobalPrimitiveAttribute(" + TableText(decl->name) + ", " +
              TableText(s->targetNamespace) + ", ::VxVevAva5::ItemType_" +
              (type != nullptr ? type->itemType : std::string("string")) + ", " +
              RuleName(type != nullptr ? type->whitespace : Whitespace::Preserve) +
              (facetsName.empty() ? "" : ", &" + facetsName) + ")";
      }
      attributes << (attributeCount++ ? ",\n    " : "\n    ") << row;
    }
    for (const ElementDecl* decl : s->globalElementOrder) {
      // Its type, for the check of xsi:type on it when validating.
      std::string type = "nullptr, nullptr";
      if (decl->type.untyped) {
        type = TableText("anyType") + ", " + TableText(kXsdNamespace);
      } else if (decl->type.complex != nullptr) {
        auto schema = c.plan.schemaOf.find(decl->type.complex);
        type = TableText(decl->type.complex->name) + ", " +
               TableText(schema != c.plan.schemaOf.end() ? schema->second->targetNamespace
                                                         : s->targetNamespace);
      } else if (decl->type.simple != nullptr) {
        const SimpleType& simple = *decl->type.simple;
        auto schema = c.plan.simpleSchemaOf.find(&simple);
        type = TableText(simple.name) + ", " +
               TableText(simple.name.empty()                      ? s->targetNamespace
                         : schema != c.plan.simpleSchemaOf.end() ? schema->second->targetNamespace
                                                                 : std::string(kXsdNamespace));
      }
      elements << (elementCount++ ? ",\n    " : "\n    ") << "{" << TableText(decl->name)
               << ", " << TableText(s->targetNamespace) << ", " << type << ", " << decl->block
               << "}";
    }
  }
  // The named types, each with the step of its derivation, for the checks
  // of xsi:type when validating.
  std::ostringstream types;
  size_t typeCount = 0;
  auto typeRow = [&](const std::string& name, const std::string& ns, const QName* base,
                     bool extension, unsigned block, bool abstract, bool isUnion) {
    types << (typeCount++ ? ",\n    " : "\n    ") << "{" << TableText(name) << ", "
          << TableText(ns) << ", " << (base ? TableText(base->local) : std::string("nullptr"))
          << ", " << (base ? TableText(base->ns) : std::string("nullptr")) << ", "
          << (extension ? "true" : "false") << ", " << block << ", "
          << (abstract ? "true" : "false") << ", " << (isUnion ? "true" : "false") << "}";
  };
  for (const auto& s : schemas) {
    for (const auto& type : s->complexTypes) {
      if (type->pseudo || type->name.empty()) continue;
      std::optional<QName> base;
      if (type->base != nullptr) {
        auto schema = c.plan.schemaOf.find(type->base);
        base = QName{schema != c.plan.schemaOf.end() ? schema->second->targetNamespace
                                                     : s->targetNamespace,
                     type->base->name, ""};
      } else if (type->textBase) {
        base = *type->textBase;  // simple content extending a simple type
      }
      const bool extension =
          type->base != nullptr ? type->derivation == ComplexType::Derivation::Extension
                                : base.has_value();
      typeRow(type->name, s->targetNamespace, base ? &*base : nullptr, extension, type->block,
              type->abstract, false);
    }
    for (const auto& type : s->simpleTypes) {
      if (type->name.empty()) continue;
      // The nearest named base: an anonymous one stands for its own.
      const SimpleType* step = type.get();
      QName base = step->base;
      while (base.local.empty() && step->anonymousBase != nullptr) {
        step = step->anonymousBase;
        base = step->base;
      }
      if (base.local.empty()) base = QName{kXsdNamespace, "anySimpleType", ""};
      typeRow(type->name, s->targetNamespace, &base, false, 0, false,
              type->variety == Variety::Union);
    }
  }
  Printer p(out);
  p.Print(
      "\n"
      "// The global declarations that lax and strict wildcards check against,\n"
      "// and the named types that xsi:type may name.\n"
      "namespace {\n"
      "$facets$",
      "facets", facets.str());
  if (attributeCount)
    p.Print("constexpr ::VxVevAva5Data::GlobalAttribute kGlobalAttributes[] = {$rows$};\n",
            "rows", attributes.str());
  if (elementCount)
    p.Print("constexpr ::VxVevAva5Data::GlobalElement kGlobalElements[] = {$rows$};\n", "rows",
            elements.str());
  if (typeCount)
    p.Print("constexpr ::VxVevAva5Data::GlobalType kGlobalTypes[] = {$rows$};\n", "rows",
            types.str());
  p.Print(
      "}  // namespace\n"
      "\n"
      "const ::VxVevAva5Data::SchemaSetTable $name$ = {\n"
      "    $attributes$, $attributeCount$, $elements$, $elementCount$, CreateRootObject,\n"
      "    $types$, $typeCount$, CreateRootObject};\n",
      "name", kGlobalDeclarations, "attributes",
      attributeCount ? "kGlobalAttributes" : "nullptr", "attributeCount", attributeCount,
      "elements", elementCount ? "kGlobalElements" : "nullptr", "elementCount", elementCount,
      "types", typeCount ? "kGlobalTypes" : "nullptr", "typeCount", typeCount);
}

void SubstitutionFactoryDefinition(std::ostream& out, const EmitContext& c,
                                   const ComplexType& type) {
  Printer p(out);
  p.Print(
      "\n"
      "::VxVevAva5::CSmartPtr<::VxVevAva5::CXmlObjectBase> $factory$(\n"
      "    ::VxVevAva5::CXmlElement* element) {\n",
      "factory", c.FactoryName(type));
  std::vector<const ComplexType*> candidates;
  if (!type.abstract) candidates.push_back(&type);
  for (const ComplexType* t : c.plan.DerivedFrom(&type))
    if (!t->abstract) candidates.push_back(t);
  if (candidates.empty()) {
    p.Print("  static_cast<void>(element);\n  return nullptr;\n}\n");
    return;
  }
  // Without xsi:type the element is of the declared type.
  p.Print(
      "  const ::VxVevAva5::String type = "
      "::VxVevAva5::CClassfactoryBase::GetElementType(element);\n"
      "  const ::VxVevAva5::String ns =\n"
      "      ::VxVevAva5::CClassfactoryBase::GetElementTypeNamespaceUri(element);\n"
      "  const unsigned short* name = element->GetLocalName().c_str();\n"
      "  if (type.empty()) return $declared$;\n",
      "declared", type.abstract ? "nullptr" : "new " + c.plan.NameOf(type) + "(name)");
  // The candidates by the namespace of their schema, in order of first use.
  std::vector<const Schema*> namespaces;
  for (const ComplexType* t : candidates)
    if (std::find(namespaces.begin(), namespaces.end(), c.plan.schemaOf.at(t)) == namespaces.end())
      namespaces.push_back(c.plan.schemaOf.at(t));
  for (const Schema* schema : namespaces) {
    p.Print("  if (::VxVevAva5::Utf16::Equal(ns.c_str(), $ns$)) {\n", "ns",
            Literal(schema->targetNamespace));
    for (const ComplexType* t : candidates)
      if (c.plan.schemaOf.at(t) == schema)
        p.Print(
            "    if (::VxVevAva5::Utf16::Equal(type.c_str(), $type$)) return new $class$(name);\n",
            "type", Literal(t->name), "class", c.plan.NameOf(t));
    p.Print("  }\n");
  }
  p.Print("  return nullptr;\n}\n");
}

}  // namespace vxbindc
