// A schema's source written as several files (vxbindc --sources N): classes
// of data/derivation.xsd and data/wildcards.xsd generated into three
// sources each bind the test documents as the one-source classes do, and the
// classes are shared out by size (the program's handling of the option is
// in Program_test.cpp).
#include "derivationsplit.h"
#include "wildcardssplit.h"

#include <gtest/gtest.h>

#include <string>

#include "GeneratedTesting.h"
#include "Generator.h"
#include "SchemaReader.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;

String Written(CXmlObjectBase* object) {
  return WrittenWith(object, {{VX_T("d"), VX_T("urn:vxbind:derive")}});
}

// Classes, their factories and CreateRootObject come from different files
// of the three: the derived types' objects chosen by xsi:type, members of
// classes in another file, the untyped content helpers in each.
TEST(SplitSources, RoundTripDocumentsThroughClassesOfSeveralFiles) {
  struct Case {
    const char* root;
    const char* ns;
    std::string xml;
  } cases[] = {
      {"drawing", "urn:vxbind:derive", ReadFile(VXBINDC_TEST_DATA "/derivation.xml")},
      {"envelope", "urn:vxbind:wild", ReadFile(VXBINDC_TEST_DATA "/wildcards-envelope.xml")},
      {"pick", "urn:vxbind:wild",
       "<w:pick xmlns:w='urn:vxbind:wild'><o:thing xmlns:o='urn:other'>t</o:thing></w:pick>"},
      {"more", "urn:vxbind:wild",
       "<w:more xmlns:w='urn:vxbind:wild' xmlns:o='urn:other'><w:title>t</w:title><o:x/>"
       "<w:rest a='1'><deep/></w:rest></w:more>"},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.xml.empty()) << c.root;
    CSmartPtr<CXmlObjectBase> root = Split::CreateRootObject(Utf16::FromUtf8(c.root).c_str(),
                                                             Utf16::FromUtf8(c.ns).c_str());
    ASSERT_NE(root, nullptr) << c.root;
    root->FromXml(c.xml.c_str());
    EXPECT_EQ(TreeDifference(c.xml, Written(root.get())), "") << c.root;
  }
  auto more = ReadAs<Split::CMoreOpen>("<w:more xmlns:w='urn:vxbind:wild'><w:title/></w:more>");
  EXPECT_EQ(U8(more->GetTitle()), "none");  // the base's element default
}

// Types of growing size: the shares are contiguous runs of classes of about
// equal size (not of equal count), every class is defined in exactly one of
// them, CreateRootObject in the first only.
TEST(SplitSources, ShareTheClassesByTheirSize) {
  std::string text = "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'>\n";
  const int types = 30;
  for (int t = 1; t <= types; ++t) {
    text += "<xs:element name='e" + std::to_string(t) + "' type='T" + std::to_string(t) +
            "'/>\n<xs:complexType name='T" + std::to_string(t) + "'><xs:sequence>";
    for (int m = 0; m < t; ++m)
      text += "<xs:element name='m" + std::to_string(m) + "' type='xs:int'/>";
    text += "</xs:sequence></xs:complexType>\n";
  }
  text += "</xs:schema>\n";
  std::vector<std::unique_ptr<vxbindc::Schema>> schemas;
  schemas.push_back(vxbindc::ParseSchema("grow.xsd", text));
  std::vector<vxbindc::OutputFile> files = vxbindc::Generate(schemas, "Grow", 3);
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[1].name, "grow.cpp");
  EXPECT_EQ(files[2].name, "grow-2.cpp");
  EXPECT_EQ(files[3].name, "grow-3.cpp");
  size_t total = files[1].text.size() + files[2].text.size() + files[3].text.size();
  int next = 1;  // the classes in order
  for (size_t f = 1; f < files.size(); ++f) {
    const std::string& source = files[f].text;
    EXPECT_NEAR(static_cast<double>(source.size()), total / 3.0, total * 0.1) << files[f].name;
    EXPECT_EQ(source.find("CreateRootObject(") != std::string::npos, f == 1) << files[f].name;
    for (int t = 1; t <= types; ++t) {
      std::string name = "CT" + std::to_string(t);
      bool here = source.find("\n" + name + "::" + name + "(") != std::string::npos;
      if (here) {
        EXPECT_EQ(t, next++) << files[f].name;
      }
    }
    EXPECT_GT(next, 1) << files[f].name;
  }
  EXPECT_EQ(next, types + 1);
  // By count, the first share would hold ten classes; by size it holds more.
  EXPECT_NE(files[1].text.find("\nCT13::CT13("), std::string::npos);
}

}  // namespace
