#include "SchemaReader.h"

#include <vxbind/vxbind.h>

#include <deque>
#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "IdentityConstraints.h"
#include "ReaderSupport.h"

namespace vxbindc {

using VxVevAva5::CXmlAttribute;
using VxVevAva5::CXmlDocument;
using VxVevAva5::CXmlElement;
using VxVevAva5::String;

namespace {

// Whether `text` is a number of at most nine digits, the form of
// occurrences, lengths and digit facets.
bool IsSmallNumber(const std::string& text) {
  return !text.empty() && text.size() <= 9 &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

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

// The words of a list-valued attribute, as whitespace separates them.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  size_t at = 0;
  while ((at = text.find_first_not_of(" \t\r\n", at)) != std::string::npos) {
    size_t end = text.find_first_of(" \t\r\n", at);
    words.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    at = end;
  }
  return words;
}

class Reader {
 public:
  Reader(Schema& schema, ReadMode mode) : m_schema(schema), m_inRun(mode == ReadMode::InRun) {}

  void Read(const CXmlElement* root);

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
  // A particle at `e` with its minOccurs and maxOccurs.
  Particle NewParticle(const CXmlElement* e) const;
  std::string NameAttr(const CXmlElement* e) const;
  // A boolean attribute (true, 1, false, 0), false when missing.
  bool BoolAttr(const CXmlElement* e, const char* name) const;
  // block or blockDefault as BlockFlags; `absent` when the attribute is not
  // there.
  unsigned BlockAttr(const CXmlElement* e, const char* name, unsigned absent) const;
  // The one xs:extension or xs:restriction of xs:simpleContent or
  // xs:complexContent, which must be the last content of its type.
  const CXmlElement* OnlyDerivation(const CXmlElement* e, const char* missing) const;

