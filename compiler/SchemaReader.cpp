#include "SchemaReader.h"

#include <vxbind/vxbind.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "Builtins.h"

namespace vxbindc {

using VxVevAva5::CVxException;
using VxVevAva5::CXmlAttribute;
using VxVevAva5::CXmlDocument;
using VxVevAva5::CXmlElement;
using VxVevAva5::String;

namespace {

std::string U8(const String& text) { return VxVevAva5::Utf16::ToUtf8(text); }

// The text of the first xs:documentation of a declaration's xs:annotation,
// its whitespace collapsed; kept for the comments of the generated code.
std::string Documentation(const CXmlElement* e) {
  auto is = [](const CXmlElement* c, const char* name) {
    return U8(c->GetNamespaceURI()) == kXsdNamespace && U8(c->GetLocalName()) == name;
  };
  for (const CXmlElement* a = e->GetFirstElement(); a; a = a->GetNextSiblingElement())
    for (const CXmlElement* d = is(a, "annotation") ? a->GetFirstElement() : nullptr; d;
         d = d->GetNextSiblingElement()) {
      if (!is(d, "documentation")) continue;
      std::string text;
      for (char c : U8(d->GetText())) {
        bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        if (space && (text.empty() || text.back() == ' ')) continue;
        text += space ? ' ' : c;
      }
      if (!text.empty() && text.back() == ' ') text.pop_back();
      return text;
    }
  return "";
}

VxVevAva5::CWhitespaceUtils::WhitespaceRule RuleOf(Whitespace whitespace) {
  switch (whitespace) {
    case Whitespace::Preserve:
      return VxVevAva5::CWhitespaceUtils::WhitespaceRule_Preserve;
    case Whitespace::Replace:
      return VxVevAva5::CWhitespaceUtils::WhitespaceRule_Replace;
    case Whitespace::Collapse:
      break;
  }
  return VxVevAva5::CWhitespaceUtils::WhitespaceRule_Collapse;
}

VxVevAva5::ItemType ItemTypeOf(const std::string& name) {
  using namespace VxVevAva5;
  static const std::pair<const char*, ItemType> kTypes[] = {{"hexBinary", ItemType_hexBinary},
                                                            {"base64Binary", ItemType_base64Binary},
                                                            {"i1", ItemType_i1},
                                                            {"i2", ItemType_i2},
                                                            {"i4", ItemType_i4},
                                                            {"i8", ItemType_i8},
                                                            {"ui1", ItemType_ui1},
                                                            {"ui2", ItemType_ui2},
                                                            {"ui4", ItemType_ui4},
                                                            {"ui8", ItemType_ui8},
                                                            {"r4", ItemType_r4},
                                                            {"r8", ItemType_r8},
                                                            {"duration", ItemType_duration},
                                                            {"yearMonth", ItemType_yearMonth},
                                                            {"monthDay", ItemType_monthDay},
                                                            {"year", ItemType_year},
                                                            {"month", ItemType_month},
                                                            {"day", ItemType_day},
                                                            {"date", ItemType_date},
                                                            {"datetime", ItemType_datetime},
                                                            {"time", ItemType_time},
                                                            {"string", ItemType_string},
                                                            {"boolean", ItemType_boolean},
                                                            {"decimal", ItemType_decimal},
                                                            {"integer", ItemType_integer}};
  for (const auto& entry : kTypes)
    if (name == entry.first) return entry.second;
  return ItemType_Invalid;
}

// Whether `value` is a lexical form of the simple type's item type, by the
// library's own conversion (the one the generated code reads with).
bool IsLexical(const SimpleType& type, const std::string& value) {
  try {
    VxVevAva5::VxVariant variant;
    variant.FromString(VxVevAva5::Utf16::FromUtf8(value), ItemTypeOf(type.itemType),
                       RuleOf(type.whitespace));
    return true;
  } catch (const CVxException&) {
    return false;
  }
}

class Reader {
 public:
  explicit Reader(Schema& schema) : m_schema(schema) {}
  // One document of several: references are looked up in all documents of
  // `run` (by target namespace), and the checks that follow references
  // into other documents wait for Check, when all of them are resolved.
  Reader(Schema& schema, const std::multimap<std::string, Schema*>* run)
      : m_schema(schema), m_run(run) {}

  void Read(const CXmlElement* root);
  void Resolve();
  // Parts of Resolve to be done for every document of a run first: what
  // other documents' references need settled.
  void ResolveSimpleTypes();
  void ResolveGlobalAttributes();
  // Derivation of complex types, in three steps each done for every
  // document of a run before the next: bases found, contents that need a
  // model group of their own wrapped, then each type settled after its base.
  // Then substitution groups, over all documents.
  void ResolveDerivationBases();
  void WrapDerivedContents();
  void SettleDerivations();
  void ResolveSubstitutionGroups();
  void Check();

 private:
  // -- helpers --------------------------------------------------------------
  SourcePos Pos(const CXmlElement* e) const { return SourcePos{m_schema.file, e->GetLineNumber()}; }
  [[noreturn]] void Fail(const CXmlElement* e, const std::string& message) const {
    throw CompileError(Pos(e), message);
  }
  static std::string Name(const CXmlElement* e) { return "xs:" + U8(e->GetLocalName()); }
  static bool IsXsd(const CXmlElement* e) { return U8(e->GetNamespaceURI()) == kXsdNamespace; }
  static bool Is(const CXmlElement* e, const char* localName) {
    return IsXsd(e) && U8(e->GetLocalName()) == localName;
  }
  static std::optional<std::string> Attr(const CXmlElement* e, const char* name) {
    for (const CXmlAttribute* a : e->GetAttributes())
      if (a->GetNamespaceURI().empty() && U8(a->GetLocalName()) == name) return U8(a->GetValue());
    return std::nullopt;
  }
  // Refuses an unqualified attribute outside `allowed`; attributes of other
  // namespaces are left alone, as the schema language allows.
  void CheckAttributes(const CXmlElement* e, std::initializer_list<const char*> allowed) const;
  // Refuses any child but xs:annotation (and elements of other namespaces
  // there, which only xs:appinfo may hold).
  void CheckOnlyAnnotation(const CXmlElement* e) const;
  // A child of an XSD construct that is no XSD element is an error; one that
  // is xs:annotation is to be skipped (true).
  bool SkipChild(const CXmlElement* parent, const CXmlElement* child) const;
  QName ParseQName(const CXmlElement* e, const std::string& text) const;
  int ParseOccurs(const CXmlElement* e, const char* attribute, int missing) const;
  std::string NameAttr(const CXmlElement* e) const;
  // A boolean attribute (true, 1, false, 0), false when missing.
  bool BoolAttr(const CXmlElement* e, const char* name) const;
  // The one xs:extension or xs:restriction of xs:simpleContent or
  // xs:complexContent, which must be the last content of its type.
  const CXmlElement* OnlyDerivation(const CXmlElement* e, const char* missing) const;
  // The global component `name` of the symbol space `space`, in any
  // document of the run; null when there is none. Throws when no document
  // of the name's namespace was read at all.
  template <class T>
  T* Find(std::map<std::string, T*> Schema::*space, const QName& name, const SourcePos& pos) const;

  // -- reading --------------------------------------------------------------
  void ReadDirective(const CXmlElement* e);
  void ReadGlobalElement(const CXmlElement* e);
  void ReadTypeOfDeclaration(const CXmlElement* e, TypeUse& type, const ElementDecl* owner,
                             const ComplexType* enclosing);
  ComplexType* NewComplexType(const CXmlElement* e, const ElementDecl* owner,
                              const ComplexType* enclosing);
  // A particle for the model group `e` inside `type`, its pseudo type to be
  // read from the work list.
  void AddGroupParticle(const CXmlElement* e, ComplexType& type);
  void ReadComplexType(const CXmlElement* e, ComplexType& type);
  void ReadGroup(const CXmlElement* e, ComplexType& type);
  void ReadParticle(const CXmlElement* e, ComplexType& type);
  // A global attribute when `target` is null; else one of a complex type or
  // an attribute group.
  void ReadAttribute(const CXmlElement* e, std::vector<AttributeDecl>* target);
  // xs:group and xs:attributeGroup at the top of the schema, and references
  // to them.
  void ReadNamedGroup(const CXmlElement* e);
  void ReadSimpleContent(const CXmlElement* e, ComplexType& type);
  // Derivation from complex types (SchemaReader's second half, below).
  void CheckComplexTypeAttributes(const CXmlElement* e, ComplexType& type);
  void CheckLastContent(const CXmlElement* e) const;
  void ReadComplexContent(const CXmlElement* e, ComplexType& type);
  void ReadSimpleContentRestriction(const CXmlElement* e, ComplexType& type);
  void ReadSubstitution(const CXmlElement* e, ElementDecl& decl);
  // The documents whose components a resolution may meet: the run's, or
  // this one alone.
  std::vector<Schema*> Documents() const;
  Schema& DocumentOf(const ComplexType& type) const;
  ComplexType* SubstitutionChoice(
      ElementDecl* head, const std::map<const ElementDecl*, std::vector<ElementDecl*>>& direct);
  void ResolveBase(ComplexType& type);
  void SettleDerivation(ComplexType& type);
  void WrapContent(ComplexType& type);
  void ReadAttributeGroup(const CXmlElement* e);
  void AddGroupRef(const CXmlElement* e, ComplexType& type);
  std::pair<QName, SourcePos> AttributeGroupRef(const CXmlElement* e);
  void ExpandAttributeGroups(ComplexType& type);
  SimpleType* ReadSimpleType(const CXmlElement* e, bool global);
  void ReadFacet(const CXmlElement* e, SimpleType& type);

  // -- wildcards, untyped content, value constraints, lists and unions ------
  Wildcard ReadWildcard(const CXmlElement* e);
  void ReadAnyParticle(const CXmlElement* e, ComplexType& type);
  void ReadAnyAttribute(const CXmlElement* e, std::optional<Wildcard>& target);
  void ReadValueConstraint(const CXmlElement* e, ElementDecl& decl);
  bool ReadOtherFacet(const CXmlElement* e, SimpleType& type);
  void ReadListOrUnion(const CXmlElement* e, SimpleType& type);
  void IntersectAnyAttribute(ComplexType& type, const Wildcard& wildcard, const SourcePos& pos);
  void ResolveMemberTypes();
  void ApplyWhitespaceFacet(SimpleType& type, const SimpleType& base);
  void FinishFacets(SimpleType& type, const SimpleType& base);
  void CheckElementValues();
  void CheckMixed();

  // -- resolving ------------------------------------------------------------
  void ResolveSimpleType(SimpleType* type);
  void ResolveTypeUse(TypeUse& use, const SourcePos& pos, bool attribute);
  void CheckValue(const AttributeDecl& attribute, const std::string& value, const char* what);
  void CheckContainment();
  void CheckGroupCycles();

