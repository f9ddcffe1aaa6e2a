// The byte-stream and file entry points of CXmlObjectBase.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "support/Bytes.h"
#include "support/Text.h"
#include "vxbind/core/XmlObjectBase.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/ByteOutput.h"
#include "vxbind/writers/XmlWriter.h"

using namespace VxVevAva5;
using vxtest::Inflate;
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

std::string Stream(const CNote& note, bool declaration, XmlEncoding encoding,
                   CompressionType compression = CompressionType_None) {
  return vxtest::AsBytes(
      note.ToXmlStream(declaration, false, encoding, EOLType_LF, Default(), compression));
}

}  // namespace

TEST(CXmlObjectBaseToXmlStream, EncodesWithTheMatchingDeclaration) {
  CSmartPtr<CNote> note = new CNote(U("caf\xC3\xA9 \xF0\x9F\x98\x80"));
  const std::string body = "<note lang=\"fr\">caf\xC3\xA9 \xF0\x9F\x98\x80</note>";
  EXPECT_EQ(Stream(*note, true, XmlEncoding_UTF8),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body);
  EXPECT_EQ(Stream(*note, true, XmlEncoding_UTF16),
            Utf16Le("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n" + body));
  EXPECT_EQ(Stream(*note, true, XmlEncoding_UTF16NoLabel),
            Utf16Le("<?xml version=\"1.0\"?>\n" + body));
  EXPECT_EQ(Stream(*note, false, XmlEncoding_UTF8), body);
  // The text is written first; the encoding is refused when it is encoded.
  EXPECT_VX_THROW(Stream(*note, true, XmlEncoding_None), CVxException,
                  "Unknown Encoding, select UTF-8 (contact support@vxbind.example for support)");
}

TEST(CXmlObjectBaseToXmlStream, EveryFormReadsBack) {
  String text;
  for (int i = 0; i < 200; ++i) text += U("\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80 & < ");
  CSmartPtr<CNote> note = new CNote(text);
  for (XmlEncoding encoding : {XmlEncoding_UTF8, XmlEncoding_UTF16, XmlEncoding_UTF16NoLabel}) {
    std::string plain = Stream(*note, true, encoding);
    for (CompressionType compression :
         {CompressionType_None, CompressionType_GZip, CompressionType_ZLib}) {
      SCOPED_TRACE(std::to_string(encoding) + "/" + std::to_string(compression));
      CBinaryData bytes =
          note->ToXmlStream(true, false, encoding, EOLType_LF, Default(), compression);
      if (compression != CompressionType_None) {
        EXPECT_EQ(Inflate(vxtest::AsBytes(bytes)), plain);
      }
      if (compression == CompressionType_GZip) {
        EXPECT_EQ(vxtest::AsBytes(bytes).substr(0, 2), "\x1F\x8B");
      }
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

TEST(CXmlObjectBaseToXmlFile, ByteOrderMarksAndCompressionReadBack) {
  String text;
  for (int i = 0; i < 200; ++i) text += U("caf\xC3\xA9 ");
  CSmartPtr<CNote> note = new CNote(text);
  std::string path = vxtest::TempPath("note.xml");
  String name = U(path);
  for (XmlEncoding encoding : {XmlEncoding_UTF8, XmlEncoding_UTF16, XmlEncoding_UTF16NoLabel}) {
    for (CompressionType compression : {CompressionType_None, CompressionType_GZip}) {
      SCOPED_TRACE(std::to_string(encoding) + "/" + std::to_string(compression));
      note->ToXmlFile(name.c_str(), true, false, encoding, EOLType_LF, Default(), compression);
      std::string onDisk = vxtest::ReadFileBytes(path);
      // UTF-16 text starts with FF FE; a gzip file starts with its header
      // and keeps the mark inside the compressed bytes.
      std::string mark = encoding == XmlEncoding_UTF8 ? "" : "\xFF\xFE";
      if (compression == CompressionType_GZip) {
        EXPECT_EQ(onDisk.substr(0, 2), "\x1F\x8B");
        onDisk = Inflate(onDisk);
      }
      EXPECT_EQ(onDisk, mark + Stream(*note, true, encoding));
      CSmartPtr<CNote> back = new CNote(String());
      back->FromXmlFile(name.c_str(), Default());
      EXPECT_TRUE(back->m_text == text);
    }
  }
  std::remove(path.c_str());
}

TEST(CXmlObjectBaseToXmlFile, ZlibAndUnwritablePathsAreRefused) {
  CSmartPtr<CNote> note = new CNote(U("x"));
  std::string path = vxtest::TempPath("zlib.xml");
  String name = U(path);
  std::remove(path.c_str());
  EXPECT_VX_THROW(note->ToXmlFile(name.c_str(), true, true, XmlEncoding_UTF8, EOLType_LF,
                                  Default(), CompressionType_ZLib),
                  CVxException, "ZLIB Compression only available for To Stream methods.");
  EXPECT_FALSE(Exists(path));  // refused before anything was created
  EXPECT_VX_THROW(note->ToXmlFile(VX_T("/nonexistent-dir/out.xml"), true, true, XmlEncoding_UTF8,
                                  EOLType_LF, Default(), CompressionType_None),
                  CVxException,
                  "Failed to write data to the file [/nonexistent-dir/out.xml] error [0x00000002]");
}
