// The schema model of vxbindc: what the reader takes from a schema document
// and the resolver completes, and what the generator turns into classes.
// Components refer to each other by plain pointers; a Schema owns all of its
// components, and the built-in types live as long as the program.
#ifndef VXBIND_COMPILER_SCHEMA_H
#define VXBIND_COMPILER_SCHEMA_H

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Diagnostics.h"

namespace vxbindc {

// Texts are UTF-8 throughout the compiler.
extern const char* const kXsdNamespace;  // http://www.w3.org/2001/XMLSchema
// http://www.w3.org/XML/1998/namespace: built in, never read from a file.
extern const char* const kXmlNamespace;

struct QName {
  std::string ns;
  std::string local;
  std::string text;  // as written in the schema, for messages
};

enum class Whitespace { Preserve, Replace, Collapse };

// The facets in force on a simple type, accumulated along its derivation.
struct Facets {
  std::optional<std::string> pattern;
  int length = -1;
  int minLength = -1;
  int maxLength = -1;
  std::optional<std::string> minInclusive;
  std::optional<std::string> maxInclusive;
  std::optional<std::string> minExclusive;
  std::optional<std::string> maxExclusive;
  // The digit facets, -1 when absent (decimal and the integer types);
  // totalDigits is also carried into the bounds where it can be (see the
  // resolver), which keeps the integer collections' quick check exact.
  int totalDigits = -1;
  int fractionDigits = -1;

  bool Empty() const {
    return !pattern && length < 0 && minLength < 0 && maxLength < 0 && !minInclusive &&
           !maxInclusive && !minExclusive && !maxExclusive && totalDigits < 0 && fractionDigits < 0;
  }
};

struct ComplexType;
struct TypeUse;

// How a simple type is made: by restriction (atomic, or a restriction of a
// list or union type, which keeps the variety of its base), xs:list or
// xs:union. Lists and unions are held as their text.
enum class Variety { Atomic, List, Union };

struct SimpleType {
  SourcePos pos;
  std::string name;  // empty: anonymous
  // What the schema says: the restriction base and the facets of this step.
  QName base;
  Facets ownFacets;
  std::vector<std::string> ownEnumeration;

  // Resolved. A built-in type has itemType set and no base.
  const SimpleType* baseType = nullptr;
  std::string itemType;  // the ItemType suffix: "i4", "string", "datetime", ...
  Whitespace whitespace = Whitespace::Collapse;
  Facets facets;
  std::vector<std::string> enumeration;
  // The type whose enumeration facets give the values; its C++ enum serves
  // every type derived from it without enumeration facets of its own.
  const SimpleType* enumOwner = nullptr;
  bool resolved = false;
  // The text of an xs:simpleContent restriction: the base is the text type
  // of the base complex type, known only once that type is resolved.
  const SimpleType* presetBase = nullptr;

  std::string hint;  // anonymous: the name of its element or attribute
  bool IsEnum() const { return enumOwner != nullptr; }

