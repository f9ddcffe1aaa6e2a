// The byte-stream and file entry points of CXmlObjectBase.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "support/Text.h"
#include "vxbind/core/XmlObjectBase.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/ByteOutput.h"
#include "vxbind/writers/XmlWriter.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// <note lang="fr">text</note>
class CNote : public CXmlObjectBase {
 public:
  explicit CNote(String text) : m_text(std::move(text)) { SetElementName(VX_T("note")); }
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }

 protected:
  String GetTargetNamespace() const override { return String(); }
  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short* namespaceUri,
                 const CXmlSerializationContext&, bool) const override {
    writer->WriteStartElement(GetElementName(), namespaceUri);
    writer->WriteAttribute(U("lang"), String(), U("fr"));
    writer->WriteText(m_text);
    writer->WriteEndElement();
  }
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement*, const CXmlSerializationContext&,
                           bool) override {
    m_text = element->GetText();
    m_lang = element->GetAttribute(U("lang"), String());
    return nullptr;
  }

 public:
  String m_text;
  String m_lang;
};

std::string Bytes(const CBinaryData& d) {
  return std::string(reinterpret_cast<const char*>(d.GetData()), d.GetLength());
}

std::string Inflate(const std::string& in) {
  z_stream s{};
  EXPECT_EQ(inflateInit2(&s, 47), Z_OK);  // gzip or zlib wrapper
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  s.avail_in = static_cast<uInt>(in.size());
  std::string out;
  int rc = Z_OK;
  while (rc == Z_OK) {
    char piece[4096];
    s.next_out = reinterpret_cast<Bytef*>(piece);
    s.avail_out = sizeof piece;
    rc = inflate(&s, Z_NO_FLUSH);
    out.append(piece, sizeof piece - s.avail_out);
  }
  EXPECT_EQ(rc, Z_STREAM_END);
  inflateEnd(&s);
  return out;
}

std::string TempPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr ? dir : "/tmp") + "/vxbind_stream_" +
         std::to_string(::getpid()) + "_" + name;
}

std::string ReadFile(const std::string& path) {
  std::string data;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) data.push_back(static_cast<char>(c));
    std::fclose(f);
  }
  return data;
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

std::string Utf16Le(const std::string& utf8) {
  std::string out;
  for (unsigned short u : U(utf8)) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

const CXmlSerializationContext& Default() { return CXmlSerializationContext::GetDefaultContext(); }

}  // namespace

TEST(CXmlObjectBaseToXmlStream, EncodesWithTheMatchingDeclaration) {
  CSmartPtr<CNote> note = new CNote(U("caf\xC3\xA9 \xF0\x9F\x98\x80"));
  const std::string body = "<note lang=\"fr\">caf\xC3\xA9 \xF0\x9F\x98\x80</note>";
  EXPECT_EQ(Bytes(note->ToXmlStream(true, false, XmlEncoding_UTF8, EOLType_LF, Default(),
                                    CompressionType_None)),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body);
  EXPECT_EQ(Bytes(note->ToXmlStream(true, false, XmlEncoding_UTF16, EOLType_LF, Default(),
                                    CompressionType_None)),
            Utf16Le("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n" + body));
  EXPECT_EQ(Bytes(note->ToXmlStream(true, false, XmlEncoding_UTF16NoLabel, EOLType_LF, Default(),
                                    CompressionType_None)),
            Utf16Le("<?xml version=\"1.0\"?>\n" + body));
  EXPECT_EQ(Bytes(note->ToXmlStream(false, false, XmlEncoding_UTF8, EOLType_LF, Default(),
                                    CompressionType_None)),
            body);
  // The text is written first; the encoding is refused when it is encoded.
  EXPECT_VX_THROW(note->ToXmlStream(true, false, XmlEncoding_None, EOLType_LF, Default(),
                                    CompressionType_None),
                  CVxException,
                  "Unknown Encoding, select UTF-8 (contact support@vxbind.example for support)");
}

TEST(CXmlObjectBaseToXmlStream, CompressedOutputInflatesToThePlainBytes) {
  String text;
  for (int i = 0; i < 500; ++i) text += U("line \xC3\xA9 ") + Utf16::FromInt64(i % 7);
  CSmartPtr<CNote> note = new CNote(text);
  for (XmlEncoding encoding : {XmlEncoding_UTF8, XmlEncoding_UTF16}) {
    std::string plain = Bytes(
        note->ToXmlStream(true, true, encoding, EOLType_CRLF, Default(), CompressionType_None));
    std::string gz = Bytes(
        note->ToXmlStream(true, true, encoding, EOLType_CRLF, Default(), CompressionType_GZip));
    std::string zl = Bytes(
        note->ToXmlStream(true, true, encoding, EOLType_CRLF, Default(), CompressionType_ZLib));
    ASSERT_GE(gz.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(gz[0]), 0x1F);
    EXPECT_EQ(static_cast<unsigned char>(gz[1]), 0x8B);
    EXPECT_EQ(Inflate(gz), plain);
    EXPECT_EQ(Inflate(zl), plain);
  }
}