  Schema& m_schema;
  const std::multimap<std::string, Schema*>* m_run = nullptr;
  struct Pending {
    const CXmlElement* node;
    ComplexType* type;
  };
  std::deque<Pending> m_pending;
  // Anonymous member types of lists and unions, read from a work list too:
  // the type that holds each, and its place in the holder's memberTypes.
  struct PendingMember {
    const CXmlElement* node;
    SimpleType* holder;
    size_t index;
  };
  std::deque<PendingMember> m_pendingMembers;
  bool m_readingMembers = false;
};

void Reader::CheckAttributes(const CXmlElement* e,
                             std::initializer_list<const char*> allowed) const {
  for (const CXmlAttribute* a : e->GetAttributes()) {
    if (!a->GetNamespaceURI().empty()) continue;
    std::string name = U8(a->GetLocalName());
    bool known = false;
    for (const char* ok : allowed) known = known || name == ok;
    if (!known) Fail(e, "unsupported attribute '" + name + "' on " + Name(e));
  }
}

bool Reader::SkipChild(const CXmlElement* parent, const CXmlElement* child) const {
  if (!IsXsd(child))
    Fail(child, "unexpected element '" + U8(child->GetLocalName()) + "' inside " + Name(parent));
  return Is(child, "annotation");
}

void Reader::CheckOnlyAnnotation(const CXmlElement* e) const {
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
    if (!SkipChild(e, c)) Fail(c, "unsupported " + Name(c) + " inside " + Name(e));
}

QName Reader::ParseQName(const CXmlElement* e, const std::string& text) const {
  QName name;
  name.text = text;
  size_t colon = text.find(':');
  std::string prefix = colon == std::string::npos ? std::string() : text.substr(0, colon);
  name.local = colon == std::string::npos ? text : text.substr(colon + 1);
  if (name.local.empty() || name.local.find(':') != std::string::npos ||
      (colon != std::string::npos && prefix.empty()))
    Fail(e, "invalid qualified name '" + text + "'");
  String uri;
  if (e->LookupNamespaceURI(VxVevAva5::Utf16::FromUtf8(prefix), uri))
    name.ns = U8(uri);
  else if (!prefix.empty())
    Fail(e, "undeclared namespace prefix '" + prefix + "' in '" + text + "'");
  if (name.ns.empty() && m_schema.chameleonNamespace) name.ns = *m_schema.chameleonNamespace;
  if (name.ns == kXmlNamespace) m_schema.usesXmlNamespace = true;
  if (m_run && !name.ns.empty() && name.ns != m_schema.targetNamespace &&
      name.ns != kXsdNamespace && name.ns != kXmlNamespace &&
      !m_schema.importedNamespaces.count(name.ns))
    Fail(e, "the namespace '" + name.ns + "' of '" + text +
                "' is not imported: add <xs:import namespace='" + name.ns + "'/>");
  return name;
}

int Reader::ParseOccurs(const CXmlElement* e, const char* attribute, int missing) const {
  std::optional<std::string> text = Attr(e, attribute);
  if (!text) return missing;
  if (std::string(attribute) == "maxOccurs" && *text == "unbounded") return -1;
  if (text->empty() || text->size() > 9 ||
      text->find_first_not_of("0123456789") != std::string::npos)
    Fail(e, std::string("invalid ") + attribute + " '" + *text + "'");
  return std::stoi(*text);
}

bool Reader::BoolAttr(const CXmlElement* e, const char* name) const {
  std::string value = Attr(e, name).value_or("false");
  if (value != "true" && value != "1" && value != "false" && value != "0")
    Fail(e, std::string("invalid ") + name + " '" + value + "'");
  return value == "true" || value == "1";
}

std::string Reader::NameAttr(const CXmlElement* e) const {
  std::optional<std::string> name = Attr(e, "name");
  if (!name || name->empty()) Fail(e, Name(e) + " without a name");
  if (name->find(':') != std::string::npos) Fail(e, "invalid name '" + *name + "'");
  return *name;
}

// -- reading ------------------------------------------------------------------

void Reader::Read(const CXmlElement* root) {
  if (!Is(root, "schema"))
    Fail(root, "not an XML Schema: the document element is '" + U8(root->GetLocalName()) + "'");
  CheckAttributes(root, {"targetNamespace", "elementFormDefault", "attributeFormDefault", "version",
                         "id", "blockDefault", "finalDefault"});
  m_schema.targetNamespace = Attr(root, "targetNamespace").value_or("");
  if (Attr(root, "targetNamespace") && m_schema.targetNamespace.empty())
    Fail(root, "targetNamespace must not be empty (leave it out for no namespace)");
  if (Attr(root, "targetNamespace"))
    m_schema.chameleonNamespace.reset();
  else if (m_schema.chameleonNamespace)
    m_schema.targetNamespace = *m_schema.chameleonNamespace;
  for (const char* form : {"elementFormDefault", "attributeFormDefault"}) {
    std::string value = Attr(root, form).value_or("unqualified");
    if (value != "qualified" && value != "unqualified")
      Fail(root, std::string("invalid ") + form + " '" + value + "'");
    (form[0] == 'e' ? m_schema.elementsQualified : m_schema.attributesQualified) =
        value == "qualified";
  }

  // The imports first: they say which namespaces the references may name.
  for (const CXmlElement* c = root->GetFirstElement(); c; c = c->GetNextSiblingElement())
    if (m_run && (Is(c, "include") || Is(c, "import"))) ReadDirective(c);
  for (const CXmlElement* c = root->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(root, c)) continue;
    if (m_run && (Is(c, "include") || Is(c, "import"))) {
      continue;
    } else if (Is(c, "element")) {
      ReadGlobalElement(c);
    } else if (Is(c, "complexType")) {
      std::string name = NameAttr(c);
      if (m_schema.namedComplexTypes.count(name) || m_schema.namedSimpleTypes.count(name))
        Fail(c, "duplicate type '" + name + "'");
      ComplexType* type = NewComplexType(c, nullptr, nullptr);
      type->name = name;
      m_schema.namedComplexTypes[name] = type;
    } else if (Is(c, "simpleType")) {
      ReadSimpleType(c, true);
    } else if (Is(c, "attribute")) {
      ReadAttribute(c, nullptr);
    } else if (Is(c, "group")) {
      ReadNamedGroup(c);
    } else if (Is(c, "attributeGroup")) {
      ReadAttributeGroup(c);
    } else if (Is(c, "notation")) {
      // Notations change no binding: checked for form, then left alone.
      CheckAttributes(c, {"name", "public", "system", "id"});
      NameAttr(c);
      CheckOnlyAnnotation(c);
    } else {
      Fail(c, "unsupported " + Name(c));
    }
  }

  // Anonymous types met while reading others join the list; no recursion.
  while (!m_pending.empty()) {
    Pending next = m_pending.front();
    m_pending.pop_front();
    if (next.type->pseudo)
      ReadGroup(next.node, *next.type);
    else
      ReadComplexType(next.node, *next.type);
  }
}

void Reader::ReadDirective(const CXmlElement* e) {
  Directive directive;
  directive.pos = Pos(e);
  directive.include = Is(e, "include");
  CheckOnlyAnnotation(e);
  directive.location = Attr(e, "schemaLocation");
  if (directive.include) {
    CheckAttributes(e, {"schemaLocation", "id"});
    if (!directive.location || directive.location->empty())
      Fail(e, "xs:include without a schemaLocation");
    directive.ns = m_schema.targetNamespace;
  } else {
    CheckAttributes(e, {"namespace", "schemaLocation", "id"});
    std::optional<std::string> ns = Attr(e, "namespace");
    if (ns && ns->empty())
      Fail(e, "the namespace of xs:import must not be empty (leave it out for no namespace)");
    directive.ns = ns.value_or("");
    if (directive.ns == m_schema.targetNamespace)
      Fail(e, "a schema cannot import its own target namespace (include the document instead)");
    if (directive.location && directive.location->empty()) directive.location.reset();
    m_schema.importedNamespaces.insert(directive.ns);
  }
  m_schema.directives.push_back(std::move(directive));
}

void Reader::ReadGlobalElement(const CXmlElement* e) {
  CheckAttributes(e, {"name", "type", "id", "substitutionGroup", "abstract", "block", "final",
                      "default", "fixed", "nillable"});
  auto decl = std::make_unique<ElementDecl>();
  ReadSubstitution(e, *decl);
  decl->pos = Pos(e);
  decl->name = NameAttr(e);
  decl->ns = m_schema.targetNamespace;
  decl->global = true;
  decl->documentation = Documentation(e);
  if (m_schema.globalElements.count(decl->name)) Fail(e, "duplicate element '" + decl->name + "'");
  ElementDecl* raw = decl.get();
  m_schema.elements.push_back(std::move(decl));
  m_schema.globalElements[raw->name] = raw;
  m_schema.globalElementOrder.push_back(raw);
  ReadValueConstraint(e, *raw);
  ReadTypeOfDeclaration(e, raw->type, raw, nullptr);
}

// The type attribute or the one anonymous type inside an element or
// attribute declaration (`owner` null for an attribute).
void Reader::ReadTypeOfDeclaration(const CXmlElement* e, TypeUse& type, const ElementDecl* owner,
                                   const ComplexType* enclosing) {
  if (std::optional<std::string> name = Attr(e, "type")) type.name = ParseQName(e, *name);
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    // Identity constraints change no binding; they are not checked.
    if (owner != nullptr && (Is(c, "unique") || Is(c, "key") || Is(c, "keyref"))) continue;
    bool simple = Is(c, "simpleType");
    bool complex = owner != nullptr && Is(c, "complexType");
    if (!simple && !complex) Fail(c, "unsupported " + Name(c) + " inside " + Name(e));
    if (type.name || type.simple || type.complex) Fail(c, Name(e) + " with more than one type");
    if (Attr(c, "name")) Fail(c, "a local " + Name(c) + " cannot have a name");
    if (simple) {
      SimpleType* anonymous = ReadSimpleType(c, false);
      anonymous->hint = NameAttr(e);
      type.simple = anonymous;
    } else {
      type.complex = NewComplexType(c, owner, enclosing);
    }
  }
}

ComplexType* Reader::NewComplexType(const CXmlElement* e, const ElementDecl* owner,
                                    const ComplexType* enclosing) {
  auto type = std::make_unique<ComplexType>();
  type->pos = Pos(e);
  type->documentation = Documentation(e);
  type->owner = owner;
  type->enclosing = enclosing;
  ComplexType* raw = type.get();
  m_schema.complexTypes.push_back(std::move(type));
  m_pending.push_back(Pending{e, raw});
  return raw;
}

void Reader::ReadComplexType(const CXmlElement* e, ComplexType& type) {
  if (Is(e, "complexType"))
    CheckComplexTypeAttributes(e, type);
  else
    CheckAttributes(e, {"base", "id"});  // the derivation of xs:complexContent
  bool mixed = BoolAttr(e, "mixed");
  if (Is(e, "complexType")) type.mixed = mixed;
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    if (Is(c, "sequence") || Is(c, "choice") || Is(c, "all")) {
      if (type.group) Fail(c, Name(e) + " with more than one model group");
      if (!type.attributes.empty()) Fail(c, "the model group must come before the attributes");
      CheckAttributes(c, {"id", "minOccurs", "maxOccurs"});
      int minOccurs = ParseOccurs(c, "minOccurs", 1);
      int maxOccurs = ParseOccurs(c, "maxOccurs", 1);
      if (Is(c, "all") && (minOccurs > 1 || maxOccurs != 1))
        Fail(c, "xs:all may only have minOccurs 0 or 1 and maxOccurs 1");
      if (minOccurs == 1 && maxOccurs == 1) {
        ReadGroup(c, type);
      } else {
        // A group that repeats or may be missing is a pseudo type held by
        // a sequence of one particle.
        type.group = GroupKind::Sequence;
        type.groupPos = Pos(c);
        AddGroupParticle(c, type);
      }
    } else if (Is(c, "group")) {
      if (type.group) Fail(c, Name(e) + " with more than one model group");
      if (!type.attributes.empty()) Fail(c, "the model group must come before the attributes");
      // The named group is the content: a sequence of one particle.
      type.group = GroupKind::Sequence;
      type.groupPos = Pos(c);
      AddGroupRef(c, type);
    } else if (Is(c, "attribute")) {
      ReadAttribute(c, &type.attributes);
    } else if (Is(c, "attributeGroup")) {
      type.attributeGroupRefs.push_back(AttributeGroupRef(c));
    } else if (Is(c, "anyAttribute")) {
      ReadAnyAttribute(c, type.anyAttribute);
    } else if (Is(c, "complexContent") && Is(e, "complexType")) {
      if (type.group || type.textBase || !type.attributes.empty())
        Fail(c, "xs:complexContent must be the only content of " + Name(e));
      ReadComplexContent(c, type);
    } else if (Is(c, "simpleContent") && Is(e, "complexType")) {
      if (type.group || type.textBase || !type.attributes.empty())
        Fail(c, "xs:simpleContent must be the only content of " + Name(e));
      ReadSimpleContent(c, type);
    } else {
      Fail(c, "unsupported " + Name(c));
    }
  }
}

