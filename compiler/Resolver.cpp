#include "Resolver.h"

#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Builtins.h"
#include "ReaderSupport.h"
#include "SchemaChecker.h"

namespace vxbindc {

namespace {

int Strictness(Whitespace whitespace) {
  return whitespace == Whitespace::Preserve ? 0 : whitespace == Whitespace::Replace ? 1 : 2;
}
const char* WhitespaceName(Whitespace whitespace) {
  return whitespace == Whitespace::Preserve  ? "preserve"
         : whitespace == Whitespace::Replace ? "replace"
                                             : "collapse";
}

// -- namespace constraints of wildcards ------------------------------------------
//
// XML Schema's three forms: any namespace; not(x), every namespace but x and
// no namespace (x itself may be no namespace, ""); a set of namespaces, ""
// standing for unqualified names. The library's wildcards say them as
// ##any; ##other with x as the target namespace; a list of URIs and ##local.
struct Constraint {
  enum Form { Any, Not, Set } form = Any;
  std::string negated;
  std::set<std::string> names;
};

Constraint ConstraintOf(const Wildcard& wildcard) {
  Constraint c;
  size_t at = 0;
  const std::string& text = wildcard.namespaces;
  while (at < text.size()) {
    size_t end = text.find(' ', at);
    std::string token = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? text.size() : end + 1;
    if (token == "##any") return c;
    if (token == "##other") {
      c.form = Constraint::Not;
      c.negated = wildcard.target;
      return c;
    }
    c.form = Constraint::Set;
    c.names.insert(token == "##local"             ? std::string()
                   : token == "##targetNamespace" ? wildcard.target
                                                  : token);
  }
  return c;
}

// The wildcard that says `c`, at `pos` and read in a document of the
// namespace `target`; none for the empty set, which admits nothing.
std::optional<Wildcard> WildcardOf(const Constraint& c, const SourcePos& pos,
                                   const std::string& target) {
  Wildcard w;
  w.pos = pos;
  w.target = target;
  if (c.form == Constraint::Any) return w;
  if (c.form == Constraint::Not) {
    w.namespaces = "##other";
    w.target = c.negated;
    return w;
  }
  if (c.names.empty()) return std::nullopt;
  w.namespaces.clear();
  for (const std::string& name : c.names)
    w.namespaces += (w.namespaces.empty() ? "" : " ") + (name.empty() ? "##local" : name);
  return w;
}

// Attribute Wildcard Union (Structures 3.10.6). The one union that XML
// Schema 1.0 cannot say, not(x) with a set that holds no namespace but not
// x, is widened to any namespace.
Constraint Union(const Constraint& a, const Constraint& b) {
  if (a.form == Constraint::Any || b.form == Constraint::Any) return Constraint{};
  if (a.form == Constraint::Set && b.form == Constraint::Set) {
    Constraint c = a;
    c.names.insert(b.names.begin(), b.names.end());
    return c;
  }
  if (a.form == Constraint::Not && b.form == Constraint::Not) {
    if (a.negated == b.negated) return a;
    return Constraint{Constraint::Not, "", {}};
  }
  const Constraint& negation = a.form == Constraint::Not ? a : b;
  const Constraint& set = a.form == Constraint::Not ? b : a;
  bool absent = set.names.count("") != 0;
  if (negation.negated.empty()) return absent ? Constraint{} : negation;
  bool negated = set.names.count(negation.negated) != 0;
  if (negated && absent) return Constraint{};
  if (negated) return Constraint{Constraint::Not, "", {}};
  if (absent) return Constraint{};  // not expressible: widened
  return negation;
}

// Attribute Wildcard Intersection (Structures 3.10.6). Two negations of
// different namespaces, which XML Schema 1.0 cannot say, keep the first.
Constraint Intersection(const Constraint& a, const Constraint& b) {
  if (a.form == Constraint::Any) return b;
  if (b.form == Constraint::Any) return a;
  if (a.form == Constraint::Set && b.form == Constraint::Set) {
    Constraint c = a;
    c.names.clear();
    for (const std::string& name : a.names)
      if (b.names.count(name)) c.names.insert(name);
    return c;
  }
  if (a.form == Constraint::Not && b.form == Constraint::Not) {
    if (a.negated.empty()) return b;
    return a;  // equal, or not expressible: widened
  }
  const Constraint& negation = a.form == Constraint::Not ? a : b;
  Constraint c = a.form == Constraint::Not ? b : a;
  c.names.erase(negation.negated);
  c.names.erase("");
  return c;
}

bool operator==(const Constraint& a, const Constraint& b) {
  return a.form == b.form && a.negated == b.negated && a.names == b.names;
}

// The union or intersection (`op`) of the wildcards `a` and `b`, said at
// `a`; one of them as written where it is the result.
std::optional<Wildcard> Combine(Constraint (*op)(const Constraint&, const Constraint&),
                                const Wildcard& a, const Wildcard& b) {
  Constraint result = op(ConstraintOf(a), ConstraintOf(b));
  if (result == ConstraintOf(a)) return a;
  if (result == ConstraintOf(b)) return b;
  return WildcardOf(result, a.pos, a.target);
}

// Whether `c` admits the namespace `ns` ("" for none).
bool Admits(const Constraint& c, const std::string& ns) {
  if (c.form == Constraint::Any) return true;
  if (c.form == Constraint::Not) return !ns.empty() && ns != c.negated;
  return c.names.count(ns) != 0;
}

// Whether `member` may not stand for `head` where the head is expected: the
// head's block says substitution, or a method of the derivation of the
// member's type from the head's is in the head's block, the head type's or
// that of a type in between.
bool SubstitutionBlocked(const ElementDecl& head, const ElementDecl& member) {
  if (head.block & Block_Substitution) return true;
  unsigned blocking = head.block;
  unsigned methods = 0;
  if (head.type.complex != nullptr) {
    blocking |= head.type.complex->block;
    size_t steps = 0;
    for (const ComplexType* t = member.type.complex;
         t != nullptr && t != head.type.complex && steps++ < 4096; t = t->base) {
      methods |= t->derivation == ComplexType::Derivation::Extension ? Block_Extension
                                                                      : Block_Restriction;
      if (t != member.type.complex) blocking |= t->block;
    }
  } else if (member.type.simple != head.type.simple) {
    methods = Block_Restriction;
  }
  return (methods & blocking) != 0;
}

}  // namespace

template <class T>
T* Resolver::Find(std::map<std::string, T*> Schema::*space, const QName& name,
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

std::vector<Schema*> Resolver::Documents() const {
  std::vector<Schema*> documents;
  if (!m_run) {
    documents.push_back(&m_schema);
  } else {
    for (const auto& entry : *m_run) documents.push_back(entry.second);
  }
  return documents;
}

Schema& Resolver::DocumentOf(const ComplexType& type) const {
  for (Schema* document : Documents())
    for (const auto& owned : document->complexTypes)
      if (owned.get() == &type) return *document;
  return m_schema;
}

// -- simple types ---------------------------------------------------------------

void Resolver::ResolveSimpleTypes() {
  ResolveMemberTypes();  // the members of lists and unions before their types
  for (auto& type : m_schema.simpleTypes) ResolveSimpleType(type.get());
  // Lists of QNames hold the names, not their text, once every item type
  // is known (a list with an enumeration stays an enumeration of texts).
  for (auto& type : m_schema.simpleTypes) {
    SimpleType& t = *type;
    if (t.variety != Variety::List || t.IsEnum()) continue;
    const SimpleType* list = &t;
    while (list->memberTypes.empty() && list->baseType != nullptr) list = list->baseType;
    const SimpleType* item = list->memberTypes.empty() ? nullptr : list->memberTypes[0].simple;
    if (item != nullptr && item->resolved && item->itemType == "QName") t.itemType = "QNameList";
  }
}

void Resolver::ResolveMemberTypes() {
  for (auto& type : m_schema.simpleTypes)
    for (TypeUse& member : type->memberTypes) ResolveTypeUse(member, type->pos, true);
}

// Resolves the base chain of `type` without recursion: walks up to a
// resolved type, then settles the types met on the way down again.
void Resolver::ResolveSimpleType(SimpleType* type) {
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
    } else if (current->anonymousBase) {
      named = current->anonymousBase;
      resolvedBase = named;
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
    bool measured = t.itemType == "string" || t.itemType == "QName" || t.itemType == "hexBinary" ||
                    t.itemType == "base64Binary";
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
      // An enumeration of QNames lists names in namespaces, which a C++
      // enum of texts cannot hold: such a type stays a QName value.
      t.enumOwner = t.itemType == "QName" ? nullptr : &t;
    } else {
      t.enumeration = base.enumeration;
      t.enumOwner = base.enumOwner;
    }
    FinishFacets(t, base);
    t.resolved = true;
  }
}

