// The XML reader over UTF-16 text: the input bytes read as code units in
// memory order (an odd last byte becomes the low half of a last unit), up to
// the first NUL unit.

#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<unsigned short> units((size + 1) / 2 + 1, 0);
  if (size != 0) std::memcpy(units.data(), data, size);
  vxfuzz::LoadAndWalk(
      [&](VxVevAva5::CXmlDocument& document) { document.LoadXml(units.data()); });
  return 0;
}