// Text of a simple type with attributes: xs:simpleContent/xs:extension.
void Reader::ReadSimpleContent(const CXmlElement* e, ComplexType& type) {
  CheckAttributes(e, {"id"});
  const CXmlElement* extension = OnlyDerivation(e, "xs:extension");
  if (Is(extension, "restriction")) return ReadSimpleContentRestriction(extension, type);
  CheckAttributes(extension, {"base", "id"});
  std::optional<std::string> base = Attr(extension, "base");
  if (!base) Fail(extension, "xs:extension without a base");
  type.textBase = ParseQName(extension, *base);
  type.groupPos = Pos(extension);
  for (const CXmlElement* c = extension->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(extension, c)) continue;
    if (Is(c, "attribute"))
      ReadAttribute(c, &type.attributes);
    else if (Is(c, "attributeGroup"))
      type.attributeGroupRefs.push_back(AttributeGroupRef(c));
    else if (Is(c, "anyAttribute"))
      ReadAnyAttribute(c, type.anyAttribute);
    else
      Fail(c, "unsupported " + Name(c) + " inside " + Name(extension));
  }
}

void Reader::ReadNamedGroup(const CXmlElement* e) {
  CheckAttributes(e, {"name", "id"});
  std::string name = NameAttr(e);
  if (m_schema.namedGroups.count(name)) Fail(e, "duplicate group '" + name + "'");
  const CXmlElement* content = nullptr;
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    if (!Is(c, "sequence") && !Is(c, "choice") && !Is(c, "all"))
      Fail(c, "unsupported " + Name(c) + " inside " + Name(e));
    if (content) Fail(c, Name(e) + " with more than one model group");
    if (Attr(c, "minOccurs") || Attr(c, "maxOccurs"))
      Fail(c, "the model group of a named group cannot have minOccurs or maxOccurs");
    content = c;
  }
  if (!content) Fail(e, Name(e) + " without a model group");
  auto group = std::make_unique<ComplexType>();
  group->pos = Pos(e);
  group->pseudo = true;
  group->name = name;
  m_pending.push_back(Pending{content, group.get()});
  m_schema.namedGroups[name] = group.get();
  m_schema.complexTypes.push_back(std::move(group));
}

void Reader::AddGroupRef(const CXmlElement* e, ComplexType& type) {
  CheckAttributes(e, {"ref", "minOccurs", "maxOccurs", "id"});
  CheckOnlyAnnotation(e);
  std::optional<std::string> ref = Attr(e, "ref");
  if (!ref) Fail(e, "unsupported xs:group without ref inside a type");
  Particle particle;
  particle.pos = Pos(e);
  particle.minOccurs = ParseOccurs(e, "minOccurs", 1);
  particle.maxOccurs = ParseOccurs(e, "maxOccurs", 1);
  if (particle.maxOccurs >= 0 && particle.minOccurs > particle.maxOccurs)
    Fail(e, "minOccurs is greater than maxOccurs");
  if (particle.maxOccurs == 0) return;
  particle.groupRef = ParseQName(e, *ref);
  type.particles.push_back(std::move(particle));
}

void Reader::ReadAttributeGroup(const CXmlElement* e) {
  CheckAttributes(e, {"name", "id"});
  auto group = std::make_unique<AttributeGroup>();
  group->pos = Pos(e);
  group->name = NameAttr(e);
  if (m_schema.namedAttributeGroups.count(group->name))
    Fail(e, "duplicate attribute group '" + group->name + "'");
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    if (Is(c, "attribute"))
      ReadAttribute(c, &group->attributes);
    else if (Is(c, "attributeGroup"))
      group->refs.push_back(AttributeGroupRef(c));
    else if (Is(c, "anyAttribute"))
      ReadAnyAttribute(c, group->anyAttribute);
    else
      Fail(c, "unsupported " + Name(c) + " inside " + Name(e));
  }
  m_schema.namedAttributeGroups[group->name] = group.get();
  m_schema.attributeGroups.push_back(std::move(group));
}

std::pair<QName, SourcePos> Reader::AttributeGroupRef(const CXmlElement* e) {
  CheckAttributes(e, {"ref", "id"});
  CheckOnlyAnnotation(e);
  std::optional<std::string> ref = Attr(e, "ref");
  if (!ref) Fail(e, "unsupported xs:attributeGroup without ref inside a type");
  return {ParseQName(e, *ref), Pos(e)};
}

// Copies the attributes of the groups that `type` refers to, and of the
// groups those refer to, into the type, breadth first with a work list. A
// group met twice would give its attributes twice: refused, which also
// ends a group that contains itself.
void Reader::ExpandAttributeGroups(ComplexType& type) {
  std::deque<std::pair<QName, SourcePos>> work(type.attributeGroupRefs.begin(),
                                               type.attributeGroupRefs.end());
  std::set<const AttributeGroup*> used;
  while (!work.empty()) {
    auto [name, pos] = work.front();
    work.pop_front();
    AttributeGroup* group = Find(&Schema::namedAttributeGroups, name, pos);
    if (!group) throw CompileError(pos, "unknown attribute group '" + name.text + "'");
    if (!used.insert(group).second)
      throw CompileError(pos, "the attribute group '" + name.text +
                                  "' is used twice in one type, or contains itself");
    for (const AttributeDecl& attribute : group->attributes) type.attributes.push_back(attribute);
    if (group->anyAttribute) IntersectAnyAttribute(type, *group->anyAttribute, pos);
    work.insert(work.end(), group->refs.begin(), group->refs.end());
  }
}

// The content of one model group; its occurrence is the business of the
// type or group that holds it.
void Reader::ReadGroup(const CXmlElement* e, ComplexType& type) {
  CheckAttributes(e, {"id", "minOccurs", "maxOccurs"});
  std::string local = U8(e->GetLocalName());
  type.group = local == "sequence" ? GroupKind::Sequence
               : local == "choice" ? GroupKind::Choice
                                   : GroupKind::All;
  type.groupPos = Pos(e);
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    if (Is(c, "element")) {
      ReadParticle(c, type);
    } else if ((Is(c, "sequence") || Is(c, "choice")) && *type.group != GroupKind::All) {
      AddGroupParticle(c, type);
    } else if (Is(c, "group") && *type.group != GroupKind::All) {
      AddGroupRef(c, type);
    } else if (Is(c, "any")) {
      ReadAnyParticle(c, type);
    } else if (Is(c, "all") || Is(c, "sequence") || Is(c, "choice") || Is(c, "group")) {
      Fail(c, Name(c) + " cannot stand inside " + Name(e));
    } else {
      Fail(c, "unsupported " + Name(c));
    }
  }
}

void Reader::AddGroupParticle(const CXmlElement* e, ComplexType& type) {
  CheckAttributes(e, {"id", "minOccurs", "maxOccurs"});
  Particle particle;
  particle.pos = Pos(e);
  particle.minOccurs = ParseOccurs(e, "minOccurs", 1);
  particle.maxOccurs = ParseOccurs(e, "maxOccurs", 1);
  if (particle.maxOccurs >= 0 && particle.minOccurs > particle.maxOccurs)
    Fail(e, "minOccurs is greater than maxOccurs");
  if (particle.maxOccurs == 0) return;
  auto group = std::make_unique<ComplexType>();
  group->pos = Pos(e);
  group->pseudo = true;
  group->enclosing = &type;
  particle.group = group.get();
  m_pending.push_back(Pending{e, group.get()});
  m_schema.complexTypes.push_back(std::move(group));
  type.particles.push_back(std::move(particle));
}

void Reader::ReadParticle(const CXmlElement* e, ComplexType& type) {
  CheckAttributes(e, {"name", "type", "ref", "minOccurs", "maxOccurs", "form", "id", "default",
                      "fixed", "nillable"});
  Particle particle;
  particle.pos = Pos(e);
  particle.minOccurs = ParseOccurs(e, "minOccurs", 1);
  particle.maxOccurs = ParseOccurs(e, "maxOccurs", 1);
  if (particle.maxOccurs >= 0 && particle.minOccurs > particle.maxOccurs)
    Fail(e, "minOccurs is greater than maxOccurs");
  if (*type.group == GroupKind::All && particle.maxOccurs != 1 && particle.maxOccurs != 0)
    Fail(e, "maxOccurs must be 0 or 1 inside xs:all");
  if (particle.maxOccurs == 0) return;  // the element may not appear: no member

  if (std::optional<std::string> ref = Attr(e, "ref")) {
    for (const char* other : {"name", "type", "form", "default", "fixed", "nillable"})
      if (Attr(e, other)) Fail(e, std::string("xs:element with both ref and ") + other);
    CheckOnlyAnnotation(e);
    particle.ref = ParseQName(e, *ref);
  } else {
    auto decl = std::make_unique<ElementDecl>();
    decl->pos = Pos(e);
    decl->name = NameAttr(e);
    std::string form =
        Attr(e, "form").value_or(m_schema.elementsQualified ? "qualified" : "unqualified");
    if (form != "qualified" && form != "unqualified") Fail(e, "invalid form '" + form + "'");
    decl->ns = form == "qualified" ? m_schema.targetNamespace : std::string();
    decl->documentation = Documentation(e);
    particle.decl = decl.get();
    m_schema.elements.push_back(std::move(decl));
    ReadValueConstraint(e, *particle.decl);
    ReadTypeOfDeclaration(e, particle.decl->type, particle.decl, &type);
  }
  type.particles.push_back(std::move(particle));
}

void Reader::ReadAttribute(const CXmlElement* e, std::vector<AttributeDecl>* target) {
  AttributeDecl attribute;
  attribute.pos = Pos(e);
  attribute.documentation = Documentation(e);
  std::optional<std::string> ref = target ? Attr(e, "ref") : std::nullopt;
  if (!target) {
    // Global attributes are always in the target namespace.
    CheckAttributes(e, {"name", "type", "default", "fixed", "id"});
    attribute.ns = m_schema.targetNamespace;
  } else if (ref) {
    CheckAttributes(e, {"ref", "use", "default", "fixed", "id"});
    CheckOnlyAnnotation(e);
    attribute.ref = ParseQName(e, *ref);
  } else {
    CheckAttributes(e, {"name", "type", "use", "default", "fixed", "form", "id"});
    std::string form =
        Attr(e, "form").value_or(m_schema.attributesQualified ? "qualified" : "unqualified");
    if (form != "qualified" && form != "unqualified") Fail(e, "invalid form '" + form + "'");
    attribute.ns = form == "qualified" ? m_schema.targetNamespace : std::string();
  }
  if (!ref) {
    attribute.name = NameAttr(e);
    if (attribute.name == "xmlns") Fail(e, "an attribute cannot be named xmlns");
  }

  std::string use = Attr(e, "use").value_or("optional");
  if (use == "prohibited") Fail(e, "unsupported use 'prohibited'");
  if (use != "optional" && use != "required") Fail(e, "invalid use '" + use + "'");
  attribute.required = use == "required";
  attribute.defaultValue = Attr(e, "default");
  attribute.fixedValue = Attr(e, "fixed");
  if (attribute.defaultValue && attribute.fixedValue)
    Fail(e, "xs:attribute with both default and fixed");
  if (attribute.defaultValue && attribute.required)
    Fail(e, "a required attribute cannot have a default");
  if (!ref) ReadTypeOfDeclaration(e, attribute.type, nullptr, nullptr);
  if (target) {
    target->push_back(std::move(attribute));
    return;
  }
  if (m_schema.globalAttributes.count(attribute.name))
    Fail(e, "duplicate attribute '" + attribute.name + "'");
  m_schema.attributes.push_back(std::make_unique<AttributeDecl>(std::move(attribute)));
  m_schema.globalAttributes[m_schema.attributes.back()->name] = m_schema.attributes.back().get();
}

