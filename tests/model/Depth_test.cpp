// Deep input and deep object graphs: reading a recursive type nested a
// million levels, writing such a graph and destroying it fail clearly or
// work, and never run out of stack (also in the sanitized build, whose
// frames are larger).
#include <gtest/gtest.h>

#include <string>

#include "model/schema/TestSchema.h"
#include "support/Text.h"

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

// A chain of `depth` nodes built in code.
CSmartPtr<CNode> NodeChain(int depth) {
  CSmartPtr<CNode> root = new CNode;
  CNode* last = root;
  for (int i = 1; i < depth; ++i) {
    last->child = new CNode;
    last = last->child;
  }
  return root;
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

TEST(BindingDepth, NestingUpToTheLimitReadsAndWrites) {
  CSmartPtr<CNode> node = new CNode;
  node->FromXml(NestedNodes(kLimit).c_str());
  const int64_t live = CNode::LiveCount();
  EXPECT_GE(live, kLimit);
  String xml = node->ToXml(false, false);
  CSmartPtr<CNode> copy = new CNode;
  copy->FromXml(xml.c_str());
  EXPECT_EQ(copy->ToXml(false, false), xml);
  node = copy = nullptr;
  EXPECT_EQ(CNode::LiveCount(), live - kLimit);
}

TEST(BindingDepth, AMillionLevelsOfInputFailClearlyAndLeaveNothingBehind) {
  const int64_t before = CNode::LiveCount();
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
  node = nullptr;
  EXPECT_EQ(CNode::LiveCount(), before);
}

TEST(BindingDepth, AMillionLevelsOfObjectsFailToWriteAndAreDestroyedWithoutRecursion) {
  const int64_t before = CNode::LiveCount();
  CSmartPtr<CNode> root = NodeChain(kMillion);
  EXPECT_EQ(CNode::LiveCount(), before + kMillion);
  try {
    root->ToXml();
    ADD_FAILURE() << "wrote a million levels";
  } catch (const CVxException& e) {
    std::string innermost;
    EXPECT_EQ(ChainLength(e, innermost), kLimit + 2);
    EXPECT_EQ(innermost, TooDeep("not written"));
  }
  root = nullptr;  // a million nested releases, in a loop
  EXPECT_EQ(CNode::LiveCount(), before);
}
