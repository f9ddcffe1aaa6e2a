// A schema's source written as several files (vxbindc --sources N): classes
// of data/derivation.xsd and data/wildcards.xsd generated into three
// sources each bind the test documents as the one-source classes do, and the
// program's handling of the option.
#include "derivationsplit.h"
#include "wildcardssplit.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "GeneratedTesting.h"
#include "Generator.h"
#include "SchemaReader.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;
namespace fs = std::filesystem;

String Written(CXmlObjectBase* object) {
  CXmlSerializationContext context;
  context.GetNamespaceAliases().Add(VX_T("d"), VX_T("urn:vxbind:derive"));
  context.GetNamespaceAliases().Add(VX_T("xsi"), VX_T("http://www.w3.org/2001/XMLSchema-instance"));
  return object->ToXml(true, true, EOLType_LF, context);
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

// -- the program -------------------------------------------------------------------

struct Outcome {
  int status = -1;
  std::string err;
  std::set<std::string> files;  // in out/
};

// Runs vxbindc in a new directory holding a.xsd and a-2.xsd.
Outcome RunProgram(const std::string& arguments) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp ? tmp : "/tmp") + "/vxbindc_split_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return {};
  fs::path dir = pattern;
  const char schema[] =
      "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'>\n"
      "  <xs:element name='a' type='T'/>\n"
      "  <xs:complexType name='T'><xs:sequence>\n"
      "    <xs:element name='b' type='xs:int'/>\n"
      "  </xs:sequence></xs:complexType>\n"
      "</xs:schema>\n";
  std::ofstream(dir / "a.xsd") << schema;
  std::ofstream(dir / "a-2.xsd") << "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'/>";
  std::string command = "cd '" + dir.string() + "' && '" VXBINDC_PROGRAM "' " + arguments +
                        " >/dev/null 2>stderr.txt";
  int status = std::system(command.c_str());
  Outcome outcome;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.err = ReadFile((dir / "stderr.txt").string());
  if (fs::exists(dir / "out"))
    for (const auto& entry : fs::directory_iterator(dir / "out"))
      outcome.files.insert(entry.path().filename().string());
  fs::remove_all(dir);
  return outcome;
}

TEST(SplitSources, ProgramWritesExactlyNSourcesAndRefusesOtherCounts) {
  const std::string run = "a.xsd --output out --cxx-namespace N ";
  // One class in four sources: the files without classes are written too.
  Outcome four = RunProgram(run + "--sources 4");
  EXPECT_EQ(four.status, 0) << four.err;
  EXPECT_EQ(four.files, (std::set<std::string>{"a.h", "a.cpp", "a-2.cpp", "a-3.cpp", "a-4.cpp"}));
  Outcome one = RunProgram(run + "--sources=1");
  EXPECT_EQ(one.files, (std::set<std::string>{"a.h", "a.cpp"}));

  struct Refused {
    std::string arguments;
    std::string message;
  } refused[] = {
      {run + "--sources 0",
       "<command line>:7: --sources needs a number from 1 to 1000, not '0'\n"},
      {run + "--sources=-2",
       "<command line>:6: --sources needs a number from 1 to 1000, not '-2'\n"},
      {run + "--sources two",
       "<command line>:7: --sources needs a number from 1 to 1000, not 'two'\n"},
      {run + "--sources 1001",
       "<command line>:7: --sources needs a number from 1 to 1000, not '1001'\n"},
      {run + "--sources 99999999999",
       "<command line>:7: --sources needs a number from 1 to 1000, not '99999999999'\n"},
      {run + "--sources 2 --sources 2", "<command line>:9: --sources given twice\n"},
      {run + "--sources", "<command line>:6: --sources needs a value\n"},
      // a.xsd's second source would be a-2.xsd's first.
      {"a.xsd a-2.xsd --output out --cxx-namespace N --sources 2",
       "a.xsd:0: another schema of this run also gives a-2.cpp; rename one of them\n"},
  };
  for (const Refused& r : refused) {
    Outcome outcome = RunProgram(r.arguments);
    EXPECT_EQ(outcome.status, 1) << r.arguments;
    EXPECT_EQ(outcome.err, r.message) << r.arguments;
    EXPECT_EQ(outcome.files, std::set<std::string>{}) << r.arguments;
  }
  // With one source each, the two schemas' files do not meet.
  EXPECT_EQ(RunProgram("a.xsd a-2.xsd --output out --cxx-namespace N").status, 0);
}

}  // namespace
