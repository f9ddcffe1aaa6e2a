// Reading while binding: the entry points parse their input as the binding
// asks for it and free the items of a run that are done, so that a long run
// takes the memory of a few items; the input's failures still win over the
// binding's, and every kind of input (text, bytes, compressed, files,
// streams, UTF-16) reads the same.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "TestSchema.h"
#include "support/Bytes.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;
using namespace TestSchema;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

const std::string kOpen = "<choice xmlns='urn:vxbind:test'>";

// A choice of `count` leafC items, one per line; item `bad` (if any) has an
// id that is no number.
std::string Leaves(int count, int bad = -1) {
  std::string xml = kOpen + "\n";
  xml.reserve(static_cast<size_t>(count) * 24 + 64);
  for (int i = 0; i < count; ++i)
    xml += "  <leafC id='" + (i == bad ? std::string("x") : std::to_string(i)) + "'/>\n";
  return xml + "</choice>\n";
}

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// `xml` declared as UTF-16 instead of UTF-8.
std::string DeclaredUtf16(std::string xml) {
  size_t at = xml.find("UTF-8");
  if (at != std::string::npos) xml.replace(at, 5, "UTF-16");
  return xml;
}

std::string Message(const std::function<void()>& read) {
  try {
    read();
  } catch (const CVxException& e) {
    return ToUtf8(e.GetFullMessage());
  }
  return "";
}

// What a whole load of `xml` throws, "" when it loads.
std::string LoadMessage(const std::string& xml, bool strict = false) {
  CXmlDocument document;
  document.SetStrictXml(strict);
  return Message([&] { document.LoadXml(xml.c_str()); });
}

}  // namespace

TEST(ReadWhileBinding, ALongRunIsReadInTheMemoryOfAFewItemsFromEveryKindOfInput) {
  constexpr int kItems = 200000;
  const std::string xml = Leaves(kItems);
  const std::string path = vxtest::TempPath("leaves.xml");
  const std::string gzipPath = vxtest::TempPath("leaves.xml.gz");
  WriteFile(path, xml);
  WriteFile(gzipPath, vxtest::Deflate(xml, 31));

  // The same document loaded whole, for scale: ~90 bytes per element.
  {
    CXmlDocument whole;
    whole.LoadXml(xml.c_str());
  }
  const size_t wholeBytes = CXmlDocument::GetLastTreeBytes();
  EXPECT_GT(wholeBytes, size_t{kItems} * 88);

  for (int entry = 0; entry < 5; ++entry) {
    SCOPED_TRACE(entry);
    CSmartPtr<CChoice> choice = new CChoice;
    if (entry == 0) choice->FromXml(xml.c_str());
    if (entry == 1) {
      CBinaryData bytes(reinterpret_cast<const unsigned char*>(xml.data()),
                        static_cast<uint32_t>(xml.size()));
      choice->FromXmlStream(bytes);
    }
    if (entry == 2) choice->FromXmlFile(U(path).c_str());
    if (entry == 3) choice->FromXmlFile(U(gzipPath).c_str());
    if (entry == 4) {
      std::ifstream in(path, std::ios::binary);
      choice->FromXmlStream(in);
    }
    ASSERT_EQ(choice->GetLeafC()->GetCount(), kItems);
    EXPECT_EQ(choice->GetLeafC()->Item(kItems - 1)->GetId(), kItems - 1);
    // A few pieces' worth of elements, whatever the number of items.
    EXPECT_LT(CXmlDocument::GetLastTreeBytes(), size_t{1} << 20);
  }
  std::remove(path.c_str());
  std::remove(gzipPath.c_str());
}

