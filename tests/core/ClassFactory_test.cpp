#include "vxbind/core/ClassFactory.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "support/Document.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;

TEST(CClassfactoryBase, SplitsXsiTypeWithThePrefixesInScope) {
  // The same prefix bound to different namespaces in sibling subtrees, bound
  // again deeper, on the element itself, and out of scope again: a flat map
  // of the document would give the last declaration everywhere.
  CXmlDocument doc;
  doc.LoadXml(
      "<r xmlns='urn:own' xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>"
      "<a xmlns:t='urn:one'><e xsi:type='t:A'/>"
      "<e/>"                    // no xsi:type: the element's own namespace
      "<e type='t:NotXsi'/>"    // not in the instance namespace
      "<e xsi:type='t:a:b'/>"   // split at the first colon
      "</a>"
      "<a xmlns:t='urn:two'><e xsi:type='t:B'/>"
      "<a xmlns:t='urn:three'><e xsi:type='t:C'/></a>"
      "<e xsi:type='t:D'/></a>"
      "<e xsi:type='t:E'/>"                        // t is bound nowhere here
      "<e xmlns:t='urn:self' xsi:type='t:F'/>"     // bound by the element itself
      "<a xmlns='urn:inner'><e xsi:type='G'/></a>"  // no prefix: the element's own
      "</r>");
  struct Row { const char* type; const char* ns; };
  const Row rows[] = {{"A", "urn:one"},   {"", "urn:own"},   {"", "urn:own"},  {"a:b", "urn:one"},
                      {"B", "urn:two"}, {"C", "urn:three"}, {"D", "urn:two"},
                      {"E", "urn:own"}, {"F", "urn:self"}, {"G", "urn:inner"}};
  std::vector<CXmlElement*> es;  // the <e> elements in document order
  for (CXmlElement* e : vxtest::InOrder(doc.GetDocumentElement()))
    if (ToUtf8(e->GetLocalName()) == "e") es.push_back(e);
  ASSERT_EQ(es.size(), std::size(rows));
  for (size_t i = 0; i < es.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ToUtf8(CClassfactoryBase::GetElementType(es[i])), rows[i].type);
    EXPECT_EQ(ToUtf8(CClassfactoryBase::GetElementTypeNamespaceUri(es[i])), rows[i].ns);
  }

  // Without namespace processing there is no xsi:type attribute to read.
  CXmlDocument plain(SchemaType_NoNamespaces);
  plain.LoadXml(
      "<r xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' xmlns:t='urn:t'>"
      "<e xsi:type='t:A'/></r>");
  CXmlElement* e = plain.GetDocumentElement()->GetFirstElement();
  EXPECT_EQ(ToUtf8(CClassfactoryBase::GetElementType(e)), "");
  EXPECT_EQ(ToUtf8(CClassfactoryBase::GetElementTypeNamespaceUri(e)), "");
}
