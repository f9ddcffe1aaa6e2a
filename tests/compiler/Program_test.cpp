// The program itself: its command line, its messages and exit status, and
// that it writes all of its files or none.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ProgramTesting.h"
#include "vxbind/platform/Version.h"

namespace {

namespace fs = std::filesystem;
using program_testing::Result;
using Program = program_testing::ProgramTest;

const char kGood[] =
    "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'>\n"
    "  <xs:element name='a' type='T'/>\n"
    "  <xs:complexType name='T'><xs:sequence>\n"
    "    <xs:element name='b' type='xs:int'/>\n"
    "  </xs:sequence></xs:complexType>\n"
    "</xs:schema>\n";

TEST_F(Program, WritesAHeaderAndASourcePerSchema) {
  Write("good.xsd", kGood);
  Write("sub/other.xsd", "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'/>");
  Result r = Run("good.xsd sub/other.xsd --output out --cxx-namespace A::B");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(FilesIn("out"), (std::set<std::string>{"good.h", "good.cpp", "other.h", "other.cpp"}));
  // The first schema's source holds CreateRootObject and includes the others.
  std::string source = ReadFile(m_dir / "out/good.cpp");
  EXPECT_NE(source.find("#include \"other.h\""), std::string::npos);
  EXPECT_NE(source.find("CreateRootObject("), std::string::npos);
  EXPECT_EQ(ReadFile(m_dir / "out/other.cpp").find("CreateRootObject("), std::string::npos);
  EXPECT_NE(ReadFile(m_dir / "out/good.h").find("namespace A::B {"), std::string::npos);
}

// Each member's comment gives its XSD type, the facets its anonymous type
// adds, its occurrence and its documentation; the class's comment its own.
TEST_F(Program, CommentsSayWhatTheSchemaSays) {
  Write("doc.xsd",
        "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'>\n"
        "  <xs:element name='note' type='xs:string'/>\n"
        "  <xs:complexType name='T'>\n"
        "    <xs:annotation><xs:documentation>An order\n   line.</xs:documentation>"
        "</xs:annotation>\n"
        "    <xs:sequence>\n"
        "      <xs:element name='quantity'><xs:simpleType>\n"
        "        <xs:restriction base='xs:positiveInteger'><xs:maxExclusive value='100'/>"
        "</xs:restriction>\n"
        "      </xs:simpleType></xs:element>\n"
        "      <xs:element name='code' minOccurs='0'>\n"
        "        <xs:annotation><xs:documentation>Ends in C:\\</xs:documentation>"
        "</xs:annotation>\n"
        "        <xs:simpleType><xs:restriction base='xs:string'>"
        "<xs:pattern value='[A-Z]+'/></xs:restriction></xs:simpleType>\n"
        "      </xs:element>\n"
        "      <xs:element name='line' type='T' maxOccurs='unbounded'/>\n"
        "    </xs:sequence>\n"
        "  </xs:complexType>\n"
        "</xs:schema>\n");
  Result r = Run("doc.xsd --output out --cxx-namespace D");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string header = ReadFile(m_dir / "out/doc.h");
  for (const char* line :
       {"  // quantity: xs:positiveInteger, below 100\n",
        "  // code: xs:string, matching \"[A-Z]+\", optional\n  // Ends in C:\\.\n",
        "  // line: T, 1 to unbounded\n", "// The complex type T (line 3): a sequence of",
        "//\n// An order line.\n",
        "// The global element note of a simple type, as a document's root (line 2): text of the"})
    EXPECT_NE(header.find(line), std::string::npos) << line << "\nin:\n" << header;
  EXPECT_EQ(header.find("with attributes"), std::string::npos);
  EXPECT_EQ((header + ReadFile(m_dir / "out/doc.cpp")).find("using namespace"), std::string::npos);
}

TEST_F(Program, Help) {
  Result r = Run("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Usage: vxbindc SCHEMA.xsd... --output DIR --cxx-namespace NS\n", 0), 0u);
  r = Run("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("vxbindc ") + VxVevAva5::GetVersionString() + "\n");
}

struct Refusal {
  const char* name;
  std::string schema;     // written to bad.xsd
  std::string arguments;  // after the schemas
  std::string message;    // the whole of stderr
};

// Test names and failure reports show the row's name, not its bytes.
void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class ProgramRefusals : public Program, public testing::WithParamInterface<Refusal> {};

// One line on stderr, status 1, and not one file written, even where other
// schemas of the run were good or the output directory held files already.
TEST_P(ProgramRefusals, ReportFileAndLineAndWriteNothing) {
  Write("good.xsd", kGood);
  Write("go\"od.xsd", kGood);
  Write("out/keep.txt", "old");
  Write("bad.xsd", GetParam().schema);
  Result r = Run(GetParam().arguments);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, GetParam().message);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(FilesIn("out"), std::set<std::string>{"keep.txt"});
  EXPECT_EQ(ReadFile(m_dir / "out/keep.txt"), "old");
}

