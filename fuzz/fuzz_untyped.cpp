// Untyped content: the input, as UTF-8 XML text, read into a CElement and
// written; that text is read back three ways, which must write the same
// text: kept in the snapshot (nothing made), made at once (the element
// already held a collection), and made by walking every element through the
// API; an element kept in the snapshot writes the same before and after
// everything in it is made. (The written text need not read back as the
// input did: the writer puts names and namespace URIs out as they are.)
// Reading may refuse input only with the library's exception.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/collections/Element.h"
#include "vxbind/platform/Utf16.h"

using namespace VxVevAva5;

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

String Write(const CElement* e) { return e->ToXml(false, false, EOLType_LF); }

// Reaches every element and attribute, so that all are made as objects.
void VisitAll(CElement* root) {
  std::vector<CSmartPtr<CElement>> pending{root};
  while (!pending.empty()) {
    CSmartPtr<CElement> e = pending.back();
    pending.pop_back();
    for (const CAttribute& a : *e->GetAttributes()) Check(!a.GetName().empty());
    CSmartPtr<CElementCol> children = e->GetChildElements();
    for (int i = 0; i < children->GetCount(); ++i) pending.push_back(children->Item(i));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  String input = Utf16::FromUtf8(reinterpret_cast<const char*>(data), size);
  String written;
  try {
    CSmartPtr<CElement> first = new CElement(VX_T("x"));
    first->FromXml(input.c_str());
    written = Write(first);
  } catch (const CVxException&) {
    return 0;
  }
  CSmartPtr<CElement> kept = new CElement(VX_T("x"));
  CSmartPtr<CElement> made = new CElement(VX_T("x"));
  CSmartPtr<CElement> walked = new CElement(VX_T("x"));
  try {
    kept->FromXml(written.c_str());
  } catch (const CVxException&) {
    // What the writer wrote need not be readable (a prefix bound to a
    // reserved namespace, say); the three readings must then agree.
    try {
      made->GetAttributes();
      made->FromXml(written.c_str());
    } catch (const CVxException&) {
      return 0;
    }
    __builtin_trap();
  }
  made->GetAttributes();
  made->FromXml(written.c_str());
  walked->FromXml(written.c_str());
  VisitAll(walked);
  String again = Write(kept);
  Check(Write(made) == again);
  Check(Write(walked) == again);
  // A copy shares what it copies (making it), and writes the same.
  CSmartPtr<CElement> copy = new CElement(*kept);
  Check(Write(copy) == again);
  VisitAll(kept);
  Check(Write(kept) == again);
  kept->SetNamespaceRestrictions(VX_T("##any"), VX_T(""));
  return 0;
}
