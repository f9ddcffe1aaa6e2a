// The byte-stream and file entry points of CXmlObjectBase.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/Bytes.h"
#include "support/Nodes.h"
#include "support/Text.h"
#include "vxbind/writers/ByteOutput.h"

using namespace VxVevAva5;
using vxtest::AsBytes;
using vxtest::CTestNode;
using vxtest::Inflate;
using vxtest::Utf16Le;
using vxtest::U;

namespace {

const CXmlSerializationContext& Default() { return CXmlSerializationContext::GetDefaultContext(); }

std::string Stream(const CTestNode& note, bool declaration, XmlEncoding encoding) {
  return AsBytes(note.ToXmlStream(declaration, false, encoding, EOLType_LF, Default()));
}

CSmartPtr<CTestNode> Note(const String& text) {
  CSmartPtr<CTestNode> note = new CTestNode("note");
  note->text = text;
  return note;
}

}  // namespace

TEST(CXmlObjectBaseToXmlStream, EncodesWithTheMatchingDeclaration) {
  CSmartPtr<CTestNode> note = Note(U("caf\xC3\xA9 \xF0\x9F\x98\x80"));
  const std::string body = "<note root=\"yes\">caf\xC3\xA9 \xF0\x9F\x98\x80</note>";
  EXPECT_EQ(Stream(*note, true, XmlEncoding_UTF8),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body);
  EXPECT_EQ(Stream(*note, true, XmlEncoding_UTF16),
            Utf16Le("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n" + body));
  EXPECT_EQ(Stream(*note, true, XmlEncoding_UTF16NoLabel),
            Utf16Le("<?xml version=\"1.0\"?>\n" + body));
  EXPECT_EQ(Stream(*note, false, XmlEncoding_UTF8), body);
  // The text is written first; the encoding is refused when it is encoded.
  EXPECT_VX_THROW(Stream(*note, true, XmlEncoding_None), CVxException,
                  "Unknown Encoding, select UTF-8");
}

TEST(CXmlObjectBaseToXmlStream, EveryEncodingAndCompressionReadsBackFromBytesAndFiles) {
  String text;
  for (int i = 0; i < 200; ++i) text += U("\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80 & < ");
  CSmartPtr<CTestNode> note = Note(text);
  std::string path = vxtest::TempPath("note.xml");
  String name = U(path);
  for (XmlEncoding encoding : {XmlEncoding_UTF8, XmlEncoding_UTF16, XmlEncoding_UTF16NoLabel}) {
    std::string plain = Stream(*note, true, encoding);
    for (CompressionType compression :
         {CompressionType_None, CompressionType_GZip, CompressionType_ZLib}) {
      SCOPED_TRACE(std::to_string(encoding) + "/" + std::to_string(compression));
      CBinaryData bytes =
          note->ToXmlStream(true, false, encoding, EOLType_LF, Default(), compression);
      std::string raw = AsBytes(bytes);
      EXPECT_EQ(compression == CompressionType_GZip, raw.compare(0, 2, "\x1F\x8B") == 0);
      EXPECT_EQ(compression == CompressionType_None ? raw : Inflate(raw), plain);
      CTestNode back("x");
      back.FromXmlStream(bytes, Default());
      EXPECT_EQ(back.Name(), "note");
      EXPECT_TRUE(back.text == text);
      EXPECT_EQ(vxtest::ToUtf8(back.rootAttribute), "yes");
      if (compression == CompressionType_ZLib) continue;  // refused for files

      // A UTF-16 file starts with FF FE; a gzip file starts with its header
      // and keeps the mark inside the compressed bytes.
      note->ToXmlFile(name.c_str(), true, false, encoding, EOLType_LF, Default(), compression);
      std::string onDisk = vxtest::ReadFileBytes(path);
      if (compression == CompressionType_GZip) {
        EXPECT_EQ(onDisk.substr(0, 2), "\x1F\x8B");
        onDisk = Inflate(onDisk);
      }
      EXPECT_EQ(onDisk, (encoding == XmlEncoding_UTF8 ? "" : "\xFF\xFE") + plain);
      CTestNode fromFile("x");
      fromFile.FromXmlFile(name.c_str(), Default());
      EXPECT_TRUE(fromFile.text == text);
    }
  }
  std::remove(path.c_str());
}

TEST(CXmlObjectBaseToXmlFile, ZlibAndUnwritablePathsAreRefused) {
  CSmartPtr<CTestNode> note = Note(U("x"));
  std::string path = vxtest::TempPath("zlib.xml");
  String name = U(path);
  std::remove(path.c_str());
  EXPECT_VX_THROW(note->ToXmlFile(name.c_str(), true, true, XmlEncoding_UTF8, EOLType_LF,
                                  Default(), CompressionType_ZLib),
                  CVxException, "ZLIB Compression only available for To Stream methods.");
  EXPECT_NE(::access(path.c_str(), F_OK), 0);  // refused before anything was created
  EXPECT_VX_THROW(note->ToXmlFile(VX_T("/nonexistent-dir/out.xml"), true, true, XmlEncoding_UTF8,
                                  EOLType_LF, Default(), CompressionType_None),
                  CVxException,
                  "Failed to write data to the file [/nonexistent-dir/out.xml] error [0x00000002]");
}
