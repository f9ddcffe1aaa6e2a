#include "vxbind/core/XmlObjectBase.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/Text.h"
#include "vxbind/writers/XmlWriter.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// A hand-written bindable node: writes itself, an attribute, its text and
// its children through the writer. `leaveOpen` forgets its end tag, `fail`
// throws after the start tag.
class CNode : public CXmlObjectBase {
 public:
  explicit CNode(const char* name, int* destroyed = nullptr) : m_destroyed(destroyed) {
    SetElementName(U(name).c_str());
  }
  CNode(const CNode& other) = default;
  CNode& operator=(const CNode& other) = default;
  ~CNode() override {
    if (m_destroyed != nullptr) ++*m_destroyed;
  }

  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return U("urn:n"); }

  std::vector<CSmartPtr<CNode>> children;
  String text;
  bool leaveOpen = false;
  bool fail = false;

  using CXmlObjectBase::Choice_CollectionChanged;
  using CXmlObjectBase::Choice_SelectElement;
  using CXmlObjectBase::Choice_SetElementValid;
  using CXmlObjectBase::GetElementName;
  using CXmlObjectBase::Throw_IfElementNameDiffers;
  using CXmlObjectBase::Throw_IfPropertyIsNull;

 protected:
  String GetTargetNamespace() const override { return U("urn:n"); }
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext&, bool) const override {
    if (root) writer->SetDefaultNamespace(namespaceUri);
    writer->WriteStartElement(GetElementName(), namespaceUri);
    writer->WriteAttribute(U("root"), String(), root ? U("yes") : U("no"));
    if (fail) throw CVxValidationException(U("node failed"));
    for (const CSmartPtr<CNode>& child : children)
      CXmlObjectBase::ToXml_Int(child, writer, false, namespaceUri,
                                CXmlSerializationContext::GetDefaultContext(), false);
    writer->WriteText(text);
    if (!leaveOpen) writer->WriteEndElement();
  }
  CXmlElement* FromXml_Int(CXmlElement*, CXmlElement*, const CXmlSerializationContext&,
                           bool) override {
    return nullptr;
  }

 private:
  int* m_destroyed;
};

}  // namespace

TEST(CXmlObjectBase, ToXmlWritesTheObjectWithOrWithoutDeclaration) {
  CSmartPtr<CNode> order = new CNode("order");
  CSmartPtr<CNode> item = new CNode("item");
  item->text = U("5 < 6");
  order->children.push_back(item);
  const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext();

  EXPECT_EQ(ToUtf8(order->ToXml(true, true, EOLType_LF, context)),
            "<?xml version=\"1.0\"?>\n<order xmlns=\"urn:n\" root=\"yes\">\n"
            "\t<item root=\"no\">5 &lt; 6</item>\n</order>\n");
  EXPECT_EQ(ToUtf8(order->ToXml(false, false, EOLType_CRLF, context)),
            "<order xmlns=\"urn:n\" root=\"yes\"><item root=\"no\">5 &lt; 6</item></order>");
  EXPECT_EQ(ToUtf8(item->ToXml(true, true, EOLType_CRLF, context)),
            "<?xml version=\"1.0\"?>\r\n<item xmlns=\"urn:n\" root=\"yes\">5 &lt; 6</item>\r\n");
  // Writing does not touch the counts of the objects written.
  EXPECT_EQ(order->AddRef(), 2);
  order->Release();
}

TEST(CXmlObjectBase, ToXmlPassesFailuresThroughAndOnlyChecksClosureWithDeclaration) {
  CSmartPtr<CNode> node = new CNode("n");
  const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext();
  EXPECT_VX_THROW(node->ToXml(true, true, static_cast<EOLType>(7), context), CVxException,
                  "Invalid EOL type.");

  node->leaveOpen = true;
  EXPECT_VX_THROW(node->ToXml(true, false, EOLType_LF, context), CVxException,
                  "An Element has not been closed.");
  // Without the declaration the document is not ended, so nothing checks.
  EXPECT_EQ(ToUtf8(node->ToXml(false, false, EOLType_LF, context)),
            "<n xmlns=\"urn:n\" root=\"yes\"");

  node->leaveOpen = false;
  node->fail = true;
  EXPECT_VX_THROW(node->ToXml(true, true, EOLType_LF, context), CVxValidationException,
                  "node failed");
}

TEST(CXmlObjectBase, SmartPointersCountHoldersAndDeleteAtZero) {
  int destroyed = 0;
  CNode* raw = new CNode("n", &destroyed);
  {
    CSmartPtr<CNode> a = raw;
    CSmartPtr<CNode> b = a;
    CSmartPtr<CXmlObjectBase> base = a;
    EXPECT_EQ(raw->AddRef(), 4);
    EXPECT_EQ(raw->Release(), 3);
    a = raw;  // same object again: adds before releasing, so it survives
    b = nullptr;
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(raw->AddRef(), 3);
    raw->Release();
  }
  EXPECT_EQ(destroyed, 1);

  // Reassigning the only holder to another object frees the first.
  CSmartPtr<CNode> p = new CNode("x", &destroyed);
  p = new CNode("y", &destroyed);
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(ToUtf8(p->GetElementName()), "y");
}

