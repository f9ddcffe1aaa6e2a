// The allocation-failure sweep over writing: ToXml, ToXmlStream and the
// entry points that write straight to a destination, and the text writer
// driven directly.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <utility>

#include "alloc/Sweep.h"
#include "support/Bytes.h"
#include "support/Nodes.h"
#include "support/Text.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;
using vxtest::CTestNode;
using vxtest::ToUtf8;
using vxtest::U;
using vxtest::alloc::Promise;
using vxtest::alloc::Sweep;

namespace {

// A root in its namespace with children in it and in two others, text with
// every character that escaping changes, and enough repetition to compress.
CSmartPtr<CTestNode> MakeTree() {
  CSmartPtr<CTestNode> root = new CTestNode("order", "urn:orders");
  root->text = U("a \"quoted\" & <tagged> text\r\nwith 'apostrophes' \xC3\xBC \xF0\x9D\x84\x9E");
  for (int i = 0; i < 12; ++i) {
    CSmartPtr<CTestNode> child = new CTestNode("item", i % 3 == 0 ? "urn:other" : "urn:orders");
    child->text = U("item number " + std::to_string(i) + " & more");
    if (i % 4 == 0) child->children.push_back(new CTestNode("leaf", "urn:third"));
    root->children.push_back(child);
  }
  return root;
}

}  // namespace

TEST(WritingSweep, ToXmlWritesTheWholeTreeOrNothing) {
  CSmartPtr<CTestNode> tree = MakeTree();
  CXmlSerializationContext context;
  context.GetProcessingInstructions().push_back(U("<?style type='a'?>"));
  for (EOLType eol : {EOLType_LF, EOLType_CRLF}) {
    Sweep(eol == EOLType_LF ? "ToXml, LF" : "ToXml, CRLF", [&] {
      const CTestNode& root = *tree;
      String xml;
      Promise([&] { xml = root.ToXml(true, true, eol, context); },
              [&] {  // the object is unchanged and writes itself again
                EXPECT_FALSE(root.ToXml(true, true, eol, context).empty());
              });
      return ToUtf8(xml);
    });
  }
}

TEST(WritingSweep, ToXmlStreamInEveryEncodingAndCompression) {
  CSmartPtr<CTestNode> tree = MakeTree();
  CXmlSerializationContext context;
  const std::pair<XmlEncoding, CompressionType> cases[] = {
      {XmlEncoding_UTF8, CompressionType_None},
      {XmlEncoding_UTF16, CompressionType_None},
      {XmlEncoding_UTF16NoLabel, CompressionType_None},
      {XmlEncoding_UTF8, CompressionType_GZip},
      {XmlEncoding_UTF16, CompressionType_ZLib},
      {XmlEncoding_None, CompressionType_None},  // refused after writing
  };
  for (const auto& c : cases) {
    const std::string name = "ToXmlStream, encoding " + std::to_string(c.first) +
                             ", compression " + std::to_string(c.second);
    SCOPED_TRACE(name);
    Sweep(name, [&] {
      CBinaryData bytes = tree->ToXmlStream(true, false, c.first, EOLType_LF, context, c.second);
      return vxtest::AsBytes(bytes);
    });
  }
}

TEST(WritingSweep, ToXmlFile) {
  CSmartPtr<CTestNode> tree = MakeTree();
  CXmlSerializationContext context;
  const std::string path = vxtest::TempPath("alloc_sweep_out.xml.gz");
  const String widePath = U(path);
  for (CompressionType compression : {CompressionType_None, CompressionType_GZip}) {
    Sweep(compression == CompressionType_None ? "ToXmlFile, UTF-16" : "ToXmlFile, UTF-16 gzip",
          [&] {
            tree->ToXmlFile(widePath.c_str(), true, true, XmlEncoding_UTF16, EOLType_LF, context,
                            compression);
            vxtest::alloc::Pause pause;  // reading the file back is not the library's
            return vxtest::ReadFileBytes(path);
          });
  }
  std::remove(path.c_str());
}

