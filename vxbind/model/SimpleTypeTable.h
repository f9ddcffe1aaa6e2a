// -----------------------------------------------------------------------------
// File: SimpleTypeTable.h
// -----------------------------------------------------------------------------
//
// Made for generated code: the constant description of a list or union type
// (and of the atomic types it is made of), against which reading checks a
// value when the context validates (CXmlSerializationContext::
// SetValidateOnRead). A member of such a type holds its value as text; its
// FacetTable points to the type's table (FacetTable::SimpleType), a repeated
// member's facet builder too, and a class with simple content names the
// table of its text (ClassTable::textType).
//
//   constexpr FacetTable kSizeFacets = FacetTable().MaxInclusive(u"100");
//   constexpr SimpleTypeTable kSize =
//       AtomicType(u"Size", VxVevAva5::ItemType_i4, kCollapse, &kSizeFacets);
//   constexpr FacetTable kSizesFacets = FacetTable().MaxLength(3);
//   constexpr SimpleTypeTable kSizes = ListType(u"Sizes", &kSize, &kSizesFacets);
//   constexpr const char16_t* kWords[] = {u"small", u"large"};
//   constexpr SimpleTypeTable kWord =
//       AtomicType(u"Word", VxVevAva5::ItemType_string, kCollapse).Enumeration(kWords, 2);
//   constexpr const SimpleTypeTable* kSizeOrWordMembers[] = {&kSize, &kWord};
//   constexpr SimpleTypeTable kSizeOrWord = UnionType(u"SizeOrWord", kSizeOrWordMembers, 2);
//
// What a table's facets mean follows its variety:
//   atomic  every facet of the item type, as CheckFacets has them; the
//           pattern matches the text (after the whitespace rule), the other
//           facets the value
//   list    the text collapsed and split at its spaces into items, each a
//           value of the item type; the length facets count the items, the
//           pattern matches the collapsed text
//   union   a value of the first member type that takes it (each member
//           applies its own whitespace rule); the pattern matches the text
// and an enumeration, of any variety, holds the value when it equals one of
// the texts in the type's value space (numbers compare as numbers, lists
// item by item: "1 02" is "1 2" in a list of int).
//
// The tables nest as deep as the schema's types do; CheckSimpleType refuses
// tables nested deeper than 32 levels (or in a cycle), which no schema
// needs.

#ifndef VXBIND_MODEL_SIMPLETYPETABLE_H
#define VXBIND_MODEL_SIMPLETYPETABLE_H

#include <cstddef>
#include <cstdint>

#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/model/MetadataTable.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5Data {

enum SimpleVariety : uint8_t {
  SimpleVariety_Atomic = 0,
  SimpleVariety_List = 1,
  SimpleVariety_Union = 2,
};

struct SimpleTypeTable {
  SimpleVariety variety = SimpleVariety_Atomic;
  VxVevAva5::ItemType itemType = VxVevAva5::ItemType_string;  // atomic
  CWhitespaceUtils::WhitespaceRule whitespace = CWhitespaceUtils::WhitespaceRule_Collapse;
  const char16_t* name = nullptr;      // as messages name the type
  const FacetTable* facets = nullptr;  // null: none
  const char16_t* const* enumeration = nullptr;
  std::size_t enumerationCount = 0;
  const SimpleTypeTable* item = nullptr;             // list
  const SimpleTypeTable* const* members = nullptr;  // union, in the schema's order
  std::size_t memberCount = 0;

  // The same table with an enumeration of `count` texts.
  constexpr SimpleTypeTable Enumeration(const char16_t* const* values, std::size_t count) const {
    SimpleTypeTable t = *this;
    t.enumeration = values;
    t.enumerationCount = count;
    return t;
  }
};

constexpr SimpleTypeTable AtomicType(const char16_t* name, VxVevAva5::ItemType itemType,
                                     CWhitespaceUtils::WhitespaceRule whitespace,
                                     const FacetTable* facets = nullptr) {
  SimpleTypeTable t;
  t.name = name;
  t.itemType = itemType;
  t.whitespace = whitespace;
  t.facets = facets;
  return t;
}

constexpr SimpleTypeTable ListType(const char16_t* name, const SimpleTypeTable* item,
                                   const FacetTable* facets = nullptr) {
  SimpleTypeTable t;
  t.variety = SimpleVariety_List;
  t.name = name;
  t.item = item;
  t.facets = facets;
  return t;
}

constexpr SimpleTypeTable UnionType(const char16_t* name, const SimpleTypeTable* const* members,
                                    std::size_t count, const FacetTable* facets = nullptr) {
  SimpleTypeTable t;
  t.variety = SimpleVariety_Union;
  t.whitespace = CWhitespaceUtils::WhitespaceRule_Preserve;
  t.name = name;
  t.members = members;
  t.memberCount = count;
  t.facets = facets;
  return t;
}

// Checks `text`, as it stood in the document (the type applies its own
// whitespace rule), against `type`; `name` (the element or attribute) only
// appears in messages. Throws CVxInvalidValueException:
//   "Invalid Value for %s [%s]: the item [%s] is not a valid [%s]"
//   "Invalid Value for %s [%s]: the list has [%u] items where [%s] are expected"
//     ("3", "at least 2", "at most 4")
//   "Invalid Value for %s [%s]: it is valid for none of the member types of [%s]"
//   "Invalid Value for %s [%s]: it is not one of the values enumerated by [%s]"
// the value shown after the type's whitespace rule, a failing item's own
// failure as the inner exception. A pattern of the type that the text does
// not match throws CheckFacets' "Invalid Value for %s [%s]"; an atomic type
// (a list's item) throws what its conversion or CheckFacets throws. A table
// nested too deep throws CVxException "The simple type [%s] nests more
// than 32 types".
VXBIND_EXPORT void CheckSimpleType(const SimpleTypeTable* type, const unsigned short* name,
                                   const String& text);

// CheckSimpleType with the table as `type`: the text check of a primitive
// collection (CXmlTypeCollection::SetTextCheck).
VXBIND_EXPORT void CheckSimpleTypeText(const void* type, const unsigned short* name,
                                       const String& text);

}  // namespace VxVevAva5Data

#endif  // VXBIND_MODEL_SIMPLETYPETABLE_H