const std::string kHead = "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'>\n";
const std::string kRun = "good.xsd bad.xsd --output out --cxx-namespace N";

INSTANTIATE_TEST_SUITE_P(
    Program, ProgramRefusals,
    testing::Values(
        // The reader's refusals (each one tested in SchemaReader_test.cpp) and
        // the document reader's, as the program reports them.
        Refusal{"UnknownType", kHead + "\n<xs:element name='x' type='Nope'/></xs:schema>", kRun,
                "bad.xsd:3: unknown type 'Nope'\n"},
        // The generator's: a union that is its own member through a list.
        Refusal{"CircularUnion",
                kHead +
                    "<xs:simpleType name='V'><xs:list itemType='U'/></xs:simpleType>\n"
                    "<xs:simpleType name='U'><xs:union memberTypes='xs:int V'/></xs:simpleType>\n"
                    "<xs:element name='x' type='U'/></xs:schema>",
                kRun, "bad.xsd:3: the list or union type 'U' is made of itself\n"},
        Refusal{"NotWellFormed", kHead + "<xs:element>\n</xs:schema>", kRun,
                "bad.xsd:3: mismatched tag at line 3\n"},
        Refusal{"EmptyFile", "", kRun, "bad.xsd:0: the file is empty\n"},
        Refusal{"MissingFile", kGood, "good.xsd missing.xsd --output out --cxx-namespace N",
                "missing.xsd:0: cannot read: No such file or directory\n"},
        Refusal{"SameFileNameTwice", kGood, "good.xsd ./good.xsd --output out --cxx-namespace N",
                "./good.xsd:0: another schema of this run also gives good.h and good.cpp; "
                "rename one of them\n"},
        Refusal{"FileNameForAnInclude", kGood, "'go\"od.xsd' --output out --cxx-namespace N",
                "go\"od.xsd:0: the file name may hold only letters, digits, '_', '-' and '.'\n"},
        Refusal{"NoSchema", kGood, "--output out --cxx-namespace N",
                "<command line>:0: no schema given (see --help)\n"},
        Refusal{"NoOutput", kGood, "good.xsd --cxx-namespace N",
                "<command line>:0: --output DIR is missing\n"},
        Refusal{"NoNamespace", kGood, "good.xsd --output out",
                "<command line>:0: --cxx-namespace NS is missing\n"},
        Refusal{"KeywordNamespace", kGood, "good.xsd --output out --cxx-namespace A::int",
                "<command line>:5: 'A::int' is no C++ namespace name\n"},
        Refusal{"EmptyNamespacePart", kGood, "good.xsd --output out --cxx-namespace=A::",
                "<command line>:4: 'A::' is no C++ namespace name\n"},
        Refusal{"UnknownOption", kGood, "good.xsd --outptu out",
                "<command line>:2: unknown option '--outptu' (see --help)\n"},
        Refusal{"OptionWithoutValue", kGood, "good.xsd --cxx-namespace N --output",
                "<command line>:4: --output needs a value\n"}),
    [](const testing::TestParamInfo<Refusal>& p) { return std::string(p.param.name); });

TEST_F(Program, SourcesWritesExactlyNFilesAndRefusesOtherCounts) {
  Write("a.xsd", kGood);
  Write("a-2.xsd", "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'/>");
  // The status, the messages and the files written, out/ emptied again.
  struct Outcome {
    int status;
    std::string err;
    std::set<std::string> files;
  };
  auto RunProgram = [&](const std::string& arguments) {
    Result result = Run(arguments);
    Outcome outcome{result.status, result.err, FilesIn("out")};
    fs::remove_all(m_dir / "out");
    return outcome;
  };
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
