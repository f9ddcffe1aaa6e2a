// Wildcard content checked, when read, against the global declarations of
// its schema set as processContents says; text refused in element-only and
// empty content; attributes with a default or fixed value written back only
// when the input had them. Classes generated at build time from
// data/process.xsd.
#include <gtest/gtest.h>

#include <string>

#include "GeneratedTesting.h"
#include "process.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;

const std::string kP = "xmlns:p='urn:vxbind:process' xmlns:q='urn:q'";

// The document element `name` of the test namespace around `content`.
std::string Doc(const std::string& name, const std::string& attributes,
                const std::string& content) {
  return "<p:" + name + " " + kP + (attributes.empty() ? "" : " " + attributes) + ">" + content +
         "</p:" + name + ">";
}

// Reads `xml` into the class of its document element.
void Read(const std::string& xml) {
  CXmlDocument document;
  document.LoadXml(Utf16::FromUtf8(xml).c_str());
  CXmlElement* root = document.GetDocumentElement();
  CSmartPtr<CXmlObjectBase> object =
      Process::CreateRootObject(root->GetLocalName().c_str(), root->GetNamespaceURI().c_str());
  ASSERT_NE(object, nullptr) << xml;
  object->FromXmlElement(root, CXmlSerializationContext::GetDefaultContext());
}

struct Refused {
  const char* name;
  std::string xml;
  const char* message;  // a part of the message chain
  uint32_t line;
};

TEST(ProcessContents, WhatTheDeclarationsRefuseIsRefusedWhereTheyApply) {
  const Refused cases[] = {
      // lax: declared attributes, by the lexical pattern, the enumeration
      // and the bounds of their type; declared elements bind.
      {"LaxAttributePattern", Doc("lax", "p:flag='true'", ""),
       "The attribute [{urn:vxbind:process}flag] does not match its global declaration", 1},
      {"LaxAttributeEnumeration", Doc("lax", "p:unit='km'", ""), "Invalid value [km]", 1},
      {"LaxAttributeBound", Doc("lax", "p:count='10'", ""), "Invalid Value for count [10]", 1},
      {"LaxAttributeType", Doc("lax", "p:count='x'", ""), "{urn:vxbind:process}count", 1},
      {"LaxElement", Doc("lax", "", "\n<p:part><p:n>x</p:n></p:part>"),
       "Failed to process the element [part]", 2},
      // lax looks into an undeclared element: its attributes and children.
      {"LaxNestedAttribute", Doc("lax", "", "<q:a>\n<q:b p:flag='yes'/></q:a>"),
       "{urn:vxbind:process}flag", 2},
      {"LaxNestedElement", Doc("lax", "", "<q:a><q:b>\n<p:part/></q:b></q:a>"),
       "Failed to find a required element [n]", 2},
      // strict also refuses what no declaration matches.
      {"StrictElement", Doc("strict", "", "\n<p:nothing/>"),
       "No global declaration of the element [{urn:vxbind:process}nothing] is known "
       "(processContents strict)",
       2},
      {"StrictAttribute", Doc("strict", "p:other='1'", "<p:part><p:n>1</p:n></p:part>"),
       "No global declaration of the attribute [{urn:vxbind:process}other] is known", 1},
      {"StrictDeclaredElement", Doc("strict", "", "<p:part>\n<p:n>1.5</p:n></p:part>"),
       "The value [1.5] can not be converted to a i4", 2},
      // Text where the content is element-only or empty.
      {"TextBetweenWildcardElements", Doc("lax", "", "\n  <q:a/>hhh<q:b/>\n"),
       "The element [lax] has element-only content: the text [hhh] is not allowed in it", 1},
      {"TextBeforeAChild", Doc("lax", "", "<p:part>\n1<p:n>1</p:n></p:part>"),
       "The element [part] has element-only content: the text [1] is not allowed in it", 1},
      {"TextInEmptyContent", Doc("lax", "", "\n<p:empty>\n x</p:empty>"),
       "The element [empty] has element-only content: the text [x] is not allowed in it", 2},
  };
  for (const Refused& c : cases) {
    uint32_t line = 0;
    std::string message;
    try {
      Read(c.xml);
    } catch (const CVxException& e) {
      message = Utf16::ToUtf8(e.GetFullMessage());
      line = e.GetLineNumber();
    }
    EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
    EXPECT_EQ(line, c.line) << c.name << ": " << message;
  }
}

TEST(ProcessContents, ValidContentIsReadAndKeptUntyped) {
  // lax: undeclared content of any kind; declared content that is valid.
  const std::string lax =
      Doc("lax",
          "p:flag='1' p:unit='mm' other='x' q:z='y' xml:lang='en' "
          "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'",
          "\n  <p:part price='3'><p:n>1</p:n></p:part>\n  <q:a p:flag='0' "
          "xsi:schemaLocation='urn:q q.xsd'>text <q:b>"
          "<p:part><p:n>2</p:n></p:part></q:b></q:a>\n  <p:unknown>words</p:unknown>\n");
  CSmartPtr<Process::CLax> read = new Process::CLax;
  ASSERT_EQ(Failure([&] { read->FromXml(lax.c_str()); }), "");
  EXPECT_EQ(read->GetAny()->GetCount(), 3);
  EXPECT_EQ(TreeDifference(lax, read->ToXml()), "");
  // strict: declared content only; skip: anything.
  for (const std::string& xml :
       {Doc("strict", "p:count='9' p:flag='1'", "<p:part><p:n>1</p:n></p:part>"),
        Doc("skip", "p:flag='true' p:other='2'", "<p:part>no number</p:part>"),
        Doc("empty", "", " \n\t ")})
    EXPECT_EQ(Failure([&] { Read(xml); }), "") << xml;
}

TEST(ProcessContents, AbsentDefaultAndFixedAttributesAreNotWrittenBack) {
  CSmartPtr<Process::CPart> part = ReadAs<Process::CPart>(Doc("part", "", "<p:n>1</p:n>"));
  EXPECT_EQ(part->GetPrice(), CDecimal(VX_T("1.5")));
  EXPECT_EQ(U8(part->GetGrade()), "A");
  EXPECT_EQ(TreeDifference(Doc("part", "", "<p:n>1</p:n>"), part->ToXml()), "");
  const std::string present = Doc("part", "price='2' grade='A'", "<p:n>1</p:n>");
  EXPECT_EQ(TreeDifference(present, ReadAs<Process::CPart>(present)->ToXml()), "");
  // Set by the user: written.
  part->SetPrice(CDecimal(VX_T("1.5")));
  EXPECT_EQ(TreeDifference(Doc("part", "price='1.5'", "<p:n>1</p:n>"), part->ToXml()), "");
}

}  // namespace