  // xs:whiteSpace of this step; xs:list's item type or xs:union's member
  // types (named or anonymous), resolved but not checked against.
  std::optional<Whitespace> ownWhitespace;
  Variety variety = Variety::Atomic;
  std::vector<TypeUse> memberTypes;
  // xs:restriction whose base is an anonymous xs:simpleType child.
  SimpleType* anonymousBase = nullptr;
};

struct ElementDecl;

// An XPath of an identity constraint (xs:selector, xs:field), parsed, its
// prefixes resolved: paths joined by "|", each an optional ".//" and its
// steps ("." steps left out). A field's path may end with an attribute.
struct XPathStep {
  enum class Kind {
    Child,
    ChildInNamespace,
    AnyChild,
    Attribute,
    AttributeInNamespace,
    AnyAttribute
  };
  Kind kind = Kind::Child;
  std::string ns;     // Child, Attribute and the InNamespace kinds
  std::string local;  // Child, Attribute
};
struct XPathPath {
  bool descendant = false;
  std::vector<XPathStep> steps;
};
struct XPathExpr {
  std::string text;  // as written
  std::vector<XPathPath> paths;
};

// How the values of a field compare (the library's IdentityValue): the
// type the compiler found for what the field selects, Text where it cannot
// tell.
enum class FieldValue { Text, String, Replaced, Decimal, Float, Double, Boolean };

// xs:unique, xs:key or xs:keyref of an element declaration.
struct IdentityConstraint {
  enum class Kind { Unique, Key, KeyRef };
  SourcePos pos;
  Kind kind = Kind::Unique;
  std::string name;
  std::string ns;  // the target namespace of its schema document
  XPathExpr selector;
  std::vector<XPathExpr> fields;
  std::vector<FieldValue> fieldValues;  // one per field, once resolved
  std::optional<QName> refer;           // a keyref's key or unique
};

// The values of block and blockDefault: what may not replace an element's
// type (a type derived by extension or restriction) or the element itself
// (a member of its substitution group).
enum BlockFlags : unsigned {
  Block_Extension = 1,
  Block_Restriction = 2,
  Block_Substitution = 4,
};

// The type of an element or attribute: named (resolved later) or anonymous.
struct TypeUse {
  std::optional<QName> name;
  const SimpleType* simple = nullptr;  // anonymous, or resolved
  ComplexType* complex = nullptr;      // anonymous, or resolved
  // An element without a type or of xs:anyType: untyped content.
  bool untyped = false;
};

struct ElementDecl {
  SourcePos pos;
  std::string name;
  std::string ns;
  bool global = false;
  TypeUse type;
  // The value an empty element stands for, or the only value it may have.
  std::optional<std::string> defaultValue;
  std::optional<std::string> fixedValue;
  // nillable="true": the element may stand nil, with xsi:nil="true".
  bool nillable = false;
  // Global elements: the head of the substitution group it belongs to, and
  // whether it may appear itself.
  std::optional<QName> substitutionGroup;
  bool abstract = false;
  // block (or the schema's blockDefault): the derivations and substitutions
  // that may not replace the element's type or the element (BlockFlags).
  unsigned block = 0;
  // A global element of a simple type: the class that holds its value when
  // it is the root of a document.
  struct ComplexType* rootClass = nullptr;
  std::string documentation;  // its xs:documentation, whitespace collapsed
  // Its identity constraints, checked when documents are read with
  // validation on.
  std::vector<IdentityConstraint> identity;
};

// xs:any or xs:anyAttribute: the namespace constraint as the library takes
// it (URIs and the keywords ##any, ##other, ##local, ##targetNamespace,
// separated by single spaces), and processContents. The content is held as
// untyped content whatever processContents says; lax and strict have the
// library check it, when read, against the global declarations of the
// schema sets the program was built with.
enum class Process { Skip, Lax, Strict };
struct Wildcard {
  SourcePos pos;
  std::string namespaces = "##any";
  // The namespace that ##targetNamespace and ##other name: that of the
  // schema document the wildcard was read from (or worked out in).
  std::string target;
  Process process = Process::Skip;  // what a wildcard made by the compiler checks
};

enum class GroupKind { Sequence, Choice, All };

struct Particle {
  SourcePos pos;
  std::optional<QName> ref;       // an element reference, resolved into decl
  ElementDecl* decl = nullptr;    // local declaration, or the referenced one
  ComplexType* group = nullptr;   // or a nested model group (a pseudo type)
  std::optional<QName> groupRef;  // a reference to a named group, resolved into group
  std::optional<Wildcard> any;    // or an xs:any
  // A member of a substitution group standing for its head: the head, when
  // the head's block (or a type's along the derivation) forbids it there.
  const ElementDecl* substitutionBlockedBy = nullptr;
  int minOccurs = 1;
  int maxOccurs = 1;  // -1: unbounded
};

struct AttributeDecl {
  SourcePos pos;
  std::optional<QName> ref;  // a reference to a global attribute, resolved into the rest
  std::string name;
  std::string ns;
  TypeUse type;
  bool required = false;
  // use="prohibited": in a restriction, the base's attribute of this name
  // is withdrawn; anywhere else the declaration stands for nothing.
  bool prohibited = false;
  std::optional<std::string> defaultValue;
  std::optional<std::string> fixedValue;
  std::string documentation;  // its xs:documentation, whitespace collapsed
};

// A complex type, or a model group that is a particle of another group (or
// that repeats or may be missing): such a group is a pseudo type, whose
// class has no element of its own and reads and writes its elements inside
// the element of the type that holds it.
struct ComplexType {
  SourcePos pos;
  bool pseudo = false;
  std::string name;                        // empty: anonymous
  const ElementDecl* owner = nullptr;      // anonymous: the element it belongs to
  const ComplexType* enclosing = nullptr;  // anonymous local or pseudo: the type holding it
  std::string documentation;               // its xs:documentation, whitespace collapsed
  std::optional<GroupKind> group;          // none: no element content
  // Simple content (xs:simpleContent/xs:extension): the type of the text.
  std::optional<QName> textBase;
  const SimpleType* text = nullptr;
  SourcePos groupPos;
  std::vector<Particle> particles;
  std::vector<AttributeDecl> attributes;
  // xs:attributeGroup references; their attributes join `attributes` when
  // the schema is resolved.
  std::vector<std::pair<QName, SourcePos>> attributeGroupRefs;
  // mixed="true": the text between the children is kept as one string and
  // as runs in place between them.
  bool mixed = false;
  // xs:anyAttribute, its own or from its attribute groups (the intersection).
  std::optional<Wildcard> anyAttribute;

