// Streaming: the input, as UTF-8 XML text, read into the purchase order
// classes generated from examples/po/po.xsd with its items streamed one at
// a time (vxbind/core/Streaming.h), and read whole. The first byte's top bit
// turns validation on read on, its low bits tolerances (unknown elements,
// collection counts). Both reads fail alike, or both succeed with the same
// items in the same order and the same root around them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "po.h"

using namespace VxVevAva5;

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// The text of `object`, or "" when it cannot be written (facets are checked
// on writing, so a value that reads may not write).
String Text(const CXmlObjectBase& object, const CXmlSerializationContext& context) {
  try {
    return object.ToXml(false, false, EOLType_LF, context);
  } catch (const CVxException&) {
    return String();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  CXmlSerializationContext context;
  context.SetIgnoreUnknownElements((data[0] & 1) != 0);
  context.SetIgnoreInvalidCollectionCounts((data[0] & 8) != 0);
  context.SetValidateOnRead((data[0] & 128) != 0);
  const String text = Utf16::FromUtf8(reinterpret_cast<const char*>(data) + 1, size - 1);

  CSmartPtr<FuzzPo::CPurchaseOrderType> whole = new FuzzPo::CPurchaseOrderType;
  String wholeFailure;
  bool wholeRead = true;
  try {
    whole->FromXml(text.c_str(), context);
  } catch (const CVxException& e) {
    wholeRead = false;
    wholeFailure = e.GetFullMessage();
  }

  CSmartPtr<FuzzPo::CPurchaseOrderType> streamed = new FuzzPo::CPurchaseOrderType;
  std::vector<String> items;
  bool streamedRead = true;
  try {
    StreamFromXml(
        *streamed, text.c_str(), FuzzPo::CItems::StreamItem(),
        [&](CSmartPtr<FuzzPo::CItem> item) { items.push_back(Text(*item, context)); }, context);
  } catch (const CVxException& e) {
    streamedRead = false;
    Check(!wholeRead && e.GetFullMessage() == wholeFailure);
  }
  Check(streamedRead == wholeRead);
  if (!wholeRead) return 0;

  CSmartPtr<FuzzPo::CItemCol> collection = whole->GetItems()->GetItem();
  Check(static_cast<size_t>(collection->GetCount()) == items.size());
  size_t i = 0;
  for (FuzzPo::CItem& item : *collection) Check(Text(item, context) == items[i++]);
  // The root around the items is the same; the streamed member stays empty.
  Check(streamed->GetItems()->GetItem()->GetCount() == 0);
  collection->Clear();
  Check(Text(*whole, context) == Text(*streamed, context));
  return 0;
}