TEST(CXmlObjectBaseToXmlFile, ByteOrderMarkOnlyForUtf16) {
  CSmartPtr<CNote> note = new CNote(U("\xC3\xA9t\xC3\xA9"));
  std::string path = TempPath("bom.xml");
  String name = U(path);
  const std::string body = "<note lang=\"fr\">\xC3\xA9t\xC3\xA9</note>";
  note->ToXmlFile(name.c_str(), false, false, XmlEncoding_UTF16, EOLType_LF, Default(),
                  CompressionType_None);
  EXPECT_EQ(ReadFile(path), "\xFF\xFE" + Utf16Le(body));
  note->ToXmlFile(name.c_str(), false, false, XmlEncoding_UTF16NoLabel, EOLType_LF, Default(),
                  CompressionType_None);
  EXPECT_EQ(ReadFile(path), "\xFF\xFE" + Utf16Le(body));
  note->ToXmlFile(name.c_str(), false, false, XmlEncoding_UTF8, EOLType_LF, Default(),
                  CompressionType_None);
  EXPECT_EQ(ReadFile(path), body);
  std::remove(path.c_str());
}

TEST(CXmlObjectBaseToXmlFile, GzipIsWrittenAndZlibIsRefusedBeforeTheFileExists) {
  String text;
  for (int i = 0; i < 300; ++i) text += U("repeated words ");
  CSmartPtr<CNote> note = new CNote(text);
  std::string path = TempPath("compressed.xml");
  String name = U(path);
  std::remove(path.c_str());
  EXPECT_VX_THROW(note->ToXmlFile(name.c_str(), true, true, XmlEncoding_UTF8, EOLType_LF,
                                  Default(), CompressionType_ZLib),
                  CVxException, "ZLIB Compression only available for To Stream methods.");
  EXPECT_FALSE(Exists(path));

  note->ToXmlFile(name.c_str(), true, true, XmlEncoding_UTF8, EOLType_LF, Default(),
                  CompressionType_GZip);
  std::string onDisk = ReadFile(path);
  ASSERT_GE(onDisk.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(onDisk[0]), 0x1F);  // no byte order mark before it
  EXPECT_EQ(Inflate(onDisk), Bytes(note->ToXmlStream(true, true, XmlEncoding_UTF8, EOLType_LF,
                                                     Default(), CompressionType_None)));
  std::remove(path.c_str());

  EXPECT_VX_THROW(note->ToXmlFile(VX_T("/nonexistent-dir/out.xml"), true, true, XmlEncoding_UTF8,
                                  EOLType_LF, Default(), CompressionType_None),
                  CVxException,
                  "Failed to write data to the file [/nonexistent-dir/out.xml] error [0x00000002]");
}

TEST(CXmlObjectBaseFromXmlStream, ReadsBackEveryEncodingAndCompression) {
  String text;
  for (int i = 0; i < 200; ++i) text += U("\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80 & < ");
  CSmartPtr<CNote> note = new CNote(text);
  for (XmlEncoding encoding : {XmlEncoding_UTF8, XmlEncoding_UTF16, XmlEncoding_UTF16NoLabel}) {
    for (CompressionType compression :
         {CompressionType_None, CompressionType_GZip, CompressionType_ZLib}) {
      SCOPED_TRACE(std::to_string(encoding) + "/" + std::to_string(compression));
      CBinaryData bytes =
          note->ToXmlStream(true, true, encoding, EOLType_CRLF, Default(), compression);
      CSmartPtr<CNote> back = new CNote(String());
      back->FromXmlStream(bytes, Default());
      EXPECT_TRUE(back->m_text == text);
      EXPECT_EQ(ToUtf8(back->m_lang), "fr");
    }
  }
  CSmartPtr<CNote> none = new CNote(String());
  EXPECT_VX_THROW(none->FromXmlStream(CBinaryData(), Default()), CVxException,
                  "XML Stream is empty!");
}

TEST(CXmlObjectBaseFromXmlStream, FilesWrittenAreReadBack) {
  String text;
  for (int i = 0; i < 200; ++i) text += U("caf\xC3\xA9 ");
  CSmartPtr<CNote> note = new CNote(text);
  std::string path = TempPath("roundtrip.xml");
  String name = U(path);
  for (XmlEncoding encoding : {XmlEncoding_UTF8, XmlEncoding_UTF16}) {
    for (CompressionType compression : {CompressionType_None, CompressionType_GZip}) {
      SCOPED_TRACE(std::to_string(encoding) + "/" + std::to_string(compression));
      note->ToXmlFile(name.c_str(), true, true, encoding, EOLType_LF, Default(), compression);
      if (compression == CompressionType_GZip) {
        // The gzip header comes first; a UTF-16 mark is inside the data.
        std::string onDisk = ReadFile(path);
        ASSERT_GE(onDisk.size(), 2u);
        EXPECT_EQ(static_cast<unsigned char>(onDisk[0]), 0x1F);
        EXPECT_EQ(Inflate(onDisk).substr(0, 2),
                  encoding == XmlEncoding_UTF16 ? "\xFF\xFE" : "<?");
      }
      CSmartPtr<CNote> back = new CNote(String());
      try {
        back->FromXmlFile(name.c_str(), Default());
      } catch (const CVxException& e) {
        ADD_FAILURE() << ToUtf8(e.GetFullMessage());
      }
      EXPECT_TRUE(back->m_text == text);
    }
  }
  std::remove(path.c_str());
}
