// Writing straight to a file, a std::ostream or a callback: the same bytes
// as the in-memory entry points, and clear failures when the destination
// fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <streambuf>
#include <string>

#include "support/Bytes.h"
#include "support/Nodes.h"
#include "support/Text.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/values/BinaryData.h"

using namespace VxVevAva5;
using vxtest::AsBytes;
using vxtest::CTestNode;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// Several times the writers' 64 KiB bound, with 2-, 3- and 4-byte
// characters throughout.
CSmartPtr<CTestNode> MakeLargeTree() {
  CSmartPtr<CTestNode> root = new CTestNode("order", "urn:orders");
  for (int i = 0; i < 4000; ++i) {
    CSmartPtr<CTestNode> child = new CTestNode("item", i % 5 == 0 ? "urn:other" : "urn:orders");
    child->text = U("item \xC3\xBC\xE2\x82\xAC\xF0\x9D\x84\x9E & <" + std::to_string(i * 7919) + ">");
    root->children.push_back(child);
  }
  return root;
}

std::string Callback(const CTestNode& node, XmlEncoding encoding, CompressionType compression) {
  std::string bytes;
  node.ToXmlCallback([&](const unsigned char* data, size_t length) {
    bytes.append(reinterpret_cast<const char*>(data), length);
  }, true, true, encoding, EOLType_CRLF, CXmlSerializationContext(), compression);
  return bytes;
}

std::string Message(const CVxException& e) { return ToUtf8(e.GetMessage()); }

// Accepts `room` bytes, then refuses more.
class FullBuffer : public std::streambuf {
 public:
  explicit FullBuffer(size_t room) : m_room(room) {}

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    std::streamsize taken = std::min<std::streamsize>(n, static_cast<std::streamsize>(m_room));
    m_room -= static_cast<size_t>(taken);
    return taken;
  }
  int_type overflow(int_type) override { return traits_type::eof(); }

 private:
  size_t m_room;
};

struct Stop {
  size_t at;
};

}  // namespace

TEST(WriteToSink, FileStreamAndCallbackGiveTheBytesOfTheInMemoryEntryPoints) {
  CSmartPtr<CTestNode> tree = MakeLargeTree();
  const CTestNode& node = *tree;
  const CXmlSerializationContext context;
  ASSERT_GT(node.ToXml().size(), 3u * 65536);
  const std::string path = vxtest::TempPath("sink_out");
  const String widePath = U(path);
  const std::pair<XmlEncoding, CompressionType> cases[] = {
      {XmlEncoding_UTF8, CompressionType_None},   {XmlEncoding_UTF16, CompressionType_None},
      {XmlEncoding_UTF16NoLabel, CompressionType_None}, {XmlEncoding_UTF8, CompressionType_GZip},
      {XmlEncoding_UTF16, CompressionType_GZip},  {XmlEncoding_UTF16, CompressionType_ZLib},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + "/" + std::to_string(c.second));
    const std::string expected =
        AsBytes(node.ToXmlStream(true, true, c.first, EOLType_CRLF, context, c.second));
    EXPECT_EQ(Callback(node, c.first, c.second), expected);
    std::ostringstream out;
    node.ToXmlStream(out, true, true, c.first, EOLType_CRLF, context, c.second);
    EXPECT_EQ(out.str(), expected);
    if (c.second == CompressionType_ZLib) continue;  // not for files
    // The file has the byte order mark of UTF-16, inside gzip's bytes.
    const bool utf16 = c.first != XmlEncoding_UTF8;
    std::string file = utf16 ? std::string("\xFF\xFE") : std::string();
    if (c.second == CompressionType_None) {
      file += expected;
    } else {
      file += AsBytes(node.ToXmlStream(true, true, c.first, EOLType_CRLF, context));
      CBinaryData plain(reinterpret_cast<const unsigned char*>(file.data()),
                        static_cast<uint32_t>(file.size()));
      file = AsBytes(plain.CompressData(c.second));
    }
    node.ToXmlFile(widePath.c_str(), true, true, c.first, EOLType_CRLF, context, c.second);
    EXPECT_EQ(vxtest::ReadFileBytes(path), file);
  }
  for (CompressionType compression : {CompressionType_None, CompressionType_GZip}) {
    const std::string expected =
        AsBytes(tree->ToFastInfosetStream(FInfoDecl_V10, context, compression));
    std::ostringstream out;
    node.ToFastInfosetStream(out, FInfoDecl_V10, context, compression);
    EXPECT_EQ(out.str(), expected);
    std::string bytes;
    node.ToFastInfosetCallback([&](const unsigned char* data, size_t length) {
      bytes.append(reinterpret_cast<const char*>(data), length);
    }, FInfoDecl_V10, context, compression);
    EXPECT_EQ(bytes, expected);
    tree->ToFastInfosetFile(widePath.c_str(), FInfoDecl_V10, context, compression);
    EXPECT_EQ(vxtest::ReadFileBytes(path), expected);
  }
  std::remove(path.c_str());
}

