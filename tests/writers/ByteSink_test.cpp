// The writers with a byte sink: the bytes handed over, in bounded pieces,
// are those the writer gives for the whole output in memory, wherever the
// buffer's bound falls in the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/Bytes.h"
#include "support/Text.h"
#include "vxbind/base/Exceptions.h"
#include "vxbind/writers/ByteSink.h"
#include "vxbind/writers/FastInfosetWriter.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;
using vxtest::AsBytes;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// Keeps what it is given, and the largest piece.
struct Collector : CByteSink {
  std::string bytes;
  size_t pieces = 0, largest = 0;
  void Write(const unsigned char* data, size_t length) override {
    bytes.append(reinterpret_cast<const char*>(data), length);
    ++pieces;
    largest = std::max(largest, length);
  }
};

// A document whose text crosses the sink's 32,768-unit bound several times,
// with `lead` ASCII units first so that the bound falls at a different
// place for each `lead`: inside a surrogate pair, after a 2- or 3-byte
// character, on an entity.
void WriteText(CXmlTextWriter& w, size_t lead) {
  w.WriteStartDocument(XmlEncoding_UTF8);
  w.WriteStartElement(U("r"), U("urn:r"));
  w.WriteAttribute(U("a"), String(), U("\xF0\x9D\x84\x9E & \xC3\xBC"));
  w.WriteText(String(lead, 'x'));
  for (int i = 0; i < 3000; ++i) {
    w.WriteStartElement(U("item"), U("urn:r"));
    w.WriteText(U("\xF0\x9D\x84\x9E\xC3\xBC\xE2\x82\xAC<&>\n\xF0\x9F\x98\x80"));
    w.WriteEndElement();
  }
  w.WriteEndElement();
  w.WriteEndDocument();
}

}  // namespace

TEST(ByteSink, TextWriterHandsOverTheBytesOfTheWholeTextInBoundedPieces) {
  for (XmlEncoding encoding : {XmlEncoding_UTF8, XmlEncoding_UTF16}) {
    for (size_t lead : {0, 1, 2, 3, 5, 8, 13}) {
      SCOPED_TRACE(std::to_string(encoding) + " lead " + std::to_string(lead));
      CXmlTextWriter whole;
      WriteText(whole, lead);
      const std::string expected = AsBytes(whole.GetBytes(encoding));
      Collector sink;
      CXmlTextWriter w;
      w.SetByteSink(&sink, encoding);
      WriteText(w, lead);
      w.Flush();
      EXPECT_EQ(sink.bytes, expected);
      EXPECT_GT(sink.pieces, 3u);
      EXPECT_LE(sink.largest, 0x8000u * 3 + 4);  // the bound, encoded
      EXPECT_TRUE(w.GetString().empty());
    }
  }
}

TEST(ByteSink, TextWriterRefusesWhatGetBytesRefuses) {
  Collector sink;
  CXmlTextWriter refused;
  try {
    refused.SetByteSink(&sink, XmlEncoding_None);
    FAIL() << "no exception";
  } catch (const CVxException& e) {
    EXPECT_EQ(ToUtf8(e.GetMessage()), "Unknown Encoding, select UTF-8");
  }
  // A high surrogate followed by something else, in a piece and as the
  // last unit of one, and one that ends the text: the message and position
  // of GetBytes. "<r>" comes before the text.
  const size_t last = 0x8000 - 3 - 1;
  const struct {
    size_t at;
    bool endsText;
  } cases[] = {{100, false}, {last, false}, {last, true}};
  for (const auto& c : cases) {
    String text(0x8000 + 10, 'y');
    text[c.at] = 0xD800;
    if (c.endsText) text.resize(c.at + 1);
    std::string expected;
    {
      CXmlTextWriter whole;
      whole.WriteStartElement(U("r"), String());
      whole.WriteText(text);
      try {
        whole.GetBytes(XmlEncoding_UTF8);
      } catch (const CVxException& e) {
        expected = ToUtf8(e.GetMessage());
      }
    }
    ASSERT_FALSE(expected.empty());
    CXmlTextWriter w;
    w.SetByteSink(&sink, XmlEncoding_UTF8);
    try {
      w.WriteStartElement(U("r"), String());
      w.WriteText(text);
      w.Flush();
      FAIL() << "no exception";
    } catch (const CVxException& e) {
      EXPECT_EQ(ToUtf8(e.GetMessage()), expected);
    }
  }
}

TEST(ByteSink, FastInfosetWriterHandsOverTheOctetsOfTheWholeDocument) {
  // Flush with a start tag pending (written as it came: its name is known)
  // whose later attribute needs a declaration, then enough elements to go
  // past the bound several times.
  auto write = [](CFastInfosetWriter& w, bool flush) {
    w.WriteStartDocument(FInfoDecl_V10);
    w.WriteStartElement(U("r"), U("urn:r"));
    for (int i = 0; i < 8000; ++i) {
      w.WriteStartElement(U("item"), U("urn:r"));
      if (i == 1 && flush) w.Flush();
      if (i == 1) w.WriteAttribute(U("a"), U("urn:late"), U("v"));
      w.WriteText(U("value \xF0\x9D\x84\x9E " + std::to_string(i)));
      w.WriteEndElement();
    }
    w.WriteEndElement();
    w.WriteEndDocument();
  };
  CFastInfosetWriter whole;
  write(whole, false);
  const std::string expected = AsBytes(whole.GetBinaryData());
  Collector sink;
  CFastInfosetWriter w;
  w.SetByteSink(&sink);
  write(w, true);
  w.Flush();
  EXPECT_EQ(sink.bytes, expected);
  EXPECT_GT(sink.pieces, 3u);
  EXPECT_LT(sink.largest, 0x10000u);
}