  // Derivation from another complex type: xs:complexContent, or
  // xs:simpleContent whose base is a complex type. A restriction of
  // xs:anyType is no derivation: the type reads as a plain complex type.
  enum class Derivation { None, Extension, Restriction };
  Derivation derivation = Derivation::None;
  std::optional<QName> baseName;  // as written, resolved into base
  SourcePos basePos;
  ComplexType* base = nullptr;
  bool simpleContent = false;  // derived through xs:simpleContent
  bool abstract = false;
  // block (or the schema's blockDefault): the derivations whose types xsi:type
  // may not name for an element of this type (BlockFlags).
  unsigned block = 0;
  // An extension's content and attributes are its base's followed by its
  // own: the first inheritedParticles particles and inheritedAttributes
  // attributes are the base's. A restriction restates its content, which
  // must name elements and attributes of its base.
  size_t inheritedParticles = 0;
  size_t inheritedAttributes = 0;
  bool derivationSettled = false;
  // Attributes of the base's class that elements of this type never carry:
  // prohibited by this restriction or by one up the chain (namespace, name).
  std::set<std::pair<std::string, std::string>> withheld;
  // The use="prohibited" declarations of this type, out of `attributes`.
  std::vector<AttributeDecl> prohibitedAttributes;
  // A restriction's particles that restate elements admitted by a wildcard
  // of the base (by index in `particles`): members of this type's own.
  std::set<size_t> fromWildcard;
  // The global elements read into this type's class as a document's root
  // that have identity constraints.
  std::vector<const ElementDecl*> identityRoots;
};

// A named xs:attributeGroup: attributes and references to other groups.
struct AttributeGroup {
  SourcePos pos;
  std::string name;
  std::vector<AttributeDecl> attributes;
  std::vector<std::pair<QName, SourcePos>> refs;
  std::optional<Wildcard> anyAttribute;
};

// An xs:include or xs:import of a schema document, followed by the loader.
struct Directive {
  SourcePos pos;
  bool include = false;
  std::string ns;  // import: the namespace ("" for none)
  std::optional<std::string> location;
};

struct Schema {
  std::string file;  // as given on the command line
  std::string targetNamespace;
  bool elementsQualified = false;
  bool attributesQualified = false;
  unsigned blockDefault = 0;  // BlockFlags

  // Every component in document order, global and local alike.
  std::vector<std::unique_ptr<SimpleType>> simpleTypes;
  std::vector<std::unique_ptr<ComplexType>> complexTypes;
  std::vector<std::unique_ptr<ElementDecl>> elements;

  // The global symbol spaces, by local name (all in the target namespace).
  std::map<std::string, SimpleType*> namedSimpleTypes;
  std::map<std::string, ComplexType*> namedComplexTypes;
  std::map<std::string, ElementDecl*> globalElements;
  std::vector<ElementDecl*> globalElementOrder;
  std::vector<std::unique_ptr<AttributeDecl>> attributes;  // the global ones
  std::map<std::string, AttributeDecl*> globalAttributes;
  // Named model groups are pseudo types in complexTypes, found here by name.
  std::map<std::string, ComplexType*> namedGroups;
  std::vector<std::unique_ptr<AttributeGroup>> attributeGroups;
  std::map<std::string, AttributeGroup*> namedAttributeGroups;
  // Texts of xs:simpleContent restrictions, with their types: resolved when
  // the derivation is, after the base's text.
  std::vector<std::pair<ComplexType*, std::unique_ptr<SimpleType>>> restrictedTexts;

  // -- documents of a run: xs:include and xs:import ---------------------------
  std::vector<Directive> directives;
  std::set<std::string> importedNamespaces;
  // Set by the loader before reading a document included by one with a
  // target namespace: a document without one then takes this namespace (a
  // chameleon include), its unprefixed references too. Cleared by the
  // reader when the document has a namespace of its own.
  std::optional<std::string> chameleonNamespace;
  bool usesXmlNamespace = false;  // refers to xml:lang, xml:space, ...
  // A document reached by include or import that is not on the command line
  // is generated into the files of the first command-line schema (in the
  // order given) that reaches it: that schema. Null for the schemas of the
  // command line, which have files of their own.
  const Schema* outputUnit = nullptr;
};

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_SCHEMA_H
