// -----------------------------------------------------------------------------
// File: IdentityTable.h
// -----------------------------------------------------------------------------
//
// Made for generated code: the identity constraints (xs:unique, xs:key,
// xs:keyref) of an element declaration as constant tables, and the marks
// of members whose values are IDs or references to them. The row of the
// member that declares the element points to its table
// (ElementMember::Identity, MetadataTable.h); a global element read as a
// document's root finds its table through its class's table
// (ClassTable::rootIdentities).
//
// The XPaths are those of XML Schema's identity constraints, already
// parsed and with their prefixes resolved by the schema compiler: a path
// is an optional ".//" and a run of child steps, each a name test on a
// (namespace, local name) pair, "*" or "prefix:*" (the self steps "." are
// left out); a field's path may end with an attribute step.
//
//   constexpr IdentityStep kSteps[] = {
//       {IdentityStep_Child, u"urn:c", u"item"}, {IdentityStep_Attribute, u"", u"code"}};
//   constexpr IdentityPath kPaths[] = {{true, kSteps, 1}, {false, kSteps + 1, 1}};
//   constexpr IdentityField kFields[] = {{{u"@code", kPaths + 1, 1}, IdentityValue_Text}};
//   constexpr IdentityConstraint kConstraints[] = {
//       {IdentityKind_Key, u"itemCode", u"urn:c", {u".//c:item", kPaths, 1}, kFields, 1}};
//   constexpr IdentityTable kIdentity = {kConstraints, 1};
//
// Nothing here is read unless validation on read is on
// (CXmlSerializationContext::SetValidateOnRead).

#ifndef VXBIND_MODEL_IDENTITYTABLE_H
#define VXBIND_MODEL_IDENTITYTABLE_H

#include <cstddef>
#include <cstdint>

namespace VxVevAva5Data {

// What a member's value is to the document's IDs: an xs:ID (or a type
// derived from it), an xs:IDREF, a list of IDREFs (xs:IDREFS) or of IDs.
// Values are fixed: generated code stores them.
enum IdKind : uint8_t {
  IdKind_None = 0,
  IdKind_Id = 1,
  IdKind_IdRef = 2,
  IdKind_IdRefs = 3,
  IdKind_Ids = 4,
};

enum IdentityKind : uint8_t {
  IdentityKind_Unique = 0,
  IdentityKind_Key = 1,
  IdentityKind_KeyRef = 2,
};

enum IdentityStepKind : uint8_t {
  IdentityStep_Child = 0,                 // an element of that namespace and local name
  IdentityStep_ChildInNamespace = 1,      // prefix:*, any element of the namespace
  IdentityStep_AnyChild = 2,              // *
  IdentityStep_Attribute = 3,             // @name, a field's last step only
  IdentityStep_AttributeInNamespace = 4,  // @prefix:*
  IdentityStep_AnyAttribute = 5,          // @*
};

struct IdentityStep {
  IdentityStepKind kind;
  const char16_t* ns;    // "" for no namespace; unused by the "any" kinds
  const char16_t* name;  // unused but by Child and Attribute
};

// One path of an XPath: `descendant` for a leading ".//"; no steps: the
// context node itself (".", or ".//." with every descendant).
struct IdentityPath {
  bool descendant;
  const IdentityStep* steps;
  std::size_t stepCount;
};

// An XPath: its paths, joined by "|", and its text as the schema wrote it,
// for messages.
struct IdentityXPath {
  const char16_t* text;
  const IdentityPath* paths;
  std::size_t pathCount;
};

// How the values of a field compare, from the type the schema compiler
// found for what the field selects; Text where it could not tell (white
// space collapsed, then compared as text).
enum IdentityValue : uint8_t {
  IdentityValue_Text = 0,      // white space collapsed
  IdentityValue_String = 1,    // as it stands (xs:string)
  IdentityValue_Replaced = 2,  // tabs and line ends as spaces (xs:normalizedString)
  IdentityValue_Decimal = 3,   // decimals and integers by value: 1.0 = 1 = +01
  IdentityValue_Float = 4,     // by value, as xs:float rounds it
  IdentityValue_Double = 5,
  IdentityValue_Boolean = 6,  // 1 = true, 0 = false
};

struct IdentityField {
  IdentityXPath path;
  IdentityValue value;
};

struct IdentityConstraint {
  IdentityKind kind;
  const char16_t* name;  // the constraint's name and namespace
  const char16_t* ns;
  IdentityXPath selector;
  const IdentityField* fields;
  std::size_t fieldCount;
  // A keyref: the key or unique constraint it refers to, by name.
  const char16_t* referName = nullptr;
  const char16_t* referNamespace = nullptr;
};

// The identity constraints of one element declaration.
struct IdentityTable {
  const IdentityConstraint* constraints;
  std::size_t count;
};

// A global element with identity constraints, for the class that its
// element is read into as a document's root.
struct RootIdentity {
  const char16_t* name;
  const char16_t* ns;
  const IdentityTable* identity;
};

}  // namespace VxVevAva5Data

#endif  // VXBIND_MODEL_IDENTITYTABLE_H
