// The XML reader over 8-bit text: the input up to its first NUL.

#include <cstdint>
#include <vector>

#include "FuzzTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> text(data, data + size);
  text.push_back('\0');
  vxfuzz::LoadAndWalk(
      [&](VxVevAva5::CXmlDocument& document) { document.LoadXml(text.data()); });
  return 0;
}
