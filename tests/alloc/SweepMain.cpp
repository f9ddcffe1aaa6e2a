// The allocation-failure sweep program: its own main, because it replaces
// the global operator new and delete for everything it links.
#include <gtest/gtest.h>

#include <string>

#include "alloc/FailingAllocator.h"
#include "support/Bytes.h"
#include "support/Text.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/values/BigInteger.h"
#include "vxbind/values/BinaryData.h"

using namespace VxVevAva5;
namespace alloc = vxtest::alloc;

namespace {

// Allocations made by `f`.
template <class F>
uint64_t AllocationsOf(F&& f) {
  uint64_t before = alloc::Made();
  f();
  return alloc::Made() - before;
}

}  // namespace

// A sweep that cannot see the library's allocations passes without testing
// anything. The shared library's own code, Expat's and zlib's all allocate
// through the replaced operator new.
TEST(AllocationSweep, SeesTheAllocationsOfTheLibraryExpatAndZlib) {
  EXPECT_GT(AllocationsOf([] { CBigInteger(VX_T("123456789012345678901234567890")); }), 0u);

  // Expat copies its input into a buffer of its own; the library keeps no
  // copy of UTF-16 text, and a comment leaves nothing in the tree.
  std::string xml = "<r><!--" + std::string(100000, 'c') + "--></r>";
  String text = vxtest::U(xml);
  alloc::ResetLargest();
  CXmlDocument doc;
  doc.LoadXml(text.c_str());
  EXPECT_GE(alloc::Largest(), text.size() * 2);

  // Deflate's window and tables take about 256 KiB; the output takes the
  // size of the input.
  std::string bytes(200, 'a');
  CBinaryData data(reinterpret_cast<const unsigned char*>(bytes.data()), 200);
  uint64_t before = alloc::BytesRequested();
  data.CompressData(CompressionType_GZip);
  EXPECT_GT(alloc::BytesRequested() - before, 200u * 1024);

  // Bytes are offered to inflate first, which takes zlib's state (about
  // 7 KiB) on top of the reader's own 64 KiB piece; text is not.
  std::string plain = "<r>" + std::string(1000, 'x') + "</r>";
  uint64_t start = alloc::BytesRequested();
  doc.LoadXml(plain.c_str());
  uint64_t asText = alloc::BytesRequested() - start;
  start = alloc::BytesRequested();
  doc.LoadXmlStream(reinterpret_cast<unsigned char*>(&plain[0]),
                    static_cast<uint32_t>(plain.size()));
  EXPECT_GT(alloc::BytesRequested() - start, asText + 64 * 1024 + 4 * 1024);
}

TEST(AllocationSweep, FailsTheArmedAllocationOnceAndCountsWhatIsLive) {
  int64_t live = alloc::Live();
  alloc::FailAfter(1);
  std::string first(100, 'a');
  EXPECT_THROW(std::string(100, 'b'), std::bad_alloc);
  EXPECT_TRUE(alloc::Disarm());
  std::string third(100, 'c');
  EXPECT_EQ(alloc::Live(), live + 2);
  int* nothing = new (std::nothrow) int;
  EXPECT_NE(nothing, nullptr);
  delete nothing;
  alloc::FailAfter(0);
  EXPECT_EQ(new (std::nothrow) int[4], nullptr);
  EXPECT_TRUE(alloc::Disarm());
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