// Called with the base's whitespace taken: a list or union sets its own,
// a restriction keeps its base's variety and may tighten the whitespace.
void Resolver::ApplyWhitespaceFacet(SimpleType& t, const SimpleType& base) {
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

// Facets in force that no value could satisfy together: a minimum length
// above the maximum, a length outside them, a lower bound above the upper
// one (or equal to it where either excludes it). Bounds are compared for
// the number types, whose values the compiler can order.
void Resolver::CheckFacetsAgree(const SimpleType& t) {
  const Facets& f = t.facets;
  if (f.minLength >= 0 && f.maxLength >= 0 && f.minLength > f.maxLength)
    throw CompileError(t.pos, "minLength is greater than maxLength");
  if (f.length >= 0 && ((f.minLength >= 0 && f.minLength > f.length) ||
                        (f.maxLength >= 0 && f.maxLength < f.length)))
    throw CompileError(t.pos, "length is outside minLength and maxLength");
  static const char* const kNumbers[] = {"decimal", "integer", "i1",  "i2",  "i4", "i8",
                                         "ui1",     "ui2",     "ui4", "ui8", "r4", "r8"};
  bool number = false;
  for (const char* name : kNumbers) number = number || t.itemType == name;
  if (!number || t.variety != Variety::Atomic) return;
  const bool floating = t.itemType == "r4" || t.itemType == "r8";
  // -1, 0 or 1 as a is below, equal to or above b; 2 when either is no
  // number the compiler can order (INF, NaN: left to the library).
  auto compare = [&](const std::string& a, const std::string& b) {
    if (!IsLexical(t, a) || !IsLexical(t, b)) return 2;
    VxVevAva5::VxVariant x, y;
    const auto type = floating ? VxVevAva5::ItemType_r8 : VxVevAva5::ItemType_decimal;
    const auto rule = VxVevAva5::CWhitespaceUtils::WhitespaceRule_Collapse;
    try {
      x.FromString(VxVevAva5::Utf16::FromUtf8(a), type, rule);
      y.FromString(VxVevAva5::Utf16::FromUtf8(b), type, rule);
    } catch (const VxVevAva5::CVxException&) {
      return 2;
    }
    if (floating) {
      double u = x.GetR8(), v = y.GetR8();
      if (u != u || v != v) return 2;
      return u < v ? -1 : u > v ? 1 : 0;
    }
    return x.GetDecimal() < y.GetDecimal() ? -1 : x.GetDecimal() > y.GetDecimal() ? 1 : 0;
  };
  const std::optional<std::string>* lower[] = {&f.minInclusive, &f.minExclusive};
  const std::optional<std::string>* upper[] = {&f.maxInclusive, &f.maxExclusive};
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) {
      if (!*lower[i] || !*upper[j]) continue;
      int order = compare(**lower[i], **upper[j]);
      if (order == 1 || (order == 0 && (i == 1 || j == 1)))
        throw CompileError(t.pos, std::string(i == 0 ? "minInclusive" : "minExclusive") + " '" +
                                      **lower[i] + "' is not below " +
                                      (j == 0 ? "maxInclusive" : "maxExclusive") + " '" +
                                      **upper[j] + "'");
    }
}

