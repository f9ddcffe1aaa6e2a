// The XML reader over bytes: gzip and zlib inflation, byte order marks and
// every encoding the XML declaration can name.

#include <cstdint>
#include <vector>

#include "FuzzTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A private copy, so that reading past the end is caught by the sanitizer.
  std::vector<unsigned char> bytes(data, data + size);
  vxfuzz::LoadAndWalk([&](VxVevAva5::CXmlDocument& document) {
    document.LoadXmlStream(bytes.data(), static_cast<uint32_t>(bytes.size()));
  });
  return 0;
}
