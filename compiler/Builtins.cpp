#include "Builtins.h"

#include <map>
#include <memory>
#include <utility>

namespace vxbindc {

const char* const kXsdNamespace = "http://www.w3.org/2001/XMLSchema";
const char* const kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

namespace {

struct BuiltinRow {
  const char* name;
  const char* itemType;
  Whitespace whitespace;
  const char* minInclusive;
  const char* maxInclusive;
  const char* pattern;
};

constexpr Whitespace P = Whitespace::Preserve;
constexpr Whitespace R = Whitespace::Replace;
constexpr Whitespace C = Whitespace::Collapse;

// The lexical rules of the name types (Name, NCName, NMTOKEN, ...) are not
// carried as patterns: they need the \i and \c classes of XML Schema
// expressions. The list types (IDREFS, NMTOKENS, ENTITIES) are held as one
// string, and are lists of their item types as far as facets go. QName
// values have a kind of their own: their prefix means a namespace.
const BuiltinRow kRows[] = {
    {"anySimpleType", "string", P, nullptr, nullptr, nullptr},
    {"string", "string", P, nullptr, nullptr, nullptr},
    {"normalizedString", "string", R, nullptr, nullptr, nullptr},
    {"token", "string", C, nullptr, nullptr, nullptr},
    {"language", "string", C, nullptr, nullptr, "[a-zA-Z]{1,8}(-[a-zA-Z0-9]{1,8})*"},
    {"Name", "string", C, nullptr, nullptr, nullptr},
    {"NCName", "string", C, nullptr, nullptr, nullptr},
    {"ID", "string", C, nullptr, nullptr, nullptr},
    {"IDREF", "string", C, nullptr, nullptr, nullptr},
    {"IDREFS", "string", C, nullptr, nullptr, nullptr},
    {"ENTITY", "string", C, nullptr, nullptr, nullptr},
    {"ENTITIES", "string", C, nullptr, nullptr, nullptr},
    {"NMTOKEN", "string", C, nullptr, nullptr, nullptr},
    {"NMTOKENS", "string", C, nullptr, nullptr, nullptr},
    {"anyURI", "string", C, nullptr, nullptr, nullptr},
    {"QName", "QName", C, nullptr, nullptr, nullptr},
    {"NOTATION", "string", C, nullptr, nullptr, nullptr},
    {"boolean", "boolean", C, nullptr, nullptr, nullptr},
    {"float", "r4", C, nullptr, nullptr, nullptr},
    {"double", "r8", C, nullptr, nullptr, nullptr},
    {"decimal", "decimal", C, nullptr, nullptr, nullptr},
    {"integer", "integer", C, nullptr, nullptr, nullptr},
    {"nonPositiveInteger", "integer", C, nullptr, "0", nullptr},
    {"negativeInteger", "integer", C, nullptr, "-1", nullptr},
    {"nonNegativeInteger", "integer", C, "0", nullptr, nullptr},
    {"positiveInteger", "integer", C, "1", nullptr, nullptr},
    {"long", "i8", C, nullptr, nullptr, nullptr},
    {"int", "i4", C, nullptr, nullptr, nullptr},
    {"short", "i2", C, nullptr, nullptr, nullptr},
    {"byte", "i1", C, nullptr, nullptr, nullptr},
    {"unsignedLong", "ui8", C, nullptr, nullptr, nullptr},
    {"unsignedInt", "ui4", C, nullptr, nullptr, nullptr},
    {"unsignedShort", "ui2", C, nullptr, nullptr, nullptr},
    {"unsignedByte", "ui1", C, nullptr, nullptr, nullptr},
    {"duration", "duration", C, nullptr, nullptr, nullptr},
    {"dateTime", "datetime", C, nullptr, nullptr, nullptr},
    {"time", "time", C, nullptr, nullptr, nullptr},
    {"date", "date", C, nullptr, nullptr, nullptr},
    {"gYearMonth", "yearMonth", C, nullptr, nullptr, nullptr},
    {"gYear", "year", C, nullptr, nullptr, nullptr},
    {"gMonthDay", "monthDay", C, nullptr, nullptr, nullptr},
    {"gDay", "day", C, nullptr, nullptr, nullptr},
    {"gMonth", "month", C, nullptr, nullptr, nullptr},
    {"hexBinary", "hexBinary", C, nullptr, nullptr, nullptr},
    {"base64Binary", "base64Binary", C, nullptr, nullptr, nullptr},
};

using BuiltinMap = std::map<std::string, std::unique_ptr<SimpleType>>;

BuiltinMap MakeBuiltins() {
  BuiltinMap map;
  for (const BuiltinRow& row : kRows) {
    auto type = std::make_unique<SimpleType>();
    type->pos.file = "<built-in>";
    type->name = row.name;
    type->itemType = row.itemType;
    type->whitespace = row.whitespace;
    if (row.minInclusive) type->facets.minInclusive = row.minInclusive;
    if (row.maxInclusive) type->facets.maxInclusive = row.maxInclusive;
    if (row.pattern) type->facets.pattern = row.pattern;
    type->resolved = true;
    map.emplace(row.name, std::move(type));
  }
  // The built-in lists: their length facets count items, at least one.
  for (const auto& [list, item] : {std::pair<const char*, const char*>{"IDREFS", "IDREF"},
                                   {"ENTITIES", "ENTITY"},
                                   {"NMTOKENS", "NMTOKEN"}}) {
    SimpleType& type = *map.at(list);
    type.variety = Variety::List;
    type.ownFacets.minLength = 1;
    TypeUse use;
    use.simple = map.at(item).get();
    type.memberTypes.push_back(use);
  }
  return map;
}

}  // namespace

const SimpleType* FindBuiltin(const std::string& localName) {
  static const BuiltinMap builtins = MakeBuiltins();
  auto it = builtins.find(localName);
  return it == builtins.end() ? nullptr : it->second.get();
}

}  // namespace vxbindc
