// Deep input and deep object graphs: reading a recursive type nested a
// million levels, writing such a graph and destroying it fail clearly or
// work, and never run out of stack (also in the sanitized build, whose
// frames are larger).
#include <gtest/gtest.h>

#include <string>

#include "TestSchema.h"
#include "support/Text.h"

using namespace VxVevAva5;
using namespace VxVevAva5Data;
using namespace TestSchema;
using vxtest::ToUtf8;

namespace {

constexpr int kMillion = 1000000;
constexpr int kLimit = CXmlGeneratedClass::kMaxNestingDepth;

// <node><node>...</node></node>, `depth` elements deep.
std::string NestedNodes(int depth) {
  std::string xml = "<node xmlns='urn:vxbind:test'>";
  xml.reserve(static_cast<size_t>(depth) * 13 + 64);
  for (int i = 1; i < depth; ++i) xml += "<node>";
  for (int i = 0; i < depth; ++i) xml += "</node>";
  return xml;
}

// A node that counts the objects of its class alive.
class CCountedNode : public CNode {
 public:
  CCountedNode() { ++s_live; }
  static int64_t Live() { return s_live; }

 protected:
  ~CCountedNode() override { --s_live; }

 private:
  static int64_t s_live;
};
int64_t CCountedNode::s_live = 0;

// A chain of `depth` counted nodes built in code.
CSmartPtr<CNode> NodeChain(int depth) {
  CSmartPtr<CNode> root = new CCountedNode;
  CNode* last = root;
  for (int i = 1; i < depth; ++i) {
    last->SetNode(new CCountedNode);
    last = last->GetNode();
  }
  return root;
}

// The number of nodes in the chain below `root`, and in `deepest` the last.
int ChainDepth(CNode* root, CSmartPtr<CNode>& deepest) {
  int depth = 0;
  for (CSmartPtr<CNode> node = root; node != nullptr; node = node->GetNode()) {
    ++depth;
    deepest = node;
  }
  return depth;
}

// The references held to `object` besides the caller's.
int32_t OtherReferences(CXmlObjectBase* object) {
  int32_t count = object->AddRef() - 1;
  object->Release();
  return count - 1;
}

std::string TooDeep(const char* action) {
  return "The element [node] is nested deeper than " + std::to_string(kLimit) + " levels; it is " +
         action;
}

// The links of a failure's chain, and the innermost message.
int ChainLength(const CVxException& e, std::string& innermost) {
  int links = 0;
  for (const CVxException* link = &e; link != nullptr; link = link->GetInnerException()) {
    ++links;
    innermost = ToUtf8(link->GetMessage());
  }
  return links;
}

}  // namespace

// Objects read from a document are the factory's, not counted: that the
// deepest is held by nobody else once the root is gone shows the chain
// above it released.
TEST(BindingDepth, NestingUpToTheLimitReadsAndWrites) {
  CSmartPtr<CNode> node = new CNode;
  node->FromXml(NestedNodes(kLimit).c_str());
  CSmartPtr<CNode> deepest;
  EXPECT_EQ(ChainDepth(node, deepest), kLimit);
  String xml = node->ToXml(false, false);
  CSmartPtr<CNode> copy = new CNode;
  copy->FromXml(xml.c_str());
  EXPECT_EQ(copy->ToXml(false, false), xml);
  node = copy = nullptr;
  EXPECT_EQ(OtherReferences(deepest), 0);
}

TEST(BindingDepth, AMillionLevelsOfInputFailClearlyAndLeaveNothingBehind) {
  CSmartPtr<CNode> node = new CNode;
  try {
    node->FromXml(NestedNodes(kMillion).c_str());
    ADD_FAILURE() << "read a million levels";
  } catch (const CVxException& e) {
    std::string innermost;
    EXPECT_EQ(ChainLength(e, innermost), kLimit + 2);  // one wrapper per level read
    EXPECT_EQ(innermost, TooDeep("not read"));
    EXPECT_EQ(ToUtf8(e.GetMessage()), "Failed to process the element [node]");
    EXPECT_EQ(e.GetLineNumber(), 1u);
  }
  // What was read stays, down to the limit, and goes with the root.
  CSmartPtr<CNode> deepest;
  EXPECT_LE(ChainDepth(node, deepest), kLimit + 1);
  node = nullptr;
  EXPECT_EQ(OtherReferences(deepest), 0);
}

TEST(BindingDepth, AMillionLevelsOfObjectsFailToWriteAndAreDestroyedWithoutRecursion) {
  const int64_t before = CCountedNode::Live();
  CSmartPtr<CNode> root = NodeChain(kMillion);
  EXPECT_EQ(CCountedNode::Live(), before + kMillion);
  try {
    root->ToXml();
    ADD_FAILURE() << "wrote a million levels";
  } catch (const CVxException& e) {
    std::string innermost;
    EXPECT_EQ(ChainLength(e, innermost), kLimit + 2);
    EXPECT_EQ(innermost, TooDeep("not written"));
  }
  root = nullptr;  // a million nested releases, in a loop
  EXPECT_EQ(CCountedNode::Live(), before);
}