SimpleType* Reader::ReadSimpleType(const CXmlElement* e, bool global) {
  CheckAttributes(e, {"name", "id", "final"});
  auto type = std::make_unique<SimpleType>();
  type->pos = Pos(e);
  if (global) {
    type->name = NameAttr(e);
    if (m_schema.namedComplexTypes.count(type->name) || m_schema.namedSimpleTypes.count(type->name))
      Fail(e, "duplicate type '" + type->name + "'");
  }
  const CXmlElement* restriction = nullptr;
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    if (!Is(c, "restriction") && !Is(c, "list") && !Is(c, "union"))
      Fail(c, "unsupported " + Name(c));
    if (restriction) Fail(c, Name(e) + " with more than one derivation");
    restriction = c;
  }
  if (!restriction) Fail(e, Name(e) + " without xs:restriction");
  if (!Is(restriction, "restriction")) {
    ReadListOrUnion(restriction, *type);
    SimpleType* raw = type.get();
    m_schema.simpleTypes.push_back(std::move(type));
    if (global) m_schema.namedSimpleTypes[raw->name] = raw;
    return raw;
  }
  CheckAttributes(restriction, {"base", "id"});
  std::optional<std::string> base = Attr(restriction, "base");
  if (!base) Fail(restriction, "unsupported xs:restriction without a base");
  type->base = ParseQName(restriction, *base);
  for (const CXmlElement* c = restriction->GetFirstElement(); c; c = c->GetNextSiblingElement())
    if (!SkipChild(restriction, c)) ReadFacet(c, *type);

  SimpleType* raw = type.get();
  m_schema.simpleTypes.push_back(std::move(type));
  if (global) m_schema.namedSimpleTypes[raw->name] = raw;
  return raw;
}

void Reader::ReadFacet(const CXmlElement* e, SimpleType& type) {
  static const char* const kSupported[] = {"enumeration",  "pattern",      "length",
                                           "minLength",    "maxLength",    "minInclusive",
                                           "maxInclusive", "minExclusive", "maxExclusive"};
  if (ReadOtherFacet(e, type)) return;
  std::string facet = U8(e->GetLocalName());
  bool supported = false;
  for (const char* name : kSupported) supported = supported || facet == name;
  if (!supported) Fail(e, "unsupported " + Name(e));
  CheckAttributes(e, {"value", "id", "fixed"});
  CheckOnlyAnnotation(e);
  std::optional<std::string> value = Attr(e, "value");
  if (!value) Fail(e, Name(e) + " without a value");

  Facets& f = type.ownFacets;
  if (facet == "enumeration") {
    type.ownEnumeration.push_back(*value);
  } else if (facet == "pattern") {
    // Patterns of one step are alternatives.
    f.pattern = f.pattern ? "(" + *f.pattern + ")|(" + *value + ")" : *value;
  } else if (facet.find("Length") != std::string::npos || facet == "length") {
    if (value->empty() || value->size() > 9 ||
        value->find_first_not_of("0123456789") != std::string::npos)
      Fail(e, "invalid " + Name(e) + " value '" + *value + "'");
    int n = std::stoi(*value);
    (facet == "length" ? f.length : facet == "minLength" ? f.minLength : f.maxLength) = n;
  } else {
    (facet == "minInclusive"   ? f.minInclusive
     : facet == "maxInclusive" ? f.maxInclusive
     : facet == "minExclusive" ? f.minExclusive
                               : f.maxExclusive) = *value;
  }
}

// -- resolving ----------------------------------------------------------------

void Reader::Resolve() {
  ResolveMemberTypes();
  for (auto& type : m_schema.simpleTypes) ResolveSimpleType(type.get());
  for (auto& attribute : m_schema.attributes) {
    ResolveTypeUse(attribute->type, attribute->pos, true);
    if (attribute->defaultValue) CheckValue(*attribute, *attribute->defaultValue, "default");
    if (attribute->fixedValue) CheckValue(*attribute, *attribute->fixedValue, "fixed");
  }
  for (auto& decl : m_schema.elements) {
    ResolveTypeUse(decl->type, decl->pos, false);
  }
  // A global element of a simple type gets a class of its own, whose text is
  // the value, so that it can be the root of a document. Members that refer
  // to the element still hold the value itself.
  // An untyped one gets the class of xs:anyType: mixed content of any
  // elements and attributes.
  for (ElementDecl* decl : m_schema.globalElementOrder) {
    if (decl->type.complex || (!decl->type.simple && !decl->type.untyped)) continue;
    auto root = std::make_unique<ComplexType>();
    root->pos = decl->pos;
    root->groupPos = decl->pos;
    root->owner = decl;
    root->text = decl->type.simple;
    if (decl->type.untyped) {
      Particle any;
      any.pos = decl->pos;
      any.any = Wildcard{decl->pos, "##any"};
      any.minOccurs = 0;
      any.maxOccurs = -1;
      root->group = GroupKind::Sequence;
      root->particles.push_back(std::move(any));
      root->mixed = true;
      root->anyAttribute = Wildcard{decl->pos, "##any"};
    }
    decl->rootClass = root.get();
    m_schema.complexTypes.push_back(std::move(root));
  }
  for (auto& type : m_schema.complexTypes) {
    ExpandAttributeGroups(*type);
    if (type->textBase && type->textBase->ns == m_schema.targetNamespace &&
        m_schema.namedComplexTypes.count(type->textBase->local)) {
      // xs:simpleContent/xs:extension of a complex type of simple content.
      type->derivation = ComplexType::Derivation::Extension;
      type->baseName = std::move(type->textBase);
      type->basePos = type->groupPos;
      type->simpleContent = true;
      type->textBase.reset();
    }
    if (type->textBase) {
      TypeUse text;
      text.name = type->textBase;
      ResolveTypeUse(text, type->groupPos, true);
      type->text = text.simple;
    }
    for (Particle& particle : type->particles) {
      if (particle.groupRef) {
        particle.group = Find(&Schema::namedGroups, *particle.groupRef, particle.pos);
        if (!particle.group)
          throw CompileError(particle.pos, "unknown group '" + particle.groupRef->text + "'");
      }
      if (!particle.ref) continue;
      particle.decl = Find(&Schema::globalElements, *particle.ref, particle.pos);
      if (!particle.decl)
        throw CompileError(particle.pos, "unknown element '" + particle.ref->text + "'");
    }
    for (AttributeDecl& attribute : type->attributes) {
      if (attribute.ref) {
        const AttributeDecl* found = Find(&Schema::globalAttributes, *attribute.ref, attribute.pos);
        if (!found)
          throw CompileError(attribute.pos, "unknown attribute '" + attribute.ref->text + "'");
        const AttributeDecl& global = *found;
        attribute.name = global.name;
        attribute.ns = global.ns;
        attribute.type = global.type;
        // A value given where the attribute is used wins over the global one.
        if (!attribute.defaultValue && !attribute.fixedValue) {
          attribute.defaultValue = global.defaultValue;
          attribute.fixedValue = global.fixedValue;
        }
        if (attribute.defaultValue && attribute.required)
          throw CompileError(attribute.pos, "a required attribute cannot have a default");
      } else {
        ResolveTypeUse(attribute.type, attribute.pos, true);
      }
      if (attribute.defaultValue) CheckValue(attribute, *attribute.defaultValue, "default");
      if (attribute.fixedValue) CheckValue(attribute, *attribute.fixedValue, "fixed");
      for (const AttributeDecl& other : type->attributes) {
        if (&other == &attribute) break;
        if (other.name == attribute.name && other.ns == attribute.ns)
          throw CompileError(attribute.pos, "duplicate attribute '" + attribute.name + "'");
      }
    }
  }
  if (!m_run) {
    ResolveDerivationBases();
    WrapDerivedContents();
    SettleDerivations();
    ResolveSubstitutionGroups();
    Check();
  }
}

template <class T>
T* Reader::Find(std::map<std::string, T*> Schema::*space, const QName& name,
                const SourcePos& pos) const {
  if (!m_run) {
    if (name.ns != m_schema.targetNamespace) return nullptr;
    auto it = (m_schema.*space).find(name.local);
    return it == (m_schema.*space).end() ? nullptr : it->second;
  }
  auto documents = m_run->equal_range(name.ns);
  if (documents.first == documents.second && !name.ns.empty())
    throw CompileError(pos, "no schema of the namespace '" + name.ns + "' is known for '" +
                                name.text +
                                "': import it with a schemaLocation, or compile its schema in "
                                "the same run");
  for (auto it = documents.first; it != documents.second; ++it) {
    auto found = (it->second->*space).find(name.local);
    if (found != (it->second->*space).end()) return found->second;
  }
  return nullptr;
}

void Reader::ResolveSimpleTypes() {
  ResolveMemberTypes();  // the members of lists and unions before their types
  for (auto& type : m_schema.simpleTypes) ResolveSimpleType(type.get());
}

void Reader::ResolveGlobalAttributes() {
  for (auto& attribute : m_schema.attributes) ResolveTypeUse(attribute->type, attribute->pos, true);
}

void Reader::Check() {
  CheckGroupCycles();
  CheckContainment();
  CheckElementValues();
  CheckMixed();
}

// A named group may not contain itself but through an element: such a
// group would have no end even where it is optional.
void Reader::CheckGroupCycles() {
  enum State { kNew, kOpen, kDone };
  std::map<const ComplexType*, State> state;
  for (auto& start : m_schema.complexTypes) {
    if (!start->pseudo || state[start.get()] != kNew) continue;
    std::vector<std::pair<const ComplexType*, size_t>> stack{{start.get(), 0}};
    state[start.get()] = kOpen;
    while (!stack.empty()) {
      auto& [type, next] = stack.back();
      if (next == type->particles.size()) {
        state[type] = kDone;
        stack.pop_back();
        continue;
      }
      const Particle& particle = type->particles[next++];
      if (!particle.group) continue;
      if (state[particle.group] == kOpen)
        throw CompileError(particle.pos, "the group '" + particle.group->name +
                                             "' contains itself without an element between");
      if (state[particle.group] == kNew) {
        state[particle.group] = kOpen;
        stack.emplace_back(particle.group, 0);
      }
    }
  }
}

// Resolves the base chain of `type` without recursion: walks up to a
// resolved type, then settles the types met on the way down again.
void Reader::ResolveSimpleType(SimpleType* type) {
  std::vector<SimpleType*> chain;
  std::set<const SimpleType*> onChain;
  SimpleType* current = type;
  while (!current->resolved) {
    if (!onChain.insert(current).second)
      throw CompileError(current->pos,
                         "circular derivation of the simple type '" + current->name + "'");
    chain.push_back(current);
    const QName& base = current->base;
    const SimpleType* resolvedBase = nullptr;
    SimpleType* named = nullptr;  // a base of this schema, perhaps still to resolve
    if (current->presetBase) {
      resolvedBase = current->presetBase;
    } else if (base.ns == kXsdNamespace) {
      resolvedBase = FindBuiltin(base.local);
      if (!resolvedBase && base.local == "anyType")
        throw CompileError(current->pos, "a simple type cannot restrict xs:anyType");
    } else {
      named = Find(&Schema::namedSimpleTypes, base, current->pos);
      resolvedBase = named;
      if (!named && Find(&Schema::namedComplexTypes, base, current->pos)) {
        throw CompileError(current->pos,
                           "the simple type restricts the complex type '" + base.text + "'");
      }
    }
    if (!resolvedBase) throw CompileError(current->pos, "unknown type '" + base.text + "'");
    current->baseType = resolvedBase;
    if (resolvedBase->resolved) break;
    current = named;
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    SimpleType& t = **it;
    const SimpleType& base = *t.baseType;
    t.itemType = base.itemType;
    t.whitespace = base.whitespace;
    ApplyWhitespaceFacet(t, base);
    t.facets = base.facets;
    const Facets& own = t.ownFacets;
    if (own.pattern) {
      if (base.facets.pattern)
        throw CompileError(t.pos, "unsupported xs:pattern on a type whose base has a pattern");
      t.facets.pattern = own.pattern;
    }
    // Lengths count the units of strings and the bytes of binary data;
    // bounds need an order.
    bool measured =
        t.itemType == "string" || t.itemType == "hexBinary" || t.itemType == "base64Binary";
    bool ordered = !measured && t.itemType != "boolean";
    if (!measured && (own.length >= 0 || own.minLength >= 0 || own.maxLength >= 0))
      throw CompileError(t.pos, "length facets do not apply to the item type " + t.itemType);
    if (!ordered && (own.minInclusive || own.maxInclusive || own.minExclusive || own.maxExclusive))
      throw CompileError(t.pos, "bound facets do not apply to the item type " + t.itemType);
    if (own.length >= 0) t.facets.length = own.length;
    if (own.minLength >= 0) t.facets.minLength = own.minLength;
    if (own.maxLength >= 0) t.facets.maxLength = own.maxLength;
    for (auto bound : {&Facets::minInclusive, &Facets::maxInclusive, &Facets::minExclusive,
                       &Facets::maxExclusive}) {
      if (!(own.*bound)) continue;
      if (!IsLexical(t, *(own.*bound)))
        throw CompileError(t.pos,
                           "invalid bound '" + *(own.*bound) + "' for the item type " + t.itemType);
      t.facets.*bound = own.*bound;
    }
    if (!t.ownEnumeration.empty()) {
      for (const std::string& value : t.ownEnumeration)
        if (!IsLexical(t, value))
          throw CompileError(
              t.pos, "invalid enumeration value '" + value + "' for the item type " + t.itemType);
      if (base.IsEnum())
        for (const std::string& value : t.ownEnumeration) {
          bool known = false;
          for (const std::string& inherited : base.enumeration) known = known || inherited == value;
          if (!known)
            throw CompileError(t.pos, "enumeration value '" + value + "' is not one of the base's");
        }
      t.enumeration = t.ownEnumeration;
      t.enumOwner = &t;
    } else {
      t.enumeration = base.enumeration;
      t.enumOwner = base.enumOwner;
    }
    FinishFacets(t, base);
    t.resolved = true;
  }
}