TEST(WriteToSink, SmallCompressedOutputIsWrittenWhereTheBufferWouldBeTooSmall) {
  // Compressed, a few bytes grow: ToXmlStream refuses them, the sinks do not.
  CSmartPtr<CTestNode> node = new CTestNode("r");
  std::ostringstream out;
  node->ToXmlStream(out, false, false, XmlEncoding_UTF8, EOLType_LF,
                    CXmlSerializationContext(), CompressionType_GZip);
  EXPECT_EQ(vxtest::Inflate(out.str()), "<r root=\"yes\"/>");
}

TEST(WriteToSink, AFailingDestinationStopsTheWriteWithAClearException) {
  CSmartPtr<CTestNode> tree = MakeLargeTree();
  const CTestNode& node = *tree;
  const CXmlSerializationContext context;
  const std::string expected = AsBytes(node.ToXmlStream(true, true, XmlEncoding_UTF8,
                                                        EOLType_CRLF, context));
  // The callback's own exception passes through, after the bytes before it.
  for (size_t at : {size_t{0}, size_t{1}, size_t{100000}}) {
    std::string bytes;
    try {
      node.ToXmlCallback([&](const unsigned char* data, size_t length) {
        if (bytes.size() + length > at) throw Stop{bytes.size()};
        bytes.append(reinterpret_cast<const char*>(data), length);
      }, true, true, XmlEncoding_UTF8, EOLType_CRLF, context);
      FAIL() << "no exception";
    } catch (const Stop& stop) {
      EXPECT_EQ(stop.at, bytes.size());
      EXPECT_EQ(expected.compare(0, bytes.size(), bytes), 0);
    }
  }
  try {
    node.ToXmlCallback(CXmlObjectBase::ByteCallback());
    FAIL() << "no exception";
  } catch (const CVxInvalidParamException& e) {
    EXPECT_EQ(Message(e), "The callback to write to is empty");
  }
  // Streams: failed before, failing halfway, and throwing their own failure.
  std::ostringstream failed;
  failed.setstate(std::ios::failbit);
  FullBuffer full(70000);
  std::ostream halfway(&full);
  FullBuffer throwing(10);
  std::ostream strict(&throwing);
  strict.exceptions(std::ios::badbit | std::ios::failbit);
  const std::pair<std::ostream*, std::string> streams[] = {
      {&failed, "The output stream failed after [0] bytes were written to it"},
      {&halfway, "The output stream failed after ["},
      {&strict, "The output stream failed after [0] bytes were written to it ["}};
  for (const auto& s : streams) {
    try {
      node.ToXmlStream(*s.first, true, false, XmlEncoding_UTF8, EOLType_LF, context);
      FAIL() << "no exception";
    } catch (const CVxException& e) {
      EXPECT_EQ(Message(e).compare(0, s.second.size(), s.second), 0) << Message(e);
      if (s.first == &halfway) {  // the pieces that went in whole
        unsigned long written = std::stoul(Message(e).substr(s.second.size()));
        EXPECT_GT(written, 0u);
        EXPECT_LE(written, 70000u);
      }
    }
  }
  // Files: a folder that does not exist, and a full disk.
  const std::pair<const char*, const char*> files[] = {
      {"/nonexistent-folder/out.xml", "error [0x00000002]"},
      {"/dev/full", "error [0x0000001C]"}};
  for (const auto& f : files) {
    for (bool fastInfoset : {false, true}) {
      try {
        if (fastInfoset)
          tree->ToFastInfosetFile(U(f.first).c_str());
        else
          node.ToXmlFile(U(f.first).c_str());
        FAIL() << "no exception";
      } catch (const CVxException& e) {
        EXPECT_EQ(Message(e), std::string("Failed to write data to the file [") + f.first + "] " +
                                  f.second);
      }
    }
  }
}

TEST(WriteToSink, AFileIsLeftAloneWhenTheWriteFailsBeforeItsFirstBytes) {
  const std::string path = vxtest::TempPath("sink_untouched.xml");
  ASSERT_TRUE(vxtest::WriteFileBytes(path, "before"));
  CSmartPtr<CTestNode> node = new CTestNode("r");
  node->children.push_back(new CTestNode("child"));
  node->children[0]->fail = true;
  EXPECT_THROW(node->ToXmlFile(U(path).c_str()), CVxValidationException);
  EXPECT_THROW(node->ToXmlFile(U(path).c_str(), true, true, XmlEncoding_None), CVxException);
  EXPECT_EQ(vxtest::ReadFileBytes(path), "before");
  std::remove(path.c_str());
}
