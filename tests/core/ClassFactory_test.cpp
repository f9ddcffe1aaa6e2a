#include "vxbind/core/ClassFactory.h"

#include <gtest/gtest.h>

#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;

TEST(CClassfactoryBase, SplitsXsiTypeIntoNameAndNamespace) {
  CXmlDocument doc;
  doc.LoadXml(
      "<r xmlns='urn:default' xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' "
      "xmlns:t='urn:types'>"
      "<e/>"                                  // no xsi:type
      "<e xsi:type='t:Circle'/>"              // declared prefix
      "<e xsi:type='u:Square'/>"              // undeclared prefix
      "<e xmlns='urn:own' xsi:type='Plain'/>" // no prefix: the element's own namespace
      "<e type='t:NotXsi'/>"                  // not in the instance namespace
      "<e xsi:type='t:a:b'/>"                 // split at the first colon
      "</r>");
  struct Row { const char* type; const char* ns; };
  const Row rows[] = {{"", "urn:default"},  {"Circle", "urn:types"}, {"Square", "urn:default"},
                      {"Plain", "urn:own"}, {"", "urn:default"},     {"a:b", "urn:types"}};
  CXmlElement* e = doc.GetDocumentElement()->GetFirstElement();
  for (const Row& row : rows) {
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(ToUtf8(CClassfactoryBase::GetElementType(e)), row.type);
    EXPECT_EQ(ToUtf8(CClassfactoryBase::GetElementTypeNamespaceUri(e)), row.ns);
    e = e->GetNextSiblingElement();
  }
  EXPECT_EQ(e, nullptr);
}