void Reader::ResolveTypeUse(TypeUse& use, const SourcePos& pos, bool attribute) {
  if (use.simple || use.complex) return;  // anonymous
  if (!use.name) {
    if (attribute) {
      use.simple = FindBuiltin("anySimpleType");
      return;
    }
    use.untyped = true;  // an element without a type takes any content
    return;
  }
  const QName& name = *use.name;
  if (name.ns == kXsdNamespace) {
    if (name.local == "anyType" && !attribute) {
      use.untyped = true;
      return;
    }
    if (name.local == "anyType") throw CompileError(pos, "unsupported type xs:anyType");
    use.simple = FindBuiltin(name.local);
  } else {
    use.simple = Find(&Schema::namedSimpleTypes, name, pos);
    if (ComplexType* complex = Find(&Schema::namedComplexTypes, name, pos)) {
      if (attribute)
        throw CompileError(
            pos, "an attribute or a text cannot have the complex type '" + name.text + "'");
      use.complex = complex;
    }
  }
  if (!use.simple && !use.complex) throw CompileError(pos, "unknown type '" + name.text + "'");
}

void Reader::CheckValue(const AttributeDecl& attribute, const std::string& value,
                        const char* what) {
  const SimpleType& type = *attribute.type.simple;
  bool ok = IsLexical(type, value);
  if (ok && type.IsEnum()) {
    ok = false;
    for (const std::string& e : type.enumeration) ok = ok || e == value;
  }
  if (!ok)
    throw CompileError(attribute.pos, std::string("invalid ") + what + " value '" + value +
                                          "' for the attribute '" + attribute.name + "'");
}

// A mandatory child object is made with its parent (the reading fills it in
// place), so a type that contains itself through mandatory elements only
// could never be made. Depth-first search with an explicit stack.
void Reader::CheckContainment() {
  enum State { kNew, kOpen, kDone };
  std::map<const ComplexType*, State> state;
  struct Frame {
    const ComplexType* type;
    size_t next;
  };
  for (auto& start : m_schema.complexTypes) {
    if (state[start.get()] != kNew) continue;
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
      const ComplexType* child = particle.group  ? particle.group
                                 : particle.decl ? particle.decl->type.complex
                                                 : nullptr;  // a wildcard
      bool mandatory = particle.minOccurs == 1 && particle.maxOccurs == 1 &&
                       *frame.type->group != GroupKind::Choice;
      if (!child || !mandatory) continue;
      if (state[child] == kOpen)
        throw CompileError(particle.pos,
                           (particle.decl ? "the element '" + particle.decl->name + "'"
                                          : std::string("the model group")) +
                               " is mandatory and contains itself: no document could end; make "
                               "it optional");
      if (state[child] == kNew) {
        state[child] = kOpen;
        stack.push_back(Frame{child, 0});
      }
    }
  }
}

// -- wildcards, untyped content, value constraints, lists and unions ------------

// The namespace constraint of xs:any or xs:anyAttribute, as the library's
// untyped content takes it. Its checks are the library's: a URI of the list
// (and ##other, when there is a target namespace) also admits unqualified
// names, which XML Schema would not.
Wildcard Reader::ReadWildcard(const CXmlElement* e) {
  CheckOnlyAnnotation(e);
  Wildcard wildcard;
  wildcard.pos = Pos(e);
  // strict, lax and skip all read the content as untyped content: it is not
  // validated against global declarations, whatever the schema asks.
  std::string process = Attr(e, "processContents").value_or("strict");
  if (process != "strict" && process != "lax" && process != "skip")
    Fail(e, "invalid processContents '" + process + "'");
  std::string text = Attr(e, "namespace").value_or("##any");
  std::vector<std::string> tokens;
  size_t at = 0;
  while ((at = text.find_first_not_of(" \t\r\n", at)) != std::string::npos) {
    size_t end = text.find_first_of(" \t\r\n", at);
    tokens.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    at = end;
  }
  if (tokens.empty()) Fail(e, "unsupported empty namespace list on " + Name(e));
  std::string joined;
  for (const std::string& token : tokens) {
    bool alone = token == "##any" || token == "##other";
    if (alone && tokens.size() > 1)
      Fail(e, token + " must stand alone in the namespace of " + Name(e));
    if (!alone && token.compare(0, 2, "##") == 0 && token != "##local" &&
        token != "##targetNamespace")
      Fail(e, "invalid namespace '" + token + "' on " + Name(e));
    joined += (joined.empty() ? "" : " ") + token;
  }
  wildcard.namespaces = joined;
  return wildcard;
}

void Reader::ReadAnyParticle(const CXmlElement* e, ComplexType& type) {
  if (*type.group == GroupKind::All) Fail(e, "xs:any cannot stand inside xs:all");
  CheckAttributes(e, {"id", "minOccurs", "maxOccurs", "namespace", "processContents"});
  Particle particle;
  particle.pos = Pos(e);
  particle.minOccurs = ParseOccurs(e, "minOccurs", 1);
  particle.maxOccurs = ParseOccurs(e, "maxOccurs", 1);
  if (particle.maxOccurs >= 0 && particle.minOccurs > particle.maxOccurs)
    Fail(e, "minOccurs is greater than maxOccurs");
  particle.any = ReadWildcard(e);
  if (particle.maxOccurs == 0) return;
  type.particles.push_back(std::move(particle));
}

void Reader::ReadAnyAttribute(const CXmlElement* e, std::optional<Wildcard>& target) {
  CheckAttributes(e, {"id", "namespace", "processContents"});
  if (target) Fail(e, "more than one xs:anyAttribute in one place");
  target = ReadWildcard(e);
}

// The attribute wildcard of a type is the intersection of its own and those
// of its attribute groups. Only the plain cases are taken: equal
// constraints, or one of them ##any.
void Reader::IntersectAnyAttribute(ComplexType& type, const Wildcard& wildcard,
                                   const SourcePos& pos) {
  if (!type.anyAttribute || type.anyAttribute->namespaces == "##any") {
    type.anyAttribute = wildcard;
  } else if (wildcard.namespaces != "##any" &&
             wildcard.namespaces != type.anyAttribute->namespaces) {
    throw CompileError(pos, "unsupported intersection of two xs:anyAttribute wildcards ('" +
                                type.anyAttribute->namespaces + "' and '" + wildcard.namespaces +
                                "')");
  }
}

void Reader::ReadValueConstraint(const CXmlElement* e, ElementDecl& decl) {
  // Nil elements have no place in the classes: a member holds a value or
  // is absent, and an absent one is not written as xsi:nil.
  if (BoolAttr(e, "nillable")) Fail(e, "unsupported nillable");
  decl.defaultValue = Attr(e, "default");
  decl.fixedValue = Attr(e, "fixed");
  if (decl.defaultValue && decl.fixedValue) Fail(e, "xs:element with both default and fixed");
}

// xs:whiteSpace, xs:totalDigits and xs:fractionDigits (false: another facet).
bool Reader::ReadOtherFacet(const CXmlElement* e, SimpleType& type) {
  std::string facet = U8(e->GetLocalName());
  if (facet != "whiteSpace" && facet != "totalDigits" && facet != "fractionDigits") return false;
  CheckAttributes(e, {"value", "id", "fixed"});
  CheckOnlyAnnotation(e);
  std::optional<std::string> value = Attr(e, "value");
  if (!value) Fail(e, Name(e) + " without a value");
  if (facet == "whiteSpace") {
    if (*value == "preserve")
      type.ownWhitespace = Whitespace::Preserve;
    else if (*value == "replace")
      type.ownWhitespace = Whitespace::Replace;
    else if (*value == "collapse")
      type.ownWhitespace = Whitespace::Collapse;
    else
      Fail(e, "invalid xs:whiteSpace value '" + *value + "'");
    return true;
  }
  if (value->empty() || value->size() > 9 ||
      value->find_first_not_of("0123456789") != std::string::npos ||
      (facet == "totalDigits" && std::stoi(*value) == 0))
    Fail(e, "invalid " + Name(e) + " value '" + *value + "'");
  (facet == "totalDigits" ? type.ownFacets.totalDigits : type.ownFacets.fractionDigits) =
      std::stoi(*value);
  return true;
}

// xs:list and xs:union: held as text (a list collapsed, a union as written,
// since each member would treat whitespace its own way). Item and member
// types are resolved, not checked against. Anonymous member types join a
// work list, read here when the outermost list or union is done.
void Reader::ReadListOrUnion(const CXmlElement* e, SimpleType& type) {
  bool list = Is(e, "list");
  CheckAttributes(e, {list ? "itemType" : "memberTypes", "id"});
  type.variety = list ? Variety::List : Variety::Union;
  type.base = QName{kXsdNamespace, "anySimpleType", "xs:anySimpleType"};
  std::string names = Attr(e, list ? "itemType" : "memberTypes").value_or("");
  size_t at = 0;
  while ((at = names.find_first_not_of(" \t\r\n", at)) != std::string::npos) {
    size_t end = names.find_first_of(" \t\r\n", at);
    TypeUse use;
    use.name = ParseQName(e, names.substr(at, end == std::string::npos ? end : end - at));
    type.memberTypes.push_back(use);
    at = end;
  }
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    if (!Is(c, "simpleType")) Fail(c, "unsupported " + Name(c) + " inside " + Name(e));
    if (Attr(c, "name")) Fail(c, "a local " + Name(c) + " cannot have a name");
    m_pendingMembers.push_back(PendingMember{c, &type, type.memberTypes.size()});
    type.memberTypes.emplace_back();
  }
  if (list && type.memberTypes.size() != 1)
    Fail(e, "xs:list needs one item type: the itemType attribute or an xs:simpleType");
  if (type.memberTypes.empty()) Fail(e, "xs:union without member types");
  if (m_readingMembers) return;
  m_readingMembers = true;
  while (!m_pendingMembers.empty()) {
    PendingMember next = m_pendingMembers.front();
    m_pendingMembers.pop_front();
    SimpleType* member = ReadSimpleType(next.node, false);
    member->hint = next.holder->name + "Member";
    next.holder->memberTypes[next.index].simple = member;
  }
  m_readingMembers = false;
}

void Reader::ResolveMemberTypes() {
  for (auto& type : m_schema.simpleTypes)
    for (TypeUse& member : type->memberTypes) ResolveTypeUse(member, type->pos, true);
}

