#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;

namespace {

std::string Gzip(const std::string& in) {
  z_stream s{};
  EXPECT_EQ(deflateInit2(&s, 9, Z_DEFLATED, 31, 9, Z_RLE), Z_OK);
  std::string out(deflateBound(&s, in.size()), '\0');
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  s.avail_in = static_cast<uInt>(in.size());
  s.next_out = reinterpret_cast<Bytef*>(&out[0]);
  s.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

void LoadBytes(CXmlDocument& doc, std::string bytes) {
  doc.LoadXmlStream(reinterpret_cast<unsigned char*>(&bytes[0]),
                    static_cast<uint32_t>(bytes.size()));
}

}  // namespace

TEST(CXmlDocument, DecompressionBombsAreRefusedButLargeOrdinaryInputIsRead) {
  CXmlDocument doc;
  // 80 MB of one character packs into a few hundred kilobytes: refused.
  std::string bomb = "<a>" + std::string(80u << 20, 'x') + "</a>";
  EXPECT_VX_THROW(LoadBytes(doc, Gzip(bomb)), CVxException,
                  "Compressed input expands to more than 256 times its size; it is not read");
  // Below the 64 MiB activation threshold any ratio is accepted.
  std::string big = "<a>" + std::string(60u << 20, 'x') + "</a>";
  LoadBytes(doc, Gzip(big));
  EXPECT_EQ(doc.GetDocumentElement()->GetText().size(), 60u << 20);
}
