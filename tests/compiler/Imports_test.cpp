// Schemas that include and import each other: classes generated at build
// time from data/imports (two C++ namespaces in one program), and the
// program's messages for what it cannot compile.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "GeneratedTesting.h"
#include "ProgramTesting.h"
#include "catalog.h"
#include "people.h"  // includes library.h, which includes people.h
#include "library.h"

namespace {

using namespace generated_testing;
namespace L = Imports::Library;
namespace C = Imports::Catalog;
namespace fs = std::filesystem;
using program_testing::Result;

const std::string kData = VXBINDC_TEST_DATA "/imports/";

TEST(Imports, DocumentOfTwoNamespacesRoundTrips) {
  const std::string xml = ReadFile(kData + "library.xml");
  CSmartPtr<L::CLibrary> library = Root<L::CLibrary>(
      L::CreateRootObject(VX_T("library"), VX_T("urn:vxbind:library")));
  ASSERT_NE(library, nullptr);
  library->FromXml(xml.c_str());
  EXPECT_EQ(TreeDifference(xml, library->ToXml()), "");

  EXPECT_EQ(U8(library->GetLang()), "en");
  CSmartPtr<L::CBook> book = library->GetBook()->Item(0);
  EXPECT_EQ(U8(book->GetAuthor()->GetLast()), "Lovelace");  // a type of the other namespace
  EXPECT_EQ(book->GetStatus(), L::Status_lent);              // from the chameleon part
  EXPECT_EQ(book->GetRole(), L::Role_editor);
  EXPECT_EQ(book->GetSpace(), L::Space_preserve);
  EXPECT_EQ(U8(book->GetNote()->GetValue()), "B-7");
  CSmartPtr<L::CPerson> person = library->GetPerson()->Item(0);  // by ref
  EXPECT_EQ(person->GetStanding(), L::Status_available);
  EXPECT_EQ(U8(person->GetFavourite()->GetTitle()), "Passages");
  EXPECT_EQ(person->GetHistory()->GetCount(), 2);
  EXPECT_EQ(U8(library->GetKeeper()->GetFirst()), "Mary");

  // Made by hand, each element in its own namespace: the people's local
  // elements unqualified, the library's qualified.
  CSmartPtr<L::CLibrary> made = new L::CLibrary;
  CSmartPtr<L::CPerson> someone = made->GetPerson()->Add();
  someone->GetName()->SetFirst(VX_T("A"));
  someone->GetName()->SetLast(VX_T("B"));
  someone->GetHistory()->Add(L::Status_lent);
  CSmartPtr<L::CBook> favourite = new L::CBook;
  favourite->SetShelf(VX_T("E-1"));
  favourite->SetTitle(VX_T("T"));
  favourite->GetAuthor()->SetFirst(VX_T("C"));
  favourite->GetAuthor()->SetLast(VX_T("D"));
  someone->SetFavourite(favourite);
  CSmartPtr<L::CBook> first = made->GetBook()->Add();
  first->SetShelf(VX_T("F-2"));
  first->SetTitle(VX_T("U"));
  first->GetAuthor()->SetFirst(VX_T("G"));
  first->GetAuthor()->SetLast(VX_T("H"));
  const char* expected =
      "<l:library xmlns:l='urn:vxbind:library' xmlns:p='urn:vxbind:people'>"
      "<l:book shelf='F-2'><l:title>U</l:title><l:author><first>G</first><last>H</last>"
      "</l:author><l:status>available</l:status></l:book>"
      "<p:person><name><first>A</first><last>B</last></name>"
      "<favourite shelf='E-1'><l:title>T</l:title><l:author><first>C</first><last>D</last>"
      "</l:author><l:status>available</l:status></favourite><history>lent</history>"
      "</p:person></l:library>";
  EXPECT_EQ(TreeDifference(expected, made->ToXml()), "");
}

// The catalog's C++ namespace holds the same schemas' classes again,
// generated into catalog.h: no clash with the other namespace's.
TEST(Imports, SecondNamespaceInTheSameProgram) {
  const std::string xml = ReadFile(kData + "catalog.xml");
  CSmartPtr<C::CCatalog> catalog =
      Root<C::CCatalog>(C::CreateRootObject(VX_T("catalog"), VX_T("urn:vxbind:catalog")));
  ASSERT_NE(catalog, nullptr);
  catalog->FromXml(xml.c_str());
  EXPECT_EQ(TreeDifference(xml, catalog->ToXml()), "");
  CSmartPtr<C::CPerson> person = catalog->GetPerson()->Item(0);
  EXPECT_EQ(person->GetRole(), C::Role_author);  // the default
  EXPECT_EQ(U8(person->GetFavourite()->GetAuthor()->GetLast()), "Hopper");
  EXPECT_EQ(C::CreateRootObject(VX_T("library"), VX_T("urn:vxbind:library")).get() != nullptr,
            true);
  EXPECT_EQ(L::CreateRootObject(VX_T("catalog"), VX_T("urn:vxbind:catalog")).get(), nullptr);
}

// -- the program ----------------------------------------------------------------

using ImportsProgram = program_testing::ProgramTest;

std::string Schema(const std::string& attributes, const std::string& body) {
  return "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' " + attributes + ">\n" + body +
         "</xs:schema>\n";
}

const std::string kM = "targetNamespace='urn:m' xmlns:m='urn:m' xmlns:o='urn:o'";
const std::string kO = "targetNamespace='urn:o' xmlns:m='urn:m' xmlns:o='urn:o'";
const std::string kT = "<xs:complexType name='T'/>\n";

struct ImportsCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // main.xsd first
  std::string message;                                     // "" when it compiles
};

