#include <gtest/gtest.h>

#include <string>

#include "support/Bytes.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;

namespace {

void LoadBytes(CXmlDocument& doc, std::string bytes) {
  doc.LoadXmlStream(reinterpret_cast<unsigned char*>(&bytes[0]),
                    static_cast<uint32_t>(bytes.size()));
}

}  // namespace

TEST(CXmlDocument, DecompressionBombsAreRefusedButLargeOrdinaryInputIsRead) {
  CXmlDocument doc;
  // 80 MB of one character packs into a few hundred kilobytes: refused.
  std::string bomb = "<a>" + std::string(80u << 20, 'x') + "</a>";
  EXPECT_VX_THROW(LoadBytes(doc, vxtest::Deflate(bomb, 31, Z_RLE)), CVxException,
                  "Compressed input expands to more than 256 times its size; it is not read");
  // Below the 64 MiB activation threshold any ratio is accepted.
  std::string big = "<a>" + std::string(60u << 20, 'x') + "</a>";
  LoadBytes(doc, vxtest::Deflate(big, 31, Z_RLE));
  EXPECT_EQ(doc.GetDocumentElement()->GetText().size(), 60u << 20);
}
