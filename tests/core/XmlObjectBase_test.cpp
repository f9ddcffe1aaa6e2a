#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/values/BinaryData.h"

#include <gtest/gtest.h>

#include "support/Nodes.h"
#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::CTestNode;
using vxtest::ToUtf8;
using vxtest::U;

namespace {
const CXmlSerializationContext& Default() { return CXmlSerializationContext::GetDefaultContext(); }
const char kOnlyOne[] = " is already set. Only one element within this class bay be set at a time";
}  // namespace

TEST(CXmlObjectBase, ToXmlWritesTheObjectAndChecksClosureOnlyWithDeclaration) {
  CSmartPtr<CTestNode> order = new CTestNode("order", "urn:n");
  CSmartPtr<CTestNode> item = new CTestNode("item", "urn:n");
  item->text = U("5 < 6");
  order->children.push_back(item);
  EXPECT_EQ(ToUtf8(order->ToXml(true, true, EOLType_LF, Default())),
            "<?xml version=\"1.0\"?>\n<order xmlns=\"urn:n\" root=\"yes\">\n"
            "\t<item root=\"no\">5 &lt; 6</item>\n</order>\n");
  EXPECT_EQ(ToUtf8(order->ToXml(false, false, EOLType_CRLF, Default())),
            "<order xmlns=\"urn:n\" root=\"yes\"><item root=\"no\">5 &lt; 6</item></order>");
  EXPECT_EQ(ToUtf8(item->ToXml(true, true, EOLType_CRLF, Default())),
            "<?xml version=\"1.0\"?>\r\n<item xmlns=\"urn:n\" root=\"yes\">5 &lt; 6</item>\r\n");
  EXPECT_EQ(order->AddRef(), 2);  // writing holds no counts
  order->Release();

  // Failures pass through; closure is only checked when the document ends.
  CSmartPtr<CTestNode> node = new CTestNode("n", "urn:n");
  EXPECT_VX_THROW(node->ToXml(true, true, static_cast<EOLType>(7), Default()), CVxException,
                  "Invalid EOL type.");
  node->leaveOpen = true;
  EXPECT_VX_THROW(node->ToXml(true, false, EOLType_LF, Default()), CVxException,
                  "An Element has not been closed.");
  EXPECT_EQ(ToUtf8(node->ToXml(false, false, EOLType_LF, Default())),
            "<n xmlns=\"urn:n\" root=\"yes\"");
  node->leaveOpen = false;
  node->fail = true;
  EXPECT_VX_THROW(node->ToXml(true, true, EOLType_LF, Default()), CVxValidationException,
                  "node failed");
}

TEST(CXmlObjectBase, SmartPointersCountHoldersAndCopiesKeepTheirOwnCount) {
  int destroyed = 0;
  CTestNode* raw = new CTestNode("n", "", &destroyed);
  {
    CSmartPtr<CTestNode> a = raw;
    CSmartPtr<CTestNode> b = a;
    CSmartPtr<CXmlObjectBase> base = a;
    EXPECT_EQ(raw->AddRef(), 4);
    EXPECT_EQ(raw->Release(), 3);
    a = raw;  // same object again: adds before releasing, so it survives
    b = nullptr;
    EXPECT_EQ(destroyed, 0);

    CTestNode copy(*raw);  // a copy starts at zero
    EXPECT_EQ(copy.Name(), "n");
    EXPECT_EQ(copy.AddRef(), 1);
    CSmartPtr<CTestNode> other = new CTestNode("other");
    *other = *raw;  // assignment copies the name and keeps the target's count
    EXPECT_EQ(other->Name(), "n");
    EXPECT_EQ(other->AddRef(), 2);
    other->Release();
    EXPECT_EQ(raw->AddRef(), 3);
    raw->Release();
  }
  EXPECT_EQ(destroyed, 3);  // raw, the copy and `other`

  // Reassigning the only holder to another object frees the first.
  CSmartPtr<CTestNode> p = new CTestNode("x", "", &destroyed);
  p = new CTestNode("y", "", &destroyed);
  EXPECT_EQ(destroyed, 4);
  EXPECT_EQ(p->Name(), "y");
}