TEST(CXmlObjectBase, CopiesStartWithTheirOwnCountOfZero) {
  CSmartPtr<CNode> a = new CNode("n");
  CSmartPtr<CNode> b = a;
  CNode copy(*a);
  EXPECT_EQ(ToUtf8(copy.GetElementName()), "n");
  EXPECT_EQ(copy.AddRef(), 1);

  CSmartPtr<CNode> other = new CNode("other");
  *other = *a;  // assignment copies the name and keeps the target's count
  EXPECT_EQ(ToUtf8(other->GetElementName()), "n");
  EXPECT_EQ(other->AddRef(), 2);
  other->Release();
  EXPECT_EQ(a->AddRef(), 3);
  a->Release();
}

TEST(CXmlObjectBase, NullAndElementNameChecksUseTheirExactMessages) {
  EXPECT_VX_THROW(CNode::Throw_IfPropertyIsNull(nullptr, VX_T("Customer")),
                  CVxInvalidParamException,
                  "The Property [Customer] is mandatory, it may node be NULL");
  CSmartPtr<CNode> node = new CNode("shipTo");
  CNode::Throw_IfPropertyIsNull(node, VX_T("Customer"));
  CNode::Throw_IfElementNameDiffers(nullptr, VX_T("billTo"));
  CNode::Throw_IfElementNameDiffers(node, VX_T("shipTo"));
  EXPECT_VX_THROW(CNode::Throw_IfElementNameDiffers(node, VX_T("billTo")), CVxInvalidParamException,
                  "This property requrires an element with the name billTo the element being "
                  "set has the element name shipTo");
}

TEST(CXmlObjectBase, ChoiceSelectElementKeepsOneChoice) {
  CSmartPtr<CNode> value = new CNode("v");
  String chosen;
  CNode::Choice_SelectElement(VX_T("a"), nullptr, chosen);  // empty: even null chooses
  EXPECT_EQ(ToUtf8(chosen), "a");
  CNode::Choice_SelectElement(VX_T("a"), value, chosen);
  EXPECT_EQ(ToUtf8(chosen), "a");
  CNode::Choice_SelectElement(VX_T("b"), nullptr, chosen);  // another one set to null: accepted
  EXPECT_EQ(ToUtf8(chosen), "a");
  EXPECT_VX_THROW(CNode::Choice_SelectElement(VX_T("b"), value, chosen), CVxInvalidStateException,
                  "The Property [a] is already set. Only one element within this class bay be "
                  "set at a time");
  EXPECT_EQ(ToUtf8(chosen), "a");
  CNode::Choice_SelectElement(VX_T("a"), nullptr, chosen);  // the chosen one set to null clears
  EXPECT_TRUE(chosen.empty());
  CNode::Choice_SelectElement(VX_T("b"), value, chosen);
  EXPECT_EQ(ToUtf8(chosen), "b");
}

TEST(CXmlObjectBase, ChoiceCollectionChangedFollowsTheItemCount) {
  String chosen;
  CNode::Choice_CollectionChanged(VX_T("list"), 0, chosen);
  EXPECT_TRUE(chosen.empty());
  CNode::Choice_CollectionChanged(VX_T("list"), 2, chosen);
  EXPECT_EQ(ToUtf8(chosen), "list");
  CNode::Choice_CollectionChanged(VX_T("other"), 0, chosen);
  EXPECT_EQ(ToUtf8(chosen), "list");
  EXPECT_VX_THROW(CNode::Choice_CollectionChanged(VX_T("other"), 1, chosen),
                  CVxInvalidStateException,
                  "The Property [list] is already set. Only one element within this class bay be "
                  "set at a time");
  CNode::Choice_CollectionChanged(VX_T("list"), 1, chosen);
  EXPECT_EQ(ToUtf8(chosen), "list");
  CNode::Choice_CollectionChanged(VX_T("list"), 0, chosen);
  EXPECT_TRUE(chosen.empty());
}

TEST(CXmlObjectBase, ChoiceSetElementValidUsesTheMessageWithoutBrackets) {
  String chosen;
  CNode::Choice_SetElementValid(true, VX_T("a"), chosen);
  CNode::Choice_SetElementValid(true, VX_T("a"), chosen);
  EXPECT_EQ(ToUtf8(chosen), "a");
  EXPECT_VX_THROW(CNode::Choice_SetElementValid(true, VX_T("b"), chosen), CVxInvalidStateException,
                  "The Property a is already set. Only one element within this class bay be set "
                  "at a time");
  CNode::Choice_SetElementValid(false, VX_T("b"), chosen);  // false clears whatever was chosen
  EXPECT_TRUE(chosen.empty());
  CNode::Choice_SetElementValid(true, VX_T("b"), chosen);
  EXPECT_EQ(ToUtf8(chosen), "b");
}
