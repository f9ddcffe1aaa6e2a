// The runtime's support of generated code: each named field of the builders
// reaches the argument it names (a swapped pair would pass every generated
// class that happens not to use both).
#include "vxbind/core/GeneratedSupport.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "support/Text.h"
#include "vxbind/collections/PrimitiveCol.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

TEST(GeneratedFacets, EachFieldIsTheFacetItNames) {
  using Generated::Facets;
  const auto keeps = [](const CPrimitiveRestrictions& facets, auto value) {
    try {
      if constexpr (std::is_same_v<decltype(value), int>)
        CheckFacets<ItemType_i4>(VX_T("v"), value, facets);
      else
        CheckFacets<ItemType_string>(VX_T("s"), U(value), facets);
      return true;
    } catch (const CVxException&) {
      return false;
    }
  };
  const Facets range = Facets().MinInclusive(VX_T("1")).MaxExclusive(VX_T("100"));
  const Facets code = Facets().Pattern(VX_T("\\d{3}-[A-Z]{2}"));
  EXPECT_TRUE(keeps(Facets().MinInclusive(VX_T("5")), 5));
  EXPECT_FALSE(keeps(Facets().MinInclusive(VX_T("5")), 4));
  EXPECT_TRUE(keeps(Facets().MaxInclusive(VX_T("5")), 5));
  EXPECT_FALSE(keeps(Facets().MaxInclusive(VX_T("5")), 6));
  EXPECT_FALSE(keeps(Facets().MinExclusive(VX_T("5")), 5));
  EXPECT_TRUE(keeps(Facets().MinExclusive(VX_T("5")), 6));
  EXPECT_FALSE(keeps(Facets().MaxExclusive(VX_T("5")), 5));
  EXPECT_TRUE(keeps(Facets().MaxExclusive(VX_T("5")), 4));
  EXPECT_TRUE(keeps(range, 99));
  EXPECT_FALSE(keeps(range, 0));

  EXPECT_TRUE(keeps(Facets().Length(3), "abc"));
  EXPECT_FALSE(keeps(Facets().Length(3), "ab"));
  EXPECT_FALSE(keeps(Facets().MinLength(3), "ab"));
  EXPECT_TRUE(keeps(Facets().MinLength(3), "abcd"));
  EXPECT_TRUE(keeps(Facets().MaxLength(3), "ab"));
  EXPECT_FALSE(keeps(Facets().MaxLength(3), "abcd"));
  EXPECT_TRUE(keeps(code, "872-AA"));
  EXPECT_FALSE(keeps(code, "872-aa"));
  EXPECT_TRUE(keeps(Facets(), ""));  // none in force
}

TEST(GeneratedFacets, MakeCollectionsThatCheckThem) {
  CSmartPtr<Ci4Col> numbers = Generated::Facets().MaxExclusive(VX_T("10")).NewCollection<Ci4Col>(
      VX_T("n"), VX_T("urn:n"), 0, 2, Generated::kCollapse);  // name, namespace, occurrence
  numbers->Add(9);
  EXPECT_THROW(numbers->Add(10), CVxException);
  EXPECT_EQ(numbers->GetMaxOccurs(), 2);
}

TEST(GeneratedUntyped, ChecksNameAndNamespace) {
  const auto note = Generated::Untyped()
                        .Name(VX_T("note"))
                        .NamespaceUri(VX_T("urn:t"))
                        .Restriction(VX_T("##targetNamespace"))
                        .TargetNamespace(VX_T("urn:t"));
  CSmartPtr<CElement> made = note.NewElement();
  EXPECT_EQ(ToUtf8(made->GetName()), "note");
  EXPECT_EQ(ToUtf8(made->GetNamespace()), "urn:t");
  EXPECT_NO_THROW(note.Check(made.get()));
  CSmartPtr<CElement> other = new CElement(VX_T("other"), VX_T("urn:t"));
  EXPECT_VX_THROW(note.Check(other.get()), CVxValidationException,
                  "The element [other] cannot stand for the element [note]");

  // A wildcard takes any name, in the namespaces it admits.
  auto any = Generated::Untyped()
                       .NamespaceUri(VX_T("urn:a"))
                       .Restriction(VX_T("##other"))
                       .TargetNamespace(VX_T("urn:t"));
  EXPECT_EQ(ToUtf8(CSmartPtr<CElement>(any.NewElement())->GetName()), "any");
  CSmartPtr<CElement> foreign = new CElement(VX_T("x"), VX_T("urn:a"));
  EXPECT_NO_THROW(any.Check(foreign.get()));
  EXPECT_THROW(any.Check(other.get()), CVxException);  // urn:t is the target namespace
  CSmartPtr<Generated::CUntypedCol> col = any.Occurs(0, 1).NewCollection();
  col->Add(VX_T("first"));
  col->Add(VX_T("second"));
  EXPECT_VX_THROW(col->ValidateCount(CXmlSerializationContext::GetDefaultContext()),
                  CVxValidationException,
                  "The Maximum number of [any] elements allowed in this collection is 1");
}

TEST(GeneratedValues, FixedAndDefaultTexts) {
  EXPECT_NO_THROW(Generated::CheckFixed(VX_T("c"), U("US"), U("US")));
  EXPECT_VX_THROW(Generated::CheckFixed(VX_T("c"), U("UK"), U("US")), CVxValidationException,
                  "Invalid value [UK] for [c]: its value is fixed as [US]");
  EXPECT_EQ(Generated::ValueOf(VX_T(" 42 "), ItemType_i4, Generated::kCollapse).GetI4(), 42);

  // A member with a fixed value takes only that value, compared in canonical form.
  int32_t member = 7;
  VxVariant value;
  value.SetI4(7);
  EXPECT_NO_THROW(Generated::AccessFixed<ItemType_i4>(member, VX_T("v"), VX_T(" +07 "),
                                                      Generated::kCollapse, false, value));
  value.SetI4(8);
  EXPECT_VX_THROW(Generated::AccessFixed<ItemType_i4>(member, VX_T("v"), VX_T("7"),
                                                      Generated::kCollapse, false, value),
                  CVxValidationException, "Invalid value [8] for [v]: its value is fixed as [7]");
  EXPECT_EQ(member, 7);
  Generated::AccessFixed<ItemType_i4>(member, VX_T("v"), VX_T("7"), Generated::kCollapse, true,
                                      value);
  EXPECT_EQ(value.GetI4(), 7);
}

}  // namespace