namespace {
int Strictness(Whitespace whitespace) {
  return whitespace == Whitespace::Preserve ? 0 : whitespace == Whitespace::Replace ? 1 : 2;
}
const char* WhitespaceName(Whitespace whitespace) {
  return whitespace == Whitespace::Preserve  ? "preserve"
         : whitespace == Whitespace::Replace ? "replace"
                                             : "collapse";
}
}  // namespace

// Called with the base's whitespace taken: a list or union sets its own,
// a restriction keeps its base's variety and may tighten the whitespace.
void Reader::ApplyWhitespaceFacet(SimpleType& t, const SimpleType& base) {
  if (!t.memberTypes.empty())
    t.whitespace = t.variety == Variety::List ? Whitespace::Collapse : Whitespace::Preserve;
  else
    t.variety = base.variety;
  if (!t.ownWhitespace) return;
  if (t.variety == Variety::Union)
    throw CompileError(t.pos, "xs:whiteSpace does not apply to a union type");
  if (Strictness(*t.ownWhitespace) < Strictness(t.whitespace))
    throw CompileError(t.pos, std::string("xs:whiteSpace '") + WhitespaceName(*t.ownWhitespace) +
                                  "' would loosen the base's '" + WhitespaceName(t.whitespace) +
                                  "'");
  t.whitespace = *t.ownWhitespace;
}

// Called when the facets of `t` are settled by the common rules: the facets
// that say something else of a list or union, a C++ enumeration of its own
// for a type that reads its values by another whitespace rule than the
// enumeration's owner, and the digit facets.
void Reader::FinishFacets(SimpleType& t, const SimpleType& base) {
  if (t.variety != Variety::Atomic && t.memberTypes.empty()) {
    // A list's lengths count items, not characters: not checked.
    t.facets.length = base.facets.length;
    t.facets.minLength = base.facets.minLength;
    t.facets.maxLength = base.facets.maxLength;
    // Values compared as text are the values themselves only where every
    // item or member type is a built-in string type (a union's only if it
    // keeps whitespace too); else the enumeration is not checked.
    if (!t.ownEnumeration.empty()) {
      const SimpleType* root = &t;
      while (root->memberTypes.empty() && root->baseType != nullptr) root = root->baseType;
      bool sound = !root->memberTypes.empty();
      for (const TypeUse& member : root->memberTypes) {
        const SimpleType* m = member.simple;
        sound = sound && m != nullptr && FindBuiltin(m->name) == m && m->itemType == "string" &&
                (t.variety == Variety::List || m->whitespace == Whitespace::Preserve);
      }
      if (!sound) {
        t.enumeration = base.enumeration;
        t.enumOwner = base.enumOwner;
      }
    }
  }
  if (t.IsEnum() && t.enumOwner != &t && t.enumOwner->whitespace != t.whitespace) t.enumOwner = &t;

  const Facets& own = t.ownFacets;
  if (own.totalDigits < 0 && own.fractionDigits < 0) return;
  static const char* const kDecimals[] = {"decimal", "integer", "i1",  "i2",  "i4",
                                          "i8",      "ui1",     "ui2", "ui4", "ui8"};
  bool decimal = false;
  for (const char* name : kDecimals) decimal = decimal || t.itemType == name;
  if (!decimal || t.variety != Variety::Atomic)
    throw CompileError(t.pos, "digit facets do not apply to the item type " + t.itemType);
  if (own.fractionDigits >= 0) t.facets.fractionDigits = own.fractionDigits;
  if (own.totalDigits >= 0) t.facets.totalDigits = own.totalDigits;
  if (t.facets.totalDigits >= 0 && t.facets.fractionDigits > t.facets.totalDigits)
    throw CompileError(t.pos, "fractionDigits is greater than totalDigits");
  if (own.totalDigits < 0) return;
  // totalDigits n bounds the value to n nines either way: said as bounds,
  // kept where they are tighter than the bounds in force and within the
  // item type's range. (The digits after the point are not checked.)
  auto number = [](const std::string& text) {
    VxVevAva5::VxVariant value;
    value.FromString(VxVevAva5::Utf16::FromUtf8(text), VxVevAva5::ItemType_decimal,
                     VxVevAva5::CWhitespaceUtils::WhitespaceRule_Collapse);
    return value.GetDecimal();
  };
  std::string nines(static_cast<size_t>(own.totalDigits), '9');
  if (IsLexical(t, nines) &&
      (!t.facets.maxInclusive || number(nines) < number(*t.facets.maxInclusive)))
    t.facets.maxInclusive = nines;
  if (IsLexical(t, "-" + nines) &&
      (!t.facets.minInclusive || number(*t.facets.minInclusive) < number("-" + nines)))
    t.facets.minInclusive = "-" + nines;
}

// Default and fixed values of elements: of a simple type, lexically right
// for it (and one of its enumeration's values), on an element that occurs
// once at most.
void Reader::CheckElementValues() {
  for (auto& decl : m_schema.elements) {
    for (const std::optional<std::string>* value : {&decl->defaultValue, &decl->fixedValue}) {
      if (!*value) continue;
      const char* what = value == &decl->defaultValue ? "default" : "fixed";
      const SimpleType* type = decl->type.simple;
      if (type == nullptr)
        throw CompileError(decl->pos, std::string("unsupported ") + what +
                                          " value on an element of complex or untyped content");
      bool ok = IsLexical(*type, **value);
      if (ok && type->IsEnum()) {
        ok = false;
        for (const std::string& e : type->enumeration) ok = ok || e == **value;
      }
      if (!ok)
        throw CompileError(decl->pos, std::string("invalid ") + what + " value '" + **value +
                                          "' for the element '" + decl->name + "'");
    }
  }
  for (auto& type : m_schema.complexTypes)
    for (const Particle& particle : type->particles)
      if (particle.decl && particle.maxOccurs != 1 &&
          (particle.decl->defaultValue || particle.decl->fixedValue))
        throw CompileError(particle.pos,
                           "unsupported default or fixed value on a repeated element");
}

// Mixed content keeps its text as one string, the element's text, written
// after the children. Without child elements, or with wildcards only, that
// is all there is to keep (the text of a wildcard's mixed content moves
// behind its elements). Between declared child elements the text would be
// torn from its place and the document changed on the way through: refused.
void Reader::CheckMixed() {
  for (auto& type : m_schema.complexTypes) {
    // Derived classes take their base's members and infos: a text or an
    // attribute wildcard would have to be joined with theirs.
    for (const ComplexType* t = type->base; t; t = t->base) {
      if (t->mixed || type->mixed)
        throw CompileError(type->pos, "unsupported mixed content in a derivation of complex types");
      if (t->anyAttribute || type->anyAttribute)
        throw CompileError(type->pos,
                           "unsupported xs:anyAttribute in a derivation of complex types");
    }
    if (!type->mixed) continue;
    if (type->textBase) throw CompileError(type->pos, "mixed content cannot have xs:simpleContent");
    std::vector<const ComplexType*> work{type.get()};
    std::set<const ComplexType*> seen{type.get()};
    while (!work.empty()) {
      const ComplexType* next = work.back();
      work.pop_back();
      for (const Particle& particle : next->particles) {
        if (particle.decl)
          throw CompileError(type->pos,
                             "unsupported mixed content with child elements: the text between "
                             "them cannot be kept in place");
        if (particle.group && seen.insert(particle.group).second) work.push_back(particle.group);
      }
    }
    type->text = FindBuiltin("string");
  }
}

// -- derivation of complex types -----------------------------------------------
//
// An extension's content is its base's followed by its own, as one sequence
// (the base's element members first, so that the generated class can derive
// from the base's class and keep the base's property indexes). Where the
// parts cannot be one flat list, a choice, the part that is a choice becomes
// a model group of its own (a pseudo type) first. A restriction restates its
// base's content: its particles and attributes must be those of the base,
// and the generated class binds them to the base's members (see Generator).

void Reader::CheckComplexTypeAttributes(const CXmlElement* e, ComplexType& type) {
  // block and final only limit which derivations are allowed: no binding
  // changes with them.
  CheckAttributes(e, {"name", "id", "mixed", "abstract", "block", "final"});
  type.abstract = BoolAttr(e, "abstract");
  if (type.abstract && type.name.empty()) Fail(e, "an anonymous xs:complexType cannot be abstract");
}

const CXmlElement* Reader::OnlyDerivation(const CXmlElement* e, const char* missing) const {
  const CXmlElement* derivation = nullptr;
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    if (!Is(c, "extension") && !Is(c, "restriction"))
      Fail(c, "unsupported " + Name(c) + " inside " + Name(e));
    if (derivation) Fail(c, Name(e) + " with more than one derivation");
    derivation = c;
  }
  if (!derivation) Fail(e, Name(e) + " without " + missing);
  CheckLastContent(e);
  return derivation;
}

// A derivation must be the only content of its type (annotations aside).
void Reader::CheckLastContent(const CXmlElement* e) const {
  for (const CXmlElement* c = e->GetNextSiblingElement(); c; c = c->GetNextSiblingElement())
    if (!IsXsd(c) || !Is(c, "annotation"))
      Fail(c, Name(e) + " must be the only content of xs:complexType");
}

void Reader::ReadComplexContent(const CXmlElement* e, ComplexType& type) {
  CheckAttributes(e, {"id", "mixed"});
  if (BoolAttr(e, "mixed")) Fail(e, "unsupported mixed content");
  const CXmlElement* derivation = OnlyDerivation(e, "xs:extension or xs:restriction");
  std::optional<std::string> base = Attr(derivation, "base");
  if (!base) Fail(derivation, Name(derivation) + " without a base");
  type.derivation = Is(derivation, "extension") ? ComplexType::Derivation::Extension
                                                : ComplexType::Derivation::Restriction;
  type.baseName = ParseQName(derivation, *base);
  type.basePos = Pos(derivation);
  // The derivation holds what a complex type would: a model group and
  // attributes.
  ReadComplexType(derivation, type);
}

// xs:simpleContent/xs:restriction: facets on the base's text (or a simple
// type of its own), and the base's attributes restated.
void Reader::ReadSimpleContentRestriction(const CXmlElement* e, ComplexType& type) {
  CheckAttributes(e, {"base", "id"});
  std::optional<std::string> base = Attr(e, "base");
  if (!base) Fail(e, "xs:restriction without a base");
  type.derivation = ComplexType::Derivation::Restriction;
  type.baseName = ParseQName(e, *base);
  type.basePos = Pos(e);
  type.groupPos = Pos(e);
  type.simpleContent = true;
  // An enumeration of the text is named after the type: ShortLabelText.
  std::string hint = (type.name.empty() ? type.owner->name : type.name) + "Text";
  std::unique_ptr<SimpleType> text;
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    if (Is(c, "attribute")) {
      ReadAttribute(c, &type.attributes);
    } else if (Is(c, "attributeGroup")) {
      type.attributeGroupRefs.push_back(AttributeGroupRef(c));
    } else if (!type.attributes.empty() || !type.attributeGroupRefs.empty()) {
      Fail(c, "the text's facets must come before the attributes");
    } else if (Is(c, "simpleType")) {
      if (text || type.text) Fail(c, "xs:simpleType must come first inside " + Name(e));
      if (Attr(c, "name")) Fail(c, "a local " + Name(c) + " cannot have a name");
      SimpleType* anonymous = ReadSimpleType(c, false);
      anonymous->hint = hint;
      type.text = anonymous;
    } else {
      if (type.text) Fail(c, "unsupported facets after xs:simpleType inside " + Name(e));
      if (!text) {
        text = std::make_unique<SimpleType>();
        text->pos = Pos(e);
        text->hint = hint;
      }
      ReadFacet(c, *text);
    }
  }
  if (text) m_schema.restrictedTexts.emplace_back(&type, std::move(text));
}

