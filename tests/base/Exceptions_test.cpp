#include "vxbind/base/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/Text.h"
#include "vxbind/base/SerializationContext.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;

TEST(CVxException, ChainsAreClonedOwnedAndPrinted) {
  std::unique_ptr<CVxException> copy;
  {
    CVxInvalidValueException innermost(String(VX_T("bad value")));
    CVxValidationException middle(String(VX_T("Failed to process the element [b]")), innermost);
    CVxException outer(String(VX_T("Failed to process the element [a]")), middle);
    EXPECT_EQ(ToUtf8(outer.GetFullMessage()),
              "Failed to process the element [a]\nFailed to process the element [b]\nbad value");
    copy.reset(new CVxException(outer));
  }
  // The copy's chain survives its source, and keeps the most-derived classes.
  ASSERT_NE(copy->GetInnerException(), nullptr);
  const CVxException* inner = copy->GetInnerException()->GetInnerException();
  ASSERT_NE(inner, nullptr);
  EXPECT_NE(dynamic_cast<const CVxInvalidValueException*>(inner), nullptr);
  EXPECT_EQ(inner->GetInnerException(), nullptr);

  CVxInvalidStateException assigned(String(VX_T("x")), CVxException(String(VX_T("y"))));
  CVxInvalidStateException other;
  other = assigned;
  other = other;
  EXPECT_EQ(ToUtf8(other.GetFullMessage()), "x\ny");
}

TEST(CVxException, LongChainsAreCopiedWrappedByMoveAndPrintedWhole) {
  CVxException copied(String(VX_T("leaf")));
  for (int i = 0; i < 2000; ++i) copied = CVxException(String(VX_T("wrap")), copied);
  EXPECT_EQ(CVxException(copied).GetFullMessage().size(), 2000u * 5 + 4);
  // One wrap per level of a deep document: copying the chain at every level
  // would be quadratic in the depth.
  std::unique_ptr<CVxException> chain(new CVxException(String(VX_T("leaf"))));
  for (int i = 0; i < 200000; ++i)
    chain.reset(new CVxValidationException(String(VX_T("wrap")), std::move(*chain)));
  EXPECT_EQ(chain->GetFullMessage().size(), 200000u * 5 + 4);
  CVxInvalidValueException value(String(VX_T("bad")), CVxException(String(VX_T("cause"))));
  CVxValidationException outer(String(VX_T("element")), std::move(value));
  EXPECT_EQ(ToUtf8(outer.GetFullMessage()), "element\nbad\ncause");
  EXPECT_NE(dynamic_cast<const CVxInvalidValueException*>(outer.GetInnerException()), nullptr);
  EXPECT_EQ(value.GetInnerException(), nullptr);
}

TEST(CVxException, TwoThreadsCopyOneConstExceptionAtOnce) {
  // Copying only reads the source: both threads see the whole chain every
  // time, and the source is the same afterwards.
  CVxException leaf(String(VX_T("leaf")));
  CVxInvalidValueException chain(String(VX_T("wrap")), leaf);
  for (int i = 0; i < 200; ++i) chain = CVxInvalidValueException(String(VX_T("wrap")), chain);
  const CVxException& source = chain;
  const String expected = source.GetFullMessage();
  auto copyMany = [&source, &expected](int* wrong) {
    for (int i = 0; i < 300; ++i) {
      CVxException copy(source);
      CVxException assigned;
      assigned = source;
      CVxValidationException wrapped(String(VX_T("outer")), source);
      if (copy.GetFullMessage() != expected || assigned.GetFullMessage() != expected ||
          wrapped.GetInnerException()->GetFullMessage() != expected)
        ++*wrong;
    }
  };
  int wrong[2] = {0, 0};
  std::thread other(copyMany, &wrong[0]);
  copyMany(&wrong[1]);
  other.join();
  EXPECT_EQ(wrong[0], 0);
  EXPECT_EQ(wrong[1], 0);
  EXPECT_EQ(source.GetFullMessage(), expected);
}

TEST(CXmlSerializationContext, TolerancesExcludeEachOther) {
  const std::string kBoth =
      "The parser can only ignore additional elements, or ignore the fact that some required "
      "ones are missing, you can not ignore both\nSet ";
  CXmlSerializationContext c;
  c.SetIgnoreUnknownElements(true);
  EXPECT_VX_THROW(c.SetIgnoreMissingMandatoryElements(true), CVxInvalidStateException,
                  kBoth + "IgnoreUnknownElements to false before setting "
                          "IgnoreMissingMandatoryElements to true");
  EXPECT_FALSE(c.GetIgnoreMissingMandatoryElements());
  c.SetIgnoreUnknownElements(false);
  c.SetIgnoreMissingMandatoryElements(true);
  EXPECT_VX_THROW(c.SetIgnoreUnknownElements(true), CVxInvalidStateException,
                  kBoth + "IgnoreMissingMandatoryElements to false before setting "
                          "IgnoreUnknownElements to true");
  EXPECT_FALSE(c.GetIgnoreUnknownElements());
}

TEST(CXmlSerializationContext, SchemaType2IgnoresNamespacesAndCopiesAreDeep) {
  CXmlSerializationContext c;
  EXPECT_FALSE(c.GetIgnoreNamespaces());
  c.SetSchemaType(static_cast<SchemaType>(2));
  EXPECT_TRUE(c.GetIgnoreNamespaces());
  c.SetSchemaType(SchemaType_Default);
  EXPECT_FALSE(c.GetIgnoreNamespaces());

  c.GetProcessingInstructions().push_back(String(VX_T("<?pi x?>")));
  c.GetNamespaceAliases().Add(VX_T("o"), VX_T("urn:o"));
  CXmlSerializationContext copy(c);
  c.GetProcessingInstructions().clear();
  c.GetNamespaceAliases().RemoveNamespace(VX_T("urn:o"));
  EXPECT_EQ(copy.GetProcessingInstructions().size(), 1u);
  EXPECT_TRUE(copy.GetNamespaceAliases().DoesNamespaceExist(VX_T("urn:o")));
}