void PrintTo(const ImportsCase& c, std::ostream* os) { *os << c.name; }

class ImportsCases : public ImportsProgram, public testing::WithParamInterface<ImportsCase> {};

// A refusal names the file and line at fault and writes no file; a run that
// compiles writes main's two files and no others.
TEST_P(ImportsCases, CompileOrReportAndWriteNothing) {
  for (const auto& [name, text] : GetParam().files) Write(name, text);
  Result r = Run("main.xsd --output out --cxx-namespace N");
  EXPECT_EQ(r.err, GetParam().message);
  if (GetParam().message.empty()) {
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(FilesIn("out"), (std::set<std::string>{"main.h", "main.cpp"}));
  } else {
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(FilesIn("out"), std::set<std::string>{});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Imports, ImportsCases,
    testing::Values(
        ImportsCase{"IncludeCycle",
                    {{"main.xsd", Schema(kM, "<xs:include schemaLocation='part.xsd'/>\n"
                                             "<xs:element name='a' type='m:P'/>\n" + kT)},
                     {"part.xsd", Schema(kM, "<xs:include schemaLocation='main.xsd'/>\n"
                                             "<xs:complexType name='P'><xs:sequence>"
                                             "<xs:element name='t' type='m:T'/>"
                                             "</xs:sequence></xs:complexType>\n")}},
                    ""},
        ImportsCase{"ImportCycleThroughSubdirectory",
                    {{"main.xsd", Schema(kM, "<xs:import namespace='urn:o' "
                                             "schemaLocation='sub/o.xsd'/>\n"
                                             "<xs:element name='a' type='o:O'/>\n" + kT)},
                     {"sub/o.xsd", Schema(kO, "<xs:import namespace='urn:m' "
                                              "schemaLocation='../main.xsd'/>\n"
                                              "<xs:complexType name='O'><xs:sequence>"
                                              "<xs:element name='t' type='m:T'/>"
                                              "</xs:sequence></xs:complexType>\n")}},
                    ""},
        ImportsCase{"XmlAttributesWithoutImport",
                    {{"main.xsd", Schema(kM, "<xs:element name='a'><xs:complexType>\n"
                                             "<xs:attribute ref='xml:lang'/>"
                                             "<xs:attribute ref='xml:space' default='preserve'/>"
                                             "<xs:attribute ref='xml:base'/>"
                                             "<xs:attribute ref='xml:id'/>"
                                             "</xs:complexType></xs:element>\n")}},
                    ""},
        ImportsCase{"MissingInclude",
                    {{"main.xsd", Schema(kM, "\n<xs:include schemaLocation='gone.xsd'/>\n")}},
                    "main.xsd:3: cannot read the schema 'gone.xsd': No such file or directory\n"},
        ImportsCase{"MissingImport",
                    {{"main.xsd", Schema(kM, "<xs:import namespace='urn:o'\n"
                                             "  schemaLocation='sub/gone.xsd'/>\n")}},
                    "main.xsd:2: cannot read the schema 'sub/gone.xsd': No such file or "
                    "directory\n"},
        ImportsCase{"IncludeOfADirectory",
                    {{"main.xsd", Schema(kM, "<xs:include schemaLocation='sub'/>\n")},
                     {"sub/x.xsd", Schema(kM, "")}},
                    "main.xsd:2: cannot read the schema 'sub': Is a directory\n"},
        ImportsCase{"NamespaceNeverImported",
                    {{"main.xsd", Schema(kM, "\n<xs:element name='a' type='o:O'/>\n")}},
                    "main.xsd:3: the namespace 'urn:o' of 'o:O' is not imported: add "
                    "<xs:import namespace='urn:o'/>\n"},
        ImportsCase{"ImportWithoutSchema",
                    {{"main.xsd", Schema(kM, "<xs:import namespace='urn:o'/>\n"
                                             "<xs:element name='a' type='o:O'/>\n")}},
                    "main.xsd:3: no schema of the namespace 'urn:o' is known for 'o:O': import "
                    "it with a schemaLocation, or compile its schema in the same run\n"},
        ImportsCase{"ImportFromTheNetwork",
                    {{"main.xsd", Schema(kM, "<xs:import namespace='urn:o' "
                                             "schemaLocation='http://example.com/o.xsd'/>\n")}},
                    "main.xsd:2: vxbindc reads no schema from 'http://example.com/o.xsd': give "
                    "a local schemaLocation for the namespace 'urn:o', or compile its schema in "
                    "the same run\n"},
        ImportsCase{"IncludeFromTheNetwork",
                    {{"main.xsd", Schema(kM, "<xs:include "
                                             "schemaLocation='https://example.com/p.xsd'/>\n")}},
                    "main.xsd:2: vxbindc reads no schema from 'https://example.com/p.xsd': "
                    "include a local copy by its path\n"},
        ImportsCase{"DuplicateAcrossFiles",
                    {{"main.xsd", Schema(kM, "<xs:include schemaLocation='part.xsd'/>\n" + kT)},
                     {"part.xsd", Schema("", "\n" + kT)}},
                    "part.xsd:3: duplicate type 'T' (also in main.xsd:3)\n"},
        ImportsCase{"IncludeOfAnotherNamespace",
                    {{"main.xsd", Schema(kM, "<xs:include schemaLocation='o.xsd'/>\n")},
                     {"o.xsd", Schema(kO, "")}},
                    "main.xsd:2: the included schema 'o.xsd' has the target namespace 'urn:o', "
                    "but the including one has the target namespace 'urn:m'\n"},
        ImportsCase{"ImportOfTheWrongNamespace",
                    {{"main.xsd", Schema(kM, "<xs:import namespace='urn:x' "
                                             "schemaLocation='o.xsd'/>\n")},
                     {"o.xsd", Schema(kO, "")}},
                    "main.xsd:2: the imported schema 'o.xsd' has the target namespace 'urn:o', "
                    "but the import names the target namespace 'urn:x'\n"},
        ImportsCase{"ErrorInAnIncludedPart",
                    {{"main.xsd", Schema(kM, "<xs:include schemaLocation='part.xsd'/>\n")},
                     {"part.xsd", Schema("", "\n<xs:element name='a' type='Nope'/>\n")}},
                    "part.xsd:3: unknown type 'Nope'\n"},
        ImportsCase{"UnknownXmlAttribute",
                    {{"main.xsd", Schema(kM, "<xs:complexType name='T'>\n"
                                             "<xs:attribute ref='xml:colour'/>"
                                             "</xs:complexType>\n")}},
                    "main.xsd:3: unknown attribute 'xml:colour'\n"},
        ImportsCase{"Redefine",
                    {{"main.xsd", Schema(kM, "<xs:redefine schemaLocation='part.xsd'/>\n")},
                     {"part.xsd", Schema(kM, "")}},
                    "main.xsd:2: unsupported xs:redefine of 'part.xsd': vxbindc binds each "
                    "schema document as written; write the changes into a copy of that schema "
                    "and include the copy\n"}),
    [](const testing::TestParamInfo<ImportsCase>& p) { return std::string(p.param.name); });

// An include by URL is met by a schema of the command line: one of the
// includer's namespace, or one without a namespace by the name the URL ends
// in, which then takes the includer's (a chameleon); no other.
TEST_F(ImportsProgram, IncludeByUrlIsMetByASchemaOfTheCommandLine) {
  Write("main.xsd", Schema(kM, "<xs:include schemaLocation='http://example.com/x/part.xsd'/>\n"
                               "<xs:element name='a' type='m:P'/>\n"));
  const std::string kP = "<xs:complexType name='P'/>\n";
  Write("part.xsd", Schema(kM, kP));
  Result r = Run("main.xsd part.xsd --output same --cxx-namespace N");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  Write("part.xsd", Schema("", kP));
  r = Run("main.xsd part.xsd --output chameleon --cxx-namespace N");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(FilesIn("chameleon"),
            (std::set<std::string>{"main.h", "main.cpp", "part.h", "part.cpp"}));
  Write("other.xsd", Schema("", kP));
  r = Run("main.xsd other.xsd --output other --cxx-namespace N");
  EXPECT_EQ(r.err, "main.xsd:2: vxbindc reads no schema from 'http://example.com/x/part.xsd': "
                   "include a local copy by its path\n");
  EXPECT_EQ(FilesIn("other"), std::set<std::string>{});
  // Without a namespace, only the name tells which schema is meant.
  Write("main.xsd", Schema("", "<xs:include schemaLocation='http://example.com/x/part.xsd'/>\n"
                               "<xs:element name='a' type='P'/>\n"));
  r = Run("main.xsd other.xsd --output unnamed --cxx-namespace N");
  EXPECT_EQ(r.status, 1);
  r = Run("main.xsd part.xsd --output named --cxx-namespace N");
  EXPECT_EQ(r.err, "");
}

// The depfile names every schema read, reached ones too, for the build.
TEST_F(ImportsProgram, DepfileNamesEverySchemaRead) {
  Write("main.xsd", Schema(kM, "<xs:import namespace='urn:o' schemaLocation='sub/o.xsd'/>\n"));
  Write("sub/o.xsd", Schema(kO, "<xs:include schemaLocation='part.xsd'/>\n"));
  Write("sub/part.xsd", Schema("", ""));
  Result r = Run("main.xsd --depfile deps/main.d --output out --cxx-namespace N");
  ASSERT_EQ(r.status, 0) << r.err;
  std::string dir = fs::canonical(m_dir).string();
  EXPECT_EQ(ReadFile(m_dir / "deps/main.d"),
            dir + "/out/main.h: \\\n  " + dir + "/main.xsd \\\n  " + dir + "/sub/o.xsd \\\n  " +
                dir + "/sub/part.xsd\n");
}

}  // namespace