// Called when the facets of `t` are settled by the common rules: the facets
// that say something else of a list or union, a C++ enumeration of its own
// for a type that reads its values by another whitespace rule than the
// enumeration's owner, and the digit facets.
void Resolver::FinishFacets(SimpleType& t, const SimpleType& base) {
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
  CheckFacetsAgree(t);

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
  // totalDigits n also bounds the value to n nines either way: said as
  // bounds too, kept where they are tighter than the bounds in force and
  // within the item type's range (exact for the integer types; the digit
  // facets themselves are checked by the library).
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

// -- declarations ---------------------------------------------------------------

void Resolver::ResolveGlobalAttributes() {
  for (auto& attribute : m_schema.attributes) ResolveTypeUse(attribute->type, attribute->pos, true);
}

void Resolver::ResolveDeclarations() {
  // A document read alone resolves its global attributes' types here, each
  // before its values are checked; in a run that was done for all documents
  // first, and this repeats nothing.
  for (auto& attribute : m_schema.attributes) {
    ResolveTypeUse(attribute->type, attribute->pos, true);
    CheckAttributeValues(*attribute);
  }
  InheritHeadTypes();
  for (auto& decl : m_schema.elements) {
    ResolveTypeUse(decl->type, decl->pos, false);
  }
  AddRootClasses();
  for (auto& type : m_schema.complexTypes) {
    ExpandAttributeGroups(*type);
    ResolveText(*type);
    ResolveParticles(*type);
    ResolveAttributes(*type);
  }
}

// An element of a substitution group without a type of its own has its
// head's (up the chain of heads that have none either); without any, it is
// untyped. The head's type is taken as written: its name, or the very
// anonymous type, whose class serves both.
void Resolver::InheritHeadTypes() {
  for (ElementDecl* decl : m_schema.globalElementOrder) {
    auto typeless = [](const ElementDecl& e) {
      return !e.type.name && !e.type.simple && !e.type.complex && !e.type.untyped;
    };
    if (!decl->substitutionGroup || !typeless(*decl)) continue;
    std::set<const ElementDecl*> seen{decl};
    const ElementDecl* head = decl;
    while (head->substitutionGroup && typeless(*head)) {
      const ElementDecl* next = Find(&Schema::globalElements, *head->substitutionGroup, head->pos);
      if (!next || !seen.insert(next).second) break;  // refused with the groups
      head = next;
    }
    if (head != decl && !typeless(*head)) {
      decl->type = head->type;
      // A name resolves again here; an anonymous type is shared as it is.
      if (decl->type.name) decl->type.simple = nullptr, decl->type.complex = nullptr;
      decl->type.untyped = false;
    }
  }
}

// A global element of a simple type gets a class of its own, whose text is
// the value, so that it can be the root of a document. Members that refer
// to the element still hold the value itself.
// An untyped one gets the class of xs:anyType: mixed content of any
// elements and attributes, checked laxly.
void Resolver::AddRootClasses() {
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
      any.any = Wildcard{decl->pos, "##any", m_schema.targetNamespace, Process::Lax};
      any.minOccurs = 0;
      any.maxOccurs = -1;
      root->group = GroupKind::Sequence;
      root->particles.push_back(std::move(any));
      root->mixed = true;
      root->anyAttribute =
          Wildcard{decl->pos, "##any", m_schema.targetNamespace, Process::Lax};
    }
    decl->rootClass = root.get();
    m_schema.complexTypes.push_back(std::move(root));
  }
}