  // -- declarations, types and groups ---------------------------------------
  void ReadDirective(const CXmlElement* e);
  void ReadGlobalElement(const CXmlElement* e);
  void ReadSubstitution(const CXmlElement* e, ElementDecl& decl);
  // xs:unique, xs:key or xs:keyref `e` into the declaration's constraints.
  void ReadIdentityConstraint(const CXmlElement* e, ElementDecl& decl);
  XPathExpr ReadIdentityXPath(const CXmlElement* e, bool field);
  void ReadTypeOfDeclaration(const CXmlElement* e, TypeUse& type, ElementDecl* owner,
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
  // xs:attribute, xs:attributeGroup or xs:anyAttribute `e` into the
  // attributes, attribute group references and wildcard of a type or an
  // attribute group; false for any other element.
  bool ReadAttributeContent(const CXmlElement* e, std::vector<AttributeDecl>& attributes,
                            std::vector<std::pair<QName, SourcePos>>& groupRefs,
                            std::optional<Wildcard>& anyAttribute);
  // xs:group and xs:attributeGroup at the top of the schema, and references
  // to them.
  void ReadNamedGroup(const CXmlElement* e);
  void ReadAttributeGroup(const CXmlElement* e);
  void AddGroupRef(const CXmlElement* e, ComplexType& type);
  std::pair<QName, SourcePos> AttributeGroupRef(const CXmlElement* e);
  void ReadSimpleContent(const CXmlElement* e, ComplexType& type);
  // `hint` names an anonymous type after its element or attribute.
  SimpleType* ReadSimpleType(const CXmlElement* e, bool global, const std::string& hint = "");
  // Reads the anonymous types that lists, unions and restrictions hold,
  // met while reading others, from the work list.
  void ReadPendingMembers();
  void ReadFacet(const CXmlElement* e, SimpleType& type);

  // -- wildcards, value constraints, lists and unions -----------------------
  Wildcard ReadWildcard(const CXmlElement* e);
  void ReadAnyParticle(const CXmlElement* e, ComplexType& type);
  void ReadAnyAttribute(const CXmlElement* e, std::optional<Wildcard>& target);
  void ReadValueConstraint(const CXmlElement* e, ElementDecl& decl);
  bool ReadOtherFacet(const CXmlElement* e, SimpleType& type);
  void ReadListOrUnion(const CXmlElement* e, SimpleType& type);

  // -- derivation of complex types ------------------------------------------
  void CheckComplexTypeAttributes(const CXmlElement* e, ComplexType& type);
  void CheckLastContent(const CXmlElement* e) const;
  void ReadComplexContent(const CXmlElement* e, ComplexType& type);
  void ReadSimpleContentRestriction(const CXmlElement* e, ComplexType& type);

  Schema& m_schema;
  bool m_inRun;
  struct Pending {
    const CXmlElement* node;
    ComplexType* type;
  };
  std::deque<Pending> m_pending;
  // Anonymous member types of lists and unions, read from a work list too:
  // the type that holds each, and its place in the holder's memberTypes.
  // An anonymous base (xs:restriction's xs:simpleType) has kBaseIndex.
  struct PendingMember {
    const CXmlElement* node;
    SimpleType* holder;
    size_t index;
  };
  static constexpr size_t kBaseIndex = static_cast<size_t>(-1);
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
  if (m_inRun && !name.ns.empty() && name.ns != m_schema.targetNamespace &&
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
  if (!IsSmallNumber(*text)) Fail(e, std::string("invalid ") + attribute + " '" + *text + "'");
  return std::stoi(*text);
}

Particle Reader::NewParticle(const CXmlElement* e) const {
  Particle particle;
  particle.pos = Pos(e);
  particle.minOccurs = ParseOccurs(e, "minOccurs", 1);
  particle.maxOccurs = ParseOccurs(e, "maxOccurs", 1);
  if (particle.maxOccurs >= 0 && particle.minOccurs > particle.maxOccurs)
    Fail(e, "minOccurs is greater than maxOccurs");
  return particle;
}

unsigned Reader::BlockAttr(const CXmlElement* e, const char* name, unsigned absent) const {
  std::optional<std::string> value = Attr(e, name);
  if (!value) return absent;
  unsigned flags = 0;
  std::istringstream tokens(*value);
  std::string token;
  while (tokens >> token) {
    if (token == "#all")
      flags |= Block_Extension | Block_Restriction | Block_Substitution;
    else if (token == "extension")
      flags |= Block_Extension;
    else if (token == "restriction")
      flags |= Block_Restriction;
    else if (token == "substitution")
      flags |= Block_Substitution;
    else
      Fail(e, std::string("invalid ") + name + " '" + *value + "'");
  }
  return flags;
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

// -- declarations, types and groups -------------------------------------------

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
  m_schema.blockDefault = BlockAttr(root, "blockDefault", 0);
  for (const char* form : {"elementFormDefault", "attributeFormDefault"}) {
    std::string value = Attr(root, form).value_or("unqualified");
    if (value != "qualified" && value != "unqualified")
      Fail(root, std::string("invalid ") + form + " '" + value + "'");
    (form[0] == 'e' ? m_schema.elementsQualified : m_schema.attributesQualified) =
        value == "qualified";
  }

  // The imports first: they say which namespaces the references may name.
  for (const CXmlElement* c = root->GetFirstElement(); c; c = c->GetNextSiblingElement())
    if (m_inRun && (Is(c, "include") || Is(c, "import"))) ReadDirective(c);
  for (const CXmlElement* c = root->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(root, c)) continue;
    if (m_inRun && (Is(c, "include") || Is(c, "import"))) {
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
    } else if (Is(c, "redefine")) {
      // A redefinition changes the types and groups of another document in
      // place: the classes of that document would no longer be its own.
      Fail(c, "unsupported xs:redefine of '" + Attr(c, "schemaLocation").value_or("") +
                  "': vxbindc binds each schema document as written; write the changes into a "
                  "copy of that schema and include the copy");
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

// The head of the substitution group a global element joins, as written.
void Reader::ReadSubstitution(const CXmlElement* e, ElementDecl& decl) {
  if (std::optional<std::string> head = Attr(e, "substitutionGroup"))
    decl.substitutionGroup = ParseQName(e, *head);
  decl.abstract = BoolAttr(e, "abstract");
  decl.block = BlockAttr(e, "block", m_schema.blockDefault);
}

void Reader::ReadIdentityConstraint(const CXmlElement* e, ElementDecl& decl) {
  IdentityConstraint constraint;
  constraint.pos = Pos(e);
  constraint.kind = Is(e, "unique") ? IdentityConstraint::Kind::Unique
                    : Is(e, "key")  ? IdentityConstraint::Kind::Key
                                    : IdentityConstraint::Kind::KeyRef;
  if (constraint.kind == IdentityConstraint::Kind::KeyRef) {
    CheckAttributes(e, {"name", "refer", "id"});
    std::optional<std::string> refer = Attr(e, "refer");
    if (!refer) Fail(e, "xs:keyref without refer");
    constraint.refer = ParseQName(e, *refer);
  } else {
    CheckAttributes(e, {"name", "id"});
  }
  constraint.name = NameAttr(e);
  constraint.ns = m_schema.targetNamespace;
  bool selector = false;
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    if (Is(c, "selector")) {
      if (selector) Fail(c, Name(e) + " with more than one xs:selector");
      selector = true;
      constraint.selector = ReadIdentityXPath(c, false);
    } else if (Is(c, "field")) {
      if (!selector) Fail(c, "xs:field before the xs:selector of " + Name(e));
      constraint.fields.push_back(ReadIdentityXPath(c, true));
    } else {
      Fail(c, "unsupported " + Name(c) + " inside " + Name(e));
    }
  }
  if (!selector) Fail(e, Name(e) + " '" + constraint.name + "' without xs:selector");
  if (constraint.fields.empty()) Fail(e, Name(e) + " '" + constraint.name + "' without xs:field");
  decl.identity.push_back(std::move(constraint));
}

XPathExpr Reader::ReadIdentityXPath(const CXmlElement* e, bool field) {
  CheckAttributes(e, {"xpath", "id"});
  CheckOnlyAnnotation(e);
  std::optional<std::string> text = Attr(e, "xpath");
  if (!text) Fail(e, Name(e) + " without an xpath");
  XPathExpr xpath;
  std::string error;
  auto lookup = [e](const std::string& prefix, std::string& ns) {
    String uri;
    if (!e->LookupNamespaceURI(VxVevAva5::Utf16::FromUtf8(prefix), uri)) return false;
    ns = U8(uri);
    return true;
  };
  if (!ParseIdentityXPath(*text, field, lookup, xpath, error))
    Fail(e, "invalid XPath '" + *text + "' of " + Name(e) + ": " + error);
  return xpath;
}

// The type attribute or the one anonymous type inside an element or
// attribute declaration (`owner` null for an attribute).
void Reader::ReadTypeOfDeclaration(const CXmlElement* e, TypeUse& type, ElementDecl* owner,
                                   const ComplexType* enclosing) {
  if (std::optional<std::string> name = Attr(e, "type")) type.name = ParseQName(e, *name);
  for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
    if (SkipChild(e, c)) continue;
    // Identity constraints change no binding: kept for validation on read.
    if (owner != nullptr && (Is(c, "unique") || Is(c, "key") || Is(c, "keyref"))) {
      ReadIdentityConstraint(c, *owner);
      continue;
    }
    bool simple = Is(c, "simpleType");
    bool complex = owner != nullptr && Is(c, "complexType");
    if (!simple && !complex) Fail(c, "unsupported " + Name(c) + " inside " + Name(e));
    if (type.name || type.simple || type.complex) Fail(c, Name(e) + " with more than one type");
    if (Attr(c, "name")) Fail(c, "a local " + Name(c) + " cannot have a name");
    if (simple) {
      type.simple = ReadSimpleType(c, false, NameAttr(e));
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
    } else if (Is(c, "complexContent") && Is(e, "complexType")) {
      if (type.group || type.textBase || !type.attributes.empty())
        Fail(c, "xs:complexContent must be the only content of " + Name(e));
      ReadComplexContent(c, type);
    } else if (Is(c, "simpleContent") && Is(e, "complexType")) {
      if (type.group || type.textBase || !type.attributes.empty())
        Fail(c, "xs:simpleContent must be the only content of " + Name(e));
      ReadSimpleContent(c, type);
    } else if (!ReadAttributeContent(c, type.attributes, type.attributeGroupRefs,
                                     type.anyAttribute)) {
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
    if (!ReadAttributeContent(c, type.attributes, type.attributeGroupRefs, type.anyAttribute))
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
  Particle particle = NewParticle(e);
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
    if (!ReadAttributeContent(c, group->attributes, group->refs, group->anyAttribute))
      Fail(c, "unsupported " + Name(c) + " inside " + Name(e));
  }
  m_schema.namedAttributeGroups[group->name] = group.get();
  m_schema.attributeGroups.push_back(std::move(group));
}

bool Reader::ReadAttributeContent(const CXmlElement* e, std::vector<AttributeDecl>& attributes,
                                  std::vector<std::pair<QName, SourcePos>>& groupRefs,
                                  std::optional<Wildcard>& anyAttribute) {
  if (Is(e, "attribute"))
    ReadAttribute(e, &attributes);
  else if (Is(e, "attributeGroup"))
    groupRefs.push_back(AttributeGroupRef(e));
  else if (Is(e, "anyAttribute"))
    ReadAnyAttribute(e, anyAttribute);
  else
    return false;
  return true;
}

std::pair<QName, SourcePos> Reader::AttributeGroupRef(const CXmlElement* e) {
  CheckAttributes(e, {"ref", "id"});
  CheckOnlyAnnotation(e);
  std::optional<std::string> ref = Attr(e, "ref");
  if (!ref) Fail(e, "unsupported xs:attributeGroup without ref inside a type");
  return {ParseQName(e, *ref), Pos(e)};
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
  Particle particle = NewParticle(e);
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
                      "fixed", "nillable", "block"});
  Particle particle = NewParticle(e);
  if (*type.group == GroupKind::All && particle.maxOccurs != 1 && particle.maxOccurs != 0)
    Fail(e, "maxOccurs must be 0 or 1 inside xs:all");
  if (particle.maxOccurs == 0) return;  // the element may not appear: no member

  if (std::optional<std::string> ref = Attr(e, "ref")) {
    for (const char* other : {"name", "type", "form", "default", "fixed", "nillable", "block"})
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
    decl->block = BlockAttr(e, "block", m_schema.blockDefault);
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
  if (use != "optional" && use != "required" && use != "prohibited")
    Fail(e, "invalid use '" + use + "'");
  attribute.required = use == "required";
  attribute.prohibited = use == "prohibited";
  attribute.defaultValue = Attr(e, "default");
  attribute.fixedValue = Attr(e, "fixed");
  if (attribute.defaultValue && attribute.fixedValue)
    Fail(e, "xs:attribute with both default and fixed");
  if (attribute.defaultValue && attribute.required)
    Fail(e, "a required attribute cannot have a default");
  if (attribute.defaultValue && attribute.prohibited)
    Fail(e, "a prohibited attribute cannot have a default");
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

SimpleType* Reader::ReadSimpleType(const CXmlElement* e, bool global, const std::string& hint) {
  CheckAttributes(e, {"name", "id", "final"});
  auto type = std::make_unique<SimpleType>();
  type->pos = Pos(e);
  type->hint = hint;
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
  } else {
    CheckAttributes(restriction, {"base", "id"});
    std::optional<std::string> base = Attr(restriction, "base");
    if (base) type->base = ParseQName(restriction, *base);
    bool first = true, anonymousBase = false;
    for (const CXmlElement* c = restriction->GetFirstElement(); c; c = c->GetNextSiblingElement()) {
      if (SkipChild(restriction, c)) continue;
      if (Is(c, "simpleType")) {
        // The base as an anonymous type, read from the work list.
        if (base) Fail(c, "xs:restriction with both a base and an xs:simpleType");
        if (!first) Fail(c, "xs:simpleType must come first inside xs:restriction");
        if (Attr(c, "name")) Fail(c, "a local " + Name(c) + " cannot have a name");
        m_pendingMembers.push_back(PendingMember{c, type.get(), kBaseIndex});
        anonymousBase = true;
      } else {
        ReadFacet(c, *type);
      }
      first = false;
    }
    if (!base && !anonymousBase)
      Fail(restriction, "xs:restriction without a base or an xs:simpleType");
  }
  SimpleType* raw = type.get();
  m_schema.simpleTypes.push_back(std::move(type));
  if (global) m_schema.namedSimpleTypes[raw->name] = raw;
  if (!m_readingMembers) ReadPendingMembers();
  return raw;
}

void Reader::ReadPendingMembers() {
  m_readingMembers = true;
  while (!m_pendingMembers.empty()) {
    PendingMember next = m_pendingMembers.front();
    m_pendingMembers.pop_front();
    SimpleType& holder = *next.holder;
    if (next.index == kBaseIndex) {
      holder.anonymousBase =
          ReadSimpleType(next.node, false, holder.name.empty() ? holder.hint : holder.name);
    } else {
      SimpleType* member = ReadSimpleType(next.node, false, holder.name + "Member");
      holder.memberTypes[next.index].simple = member;
    }
  }
  m_readingMembers = false;
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
    if (!IsSmallNumber(*value)) Fail(e, "invalid " + Name(e) + " value '" + *value + "'");
    int n = std::stoi(*value);
    (facet == "length" ? f.length : facet == "minLength" ? f.minLength : f.maxLength) = n;
  } else {
    (facet == "minInclusive"   ? f.minInclusive
     : facet == "maxInclusive" ? f.maxInclusive
     : facet == "minExclusive" ? f.minExclusive
                               : f.maxExclusive) = *value;
  }
}

// -- wildcards, value constraints, lists and unions ------------------------------

// The namespace constraint of xs:any or xs:anyAttribute, as the library's
// untyped content takes it. Its checks are the library's: a URI of the list
// (and ##other, when there is a target namespace) also admits unqualified
// names, which XML Schema would not.
Wildcard Reader::ReadWildcard(const CXmlElement* e) {
  CheckOnlyAnnotation(e);
  Wildcard wildcard;
  wildcard.pos = Pos(e);
  wildcard.target = m_schema.targetNamespace;
  std::string process = Attr(e, "processContents").value_or("strict");
  if (process != "strict" && process != "lax" && process != "skip")
    Fail(e, "invalid processContents '" + process + "'");
  wildcard.process = process == "strict" ? Process::Strict
                     : process == "lax"  ? Process::Lax
                                         : Process::Skip;
  std::string text = Attr(e, "namespace").value_or("##any");
  std::vector<std::string> tokens = Words(text);
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
  Particle particle = NewParticle(e);
  particle.any = ReadWildcard(e);
  if (particle.maxOccurs == 0) return;
  type.particles.push_back(std::move(particle));
}

void Reader::ReadAnyAttribute(const CXmlElement* e, std::optional<Wildcard>& target) {
  CheckAttributes(e, {"id", "namespace", "processContents"});
  if (target) Fail(e, "more than one xs:anyAttribute in one place");
  target = ReadWildcard(e);
}

void Reader::ReadValueConstraint(const CXmlElement* e, ElementDecl& decl) {
  decl.nillable = BoolAttr(e, "nillable");
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
  if (!IsSmallNumber(*value) || (facet == "totalDigits" && std::stoi(*value) == 0))
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
  for (const std::string& name : Words(Attr(e, list ? "itemType" : "memberTypes").value_or(""))) {
    TypeUse use;
    use.name = ParseQName(e, name);
    type.memberTypes.push_back(use);
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
}

// -- derivation of complex types -----------------------------------------------
//
// xs:complexContent and xs:simpleContent as written: the base by name, the
// derivation's own content and attributes. Joining them with the base's is
// the resolver's business.

void Reader::CheckComplexTypeAttributes(const CXmlElement* e, ComplexType& type) {
  // block and final only limit which derivations are allowed: no binding
  // changes with them. block is kept for validation on read.
  CheckAttributes(e, {"name", "id", "mixed", "abstract", "block", "final"});
  type.abstract = BoolAttr(e, "abstract");
  type.block = BlockAttr(e, "block", m_schema.blockDefault) & (Block_Extension | Block_Restriction);
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
  // Said here, it overrides what xs:complexType says.
  if (Attr(e, "mixed")) type.mixed = BoolAttr(e, "mixed");
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
    if (ReadAttributeContent(c, type.attributes, type.attributeGroupRefs, type.anyAttribute)) {
      continue;
    } else if (!type.attributes.empty() || !type.attributeGroupRefs.empty() || type.anyAttribute) {
      Fail(c, "the text's facets must come before the attributes");
    } else if (Is(c, "simpleType")) {
      if (text || type.text) Fail(c, "xs:simpleType must come first inside " + Name(e));
      if (Attr(c, "name")) Fail(c, "a local " + Name(c) + " cannot have a name");
      type.text = ReadSimpleType(c, false, hint);
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

}  // namespace

void ReadSchema(const CXmlDocument& document, Schema& schema, ReadMode mode) {
  Reader(schema, mode).Read(document.GetDocumentElement());
}

}  // namespace vxbindc
