// The reading entry points of CXmlObjectBase, with a hand-written bindable
// class that walks the element tree the way generated classes do.
#include "vxbind/core/XmlObjectBase.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/File.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// Binds <list><item>text</item>...</list>: keeps the items' texts. An item
// with the text "fail" makes binding throw after the items before it.
class CItemList : public CXmlObjectBase {
 public:
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return VX_T("urn:list"); }
  std::string Name() const { return ToUtf8(GetElementName()); }
  bool Matches(const CXmlSerializationContext& c, const CXmlElement* e, const char* name,
               const char* ns) const {
    return DoesElementNameMatch(c, e, U(name).c_str(), U(ns).c_str());
  }

  std::vector<std::string> items;
  int bindCount = 0;

 protected:
  String GetTargetNamespace() const override { return VX_T("urn:list"); }
  void ToXml_Int(CXmlWriter*, bool, const unsigned short*, const CXmlSerializationContext&,
                 bool) const override {}
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool) override {
    ++bindCount;
    SetElementName(element->GetLocalName().c_str());
    for (; current != nullptr; current = current->GetNextSiblingElement()) {
      if (!DoesElementNameMatch(context, current, VX_T("item"), VX_T("urn:list")))
        throw CVxValidationException(FormatString(VX_T("Unexpected element [%s]"),
                                                  current->GetLocalName().c_str()));
      if (current->GetText() == U("fail"))
        throw CVxInvalidValueException(String(VX_T("bad item")));
      items.push_back(ToUtf8(current->GetText()));
    }
    return nullptr;
  }
};

const char kList[] =
    "<other xmlns='urn:list'><item>one</item><item>tw\xC3\xB6</item></other>";

std::string Gzip(const std::string& in) {
  z_stream zs{};
  deflateInit2(&zs, 1, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, in.size()) + 32, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  zs.avail_in = static_cast<uInt>(in.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

}  // namespace

TEST(CXmlObjectBaseReading, EveryEntryPointBindsFromTheRoot) {
  CXmlSerializationContext context;
  std::vector<std::vector<std::string>> results;
  auto check = [&](CItemList& list) {
    EXPECT_EQ(list.Name(), "other");  // taken over from the root
    EXPECT_EQ(list.items, (std::vector<std::string>{"one", "tw\xC3\xB6"}));
    EXPECT_EQ(list.bindCount, 1);
  };
  {
    CItemList list;
    list.FromXml(kList, context);
    check(list);
  }
  {
    CItemList list;
    list.FromXml(U(kList).c_str(), context);
    check(list);
  }
  for (std::string bytes : {std::string(kList), Gzip(kList)}) {
    CItemList list;
    list.FromXmlStream(reinterpret_cast<unsigned char*>(bytes.data()),
                       static_cast<uint32_t>(bytes.size()), context);
    check(list);

    const char* dir = std::getenv("TMPDIR");
    String path = U(std::string(dir ? dir : "/tmp") + "/vxbind_reading_list.xml");
    ASSERT_EQ(File::WriteAll(path.c_str(), nullptr, 0,
                             reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()),
              0);
    CItemList fromFile;
    fromFile.FromXmlFile(path.c_str(), context);
    check(fromFile);
    std::remove(ToUtf8(path).c_str());
  }
  {
    CXmlDocument doc;
    doc.LoadXml("<outer xmlns='urn:list'><other><item>one</item><item>tw\xC3\xB6</item></other>"
                "</outer>");
    CItemList list;
    list.FromXmlElement(doc.GetDocumentElement()->GetFirstElement(), context);
    check(list);
  }
}

TEST(CXmlObjectBaseReading, FailuresPassThroughAndLeaveWhatWasBound) {
  CXmlSerializationContext context;
  CItemList list;
  list.SetElementName(&list, VX_T("before"));
  EXPECT_VX_THROW(list.FromXml("", context), CVxException, "XML String is empty!");
  EXPECT_VX_THROW(list.FromXml(VX_T(""), context), CVxException, "XML String is empty!");
  unsigned char none = 0;
  EXPECT_VX_THROW(list.FromXmlStream(&none, 0, context), CVxException, "XML Stream is empty!");
  EXPECT_VX_THROW(list.FromXmlFile(VX_T("/nonexistent/list.xml"), context), CVxException,
                  "Failed to open the file [/nonexistent/list.xml] Error [0x00000002]");
  EXPECT_VX_THROW(list.FromXml("<list>\n<item></list>", context), CVxException,
                  "mismatched tag at line 2");
  EXPECT_EQ(list.Name(), "before");
  EXPECT_EQ(list.bindCount, 0);

  EXPECT_VX_THROW(
      list.FromXml("<list xmlns='urn:list'><item>a</item><item>fail</item><item>c</item></list>",
                   context),
      CVxInvalidValueException, "bad item");
  EXPECT_EQ(list.items, std::vector<std::string>{"a"});
}

TEST(CXmlObjectBaseReading, ElementNamesMatchByNamespaceUnlessIgnored) {
  CXmlDocument doc;
  doc.LoadXml("<r xmlns='urn:list'><item/><x:item xmlns:x='urn:x'/><Item/></r>");
  const CXmlElement* inList = doc.GetDocumentElement()->GetFirstElement();
  const CXmlElement* inX = inList->GetNextSiblingElement();
  const CXmlElement* upper = inX->GetNextSiblingElement();
  CItemList list;
  CXmlSerializationContext strict;
  EXPECT_TRUE(list.Matches(strict, inList, "item", "urn:list"));
  EXPECT_FALSE(list.Matches(strict, inX, "item", "urn:list"));
  EXPECT_FALSE(list.Matches(strict, upper, "item", "urn:list"));
  EXPECT_FALSE(list.Matches(strict, inList, "item", ""));

  CXmlSerializationContext ignoring;
  ignoring.SetIgnoreNamespaces(true);
  CXmlSerializationContext type2;
  type2.SetSchemaType(SchemaType_NoNamespaces);
  for (const CXmlSerializationContext* c : {&ignoring, &type2}) {
    EXPECT_TRUE(list.Matches(*c, inX, "item", "urn:list"));
    EXPECT_TRUE(list.Matches(*c, inList, "item", ""));
    EXPECT_FALSE(list.Matches(*c, upper, "item", "urn:list"));
  }

  // Schema type 2 reads without namespaces, so a prefixed root keeps its prefix.
  CItemList plain;
  plain.FromXml("<p:list xmlns:p='urn:p'><item>v</item></p:list>", type2);
  EXPECT_EQ(plain.Name(), "p:list");
  EXPECT_EQ(plain.items, std::vector<std::string>{"v"});
}