TEST(WritingSweep, TextWriterWithNamespacesAndEscaping) {
  // Long enough to cross the buffer's 65,535-unit chunks.
  const String longText = U(std::string(70000, 'x') + "&<>\"\r\n");
  auto write = [&](CXmlTextWriter& w) {
    w.SetIndent(true);
    w.SetEOLType(EOLType_CRLF);
    w.WriteStartDocument(XmlEncoding_UTF8);
    w.WriteProcessingInstruction(U("<?pi x?>"));
    w.AddNamespace(U("o"), U("urn:o"));
    w.AddNamespace(U("xsi"), U("http://www.w3.org/2001/XMLSchema-instance"));
    w.SetDefaultNamespace(U("urn:default"));
    w.WriteStartElement(U("root"), U("urn:default"));
    w.WriteAttribute(U("plain"), String(), U("a\"b&c<d>e'f"));
    w.WriteAttribute(U("fresh"), U("urn:fresh"), U("v"));
    w.WriteXsiType(U("urn:types"), U("T"));
    w.WriteInLineSchema(U("<xs:schema/>"));
    w.WriteComment(U("note & <comment>"));
    w.WriteStartElement(U("child"), U("urn:o"));
    w.AddNamespace(U("p"), U("urn:local"));
    w.SetDefaultNamespace(U("urn:inner"));
    w.WriteStartElement(U("deep"), U("urn:local"));
    w.WriteText(U("line\nbreak"));
    w.WriteEndElement();
    w.WriteStartElement(U("other"), U("urn:generated"));
    w.WriteEndElement();
    w.WriteEndElement();
    w.WriteStartElement(U("long"), String());
    w.WriteText(longText);
    w.WriteEndElement();
    w.WriteEndElement();
    w.WriteEndDocument();
  };
  std::string full;
  {
    CXmlTextWriter w;
    write(w);
    full = ToUtf8(w.GetString());
  }
  Sweep("CXmlTextWriter", [&] {
    CXmlTextWriter w;
    Promise([&] { write(w); },
            [&] {  // what was written stays, and is the start of the document
              std::string sofar = ToUtf8(w.GetString());
              EXPECT_EQ(full.compare(0, sofar.size(), sofar), 0) << sofar.size();
            });
    std::string once = ToUtf8(w.GetString());
    std::string bytes = vxtest::AsBytes(w.GetBytes(XmlEncoding_UTF8));
    std::string wide = vxtest::AsBytes(w.GetBytes(XmlEncoding_UTF16));
    // A buffer of small chunks joined into one.
    CStringBuffer small(8);
    small.AppendEscaped(U("joined <text> & \"more\" joined text").c_str(), EOLType_LF);
    size_t length = 0;
    std::string joined = ToUtf8(small.GetJoinedText(length));
    return once + bytes + std::to_string(wide.size()) + joined + ToUtf8(w.GetString());
  });
}

TEST(WritingSweep, StraightToACallbackAStreamAndAFile) {
  CSmartPtr<CTestNode> tree = MakeTree();
  for (int i = 0; i < 3000; ++i)  // past the writers' 64 KiB bound
    tree->children.push_back(new CTestNode("more", "urn:orders"));
  const CTestNode& root = *tree;
  CXmlSerializationContext context;
  const std::string path = vxtest::TempPath("alloc_sweep_sink.xml");
  const String widePath = U(path);
  for (CompressionType compression : {CompressionType_None, CompressionType_GZip}) {
    const std::string suffix = compression == CompressionType_None ? "" : ", gzip";
    Sweep("ToXmlCallback" + suffix, [&] {
      std::string bytes;
      root.ToXmlCallback([&](const unsigned char* data, size_t length) {
        vxtest::alloc::Pause pause;
        bytes.append(reinterpret_cast<const char*>(data), length);
      }, true, true, XmlEncoding_UTF8, EOLType_LF, context, compression);
      return bytes;
    });
    Sweep("ToFastInfosetStream(std::ostream&)" + suffix, [&] {
      std::ostringstream out;
      {
        vxtest::alloc::Pause pause;  // the stream's own buffer is not the library's
        out.str(std::string(1 << 20, ' '));
        out.seekp(0);
      }
      root.ToFastInfosetStream(out, FInfoDecl_None, context, compression);
      vxtest::alloc::Pause pause;
      return out.str().substr(0, static_cast<size_t>(out.tellp()));
    });
    Sweep("ToXmlFile, UTF-16" + suffix, [&] {
      root.ToXmlFile(widePath.c_str(), true, false, XmlEncoding_UTF16, EOLType_LF, context,
                     compression);
      vxtest::alloc::Pause pause;
      return vxtest::ReadFileBytes(path);
    });
  }
  // A callback that fails halfway: its exception, and nothing left behind.
  Sweep("ToXmlCallback failing", [&] {
    size_t total = 0;
    root.ToXmlCallback([&](const unsigned char*, size_t length) {
      total += length;
      if (total > 70000) throw CVxException(U("the destination is full"));
    });
    return std::string("not reached");
  });
  std::remove(path.c_str());
}
