// Binding: the input, as UTF-8 XML text, read into generated classes (every
// group, kind and cardinality of the test schema, and the hand-written
// purchase order classes of the benchmarks), chosen by the root element's
// local name. The first byte turns the context's tolerances on, one bit
// each, and its top bit validation on read. Reading and writing may refuse
// only with the library's exception (facets are checked on writing, so a
// value that reads may still not write; but what reads with validation on
// must write); whatever writes must read back under the same context, and
// writing what was read back is a fixed point.

#include <cstddef>
#include <cstdint>
#include <string>

#include "TestSchema.h"
#include "po_handwritten/PurchaseOrder.h"

using namespace VxVevAva5;

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

CXmlSerializationContext ContextFrom(uint8_t bits) {
  CXmlSerializationContext context;
  context.SetIgnoreUnknownElements((bits & 1) != 0);
  // Ignoring missing mandatory elements excludes ignoring unknown ones.
  if ((bits & 3) == 2) context.SetIgnoreMissingMandatoryElements(true);
  context.SetIgnoreMissingChoice((bits & 4) != 0);
  context.SetIgnoreInvalidCollectionCounts((bits & 8) != 0);
  context.SetIgnoreUnknownAttributes((bits & 16) != 0);
  context.SetIgnoreNamespaces((bits & 32) != 0);
  context.SetStrictXml((bits & 64) != 0);
  context.SetValidateOnRead((bits & 128) != 0);
  return context;
}

// The local name of the first start tag, prefix dropped.
std::string RootName(const std::string& xml) {
  size_t start = 0;
  while ((start = xml.find('<', start)) != std::string::npos) {
    ++start;
    if (start < xml.size() && xml[start] != '?' && xml[start] != '!') break;
  }
  if (start == std::string::npos) return std::string();
  size_t end = xml.find_first_of(" \t\r\n/>", start);
  std::string name = xml.substr(start, end == std::string::npos ? end : end - start);
  size_t colon = name.find(':');
  return colon == std::string::npos ? name : name.substr(colon + 1);
}

CSmartPtr<CXmlGeneratedClass> NewRoot(const std::string& name) {
  if (name == "purchaseOrder") return new HandwrittenPo::CPurchaseOrderType;
  CSmartPtr<CXmlObjectBase> root = TestSchema::CreateRootObject(
      Utf16::FromUtf8(name).c_str(), VX_T("urn:vxbind:test"));
  if (root == nullptr) return new TestSchema::CNode;
  return static_cast<CXmlGeneratedClass*>(root.get());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const CXmlSerializationContext context = ContextFrom(data[0]);
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string root = RootName(text);
  String written;
  CSmartPtr<CXmlGeneratedClass> first = NewRoot(root);
  try {
    first->FromXml(Utf16::FromUtf8(text.data(), text.size()).c_str(), context);
  } catch (const CVxException&) {
    return 0;
  }
  try {
    written = first->ToXml(false, false, EOLType_LF, context);
  } catch (const CVxException&) {
    // What validation accepted breaks nothing that writing checks.
    Check(!context.GetValidateOnRead());
    return 0;
  }
  // The text read back writes a fixed point. (Not always the first text: a
  // decimal rounded to its maximum places is written with the trailing
  // zeros of that scale, which reading drops.)
  for (int round = 0; round < 2; ++round) {
    CSmartPtr<CXmlGeneratedClass> again = NewRoot(root);
    try {
      again->FromXml(written.c_str(), context);
    } catch (const CVxException&) {
      __builtin_trap();  // written, but not readable
    }
    String rewritten = again->ToXml(false, false, EOLType_LF, context);
    if (round == 1) Check(rewritten == written);
    written = std::move(rewritten);
  }
  return 0;
}