TEST(ReadWhileBinding, TheInputsFailuresWinOverTheBindingsAsInAWholeLoad) {
  CSmartPtr<CChoice> choice = new CChoice;
  // A binding failure early, a syntax error in the last piece: Expat's.
  std::string late = Leaves(20000, 3);
  late.insert(late.rfind("</choice>"), "<oops>");
  const std::string syntax = LoadMessage(late);
  ASSERT_NE(syntax.find("mismatched tag at line 20002"), std::string::npos) << syntax;
  EXPECT_EQ(Message([&] { choice->FromXml(late.c_str()); }), syntax);

  // Without it, the binding's own failure, at its item.
  const std::string binding = Message([&] { choice->FromXml(Leaves(20000, 3).c_str()); });
  EXPECT_NE(binding.find("[leafC]"), std::string::npos) << binding;

  // Junk after the root after a successful binding.
  const std::string junk = Leaves(3) + "<more/>";
  EXPECT_EQ(Message([&] { choice->FromXml(junk.c_str()); }), LoadMessage(junk));
  EXPECT_NE(LoadMessage(junk), "");

  // Input that ends inside the root: read as far as it goes, unless strict.
  const std::string cut = kOpen + "<leafC id='1'/><leafC id='2'/>";
  EXPECT_EQ(Message([&] { choice->FromXml(cut.c_str()); }), "");
  EXPECT_EQ(choice->GetLeafC()->GetCount(), 2);
  CXmlSerializationContext strict;
  strict.SetStrictXml(true);
  EXPECT_EQ(Message([&] { choice->FromXml(cut.c_str(), strict); }), LoadMessage(cut, true));
  EXPECT_NE(LoadMessage(cut, true), "");

  // A file that ends in damaged compressed data.
  const std::string path = vxtest::TempPath("damaged.xml.gz");
  std::string gzip = vxtest::Deflate(Leaves(5000), 31);
  gzip.resize(gzip.size() / 2);
  WriteFile(path, gzip);
  EXPECT_NE(Message([&] { choice->FromXmlFile(U(path).c_str()); })
                .find("The compressed input is damaged"),
            std::string::npos);
  std::remove(path.c_str());

  // A stream that cannot be read.
  std::ifstream none(vxtest::TempPath("does-not-exist.xml"));
  EXPECT_EQ(Message([&] { choice->FromXmlStream(none); }), "Failed to read from the input stream");
}

TEST(ReadWhileBinding, PiecesSplitCharactersAndTagsAnywhereAndReadTheSame) {
  // Texts of 1-, 2-, 3- and 4-byte characters and tags of odd lengths, so
  // that the 64 KiB pieces end inside characters and tags.
  std::string xml = "<?xml version='1.0' encoding='UTF-8'?>\n" + kOpen;
  for (int i = 0; i < 9000; ++i)
    xml += "<tag>a\xC3\xB6\xE2\x82\xAC\xF0\x9D\x84\x9E" + std::string(static_cast<size_t>(i % 7), 'x') +
           "</tag>";
  xml += "</choice>";
  CSmartPtr<CChoice> expected = new CChoice;
  try {
    CXmlDocument document;
    document.LoadXml(xml.c_str());
    CXmlSerializationContext context;
    expected->FromXmlElement(document.GetDocumentElement(), context);
  } catch (const CVxException& e) {
    FAIL() << ToUtf8(e.GetFullMessage());
  }
  const String written = expected->ToXml(false, false, EOLType_LF);
  ASSERT_EQ(expected->GetTag()->GetCount(), 9000);

  const std::string path = vxtest::TempPath("pieces.xml");
  const std::string utf16 = "\xFF\xFE" + vxtest::Utf16Le(DeclaredUtf16(xml));
  for (int entry = 0; entry < 4; ++entry) {
    SCOPED_TRACE(entry);
    CSmartPtr<CChoice> choice = new CChoice;
    EXPECT_EQ(Message([&] {
                if (entry == 0) choice->FromXml(U(DeclaredUtf16(xml)).c_str());
                if (entry == 1) {
                  WriteFile(path, utf16);
                  choice->FromXmlFile(U(path).c_str());
                }
                if (entry == 2) {
                  WriteFile(path, vxtest::Deflate(utf16, 15));
                  std::ifstream in(path, std::ios::binary);
                  choice->FromXmlStream(in);
                }
                if (entry == 3) {
                  std::istringstream in(xml);
                  choice->FromXmlStream(in);
                }
              }),
              "");
    EXPECT_EQ(choice->ToXml(false, false, EOLType_LF), written);
  }
  std::remove(path.c_str());
}
