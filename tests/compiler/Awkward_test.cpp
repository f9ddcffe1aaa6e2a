// Names that are C++ keywords, common macros, standard names and the
// runtime's own names (data/awkward.xsd): the generated code compiles with
// the project's warnings, with such macros defined before it, binds a
// document and writes it back.
#define TRUE 1
#define FALSE 0
#define DEBUG 1
#define linux 1
#define unix 1
#include "awkward.h"
#include "po.h"

#include <gtest/gtest.h>

#include <string>

#include "GeneratedTesting.h"

namespace {

using generated_testing::ReadAs;
using generated_testing::ReadFile;
using generated_testing::TreeDifference;
using generated_testing::U8;

const std::string kData = VXBINDC_TEST_DATA;

TEST(AwkwardNames, RoundTripADocument) {
  const std::string xml = ReadFile(kData + "/awkward.xml");
  ASSERT_FALSE(xml.empty());
  auto names = ReadAs<Awkward::CNames>(xml);
  EXPECT_EQ(TreeDifference(xml, names->ToXml(true, true)), "");

  // Members named after the bases' own members take a number.
  EXPECT_EQ(U8(names->GetThrow()->GetIfPropertyIsNull()), "a");
  EXPECT_EQ(U8(names->GetThrow()->GetElementName2()), "b");
  EXPECT_EQ(U8(names->GetThrow()->GetCount()), "c");
  // A type, an element and an attribute of one name.
  auto item = names->GetItem();
  EXPECT_EQ(U8(item->GetItem2()), "1");
  ASSERT_EQ(item->GetItem()->GetCount(), 2);
  EXPECT_EQ(U8(item->GetItem()->Item(0)->GetItem2()), "2");
  // The runtime's class names and enumerations named after macros.
  EXPECT_EQ(U8(names->GetNode()->GetNode()), "Node");
  EXPECT_EQ(names->GetNode()->GetValue(), Awkward::NULL2_NULL);
  EXPECT_EQ(names->GetChoice()->Item(1)->GetSetElementValid()->Item(0), Awkward::INT_MAX2);
}

TEST(AwkwardNames, EnumerationsOfKeywordsAndMacrosConvert) {
  EXPECT_EQ(Awkward::NULL2FromString(VX_T("NULL")), Awkward::NULL2_NULL);
  EXPECT_EQ(Awkward::NULL2FromString(VX_T("errno")), Awkward::NULL2_errno);
  EXPECT_EQ(Awkward::NULL2FromString(VX_T("class")), Awkward::NULL2_class);
  EXPECT_EQ(U8(Awkward::EOF2ToString(Awkward::EOF2_major)), "major");
  EXPECT_EQ(U8(Awkward::ClassToString(Awkward::Class_empty)), "");
}

// The purchase order's classes, compiled here after the macros above.
TEST(AwkwardNames, PurchaseOrderCompilesAfterCommonMacros) {
  VxVevAva5::CSmartPtr<GeneratedPo::CItems> items = new GeneratedPo::CItems;
  items->GetItem()->Add()->SetProductName(VX_T("Lawnmower"));
  EXPECT_EQ(items->GetItem()->GetCount(), 1);
}

}  // namespace