void Reader::ResolveBase(ComplexType& type) {
  const QName& name = *type.baseName;
  bool simple = false;
  if (name.ns == kXsdNamespace && name.local == "anyType") {
    if (type.derivation == ComplexType::Derivation::Extension || type.simpleContent)
      throw CompileError(type.basePos,
                         "unsupported derivation from xs:anyType but by "
                         "xs:complexContent/xs:restriction");
    // The long-hand form of a plain complex type.
    type.derivation = ComplexType::Derivation::None;
    type.baseName.reset();
    return;
  }
  if (name.ns == kXsdNamespace) {
    simple = FindBuiltin(name.local) != nullptr;
  } else {
    if (ComplexType* base = Find(&Schema::namedComplexTypes, name, type.basePos)) {
      type.base = base;
      return;
    }
    simple = Find(&Schema::namedSimpleTypes, name, type.basePos) != nullptr;
  }
  if (simple)
    throw CompileError(
        type.basePos,
        std::string(type.simpleContent ? "xs:simpleContent/xs:restriction" : "xs:complexContent") +
            " cannot derive from the simple type '" + name.text + "'");
  throw CompileError(type.basePos, "unknown type '" + name.text + "'");
}

// Gives the content of `type` its own model group, held by a sequence of
// one particle.
void Reader::WrapContent(ComplexType& type) {
  auto group = std::make_unique<ComplexType>();
  group->pos = type.groupPos;
  group->pseudo = true;
  group->enclosing = &type;
  group->group = type.group;
  group->groupPos = type.groupPos;
  group->particles = std::move(type.particles);
  Particle particle;
  particle.pos = type.groupPos;
  particle.group = group.get();
  type.particles.clear();
  type.particles.push_back(std::move(particle));
  type.group = GroupKind::Sequence;
  // The group belongs to the document of its type, whose files hold it.
  DocumentOf(type).complexTypes.push_back(std::move(group));
}

std::vector<Schema*> Reader::Documents() const {
  std::vector<Schema*> documents;
  if (!m_run) {
    documents.push_back(&m_schema);
  } else {
    for (const auto& entry : *m_run) documents.push_back(entry.second);
  }
  return documents;
}

Schema& Reader::DocumentOf(const ComplexType& type) const {
  for (Schema* document : Documents())
    for (const auto& owned : document->complexTypes)
      if (owned.get() == &type) return *document;
  return m_schema;
}

void Reader::ResolveDerivationBases() {
  std::vector<ComplexType*> derived;
  for (auto& type : m_schema.complexTypes)
    if (type->baseName) {
      ResolveBase(*type);
      if (type->base) derived.push_back(type.get());
    }
  // Circular chains, walked without recursion.
  for (ComplexType* type : derived) {
    std::set<const ComplexType*> seen{type};
    for (const ComplexType* b = type->base; b; b = b->base)
      if (!seen.insert(b).second)
        throw CompileError(b->basePos, "circular derivation of the complex type '" + b->name + "'");
  }
}

void Reader::WrapDerivedContents() {
  std::vector<ComplexType*> derived;
  for (auto& type : m_schema.complexTypes)
    if (type->base) derived.push_back(type.get());
  // Contents that cannot be joined into one flat sequence get a model group
  // of their own: the choice of the type that defines the base's content
  // (the nearest one up the chain with content of its own), and an
  // extension's own choice.
  for (ComplexType* type : derived) {
    if (type->derivation != ComplexType::Derivation::Extension || type->particles.empty()) continue;
    ComplexType* owner = type->base;
    while (owner && owner->particles.empty() &&
           owner->derivation == ComplexType::Derivation::Extension)
      owner = owner->base;
    if (!owner || owner->particles.empty()) continue;
    if (owner->group == GroupKind::All || type->group == GroupKind::All)
      throw CompileError(type->basePos,
                         "unsupported extension that joins xs:all content to "
                         "other content");
    if (owner->group == GroupKind::Choice) WrapContent(*owner);
    if (type->group == GroupKind::Choice) WrapContent(*type);
  }
}

// Each type after its base: up the chain to a settled one (perhaps of
// another document), then down.
void Reader::SettleDerivations() {
  std::vector<ComplexType*> derived;
  for (auto& type : m_schema.complexTypes)
    if (type->base) derived.push_back(type.get());
  for (ComplexType* start : derived) {
    std::vector<ComplexType*> chain;
    for (ComplexType* t = start; t && t->base && !t->derivationSettled; t = t->base)
      chain.push_back(t);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      SettleDerivation(**it);
      (*it)->derivationSettled = true;
    }
  }
}

void Reader::SettleDerivation(ComplexType& type) {
  const ComplexType& base = *type.base;
  const std::string& baseText = type.baseName->text;
  if (type.simpleContent && !base.text)
    throw CompileError(type.basePos, "xs:simpleContent cannot derive from the complex type '" +
                                         baseText + "', which has no simple content");
  if (!type.simpleContent && base.text)
    throw CompileError(type.basePos, "xs:complexContent cannot derive from the complex type '" +
                                         baseText + "', which has simple content");
  auto find = [](const std::vector<AttributeDecl>& list, const AttributeDecl& attribute) {
    for (const AttributeDecl& other : list)
      if (other.name == attribute.name && other.ns == attribute.ns) return true;
    return false;
  };

  if (type.derivation == ComplexType::Derivation::Extension) {
    if (type.simpleContent) type.text = base.text;
    if (!base.particles.empty()) {
      std::vector<Particle> joined = base.particles;
      joined.insert(joined.end(), type.particles.begin(), type.particles.end());
      if (type.particles.empty()) {
        type.group = base.group;
        type.groupPos = base.groupPos;
      }
      type.particles = std::move(joined);
    }
    type.inheritedParticles = base.particles.size();
    for (const AttributeDecl& attribute : type.attributes)
      if (find(base.attributes, attribute))
        throw CompileError(attribute.pos,
                           "the attribute '" + attribute.name + "' is already in the base type");
    std::vector<AttributeDecl> joined = base.attributes;
    joined.insert(joined.end(), type.attributes.begin(), type.attributes.end());
    type.attributes = std::move(joined);
    type.inheritedAttributes = base.attributes.size();
    return;
  }

  // Restriction.
  if (type.simpleContent) {
    Schema& document = DocumentOf(type);
    for (auto& [owner, text] : document.restrictedTexts) {
      if (owner != &type || !text) continue;
      text->presetBase = base.text;
      ResolveSimpleType(text.get());
      type.text = text.get();
      document.simpleTypes.push_back(std::move(text));
    }
    if (!type.text) type.text = base.text;
    if (type.text->itemType != base.text->itemType)
      throw CompileError(type.groupPos, "the text's type does not restrict the base's text type " +
                                            base.text->itemType);
  }
  for (const Particle& particle : type.particles) {
    if (particle.any)
      throw CompileError(particle.pos, "unsupported xs:any in a restriction of a complex type");
    if (particle.group)
      throw CompileError(particle.pos,
                         "unsupported model group in a restriction of a complex type");
    for (const Particle& inherited : base.particles)
      if (inherited.group)
        throw CompileError(particle.pos, "unsupported restriction of the type '" + baseText +
                                             "', whose content holds a model group");
    bool known = false;
    for (const Particle& inherited : base.particles)
      known = known || (inherited.decl && inherited.decl->name == particle.decl->name &&
                        inherited.decl->ns == particle.decl->ns);
    if (!known)
      throw CompileError(particle.pos, "the element '" + particle.decl->name +
                                           "' is not in the base type '" + baseText + "'");
  }
  if (!type.particles.empty() && type.group != base.group)
    throw CompileError(type.groupPos,
                       "unsupported restriction that changes the model group of the base type");
  for (const AttributeDecl& attribute : type.attributes)
    if (!find(base.attributes, attribute))
      throw CompileError(attribute.pos, "the attribute '" + attribute.name +
                                            "' is not in the base type '" + baseText + "'");
}

// -- substitution groups -------------------------------------------------------
//
// The element infos know their elements by name, so a reference to the head
// of a substitution group becomes a choice of the elements that may stand
// for it (the head unless it is abstract, and every element of its group,
// directly or not): a model group of its own, one per head, named after it
// (shapeGroup) and shared by all references to the head.

void Reader::ReadSubstitution(const CXmlElement* e, ElementDecl& decl) {
  if (std::optional<std::string> head = Attr(e, "substitutionGroup"))
    decl.substitutionGroup = ParseQName(e, *head);
  decl.abstract = BoolAttr(e, "abstract");
}

void Reader::ResolveSubstitutionGroups() {
  std::map<const ElementDecl*, std::vector<ElementDecl*>> direct;
  std::map<const ElementDecl*, const ElementDecl*> headOf;
  // The groups of the whole run: an element may join a head of another
  // document.
  std::vector<ElementDecl*> all;
  for (Schema* document : Documents())
    all.insert(all.end(), document->globalElementOrder.begin(), document->globalElementOrder.end());
  for (ElementDecl* decl : all) {
    if (!decl->substitutionGroup) continue;
    const QName& name = *decl->substitutionGroup;
    const ElementDecl* head = Find(&Schema::globalElements, name, decl->pos);
    if (!head) throw CompileError(decl->pos, "unknown element '" + name.text + "'");
    bool derived = decl->type.simple && decl->type.simple == head->type.simple;
    for (const ComplexType* t = decl->type.complex; t && head->type.complex; t = t->base)
      derived = derived || t == head->type.complex;
    if (!derived)
      throw CompileError(decl->pos, "the type of the element '" + decl->name +
                                        "' is not the type of '" + head->name +
                                        "' or derived from it");
    direct[head].push_back(decl);
    headOf[decl] = head;
  }
  for (const ElementDecl* decl : all) {
    std::set<const ElementDecl*> seen{decl};
    for (auto up = headOf.find(decl); up != headOf.end(); up = headOf.find(up->second))
      if (!seen.insert(up->second).second)
        throw CompileError(up->second->pos,
                           "circular substitution group of the element '" + up->second->name + "'");
  }
  std::vector<ComplexType*> types;
  for (auto& type : m_schema.complexTypes) types.push_back(type.get());
  std::map<const ElementDecl*, ComplexType*> choices;
  for (ComplexType* type : types)
    for (Particle& particle : type->particles) {
      if (!particle.decl || !particle.decl->global) continue;
      ElementDecl* head = particle.decl;
      if (!direct.count(head)) {
        if (head->abstract)
          throw CompileError(particle.pos,
                             "no element can stand for the abstract element '" + head->name + "'");
        continue;
      }
      if (type->group == GroupKind::All)
        throw CompileError(particle.pos, "unsupported head of a substitution group inside xs:all");
      ComplexType*& choice = choices[head];
      if (!choice) choice = SubstitutionChoice(head, direct);
      particle.group = choice;
      particle.decl = nullptr;
      particle.ref.reset();
    }
}

ComplexType* Reader::SubstitutionChoice(
    ElementDecl* head, const std::map<const ElementDecl*, std::vector<ElementDecl*>>& direct) {
  auto choice = std::make_unique<ComplexType>();
  choice->pos = head->pos;
  choice->pseudo = true;
  choice->name = head->name + "Group";
  choice->group = GroupKind::Choice;
  choice->groupPos = head->pos;
  // The head, then its group breadth first, with a work list.
  std::deque<ElementDecl*> work{head};
  while (!work.empty()) {
    ElementDecl* decl = work.front();
    work.pop_front();
    if (!decl->abstract) {
      Particle particle;
      particle.pos = decl->pos;
      particle.decl = decl;
      choice->particles.push_back(std::move(particle));
    }
    auto it = direct.find(decl);
    if (it != direct.end()) work.insert(work.end(), it->second.begin(), it->second.end());
  }
  if (choice->particles.empty())
    throw CompileError(head->pos,
                       "no element can stand for the abstract element '" + head->name + "'");
  m_schema.complexTypes.push_back(std::move(choice));
  return m_schema.complexTypes.back().get();
}

// Loads the XML of a schema document; its errors become CompileErrors.
void LoadDocument(const std::string& file, CXmlDocument& document,
                  const std::function<void()>& load) {
  try {
    document.SetStrictXml(true);
    load();
  } catch (const CVxException& e) {
    // The text reader names the line in its message ("... at line 3").
    std::string message = U8(e.GetMessage());
    uint32_t line = e.GetLineNumber();
    size_t at = message.rfind(" at line ");
    if (line == 0 && at != std::string::npos)
      line = static_cast<uint32_t>(std::strtoul(message.c_str() + at + 9, nullptr, 10));
    throw CompileError(SourcePos{file, line}, message);
  }
}

