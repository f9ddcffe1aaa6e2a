// Interoperability with the reference implementation of X.891 (Debian's
// libfastinfoset-java, driven by FiDriver.java): our Fast Infoset output,
// decoded by the reference, gives the infoset of our XML text of the same
// object; the reference's encodings of that text, with each of its
// options, read by us give the tree of the text. The driver runs once for
// the whole corpus; without Java the tests are skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/Bytes.h"
#include "support/RandomScript.h"
#include "support/ScriptObject.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;
using vxtest::CScriptObject;
using vxtest::ToUtf8;
using vxtest::U;
using vxtest::WriterCall;
using vxtest::WriterScript;

namespace {

const char* const kModes[] = {"default", "index-all", "index-none", "utf16"};

// The corpus: namespaces, attributes, repeated names and values, texts of
// every length, non-ASCII, deep nesting, tables past their first index
// ranges, and random documents.
std::vector<std::pair<std::string, WriterScript>> Corpus() {
  std::vector<std::pair<std::string, WriterScript>> corpus;
  using C = WriterCall;
  auto u = vxtest::Utf8;
  const String xsi = vxtest::XsiNamespace();
  const String xml = u("http://www.w3.org/XML/1998/namespace");

  WriterScript ns{{C::kAddNamespace, u("p"), u("urn:p")},
                  {C::kAddNamespace, u("unused"), u("urn:unused")},
                  {C::kSetDefault, u("urn:d")},
                  {C::kStart, u("root"), u("urn:d")},
                  {C::kAttribute, u("lang"), xml, u("en")},
                  {C::kAttribute, u("a"), u("urn:p"), u("1")},
                  {C::kXsiType, u("urn:t"), u("RootType")},
                  {C::kStart, u("child"), u("urn:d")},
                  {C::kStart, u("other"), u("urn:x")},
                  {C::kAttribute, u("b"), u("urn:y"), u("2")},
                  {C::kStart, u("plain"), String()},
                  {C::kStart, u("again"), u("urn:d")},
                  {C::kXsiType, u("urn:d"), u("Local")},
                  {C::kEnd},
                  {C::kEnd},
                  {C::kSetDefault, u("urn:inner")},
                  {C::kAddNamespace, u("p"), u("urn:rebound")},
                  {C::kStart, u("inner"), u("urn:inner")},
                  {C::kAttribute, u("c"), u("urn:rebound"), u("3")},
                  {C::kStart, u("deeper"), u("urn:p")},
                  {C::kEnd},
                  {C::kEnd},
                  {C::kEnd},
                  {C::kEnd},
                  {C::kEnd}};
  corpus.push_back({"namespaces", ns});

  WriterScript attrs{{C::kStart, u("r"), String()}};
  const char* values[] = {"", "1", "abc", "abcdef", "tab\there", "line\nfeed", "\"quoted\" 'single'",
                          "<&>", "caf\xC3\xA9", "\xF0\x9D\x84\x9E", "a value long enough to stay a literal"};
  for (int i = 0; i < 40; ++i) {
    attrs.push_back({C::kStart, u(i % 2 ? "item" : "entry"), String()});
    attrs.push_back({C::kAttribute, u("v"), String(), u(values[i % 11])});
    attrs.push_back({C::kAttribute, u("w"), u("urn:w"), u(values[(i * 7) % 11])});
    attrs.push_back({C::kEnd});
  }
  attrs.push_back({C::kEnd});
  corpus.push_back({"attributes", attrs});

  WriterScript texts{{C::kStart, u("r"), u("urn:t")}};
  std::string longText;
  for (int i = 0; i < 300; ++i) longText += "word" + std::to_string(i) + " \xC3\xA9\xE5\x90\x8D ";
  const char* pieces[] = {"a", "ab", "short", "exactly6", "\xE5\x90\x8D\xE5\x89\x8D", "x & y < z",
                          "\xF0\x9D\x84\x9E pair", "  spaced  ", "tab\tand\nline"};
  for (int i = 0; i < 30; ++i) {
    texts.push_back({C::kStart, u("t"), u("urn:t")});
    texts.push_back({C::kText, u(pieces[i % 9])});
    texts.push_back({C::kEnd});
    texts.push_back({C::kText, u(pieces[(i + 3) % 9])});  // mixed content
  }
  texts.push_back({C::kStart, u("long"), u("urn:t")});
  texts.push_back({C::kText, u(longText)});
  texts.push_back({C::kEnd});
  texts.push_back({C::kEnd});
  corpus.push_back({"texts", texts});

  WriterScript deep;
  for (int i = 0; i < 500; ++i) deep.push_back({C::kStart, u(i % 3 ? "d" : "e"), u(i % 2 ? "urn:a" : "")});
  deep.push_back({C::kText, u("bottom")});
  for (int i = 0; i < 500; ++i) deep.push_back({C::kEnd});
  corpus.push_back({"deep", deep});

  // Past the first ranges of every index: 9,000 distinct short values
  // (second bit), 2,200 element names (third bit), 1,100 chunks (fourth).
  WriterScript big{{C::kStart, u("r"), String()}};
  auto shortText = [](int i) {
    std::string s = "AAAAA";
    for (int k = 0; k < 5; ++k, i /= 26) s[k] = static_cast<char>('A' + i % 26);
    return s;
  };
  for (int i = 0; i < 9000; ++i) {
    big.push_back({C::kStart, u(i < 2200 ? "n" + std::to_string(i) : "n"), String()});
    big.push_back({C::kAttribute, u("v"), String(), u(shortText(i))});
    if (i < 1100) big.push_back({C::kText, u(shortText(i + 7))});
    big.push_back({C::kEnd});
  }
  for (int i = 8999; i >= 0; i -= 97) {
    big.push_back({C::kStart, u("n" + std::to_string(i % 2200)), String()});
    big.push_back({C::kAttribute, u("v"), String(), u(shortText(i))});
    big.push_back({C::kText, u(shortText((i % 1100) + 7))});
    big.push_back({C::kEnd});
  }
  big.push_back({C::kEnd});
  corpus.push_back({"tables", big});

  std::mt19937 rng(891);
  for (int i = 0; i < 12; ++i)
    corpus.push_back({"random" + std::to_string(i), vxtest::RandomScript(rng, 5 + i * 10)});
  return corpus;
}

// Typed content for the reference's encoding algorithms and restricted
// alphabets, in the text forms that our reader gives them.
const char kTyped[] =
    "<?xml version='1.0'?>\n"
    "<!-- a comment before the root -->\n"
    "<?target an instruction?>\n"
    "<!DOCTYPE typed [<!ELEMENT typed ANY>]>\n"
    "<typed xmlns='urn:typed' numeric='12.5E-3' datetime='2024-05-01T12:30:00Z' ints='1 -2'"
    " floats='1.5 INF'>"
    "<ints>1 -2 300 2147483647 -2147483648</ints>"
    "<shorts>1 -32768 32767</shorts>"
    "<longs>9223372036854775807 -1</longs>"
    "<booleans>true false true</booleans>"
    "<floats>1.5 -0.25 100 1e+20 INF -INF NaN</floats>"
    "<doubles>0.1 1.0000000000000002 1e+100 -INF NaN</doubles>"
    "<uuids>00112233445566778899AABBCCDDEEFF</uuids>"
    "<hex>00ABFF</hex>"
    "<base64>AAEC/w==</base64>"
    "<numeric>123.45E-6 7</numeric>"
    "<datetime>2024-05-01T12:30:00Z</datetime>"
    "<cdata>a &lt;b&gt; &amp; c</cdata>"
    "<?inside content?><!-- and a comment -->"
    "</typed>";

class FastInfosetInterop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
#ifdef VXBIND_TEST_JAVA
    dir_ = vxtest::TempPath("interop");
    std::system(("rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "'").c_str());
    CXmlSerializationContext strict;
    strict.SetStrictXml(true);
    std::ostringstream jobs;
    int n = 0;
    for (auto& [name, script] : Corpus()) {
      CScriptObject object(script);
      std::string base = dir_ + "/" + name;
      String text = object.ToXml(true, false, EOLType_LF, strict);
      vxtest::WriteFileBytes(base + ".xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" +
                                                ToUtf8(text.substr(text.find('>') + 1)));
      jobs << "xml\t" << base << ".xml\t" << base << ".xml.infoset\n";
      // Every declaration once on the first document; one each after.
      for (int d = 0; d <= (n == 0 ? 9 : 0); ++d) {
        FInfoDecl decl = static_cast<FInfoDecl>(n == 0 ? d : n % 10);
        std::string fi = base + "." + std::to_string(decl) + ".fi";
        vxtest::WriteFileBytes(fi, vxtest::AsBytes(object.ToFastInfosetStream(decl, strict)));
        jobs << "decode\t" << fi << "\t" << fi << ".infoset\n";
        ours_.push_back({base + ".xml.infoset", fi + ".infoset"});
      }
      for (const char* mode : kModes) {
        jobs << "encode\t" << mode << "\t" << base << ".xml\t" << base << "." << mode << ".ref.fi\n";
        theirs_.push_back({base + ".xml", base + "." + mode + ".ref.fi"});
      }
      ++n;
    }
    vxtest::WriteFileBytes(dir_ + "/typed.xml", kTyped);
    for (const char* mode : {"typed", "default", "utf16"}) {
      std::string fi = dir_ + "/typed." + mode + ".ref.fi";
      jobs << "encode\t" << mode << "\t" << dir_ << "/typed.xml\t" << fi << "\n";
      theirs_.push_back({dir_ + "/typed.xml", fi});
    }
    vxtest::WriteFileBytes(dir_ + "/jobs", jobs.str());
    std::string command = std::string("'") + VXBIND_TEST_JAVA + "' -cp '" +
                          VXBIND_TEST_FI_CLASSPATH + "' FiDriver '" + dir_ + "/jobs'";
    driverStatus_ = std::system(command.c_str());
#endif
  }
  static void TearDownTestSuite() {
    if (!dir_.empty() && std::getenv("VXBIND_KEEP_INTEROP") == nullptr)
      std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  void SetUp() override {
#ifndef VXBIND_TEST_JAVA
    GTEST_SKIP() << "Java or the Fast Infoset reference implementation is missing "
                    "(Debian: default-jdk-headless libfastinfoset-java)";
#endif
    ASSERT_EQ(driverStatus_, 0) << "the Java driver failed";
  }

  static std::string dir_;
  static int driverStatus_;
  static std::vector<std::pair<std::string, std::string>> ours_;    // text infoset, FI infoset
  static std::vector<std::pair<std::string, std::string>> theirs_;  // XML file, reference FI
};

std::string FastInfosetInterop::dir_;
int FastInfosetInterop::driverStatus_ = -1;
std::vector<std::pair<std::string, std::string>> FastInfosetInterop::ours_;
std::vector<std::pair<std::string, std::string>> FastInfosetInterop::theirs_;

// The tree a document read from `path` holds, xsi:type values aside.
vxtest::Tree TreeOf(const std::string& path, std::string* error) {
  CXmlDocument doc;
  try {
    String wide = U(path);
    doc.Load(wide.c_str());
  } catch (const CVxException& e) {
    *error = ToUtf8(e.GetMessage());
    return vxtest::Tree();
  }
  return vxtest::ReadTree(doc.GetDocumentElement());
}

}  // namespace

TEST_F(FastInfosetInterop, OurDocumentsDecodeToTheInfosetOfOurText) {
  ASSERT_FALSE(ours_.empty());
  for (const auto& [textInfoset, fiInfoset] : ours_) {
    SCOPED_TRACE(fiInfoset);
    std::string expected = vxtest::ReadFileBytes(textInfoset);
    std::string actual = vxtest::ReadFileBytes(fiInfoset);
    ASSERT_EQ(expected.rfind("ERROR", 0), std::string::npos) << expected;
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(actual, expected);
  }
}

// The corpus, and the typed content with the items before its root.
TEST_F(FastInfosetInterop, TheReferencesDocumentsReadAsTheirText) {
  ASSERT_FALSE(theirs_.empty());
  for (const auto& [xml, fi] : theirs_) {
    SCOPED_TRACE(fi);
    std::string error;
    vxtest::Tree expected = TreeOf(xml, &error);
    ASSERT_EQ(error, "");
    std::string bytes = vxtest::ReadFileBytes(fi);
    ASSERT_EQ(bytes.rfind("ERROR", 0), std::string::npos) << bytes;
    vxtest::Tree actual = TreeOf(fi, &error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(vxtest::Compare(expected, actual, true), "");
  }
}