TEST(CXmlObjectBase, NullAndElementNameChecksUseTheirExactMessages) {
  EXPECT_VX_THROW(CTestNode::Throw_IfPropertyIsNull(nullptr, VX_T("Customer")),
                  CVxInvalidParamException,
                  "The Property [Customer] is mandatory, it may node be NULL");
  CSmartPtr<CTestNode> node = new CTestNode("shipTo");
  CTestNode::Throw_IfPropertyIsNull(node, VX_T("Customer"));
  CTestNode::Throw_IfElementNameDiffers(nullptr, VX_T("billTo"));
  CTestNode::Throw_IfElementNameDiffers(node, VX_T("shipTo"));
  EXPECT_VX_THROW(CTestNode::Throw_IfElementNameDiffers(node, VX_T("billTo")),
                  CVxInvalidParamException,
                  "This property requrires an element with the name billTo the element being "
                  "set has the element name shipTo");
}

TEST(CXmlObjectBase, ChoiceHelpersKeepOneChoiceAndClearWhenItIsUnset) {
  CSmartPtr<CTestNode> value = new CTestNode("v");
  String chosen;
  CTestNode::Choice_SelectElement(VX_T("a"), nullptr, chosen);  // empty: even null chooses
  CTestNode::Choice_SelectElement(VX_T("a"), value, chosen);
  CTestNode::Choice_SelectElement(VX_T("b"), nullptr, chosen);  // another one set to null
  EXPECT_EQ(ToUtf8(chosen), "a");
  EXPECT_VX_THROW(CTestNode::Choice_SelectElement(VX_T("b"), value, chosen),
                  CVxInvalidStateException, std::string("The Property [a]") + kOnlyOne);
  CTestNode::Choice_SelectElement(VX_T("a"), nullptr, chosen);  // the chosen one set to null
  EXPECT_TRUE(chosen.empty());

  CTestNode::Choice_CollectionChanged(VX_T("list"), 0, chosen);
  EXPECT_TRUE(chosen.empty());
  CTestNode::Choice_CollectionChanged(VX_T("list"), 2, chosen);
  CTestNode::Choice_CollectionChanged(VX_T("other"), 0, chosen);
  EXPECT_EQ(ToUtf8(chosen), "list");
  EXPECT_VX_THROW(CTestNode::Choice_CollectionChanged(VX_T("other"), 1, chosen),
                  CVxInvalidStateException, std::string("The Property [list]") + kOnlyOne);
  CTestNode::Choice_CollectionChanged(VX_T("list"), 0, chosen);
  EXPECT_TRUE(chosen.empty());

  // Choice_SetElementValid's message has no brackets; false clears any choice.
  CTestNode::Choice_SetElementValid(true, VX_T("a"), chosen);
  CTestNode::Choice_SetElementValid(true, VX_T("a"), chosen);
  EXPECT_VX_THROW(CTestNode::Choice_SetElementValid(true, VX_T("b"), chosen),
                  CVxInvalidStateException, std::string("The Property a") + kOnlyOne);
  CTestNode::Choice_SetElementValid(false, VX_T("b"), chosen);
  EXPECT_TRUE(chosen.empty());
  CTestNode::Choice_SetElementValid(true, VX_T("b"), chosen);
  EXPECT_EQ(ToUtf8(chosen), "b");
}

TEST(CXmlObjectBase, AStrictContextMakesTheWriterStrict) {
  CSmartPtr<CTestNode> node = new CTestNode("n", "urn:n");
  node->text = U("a\x01");
  EXPECT_EQ(ToUtf8(node->ToXml(false, false, EOLType_LF, Default())),
            "<n xmlns=\"urn:n\" root=\"yes\">a\x01</n>");
  CXmlSerializationContext strict;
  EXPECT_FALSE(strict.GetStrictXml());
  strict.SetStrictXml(true);
  const CXmlSerializationContext copy(strict);  // the setting goes with copies
  const char kMessage[] =
      "The text of the element [n] holds the character U+0001, which XML 1.0 does not allow";
  EXPECT_VX_THROW(node->ToXml(false, false, EOLType_LF, copy), CVxException, kMessage);
  EXPECT_VX_THROW(node->ToXmlStream(false, false, XmlEncoding_UTF8, EOLType_LF, copy),
                  CVxException, kMessage);
}