std::unique_ptr<Schema> Build(const std::string& file, CXmlDocument& document,
                              const std::function<void()>& load) {
  LoadDocument(file, document, load);
  auto schema = std::make_unique<Schema>();
  schema->file = file;
  Reader reader(*schema);
  reader.Read(document.GetDocumentElement());
  reader.Resolve();
  return schema;
}

// -- the documents of a run -----------------------------------------------------

// The XML namespace (xml:lang, xml:space, xml:base, xml:id) is built in: its
// schemaLocation, usually an http address, is never read.
const char kXmlNamespaceSchema[] =
    "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'\n"
    "           targetNamespace='http://www.w3.org/XML/1998/namespace'>\n"
    "  <xs:attribute name='lang' type='xs:string'/>\n"
    "  <xs:attribute name='space'>\n"
    "    <xs:simpleType>\n"
    "      <xs:restriction base='xs:NCName'>\n"
    "        <xs:enumeration value='default'/>\n"
    "        <xs:enumeration value='preserve'/>\n"
    "      </xs:restriction>\n"
    "    </xs:simpleType>\n"
    "  </xs:attribute>\n"
    "  <xs:attribute name='base' type='xs:anyURI'/>\n"
    "  <xs:attribute name='id' type='xs:ID'/>\n"
    "</xs:schema>\n";
const char kXmlNamespaceFile[] = "<the xml namespace>";

// "http://...", "file:..." and the like; "C:\..." is a path.
bool IsUrl(const std::string& location) {
  size_t colon = location.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    char c = location[i];
    bool scheme = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                  (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
    if (!scheme) return false;
  }
  return true;
}

std::string NamespaceText(const std::string& ns) {
  return ns.empty() ? std::string("no target namespace") : "the target namespace '" + ns + "'";
}

// Reads the documents of a run: those of the command line, then, one
// command-line schema after the other, every document their includes and
// imports reach, each (file, namespace) once, with a work list; then
// resolves them all together.
class Loader {
 public:
  std::vector<std::unique_ptr<Schema>> Run(const std::vector<std::string>& paths,
                                           std::vector<std::string>* files);

 private:
  Schema* Read(const std::string& file, const SourcePos* at,
               const std::optional<std::string>& chameleon, const Schema* unit,
               const std::string* text = nullptr);
  void Follow(const Schema& from, const Schema* unit, std::deque<const Schema*>& work);
  static std::string Canonical(const std::string& file);
  // Global components of one name in two documents of a namespace. One
  // file given twice on the command line is left to the generator, which
  // refuses the second pair of output files.
  using Seen = std::map<std::pair<std::string, std::string>, std::pair<SourcePos, const Schema*>>;
  template <class T>
  void CheckDuplicates(std::map<std::string, T*> Schema::*space, const char* what, Seen& seen);

  std::vector<std::unique_ptr<Schema>> m_schemas;
  std::map<std::pair<std::string, std::string>, Schema*> m_loaded;  // (file, namespace)
  // The target namespace a file declares; none for a document without one.
  std::map<std::string, std::optional<std::string>> m_declared;
  struct Remote {
    std::string ns;
    std::string location;
    SourcePos pos;
  };
  std::vector<Remote> m_remote;  // imports by URL: their namespace must come from elsewhere
  std::multimap<std::string, Schema*> m_run;
};

std::string Loader::Canonical(const std::string& file) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path path = fs::weakly_canonical(fs::absolute(file, error), error);
  return error ? fs::path(file).lexically_normal().string() : path.string();
}

Schema* Loader::Read(const std::string& file, const SourcePos* at,
                     const std::optional<std::string>& chameleon, const Schema* unit,
                     const std::string* text) {
  CXmlDocument document;
  if (text != nullptr) {
    LoadDocument(file, document, [&] { document.LoadXml(text->c_str()); });
  } else {
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> bytes;
    bool failed = !in;
    try {
      // A directory opens, and then fails to read, by an exception.
      if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
      failed = true;
    }
    if (failed || in.bad()) {
      std::string reason = errno != 0 ? std::strerror(errno) : "cannot read the file";
      if (at != nullptr) throw CompileError(*at, "cannot read the schema '" + file + "': " + reason);
      throw CompileError(SourcePos{file, 0}, "cannot read: " + reason);
    }
    if (bytes.empty()) throw CompileError(SourcePos{file, 0}, "the file is empty");
    if (bytes.size() > UINT32_MAX) throw CompileError(SourcePos{file, 0}, "the file is too large");
    LoadDocument(file, document, [&] {
      document.LoadXmlStream(bytes.data(), static_cast<uint32_t>(bytes.size()));
    });
  }
  auto schema = std::make_unique<Schema>();
  schema->file = file;
  schema->chameleonNamespace = chameleon;
  schema->outputUnit = unit;
  Reader(*schema, &m_run).Read(document.GetDocumentElement());
  Schema* raw = schema.get();
  m_schemas.push_back(std::move(schema));
  std::string canonical = Canonical(file);
  m_declared.emplace(canonical, raw->chameleonNamespace || raw->targetNamespace.empty()
                                    ? std::nullopt
                                    : std::optional<std::string>(raw->targetNamespace));
  m_loaded.emplace(std::make_pair(canonical, raw->targetNamespace), raw);
  return raw;
}

void Loader::Follow(const Schema& from, const Schema* unit, std::deque<const Schema*>& work) {
  namespace fs = std::filesystem;
  for (const Directive& directive : from.directives) {
    if (!directive.include && directive.ns == kXmlNamespace) continue;  // built in
    if (!directive.location) continue;  // the namespace must come from elsewhere
    const std::string& location = *directive.location;
    if (IsUrl(location)) {
      if (directive.include)
        throw CompileError(directive.pos, "vxbindc reads no schema from '" + location +
                                              "': include a local copy by its path");
      m_remote.push_back(Remote{directive.ns, location, directive.pos});
      continue;
    }
    std::string file = (fs::path(from.file).parent_path() / location).lexically_normal().string();
    std::string canonical = Canonical(file);
    // A document without a namespace takes the includer's; imported, it has none.
    std::optional<std::string> chameleon;
    if (directive.include && !from.targetNamespace.empty()) chameleon = from.targetNamespace;
    const Schema* schema = nullptr;
    auto declared = m_declared.find(canonical);
    if (declared != m_declared.end()) {
      std::string ns = declared->second ? *declared->second : chameleon.value_or("");
      auto loaded = m_loaded.find(std::make_pair(canonical, ns));
      if (loaded != m_loaded.end()) schema = loaded->second;
    }
    if (schema == nullptr) {
      schema = Read(file, &directive.pos, chameleon, unit);
      work.push_back(schema);
    }
    if (schema->targetNamespace != directive.ns)
      throw CompileError(directive.pos,
                         std::string(directive.include ? "the included" : "the imported") +
                             " schema '" + file + "' has " + NamespaceText(schema->targetNamespace) +
                             ", but " +
                             (directive.include ? "the including one has " : "the import names ") +
                             NamespaceText(directive.ns));
  }
}

template <class T>
void Loader::CheckDuplicates(std::map<std::string, T*> Schema::*space, const char* what,
                             Seen& seen) {
  for (const auto& schema : m_schemas)
    for (const auto& [name, component] : (*schema).*space) {
      auto [it, fresh] = seen.emplace(std::make_pair(schema->targetNamespace, name),
                                      std::make_pair(component->pos, schema.get()));
      if (fresh || Canonical(it->second.second->file) == Canonical(schema->file)) continue;
      const SourcePos& first = it->second.first;
      throw CompileError(component->pos, std::string("duplicate ") + what + " '" + name +
                                             "' (also in " + first.file + ":" +
                                             std::to_string(first.line) + ")");
    }
}

std::vector<std::unique_ptr<Schema>> Loader::Run(const std::vector<std::string>& paths,
                                                 std::vector<std::string>* files) {
  for (const std::string& path : paths) Read(path, nullptr, std::nullopt, nullptr);
  for (size_t i = 0; i < paths.size(); ++i) {
    const Schema* unit = m_schemas[i].get();
    std::deque<const Schema*> work{unit};
    while (!work.empty()) {
      const Schema* next = work.front();
      work.pop_front();
      Follow(*next, unit, work);
    }
  }
  if (files != nullptr)
    for (const auto& schema : m_schemas) files->push_back(schema->file);

  // The XML namespace, for the first document that refers to it, unless a
  // schema of that namespace was read.
  bool xmlRead = false;
  const Schema* xmlUser = nullptr;
  for (const auto& schema : m_schemas) {
    xmlRead = xmlRead || schema->targetNamespace == kXmlNamespace;
    if (schema->usesXmlNamespace && xmlUser == nullptr) xmlUser = schema.get();
  }
  if (xmlUser != nullptr && !xmlRead) {
    const std::string text = kXmlNamespaceSchema;
    Read(kXmlNamespaceFile, nullptr, std::nullopt,
         xmlUser->outputUnit ? xmlUser->outputUnit : xmlUser, &text);
  }
  for (const Remote& remote : m_remote) {
    bool known = false;
    for (const auto& schema : m_schemas) known = known || schema->targetNamespace == remote.ns;
    if (!known)
      throw CompileError(remote.pos, "vxbindc reads no schema from '" + remote.location +
                                         "': give a local schemaLocation for the namespace '" +
                                         remote.ns + "', or compile its schema in the same run");
  }

  Seen types, elements, attributes, groups, attributeGroups;
  CheckDuplicates(&Schema::namedSimpleTypes, "type", types);
  CheckDuplicates(&Schema::namedComplexTypes, "type", types);
  CheckDuplicates(&Schema::globalElements, "element", elements);
  CheckDuplicates(&Schema::globalAttributes, "attribute", attributes);
  CheckDuplicates(&Schema::namedGroups, "group", groups);
  CheckDuplicates(&Schema::namedAttributeGroups, "attribute group", attributeGroups);

  for (const auto& schema : m_schemas) m_run.emplace(schema->targetNamespace, schema.get());
  std::vector<Reader> readers;
  readers.reserve(m_schemas.size());
  for (const auto& schema : m_schemas) readers.emplace_back(*schema, &m_run);
  // What references into other documents need comes first everywhere.
  for (Reader& reader : readers) reader.ResolveSimpleTypes();
  for (Reader& reader : readers) reader.ResolveGlobalAttributes();
  for (Reader& reader : readers) reader.Resolve();
  for (Reader& reader : readers) reader.ResolveDerivationBases();
  for (Reader& reader : readers) reader.WrapDerivedContents();
  for (Reader& reader : readers) reader.SettleDerivations();
  for (Reader& reader : readers) reader.ResolveSubstitutionGroups();
  for (Reader& reader : readers) reader.Check();
  return std::move(m_schemas);
}

}  // namespace

std::vector<std::unique_ptr<Schema>> LoadSchemas(const std::vector<std::string>& paths,
                                                 std::vector<std::string>* files) {
  return Loader().Run(paths, files);
}

std::unique_ptr<Schema> LoadSchema(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw CompileError(SourcePos{path, 0}, std::string("cannot read: ") + std::strerror(errno));
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  if (in.bad()) throw CompileError(SourcePos{path, 0}, "cannot read the file");
  if (bytes.empty()) throw CompileError(SourcePos{path, 0}, "the file is empty");
  if (bytes.size() > UINT32_MAX) throw CompileError(SourcePos{path, 0}, "the file is too large");
  CXmlDocument document;
  return Build(path, document,
               [&] { document.LoadXmlStream(bytes.data(), static_cast<uint32_t>(bytes.size())); });
}

std::unique_ptr<Schema> ParseSchema(const std::string& file, const std::string& text) {
  CXmlDocument document;
  return Build(file, document, [&] { document.LoadXml(text.c_str()); });
}

}  // namespace vxbindc
