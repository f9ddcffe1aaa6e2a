// The schema compiler: the input, as a UTF-8 schema document, read and
// resolved, and C++ generated for it. Anything may be refused, but only with
// a CompileError that names the file and a line; whatever is accepted
// generates a header and a source.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "Generator.h"
#include "SchemaReader.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::unique_ptr<vxbindc::Schema>> schemas;
  try {
    schemas.push_back(vxbindc::ParseSchema("fuzz.xsd", text));
  } catch (const vxbindc::CompileError& e) {
    Check(e.Format().rfind("fuzz.xsd:", 0) == 0);
    return 0;
  }
  try {
    std::vector<vxbindc::OutputFile> files = vxbindc::Generate(schemas, "Fz");
    Check(files.size() == 2);
    for (const vxbindc::OutputFile& file : files) Check(!file.text.empty());
  } catch (const vxbindc::CompileError& e) {
    Check(e.Format().rfind("fuzz.xsd:", 0) == 0);
  }
  return 0;
}