// The type of the text of xs:simpleContent/xs:extension: a simple type, or
// a complex type of simple content of this document, which makes the type
// a derivation of that one.
void Resolver::ResolveText(ComplexType& type) {
  if (type.textBase && type.textBase->ns == m_schema.targetNamespace &&
      m_schema.namedComplexTypes.count(type.textBase->local)) {
    type.derivation = ComplexType::Derivation::Extension;
    type.baseName = std::move(type.textBase);
    type.basePos = type.groupPos;
    type.simpleContent = true;
    type.textBase.reset();
  }
  if (type.textBase) {
    TypeUse text;
    text.name = type.textBase;
    ResolveTypeUse(text, type.groupPos, true);
    type.text = text.simple;
  }
}

// References to named groups and global elements.
void Resolver::ResolveParticles(ComplexType& type) {
  for (Particle& particle : type.particles) {
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
}

// The attributes of a complex type: references take the global attribute's
// name, type and values; each is checked where it is resolved.
void Resolver::ResolveAttributes(ComplexType& type) {
  for (AttributeDecl& attribute : type.attributes) {
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
    CheckAttributeValues(attribute);
  }
  // Prohibited attributes stand for none: kept aside for a restriction,
  // which withdraws the base's attributes of their names.
  std::vector<AttributeDecl> kept;
  for (AttributeDecl& attribute : type.attributes)
    (attribute.prohibited ? type.prohibitedAttributes : kept).push_back(std::move(attribute));
  type.attributes = std::move(kept);
  for (const AttributeDecl& attribute : type.attributes)
    CheckAttributeUnique(type.attributes, attribute);
}

void Resolver::ResolveTypeUse(TypeUse& use, const SourcePos& pos, bool attribute) {
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

// Copies the attributes of the groups that `type` refers to, and of the
// groups those refer to, into the type, breadth first with a work list. A
// group met twice would give its attributes twice: refused, which also
// ends a group that contains itself.
void Resolver::ExpandAttributeGroups(ComplexType& type) {
  std::deque<std::pair<QName, SourcePos>> work(type.attributeGroupRefs.begin(),
                                               type.attributeGroupRefs.end());
  std::set<const AttributeGroup*> used;
  bool withdrawn = false;  // an empty intersection stays empty
  while (!work.empty()) {
    auto [name, pos] = work.front();
    work.pop_front();
    AttributeGroup* group = Find(&Schema::namedAttributeGroups, name, pos);
    if (!group) throw CompileError(pos, "unknown attribute group '" + name.text + "'");
    if (!used.insert(group).second)
      throw CompileError(pos, "the attribute group '" + name.text +
                                  "' is used twice in one type, or contains itself");
    for (const AttributeDecl& attribute : group->attributes) type.attributes.push_back(attribute);
    if (group->anyAttribute) {
      // The complete wildcard: the intersection of the type's own and its
      // groups'. An empty one admits nothing: no wildcard.
      if (!type.anyAttribute)
        type.anyAttribute = group->anyAttribute;
      else
        type.anyAttribute = Combine(Intersection, *type.anyAttribute, *group->anyAttribute);
      if (!type.anyAttribute) withdrawn = true;
    }
    work.insert(work.end(), group->refs.begin(), group->refs.end());
  }
  if (withdrawn) type.anyAttribute.reset();
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

void Resolver::ResolveBase(ComplexType& type) {
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
void Resolver::WrapContent(ComplexType& type) {
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

// The types derived from another complex type, with their bases found.
std::vector<ComplexType*> Resolver::DerivedTypes() const {
  std::vector<ComplexType*> derived;
  for (auto& type : m_schema.complexTypes)
    if (type->base) derived.push_back(type.get());
  return derived;
}

void Resolver::ResolveDerivationBases() {
  for (auto& type : m_schema.complexTypes)
    if (type->baseName) ResolveBase(*type);
  // Circular chains, walked without recursion.
  for (ComplexType* type : DerivedTypes()) {
    std::set<const ComplexType*> seen{type};
    for (const ComplexType* b = type->base; b; b = b->base)
      if (!seen.insert(b).second)
        throw CompileError(b->basePos, "circular derivation of the complex type '" + b->name + "'");
  }
}

void Resolver::WrapDerivedContents() {
  // Contents that cannot be joined into one flat sequence get a model group
  // of their own: the choice of the type that defines the base's content
  // (the nearest one up the chain with content of its own), and an
  // extension's own choice.
  for (ComplexType* type : DerivedTypes()) {
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
void Resolver::SettleDerivations() {
  for (ComplexType* start : DerivedTypes()) {
    std::vector<ComplexType*> chain;
    for (ComplexType* t = start; t && t->base && !t->derivationSettled; t = t->base)
      chain.push_back(t);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      SettleDerivation(**it);
      (*it)->derivationSettled = true;
    }
  }
}

void Resolver::SettleDerivation(ComplexType& type) {
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
    type.withheld = base.withheld;
    // The attribute wildcard: the union of the base's and its own.
    if (type.anyAttribute && base.anyAttribute)
      type.anyAttribute = Combine(Union, *type.anyAttribute, *base.anyAttribute);
    else if (base.anyAttribute)
      type.anyAttribute = base.anyAttribute;
    return;
  }

  // Restriction: the base's attributes stay but those it prohibits (and
  // those withdrawn further up); its wildcard is its own, within the base's.
  type.withheld = base.withheld;
  for (const AttributeDecl& attribute : type.prohibitedAttributes)
    type.withheld.emplace(attribute.ns, attribute.name);
  for (const AttributeDecl& attribute : type.attributes)
    type.withheld.erase(std::make_pair(attribute.ns, attribute.name));
  if (type.anyAttribute) {
    if (!base.anyAttribute)
      throw CompileError(
          type.anyAttribute->pos,
          "the restriction has an xs:anyAttribute, but its base type '" + baseText + "' has none");
    type.anyAttribute = Combine(Intersection, *type.anyAttribute, *base.anyAttribute);
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
  // The base's element wildcard, if its content is a flat list with one.
  const Particle* baseAny = nullptr;
  for (const Particle& inherited : base.particles)
    if (inherited.any) baseAny = baseAny ? nullptr : &inherited;
  for (size_t i = 0; i < type.particles.size(); ++i) {
    const Particle& particle = type.particles[i];
    if (particle.any) {
      if (!baseAny)
        throw CompileError(particle.pos, "unsupported xs:any in a restriction of a complex type");
      continue;
    }
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
    if (!known && baseAny && Admits(ConstraintOf(*baseAny->any), particle.decl->ns)) {
      // An element that the base's wildcard admits: a member of this type.
      type.fromWildcard.insert(i);
      continue;
    }
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

void Resolver::ResolveSubstitutionGroups() {
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
    // Every type derives from xs:anyType.
    bool derived = head->type.untyped;
    for (const SimpleType* t = decl->type.simple; t && head->type.simple; t = t->baseType) {
      // The built-in types are known by their item types only: a built-in
      // derives from another of its item type (normalizedString, string).
      bool builtins = !t->baseType && FindBuiltin(t->name) == t &&
                      FindBuiltin(head->type.simple->name) == head->type.simple;
      derived = derived || t == head->type.simple ||
                (builtins && (t->itemType == head->type.simple->itemType ||
                              head->type.simple->name == "anySimpleType"));
    }
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
  for (ComplexType* type : types) {
    if (type->group == GroupKind::All) {
      ExpandHeadsInAll(*type, direct);
      continue;
    }
    for (Particle& particle : type->particles) {
      if (!particle.decl || !particle.decl->global) continue;
      ElementDecl* head = particle.decl;
      if (!direct.count(head)) {
        if (head->abstract)
          throw CompileError(particle.pos,
                             "no element can stand for the abstract element '" + head->name + "'");
        continue;
      }
      ComplexType*& choice = choices[head];
      if (!choice) choice = SubstitutionChoice(head, direct);
      particle.group = choice;
      particle.decl = nullptr;
      particle.ref.reset();
    }
  }
}

// xs:all holds elements only, so a head of a substitution group there is
// replaced by the elements that may stand for it, each an optional member
// of the group: the class cannot then require one of them to be present
// (a mandatory head with a single element in its place stays mandatory).
void Resolver::ExpandHeadsInAll(
    ComplexType& type, const std::map<const ElementDecl*, std::vector<ElementDecl*>>& direct) {
  std::vector<Particle> expanded;
  for (Particle& particle : type.particles) {
    ElementDecl* head = particle.decl;
    if (head && head->global && head->abstract && !direct.count(head))
      throw CompileError(particle.pos,
                         "no element can stand for the abstract element '" + head->name + "'");
    if (!head || !head->global || !direct.count(head)) {
      expanded.push_back(std::move(particle));
      continue;
    }
    std::vector<ElementDecl*> members;
    std::deque<ElementDecl*> work{head};
    while (!work.empty()) {
      ElementDecl* decl = work.front();
      work.pop_front();
      if (!decl->abstract) members.push_back(decl);
      auto it = direct.find(decl);
      if (it != direct.end()) work.insert(work.end(), it->second.begin(), it->second.end());
    }
    if (members.empty())
      throw CompileError(particle.pos,
                         "no element can stand for the abstract element '" + head->name + "'");
    for (ElementDecl* decl : members) {
      Particle one = particle;
      one.decl = decl;
      one.ref.reset();
      if (decl != head && SubstitutionBlocked(*head, *decl)) one.substitutionBlockedBy = head;
      if (members.size() > 1) one.minOccurs = 0;
      expanded.push_back(std::move(one));
    }
  }
  for (size_t i = 0; i < expanded.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (expanded[i].decl && expanded[j].decl &&
          expanded[i].decl->name == expanded[j].decl->name &&
          expanded[i].decl->ns == expanded[j].decl->ns)
        throw CompileError(expanded[i].pos, "the element '" + expanded[i].decl->name +
                                                "' stands twice in one xs:all, as a member of a "
                                                "substitution group");
  type.particles = std::move(expanded);
}

ComplexType* Resolver::SubstitutionChoice(
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
      if (decl != head && SubstitutionBlocked(*head, *decl)) particle.substitutionBlockedBy = head;
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

// -- mixed content --------------------------------------------------------------

// Mixed content keeps its text as one string, the element's text, and its
// runs in place between the children. An extension of a mixed type is
// mixed, whatever it says itself.
void Resolver::ResolveMixedText() {
  for (auto& type : m_schema.complexTypes) {
    size_t steps = m_schema.complexTypes.size();  // derivations have no cycles; bounded anyway
    for (const ComplexType* t = type.get();
         !type->mixed && t->base && t->derivation == ComplexType::Derivation::Extension &&
         steps-- > 0;
         t = t->base)
      type->mixed = t->base->mixed;
    if (type->mixed) type->text = FindBuiltin("string");
  }
}

}  // namespace vxbindc
