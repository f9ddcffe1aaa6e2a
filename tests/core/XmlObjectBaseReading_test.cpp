// The text and element entry points of CXmlObjectBase; bytes and files are
// read back in ByteStream_test.
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/values/BinaryData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Nodes.h"
#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::CTestNode;
using vxtest::U;

namespace {
using Items = std::vector<std::string>;
}  // namespace

TEST(CXmlObjectBaseReading, EveryEntryPointBindsOnceFromTheRoot) {
  const char list[] = "<other xmlns='urn:list'><item>one</item><item>tw\xC3\xB6</item></other>";
  CXmlSerializationContext context;
  CXmlDocument doc;
  doc.LoadXml((std::string("<outer xmlns='urn:list'>") + list + "</outer>").c_str());
  for (int entry = 0; entry < 3; ++entry) {
    SCOPED_TRACE(entry);
    CTestNode node("list", "urn:list");
    if (entry == 0) node.FromXml(list, context);
    if (entry == 1) node.FromXml(U(list).c_str(), context);
    if (entry == 2) node.FromXmlElement(doc.GetDocumentElement()->GetFirstElement(), context);
    EXPECT_EQ(node.Name(), "other");  // taken over from the root
    EXPECT_EQ(node.items, (Items{"one", "tw\xC3\xB6"}));
    EXPECT_EQ(node.bindCount, 1);
  }
}

TEST(CXmlObjectBaseReading, FailuresPassThroughAndLeaveWhatWasBound) {
  // The document's own messages for empty and unreadable input are checked
  // with CXmlDocument; here: they reach the caller and nothing is bound.
  CXmlSerializationContext context;
  CTestNode node("before", "urn:list");
  EXPECT_VX_THROW(node.FromXml("<list>\n<item></list>", context), CVxException,
                  "mismatched tag at line 2");
  EXPECT_VX_THROW(node.FromXmlStream(CBinaryData(), context), CVxException,
                  "XML Stream is empty!");  // no data at all, not even a pointer
  const CXmlElement* noElement = nullptr;
  EXPECT_VX_THROW(node.FromXmlElement(noElement, context), CVxInvalidParamException,
                  "The element to read from is NULL");
  EXPECT_EQ(node.Name(), "before");
  EXPECT_EQ(node.bindCount, 0);

  EXPECT_VX_THROW(
      node.FromXml("<list xmlns='urn:list'><item>a</item><item>fail</item><item>c</item></list>",
                   context),
      CVxInvalidValueException, "bad item");
  EXPECT_EQ(node.items, Items{"a"});
}

TEST(CXmlObjectBaseReading, AStrictContextRefusesInputThatEndsEarly) {
  const std::string truncated = "<list xmlns='urn:list'><item>a</item><item>b";
  CXmlSerializationContext lax, strict;
  strict.SetStrictXml(true);
  for (int entry = 0; entry < 3; ++entry) {
    SCOPED_TRACE(entry);
    auto read = [&](CTestNode& node, const CXmlSerializationContext& context) {
      if (entry == 0) node.FromXml(truncated.c_str(), context);
      if (entry == 1) node.FromXml(U(truncated).c_str(), context);
      if (entry == 2)
        node.FromXmlStream(CBinaryData(reinterpret_cast<const unsigned char*>(truncated.data()),
                                       static_cast<uint32_t>(truncated.size())),
                           context);
    };
    CTestNode kept("list", "urn:list");
    read(kept, lax);
    EXPECT_EQ(kept.items, (Items{"a", "b"}));
    CTestNode refused("list", "urn:list");
    // Read while binding, the end is found after the binding: its failure
    // wins all the same.
    EXPECT_VX_THROW(read(refused, strict), CVxException,
                    "The document ends before its root element is closed at line 1");
  }
}

TEST(CXmlObjectBaseReading, ElementNamesMatchByNamespaceUnlessIgnored) {
  CXmlDocument doc;
  doc.LoadXml("<r xmlns='urn:list'><item/><x:item xmlns:x='urn:x'/><Item/></r>");
  const CXmlElement* inList = doc.GetDocumentElement()->GetFirstElement();
  const CXmlElement* inX = inList->GetNextSiblingElement();
  const CXmlElement* upper = inX->GetNextSiblingElement();
  CTestNode node("list", "urn:list");
  CXmlSerializationContext strict;
  EXPECT_TRUE(node.Matches(strict, inList, "item", "urn:list"));
  EXPECT_FALSE(node.Matches(strict, inX, "item", "urn:list"));
  EXPECT_FALSE(node.Matches(strict, upper, "item", "urn:list"));
  EXPECT_FALSE(node.Matches(strict, inList, "item", ""));

  CXmlSerializationContext ignoring;
  ignoring.SetIgnoreNamespaces(true);
  CXmlSerializationContext type2;
  type2.SetSchemaType(SchemaType_NoNamespaces);
  for (const CXmlSerializationContext* c : {&ignoring, &type2}) {
    EXPECT_TRUE(node.Matches(*c, inX, "item", "urn:list"));
    EXPECT_TRUE(node.Matches(*c, inList, "item", ""));
    EXPECT_FALSE(node.Matches(*c, upper, "item", "urn:list"));
  }

  // Schema type 2 reads without namespaces, so a prefixed root keeps its prefix.
  node.FromXml("<p:list xmlns:p='urn:p'><item>v</item></p:list>", type2);
  EXPECT_EQ(node.Name(), "p:list");
  EXPECT_EQ(node.items, Items{"v"});
}
